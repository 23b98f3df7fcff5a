#pragma once
// Why the last exchange with an instrument failed. The result codes of the
// operations stay as they are; this record sits beside them so that a
// failure message can add the cause on a second line.

#include <QString>

#include <cstdint>

namespace Device {

enum class NFailureCause : std::int32_t {
    None,
    NotConnected,   // no stream, or it was closed
    NoAnswer,       // nothing arrived within the time-out
    Incomplete,     // the reply stopped before its announced length
    Checksum,       // the reply arrived, but its checksum does not match
    LinkLost,       // the stream failed (a cable pulled, a port gone)
    Refused,        // the instrument answered with an error status
    WrongType,      // the instrument on the port is of another family
    BadReply,       // the reply arrived whole but cannot be read
    Unplugged,      // the system said the instrument's device went; streamText names its port
};

struct SFailure
{
    NFailureCause cause = NFailureCause::None;
    std::uint32_t streamCode = 0;   // the stream's error code, when it had one
    QString streamText;             // the stream error's own message
    std::uint8_t status = 0;        // Refused: the instrument's status byte
    std::uint32_t received = 0;     // Incomplete: bytes that came
    std::uint32_t expected = 0;     // Incomplete: bytes announced
};

// One line for the user; empty when the cause is not known.
QString FailureText(const SFailure &failure);
// `message`, and the cause on a second line when it is known.
QString WithCause(const QString &message, const SFailure &failure);

}   // namespace Device
