#include "ftpfixture.h"

#include "res/textformat.h"
#include "update/server/installerdownload.h"
#include "update/server/updatecheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace {

const CVersion kOwn = CVersion::Parse(u"1.0.1.0");

QString Chosen(const QStringList &names)
{
    return ChooseInstaller(names, kOwn).file;
}

// Everything in a folder, hidden files included, so a left ".part" shows.
QStringList FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}   // namespace

TEST(UpdateChoice, NewestInstallerAboveOwnVersion)
{
    const QString v1030 = QStringLiteral("Vetradesk_V_1_0_3_0.exe");
    const QString v1100 = QStringLiteral("Vetradesk_V_1_1_0_0.exe");

    EXPECT_FALSE(ChooseInstaller({QStringLiteral("Vetradesk_V_1_0_1_0.exe")}, kOwn).HasUpdate()) << "same version";

    for (const QStringList &names : {QStringList{v1030, v1100}, QStringList{v1100, v1030}}) {
        const SUpdateChoice choice = ChooseInstaller(names, kOwn);
        EXPECT_EQ(choice.file, v1100) << names.join(u' ').toStdString();
        EXPECT_EQ(choice.best, CVersion::Parse(u"1.1.0.0"));
        // Server version, then own, both in three parts.
        const QString text = UpdateResultText(choice, QStringLiteral("Vetradesk"));
        const qsizetype server = text.indexOf(QStringLiteral("1.1.0")), own = text.indexOf(QStringLiteral("1.0.1"));
        EXPECT_TRUE(server >= 0 && own > server) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("1.1.0.0")) || text.contains(QStringLiteral("1.0.1.0")))
            << text.toStdString();
    }

    const SUpdateChoice threeParts = ChooseInstaller({QStringLiteral("Vetradesk_V_1_0_3.exe")}, kOwn);
    EXPECT_EQ(threeParts.best, CVersion::Parse(u"1.0.3.0"));
    EXPECT_TRUE(threeParts.HasUpdate());
    const SUpdateChoice suffixed = ChooseInstaller({QStringLiteral("Setup_V_1_5_0_0_beta.exe")}, kOwn);
    EXPECT_EQ(suffixed.file, QStringLiteral("Setup_V_1_5_0_0_beta.exe"));
    EXPECT_EQ(suffixed.best, CVersion::Parse(u"1.5.0.0"));

    // Names that read as no version or as one below 1.0.1.0.
    for (const char16_t *name : {u"Vetradesk_V_2.exe", u"Vetradesk_V_1_2_0_0.EXE", u"Vetradesk_V_1_5.exe",
                                 u"Vetradesk_V_65536_0_0_0.exe", u"Vetradesk_V_-1.exe"}) {
        const SUpdateChoice choice = ChooseInstaller({QString::fromUtf16(name)}, kOwn);
        EXPECT_FALSE(choice.HasUpdate()) << QString::fromUtf16(name).toStdString() << " chosen as "
                                         << choice.best.toString(CVersion::Style::FourParts).toStdString();
    }

    // A name that could leave the download folder loses even with the highest version.
    const QString safe = QStringLiteral("Vetradesk_V_1_2_0_0.exe");
    for (const char16_t *name :
         {u"sub/Vetradesk_V_9_0_0_0.exe", u"sub\\Vetradesk_V_9_0_0_0.exe", u"Vetradesk_V_9_0_0_0..exe"}) {
        const QString unsafe = QString::fromUtf16(name);
        ASSERT_GT(CVersion::FromInstallerName(unsafe), CVersion::FromInstallerName(safe)) << unsafe.toStdString();
        EXPECT_EQ(Chosen({unsafe, safe}), safe) << unsafe.toStdString();
        EXPECT_EQ(Chosen({unsafe}), QString()) << unsafe.toStdString();
    }

    // Equal versions: the first listed.
    const QString fourParts = QStringLiteral("Vetradesk_V_1_2_0_0.exe"), three = QStringLiteral("Setup_V_1_2_0.exe");
    EXPECT_EQ(Chosen({fourParts, three}), fourParts);
    EXPECT_EQ(Chosen({three, fourParts}), three);
}

class UpdateServerTest : public FtpFixture
{
};

TEST_F(UpdateServerTest, ListsNamesInServerOrderAndTheirSizes)
{
    // A blank and a "#" must reach the server as part of the name.
    const std::map<QString, qint64> files = {{QStringLiteral("Vetradesk_V_1_0_1_0.exe"), 1000},
                                             {QStringLiteral("Vetradesk_V_1_1_0_0.exe"), 2345},
                                             {QStringLiteral("read me.txt"), 17},
                                             {QStringLiteral("Notes#1.txt"), 0}};
    for (const auto &[name, size] : files)
        AddFile(name, Payload(size, 7));
    ASSERT_TRUE(QDir(UpdateFolder()).mkdir(QStringLiteral("old")));
    ASSERT_TRUE(StartServer());

    UpdateServer server(Address());
    ASSERT_TRUE(server.Connect(Directory())) << server.GetLastError().toStdString();
    QStringList names;
    ASSERT_TRUE(server.ListNames(names)) << server.GetLastError().toStdString();
    // pyftpdlib sends the names sorted.
    QStringList expected{QStringLiteral("old")};
    for (const auto &entry : files)
        expected << entry.first;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);

    for (const QString &name : names) {
        const auto file = files.find(name);
        EXPECT_EQ(server.FileSize(name), file == files.end() ? -1 : file->second) << name.toStdString();
    }
    EXPECT_TRUE(server.IsConnected());
}

TEST_F(UpdateServerTest, FindUpdateConnectsChoosesAndSizesAndListsAfresh)
{
    AddFile(QStringLiteral("Vetradesk_V_1_0_1_0.exe"), Payload(100, 1));
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), Payload(4321, 2));
    AddFile(QStringLiteral("Vetradesk_V_1_0_3_0.exe"), Payload(300, 3));
    ASSERT_TRUE(StartServer());

    UpdateServer server(Address());
    SUpdateChoice choice;
    bool listingFailed = true;
    ASSERT_TRUE(FindUpdate(server, kOwn, choice, &listingFailed)) << server.GetLastError().toStdString();
    EXPECT_FALSE(listingFailed);
    EXPECT_EQ(choice.file, QStringLiteral("Vetradesk_V_1_1_0_0.exe"));
    EXPECT_EQ(choice.size, 4321);

    // A second check on the same session sees what appeared in the meantime.
    AddFile(QStringLiteral("Vetradesk_V_1_2_0_0.exe"), Payload(555, 4));
    ASSERT_TRUE(FindUpdate(server, kOwn, choice)) << server.GetLastError().toStdString();
    EXPECT_EQ(choice.file, QStringLiteral("Vetradesk_V_1_2_0_0.exe"));
    EXPECT_EQ(choice.size, 555);
}

TEST_F(UpdateServerTest, WrongPasswordIsAConnectionErrorWithTheClientsText)
{
    ASSERT_TRUE(StartServer());
    SServerAddress address = Address();
    address.password = QStringLiteral("Wrong-Secret-42");
    UpdateServer server(address);
    EXPECT_FALSE(server.Connect(Directory()));
    EXPECT_EQ(server.GetLastCode(), 67);
    const QString error = server.GetLastError();
    const QString tail = QStringLiteral(" Connection error (code 67).");
    EXPECT_TRUE(error.endsWith(tail)) << error.toStdString();
    EXPECT_FALSE(error.chopped(std::min(error.size(), tail.size())).trimmed().isEmpty()) << error.toStdString();
    EXPECT_FALSE(error.contains(address.password)) << error.toStdString();
    EXPECT_FALSE(server.IsConnected());
}

TEST_F(UpdateServerTest, ClosedPortIsAConnectionError)
{
    // A port that just had a server on it and has none now.
    ASSERT_TRUE(StartServer());
    const SServerAddress address = Address();
    KillServer();

    UpdateServer server(address);
    EXPECT_FALSE(server.Connect(Directory()));
    EXPECT_EQ(server.GetLastCode(), 7) << server.GetLastError().toStdString();
    EXPECT_TRUE(server.GetLastError().endsWith(QStringLiteral(" Connection error (code 7).")))
        << server.GetLastError().toStdString();
    // The client's own reason ends its sentence before the code's begins.
    const QString reason = server.GetLastError().chopped(QStringLiteral(" Connection error (code 7).").size());
    EXPECT_TRUE(reason.endsWith(u'.')) << server.GetLastError().toStdString();
    EXPECT_FALSE(server.IsConnected());
}

TEST(UpdateServerReply, AServerThatHangsUpAtOnceIsSaidInASentenceOfItsOwn)
{
    // libcurl words this one in lower case ("response reading failed ...").
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr *>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr *>(&at), &size), 0);
    std::thread hangUp([listener] {
        for (int client; (client = ::accept(listener, nullptr, nullptr)) >= 0;)
            ::close(client);
    });

    SServerAddress address = DefaultServerAddress();
    address.host = QStringLiteral("127.0.0.1");
    address.port = ntohs(at.sin_port);
    UpdateServer server(address);
    EXPECT_FALSE(server.Connect(QStringLiteral("./QxUpgrade/Vetradesk/")));
    const QString error = server.GetLastError();
    const QString tail = QStringLiteral(" Connection error (code %1).").arg(server.GetLastCode());
    EXPECT_TRUE(error.endsWith(tail)) << qPrintable(error);
    ASSERT_GT(error.size(), tail.size()) << qPrintable(error);
    EXPECT_TRUE(error.front().isUpper()) << qPrintable(error);
    EXPECT_TRUE(error.chopped(tail.size()).endsWith(u'.')) << qPrintable(error);

    ::shutdown(listener, SHUT_RDWR);
    hangUp.join();
    ::close(listener);
}

TEST_F(UpdateServerTest, MissingFolderCannotBeOpened)
{
    ASSERT_TRUE(StartServer());
    UpdateServer server(Address());
    EXPECT_FALSE(server.Connect(QStringLiteral("./QxUpgrade/Missing/")));
    EXPECT_EQ(server.GetLastError(),
              QStringLiteral("The folder ./QxUpgrade/Missing/ on the update server cannot be opened."));
    EXPECT_FALSE(server.IsConnected());
}

TEST_F(UpdateServerTest, IsConnectedUntilTheServerIsGone)
{
    ASSERT_TRUE(StartServer());
    UpdateServer server(Address());
    ASSERT_TRUE(server.Connect(Directory())) << server.GetLastError().toStdString();
    EXPECT_TRUE(server.IsConnected());
    EXPECT_TRUE(server.IsConnected()) << "the check itself must keep the session";
    KillServer();
    EXPECT_FALSE(server.IsConnected());
}

class InstallerDownloadTest : public FtpFixture
{
protected:
    // Connects and takes the listed size, as the update check does.
    SServerFile Listed(UpdateServer &server, const QString &name)
    {
        EXPECT_TRUE(server.IsConnected() || server.Connect(Directory())) << server.GetLastError().toStdString();
        return {name, server.FileSize(name)};
    }

    QTemporaryDir target;
};

TEST_F(InstallerDownloadTest, StepsAndBytesForEachSize)
{
    // size -> steps: size / 10000 bytes a step, at least one byte.
    const std::vector<std::pair<qsizetype, std::uint64_t>> cases = {
        {25'000'000, 10000}, {15'000, 15000}, {30'000, 10000}, {5'000, 5000}};
    for (const auto &[size, steps] : cases)
        AddFile(QStringLiteral("Vetradesk_V_2_0_0_%1.exe").arg(size), Payload(size, std::uint32_t(size)));
    ASSERT_TRUE(StartServer());
    UpdateServer server(Address());

    for (const auto &[size, expectedSteps] : cases) {
        const QString name = QStringLiteral("Vetradesk_V_2_0_0_%1.exe").arg(size);
        SCOPED_TRACE(name.toStdString());
        const QString folder = target.filePath(QString::number(size));
        ASSERT_TRUE(QDir().mkpath(folder));
        const SServerFile file = Listed(server, name);
        ASSERT_EQ(file.size, size);

        CInstallerDownload download(folder + u'/' + name, file);
        QString reason;
        ASSERT_TRUE(download.Create(&reason)) << reason.toStdString();
        std::vector<std::uint64_t> received;
        const std::atomic<bool> cancel{false};
        const auto result = download.Run(server, cancel, [&](std::uint64_t n) { received.push_back(n); });
        ASSERT_EQ(result, CInstallerDownload::Result::Done) << download.Detail().toStdString();

        EXPECT_EQ(download.Steps(), expectedSteps);
        ASSERT_EQ(received.size(), expectedSteps);
        EXPECT_EQ(received.back(), std::uint64_t(size));
        // Even steps: the bar moves the same for every chunk, whatever blocks the server sent.
        const std::uint64_t chunk = std::uint64_t(size) / expectedSteps;
        std::size_t uneven = 0;
        for (std::size_t i = 0; i < received.size(); ++i)
            uneven += received[i] != (i + 1) * chunk;
        EXPECT_EQ(uneven, 0u);
        EXPECT_EQ(FilesIn(folder), QStringList{name});
        EXPECT_TRUE(TestSupport::ReadBytes(folder + u'/' + name) == Payload(size, std::uint32_t(size)))
            << "bytes differ";
        if (size == 25'000'000) {
            EXPECT_EQ(CInstallerDownload::ChunkSize(size), 2500u);
            EXPECT_EQ(Res::Format(u"%0.2f", {double(received.back()) / 1048576.0}), QStringLiteral("23.84"));
        }
    }
}

TEST_F(InstallerDownloadTest, ListedSizeAboveTheContentOrZeroLeavesNoFile)
{
    const QByteArray content = Payload(40'000, 9);
    const QString larger = QStringLiteral("Vetradesk_V_3_0_0_0.exe"), zero = QStringLiteral("Vetradesk_V_3_0_0_2.exe");
    for (const QString &name : {larger, zero})
        AddFile(name, content);
    ASSERT_TRUE(StartServer({QStringLiteral("--size"), larger + QStringLiteral("=50000"), QStringLiteral("--size"),
                             zero + QStringLiteral("=0")}));
    UpdateServer server(Address());

    for (const QString &name : {larger, zero}) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = target.filePath(name.chopped(4));
        ASSERT_TRUE(QDir().mkpath(folder));
        const SServerFile file = Listed(server, name);
        ASSERT_NE(file.size, content.size()) << "the server did not take --size";
        CInstallerDownload download(folder + u'/' + name, file);
        ASSERT_TRUE(download.Create(nullptr));
        const std::atomic<bool> cancel{false};
        EXPECT_EQ(download.Run(server, cancel, {}), CInstallerDownload::Result::Failed);
        EXPECT_FALSE(download.Detail().isEmpty());
        EXPECT_EQ(FilesIn(folder), QStringList());
    }
}

TEST_F(InstallerDownloadTest, ListedSizeBelowTheContentLeavesNoFile)
{
    // The listing promised fewer bytes than the file holds: taking only the
    // listed ones would give a cut-off installer its final name.
    const QString name = QStringLiteral("Vetradesk_V_3_0_0_1.exe");
    AddFile(name, Payload(40'000, 9));
    ASSERT_TRUE(StartServer({QStringLiteral("--size"), name + QStringLiteral("=30000")}));
    UpdateServer server(Address());
    const SServerFile file = Listed(server, name);
    ASSERT_EQ(file.size, 30'000) << "the server did not take --size";

    // How the transfer ends varies from run to run; three tries show it reliably.
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        const QString folder = target.filePath(QString::number(attempt));
        ASSERT_TRUE(QDir().mkpath(folder));
        CInstallerDownload download(folder + u'/' + name, file);
        ASSERT_TRUE(download.Create(nullptr));
        const std::atomic<bool> cancel{false};
        EXPECT_EQ(download.Run(server, cancel, {}), CInstallerDownload::Result::Failed)
            << "accepted " << download.Received() << " bytes of a 40000-byte file";
        EXPECT_EQ(FilesIn(folder), QStringList());
    }
}

TEST_F(InstallerDownloadTest, CancelInTheMiddleLeavesNoFile)
{
    const QString name = QStringLiteral("Vetradesk_V_4_0_0_0.exe");
    AddFile(name, Payload(25'000'000, 5));
    // Slow enough that the transfer is still running when the flag is set.
    ASSERT_TRUE(StartServer({QStringLiteral("--rate"), QStringLiteral("2000000")}));
    UpdateServer server(Address());
    const SServerFile file = Listed(server, name);
    ASSERT_EQ(file.size, 25'000'000);

    CInstallerDownload download(target.filePath(name), file);
    ASSERT_TRUE(download.Create(nullptr));
    std::atomic<bool> cancel{false};
    const auto result = download.Run(server, cancel, [&](std::uint64_t received) {
        if (received >= 1'000'000)
            cancel = true;
    });
    EXPECT_EQ(result, CInstallerDownload::Result::Cancelled);
    EXPECT_LT(download.Received(), std::uint64_t(file.size));
    EXPECT_EQ(FilesIn(target.path()), QStringList());
}

TEST(InstallerDownload, UnrunDownloadLeavesNoPartFile)
{
    QTemporaryDir target;
    {
        CInstallerDownload download(target.filePath(QStringLiteral("Vetradesk_V_5_0_0_0.exe")),
                                    {QStringLiteral("Vetradesk_V_5_0_0_0.exe"), 1000});
        ASSERT_TRUE(download.Create(nullptr));
        ASSERT_TRUE(QFile::exists(download.PartPath()));
    }
    EXPECT_EQ(FilesIn(target.path()), QStringList());
}

TEST(InstallerDownload, FolderThatCannotBeWrittenIsRefusedAtCreate)
{
    QTemporaryDir target;
    const SServerFile file{QStringLiteral("Vetradesk_V_5_0_0_0.exe"), 1000};

    // A "folder" that is a file stops root too.
    TestSupport::WriteBytes(target.filePath(QStringLiteral("plain")), "x");
    CInstallerDownload belowFile(target.filePath(QStringLiteral("plain/Vetradesk_V_5_0_0_0.exe")), file);
    QString reason;
    EXPECT_FALSE(belowFile.Create(&reason));
    EXPECT_FALSE(reason.isEmpty());

    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const QString locked = target.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    CInstallerDownload download(locked + QStringLiteral("/Vetradesk_V_5_0_0_0.exe"), file);
    reason.clear();
    EXPECT_FALSE(download.Create(&reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(FilesIn(locked), QStringList());
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
