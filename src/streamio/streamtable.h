#pragma once
// The process-wide stream table and the stream-layer entry points.

#include "streamio/iostream.h"

#include <QString>

namespace StreamIO {

inline constexpr int kMaxStreams = 1024;

// Registration is done by CIoStream itself.
class StreamTable
{
public:
    static StreamHandle Register(CIoStream *stream);
    static void Unregister(CIoStream *stream);
    static void AbortAll();
};

// Creates the RAM disk "RAM:". Call once at start, before any RAM stream.
void InitStreamLayer();
// Aborts every registered stream and destroys the RAM disk. Call once at exit,
// after every thread that uses streams has stopped.
void ShutdownStreamLayer();

// Opens a stream by name: "COMn" / "COMn:" a serial port, "RAM:name" a RAM
// file, "IP:host:port" a socket, anything else a file path. The caller owns
// the result. Throws StreamError.
CIoStream *OpenStream(const QString &name, std::uint32_t flags);

// The stream registered under `handle`, or null (never throws).
CIoStream *FindStream(StreamHandle handle);
// Closes the stream of `handle`; 0, 6 when there is none, or the close's code.
std::uint32_t CloseStreamByHandle(StreamHandle handle);

// True when `name` addresses a serial port: "COM", one or more digits and an
// optional ":", in any case. `port` receives the number.
bool IsSerialPortName(const QString &name, std::uint32_t *port = nullptr);

}   // namespace StreamIO
