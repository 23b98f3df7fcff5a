// Every suite runs with a fixed time zone and a private, empty configuration
// and runtime folder, so that no test sees the user's settings.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ctime>

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // One zone with daylight-saving time for every run, whatever the machine's.
    qputenv("TZ", "Europe/Berlin");
    tzset();
    qputenv("LC_ALL", "C.UTF-8");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    const QString runtime = home.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
