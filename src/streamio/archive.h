#pragma once
// CQXArchive: typed values to and from a stream through a buffer, in a fixed
// byte order (little-endian unless asked otherwise). Strings carry a tag byte
// and a 16-bit length; everything else is the bare bit pattern.

#include "streamio/iostream.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <cstring>
#include <memory>

namespace StreamIO {

class CQXArchive
{
public:
    enum NMode : std::uint16_t {
        MODE_STORE = 0x0000,
        MODE_LOAD = 0x0001,
        MODE_ABORT_ON_DESTROY = 0x0002,
        MODE_BIG_ENDIAN = 0x0010,
        MODE_SWAP = 0x0080,   // set by the archive: the data order is not the host's
    };
    static constexpr std::uint32_t kMinBufferSize = 16;
    // Archives on RAM streams use 1024 bytes. Archives on files use more: the
    // kernel's cost per write() call would otherwise dominate a large file.
    static constexpr std::uint32_t kDefaultBufferSize = 1024;
    static constexpr std::uint32_t kFileBufferSize = 64 * 1024;
    static constexpr std::uint8_t kTagUtf16 = 0xFE;
    static constexpr std::uint8_t kTag8Bit = 0xFF;

    // Opens its own stream by name (0x0101 to load, 0x0133 to store).
    CQXArchive(const QString &name, std::uint16_t mode, std::uint32_t bufferSize = kDefaultBufferSize);
    // Borrows an open stream by handle; rewinds it, and empties it to store.
    CQXArchive(StreamHandle handle, std::uint16_t mode, std::uint32_t bufferSize = kDefaultBufferSize);
    virtual ~CQXArchive();
    CQXArchive(const CQXArchive &) = delete;
    CQXArchive &operator=(const CQXArchive &) = delete;

    void Flush();
    void Close();
    void Abort();

    bool IsLoading() const { return m_mode & MODE_LOAD; }
    // The stream's name for messages; empty once closed.
    QString GetStreamName() const { return m_stream ? m_stream->GetName() : QString(); }
    std::uint32_t GetBufferSize() const { return m_size; }
    // Bytes stored or loaded so far.
    std::uint32_t GetPosition() const { return m_base + std::uint32_t(m_cursor - m_buffer.get()); }

    void PutU8(std::uint8_t v) { put(v); }
    void PutU16(std::uint16_t v) { put(v); }
    void PutU32(std::uint32_t v) { put(v); }
    void PutU64(std::uint32_t low, std::uint32_t high) { PutU64((std::uint64_t(high) << 32) | low); }
    void PutU64(std::uint64_t v) { put(v); }
    void PutU16Array(const std::uint16_t *values, std::uint16_t count);
    // Bytes as they stand (the loading side is GetBytes).
    void PutBytes(const void *data, std::uint32_t count);
    void PutString(QStringView text);

    std::uint8_t GetU8() { return get<std::uint8_t>(); }
    std::uint16_t GetU16() { return get<std::uint16_t>(); }
    std::uint32_t GetU32() { return get<std::uint32_t>(); }
    std::uint64_t GetU64() { return get<std::uint64_t>(); }
    void GetU64(std::uint32_t &low, std::uint32_t &high)
    {
        const std::uint64_t v = GetU64();
        low = std::uint32_t(v);
        high = std::uint32_t(v >> 32);
    }
    void GetBytes(void *buffer, std::uint16_t count);
    void GetU16Array(std::uint16_t *values, std::uint16_t count);
    void GetString(QString &out);
    QString GetString()
    {
        QString s;
        GetString(s);
        return s;
    }

private:
    void setUp(std::uint16_t mode, std::uint32_t bufferSize);
    void start();
    [[noreturn]] void raise(std::uint32_t code) const;
    void flushFor(std::uint32_t n);
    void refill(std::uint32_t n);
    void closeStream(bool flush);

    // One primitive in the archive's byte order; the buffer check is the
    // only branch on the common path.
    template <class T>
    void put(T v)
    {
        if (m_putLimit - m_cursor < std::ptrdiff_t(sizeof(T)))
            flushFor(sizeof(T));
        if (m_mode & MODE_SWAP)
            v = byteSwapped(v);
        std::memcpy(m_cursor, &v, sizeof(T));
        m_cursor += sizeof(T);
    }
    template <class T>
    T get()
    {
        if (m_getLimit - m_cursor < std::ptrdiff_t(sizeof(T)))
            refill(sizeof(T));
        T v;
        std::memcpy(&v, m_cursor, sizeof(T));
        m_cursor += sizeof(T);
        return (m_mode & MODE_SWAP) ? byteSwapped(v) : v;
    }
    template <class T>
    static T byteSwapped(T v)
    {
        if constexpr (sizeof(T) == 1)
            return v;
        else if constexpr (sizeof(T) == 2)
            return T(__builtin_bswap16(v));
        else if constexpr (sizeof(T) == 4)
            return T(__builtin_bswap32(v));
        else
            return T(__builtin_bswap64(v));
    }

    StreamHandle m_handle = 0;
    CIoStream *m_stream = nullptr;
    bool m_ownsStream = false;
    std::uint16_t m_mode = 0;
    std::uint32_t m_size = 0;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    std::uint8_t *m_cursor = nullptr;
    // Storing: bytes up to m_putLimit may be filled. Loading: bytes up to
    // m_getLimit are read. The other limit stays at the buffer's start, so a
    // primitive of the wrong direction (or after closing) reaches the checks
    // of flushFor/refill instead of touching the buffer.
    std::uint8_t *m_putLimit = nullptr;
    std::uint8_t *m_getLimit = nullptr;
    std::uint32_t m_base = 0;
};

}   // namespace StreamIO
