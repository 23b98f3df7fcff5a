#pragma once
// CQxCommands: the command engine on a connected stream. It speaks the three
// framings of the instruments — binary frames with optional CRCs, S-commands
// with an echo byte, and DLE-introduced text commands answered by a line —
// and catches stream errors in every exchange (SendS and the probing line-end
// check excepted, whose callers handle them).

#include "device/callback.h"
#include "device/errorcode.h"
#include "device/failure.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace StreamIO {
class CIoStream;
}

namespace Device {

class CQxCommands
{
public:
    using AbortTest = bool (*)(int userValue);

    static constexpr std::uint32_t kMaxPayload = 47;
    static constexpr int kReplyTextSize = 1024;

    // Query results beyond a length.
    enum NQueryStatus : int {
        Query_ChecksumMismatch = 250,
        Query_CommunicationFailure = 252,
        Query_BadArguments = 254,
    };

    explicit CQxCommands(StreamIO::CIoStream *stream) : m_stream(stream) {}

    NError_code Execute(std::uint8_t command, std::uint8_t *buffer, std::uint32_t payloadLength,
                        std::uint32_t &replyLength, std::uint32_t bufferSize, int readTimeoutMs, int totalTimeoutMs,
                        CCallback *progress);
    int Query(std::uint8_t command, std::uint32_t payloadLength, std::uint8_t *buffer, std::uint32_t bufferSize,
              int timeoutMs);
    int ShortExchange(std::uint8_t command, std::uint32_t payloadLength, std::uint8_t *buffer,
                      std::uint32_t expectedLength, int timeoutMs);
    bool Resync();
    bool SendS(const char *text, std::uint32_t length, char expectedEcho);
    bool SendText(const char *command, int timeoutMs);
    int QueryText(const char *command, char *answer, int answerSize, int timeoutMs);
    int ReadLine(char *line, int size);
    bool SetLineEndMode(bool crlf, bool probe);
    bool SetTransferTimeouts(std::uint32_t count, std::uint32_t bytesEach);
    bool SetRemoteSession(bool on, int timeoutMs);
    // The 32-bit value of command 0xF1, or -1.
    std::int64_t ReadValue();

    // File commands of instruments with a file system (text framing). All
    // return false on any failure; no partial file counts as success.
    bool ListDirectory(std::uint16_t directory, QString &listing);
    bool LoadFile(StreamIO::CIoStream &destination, const QString &name);
    bool SaveFileFrom(const QString &name, StreamIO::CIoStream &source);
    bool SaveEmptyFile(const QString &name);
    bool MoveDeviceFile(const QString &from, const QString &to);
    bool DeleteDeviceFile(const QString &name);
    // The remote login of instruments with user accounts: the answer's user
    // name and rights value on success.
    bool RemoteLogin(const QString &user, const QString &password, std::uint32_t value, QString &answerUser,
                     std::int32_t &rights);
    bool RemoteLogout();

    static constexpr std::uint32_t kMaxLoadLength = 0x5000000;
    static constexpr std::uint32_t kMaxSaveLength = 0x500000;
    static constexpr int kMaxMoveName = 256;
    // A name as the instrument reads it: 8-bit, every backslash doubled (and
    // in the login every double quote escaped).
    static QByteArray DeviceName(const QString &name, bool escapeQuotes = false);

    const char *ReplyText() const { return m_replyText; }
    // The first byte the instrument sent in the last binary exchange (its
    // status or data length); 0 when nothing came.
    std::uint8_t LastStatus() const { return m_lastStatus; }
    // The data length the last binary exchange announced (s, or L of a long
    // reply): the reply length less any checksum bytes.
    std::uint32_t LastDataLength() const { return m_lastDataLength; }
    // Why the last binary exchange failed (cause None after a success).
    const SFailure &LastFailure() const { return m_lastFailure; }
    bool IsCrLfMode() const { return m_crlf; }
    void SetAbortTest(AbortTest test, int userValue)
    {
        m_abortTest = test;
        m_userValue = userValue;
    }
    bool IsAborted() const { return m_abortTest && m_abortTest(m_userValue); }

    // The time-out SetTransferTimeouts sets: 64-bit arithmetic, clamped.
    static int TransferTimeout(std::uint32_t count, std::uint32_t bytesEach, int bytesPerSecond);

private:
    struct Exchange;
    Exchange exchange(std::uint8_t command, std::uint8_t *buffer, std::uint32_t payloadLength, std::uint32_t bufferSize,
                      int readTimeoutMs, int totalTimeoutMs, CCallback *progress);

    // Every byte to and from the instrument passes these two (the trace hook).
    int send(const void *data, int count, bool requireAll = true);
    int receive(void *data, int count);
    bool receiveByte(std::uint8_t &byte);
    void discard(std::uint32_t count);
    bool setTimeouts(int readMs, int writeMs);
    bool sendLength(std::uint32_t length);
    bool storedAnswer();
    // The shared part of the text commands: DLE, go-ahead, command and CR,
    // then the line. -1: no go-ahead or no line.
    int textExchange(const char *command, char *line, int lineSize, int timeoutMs);

    StreamIO::CIoStream *m_stream;
    char m_replyText[kReplyTextSize] = {};
    AbortTest m_abortTest = nullptr;
    int m_userValue = 0;
    bool m_crlf = true;
    std::uint8_t m_lastStatus = 0;
    std::uint32_t m_lastDataLength = 0;
    SFailure m_lastFailure;
};

}   // namespace Device
