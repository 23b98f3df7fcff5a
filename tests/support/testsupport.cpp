#include "support/testsupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace TestSupport {

CTestEnvironment::CTestEnvironment()
{
    // One zone with daylight-saving time for every run, whatever the machine's.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("XDG_CONFIG_HOME", (m_home.path() + QStringLiteral("/config")).toLocal8Bit());
    const QString runtime = m_home.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
}

QString SourcePath(const QString &relative)
{
    return QStringLiteral(VETRADESK_SOURCE_DIR) + u'/' + relative;
}

QString FixturePath(const QString &name)
{
    return SourcePath(QStringLiteral("tests/fixtures/") + name);
}

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return f.readAll();
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

ScopedTimeZone::ScopedTimeZone(const char *zone)
    : m_previous(qgetenv("TZ")), m_hadPrevious(qEnvironmentVariableIsSet("TZ"))
{
    qputenv("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone()
{
    if (m_hadPrevious)
        qputenv("TZ", m_previous);
    else
        qunsetenv("TZ");
    tzset();
}

TVetraObject MakeObject(std::uint16_t number, std::initializer_list<int> covers, std::uint8_t regional)
{
    TVetraObject o;
    o.version = CVersion(std::uint64_t(1) << 32);
    o.deviceName = QStringLiteral("Vetrameter+");
    o.serialNumber = QStringLiteral("VM-00417");
    o.softwareVersion = QStringLiteral("2.03");
    o.hardwareIndex = QStringLiteral("B");
    o.signature = QStringLiteral("SIG-7F");
    o.regional = regional;
    o.storageMode = 0;
    o.rawDefaultBarDiameter = 16;
    o.objectNumber = number;
    o.objectName = QStringLiteral("Object %1").arg(number);
    std::uint8_t n = 1;
    for (int c : covers)
        o.measurements.push_back({n++, std::uint8_t(c), 16});
    return o;
}

}   // namespace TestSupport
