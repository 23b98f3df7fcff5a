// The object table with 20 000 objects, offscreen: a full rebuild, a sort
// (with the user's column widths kept), a select all, a repaint of the
// visible rows, expanding all, and what an undoable rename costs in memory
// and in time to undo, each timed in one run.
#include "app/appsettings.h"
#include "app/settingsstore.h"
#include "benchobjects.h"
#include "benchui.h"
#include "gui/documentui.h"
#include "gui/messageservice.h"
#include "gui/projecthistory.h"
#include "gui/qtclipboard.h"
#include "project/projectedits.h"
#include "project/vetradoc.h"
#include "streamio/streamtable.h"
#include "views/tabgrid.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>

#include <algorithm>
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

}   // namespace

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
    CProjectHistory history(document);
    QApplication::processEvents();

    const double rebuild = timed([&] { document.AddObjects(objects, false, false); });
    QApplication::processEvents();
    const double rebuildAgain = timed([&] { document.UpdateAllViews(nullptr, -1); });
    QApplication::processEvents();
    page.Table().setColumnWidth(1, 400);   // the user's width
    const double sort = timed([&] { page.SortByColumn(1); });
    const bool widthKept = page.Table().columnWidth(1) == 400;
    QApplication::processEvents();
    const double selectAll = timed([&] { page.SelectAll(); });
    QApplication::processEvents();
    const double repaint = timed([&] { page.Table().viewport()->repaint(); });
    const double expandAll = timed([&] { page.ExpandAll(true); });
    // The rows left with an estimated height are measured in steps: the
    // longest the window waits for one, and how long until all are exact.
    double longestStep = 0;
    const double measuredAll = timed([&] {
        while (page.IsMeasuring()) {
            longestStep = std::max(longestStep, timed([] { QApplication::processEvents(); }));
        }
    });
    const double repaintExpanded = timed([&] { page.Table().viewport()->repaint(); });

    constexpr int kRenames = 1000;
    const std::size_t bytesBefore = history.Bytes();
    const double renames = timed([&] {
        for (int i = 0; i < kRenames; ++i)
            ProjectEdits::Rename(document, (i * 37) % kObjects, QStringLiteral("renamed %1").arg(i));
    });
    const double undoBytes = double(history.Bytes() - bytesBefore) / kRenames;
    const double undos = timed([&] {
        for (int i = 0; i < kRenames; ++i)
            history.Undo();
    });

    std::printf("object table, %d objects, offscreen\n", kObjects);
    std::printf("%-28s %10.1f ms  (goal <= 500; objects added)\n", "rebuild", rebuild * 1e3);
    std::printf("%-28s %10.1f ms  (goal <= 500; refresh of all)\n", "rebuild again", rebuildAgain * 1e3);
    std::printf("%-28s %10.1f ms  (goal <= 50; by name, widths %s)\n", "sort", sort * 1e3,
                widthKept ? "kept" : "NOT KEPT");
    std::printf("%-28s %10.1f ms  (goal <= 100)\n", "select all", selectAll * 1e3);
    std::printf("%-28s %10.1f ms  (goal <= 16; the visible rows)\n", "repaint", repaint * 1e3);
    std::printf("%-28s %10.1f ms  (goal <= 1000)\n", "expand all", expandAll * 1e3);
    std::printf("%-28s %10.1f ms  (every row exact after %.1f s; the longest step %.1f ms)\n", "expand all, measuring",
                measuredAll * 1e3, measuredAll, longestStep * 1e3);
    std::printf("%-28s %10.1f ms  (goal <= 16; all expanded)\n", "repaint expanded", repaintExpanded * 1e3);
    std::printf("%-28s %10.0f B   (goal <= 65536)\n", "undo memory per rename", undoBytes);
    std::printf("%-28s %10.3f ms  (goal <= 5; the rename itself %.3f ms)\n", "undo time per rename",
                undos / kRenames * 1e3, renames / kRenames * 1e3);
    return widthKept ? 0 : 1;
}
