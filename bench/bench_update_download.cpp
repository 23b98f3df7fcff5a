// A 25 000 000-byte installer from a local FTP server (tests/support/
// ftpserver.py): CInstallerDownload, with the progress text formatted at
// every step as the download page does, against a plain libcurl download of
// the same file into a file. Both run on a session that has already logged
// in, as the download page finds it after the search. Three runs each,
// alternating, so that a drift of the machine hits both.
#include "res/resources.h"
#include "res/strid.h"
#include "res/textformat.h"
#include "update/server/installerdownload.h"
#include "update/server/updateserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 kSize = 25'000'000;
const QString kName = QStringLiteral("Vetradesk_V_9_0_0_0.exe");
const QString kDirectory = QStringLiteral("./QxUpgrade/Vetradesk/");

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

QString progressText(std::uint64_t received)
{
    const QString amount = Res::Format(u"%0.2f", {double(received) / 1048576.0});
    return Res::FormatString(Res::IDS_UPDATE_AMOUNT, {amount});
}

// The progress text of every step without any transfer: its share of the difference.
double textsOnly(std::uint64_t steps)
{
    std::size_t textLength = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (std::uint64_t i = 1; i <= steps; ++i)
        textLength += std::size_t(progressText(i * std::uint64_t(kSize) / steps).size());
    const double t = seconds(t0);
    return textLength > 0 ? t : 0;
}

double ours(const SServerAddress &address, const QString &target, std::uint64_t &steps)
{
    UpdateServer server(address);
    if (!server.Connect(kDirectory)) {
        std::fprintf(stderr, "cannot connect: %s\n", qPrintable(server.GetLastError()));
        std::exit(1);
    }
    const SServerFile file{kName, server.FileSize(kName)};
    std::size_t textLength = 0;   // keeps the formatting from being optimized away
    const auto t0 = std::chrono::steady_clock::now();
    CInstallerDownload download(target, file);
    QString reason;
    if (!download.Create(&reason)) {
        std::fprintf(stderr, "cannot create: %s\n", qPrintable(reason));
        std::exit(1);
    }
    const std::atomic<bool> cancel{false};
    const auto result = download.Run(
        server, cancel, [&](std::uint64_t received) { textLength += std::size_t(progressText(received).size()); });
    const double t = seconds(t0);
    if (result != CInstallerDownload::Result::Done || QFile(target).size() != kSize || textLength == 0) {
        std::fprintf(stderr, "the download failed: %s\n", qPrintable(download.Detail()));
        std::exit(1);
    }
    steps = download.Steps();
    return t;
}

size_t writeToFile(char *data, size_t size, size_t count, void *file)
{
    return std::fwrite(data, size, count, static_cast<std::FILE *>(file)) * size;
}

double plainCurl(const SServerAddress &address, const QString &target)
{
    const QByteArray folder = "ftp://127.0.0.1:" + QByteArray::number(address.port) + "/QxUpgrade/Vetradesk/";
    const QByteArray url = folder + kName.toUtf8();
    const QByteArray user = address.user.toUtf8(), password = address.password.toUtf8();
    CURL *curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    // Logged in and in the folder before the clock starts, as for ours.
    curl_easy_setopt(curl, CURLOPT_URL, folder.constData());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    if (curl_easy_perform(curl) != CURLE_OK) {
        std::fprintf(stderr, "plain libcurl cannot log in\n");
        std::exit(1);
    }
    const auto t0 = std::chrono::steady_clock::now();
    std::FILE *out = std::fopen(QFile::encodeName(target).constData(), "wb");
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &writeToFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, out);
    const CURLcode code = curl_easy_perform(curl);
    std::fclose(out);
    const double t = seconds(t0);
    curl_easy_cleanup(curl);
    if (code != CURLE_OK || QFile(target).size() != kSize) {
        std::fprintf(stderr, "plain libcurl failed: %s\n", curl_easy_strerror(code));
        std::exit(1);
    }
    return t;
}

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    QTemporaryDir root, target;
    QDir(root.path()).mkpath(QStringLiteral("QxUpgrade/Vetradesk"));
    {
        QFile installer(root.filePath(QStringLiteral("QxUpgrade/Vetradesk/") + kName));
        QByteArray bytes(kSize, Qt::Uninitialized);
        for (qint64 i = 0; i < kSize; ++i)
            bytes[i] = char(i * 131 >> 3);
        if (!installer.open(QIODevice::WriteOnly) || installer.write(bytes) != kSize) {
            std::fprintf(stderr, "cannot write the installer\n");
            return 1;
        }
    }

    // The system interpreter has pyftpdlib; the first python3 on PATH may not.
    QProcess ftp;
    ftp.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VETRA_FTPSERVER_SCRIPT), root.path()});
    while (ftp.waitForStarted() && !ftp.canReadLine() && ftp.waitForReadyRead(20000)) {
    }
    SServerAddress address = DefaultServerAddress();
    address.host = QStringLiteral("127.0.0.1");
    address.port = ftp.readLine().trimmed().toInt();
    if (address.port <= 0) {
        std::fprintf(stderr, "the FTP server did not start: %s\n", ftp.readAllStandardError().constData());
        return 1;
    }

    std::vector<double> ourTimes, plainTimes, textTimes;
    std::uint64_t steps = 0;
    for (int run = 0; run < 3; ++run) {
        ourTimes.push_back(ours(address, target.filePath(kName), steps));
        QFile::remove(target.filePath(kName));
        plainTimes.push_back(plainCurl(address, target.filePath(QStringLiteral("plain.exe"))));
        QFile::remove(target.filePath(QStringLiteral("plain.exe")));
        textTimes.push_back(textsOnly(steps));
    }
    ftp.kill();
    ftp.waitForFinished();

    std::printf("%lld bytes from a local FTP server (pyftpdlib), 3 runs each\n", qint64(kSize));
    for (int run = 0; run < 3; ++run)
        std::printf("run %d: CInstallerDownload %.3f s (%.0f MB/s, %llu steps with the progress text), "
                    "plain libcurl %.3f s (%.0f MB/s), ratio %.2f; the progress texts alone %.1f ms\n",
                    run + 1, ourTimes[run], kSize / ourTimes[run] / 1e6, (unsigned long long)steps, plainTimes[run],
                    kSize / plainTimes[run] / 1e6, ourTimes[run] / plainTimes[run], textTimes[run] * 1e3);
    const double bestOurs = *std::min_element(ourTimes.begin(), ourTimes.end());
    const double bestPlain = *std::min_element(plainTimes.begin(), plainTimes.end());
    std::printf("best: CInstallerDownload %.3f s, plain libcurl %.3f s, ratio %.2f (the goal is at most 1.2)\n",
                bestOurs, bestPlain, bestOurs / bestPlain);
    curl_global_cleanup();
    return 0;
}
