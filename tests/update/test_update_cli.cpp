// vetradesk-cli update-check and update-download against the local FTP server.
#include "ftpfixture.h"

#include "support/clirun.h"

#include <QJsonDocument>
#include <QJsonObject>

using TestSupport::RunCli;

namespace {

class UpdateCli : public FtpFixture
{
protected:
    QString server() const { return QStringLiteral("ftp://127.0.0.1:%1").arg(Port()); }
    QStringList files() const { return QDir(out.path()).entryList(QDir::Files); }
    QTemporaryDir out;
};

TEST_F(UpdateCli, TheCheckSaysWhatTheWindowSaysOrOneJsonObject)
{
    AddFile(QStringLiteral("Vetradesk_V_1_0_1_0.exe"), "same");
    ASSERT_TRUE(StartServer());
    auto r = RunCli({QStringLiteral("update-check"), QStringLiteral("--server"), server()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(
        r.out,
        QStringLiteral("There is no update available.\nYou are already using the most recent version of Vetradesk.\n"));
    r = RunCli({QStringLiteral("update-check"), QStringLiteral("--server"), server(), QStringLiteral("--json")});
    QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(json.value(u"own").toString(), QStringLiteral("1.0.1"));
    EXPECT_FALSE(json.value(u"newer").toBool(true));
    EXPECT_TRUE(json.value(u"server").isNull() && json.value(u"file").isNull() && json.value(u"size").isNull());

    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), Payload(15'000, 2));
    r = RunCli({QStringLiteral("update-check"), QStringLiteral("--server"), server()});
    EXPECT_EQ(r.out,
              QStringLiteral(
                  "Found a newer version of Vetradesk on the server.\nServer version: 1.1.0\nYour version: 1.0.1\n"));
    r = RunCli({QStringLiteral("update-check"), QStringLiteral("--server"), server(), QStringLiteral("--json")});
    json = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_TRUE(json.value(u"newer").toBool());
    EXPECT_EQ(json.value(u"server").toString(), QStringLiteral("1.1.0"));
    EXPECT_EQ(json.value(u"file").toString(), QStringLiteral("Vetradesk_V_1_1_0_0.exe"));
    EXPECT_EQ(json.value(u"size").toInteger(), 15000);

    // A server that is not there, or an address that is none.
    KillServer();
    r = RunCli({QStringLiteral("update-check"), QStringLiteral("--server"), server()});
    EXPECT_EQ(r.code, 5);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Connection error (code 7)."))) << r.err.toStdString();
    EXPECT_EQ(RunCli({QStringLiteral("update-check"), QStringLiteral("--server"), QStringLiteral("http://x")}).code, 1);
}

TEST_F(UpdateCli, TheDownloadWritesTheInstallerUnderItsNameOrNothing)
{
    const QByteArray installer = Payload(30'000, 4);
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), installer);
    AddFile(QStringLiteral("Vetradesk_V_1_2_0_0.exe"), Payload(10'000, 5));
    ASSERT_TRUE(StartServer({QStringLiteral("--size"), QStringLiteral("Vetradesk_V_1_2_0_0.exe=20000")}));
    // The newest is listed larger than it is: the transfer fails and leaves nothing.
    auto r = RunCli(
        {QStringLiteral("update-download"), QStringLiteral("--server"), server(), QStringLiteral("-o"), out.path()});
    EXPECT_EQ(r.code, 6);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Vetradesk_V_1_2_0_0.exe"))) << r.err.toStdString();
    EXPECT_TRUE(files().isEmpty()) << files().join(u' ').toStdString();

    QFile::remove(UpdateFolder() + QStringLiteral("/Vetradesk_V_1_2_0_0.exe"));
    r = RunCli({QStringLiteral("update-download"), QStringLiteral("--server"), server(), QStringLiteral("-o"),
                out.path(), QStringLiteral("--json")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QString path = out.filePath(QStringLiteral("Vetradesk_V_1_1_0_0.exe"));
    EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).object().value(u"path").toString(), path);
    EXPECT_EQ(files(), QStringList{QStringLiteral("Vetradesk_V_1_1_0_0.exe")});
    EXPECT_TRUE(TestSupport::ReadBytes(path) == installer);

    EXPECT_EQ(RunCli({QStringLiteral("update-download"), QStringLiteral("--server"), server(), QStringLiteral("-o"),
                      out.filePath(QStringLiteral("missing"))})
                  .code,
              2);
    EXPECT_EQ(RunCli({QStringLiteral("update-download"), QStringLiteral("--server"), server()}).code, 1);
}

}   // namespace
