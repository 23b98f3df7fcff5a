#include "device/trace.h"

#include <QDateTime>
#include <QFile>

#include <mutex>

namespace Device {
namespace {

struct Trace
{
    std::mutex lock;
    QFile file;
    bool enabled = false;

    Trace()
    {
        const QString path = qEnvironmentVariable("VETRADESK_TRACE");
        if (path.isEmpty())
            return;
        file.setFileName(path);
        enabled = file.open(QIODevice::WriteOnly | QIODevice::Append);
    }

    void line(const QString &text)
    {
        const QByteArray bytes =
            (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) + text + u'\n').toUtf8();
        std::lock_guard guard(lock);
        file.write(bytes);
        file.flush();
    }
};

Trace &trace()
{
    static Trace t;
    return t;
}

}   // namespace

bool TraceEnabled()
{
    return trace().enabled;
}

void TraceBytes(TraceDirection direction, const QString &stream, const void *data, std::size_t length)
{
    if (!TraceEnabled() || length == 0)
        return;
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    const QString arrow = direction == TraceDirection::Sent ? QStringLiteral(" >> ") : QStringLiteral(" << ");
    // Sixteen bytes a line: offset, hex, and the printable characters.
    for (std::size_t offset = 0; offset < length; offset += 16) {
        QString hex, text;
        for (std::size_t i = offset; i < std::min(length, offset + 16); ++i) {
            hex += QString::asprintf("%02X ", bytes[i]);
            text += (bytes[i] >= 0x20 && bytes[i] < 0x7F) ? QChar(char16_t(bytes[i])) : QChar(u'.');
        }
        trace().line(stream + arrow + QString::asprintf("%04zX  ", offset) + hex.leftJustified(48) + text);
    }
}

void TraceNote(const QString &stream, const QString &text)
{
    if (TraceEnabled())
        trace().line(stream + QStringLiteral(" -- ") + text);
}

}   // namespace Device
