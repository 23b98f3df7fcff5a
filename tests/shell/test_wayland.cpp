// The window on a Wayland desktop: started natively under a headless
// compositor, it opens and paints (skipped where weston or Qt's Wayland
// platform is missing).
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(Wayland, TheWindowOpensAndPaintsUnderAHeadlessCompositor)
{
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty())
        GTEST_SKIP() << "weston is not installed";
    QTemporaryDir runtime;   // the compositor's socket lives here (mode 0700)
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtime.filePath(QStringLiteral("config")));

    QProcess compositor;
    compositor.setProcessEnvironment(env);
    compositor.setProcessChannelMode(QProcess::MergedChannels);
    compositor.start(weston,
                     {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=vetradesk-test"),
                      QStringLiteral("--use-pixman"), QStringLiteral("--width=1200"), QStringLiteral("--height=900"),
                      QStringLiteral("--idle-time=0")});
    ASSERT_TRUE(compositor.waitForStarted(10000));
    const QString socket = runtime.filePath(QStringLiteral("vetradesk-test"));
    QTest::qWaitFor([&] { return QFile::exists(socket) || compositor.state() != QProcess::Running; }, 10000);
    if (!QFile::exists(socket)) {
        compositor.kill();
        compositor.waitForFinished();
        GTEST_SKIP() << "weston did not start headless: " << compositor.readAll().toStdString();
    }

    env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("vetradesk-test"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("VETRADESK_EXIT_AFTER_PAINT"), QStringLiteral("1"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(VETRA_PROGRAM_DIR "/vetradesk"), {});
    const bool finished = program.waitForFinished(60000);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    compositor.terminate();
    compositor.waitForFinished(10000);
    ASSERT_TRUE(finished);
    if (err.contains(u"Could not find the Qt platform plugin \"wayland\""))
        GTEST_SKIP() << "Qt's Wayland platform (qt6-wayland) is not installed";
    EXPECT_EQ(program.exitCode(), 0) << err.toStdString();
    // The title is printed once the table has painted.
    EXPECT_EQ(QString::fromUtf8(program.readAllStandardOutput()).trimmed(), QStringLiteral("Quelix Vetradesk"));
}

}   // namespace
