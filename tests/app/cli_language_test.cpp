// vetradesk-cli follows the language chosen with its settings command, from
// the next command on.
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

class CliLanguage : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(home.isValid()); }

    SRun Run(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VETRA_PROGRAM_DIR "/vetradesk-cli"), args);
        SRun r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "vetradesk-cli did not finish";
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QTemporaryDir home;
};

TEST_F(CliLanguage, HelpAndErrorsFollowTheChosenLanguage)
{
    const QStringList info{QStringLiteral("info"), QStringLiteral("/nonexistent.csv")};

    SRun english = Run({QStringLiteral("--help")});
    EXPECT_EQ(english.code, 0);
    EXPECT_FALSE((english.out + english.err).contains(QStringLiteral("Aufruf:")));

    SRun set = Run({QStringLiteral("settings"), QStringLiteral("--language"), QStringLiteral("Deutsch")});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    const QString stored = QString::fromUtf8([&] {
        QFile f(home.filePath(QStringLiteral("config/Quelix/settings.json")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }());
    EXPECT_TRUE(stored.contains(QStringLiteral(VETRA_PROGRAM_DIR "/Vetradesk_DEU.dll"))) << stored.toStdString();

    SRun help = Run({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE((help.out + help.err).contains(QStringLiteral("Aufruf:"))) << help.out.toStdString();
    SRun failing = Run(info);
    EXPECT_NE(failing.code, 0);
    EXPECT_TRUE(failing.err.contains(QStringLiteral("Die Datei kann nicht gelesen werden")))
        << failing.err.toStdString();

    set = Run({QStringLiteral("settings"), QStringLiteral("--language"), QStringLiteral("English")});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    help = Run({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_FALSE((help.out + help.err).contains(QStringLiteral("Aufruf:")));
    EXPECT_EQ(help.out, english.out);
    failing = Run(info);
    EXPECT_NE(failing.code, 0);
    EXPECT_TRUE(failing.err.contains(QStringLiteral("the file cannot be read"))) << failing.err.toStdString();
    EXPECT_FALSE(failing.err.contains(QStringLiteral("Die Datei")));
}

}   // namespace
