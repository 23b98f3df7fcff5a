#pragma once
// The protocol trace: when VETRADESK_TRACE names a file, every byte the
// command engine sends or receives is appended there as a timestamped hex
// dump. Nothing is written otherwise; the check is made once per process.

#include <QString>

#include <cstddef>
#include <cstdint>

namespace Device {

enum class TraceDirection { Sent, Received };

bool TraceEnabled();
void TraceBytes(TraceDirection direction, const QString &stream, const void *data, std::size_t length);
void TraceNote(const QString &stream, const QString &text);

}   // namespace Device
