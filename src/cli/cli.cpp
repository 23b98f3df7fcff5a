#include "cli/commands.h"

#include "data/datafile.h"
#include "res/resources.h"

namespace Cli {
namespace {

constexpr Command kCommands[] = {
    {u"info", &RunInfo},
    {u"convert", &RunConvert},
};

} // namespace

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

bool ReadInputs(const QStringList &paths, QList<InputFile> &inputs, Io io)
{
    bool ok = true;
    for (const QString &path : paths) {
        if (!HasSuffix(path, u".csv")) {
            PrintError(io, Res::FormatString(Res::IDS_CLI_UNSUPPORTED_INPUT, {path}));
            ok = false;
            continue;
        }
        InputFile input{path, {}};
        QString reason;
        if (!LoadCsvFile(path, input.objects, &reason)) {
            PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_READ, {path, reason}));
            ok = false;
            continue;
        }
        if (input.objects.isEmpty()) {
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

} // namespace Cli
