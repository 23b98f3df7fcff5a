#include "streamio/archive.h"

#include "streamio/streamtable.h"

#include <QtEndian>

#include <algorithm>

namespace StreamIO {

void CQXArchive::setUp(std::uint16_t mode, std::uint32_t bufferSize)
{
    m_mode = mode & ~MODE_SWAP;
    const bool bigData = mode & MODE_BIG_ENDIAN;
    const bool bigHost = QSysInfo::ByteOrder == QSysInfo::BigEndian;
    if (bigData != bigHost)
        m_mode |= MODE_SWAP;
    m_size = std::max(bufferSize, kMinBufferSize);
    m_buffer.reset(new std::uint8_t[m_size]);
    m_cursor = m_buffer.get();
    m_putLimit = IsLoading() ? m_cursor : m_cursor + m_size;
    m_getLimit = m_cursor;
}

// The part of construction that may fail once the stream is there.
void CQXArchive::start()
{
    try {
        if (IsLoading())
            refill(0);
    } catch (...) {
        Abort();
        throw;
    }
}

CQXArchive::CQXArchive(const QString &name, std::uint16_t mode, std::uint32_t bufferSize)
{
    setUp(mode, bufferSize);
    const std::uint32_t flags = IsLoading() ? (SO_READ | SO_SHARE_READ)
                                            : (SO_READ | SO_WRITE | SO_CREATE_ALWAYS | SO_SHARE_READ);
    m_stream = OpenStream(name, flags);
    if (!m_stream)
        throw StreamError(ERR_FILE_NOT_FOUND, name);
    m_ownsStream = true;
    start();
}

CQXArchive::CQXArchive(StreamHandle handle, std::uint16_t mode, std::uint32_t bufferSize)
{
    setUp(mode, bufferSize);
    CIoStream *stream = handle ? FindStream(handle) : nullptr;
    if (!stream || !stream->IsOpen())
        throw StreamError(ERR_INVALID_HANDLE, stream ? stream->GetName() : QString());
    m_stream = stream;
    m_handle = handle;
    try {
        m_stream->SetPosition(0);
        if (!IsLoading())
            m_stream->Truncate();
    } catch (...) {
        Abort();
        throw;
    }
    start();
}

CQXArchive::~CQXArchive()
{
    if (!m_stream)
        return;
    if (m_mode & MODE_ABORT_ON_DESTROY) {
        Abort();
        return;
    }
    try {
        Close();
    } catch (...) {
        Abort();
    }
}

void CQXArchive::raise(std::uint32_t code) const
{
    throw StreamError(code, m_stream ? m_stream->GetName() : QString());
}

void CQXArchive::Flush()
{
    if (!m_stream)
        raise(ERR_HANDLE_EOF);
    if (IsLoading())
        raise(ERR_WRITE_FAULT);
    const int pending = int(m_cursor - m_buffer.get());
    if (pending > 0) {
        const int written = m_stream->Write(m_buffer.get(), pending);
        if (written != pending)
            raise(ERR_WRITE_FAULT);
        if (const std::uint32_t code = m_stream->GetErrorCode())
            raise(code);
        m_base += std::uint32_t(written);
    }
    m_cursor = m_buffer.get();
}

void CQXArchive::flushFor(std::uint32_t n)
{
    Flush();
    if (n > m_size)
        raise(ERR_INSUFFICIENT_BUFFER);
}

void CQXArchive::refill(std::uint32_t n)
{
    if (!IsLoading())
        raise(ERR_READ_FAULT);
    if (!m_stream)
        raise(ERR_HANDLE_EOF);
    if (n > m_size)
        raise(ERR_INSUFFICIENT_BUFFER);
    std::uint8_t *front = m_buffer.get();
    const std::uint32_t unread = std::uint32_t(m_getLimit - m_cursor);
    m_base += std::uint32_t(m_cursor - front);
    std::memmove(front, m_cursor, unread);
    m_cursor = front;
    m_getLimit = front + unread;
    // A device may deliver less than asked; read on until the primitive
    // fits or the stream has nothing more.
    do {
        const int got = m_stream->Read(m_getLimit, int(m_size - std::uint32_t(m_getLimit - front)));
        if (got <= 0)
            break;
        m_getLimit += got;
    } while (std::uint32_t(m_getLimit - m_cursor) < n);
    if (std::uint32_t(m_getLimit - m_cursor) < n)
        raise(ERR_HANDLE_EOF);
}

void CQXArchive::closeStream(bool flush)
{
    if (flush && !IsLoading())
        Flush();
    CIoStream *stream = m_stream;
    const StreamHandle handle = m_handle;
    const bool own = m_ownsStream;
    m_cursor = m_putLimit = m_getLimit = m_buffer.get();   // nothing more goes in or out
    m_stream = nullptr;
    m_handle = 0;
    m_ownsStream = false;
    if (own) {
        std::unique_ptr<CIoStream> owned(stream);
        if (flush)
            owned->Close();
        else
            owned->Abort();
    } else if (flush) {
        if (const std::uint32_t code = CloseStreamByHandle(handle))
            throw StreamError(code, stream->GetName());
    } else {
        CloseStreamByHandle(handle);
    }
}

void CQXArchive::Close()
{
    if (!m_stream)
        raise(ERR_HANDLE_EOF);
    closeStream(true);
}

void CQXArchive::Abort()
{
    if (!m_stream)
        return;
    try {
        closeStream(false);
    } catch (...) {
    }
}

void CQXArchive::PutU16Array(const std::uint16_t *values, std::uint16_t count)
{
    const bool swap = m_mode & MODE_SWAP;
    std::uint32_t left = count;
    while (left > 0) {
        std::uint32_t room = std::uint32_t(std::max<std::ptrdiff_t>(m_putLimit - m_cursor, 0)) / 2;
        if (room == 0) {
            flushFor(2);
            room = std::uint32_t(m_putLimit - m_cursor) / 2;
        }
        const std::uint32_t n = std::min(room, left);
        if (swap) {
            for (std::uint32_t i = 0; i < n; ++i) {
                const std::uint16_t v = __builtin_bswap16(values[i]);
                std::memcpy(m_cursor + 2 * i, &v, 2);
            }
        } else {
            std::memcpy(m_cursor, values, 2 * n);
        }
        m_cursor += 2 * n;
        values += n;
        left -= n;
    }
}

void CQXArchive::PutBytes(const void *data, std::uint32_t count)
{
    const auto *in = static_cast<const std::uint8_t *>(data);
    while (count > 0) {
        if (m_putLimit - m_cursor < 1)
            flushFor(1);
        const std::uint32_t n = std::min(count, std::uint32_t(m_putLimit - m_cursor));
        std::memcpy(m_cursor, in, n);
        m_cursor += n;
        in += n;
        count -= n;
    }
}

void CQXArchive::PutString(QStringView text)
{
    if (text.size() > 0xFFFF)
        raise(ERR_INSUFFICIENT_BUFFER);
    const auto n = std::uint16_t(text.size());
    PutU8(kTagUtf16);
    PutU16(n);
    PutU16Array(reinterpret_cast<const std::uint16_t *>(text.utf16()), n);
}

void CQXArchive::GetBytes(void *buffer, std::uint16_t count)
{
    auto *out = static_cast<std::uint8_t *>(buffer);
    std::uint32_t left = count;
    while (left > 0) {
        const std::uint32_t n = std::min(left, m_size);
        if (m_getLimit - m_cursor < std::ptrdiff_t(n))
            refill(n);
        std::memcpy(out, m_cursor, n);
        m_cursor += n;
        out += n;
        left -= n;
    }
}

void CQXArchive::GetU16Array(std::uint16_t *values, std::uint16_t count)
{
    std::uint32_t left = count;
    const bool swap = m_mode & MODE_SWAP;
    while (left > 0) {
        const std::uint32_t n = std::min(left, m_size / 2);
        if (m_getLimit - m_cursor < std::ptrdiff_t(2 * n))
            refill(2 * n);
        std::memcpy(values, m_cursor, 2 * n);
        if (swap)
            for (std::uint32_t i = 0; i < n; ++i)
                values[i] = __builtin_bswap16(values[i]);
        m_cursor += 2 * n;
        values += n;
        left -= n;
    }
}

void CQXArchive::GetString(QString &out)
{
    const std::uint8_t tag = GetU8();
    const std::uint16_t n = GetU16();
    if (tag == kTag8Bit) {
        QByteArray bytes(n, Qt::Uninitialized);
        GetBytes(bytes.data(), n);
        const qsizetype zero = bytes.indexOf('\0');
        out = QString::fromLatin1(bytes.constData(), zero < 0 ? n : zero);
        return;
    }
    if (n == 0) {
        out.clear();
        return;
    }
    if (out.isDetached() && out.capacity() >= n)
        out.resize(n);   // a reused string keeps its allocation
    else
        out = QString(qsizetype(n), Qt::Uninitialized);
    auto *units = reinterpret_cast<std::uint16_t *>(out.data());
    if (m_getLimit - m_cursor >= std::ptrdiff_t(2u * n) && !(m_mode & MODE_SWAP)) {
        std::memcpy(units, m_cursor, 2u * n);
        m_cursor += 2u * n;
        return;
    }
    GetU16Array(units, n);
}

}   // namespace StreamIO
