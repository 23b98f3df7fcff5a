#pragma once
// Failures of the stream layer. Codes are the numbers callers test (38 end of
// data, 1460 time-out, 50 not supported, 6 no such stream, ...); system
// errors are mapped onto the same numbers in one place (oserror.cpp).

#include "res/usermessage.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace StreamIO {

inline constexpr std::uint32_t ERR_NONE = 0;
inline constexpr std::uint32_t ERR_FILE_NOT_FOUND = 2;
inline constexpr std::uint32_t ERR_PATH_NOT_FOUND = 3;
inline constexpr std::uint32_t ERR_TOO_MANY_OPEN_FILES = 4;
inline constexpr std::uint32_t ERR_ACCESS_DENIED = 5;
inline constexpr std::uint32_t ERR_INVALID_HANDLE = 6;
inline constexpr std::uint32_t ERR_INVALID_DATA = 13;
inline constexpr std::uint32_t ERR_OUTOFMEMORY = 14;
inline constexpr std::uint32_t ERR_WRITE_PROTECT = 19;
inline constexpr std::uint32_t ERR_SEEK = 25;
inline constexpr std::uint32_t ERR_WRITE_FAULT = 29;
inline constexpr std::uint32_t ERR_READ_FAULT = 30;
inline constexpr std::uint32_t ERR_GEN_FAILURE = 31;
inline constexpr std::uint32_t ERR_SHARING_VIOLATION = 32;
inline constexpr std::uint32_t ERR_HANDLE_EOF = 38;
inline constexpr std::uint32_t ERR_NOT_SUPPORTED = 50;
inline constexpr std::uint32_t ERR_FILE_EXISTS = 80;
inline constexpr std::uint32_t ERR_INVALID_PARAMETER = 87;
inline constexpr std::uint32_t ERR_BROKEN_PIPE = 109;
inline constexpr std::uint32_t ERR_OPEN_FAILED = 110;
inline constexpr std::uint32_t ERR_DISK_FULL = 112;
inline constexpr std::uint32_t ERR_INSUFFICIENT_BUFFER = 122;
inline constexpr std::uint32_t ERR_INVALID_NAME = 123;
inline constexpr std::uint32_t ERR_NEGATIVE_SEEK = 131;
inline constexpr std::uint32_t ERR_SEEK_ON_DEVICE = 132;
inline constexpr std::uint32_t ERR_BUSY = 170;
inline constexpr std::uint32_t ERR_FILENAME_TOO_LONG = 206;
inline constexpr std::uint32_t ERR_FILE_TOO_LARGE = 223;
inline constexpr std::uint32_t ERR_OPERATION_ABORTED = 995;
inline constexpr std::uint32_t ERR_IO_DEVICE = 1117;
inline constexpr std::uint32_t ERR_DEVICE_NOT_CONNECTED = 1167;
inline constexpr std::uint32_t ERR_TIMEOUT = 1460;
inline constexpr std::uint32_t ERR_WSA_CONNABORTED = 10053;
inline constexpr std::uint32_t ERR_WSA_CONNRESET = 10054;
inline constexpr std::uint32_t ERR_WSA_TIMEDOUT = 10060;
inline constexpr std::uint32_t ERR_WSA_CONNREFUSED = 10061;
inline constexpr std::uint32_t ERR_WSA_HOST_NOT_FOUND = 11001;
// A system error without a number of its own: this bit plus errno.
inline constexpr std::uint32_t ERR_SYSTEM_FLAG = 0x20000000;

class StreamError : public std::exception, public Res::IUserMessage
{
public:
    StreamError(std::uint32_t code, QString streamName, QString systemText = {});

    std::uint32_t code() const { return m_code; }
    const QString &streamName() const { return m_name; }
    // The system's own reason where the code came from a system call.
    const QString &systemText() const { return m_systemText; }

    // One line for the user: what failed, and on which stream.
    QString message() const override;
    const char *what() const noexcept override { return m_what.c_str(); }

private:
    std::uint32_t m_code;
    QString m_name;
    QString m_systemText;
    std::string m_what;
};

// The code callers test for a system errno, and the system's text for it.
std::uint32_t CodeFromErrno(int error);
QString SystemErrorText(int error);

// The user's text for a stream code (string resources).
QString StreamCodeText(std::uint32_t code);

}   // namespace StreamIO
