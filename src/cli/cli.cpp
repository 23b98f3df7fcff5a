#include "cli/commands.h"

#include "app/language.h"
#include "app/versioninfo.h"
#include "cli/cliui.h"
#include "data/datafile.h"
#include "project/vetradoc.h"
#include "res/resources.h"
#include "streamio/streamtable.h"

namespace Cli {
namespace {

constexpr Command kCommands[] = {
    {u"info", &RunInfo},
    {u"assess", &RunAssess},
    {u"convert", &RunConvert},
    {u"export-graphic", &RunExportGraphic},
    {u"print", &RunPrint},
    {u"report", &RunReport},
    {u"sort", &RunSort},
    {u"search", &RunSearchCommand},
    {u"download", &RunDownload},
    {u"delete-all", &RunDeleteAll},
    {u"languages", &RunLanguages},
    {u"settings", &RunSettings},
    {u"update-check", &RunUpdateCheck},
    {u"update-download", &RunUpdateDownload},
};

}   // namespace

void PrintError(Io io, const QString &message)
{
    io.err << QStringLiteral("vetradesk-cli: ") << message << u'\n';
    io.err.flush();
}

int UsageError(Io io, const QString &message)
{
    if (!message.isEmpty())
        PrintError(io, message);
    io.err << Res::LoadString(Res::IDS_CLI_USAGE);
    io.err.flush();
    return Exit_Usage;
}

bool HasSuffix(const QString &path, QStringView suffix)
{
    return path.endsWith(suffix, Qt::CaseInsensitive);
}

void CliDocumentUi::ShowError(const QString &message)
{
    PrintError(m_io, m_context.isEmpty() ? message : m_context + QStringLiteral(": ") + message);
}

IDocumentUi::SyncAnswer CliDocumentUi::AskSynchronize(int incoming, int newOnes)
{
    m_io.err << Res::FormatString(Res::IDS_SYNC_ALREADY, {incoming - newOnes, incoming}) << u'\n';
    m_io.err.flush();
    return m_sync;
}

QList<TVetraObject> InputFile::transferObjects() const
{
    QList<TVetraObject> list;
    list.reserve(objects.size());
    for (const InputObject &o : objects)
        list.append(o.object);
    return list;
}

namespace {

bool readDataFile(const QString &path, InputFile &input, Io io)
{
    QList<TVetraObject> objects;
    QString reason;
    if (!LoadCsvFile(path, objects, &reason)) {
        PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_READ, {path, reason}));
        return false;
    }
    for (TVetraObject &o : objects)
        input.objects.append({std::move(o), std::nullopt});
    return true;
}

bool readProjectFile(const QString &path, InputFile &input, Io io, bool originals)
{
    CliDocumentUi ui(io);
    ui.SetContext(path);
    CVetraDoc doc(ui);
    if (!doc.OpenProject(path, false))
        return false;
    const CVetraData &list = originals ? doc.Originals() : doc.Current();
    for (int i = 0; i < list.GetCount(); ++i) {
        const object_t &o = list.GetObject(i);
        input.objects.append({ToTransferObject(o), ProjectState{o.diagramOrder, o.expanded, list.GetSortMode()}});
    }
    return true;
}

}   // namespace

bool ReadInputs(const QStringList &paths, QList<InputFile> &inputs, Io io, bool originals)
{
    bool ok = true;
    for (const QString &path : paths) {
        InputFile input{path, {}};
        const bool project = HasSuffix(path, u".qxs");
        if (!project && !HasSuffix(path, u".csv")) {
            PrintError(io, Res::FormatString(Res::IDS_CLI_UNSUPPORTED_INPUT, {path}));
            ok = false;
            continue;
        }
        if (!(project ? readProjectFile(path, input, io, originals) : readDataFile(path, input, io))) {
            ok = false;
            continue;
        }
        if (input.objects.isEmpty() && !project) {
            PrintError(io, Res::FormatString(Res::IDS_ERR_NO_OBJECTS, {path}));
            ok = false;
        }
        inputs.append(std::move(input));
    }
    return ok;
}

int Run(const QStringList &args, Io io)
{
    if (args.isEmpty())
        return UsageError(io, {});
    const QString &name = args.first();
    if (name == u"--help" || name == u"-h" || name == u"help") {
        io.out << Res::LoadString(Res::IDS_CLI_USAGE);
        return Exit_Ok;
    }
    if (name == u"--version") {
        io.out << QStringLiteral("vetradesk-cli ") << ProgramVersionInfo().GetProductVersion() << u'\n';
        return Exit_Ok;
    }
    StreamIO::InitStreamLayer();   // project files and copies go through RAM streams
    for (const Command &c : kCommands) {
        if (name == QStringView(c.name)) {
            try {
                return c.run(args.mid(1), io);
            } catch (const DataFileError &e) {
                PrintError(io, e.message());
                return Exit_File;
            }
        }
    }
    return UsageError(io, Res::FormatString(Res::IDS_CLI_UNKNOWN_COMMAND, {name}));
}

}   // namespace Cli
