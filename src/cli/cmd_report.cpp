// vetradesk-cli report --pdf OUT.pdf [--min-cover MM] [--quantile P] [--paper a4|letter] FILE...
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/picturelook.h"

#include "app/appsettings.h"
#include "app/language.h"
#include "data/timetext.h"
#include "render/coverreport.h"
#include "res/resources.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <ctime>

namespace Cli {

int RunReport(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args,
                    {{u"--pdf", nullptr, OptionDef::Value},
                     {u"--paper", nullptr, OptionDef::Value},
                     {u"--min-cover", nullptr, OptionDef::Value},
                     {u"--quantile", nullptr, OptionDef::Value}},
                    bad))
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    const QString output = opts.value(u"--pdf");
    if (output.isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_MISSING_OUTPUT));
    const QString paper = opts.value(u"--paper").toLower();
    if (!paper.isEmpty() && paper != u"a4" && paper != u"letter")
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {opts.value(u"--paper")}));
    // The stored choice, unless the options say otherwise for this run.
    SAssessmentSettings settings = Settings::Current().assessment;
    if (!ReadAssessmentOptions(opts, settings, io))
        return Exit_Usage;
    if (opts.positional().isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_NO_INPUT));
    // Fonts exist only with a GUI application (the offscreen platform will do).
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        PrintError(io, Res::LoadString(Res::IDS_CLI_REPORT_NO_FONTS));
        return Exit_File;
    }

    QList<InputFile> inputs;
    if (!ReadInputs(opts.positional(), inputs, io))
        return Exit_File;
    std::vector<object_t> objects;
    for (const InputFile &in : inputs)
        for (const InputObject &o : in.objects) {
            object_t object = ToProjectObject(o.object, false);
            if (o.state)
                object.diagramOrder = o.state->diagramOrder;
            objects.push_back(std::move(object));
        }

    Render::SInspectionReport report;
    report.projectTitle = opts.positional().size() == 1 ? QFileInfo(opts.positional().first()).fileName()
                                                        : Res::LoadString(Res::IDS_UNNAMED);
    for (const object_t &o : objects)
        report.objects.push_back(&o);
    report.settings = settings;
    report.look = PictureLook(objects);
    report.look.requiredCover = settings.requiredCover;

    const CFileVersionInfo &version = ProgramVersionInfo();
    Render::SPrintBands &bands = report.bands;
    bands.left = Res::LoadString(Res::IDS_PRINT_MAKER);
    bands.centre = Res::LoadString(Res::IDS_REPORT_TITLE);
    bands.right = Res::FormatString(Res::IDS_PRINT_VERSION,
                                    {version.GetFileVersionPart(3), version.GetFileVersionPart(2),
                                     version.GetFileVersionPart(1), version.GetFileVersionPart(0)});
    bands.pageFormat = Res::LoadString(Res::IDS_PRINT_PAGE);
    bands.fileName = report.projectTitle;
    if (const std::optional<std::tm> now = TimeText::LocalTime(std::int64_t(std::time(nullptr))))
        bands.printedAt = TimeText::FormatPicture(report.look.datePattern, *now) + u' '
                          + TimeText::FormatPicture(report.look.timePattern, *now);

    QString reason;
    if (!Render::WriteInspectionReportPdf(output, report, paper == u"letter" ? QPageSize::Letter : QPageSize::A4,
                                          &reason)) {
        PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {output, reason}));
        return Exit_File;
    }
    return Exit_Ok;
}

}   // namespace Cli
