// The object table with 20 000 objects, offscreen: a full rebuild, a sort, a
// select all, and one repaint of the visible rows, each timed in one run.
#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "benchobjects.h"
#include "benchui.h"
#include "gui/documentui.h"
#include "gui/messageservice.h"
#include "gui/qtclipboard.h"
#include "project/vetradoc.h"
#include "streamio/streamtable.h"
#include "views/tabgrid.h"

#include <QApplication>
#include <QDialog>
#include <QTableView>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;


template <class F>
double timed(F &&f)
{
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Bench::CWindowEnvironment environment;

    constexpr int kObjects = 20000;
    QList<TVetraObject> objects;
    for (int i = 0; i < kObjects; ++i) {
        TVetraObject o = Bench::MakeObject(i, 20 + i % 80, [](int n, int m) { return (n * 7 + m * 13) % 200 + 5; });
        o.timeStamp = 1767225600 + std::int64_t(i) * 61;
        o.objectNumber = std::uint16_t(i % 1000);
        objects << o;
    }
    Bench::STablePage table;
    CVetraDoc &document = table.document;
    CTabGrid &page = table.page;
    QApplication::processEvents();

    const double rebuild = timed([&] { document.AddObjects(objects, false, false); });
    QApplication::processEvents();
    const double rebuildAgain = timed([&] { document.UpdateAllViews(nullptr, -1); });
    QApplication::processEvents();
    const double sort = timed([&] { page.SortByColumn(1); });
    QApplication::processEvents();
    const double selectAll = timed([&] { page.SelectAll(); });
    QApplication::processEvents();
    const double repaint = timed([&] { page.Table().viewport()->repaint(); });
    const double expandAll = timed([&] { page.ExpandAll(true); });
    QApplication::processEvents();
    const double repaintExpanded = timed([&] { page.Table().viewport()->repaint(); });

    std::printf("object table, %d objects, offscreen\n", kObjects);
    std::printf("%-36s %8.1f ms  (goal <= 500)\n", "full rebuild (objects added)", rebuild * 1e3);
    std::printf("%-36s %8.1f ms  (goal <= 500)\n", "full rebuild (refresh of all)", rebuildAgain * 1e3);
    std::printf("%-36s %8.1f ms  (goal <= 200)\n", "sort by name", sort * 1e3);
    std::printf("%-36s %8.1f ms  (goal <= 100)\n", "select all", selectAll * 1e3);
    std::printf("%-36s %8.1f ms  (goal <= 16)\n", "one repaint of the visible rows", repaint * 1e3);
    std::printf("%-36s %8.1f ms\n", "expand all", expandAll * 1e3);
    std::printf("%-36s %8.1f ms\n", "one repaint, all expanded", repaintExpanded * 1e3);
    return 0;
}
