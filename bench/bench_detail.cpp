// The expanded object: one drawing of a 99-measurement object into an image,
// measuring it without drawing, and expand all of 2000 objects in the table,
// offscreen.
#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "benchobjects.h"
#include "benchui.h"
#include "gui/documentui.h"
#include "gui/messageservice.h"
#include "gui/qtclipboard.h"
#include "project/vetradoc.h"
#include "render/detailcell.h"
#include "streamio/streamtable.h"
#include "views/tabgrid.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

}   // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench::CWindowEnvironment environment;

    TVetraObject big = Bench::MakeObject(7, 99, [](int, int m) { return (m * 13) % 70 + 10; });
    big.comment = QStringLiteral("Column C3 below the window; cover checked twice.\r\nSecond line of the comment.");
    const object_t object = ToProjectObject(big, false);
    Render::SDetailOptions options;
    options.font = QApplication::font();
    QImage image(1200, 800, QImage::Format_ARGB32_Premultiplied);
    Render::SDetailAreas areas;
    const double draw = Bench::BestSeconds(50, [&] {
        QPainter p(&image);
        Render::PaintDetail(&p, image.rect(), object, options, &areas);
    });
    const double measure = Bench::BestSeconds(200, [&] { Render::DetailRowHeight(object, options.font, 1200); });

    QList<TVetraObject> objects;
    for (int i = 0; i < 2000; ++i) {
        TVetraObject o = Bench::MakeObject(i, 5 + i % 95, [](int n, int m) { return (n * 7 + m * 13) % 200 + 5; });
        o.objectNumber = std::uint16_t(i % 1000);
        objects << o;
    }
    Bench::STablePage table;
    CVetraDoc &document = table.document;
    CTabGrid &page = table.page;
    document.AddObjects(objects, false, false);
    QApplication::processEvents();
    const auto t0 = Clock::now();
    page.ExpandAll(true);
    QApplication::processEvents();
    const double expandAll = std::chrono::duration<double>(Clock::now() - t0).count();
    const double repaint = Bench::BestSeconds(10, [&] { page.Table().viewport()->repaint(); });

    std::printf("expanded object, 99 measurements, offscreen (best of the runs)\n");
    std::printf("%-40s %8.3f ms  (goal <= 2)\n", "draw into a 1200 x 800 image", draw * 1e3);
    std::printf("%-40s %8.3f ms  (goal <= 0.5)\n", "measure without drawing", measure * 1e3);
    std::printf("%-40s %8.1f ms  (goal <= 1000)\n", "expand all of 2000 objects", expandAll * 1e3);
    std::printf("%-40s %8.1f ms\n", "one repaint, all expanded", repaint * 1e3);
    return 0;
}
