// vetradesk-cli update-check [--server ftp://HOST[:PORT]] [--json]
// vetradesk-cli update-download [--server ftp://HOST[:PORT]] -o DIR [--json]
#include "cli/commands.h"
#include "cli/jsonwriter.h"
#include "cli/options.h"

#include "app/language.h"
#include "app/versioninfo.h"
#include "res/resources.h"
#include "update/server/installerdownload.h"
#include "update/server/updatecheck.h"
#include "update/server/updateserver.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace Cli {
namespace {

constexpr int Exit_ServerFailed = 5;
constexpr int Exit_TransferFailed = 6;

// The result as the window's search page words it, on plain lines.
QString plainLines(const QString &text)
{
    QStringList lines = QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(u'\n');
    for (QString &line : lines)
        line = line.trimmed();
    return lines.join(u'\n');
}

bool parseUpdateOptions(Options &opts, const QStringList &args, bool withOutput, SServerAddress &address, Io io,
                        int &code)
{
    std::vector<OptionDef> defs{{u"--server", nullptr, OptionDef::Value}, {u"--json", nullptr, OptionDef::NoValue}};
    if (withOutput)
        defs.push_back({u"-o", u"--output", OptionDef::Value});
    QString bad;
    if (!opts.parse(args, defs, bad) || !opts.positional().isEmpty()) {
        code = UsageError(
            io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad.isEmpty() ? opts.positional().value(0) : bad}));
        return false;
    }
    address = DefaultServerAddress();
    if (opts.has(u"--server") && !ParseServerAddress(opts.value(u"--server"), address)) {
        code = UsageError(io, Res::LoadString(Res::IDS_CLI_UPDATE_BAD_SERVER));
        return false;
    }
    if (withOutput && opts.value(u"-o").isEmpty()) {
        code = UsageError(io, Res::LoadString(Res::IDS_CLI_MISSING_OUTPUT));
        return false;
    }
    return true;
}

// Connects, lists and chooses; false (reported) when the server fails.
bool check(UpdateServer &server, SUpdateChoice &choice, Io io)
{
    if (FindUpdate(server, OwnProductVersion(), choice))
        return true;
    PrintError(io, Res::FormatString(Res::IDS_CLI_UPDATE_SERVER_FAILED, {server.GetLastError()}));
    return false;
}

void writeJson(const SUpdateChoice &choice, const QString *path, Io io)
{
    JsonWriter json(io.out);
    json.beginObject();
    json.field(u"own", choice.own.toString(CVersion::Style::ThreeParts));
    json.field(u"newer", choice.HasUpdate());
    if (choice.HasUpdate()) {
        json.field(u"server", choice.best.toString(CVersion::Style::ThreeParts));
        json.field(u"file", choice.file);
        json.field(u"size", std::int64_t(choice.size));
    } else {
        for (const char16_t *name : {u"server", u"file", u"size"}) {
            json.key(name);
            json.null();
        }
    }
    if (path) {
        json.field(u"path", *path);
    }
    json.endObject();
    io.out.flush();
}

// The check's answer, as the window words it or as JSON.
void printResult(const SUpdateChoice &choice, const Options &opts, Io io)
{
    if (opts.has(u"--json"))
        writeJson(choice, nullptr, io);
    else
        io.out << plainLines(UpdateResultText(choice, ProgramVersionInfo().GetProductName())) << u'\n';
}

// Progress on stderr while a person watches; only when the text changes.
class TerminalAmount
{
public:
    TerminalAmount(Io io, std::int64_t size) : m_io(io), m_terminal(::isatty(STDERR_FILENO)), m_size(size) {}
    ~TerminalAmount()
    {
        if (m_shown)
            m_io.err << u'\n';
        m_io.err.flush();
    }
    void step(std::uint64_t received)
    {
        if (!m_terminal)
            return;
        const QString text = Res::FormatString(Res::IDS_CLI_UPDATE_AMOUNT,
                                               {MegabytesText(received), MegabytesText(std::uint64_t(m_size))});
        if (text == m_last)
            return;
        m_last = text;
        m_shown = true;
        m_io.err << text;
        m_io.err.flush();
    }

private:
    Io m_io;
    bool m_terminal;
    std::int64_t m_size;
    bool m_shown = false;
    QString m_last;
};

}   // namespace

int RunUpdateCheck(const QStringList &args, Io io)
{
    Options opts;
    SServerAddress address;
    int code = Exit_Ok;
    if (!parseUpdateOptions(opts, args, false, address, io, code))
        return code;
    UpdateServer server(address);
    SUpdateChoice choice;
    if (!check(server, choice, io))
        return Exit_ServerFailed;
    printResult(choice, opts, io);
    return Exit_Ok;
}

int RunUpdateDownload(const QStringList &args, Io io)
{
    Options opts;
    SServerAddress address;
    int code = Exit_Ok;
    if (!parseUpdateOptions(opts, args, true, address, io, code))
        return code;
    const QString folder = opts.value(u"-o");
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir() || !folderInfo.isWritable()) {
        PrintError(io,
                   Res::FormatString(Res::IDS_CLI_UPDATE_FOLDER_FAILED,
                                     {folder, Res::LoadString(folderInfo.exists() ? Res::IDS_STREAM_ACCESS_DENIED
                                                                                  : Res::IDS_STREAM_PATH_NOT_FOUND)}));
        return Exit_File;
    }
    UpdateServer server(address);
    SUpdateChoice choice;
    if (!check(server, choice, io))
        return Exit_ServerFailed;
    if (!choice.HasUpdate()) {
        printResult(choice, opts, io);
        return Exit_Ok;
    }
    const QString path = QDir(folder).filePath(choice.file);
    CInstallerDownload download(path, {choice.file, choice.size});
    QString reason;
    if (!download.Create(&reason)) {
        PrintError(io, Res::FormatString(Res::IDS_CLI_UPDATE_FOLDER_FAILED, {folder, reason}));
        return Exit_File;
    }
    std::atomic<bool> never{false};
    CInstallerDownload::Result result;
    {
        TerminalAmount amount(io, choice.size);
        result = download.Run(server, never, [&](std::uint64_t received) { amount.step(received); });
    }
    server.Close();
    if (result != CInstallerDownload::Result::Done) {
        PrintError(io, Res::FormatString(Res::IDS_CLI_UPDATE_TRANSFER_FAILED, {choice.file, download.Detail()}));
        return Exit_TransferFailed;
    }
    if (opts.has(u"--json"))
        writeJson(choice, &path, io);
    else
        io.out << path << u'\n';
    return Exit_Ok;
}

}   // namespace Cli
