// Pictures of table rows: their heights for the three choices of rows, the
// column header row once at the top, and the cells drawn as on the screen.
#include "render/detailcell.h"
#include "render/tablecells.h"
#include "render/tablepicture.h"
#include "renderfixture.h"
#include "support/testsupport.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

using namespace Render;

STableLook look()
{
    return TestSupport::TableLook(0);
}

std::vector<object_t> objects(int n)
{
    std::vector<object_t> list;
    for (int i = 0; i < n; ++i) {
        object_t o = ToProjectObject(TestSupport::MakeObject(std::uint16_t(i + 1), {20 + i, 31, 45}), false);
        o.expanded = i % 2 == 1;
        list.push_back(o);
    }
    return list;
}

std::vector<const object_t *> pointers(const std::vector<object_t> &list)
{
    return TestSupport::Pointers(list);
}

int rowsWithColour(const QImage &image, int x, const QColor &colour)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        rows += image.pixelColor(x, y) == colour;
    return rows;
}

TEST(TablePicture, HeightsForTheThreeChoicesOfRows)
{
    // In the suite's DejaVu Sans 9 an object of three covers lays out its
    // statistics and settings 304 pixels high, beside the 300-pixel diagram;
    // its detail row asks 1.07 times that: 325. The column header row is 26
    // high, an object's header row 22.
    const std::vector<object_t> list = objects(4);   // objects 2 and 4 are expanded
    const STableLook l = look();
    const struct
    {
        const char *what;
        std::vector<const object_t *> objects;
        NRowsShown shown;
        int height;
    } cases[] = {
        {"headers only", pointers(list), NRowsShown::HeadersOnly, 114},   // 26 + 4 × 22
        {"every detail", pointers(list), NRowsShown::Details, 1414},      // 26 + 4 × (22 + 325)
        {"as is", pointers(list), NRowsShown::AsIs, 764},                 // 26 + 4 × 22 + 2 × 325
        // One object alone, as a file of its own: the column headers and its rows.
        {"an expanded one alone", {&list[1]}, NRowsShown::AsIs, 373},   // 26 + 22 + 325
        {"a collapsed one alone", {&list[0]}, NRowsShown::AsIs, 48},    // 26 + 22
        {"no objects", {}, NRowsShown::Details, 26},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QImage picture = RenderTablePicture(c.objects, c.shown, l);
        EXPECT_EQ(picture.height(), c.height);
        EXPECT_EQ(picture.width(), TableWidth(l));
    }
}

TEST(TablePicture, TheColumnHeaderRowStandsOnceAtTheTop)
{
    const std::vector<object_t> list = objects(3);
    const QImage image = RenderTablePicture(pointers(list), NRowsShown::HeadersOnly, look());
    const int x = look().widths[0] + 3;   // inside the name column, left of its text
    // The header fill only in the first 26 rows (less its grid line).
    EXPECT_EQ(rowsWithColour(image, x, QColor(240, 240, 240)), 25);
    // Every object row's background below it, the gripper colour in column 0.
    EXPECT_EQ(rowsWithColour(image, x, kRowBackground), 3 * 21);
    EXPECT_EQ(image.pixelColor(2, 26 + 22 + 20), kGripperBackground);
    EXPECT_NE(image.pixelColor(2, 10), kGripperBackground);
}

TEST(TablePicture, DetailsShowTheDiagramBars)
{
    const std::vector<object_t> list = objects(1);
    const QImage image = RenderTablePicture(pointers(list), NRowsShown::Details, look());
    int bars = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            bars += image.pixelColor(x, y) == kBarColour;
    EXPECT_GT(bars, 3 * 24 * 10);   // three bars, each tens of pixels high
    const QImage headers = RenderTablePicture(pointers(list), NRowsShown::HeadersOnly, look());
    bars = 0;
    for (int y = 0; y < headers.height(); ++y)
        for (int x = 0; x < headers.width(); ++x)
            bars += headers.pixelColor(x, y) == kBarColour;
    EXPECT_EQ(bars, 0);
}

}   // namespace
