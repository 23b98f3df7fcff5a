// The program itself, started as a user starts it.
#include "support/testsupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kProgram = QStringLiteral(VETRA_PROGRAM_DIR "/vetradesk");

QProcessEnvironment cleanEnvironment(const QTemporaryDir &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    return env;
}

TEST(Startup, WithoutADisplayTheProgramSaysSoAndEnds)
{
    QTemporaryDir home;
    QProcess p;
    p.setProcessEnvironment(cleanEnvironment(home));
    p.start(kProgram, {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError())
                    .contains(QStringLiteral("The user interface could not be initialised.")));
}

TEST(Startup, TheWindowStartsWithAProjectAndEndsInOrder)
{
    QTemporaryDir home;
    QProcessEnvironment env = cleanEnvironment(home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VETRADESK_EXIT_AFTER_PAINT"), QStringLiteral("1"));
    const QString project = home.filePath(QStringLiteral("demo.qxs"));
    QProcess convert;
    convert.setProcessEnvironment(env);
    convert.start(QStringLiteral(VETRA_PROGRAM_DIR "/vetradesk-cli"),
                  {QStringLiteral("convert"), QStringLiteral("-o"), project,
                   TestSupport::SourcePath(QStringLiteral("samples/demo.csv"))});
    ASSERT_TRUE(convert.waitForFinished(30000));
    ASSERT_EQ(convert.exitCode(), 0);

    QProcess p;
    p.setProcessEnvironment(env);
    p.start(kProgram, {project, QStringLiteral("--simulate")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), QStringLiteral("Quelix Vetradesk - ") + project);
}

TEST(Startup, ADisplayThatCannotBeReachedIsSaidTheSameWay)
{
    QTemporaryDir home;
    QProcessEnvironment env = cleanEnvironment(home);
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":97"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(kProgram, {});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError())
                    .contains(QStringLiteral("The user interface could not be initialised.")));
}

}   // namespace
