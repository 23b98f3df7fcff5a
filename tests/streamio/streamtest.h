#pragma once
// Helpers shared by the stream-layer suites.

#include "streamio/iostream.h"
#include "streamio/streamerror.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace StreamTest {

// The code of the StreamError that `f` raises; 0 when it raises none.
// Any other exception passes through and fails the test.
template <class F>
std::uint32_t CodeOf(F &&f)
{
    try {
        f();
    } catch (const StreamIO::StreamError &e) {
        return e.code();
    }
    return 0;
}

// The stream name carried by the StreamError that `f` raises.
template <class F>
QString NameOf(F &&f)
{
    try {
        f();
    } catch (const StreamIO::StreamError &e) {
        return e.streamName();
    }
    return QStringLiteral("<nothing raised>");
}

// The whole content of a random-access stream; leaves it at the end.
inline QByteArray ReadAll(StreamIO::CIoStream &s)
{
    QByteArray all;
    s.SetPosition(0);
    char chunk[4096];
    while (const int n = s.Read(chunk, int(sizeof chunk)))
        all.append(chunk, n);
    return all;
}

inline QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex));   // spaces are skipped
}

}   // namespace StreamTest
