// vetradesk-cli search (--port N | --scan [--all]) [--simulate[=FILE.csv]]
// vetradesk-cli download (--port N | --scan) -o OUT [--add] [--sync new|all|cancel] [--text]
// vetradesk-cli delete-all (--port N | --scan) --yes
#include "cli/cliui.h"
#include "cli/commands.h"
#include "cli/instrument.h"

#include "export/csvexport.h"
#include "project/vetradoc.h"
#include "res/resources.h"

#include <QFileInfo>

#include <unistd.h>

namespace Cli {
namespace {

// Progress of the download on stderr, when a person is watching.
class TerminalProgress : public Device::CCallback
{
public:
    explicit TerminalProgress(Io io) : m_io(io), m_terminal(::isatty(STDERR_FILENO)) {}
    ~TerminalProgress() override
    {
        if (m_terminal && m_shown)
            m_io.err << u'\n';
    }
    void OnProgress(int percent, int, int) override
    {
        if (!m_terminal || percent == m_last)
            return;
        m_last = percent;
        m_shown = true;
        m_io.err << Res::FormatString(Res::IDS_CLI_PROGRESS, {percent});
        m_io.err.flush();
    }

private:
    Io m_io;
    bool m_terminal;
    bool m_shown = false;
    int m_last = -1;
};

// The instrument is left as the program leaves it: remote session off.
void release(std::unique_ptr<Device::CVetraSmartDevice> &device)
{
    if (device)
        device->SetRemoteSession(false, 0);
    device.reset();
}

int writeDownload(const QString &output, const QList<TVetraObject> &objects, const Options &opts, Io io)
{
    if (!HasSuffix(output, u".qxs")) {
        QString reason;
        if (!WriteCsvOneFile(output, objects, nullptr, &reason)) {
            PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {output, reason}));
            return Exit_File;
        }
        return Exit_Ok;
    }
    CliDocumentUi ui(io);
    ui.SetContext(output);
    const QString sync = opts.has(u"--sync") ? opts.value(u"--sync") : QStringLiteral("new");
    ui.SetSyncAnswer(sync == u"all"      ? IDocumentUi::SyncAnswer::AddAll
                     : sync == u"cancel" ? IDocumentUi::SyncAnswer::Cancel
                                         : IDocumentUi::SyncAnswer::AddNewOnly);
    CVetraDoc doc(ui);
    const bool add = opts.has(u"--add") && QFileInfo::exists(output);
    if (add && !doc.OpenProject(output, false))
        return Exit_File;
    if (!doc.AddObjects(objects, add, true)) {
        io.err << Res::LoadString(Res::IDS_CLI_NOTHING_ADDED) << u'\n';
        return Exit_Ok;
    }
    return doc.SaveToPath(output) ? Exit_Ok : Exit_File;
}

// Reaches the instrument as the search does; null with `code` set when it
// cannot (the reason has been printed).
std::unique_ptr<Device::CVetraSmartDevice> reach(InstrumentSession &session, const Options &opts, int &code)
{
    if (!session.Configure(opts, false)) {
        code = Exit_Usage;
        return nullptr;
    }
    std::unique_ptr<Device::CVetraSmartDevice> device = session.Connect();
    if (!device)
        code = Exit_NoInstrument;
    return device;
}

bool parse(Options &opts, const QStringList &args, std::initializer_list<OptionDef> more, Io io)
{
    std::vector<OptionDef> defs{kPortOption, kScanOption, kSimulateOption};
    defs.insert(defs.end(), more.begin(), more.end());
    QString bad;
    if (opts.parse(args, defs, bad))
        return true;
    UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    return false;
}

}   // namespace

int RunSearchCommand(const QStringList &args, Io io)
{
    Options opts;
    if (!parse(opts, args, {{u"--all", nullptr, OptionDef::NoValue}}, io))
        return Exit_Usage;
    InstrumentSession session(io);
    if (!session.Configure(opts, true))
        return Exit_Usage;
    const auto found = session.Search(!opts.has(u"--all"));
    for (const auto &d : found) {
        const auto *cover = dynamic_cast<const Device::CVetraSmartDevice *>(d.get());
        const QStringList id = cover ? cover->GetIdentity() : QStringList();
        io.out << QStringList{InstrumentSession::PortName(*d), d->GetStreamName(), id.value(0), id.value(2),
                              id.value(1)}
                      .join(u'\t')
               << u'\n';
    }
    io.out.flush();
    if (found.empty()) {
        PrintError(io, Res::LoadString(Res::IDS_CLI_NO_INSTRUMENT));
        return Exit_NoInstrument;
    }
    return Exit_Ok;
}

int RunDownload(const QStringList &args, Io io)
{
    Options opts;
    if (!parse(opts, args,
               {{u"-o", u"--output", OptionDef::Value},
                {u"--add", nullptr, OptionDef::NoValue},
                {u"--sync", nullptr, OptionDef::Value},
                {u"--text", nullptr, OptionDef::NoValue}},
               io))
        return Exit_Usage;
    const QString output = opts.value(u"-o");
    if (output.isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_MISSING_OUTPUT));
    const QString sync = opts.value(u"--sync");
    if (opts.has(u"--sync") && sync != u"new" && sync != u"all" && sync != u"cancel")
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {QStringLiteral("--sync ") + sync}));
    if (!HasSuffix(output, u".qxs") && !IsCsvPath(output)) {
        PrintError(io, Res::FormatString(Res::IDS_CLI_UNSUPPORTED_OUTPUT, {output}));
        return Exit_File;
    }
    InstrumentSession session(io);
    int code = Exit_Ok;
    std::unique_ptr<Device::CVetraSmartDevice> device = reach(session, opts, code);
    if (!device)
        return code;

    Device::STransferContainer container;
    bool ok;
    {
        TerminalProgress progress(io);
        device->SetCallback(&progress);
        ok = device->DownloadObjects(container, Device::CVetraSmartDevice::kDownloadBaud, !opts.has(u"--text"));
        device->DetachCallback();
    }
    const Device::SFailure failure = device->LastFailure();
    release(device);
    if (!ok) {
        PrintError(io, Device::WithCause(Res::LoadString(Res::IDS_DOWNLOAD_FAILED), failure));
        return Exit_InstrumentFailed;
    }
    if (container.objects.isEmpty()) {
        io.err << Res::LoadString(Res::IDS_NO_OBJECTS_ON_INSTRUMENT) << u'\n';
        return Exit_Ok;
    }
    io.err << Res::FormatString(Res::IDS_CLI_DOWNLOADED, {int(container.objects.size())}) << u'\n';
    return writeDownload(output, container.objects, opts, io);
}

int RunDeleteAll(const QStringList &args, Io io)
{
    Options opts;
    if (!parse(opts, args, {{u"--yes", nullptr, OptionDef::NoValue}}, io))
        return Exit_Usage;
    if (!opts.has(u"--yes"))
        return UsageError(io, Res::LoadString(Res::IDS_CLI_DELETE_NEEDS_YES));
    InstrumentSession session(io);
    int code = Exit_Ok;
    std::unique_ptr<Device::CVetraSmartDevice> device = reach(session, opts, code);
    if (!device)
        return code;
    const Device::NError_code result = device->DeleteAllObjects();
    const Device::SFailure failure = device->LastFailure();
    release(device);
    if (result != Device::Err_Success) {
        PrintError(io, Device::WithCause(Res::LoadString(Res::IDS_DELETE_FAILED), failure));
        return Exit_InstrumentFailed;
    }
    io.out << Res::LoadString(Res::IDS_DELETE_SUCCEEDED) << u'\n';
    return Exit_Ok;
}

}   // namespace Cli
