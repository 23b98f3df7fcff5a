// Pictures and printouts at scale, offscreen: 500 objects with their
// details into one PNG, and 1000 objects printed onto a PDF. Reports time and
// how much the process's peak memory grew during each, against the result
// picture's own bytes.
#include "benchobjects.h"
#include "benchui.h"
#include "render/imageencoders.h"
#include "render/tableprint.h"

#include <QApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>

namespace {

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::vector<object_t> objects(int n, int measurements)
{
    std::vector<object_t> list;
    for (int i = 0; i < n; ++i) {
        TVetraObject o = Bench::MakeObject(i, measurements, [](int k, int m) { return (k * 7 + m * 13) % 70 + 10; });
        o.objectNumber = std::uint16_t(i % 1000);
        o.timeStamp = 1767225600 + std::int64_t(i) * 61;
        object_t p = ToProjectObject(o, false);
        p.expanded = i % 3 == 0;
        list.push_back(p);
    }
    return list;
}

}   // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench::CWindowEnvironment environment;
    QTemporaryDir dir;
    Render::STableLook look;
    look.font = QApplication::font();
    look.datePattern = QStringLiteral("MM/dd/yyyy");
    look.timePattern = QStringLiteral("h:mm tt");
    look.widths = Render::DefaultColumnWidths(look.font, look.font, 24, look.datePattern, look.timePattern);
    look.widths[Col_Name] += 250;

    const std::vector<object_t> pictureObjects = objects(500, 12);
    std::vector<const object_t *> rows;
    for (const object_t &o : pictureObjects)
        rows.push_back(&o);
    const long before = peakKiB();
    auto t0 = std::chrono::steady_clock::now();
    const QImage picture = Render::RenderTablePicture(rows, Render::NRowsShown::Details, look);
    QString reason;
    const bool written = Render::WriteImageFile(dir.filePath(QStringLiteral("all.png")), picture,
                                                Render::NImageFormat::Png, &reason);
    const double exportSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const long exportGrowth = peakKiB() - before;
    const double imageKiB = double(picture.sizeInBytes()) / 1024;

    const std::vector<object_t> printObjects = objects(1000, 20);
    std::vector<const object_t *> printRows;
    for (const object_t &o : printObjects)
        printRows.push_back(&o);
    const long beforePrint = peakKiB();
    t0 = std::chrono::steady_clock::now();
    int pages = 0;
    {
        QPdfWriter pdf(dir.filePath(QStringLiteral("all.pdf")));
        pdf.setResolution(300);
        const Render::SPrintBands bands{QStringLiteral("Quelix"),
                                        QStringLiteral("Vetrameter measurement objects"),
                                        QStringLiteral("Vetradesk Version 1.0.1.0"),
                                        QStringLiteral("Page %d of %d"),
                                        QStringLiteral("Unnamed"),
                                        QStringLiteral("now")};
        Render::PrintTable(pdf, Render::PrintRows(printRows, look), look, bands, &pages);
    }
    const double printSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const long printGrowth = peakKiB() - beforePrint;

    std::printf("pictures and printouts, offscreen\n");
    std::printf("500 objects with details into one PNG (%dx%d): %.2f s%s\n", picture.width(), picture.height(),
                exportSeconds, written ? "" : " (not written)");
    std::printf("  peak memory grew by %ld KiB = %.2f x the picture's %.0f KiB (goal < 3)\n", exportGrowth,
                exportGrowth / imageKiB, imageKiB);
    std::printf("1000 objects (a third expanded) printed onto %d PDF pages: %.2f s, peak memory grew by %ld KiB\n",
                pages, printSeconds, printGrowth);
    return 0;
}
