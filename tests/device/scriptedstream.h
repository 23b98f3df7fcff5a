#pragma once
// A stream that plays the instrument from a script: each Write releases the
// next queued reply into the input, Read hands out what has arrived, and
// everything written is kept for the test to inspect. No terminal, no thread.

#include "streamio/iostream.h"

#include <QByteArray>
#include <QList>
#include <QPair>

#include <algorithm>
#include <cstring>

namespace DeviceTest {

class CScriptedStream : public StreamIO::CIoStream
{
public:
    // The reply to the next Write that has none yet.
    void QueueReply(const QByteArray &bytes) { m_replies.append(bytes); }
    // Bytes already waiting before anything is written (stale input).
    void Preload(const QByteArray &bytes) { m_input.append(bytes); }
    // At most this many bytes per Read (0: no limit), as a slow line delivers.
    void SetReadChunk(int n) { m_chunk = n; }
    // Reads raise this stream error once the input is empty.
    void FailEmptyReads(std::uint32_t code) { m_failCode = code; }
    void SetBytesPerSecond(int bps) { m_bps = bps; }

    const QByteArray &Written() const { return m_written; }
    // Bytes released to the input or still queued that nobody read.
    int Unread() const
    {
        int n = int(m_input.size());
        for (const QByteArray &r : m_replies)
            n += int(r.size());
        return n;
    }
    int ClearInputCalls() const { return m_clears; }
    const QList<QPair<int, int>> &TimeoutCalls() const { return m_timeoutCalls; }

    bool Reopen() override { return false; }
    void Close() override { m_open = false; }
    bool IsOpen() override { return m_open; }
    void ClearInput() override
    {
        ++m_clears;
        m_input.clear();
    }
    int GetInputCount() override { return int(m_input.size()); }
    int GetBytesPerSecond() override { return m_bps; }
    bool GetTimeouts(int &readMs, int &writeMs) override
    {
        readMs = m_read;
        writeMs = m_write;
        return true;
    }
    bool SetTimeouts(int readMs, int writeMs) override
    {
        m_timeoutCalls.append({readMs, writeMs});
        m_read = readMs;
        m_write = writeMs;
        return true;
    }
    int Read(void *buffer, int count) override
    {
        if (m_input.isEmpty() && m_failCode)
            Raise(m_failCode);
        int n = std::min<int>(count, int(m_input.size()));
        if (m_chunk > 0)
            n = std::min(n, m_chunk);
        std::memcpy(buffer, m_input.constData(), std::size_t(n));
        m_input.remove(0, n);
        SetError(n == 0 && count > 0 ? StreamIO::ERR_TIMEOUT : 0);
        return n;
    }
    int Write(const void *buffer, int count) override
    {
        m_written.append(static_cast<const char *>(buffer), count);
        if (!m_replies.isEmpty())
            m_input.append(m_replies.takeFirst());
        return count;
    }

private:
    QByteArray m_input;
    QList<QByteArray> m_replies;
    QByteArray m_written;
    QList<QPair<int, int>> m_timeoutCalls;
    std::uint32_t m_failCode = 0;
    int m_chunk = 0;
    int m_bps = 1920;
    int m_read = 500;
    int m_write = 10;
    int m_clears = 0;
    bool m_open = true;
};

inline QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex));
}

// A long reply: EF, K, L (24 bits), the data, then `sum` as the checksum bytes.
inline QByteArray LongReply(std::uint8_t kind, const QByteArray &data, const QByteArray &sum)
{
    QByteArray r;
    const auto n = std::uint32_t(data.size());
    r.append(char(0xEF)).append(char(kind));
    r.append(char(n & 0xFF)).append(char((n >> 8) & 0xFF)).append(char((n >> 16) & 0xFF));
    return r + data + sum;
}

inline QByteArray LittleEndian(std::uint32_t v, int bytes)
{
    QByteArray r;
    for (int i = 0; i < bytes; ++i)
        r.append(char((v >> (8 * i)) & 0xFF));
    return r;
}

}   // namespace DeviceTest
