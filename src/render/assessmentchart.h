#pragma once
// The histogram of assessed covers: classes of 1 or 5 mm, the required cover
// as a limit line, and the normal and log-normal curves fitted to the covers,
// scaled to the counts. The window's view and the inspection report draw it
// with the same painter; the pure helpers it uses are exported for tests.

#include "data/coverassessment.h"
#include "render/detailcell.h"
#include "render/tablecells.h"

#include <QColor>
#include <QFont>
#include <QRectF>

#include <optional>
#include <vector>

class QPainter;

namespace Render {

struct SChartLook
{
    QFont font;   // tick labels, legend and axis titles
    QColor textColour = kTextColour;
    QColor axisColour{96, 100, 120};
    QColor gridColour{222, 226, 236};
    QColor barColour = kBarColour;
    QColor belowBarColour = kWarningBarColour;   // classes wholly below the required cover
    QColor limitColour = kWarningColour;
    QColor normalColour{32, 48, 150};
    QColor logNormalColour{214, 128, 0};
    QColor background = Qt::transparent;   // transparent: the area is not filled
};

// 1 mm while the covers span up to 40 mm, else 5 mm.
double HistogramClassWidth(double min, double max);

// Covers are whole millimetres, each standing for [v - 0.5, v + 0.5), so a
// class k holds the covers from k × width to (k + 1) × width − 1: its bounds
// are half a millimetre below those.
struct SHistogram
{
    double width = 1;
    int firstClass = 0;        // index k of counts[0]
    std::vector<int> counts;   // one per class, empty classes included; empty without covers

    double LowerBound(std::size_t i) const { return (firstClass + double(i)) * width - 0.5; }
    double UpperBound(std::size_t i) const { return LowerBound(i) + width; }
    int MaxCount() const;
};
SHistogram CoverHistogram(const std::vector<double> &coversMm);

// A normal distribution fitted to the covers, or to their logarithms for the
// log-normal one: mean and sample standard deviation.
struct SCurveFit
{
    double mu = 0;
    double sigma = 0;
};
// None with fewer than two covers or covers all alike.
std::optional<SCurveFit> FitNormal(const std::vector<double> &coversMm);
// None also when a cover is 0 mm (or less): it has no logarithm.
std::optional<SCurveFit> FitLogNormal(const std::vector<double> &coversMm);

// The curves' heights at cover x in the histogram's counts: the density times
// the number of covers times the class width.
double NormalCurveCount(const SCurveFit &fit, double x, int count, double classWidth);
double LogNormalCurveCount(const SCurveFit &fit, double x, int count, double classWidth);   // 0 for x ≤ 0

// Draws the histogram into `area`: a note instead when there is no cover.
// Works on any device; sizes follow the look's font, from about 300 × 200
// pixels up.
void PaintCoverHistogram(QPainter &painter, const QRectF &area, const std::vector<double> &coversMm,
                         const SAssessmentSettings &settings, const SChartLook &look);

}   // namespace Render
