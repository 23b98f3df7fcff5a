// The required cover in the table's drawings: the diagram's limit line and
// warning bars, and the minimum cover text of an object below it.
#include "data/units.h"
#include "render/detailcell.h"
#include "render/tablecells.h"
#include "render/tablepicture.h"
#include "renderfixture.h"
#include "support/testsupport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace Render;

QImage drawDetail(const object_t &o, std::optional<double> requiredCover)
{
    QImage image(1000, 420, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    SDetailOptions options;
    options.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    options.requiredCover = requiredCover;
    PaintDetail(&p, image.rect(), o, options);
    return image;
}

int count(const QImage &image, const QColor &colour, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

int count(const QImage &image, const QColor &colour)
{
    return count(image, colour, image.rect());
}

// The row that holds the most pixels of the line's colour.
int lineRow(const QImage &image)
{
    int best = -1, most = 0;
    for (int y = 0; y < image.height(); ++y) {
        const int n = count(image, kWarningColour, QRect(0, y, image.width(), 1));
        if (n > most) {
            most = n;
            best = y;
        }
    }
    return best;
}

// Left edge and top of every bar of either colour, left to right, found on
// the row just above the plot's base line.
struct SBar
{
    int x;
    int top;
    bool warning;
};

std::vector<SBar> bars(const QImage &image)
{
    auto isBar = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c == kBarColour || c == kWarningBarColour;
    };
    int base = -1;
    for (int y = image.height() - 1; y >= 0 && base < 0; --y)
        for (int x = 0; x < image.width() / 2; ++x)
            if (isBar(x, y)) {
                base = y;
                break;
            }
    std::vector<SBar> found;
    for (int x = 0; base >= 0 && x < image.width(); ++x) {
        if (!isBar(x, base) || (x > 0 && isBar(x - 1, base)))
            continue;
        // Up the bar's middle column, past the limit line drawn over it.
        const int mid = x + 4;
        int top = base;
        for (int y = base; y >= 0; --y)
            if (isBar(mid, y))
                top = y;
            else if (image.pixelColor(mid, y) != kWarningColour)
                break;
        found.push_back({x, top, image.pixelColor(mid, base) == kWarningBarColour});
    }
    return found;
}

object_t object(std::initializer_list<int> covers, std::uint8_t regional = Regional_Metric)
{
    return ToProjectObject(TestSupport::MakeObject(1, covers, regional), false);
}

TEST(CoverLimit, WithoutARequiredCoverNothingIsDrawnInTheWarningColours)
{
    const QImage image = drawDetail(object({20, 40, 255}), std::nullopt);
    EXPECT_EQ(count(image, kWarningColour), 0);
    EXPECT_EQ(count(image, kWarningBarColour), 0);
    EXPECT_EQ(bars(image).size(), 3u);
}

TEST(CoverLimit, TheLineLiesBetweenTheCoversBelowAndAboveItInEitherUnit)
{
    // Covers are millimetres on the instrument; an inch object scales them,
    // and the limit (always millimetres) must scale with them.
    for (const std::uint8_t regional : {Regional_Metric, Regional_AstmInch}) {
        SCOPED_TRACE(int(regional));
        const QImage image = drawDetail(object({20, 40, 29, 30}, regional), 30.0);
        const int line = lineRow(image);
        ASSERT_GE(line, 0);
        const std::vector<SBar> found = bars(image);
        ASSERT_EQ(found.size(), 4u);
        EXPECT_GT(found[0].top, line);   // 20 below
        EXPECT_LT(found[1].top, line);   // 40 above
        EXPECT_TRUE(found[0].warning);
        EXPECT_FALSE(found[1].warning);
        EXPECT_TRUE(found[2].warning);    // 29 < 30
        EXPECT_FALSE(found[3].warning);   // 30 meets it
    }
}

TEST(CoverLimit, AMissingCoverIsNeverBelowTheLimitAndAHighLimitStaysInThePlot)
{
    const QImage image = drawDetail(object({20, 255, 40}), 60.0);
    const std::vector<SBar> found = bars(image);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_TRUE(found[0].warning);
    EXPECT_FALSE(found[1].warning) << "the no-cover bar keeps its colour";
    EXPECT_TRUE(found[2].warning);
    // The scale grows to the limit: the line stands above the 40 mm bar.
    const int line = lineRow(image);
    ASSERT_GE(line, 0);
    EXPECT_LT(line, found[2].top);
}

TEST(CoverLimit, TheMinimumCoverTextTakesTheWarningColourOnlyBelowTheLimit)
{
    STableLook look = TestSupport::TableLook(0);
    const object_t o = object({24, 41});
    int minLeft = 0;
    for (int c = 0; c < Col_MinCover; ++c)
        minLeft += look.widths[std::size_t(c)];
    const QRect minCell(minLeft, 0, look.widths[Col_MinCover], 22);
    const QRect maxCell(minCell.right() + 1, 0, look.widths[Col_MaxCover], 22);
    auto header = [&](std::optional<double> required) {
        look.requiredCover = required;
        QImage image(TableWidth(look), 22, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        PaintObjectHeaderRow(p, {0, 0}, o, false, look);
        return image;
    };
    // Text pixels are anti-aliased: count those near the pure colour.
    auto reddish = [](const QImage &image, const QRect &area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > c.green() + 60 && c.red() > c.blue() + 60;
            }
        return n;
    };
    EXPECT_GT(reddish(header(30.0), minCell), 10);
    EXPECT_EQ(reddish(header(30.0), maxCell), 0);
    EXPECT_EQ(reddish(header(24.0), minCell), 0) << "24 mm meets a limit of 24 mm";
    EXPECT_EQ(reddish(header(std::nullopt), minCell), 0);
}

}   // namespace

namespace {

TEST(DetailText, TheExpandedObjectReadsAsTextForAssistiveTools)
{
    object_t o = ToProjectObject(TestSupport::MakeObject(7, {30, 40, 255}), false);
    o.comment = QStringLiteral("Column C3");
    // The figures the drawing shows (the missing cover counts among the
    // measurements, the deviation in whole tenths as the statistics keep it).
    EXPECT_EQ(Render::DetailAccessibleText(o).toStdString(),
              QStringLiteral("Statistics\nMeasurements: 3\nMean cover value: 35.0 mm\nStandard deviation: 7.0 mm\n"
                             "Min. cover value: 30 mm\nMax. cover value: 40 mm\nSettings\nRegional settings: Metric\n"
                             "Data storage mode: manual\nDefault bar diameter: 16 mm\nNeighboring bar correction: -\n"
                             "Device name: Vetrameter+\nSerial number: VM-00417\nSoftware version: 2.03\n"
                             "Hardware index: B\nComment\nColumn C3")
                  .toStdString());
}

}   // namespace
