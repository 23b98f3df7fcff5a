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
    const std::vector<object_t> list = objects(4);
    const STableLook l = look();
    const int detail = DetailRowHeight(list[0], l.font, TableWidth(l) - l.widths[0]);
    EXPECT_EQ(RenderTablePicture(pointers(list), NRowsShown::HeadersOnly, l).height(), 26 + 22 * 4);
    EXPECT_EQ(RenderTablePicture(pointers(list), NRowsShown::Details, l).height(), 26 + 4 * (22 + detail));
    // As is: objects 2 and 4 are expanded.
    EXPECT_EQ(RenderTablePicture(pointers(list), NRowsShown::AsIs, l).height(), 26 + 4 * 22 + 2 * detail);
    // One object alone, as a file of its own: header row and its rows.
    EXPECT_EQ(RenderTablePicture({&list[1]}, NRowsShown::AsIs, l).height(), 26 + 22 + detail);
    EXPECT_EQ(RenderTablePicture({}, NRowsShown::Details, l).height(), 26);
    EXPECT_EQ(RenderTablePicture(pointers(list), NRowsShown::HeadersOnly, l).width(), TableWidth(l));
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

} // namespace
