#include "device/qxcommands.h"

#include "device/crc.h"
#include "device/framing.h"
#include "device/trace.h"
#include "streamio/iostream.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

using StreamIO::StreamError;

namespace Device {
namespace {

using Clock = std::chrono::steady_clock;

using namespace Framing;
constexpr std::uint8_t kResyncFrame[] = {0xC8, kResync, 0x00, 0x05, 0x55, 0x5A, 0xAA, 0xAF, 0xFF, 0xF0};
static_assert(sizeof kResyncFrame == 2 + sizeof kResyncPayload);

struct ShortWrite
{
};

std::uint32_t checksumSize(std::uint8_t kind)
{
    return (kind == 1 || kind == 2 || kind == 4) ? kind : 0;
}

bool checksumMatches(std::uint8_t kind, const std::uint8_t *data, std::uint32_t length, const std::uint8_t *sum)
{
    switch (kind) {
    case 1: return Crc8(data, length) == sum[0];
    case 2: return Crc16(data, length) == std::uint16_t(sum[0] | (sum[1] << 8));
    case 4:
        return Crc32(data, length)
               == (std::uint32_t(sum[0]) | (std::uint32_t(sum[1]) << 8) | (std::uint32_t(sum[2]) << 16)
                   | (std::uint32_t(sum[3]) << 24));
    default: return true;
    }
}

// A read that brought nothing or too little: the stream's error code tells a
// time-out from a link that went away.
SFailure shortRead(StreamIO::CIoStream &stream, std::uint32_t received, std::uint32_t expected)
{
    SFailure f;
    const std::uint32_t code = stream.GetErrorCode();
    if (code != 0 && code != StreamIO::ERR_TIMEOUT) {
        f.cause = NFailureCause::LinkLost;
        f.streamCode = code;
        f.streamText = StreamError(code, stream.GetName()).message();
    } else if (received == 0) {
        f.cause = NFailureCause::NoAnswer;
    } else {
        f.cause = NFailureCause::Incomplete;
        f.received = received;
        f.expected = expected;
    }
    return f;
}

SFailure streamFailure(const StreamError &e)
{
    SFailure f;
    f.cause = e.code() == StreamIO::ERR_TIMEOUT ? NFailureCause::NoAnswer : NFailureCause::LinkLost;
    f.streamCode = e.code();
    f.streamText = e.message();
    return f;
}

}   // namespace

struct CQxCommands::Exchange
{
    NError_code code = Err_Success;
    std::uint32_t replyLength = 0;   // bytes read (a long reply: data and checksum), or the announced size
    std::uint32_t dataLength = 0;    // the reply's data length (s or L)
    std::uint8_t status = 0;
    SFailure failure;
};

// ---------------------------------------------------------------------------
// The byte level

int CQxCommands::send(const void *data, int count, bool requireAll)
{
    const int n = m_stream->Write(data, count);
    TraceBytes(TraceDirection::Sent, m_stream->GetName(), data, std::size_t(std::max(n, 0)));
    if (requireAll && n != count)
        throw ShortWrite{};
    return n;
}

int CQxCommands::receive(void *data, int count)
{
    const int n = m_stream->Read(data, count);
    TraceBytes(TraceDirection::Received, m_stream->GetName(), data, std::size_t(std::max(n, 0)));
    return n;
}

bool CQxCommands::receiveByte(std::uint8_t &byte)
{
    return receive(&byte, 1) == 1;
}

void CQxCommands::discard(std::uint32_t count)
{
    std::uint8_t b;
    for (std::uint32_t i = 0; i < count; ++i)
        if (!receiveByte(b))
            break;
}

bool CQxCommands::setTimeouts(int readMs, int writeMs)
{
    return m_stream->SetTimeouts(readMs, writeMs);
}

// ---------------------------------------------------------------------------
// Binary frames

CQxCommands::Exchange CQxCommands::exchange(std::uint8_t command, std::uint8_t *buffer, std::uint32_t payloadLength,
                                            std::uint32_t bufferSize, int readTimeoutMs, int totalTimeoutMs,
                                            CCallback *progress)
{
    Exchange x;
    if (payloadLength > kMaxPayload || readTimeoutMs < 0 || !buffer || !m_stream) {
        x.code = Err_BadArguments;
        if (!m_stream)
            x.failure.cause = NFailureCause::NotConnected;
        return x;
    }
    try {
        std::uint8_t frame[2 + kMaxPayload];
        frame[0] = std::uint8_t(kFrameBase + payloadLength);
        frame[1] = command;
        std::memcpy(frame + 2, buffer, payloadLength);
        m_stream->ClearInput();
        if (!setTimeouts(readTimeoutMs, readTimeoutMs)) {
            x.code = Err_Communication;
            x.failure = shortRead(*m_stream, 0, 1);
            return x;
        }
        send(frame, int(payloadLength + 2));
        std::uint8_t s = 0;
        if (!receiveByte(s)) {
            x.code = Err_Communication;
            x.failure = shortRead(*m_stream, 0, 1);
            return x;
        }
        x.status = s;
        if (s == 0)
            return x;
        if (s >= kFirstStatus) {
            buffer[0] = s;   // the caller may look for particular statuses
            x.code = Err_Communication;
            x.failure.cause = NFailureCause::Refused;
            x.failure.status = s;
            return x;
        }
        if (s < kLongReply) {
            x.dataLength = s;
            if (s > bufferSize) {
                const int got = receive(buffer, int(bufferSize));
                discard(s - std::uint32_t(std::max(got, 0)));
                x.replyLength = s;
                x.code = Err_Truncated;
                x.failure.cause = NFailureCause::BadReply;
                return x;
            }
            const int got = receive(buffer, s);
            x.replyLength = std::uint32_t(std::max(got, 0));
            x.code = x.replyLength == s ? Err_Success : Err_Communication;
            if (x.code != Err_Success)
                x.failure = shortRead(*m_stream, x.replyLength, s);
            return x;
        }

        // Long reply: K, L (24 bits), L data bytes, then the checksum of kind K.
        std::uint8_t header[4];
        if (const int got = receive(header, 4); got != 4) {
            x.code = Err_Communication;
            x.failure = shortRead(*m_stream, 1 + std::uint32_t(std::max(got, 0)), 5);
            return x;
        }
        const std::uint8_t kind = header[0];
        const std::uint32_t length = std::uint32_t(header[1]) | (std::uint32_t(header[2]) << 8)
                                     | (std::uint32_t(header[3]) << 16);
        const std::uint32_t total = length + checksumSize(kind);
        x.dataLength = length;
        if (total > bufferSize) {
            const int got = receive(buffer, int(bufferSize));
            discard(total - std::uint32_t(std::max(got, 0)));
            x.replyLength = total;
            x.code = Err_Truncated;
            x.failure.cause = NFailureCause::BadReply;
            return x;
        }
        const bool budgeted = std::int64_t(totalTimeoutMs) >= 2 * std::int64_t(readTimeoutMs);
        const auto start = Clock::now();
        std::uint32_t have = 0;
        while (have < total) {
            if (budgeted) {
                const auto elapsed =
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
                if (totalTimeoutMs - elapsed <= readTimeoutMs)
                    break;
            }
            const int got = receive(buffer + have, int(total - have));
            if (got <= 0)
                break;
            have += std::uint32_t(got);
            if (progress && progress->transferProgress)
                progress->OnProgress(int(std::uint64_t(have) * 100 / total), 1, 0);
        }
        x.replyLength = have;
        if (have < total) {
            x.code = Err_Communication;
            x.failure = shortRead(*m_stream, have, total);
        } else if (!checksumMatches(kind, buffer, length, buffer + length)) {
            x.code = Err_Checksum;
            x.failure.cause = NFailureCause::Checksum;
        }
        return x;
    } catch (const StreamError &e) {
        x.code = Err_Communication;
        x.failure = streamFailure(e);
    } catch (const ShortWrite &) {
        x.code = Err_Communication;
        x.failure = shortRead(*m_stream, 0, 1);
        if (x.failure.cause == NFailureCause::NoAnswer)   // the line took nothing in time
            x.failure.cause = NFailureCause::LinkLost;
    }
    return x;
}

NError_code CQxCommands::Execute(std::uint8_t command, std::uint8_t *buffer, std::uint32_t payloadLength,
                                 std::uint32_t &replyLength, std::uint32_t bufferSize, int readTimeoutMs,
                                 int totalTimeoutMs, CCallback *progress)
{
    replyLength = 0;
    const Exchange x = exchange(command, buffer, payloadLength, bufferSize, readTimeoutMs, totalTimeoutMs, progress);
    replyLength = x.replyLength;
    m_lastStatus = x.status;
    m_lastDataLength = x.dataLength;
    m_lastFailure = x.failure;
    return x.code;
}

int CQxCommands::Query(std::uint8_t command, std::uint32_t payloadLength, std::uint8_t *buffer,
                       std::uint32_t bufferSize, int timeoutMs)
{
    if (payloadLength > kMaxPayload || timeoutMs < 0)
        return Query_BadArguments;
    const Exchange x = exchange(command, buffer, payloadLength, bufferSize, timeoutMs, -1, nullptr);
    m_lastStatus = x.status;
    switch (x.code) {
    case Err_Success:
    case Err_Truncated: return int(x.dataLength);
    case Err_Checksum: return Query_ChecksumMismatch;
    case Err_BadArguments: return Query_BadArguments;
    default: return x.status >= kFirstStatus ? int(x.status) : int(Query_CommunicationFailure);
    }
}

int CQxCommands::ShortExchange(std::uint8_t command, std::uint32_t payloadLength, std::uint8_t *buffer,
                               std::uint32_t expectedLength, int timeoutMs)
{
    if (payloadLength > 30 || expectedLength > 239 || timeoutMs < 0 || !m_stream)
        return -1;
    int oldRead = -1, oldWrite = -1;
    const bool restore = m_stream->GetTimeouts(oldRead, oldWrite);
    auto restoreTimeouts = [&] {
        if (restore)
            setTimeouts(oldRead, oldWrite);
    };
    try {
        std::uint8_t frame[2 + 30];
        frame[0] = std::uint8_t(kFrameBase + payloadLength);
        frame[1] = command;
        std::memcpy(frame + 2, buffer, payloadLength);
        m_stream->ClearInput();
        send(frame, int(payloadLength + 2));
        if (expectedLength == 0)
            return 0;
        setTimeouts(timeoutMs, timeoutMs);
        std::uint8_t count = 0;
        if (!receiveByte(count) || count >= kFirstStatus || (expectedLength && count != expectedLength)) {
            restoreTimeouts();
            return -1;
        }
        int read = 0;
        for (; read < count; ++read) {
            if (!receiveByte(buffer[read]))
                break;
            if (read == 0 && timeoutMs > 50)
                setTimeouts(50, 50);   // the rest follows at once or not at all
        }
        restoreTimeouts();
        return read;
    } catch (...) {
        try {
            restoreTimeouts();
        } catch (...) {
        }
        return -1;
    }
}

bool CQxCommands::Resync()
{
    try {
        setTimeouts(2500, 500);
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (send(kResyncFrame, int(sizeof kResyncFrame), false) != int(sizeof kResyncFrame))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (int i = 0; i < 3; ++i) {
                std::uint8_t b = 0;
                if (receiveByte(b) && b == kFirstStatus)
                    return true;
            }
        }
    } catch (const StreamError &) {
    }
    return false;
}

bool CQxCommands::SendS(const char *text, std::uint32_t length, char expectedEcho)
{
    send(text, int(length), false);
    if (expectedEcho == 0)
        return true;
    std::uint8_t echo = 0;
    return receiveByte(echo) && echo == std::uint8_t(expectedEcho);
}

// ---------------------------------------------------------------------------
// Text commands

int CQxCommands::ReadLine(char *line, int size)
{
    if (!line || size <= 0)
        return 0;
    int n = 0;
    bool previousCr = false;
    while (n < size - 1) {
        std::uint8_t b = 0;
        if (!receiveByte(b)) {
            if (n > 0 && previousCr)
                break;
            line[0] = 0;
            return 0;
        }
        line[n++] = char(b);
        if (b == kLf || (b == kCr && !m_crlf))
            break;
        previousCr = b == kCr;
    }
    line[n] = 0;
    return n;
}

int CQxCommands::textExchange(const char *command, char *line, int lineSize, int timeoutMs)
{
    m_stream->ClearInput();
    const std::uint8_t dle = kDle;
    send(&dle, 1);
    setTimeouts(timeoutMs, timeoutMs);
    std::uint8_t goAhead = 0;
    if (!receiveByte(goAhead))
        return -1;
    QByteArray text(command);
    text.append(char(kCr));
    send(text.constData(), int(text.size()));
    const int n = ReadLine(line, lineSize);
    return n > 0 ? n : -1;
}

bool CQxCommands::SendText(const char *command, int timeoutMs)
{
    if (!command || !m_stream)
        return false;
    try {
        if (*command == 0) {
            // The instrument ignores an empty line: there is no answer to wait for.
            m_stream->ClearInput();
            const std::uint8_t bytes[2] = {kDle, kCr};
            setTimeouts(timeoutMs, timeoutMs);
            send(bytes, 1);
            std::uint8_t goAhead = 0;
            if (!receiveByte(goAhead))
                return false;
            send(bytes + 1, 1);
            m_replyText[0] = 0;
            return true;
        }
        char line[kReplyTextSize];
        const int n = textExchange(command, line, kReplyTextSize, timeoutMs);
        if (n < 0)
            return false;
        QByteArray answer(line, n);
        if (answer.contains(char(kLf))) {
            const qsizetype space = answer.indexOf(' ');
            if (space < 0 || space + 1 >= answer.size())
                return false;
            answer = answer.mid(space + 1);
        }
        if (const qsizetype cr = answer.indexOf(char(kCr)); cr >= 0)
            answer.truncate(cr);
        if (answer.size() > kReplyTextSize - 1)
            return false;
        std::memcpy(m_replyText, answer.constData(), std::size_t(answer.size()));
        m_replyText[answer.size()] = 0;
        return !answer.contains('?');
    } catch (const StreamError &) {
        return false;
    } catch (const ShortWrite &) {
        return false;
    }
}

int CQxCommands::QueryText(const char *command, char *answer, int answerSize, int timeoutMs)
{
    if (!command || !answer || answerSize <= 0 || !m_stream)
        return 0;
    try {
        if (*command == 0) {
            std::strncpy(answer, "?", std::size_t(answerSize));
            answer[answerSize - 1] = 0;
            return 1;
        }
        QByteArray line(answerSize + 19, '\0');
        const int n = textExchange(command, line.data(), int(line.size()), timeoutMs);
        if (n < 0)
            return -1;
        QByteArray text = line.left(n);
        if (text.contains(char(kLf))) {
            const qsizetype space = text.indexOf(' ');
            if (space < 0 || space + 1 >= text.size())
                return 0;
            text = text.mid(space + 1);
        }
        if (const qsizetype cr = text.lastIndexOf(char(kCr)); cr >= 0)
            text.truncate(cr);
        const int keep = std::min<int>(int(text.size()), answerSize - 1);
        std::memcpy(answer, text.constData(), std::size_t(keep));
        answer[keep] = 0;
        return int(text.size());
    } catch (const StreamError &) {
        return 0;
    } catch (const ShortWrite &) {
        return 0;
    }
}

bool CQxCommands::SetLineEndMode(bool crlf, bool probe)
{
    if (!probe) {
        m_crlf = crlf;
        return true;
    }
    // Probe the instrument's current mode with "EC?"; stream errors pass to the caller.
    setTimeouts(4000, 2000);
    const std::uint8_t dle = kDle;
    send(&dle, 1, false);
    std::uint8_t goAhead = 0;
    receiveByte(goAhead);
    const std::uint8_t query[] = {0x45, 0x43, 0x3F, kCr};
    send(query, 4, false);
    m_crlf = false;
    char line[kReplyTextSize];
    const int n = ReadLine(line, kReplyTextSize);
    if (n > 5 && std::memchr(line, kCr, std::size_t(n))) {
        std::uint8_t lf = 0;
        if (receiveByte(lf) && lf == kLf)
            m_crlf = true;
    }
    if (m_crlf != crlf) {
        if (!SendText(crlf ? "EC1" : "EC0", 2000))
            return false;
        m_crlf = crlf;
    }
    return true;
}

int CQxCommands::TransferTimeout(std::uint32_t count, std::uint32_t bytesEach, int bytesPerSecond)
{
    const std::uint64_t rate = bytesPerSecond > 0 ? std::uint64_t(bytesPerSecond) : 16000;
    const std::uint64_t ms = std::uint64_t(count) * bytesEach * 1000 / rate + 200;
    return int(std::clamp<std::uint64_t>(ms, 2000, INT32_MAX));
}

bool CQxCommands::SetTransferTimeouts(std::uint32_t count, std::uint32_t bytesEach)
{
    if (!m_stream)
        return false;
    try {
        const int t = TransferTimeout(count, bytesEach, m_stream->GetBytesPerSecond());
        return setTimeouts(t, t);
    } catch (const StreamError &) {
        return false;
    }
}

bool CQxCommands::SetRemoteSession(bool on, int timeoutMs)
{
    std::uint8_t payload[2] = {0x11, 0x00};
    if (on) {
        payload[0] = 0x10;
        payload[1] = std::uint8_t(((std::int64_t(timeoutMs) + 999) / 1000) % 255);
    }
    return ShortExchange(0xF4, 2, payload, 1, 2000) == 1;
}

std::int64_t CQxCommands::ReadValue()
{
    std::uint8_t reply[4] = {};
    if (ShortExchange(0xF1, 0, reply, 4, 2000) != 4)
        return -1;
    return std::int64_t(std::uint32_t(reply[0]) | (std::uint32_t(reply[1]) << 8) | (std::uint32_t(reply[2]) << 16)
                        | (std::uint32_t(reply[3]) << 24));
}

}   // namespace Device
