#pragma once
// CIoStream: the one byte-stream interface over files, serial ports, RAM
// files, USB pipes and sockets. Every stream is registered in the process-wide
// stream table and has a StreamHandle there.

#include "streamio/streamerror.h"

#include <QString>

#include <cstdint>

namespace StreamIO {

using StreamHandle = std::uint32_t;

enum NOpenFlags : std::uint32_t {
    SO_READ = 0x0001,
    SO_WRITE = 0x0002,
    SO_OPEN_ALWAYS = 0x0010,
    SO_CREATE_NEW = 0x0020,
    SO_CREATE_ALWAYS = 0x0030,
    SO_CREATE_MASK = 0x0030,
    SO_SHARE_READ = 0x0100,
    SO_SHARE_WRITE = 0x0200,
    SO_FIFO = 0x1000,
    SO_DATAGRAM = 0x8000,
};

// Seek origins.
enum NSeekOrigin : int {
    SEEK_FROM_CURRENT = 1,
    SEEK_FROM_BEGIN = 2,
    SEEK_FROM_END = 3,
};

class CIoStream
{
public:
    CIoStream();
    CIoStream(const CIoStream &) = delete;
    CIoStream &operator=(const CIoStream &) = delete;

    // Virtual operations, in the order of the stream interface.
    virtual ~CIoStream();
    virtual bool Reopen() = 0;
    virtual void Abort();
    virtual void Close() = 0;
    virtual void ClearInput() {}
    virtual int GetInputCount() { return 0; }
    virtual void Flush() {}
    virtual int GetBytesPerSecond() { return 0; }
    virtual bool GetTimeouts(int &readMs, int &writeMs);
    virtual bool SetTimeouts(int readMs, int writeMs);
    virtual bool CancelTransfer() { return false; }
    virtual bool IsOpen() = 0;
    virtual bool HasError() { return GetErrorCode() != 0; }
    virtual bool IsTimeoutOrEnd();
    virtual std::uint32_t GetErrorCode() { return m_error; }
    virtual std::uint8_t ReadByte();
    virtual int WriteByte(std::uint8_t b);
    virtual int Read(void *buffer, int count) = 0;
    virtual int Write(const void *buffer, int count) = 0;
    virtual bool IsRandomAccess() { return false; }
    virtual std::uint32_t GetLength() { return 0; }
    virtual std::uint32_t GetPosition() { return 0; }
    virtual std::uint32_t Seek(int offset, int origin);
    virtual std::uint32_t SetPosition(std::uint32_t pos);
    virtual void Truncate() {}

    StreamHandle GetHandle() const { return m_handle; }
    const QString &GetName() const { return m_name; }
    std::uint32_t GetFlags() const { return m_flags; }

protected:
    // Records the code in the stream, then throws it with the stream's name.
    [[noreturn]] void Raise(std::uint32_t code);
    // The same for a system errno, keeping the system's text.
    [[noreturn]] void RaiseErrno(int error);
    void SetError(std::uint32_t code) { m_error = code; }
    // The checks every Read and Write start with: the access the stream was
    // opened with (30/29; `open` false for a missing pipe or socket counts
    // as missing access) and a count that is not negative (87).
    void CheckRead(int count, bool open = true);
    void CheckWrite(int count, bool open = true);
    void SetNameAndFlags(const QString &name, std::uint32_t flags)
    {
        m_name = name;
        m_flags = flags;
    }
    // Reopen as most streams do it: Open the stored name with the stored flags.
    template <class Stream>
    static bool ReopenByName(Stream &s)
    {
        return !s.m_name.isEmpty() && s.Open(QString(s.m_name), s.m_flags);
    }

private:
    friend class StreamTable;

    QString m_name;
    std::uint32_t m_flags = 0;
    std::uint32_t m_error = 0;
    StreamHandle m_handle = 0;
    bool m_owned = false;   // kept for layout parity: the table never owns streams
};

}   // namespace StreamIO
