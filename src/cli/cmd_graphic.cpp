// vetradesk-cli export-graphic [--what headers|asis|details] [--each] -o OUT.png|OUT.bmp|OUT.jpg FILE...
// vetradesk-cli print --pdf OUT.pdf [--paper a4|letter] FILE...
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/picturelook.h"

#include "app/appsettings.h"
#include "app/language.h"
#include "data/timetext.h"
#include "export/csvexport.h"
#include "render/imageencoders.h"
#include "render/tablepicture.h"
#include "render/tableprint.h"
#include "res/resources.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPdfWriter>

#include <ctime>

namespace Cli {
namespace {

// The room a column gets beside its widest text, as on the screen.
constexpr int kColumnMargin = 24;
// A detail drawn this wide keeps its settings' values inside the picture
// (its sections may reach past the 800 px it lays out in).
constexpr int kPictureDetailWidth = 1000;

std::optional<Render::NRowsShown> rowsShown(const QString &what)
{
    if (what.isEmpty() || what == u"details")
        return Render::NRowsShown::Details;
    if (what == u"asis")
        return Render::NRowsShown::AsIs;
    if (what == u"headers")
        return Render::NRowsShown::HeadersOnly;
    return std::nullopt;
}

// The inputs' objects with a project's view state (expanded, diagram order).
std::vector<object_t> ProjectObjects(const QList<InputFile> &inputs)
{
    std::vector<object_t> objects;
    for (const InputFile &in : inputs)
        for (const InputObject &o : in.objects) {
            object_t object = ToProjectObject(o.object, false);
            if (o.state) {
                object.expanded = o.state->expanded;
                object.diagramOrder = o.state->diagramOrder;
            }
            objects.push_back(std::move(object));
        }
    return objects;
}

std::optional<int> readObjects(const Options &opts, Io io, QList<InputFile> &inputs, std::vector<object_t> &objects)
{
    if (opts.positional().isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_NO_INPUT));
    if (!ReadInputs(opts.positional(), inputs, io))
        return Exit_File;
    objects = ProjectObjects(inputs);
    return std::nullopt;
}

}   // namespace

// The table's look without a window: names shown whole, and room enough for
// the details.
Render::STableLook PictureLook(const std::vector<object_t> &objects)
{
    Render::STableLook look;
    look.font = QGuiApplication::font();
    look.datePattern = Settings::GetDatePattern();
    look.timePattern = Settings::GetTimePattern();
    look.requiredCover = Settings::Current().assessment.requiredCover;
    look.widths = Render::DefaultColumnWidths(look.font, look.font, kColumnMargin, look.datePattern, look.timePattern);
    const QFontMetrics metrics(look.font);
    for (const object_t &o : objects)
        look.widths[Col_Name] = std::max(look.widths[Col_Name],
                                         metrics.horizontalAdvance(o.objectName) + kColumnMargin);
    const int detail = Render::TableWidth(look) - look.widths[0];
    if (detail < kPictureDetailWidth)
        look.widths[Col_Name] += kPictureDetailWidth - detail;
    return look;
}

// The inputs named on the command line, read; an exit code when that failed.

int RunExportGraphic(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args,
                    {{u"--what", nullptr, OptionDef::Value},
                     {u"--each", nullptr, OptionDef::NoValue},
                     {u"--output", u"-o", OptionDef::Value}},
                    bad))
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    const std::optional<Render::NRowsShown> shown = rowsShown(opts.value(u"--what"));
    if (!shown)
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {opts.value(u"--what")}));
    const QString output = opts.value(u"--output");
    if (output.isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_MISSING_OUTPUT));
    const std::optional<Render::NImageFormat> format = Render::ImageFormatForPath(output);
    if (!format)
        return UsageError(io, Res::FormatString(Res::IDS_CLI_UNSUPPORTED_PICTURE, {output}));
    QList<InputFile> inputs;
    std::vector<object_t> objects;
    if (const std::optional<int> failed = readObjects(opts, io, inputs, objects))
        return *failed;
    const Render::STableLook look = PictureLook(objects);

    auto write = [&](const QString &path, const std::vector<const object_t *> &rows) {
        QString reason;
        const QImage picture = Render::RenderTablePicture(rows, *shown, look);
        if (!picture.isNull() && Render::WriteImageFile(path, picture, *format, &reason))
            return true;
        if (picture.isNull())
            reason = Res::LoadString(Res::IDS_GRAPHIC_TOO_LARGE);
        PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {path, reason}));
        return false;
    };
    if (opts.has(u"--each")) {
        bool all = true;
        for (std::size_t n = 0; n < objects.size(); ++n)
            all = write(EachFileName(output, int(n + 1)), {&objects[n]}) && all;
        return all ? Exit_Ok : Exit_File;
    }
    std::vector<const object_t *> rows;
    for (const object_t &o : objects)
        rows.push_back(&o);
    return write(output, rows) ? Exit_Ok : Exit_File;
}

// vetradesk-cli print --pdf OUT.pdf [--paper a4|letter] FILE...

int RunPrint(const QStringList &args, Io io)
{
    Options opts;
    QString bad;
    if (!opts.parse(args, {{u"--pdf", nullptr, OptionDef::Value}, {u"--paper", nullptr, OptionDef::Value}}, bad))
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {bad}));
    const QString output = opts.value(u"--pdf");
    if (output.isEmpty())
        return UsageError(io, Res::LoadString(Res::IDS_CLI_MISSING_OUTPUT));
    const QString paper = opts.value(u"--paper").toLower();
    if (!paper.isEmpty() && paper != u"a4" && paper != u"letter")
        return UsageError(io, Res::FormatString(Res::IDS_CLI_BAD_OPTION, {opts.value(u"--paper")}));
    QList<InputFile> inputs;
    std::vector<object_t> objects;
    if (const std::optional<int> failed = readObjects(opts, io, inputs, objects))
        return *failed;
    QString fileName;
    // The footer names a project file; data files print as "Unnamed".
    for (const InputFile &in : inputs)
        if (fileName.isEmpty() && HasSuffix(in.path, u".qxs"))
            fileName = QFileInfo(in.path).fileName();
    const Render::STableLook look = PictureLook(objects);

    const CFileVersionInfo &version = ProgramVersionInfo();
    Render::SPrintBands bands;
    bands.left = Res::LoadString(Res::IDS_PRINT_MAKER);
    bands.centre = Res::LoadString(Res::IDS_PRINT_TITLE);
    bands.right = Res::FormatString(Res::IDS_PRINT_VERSION,
                                    {version.GetFileVersionPart(3), version.GetFileVersionPart(2),
                                     version.GetFileVersionPart(1), version.GetFileVersionPart(0)});
    bands.pageFormat = Res::LoadString(Res::IDS_PRINT_PAGE);
    bands.fileName = fileName.isEmpty() ? Res::LoadString(Res::IDS_UNNAMED) : fileName;
    if (const std::optional<std::tm> now = TimeText::LocalTime(std::int64_t(std::time(nullptr))))
        bands.printedAt = TimeText::FormatPicture(look.datePattern, *now) + u' '
                          + TimeText::FormatPicture(look.timePattern, *now);

    std::vector<const object_t *> rows;
    for (const object_t &o : objects)
        rows.push_back(&o);
    QString reason;
    {
        QPdfWriter pdf(output);
        pdf.setPageSize(QPageSize(paper == u"letter" ? QPageSize::Letter : QPageSize::A4));
        pdf.setResolution(300);
        pdf.setTitle(bands.centre);
        pdf.setCreator(Res::LoadString(Res::IDS_APP_TITLE));
        if (!Render::PrintTable(pdf, Render::PrintRows(rows, look), look, bands, nullptr, &reason)) {
            PrintError(io, Res::FormatString(Res::IDS_ERR_FILE_WRITE, {output, reason}));
            return Exit_File;
        }
    }
    if (!QFileInfo(output).isFile() || QFileInfo(output).size() == 0) {
        PrintError(io,
                   Res::FormatString(Res::IDS_ERR_FILE_WRITE, {output, Res::LoadString(Res::IDS_STREAM_WRITE_FAULT)}));
        return Exit_File;
    }
    return Exit_Ok;
}

}   // namespace Cli
