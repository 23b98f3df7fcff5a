#pragma once
// CFileStream: a stream over a POSIX file descriptor — plain files, and the
// base of the serial port stream.
//
// Sharing bits are kept with advisory locks (flock), so that two streams of
// this program, or two programs, do not write one file at the same time:
// without SO_SHARE_WRITE a writer holds the file exclusively and a reader
// shares it with other readers only; a stream with SO_SHARE_WRITE shares it
// with everyone but a stream that wants it alone.

#include "streamio/iostream.h"

#include <atomic>

namespace StreamIO {

class CFileStream : public CIoStream
{
public:
    CFileStream() = default;
    ~CFileStream() override;

    virtual bool Open(const QString &name, std::uint32_t flags);

    // Opens a file without a name in `folder` (O_TMPFILE): it vanishes when
    // closed, or when the process dies, unless LinkAs gives it a name first.
    // The stream is named after the folder until then. False, with code 50,
    // where the file system has no unnamed files; other failures raise.
    bool OpenUnnamed(const QString &folder, std::uint32_t flags);
    // Gives the unnamed file the name `path` (which must not exist: 80 if it
    // does), after which it is an ordinary named file of this stream.
    void LinkAs(const QString &path);
    // Makes OpenUnnamed answer as a file system without unnamed files, so
    // that tests can take the other path.
    static void SetUnnamedFilesRefused(bool refused);

    bool Reopen() override;
    void Close() override;
    void Flush() override;
    bool GetTimeouts(int &readMs, int &writeMs) override;
    bool SetTimeouts(int readMs, int writeMs) override;
    bool CancelTransfer() override;
    bool IsOpen() override { return m_fd >= 0; }
    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;
    bool IsRandomAccess() override { return true; }

    // Ends a read or write that waits on a device, now and from then on, with
    // StreamError 995. Safe from another thread while the stream stays open;
    // the instrument worker uses it to break a blocked search.
    void Interrupt();
    std::uint32_t GetLength() override;
    std::uint32_t GetPosition() override;
    std::uint32_t Seek(int offset, int origin) override;
    std::uint32_t SetPosition(std::uint32_t pos) override;
    void Truncate() override;

protected:
    int Descriptor() const { return m_fd; }
    void RequireOpen();

private:
    int waitFor(short events, int timeoutMs);

    int m_fd = -1;
    // Devices (terminals, pipes) wait with poll() and keep time-outs; plain
    // files never block.
    bool m_device = false;
    bool m_unnamed = false;          // an O_TMPFILE file that has no name yet
    std::atomic<int> m_cancel{-1};   // an eventfd for devices
    // Time-outs as the port keeps them: a read constant (0 = none) and a
    // write multiplier per byte plus a constant.
    int m_readConstant = 0;
    int m_writeMultiplier = 0;
    int m_writeConstant = 0;
};

}   // namespace StreamIO
