#include "streamio/portmap.h"

#include "streamio/streamtable.h"

#include <QDir>

#include <algorithm>
#include <mutex>

namespace StreamIO {
namespace {

std::mutex g_lock;
QHash<std::uint32_t, QString> g_map;

// ttyUSB2 before ttyUSB10.
int trailingNumber(const QString &name)
{
    qsizetype i = name.size();
    while (i > 0 && name[i - 1].isDigit())
        --i;
    return name.mid(i).toInt();
}

}   // namespace

void SetPortMap(const QHash<std::uint32_t, QString> &map)
{
    std::lock_guard guard(g_lock);
    g_map = map;
}

QHash<std::uint32_t, QString> PortMap()
{
    std::lock_guard guard(g_lock);
    return g_map;
}

QHash<std::uint32_t, QString> ParsePortMap(const QString &text)
{
    QHash<std::uint32_t, QString> map;
    for (const QString &entry : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf(u'=');
        if (eq <= 0)
            continue;
        std::uint32_t port = 0;
        const QString device = entry.mid(eq + 1).trimmed();
        if (IsSerialPortName(entry.left(eq).trimmed(), &port) && port > 0 && !device.isEmpty())
            map.insert(port, device);
    }
    return map;
}

QStringList SerialDevices()
{
    QStringList devices;
    const QDir dev(QStringLiteral("/dev"));
    for (const char16_t *group : {u"ttyACM*", u"ttyUSB*", u"ttyS*"}) {
        QStringList names = dev.entryList({QString::fromUtf16(group)}, QDir::System | QDir::Files);
        std::sort(names.begin(), names.end(),
                  [](const QString &a, const QString &b) { return trailingNumber(a) < trailingNumber(b); });
        for (const QString &n : names)
            devices.append(dev.filePath(n));
    }
    return devices;
}

QString ResolvePort(std::uint32_t n)
{
    if (n == 0)
        return {};
    const QHash<std::uint32_t, QString> fromEnv = ParsePortMap(qEnvironmentVariable("VETRADESK_PORTMAP"));
    if (fromEnv.contains(n))
        return fromEnv.value(n);
    {
        std::lock_guard guard(g_lock);
        if (g_map.contains(n))
            return g_map.value(n);
    }
    const QStringList devices = SerialDevices();
    return n <= std::uint32_t(devices.size()) ? devices[int(n - 1)] : QString();
}

std::uint32_t PortOfDevice(const QString &path)
{
    if (path.isEmpty())
        return 0;
    const QHash<std::uint32_t, QString> fromEnv = ParsePortMap(qEnvironmentVariable("VETRADESK_PORTMAP"));
    const QHash<std::uint32_t, QString> map = PortMap();
    // A mapped number hides the counted device of the same number.
    auto resolvesHere = [&](std::uint32_t n) { return ResolvePort(n) == path; };
    for (auto it = fromEnv.begin(); it != fromEnv.end(); ++it)
        if (it.value() == path)
            return it.key();
    for (auto it = map.begin(); it != map.end(); ++it)
        if (it.value() == path && resolvesHere(it.key()))
            return it.key();
    const qsizetype counted = SerialDevices().indexOf(path);
    if (counted >= 0 && resolvesHere(std::uint32_t(counted + 1)))
        return std::uint32_t(counted + 1);
    return 0;
}

}   // namespace StreamIO
