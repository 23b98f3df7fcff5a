// Printing onto PDF: pages, the bands, the column header row on every page,
// whole rows per page, and rows taller than a page.
#include "render/detailcell.h"
#include "render/tableprint.h"
#include "renderfixture.h"
#include "support/testsupport.h"

#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Render;

STableLook look()
{
    return TestSupport::TableLook(300);
}

SPrintBands bands(const QString &file)
{
    return TestSupport::PrintBands(QStringLiteral("Vetrameter measurement objects"), file);
}

std::vector<object_t> objects(int n, int expandedEvery = 0)
{
    std::vector<object_t> list;
    for (int i = 0; i < n; ++i) {
        object_t o = ToProjectObject(TestSupport::MakeObject(std::uint16_t(i + 1), {20 + i % 30, 31}), false);
        o.expanded = expandedEvery > 0 && i % expandedEvery == 0;
        list.push_back(o);
    }
    return list;
}

std::vector<const object_t *> pointers(const std::vector<object_t> &list)
{
    return TestSupport::Pointers(list);
}

// The text of each page of a PDF; empty when pdftotext is missing.
QStringList pageTexts(const QString &pdf, int pages)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    QStringList texts;
    if (tool.isEmpty())
        return texts;
    for (int page = 1; page <= pages; ++page) {
        QProcess p;
        p.start(tool, {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf,
                       QStringLiteral("-")});
        p.waitForFinished(30000);
        texts << QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    }
    return texts;
}

TEST(TablePrint, PagesTakeWholeRowsAndATallRowStandsAlone)
{
    const std::vector<SPrintRow> rows{{nullptr, false, 100}, {nullptr, false, 5000}, {nullptr, false, 100}};
    const auto pages = Paginate(rows, 1000);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[1], std::make_pair(std::size_t(1), std::size_t(2)));
    const std::vector<SPrintRow> small(10, SPrintRow{nullptr, false, 22});
    const auto two = Paginate(small, 22 * 6 + 5);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].second - two[0].first, 6u);
    EXPECT_TRUE(Paginate({}, 100).empty());
}

TEST(TablePrint, AnExpandedObjectsTwoRowsStayOnOnePageWhenTheyFitOnOne)
{
    const SPrintRow header{nullptr, false, 22};
    const SPrintRow detail{nullptr, true, 300};
    // The second object's header would end page 1 and its detail open page 2.
    const auto moved = Paginate({header, header, detail, header}, 340);
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(moved[0], std::make_pair(std::size_t(0), std::size_t(1)));
    EXPECT_EQ(moved[1], std::make_pair(std::size_t(1), std::size_t(3)));
    // A detail taller than a page cannot join its header: nothing moves, and
    // a header alone on its page stays there.
    const SPrintRow tall{nullptr, true, 1000};
    EXPECT_EQ(Paginate({header, header, tall}, 330).front(), std::make_pair(std::size_t(0), std::size_t(2)));
    EXPECT_EQ(Paginate({header, detail}, 310).size(), 2u);
}

TEST(TablePrint, EveryPageHasItsBandsAndTheColumnHeaderRow)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("print.pdf"));
    const std::vector<object_t> list = objects(300, 50);
    const STableLook l = look();
    const std::vector<SPrintRow> rows = PrintRows(pointers(list), l);
    EXPECT_EQ(rows.size(), 300u + 6u);   // six expanded objects bring their details
    int pages = 0;
    {
        QPdfWriter pdf(file);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        ASSERT_TRUE(PrintTable(pdf, rows, l, bands(QStringLiteral("Unnamed")), &pages));
    }
    EXPECT_GT(pages, 5);
    const QStringList texts = pageTexts(file, pages);
    if (texts.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    int objectsSeen = 0;
    for (int page = 0; page < pages; ++page) {
        const QString &t = texts[page];
        EXPECT_TRUE(t.contains(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages))) << page;
        EXPECT_TRUE(t.contains(QStringLiteral("Object number"))) << page;
        EXPECT_TRUE(t.contains(QStringLiteral("Vetrameter measurement objects"))) << page;
        EXPECT_TRUE(t.contains(QStringLiteral("Vetradesk Version 1.0.1.0"))) << page;
        EXPECT_TRUE(t.contains(QStringLiteral("Unnamed"))) << page;
        objectsSeen += int(t.count(QStringLiteral("Object ")) - t.count(QStringLiteral("Object number")));
    }
    EXPECT_EQ(objectsSeen, 300);   // every object's name once: no row printed twice or lost
}

}   // namespace
