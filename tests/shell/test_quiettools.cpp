// Both programs as a script or cron runs them: --version and --help answer
// without touching anything, a drawing command prints nothing but its
// result, and a setting that cannot be stored is an error.
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct SRun
{
    int code = -1;
    QString out, err;
};

// A plain shell's environment: no display, no runtime folder, a fresh home.
SRun run(const QString &program, const QStringList &args, const QTemporaryDir &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("TMPDIR"), home.filePath(QStringLiteral("tmp")));
    QDir(home.path()).mkpath(QStringLiteral("tmp"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VETRA_PROGRAM_DIR "/") + program, args);
    SRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(QuietTools, VersionAndHelpWriteNothingAndWarnAboutNothing)
{
    for (const char *program : {"vetradesk", "vetradesk-cli"})
        for (const char *option : {"--version", "--help"}) {
            SCOPED_TRACE(std::string(program) + ' ' + option);
            QTemporaryDir home;
            const SRun r = run(QString::fromLatin1(program), {QString::fromLatin1(option)}, home);
            EXPECT_EQ(r.code, 0);
            EXPECT_EQ(r.err, QString());
            EXPECT_FALSE(r.out.isEmpty());
            EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("config"))))
                << "the settings were written: "
                << entries(home.filePath(QStringLiteral("config/Quelix"))).join(u' ').toStdString();
        }
}

TEST(QuietTools, ADrawingCommandWithoutARuntimeFolderPrintsOnlyItsResult)
{
    QTemporaryDir home;
    const QString picture = home.filePath(QStringLiteral("demo.png"));
    const SRun r = run(QStringLiteral("vetradesk-cli"),
                       {QStringLiteral("export-graphic"), QStringLiteral("-o"), picture,
                        TestSupport::SourcePath(QStringLiteral("samples/demo.csv"))},
                       home);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, QString());
    EXPECT_TRUE(QFile::exists(picture));
    EXPECT_EQ(entries(home.filePath(QStringLiteral("tmp"))), QStringList())
        << "the private runtime folder stays behind";
}

TEST(QuietTools, ASettingThatCannotBeStoredIsAnErrorWithTheFile)
{
    QTemporaryDir home;
    // A file where the settings folder belongs: no store can be written there, not even by root.
    QDir(home.path()).mkpath(QStringLiteral("config"));
    QFile blocker(home.filePath(QStringLiteral("config/Quelix")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const SRun r = run(QStringLiteral("vetradesk-cli"),
                       {QStringLiteral("settings"), QStringLiteral("--date-format"), QStringLiteral("2")}, home);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, QString()) << "nothing is shown as set";
    EXPECT_TRUE(r.err.contains(home.filePath(QStringLiteral("config/Quelix/settings.json")))) << r.err.toStdString();
}

}   // namespace
