// vetradesk-cli convert [--each] -o OUT.csv FILE...
#include "cli/commands.h"
#include "cli/options.h"

#include "export/csvexport.h"
#include "res/resources.h"

namespace Cli {

int RunConvert(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args, {{u"--each", nullptr, false}, {u"-o", u"--output", true}}, bad))
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    const QString output = opts.value(u"-o");
    if (output.isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_MISSING_OUTPUT));
    if (opts.positional().isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_NO_INPUT));
    if (!IsCsvPath(output)) {
        PrintError(io, Res::FormatString(Res::IDS_CLI_UNSUPPORTED_OUTPUT, {output}));
        return Exit_File;
    }

    QList<InputFile> inputs;
    if (!ReadInputs(opts.positional(), inputs, io))
        return Exit_File;   // never write a partial result
    QList<TVetraObject> objects;
    for (InputFile &in : inputs)
        objects.append(std::move(in.objects));

    QString reason;
    const bool written = opts.has(u"--each") ? WriteCsvEachFile(output, objects, nullptr, nullptr, &reason)
                                             : WriteCsvOneFile(output, objects, nullptr, &reason);
    if (!written) {
        PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {output, reason}));
        return Exit_File;
    }
    return Exit_Ok;
}

} // namespace Cli
