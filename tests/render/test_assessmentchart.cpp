// The cover histogram: its classes, the fitted curves, and where the painter
// puts the required cover.
#include "render/assessmentchart.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace Render;

TEST(AssessmentChart, ClassesAreOneMillimetreUpToFortyMillimetresOfRangeElseFive)
{
    EXPECT_EQ(HistogramClassWidth(20, 60), 1.0);
    EXPECT_EQ(HistogramClassWidth(30, 30), 1.0);
    EXPECT_EQ(HistogramClassWidth(20, 61), 5.0);
    EXPECT_EQ(HistogramClassWidth(0, 254), 5.0);
}

TEST(AssessmentChart, ClassCountsIncludeEmptyClassesBetweenTheCovers)
{
    const SHistogram narrow = CoverHistogram({22, 24, 24, 25, 27});
    EXPECT_EQ(narrow.width, 1.0);
    EXPECT_EQ(narrow.firstClass, 22);
    EXPECT_EQ(narrow.counts, (std::vector<int>{1, 0, 2, 1, 0, 1}));
    EXPECT_EQ(narrow.LowerBound(0), 21.5);
    EXPECT_EQ(narrow.UpperBound(5), 27.5);
    EXPECT_EQ(narrow.MaxCount(), 2);

    // 5 mm classes hold 10..14, 15..19, 20..24, …: 52 stands alone in 50..54.
    const SHistogram wide = CoverHistogram({10, 14, 15, 19, 20, 52});
    EXPECT_EQ(wide.width, 5.0);
    EXPECT_EQ(wide.firstClass, 2);
    EXPECT_EQ(wide.counts, (std::vector<int>{2, 2, 1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(wide.LowerBound(0), 9.5);
    EXPECT_EQ(wide.UpperBound(8), 54.5);

    const SHistogram zero = CoverHistogram({0, 0, 1});
    EXPECT_EQ(zero.firstClass, 0);
    EXPECT_EQ(zero.counts, (std::vector<int>{2, 1}));
    EXPECT_EQ(zero.LowerBound(0), -0.5);

    const SHistogram none = CoverHistogram({});
    EXPECT_TRUE(none.counts.empty());
    EXPECT_EQ(none.MaxCount(), 0);
}

TEST(AssessmentChart, CurvesAreFittedOnlyWhereTheyExist)
{
    EXPECT_FALSE(FitNormal({}));
    EXPECT_FALSE(FitNormal({30}));
    EXPECT_FALSE(FitNormal({30, 30, 30})) << "no spread, no curve";
    const std::optional<SCurveFit> normal = FitNormal({20, 30, 40});
    ASSERT_TRUE(normal);
    EXPECT_DOUBLE_EQ(normal->mu, 30.0);
    EXPECT_DOUBLE_EQ(normal->sigma, 10.0);

    EXPECT_FALSE(FitLogNormal({0, 10, 20})) << "0 mm has no logarithm";
    EXPECT_FALSE(FitLogNormal({10}));
    const std::optional<SCurveFit> logNormal = FitLogNormal({10, 100});
    ASSERT_TRUE(logNormal);
    EXPECT_NEAR(logNormal->mu, 3.4538776394, 1e-9);      // ln √1000
    EXPECT_NEAR(logNormal->sigma, 1.6281735335, 1e-9);   // ln 10 / √2
}

TEST(AssessmentChart, CurvesAreScaledToTheCountsOfTheClasses)
{
    const SCurveFit normal{30, 5};
    EXPECT_NEAR(NormalCurveCount(normal, 30, 100, 1), 7.9788456080, 1e-9);
    EXPECT_NEAR(NormalCurveCount(normal, 35, 100, 1), 4.8394144904, 1e-9);
    EXPECT_NEAR(NormalCurveCount(normal, 25, 100, 1), 4.8394144904, 1e-9);
    EXPECT_NEAR(NormalCurveCount(normal, 30, 100, 5), 39.894228040, 1e-8);

    const SCurveFit logNormal{std::log(30.0), 0.2};
    EXPECT_NEAR(LogNormalCurveCount(logNormal, 30, 100, 1), 6.6490380067, 1e-9);
    EXPECT_NEAR(LogNormalCurveCount(logNormal, 36.642082744805, 100, 1), 3.3018145585, 1e-9);
    EXPECT_EQ(LogNormalCurveCount(logNormal, 0, 100, 1), 0.0);
    EXPECT_EQ(LogNormalCurveCount(logNormal, -3, 100, 1), 0.0);
}

// Pixels of the histogram drawn onto white.
struct SPicture
{
    QImage image;
    SChartLook look;
};

SPicture paint(const std::vector<double> &covers, std::optional<double> limit, QSize size = {640, 400},
               QRectF area = {})
{
    SPicture picture;
    picture.look.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    picture.image = QImage(size, QImage::Format_RGB32);
    picture.image.fill(Qt::white);
    QPainter p(&picture.image);
    PaintCoverHistogram(p, area.isNull() ? QRectF(QPointF(0, 0), QSizeF(size)) : area, covers, {limit, 0.05},
                        picture.look);
    return picture;
}

bool is(const QImage &image, int x, int y, const QColor &colour)
{
    return image.pixelColor(x, y).rgb() == colour.rgb();
}

// The lowest row showing a bar of `colour`, or -1.
int lowestRowOf(const QImage &image, const QColor &colour)
{
    for (int y = image.height() - 1; y >= 0; --y)
        for (int x = 0; x < image.width(); ++x)
            if (is(image, x, y, colour))
                return y;
    return -1;
}

// The mean column of the dashed limit line over the rows [top, bottom], or
// -1 without one: columns with many pixels of its colour (its label is above).
double limitLineX(const SPicture &picture, int top, int bottom)
{
    double sum = 0;
    int columns = 0;
    for (int x = 0; x < picture.image.width(); ++x) {
        int hits = 0;
        for (int y = std::max(0, top); y <= bottom; ++y)
            hits += is(picture.image, x, y, picture.look.limitColour);
        if (hits >= (bottom - top) / 3) {
            sum += x;
            ++columns;
        }
    }
    return columns ? sum / columns : -1;
}

TEST(AssessmentChart, TheRequiredCoverIsAVerticalLineThroughItsClass)
{
    // Classes 20..24 lie below a limit of 25 mm; class 25 is the first at or
    // above it, and class 26 is empty, so that class 25 stands alone on its right.
    const std::vector<double> covers{20, 21, 22, 22, 23, 23, 23, 24, 24, 25, 25, 25, 25, 25, 27, 28, 28, 29};
    const SPicture picture = paint(covers, 25.0);
    const QImage &image = picture.image;
    const int bottom = lowestRowOf(image, picture.look.barColour);
    ASSERT_GT(bottom, 100);
    const int row = bottom - 8;
    int belowEnd = -1;
    for (int x = 0; x < image.width(); ++x)
        if (is(image, x, row, picture.look.belowBarColour))
            belowEnd = x;
    ASSERT_GT(belowEnd, 0) << "the classes below the limit in their own colour";
    int classEnd = belowEnd + 1;
    while (classEnd < image.width() && !is(image, classEnd, row, Qt::white))
        ++classEnd;
    ASSERT_GT(classEnd - belowEnd, 6);
    // 25 mm is the middle of class 25, which spans 24.5 to 25.5 mm.
    const double line = limitLineX(picture, bottom - 120, bottom - 4);
    EXPECT_NEAR(line, (belowEnd + 1 + classEnd) / 2.0, 1.5);

    // Without a limit nothing is drawn in its colour, and no class is below one.
    const SPicture plain = paint(covers, std::nullopt);
    EXPECT_EQ(limitLineX(plain, 0, plain.image.height() - 1), -1);
    EXPECT_EQ(lowestRowOf(plain.image, plain.look.belowBarColour), -1);
}

TEST(AssessmentChart, ALimitOutsideTheCoversWidensTheAxisToShowIt)
{
    const SPicture picture = paint({30, 31, 32, 32, 33, 34, 35}, 20.0);
    const QImage &image = picture.image;
    const int bottom = lowestRowOf(image, picture.look.barColour);
    ASSERT_GT(bottom, 0);
    int firstBar = -1;
    for (int x = 0; x < image.width() && firstBar < 0; ++x)
        if (is(image, x, bottom - 4, picture.look.barColour))
            firstBar = x;
    const double line = limitLineX(picture, bottom - 100, bottom - 4);
    ASSERT_GT(line, 0) << "the line is inside the picture";
    EXPECT_LT(line, firstBar - 20) << "ten millimetres left of the first class";
    EXPECT_EQ(lowestRowOf(image, picture.look.belowBarColour), -1) << "no cover below 20 mm";
}

TEST(AssessmentChart, StaysInsideItsAreaAndSaysSoWithoutCovers)
{
    const QRectF area(50, 40, 300, 200);
    for (const std::vector<double> &covers :
         {std::vector<double>{}, std::vector<double>{5, 60, 61, 62, 90, 120}, std::vector<double>{33}}) {
        SCOPED_TRACE(covers.size());
        const SPicture picture = paint(covers, 45.0, {420, 300}, area);
        int inked = 0;
        int outside = 0;
        for (int y = 0; y < picture.image.height(); ++y)
            for (int x = 0; x < picture.image.width(); ++x) {
                if (is(picture.image, x, y, Qt::white))
                    continue;
                ++inked;
                outside += !area.adjusted(-1, -1, 1, 1).contains(QPointF(x, y));
            }
        EXPECT_GT(inked, 50) << "something was drawn";
        EXPECT_EQ(outside, 0);
        const bool hasBars = lowestRowOf(picture.image, picture.look.barColour) >= 0
                             || lowestRowOf(picture.image, picture.look.belowBarColour) >= 0;
        EXPECT_EQ(hasBars, !covers.empty());
    }
}

}   // namespace
