// vetradesk-cli convert [--each] -o OUT.csv|OUT.qxs FILE...
// vetradesk-cli convert [--min-cover MM] [--quantile P] -o OUT.xlsx FILE...
#include "cli/cliui.h"
#include "cli/commands.h"
#include "cli/options.h"

#include "app/appsettings.h"
#include "export/csvexport.h"
#include "export/xlsxexport.h"
#include "project/vetradoc.h"
#include "res/resources.h"

namespace Cli {
namespace {

int writeCsv(const QString &output, bool each, const QList<InputFile> &inputs, Io io)
{
    QList<TVetraObject> objects;
    for (const InputFile &in : inputs)
        objects.append(in.transferObjects());
    if (each) {
        QList<SWriteFailure> failures;
        if (WriteCsvEachFile(output, objects, nullptr, nullptr, &failures))
            return Exit_Ok;
        for (const SWriteFailure &failure : failures)
            PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {failure.path, failure.reason}));
        return Exit_File;
    }
    QString reason;
    if (!WriteCsvOneFile(output, objects, nullptr, &reason)) {
        PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {output, reason}));
        return Exit_File;
    }
    return Exit_Ok;
}

int writeWorkbook(const QString &output, const SAssessmentSettings &assessment, const QList<InputFile> &inputs, Io io)
{
    QList<TVetraObject> objects;
    for (const InputFile &in : inputs)
        objects.append(in.transferObjects());
    QString reason;
    if (!WriteXlsxWorkbook(output, objects, assessment, nullptr, &reason)) {
        PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {output, reason}));
        return Exit_File;
    }
    return Exit_Ok;
}

// A new project from the inputs in order: the first replaces, the others add.
int writeProject(const QString &output, const QList<InputFile> &inputs, Io io)
{
    CliDocumentUi ui(io);
    CVetraDoc doc(ui);
    bool first = true;
    for (const InputFile &in : inputs) {
        doc.AddObjects(in.transferObjects(), !first, false);
        first = false;
    }
    return doc.SaveToPath(output) ? Exit_Ok : Exit_File;
}

}   // namespace

int RunConvert(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args,
                    {{u"--each", nullptr, OptionDef::NoValue},
                     {u"-o", u"--output", OptionDef::Value},
                     {u"--min-cover", nullptr, OptionDef::Value},
                     {u"--quantile", nullptr, OptionDef::Value}},
                    bad))
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    const QString output = opts.value(u"-o");
    if (output.isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_MISSING_OUTPUT));
    if (opts.positional().isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_NO_INPUT));
    const bool toProject = HasSuffix(output, u".qxs") && output.size() > 4;
    const bool toWorkbook = IsXlsxPath(output);
    if ((toProject || toWorkbook) && opts.has(u"--each"))
        return UsageError(io, Res::LoadString(Res::IDS_CLI_EACH_NEEDS_CSV));
    if (!toWorkbook && (opts.has(u"--min-cover") || opts.has(u"--quantile")))
        return UsageError(io, Res::LoadString(Res::IDS_CLI_ASSESSMENT_NEEDS_XLSX));
    // The stored choice, unless the options say otherwise for this run.
    SAssessmentSettings assessment = Settings::Current().assessment;
    if (!ReadAssessmentOptions(opts, assessment, io))
        return Exit_Usage;
    if (!toProject && !toWorkbook && !IsCsvPath(output)) {
        PrintError(io, Res::FormatString(Res::IDS_CLI_UNSUPPORTED_OUTPUT, {output}));
        return Exit_File;
    }

    QList<InputFile> inputs;
    if (!ReadInputs(opts.positional(), inputs, io))
        return Exit_File;   // never write a partial result
    if (toWorkbook)
        return writeWorkbook(output, assessment, inputs, io);
    return toProject ? writeProject(output, inputs, io) : writeCsv(output, opts.has(u"--each"), inputs, io);
}

}   // namespace Cli
