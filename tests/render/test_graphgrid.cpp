// Chart axes on numbers alone: steps, rounding, layout and value to pixel,
// with text sizes from a fixed measure instead of a font.
#include "render/graphgrid.h"
#include "render/sensitivearea.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Every character 7 px wide, every line 12 px high.
class CFixedMeasure : public ITextMeasure
{
public:
    QSize Size(const QString &text, bool rotated) const override
    {
        const QSize s(7 * int(text.size()), 12);
        return rotated ? s.transposed() : s;
    }
};

int labelHeight(const QString &)
{
    return 12;
}
int labelWidth(const QString &text)
{
    return 7 * int(text.size());
}

bool isRound(double step)
{
    const double exponent = std::floor(std::log10(step));
    const double mantissa = step / std::pow(10.0, exponent);
    return std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9;
}

TEST(GraphGrid, PreliminaryStepsHoldFourToTenSteps)
{
    int decimals = -1;
    EXPECT_DOUBLE_EQ(CGraphGrid::PreliminaryStep(60, &decimals), 10);
    EXPECT_EQ(decimals, 0);
    EXPECT_DOUBLE_EQ(CGraphGrid::PreliminaryStep(9.6), 1);
    EXPECT_DOUBLE_EQ(CGraphGrid::PreliminaryStep(1.2, &decimals), 0.2);
    EXPECT_EQ(decimals, 1);
    EXPECT_DOUBLE_EQ(CGraphGrid::PreliminaryStep(11), 2);
    EXPECT_DOUBLE_EQ(CGraphGrid::PreliminaryStep(300), 50);
    EXPECT_DOUBLE_EQ(CGraphGrid::PreliminaryStep(0), 0);
    EXPECT_DOUBLE_EQ(CGraphGrid::PreliminaryStep(-3), 0);
    EXPECT_DOUBLE_EQ(CGraphGrid::PreliminaryStep(1e-14), 0);
}

TEST(GraphGrid, NiceStepsFitTheirLabels)
{
    int decimals = -1;
    // A 50 mm maximum: the axis runs to 60 before rounding.
    EXPECT_DOUBLE_EQ(CGraphGrid::NiceStep(0, 60, 250, false, labelHeight, &decimals), 5);
    EXPECT_EQ(decimals, 0);
    // No maximum: 8.0 × 1.2.
    EXPECT_DOUBLE_EQ(CGraphGrid::NiceStep(0, 9.6, 250, false, labelHeight, &decimals), 1);
    EXPECT_EQ(decimals, 1);
    EXPECT_DOUBLE_EQ(CGraphGrid::NiceStep(0, 1.2, 250, false, labelHeight, &decimals), 0.1);
    EXPECT_EQ(decimals, 2);
    for (const auto &[min, max, pixels] :
         {std::tuple{-3.0, 7.0, 200}, {0.0, 1e-5, 240}, {-0.5, 10.5, 300}, {-0.5, 99.5, 700}}) {
        const double step = CGraphGrid::NiceStep(min, max, pixels, true, labelWidth, &decimals);
        ASSERT_GT(step, 0) << min << ".." << max;
        EXPECT_TRUE(isRound(step)) << step;
        const int count = int((max - min) / step);
        const QString label = QString::number(max, 'f', decimals);
        EXPECT_TRUE((count + 1) * labelWidth(label) <= 0.75 * pixels || count < 2) << step;
    }
    EXPECT_DOUBLE_EQ(CGraphGrid::NiceStep(5, 5, 100, false, labelHeight), 0);
}

TEST(GraphGrid, RoundingLeavesZeroAndGoesAboveTheMaximum)
{
    double min = 0, max = 60;
    CGraphGrid::RoundRange(min, max, 5, false);
    EXPECT_DOUBLE_EQ(min, 0);
    EXPECT_DOUBLE_EQ(max, 65);
    min = 0, max = 1.2;
    CGraphGrid::RoundRange(min, max, 0.1, false);
    EXPECT_NEAR(max, 1.3, 1e-9);   // not 1.2: the maximum always lies above
    min = -3, max = 7;
    CGraphGrid::RoundRange(min, max, 2, false);
    EXPECT_DOUBLE_EQ(min, -4);
    EXPECT_DOUBLE_EQ(max, 8);
    min = 2.5, max = 7;
    CGraphGrid::RoundRange(min, max, 1, false);
    EXPECT_DOUBLE_EQ(min, 2);
    // The x axis keeps a small multiple, rounds anything else up.
    min = 0, max = 6;
    CGraphGrid::RoundRange(min, max, 2, true);
    EXPECT_DOUBLE_EQ(max, 6);
    min = -0.5, max = 10.5;
    CGraphGrid::RoundRange(min, max, 2, true);
    EXPECT_DOUBLE_EQ(min, 0);
    EXPECT_DOUBLE_EQ(max, 12);
    min = 0, max = 20;
    CGraphGrid::RoundRange(min, max, 2, true);
    EXPECT_DOUBLE_EQ(max, 22);   // 20 is not below 0.9 × 22
}

TEST(GraphGrid, LayoutLeavesRoomForLabelsTicksAndTitleAndMapsValues)
{
    SChartConfig config;
    config.rect = QRect(QPoint(0, 0), QPoint(299, 249));
    config.xMin = -0.5;
    config.xMax = 10.5;
    config.yMin = 0;
    config.yMax = 60;
    config.top = config.bottom = config.right = 0;
    config.left = SChartConfig::Axis | SChartConfig::MinorOut | SChartConfig::Labels | SChartConfig::RotatedTitle;
    config.horizontalGrid = config.verticalGrid = false;
    CGraphGrid grid;
    const CFixedMeasure measure;
    grid.AutoScale(config, measure, true, true);
    EXPECT_DOUBLE_EQ(config.yStep, 5);
    EXPECT_DOUBLE_EQ(config.yMax, 65);
    EXPECT_DOUBLE_EQ(config.yMinorStep, 2.5);
    grid.Layout(config, measure);
    const QRect plot = grid.PlotRect();
    // Left: the empty rotated title (one line high, 12), the widest label
    // "65" (14), the gap before the labels (2) and the minor ticks out (3).
    EXPECT_EQ(plot.left(), 12 + 14 + 2 + 3);
    EXPECT_EQ(plot.top(), 6);   // half a label height at the top
    EXPECT_EQ(plot.bottom(), 249 - 6);
    EXPECT_EQ(grid.YToPixel(0), plot.bottom());
    EXPECT_EQ(grid.YToPixel(65), plot.top());
    EXPECT_EQ(grid.YToPixel(32.5), int(plot.bottom() - (plot.bottom() - plot.top() + 0.1) / 65 * 32.5 + 0.5));
    EXPECT_EQ(grid.XToPixel(config.xMin), plot.left());
}

TEST(SensitiveArea, HighestPriorityWinsEarliestOnTiesEdgesIncluded)
{
    CSensitiveArea areas;
    areas.Add(QRect(0, 0, 100, 100), 0, 10, 1);
    areas.Add(QRect(50, 50, 10, 10), 5, 20, 2);
    areas.Add(QRect(50, 50, 10, 10), 5, 30, 3);
    ASSERT_TRUE(areas.HitTest({55, 55}));
    EXPECT_EQ(areas.HitTest({55, 55})->id, 2);
    EXPECT_EQ(areas.HitTest({60, 60})->id, 2);   // the far edge counts
    EXPECT_EQ(areas.HitTest({61, 61})->id, 1);
    EXPECT_EQ(areas.HitTest({100, 100})->value, 10);
    EXPECT_FALSE(areas.HitTest({101, 50}));
    areas.Clear();
    EXPECT_FALSE(areas.HitTest({55, 55}));
    QFontMetrics metrics{QFont()};
    areas.AddForText(metrics, 10, 10, QStringLiteral("[Add]"), 0, 0, 2, false);
    EXPECT_TRUE(areas.IsEmpty());
    areas.AddForText(metrics, 10, 10, QStringLiteral("[Add]"), 0, 0, 2);
    EXPECT_EQ(areas.HitTest({10 + metrics.horizontalAdvance(QStringLiteral("[Add]")) - 1, 12})->id, 2);
}

}   // namespace
