// The expanded object's drawing: bar geometry, layouts, the comment's
// tokens and lines, and what lands in an image.
#include "render/detailcell.h"
#include "support/testsupport.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using namespace Render;

object_t objectWith(std::initializer_list<int> covers, std::int16_t order = 0)
{
    object_t o = ToProjectObject(TestSupport::MakeObject(1, covers), false);
    o.diagramOrder = order;
    return o;
}

object_t objectOf(int n)
{
    object_t o = ToProjectObject(TestSupport::MakeObject(1, {}), false);
    for (int i = 0; i < n; ++i)
        o.measurements.push_back({std::uint8_t(i + 1), std::uint8_t(10 + (i * 7) % 50), 16});
    return o;
}

TEST(DetailCell, BarsShrinkWithTheRoom)
{
    const SBarGeometry wide = BarGeometry(10, 2000);
    EXPECT_EQ(wide.width, 24);
    EXPECT_EQ(wide.gap, 2);
    EXPECT_EQ(wide.block, 10 * 24 + 12 * 2);
    // 264 no longer fits in 263 - 50: 23 px bars with 1 px gaps.
    const SBarGeometry tighter = BarGeometry(10, 263 + 50 - 1);
    EXPECT_EQ(tighter.width, 23);
    EXPECT_EQ(tighter.gap, 1);
    const SBarGeometry none = BarGeometry(10, 40);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(BarGeometry(0, 800).width, 24);
}

TEST(DetailCell, LayoutFollowsTheNumberOfMeasurements)
{
    EXPECT_EQ(LayoutFor(0), NDetailLayout::SideBySide);
    EXPECT_EQ(LayoutFor(21), NDetailLayout::SideBySide);
    EXPECT_EQ(LayoutFor(22), NDetailLayout::TwoBands);
    EXPECT_EQ(LayoutFor(51), NDetailLayout::TwoBands);
    EXPECT_EQ(LayoutFor(52), NDetailLayout::FullWidth);
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    // Heights: at least the diagram; the two-band and full-width layouts add below it.
    EXPECT_GE(DetailRowHeight(objectOf(21), font, 1000), 300);
    EXPECT_GT(DetailRowHeight(objectOf(22), font, 1000), 300 * 1.07);
    EXPECT_GT(DetailRowHeight(objectOf(99), font, 1000), 300 * 1.07);
    // A narrow window lays out as if it were 800 px wide.
    EXPECT_EQ(DetailRowHeight(objectOf(30), font, 300), DetailRowHeight(objectOf(30), font, 800));
}

TEST(DetailCell, CommentTokensAndLines)
{
    EXPECT_EQ(CommentTokens(QStringLiteral("Wall. north\r\nside")),
              (QStringList{QStringLiteral("Wall"), QStringLiteral("."), QStringLiteral(" "), QStringLiteral("north"),
                           QStringLiteral("\n"), QStringLiteral("side")}));
    EXPECT_TRUE(CommentTokens(QString()).isEmpty());
    const QFontMetrics metrics{QFont(QStringLiteral("DejaVu Sans"), 9)};
    EXPECT_EQ(CommentLines(QStringLiteral("one\r\ntwo"), metrics, 500),
              (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    // One very long word is broken over several lines that each fit.
    const QString word(200, u'W');
    const int width = 120;
    const QStringList lines = CommentLines(word, metrics, width);
    EXPECT_GT(lines.size(), 3);
    EXPECT_EQ(lines.join(QString()), word);
    for (const QString &line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line), width);
    // Words that fit go on together; a word that does not starts a new line.
    const QStringList words = CommentLines(QStringLiteral("a b ") + QString(20, u'c'), metrics,
                                           metrics.horizontalAdvance(QStringLiteral("a b cc")));
    EXPECT_EQ(words.first(), QStringLiteral("a b "));
}

// Bar-coloured runs along one pixel row: their widths and left edges.
std::vector<std::pair<int, int>> barRuns(const QImage &image, int y)
{
    std::vector<std::pair<int, int>> runs;
    int start = -1;
    for (int x = 0; x <= image.width(); ++x) {
        const bool bar = x < image.width() && image.pixelColor(x, y) == kBarColour;
        if (bar && start < 0)
            start = x;
        if (!bar && start >= 0) {
            runs.emplace_back(start, x - start);
            start = -1;
        }
    }
    return runs;
}

int barHeight(const QImage &image, int x)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += image.pixelColor(x, y) == kBarColour;
    return n;
}

// A pixel row a little above the base line, where it crosses all `bars`
// (below the upright diameter texts); -1 when there is none.
int rowAcrossBars(const QImage &image, std::size_t bars)
{
    for (int y = image.height() - 1; y >= 0; --y)
        if (barRuns(image, y).size() == bars)
            return y - 2;
    return -1;
}

QImage draw(const object_t &o, SDetailAreas *areas = nullptr)
{
    QImage image(1000, 420, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    SDetailOptions options;
    options.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    PaintDetail(&p, image.rect(), o, options, areas);
    return image;
}

TEST(DetailCell, BarsLandWhereTheGeometrySays)
{
    const object_t o = objectWith({30, 42, 35, 50, 28, 33, 47, 40, 38, 45});
    SDetailAreas areas;
    const QImage image = draw(o, &areas);
    // A row a little above the base line crosses every bar.
    const int row = rowAcrossBars(image, 10);
    ASSERT_GE(row, 0);
    const auto runs = barRuns(image, row);
    ASSERT_EQ(runs.size(), 10u);
    for (std::size_t k = 0; k < runs.size(); ++k) {
        EXPECT_EQ(runs[k].second, 24) << k;
        if (k > 0) {
            EXPECT_EQ(runs[k].first - runs[k - 1].first, 26) << k;
        }
    }
    // Taller values give taller bars: 50 (bar 4) above 28 (bar 5).
    EXPECT_GT(barHeight(image, runs[3].first + 1), barHeight(image, runs[4].first + 1));
    ASSERT_EQ(areas.tips.Tips().size(), 10u);
    EXPECT_EQ(areas.tips.Tips()[3].title, QStringLiteral("Measurement number 4"));
    EXPECT_TRUE(areas.tips.Tips()[3].text.startsWith(QStringLiteral("Cover value: 50 mm \nBar diameter: ")));
    EXPECT_TRUE(areas.clickable.HitTest(areas.clickable.HitTest({0, 0}) ? QPoint(0, 0) : QPoint(-1, -1))
                == std::nullopt);
}

TEST(DetailCell, InValueOrderTheBarsRiseLeftToRight)
{
    const object_t o = objectWith({30, 42, 35, 50, 28, 33, 47, 40, 38, 45}, 1);
    SDetailAreas areas;
    const QImage image = draw(o, &areas);
    const int row = rowAcrossBars(image, 10);
    const auto runs = barRuns(image, row);
    ASSERT_EQ(runs.size(), 10u);
    for (std::size_t k = 1; k < runs.size(); ++k)
        EXPECT_GE(barHeight(image, runs[k].first + 1), barHeight(image, runs[k - 1].first + 1)) << k;
    // The tooltips still name each bar's own measurement: the lowest is number 5.
    EXPECT_EQ(areas.tips.Tips()[0].title, QStringLiteral("Measurement number 5"));
}

TEST(DetailCell, AnObjectWithoutMeasurementsDrawsTheAxisOnly)
{
    SDetailAreas areas;
    const QImage image = draw(objectWith({}), &areas);
    int bar = 0, black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            bar += image.pixelColor(x, y) == kBarColour;
            black += image.pixelColor(x, y) == QColor(Qt::black);
        }
    EXPECT_EQ(bar, 0);
    EXPECT_GT(black, 100);   // axis, base line, mean mark
    EXPECT_TRUE(areas.tips.Tips().empty());
    // No ordering link for fewer than two measurements; the comment reads "[Add]".
    bool ordering = false, comment = false;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (const auto hit = areas.clickable.HitTest({x, y})) {
                ordering |= hit->id == Area_Ordering;
                comment |= hit->id == Area_Comment;
            }
    EXPECT_FALSE(ordering);
    EXPECT_TRUE(comment);
}

TEST(DetailCell, MissingValuesAreClippedAtTheTopOfThePlot)
{
    const QImage withMissing = draw(objectWith({30, 255, 40}));
    const int row = rowAcrossBars(withMissing, 3);
    const auto runs = barRuns(withMissing, row);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_GT(barHeight(withMissing, runs[1].first + 1), barHeight(withMissing, runs[2].first + 1));
}

}   // namespace

namespace {

// Heights come from measuring; the drawing must take exactly that room.
TEST(DetailCell, MeasuringGivesTheHeightTheDrawingTakes)
{
    SDetailOptions options;
    options.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    for (int n : {0, 5, 21, 30, 60, 99}) {
        object_t o = ToProjectObject(TestSupport::MakeObject(1, {}), false);
        for (int i = 0; i < n; ++i)
            o.measurements.push_back({std::uint8_t(i + 1), std::uint8_t(10 + i % 60), 16});
        o.comment = QStringLiteral(
                        "A comment long enough to need several lines when the room beside the diagram is small. ")
                        .repeated(3);
        for (int width : {800, 1000, 1400}) {
            QImage image(width, 2000, QImage::Format_RGB32);
            QPainter p(&image);
            const int drawn = PaintDetail(&p, image.rect(), o, options);
            const int measured = PaintDetail(nullptr, QRect(0, 0, width, 100), o, options);
            EXPECT_EQ(drawn, measured) << n << " measurements, " << width << " px";
        }
    }
}

// Nothing of the drawing lands right of the cell: every value of the
// settings (the longest texts) is whole, whatever the number of measurements.
TEST(DetailCell, EveryValueStaysInsideTheCellFromOneTo99MeasurementsAt800To1600Px)
{
    SDetailOptions options;
    options.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    const QRgb outside = qRgb(255, 0, 255);
    for (int n : {1, 5, 15, 19, 21, 22, 40, 51, 52, 99}) {
        object_t o = objectOf(n);
        o.regional = 2;   // "ASTM mm", a longer link than "Met"
        o.deviceName = QStringLiteral("Vetrameter VM-20 Pro");
        o.serialNumber = QStringLiteral("VM-20931-7734-A");
        o.softwareVersion = QStringLiteral("2.11.1432 (2026-10-01)");
        for (int width : {800, 1000, 1200, 1600}) {
            const int height = PaintDetail(nullptr, QRect(0, 0, width, 100), o, options) + 20;
            QImage image(width + 400, height, QImage::Format_RGB32);
            image.fill(outside);
            {
                QPainter p(&image);
                PaintDetail(&p, QRect(0, 0, width, height), o, options);
            }
            int spill = -1, row = -1;
            for (int y = 0; y < image.height() && spill < 0; ++y)
                for (int x = width; x < image.width() && spill < 0; ++x)
                    if (image.pixel(x, y) != outside)
                        spill = x, row = y;
            EXPECT_EQ(spill, -1) << n << " measurements at " << width << " px: drawn at (" << spill << ", " << row
                                 << ")";
        }
    }
}

}   // namespace
