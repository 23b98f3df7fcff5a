// vetradesk-cli sort --mode N PROJECT.qxs
#include "cli/cliui.h"
#include "cli/commands.h"
#include "cli/options.h"

#include "project/vetradoc.h"
#include "res/resources.h"

namespace Cli {

int RunSort(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args, {{u"--mode", u"-m", OptionDef::Value}}, bad))
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    const QString modeText = opts.value(u"--mode");
    bool numeric = false;
    const int mode = modeText.toInt(&numeric);
    if (!numeric || mode < 1 || mode > kSortModeCount)
        return UsageError(io, Res::LoadString(Res::IDS_CLI_BAD_SORT_MODE));
    if (opts.positional().size() != 1)
        return UsageError(io, Res::LoadString(Res::IDS_CLI_NO_INPUT));
    const QString path = opts.positional().first();
    if (!HasSuffix(path, u".qxs")) {
        PrintError(io, Res::FormatString(Res::IDS_CLI_UNSUPPORTED_INPUT, {path}));
        return Exit_File;
    }

    CliDocumentUi ui(io);
    ui.SetContext(path);
    CVetraDoc doc(ui);
    if (!doc.OpenProject(path, false))
        return Exit_File;
    doc.Current().Sort(mode);
    return doc.SaveToPath(doc.GetPath()) ? Exit_Ok : Exit_File;
}

}   // namespace Cli
