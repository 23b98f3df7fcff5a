#include "render/assessmentchart.h"

#include "res/resources.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace Render {
namespace {

const double kSqrtTwoPi = std::sqrt(2 * M_PI);

// 1, 2, 5, 10, 20, 50, … : the first that is at least `minimum`.
double niceStep(double minimum)
{
    double decade = 1;
    while (decade * 10 <= minimum)
        decade *= 10;
    for (;;) {
        for (double f : {1.0, 2.0, 5.0})
            if (f * decade >= minimum)
                return f * decade;
        decade *= 10;
    }
}

QString mmText(double mm)
{
    if (mm == 0)
        mm = 0;   // no "-0" at the axis' start
    return Res::Format(u"%0.*f", {std::floor(mm) == mm ? 0 : 1, mm});
}

struct SLegendItem
{
    QString text;
    QColor colour;
};

}   // namespace

double HistogramClassWidth(double min, double max)
{
    return max - min <= 40 ? 1.0 : 5.0;
}

int SHistogram::MaxCount() const
{
    return counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
}

SHistogram CoverHistogram(const std::vector<double> &covers)
{
    SHistogram h;
    if (covers.empty())
        return h;
    const auto [lo, hi] = std::minmax_element(covers.begin(), covers.end());
    h.width = HistogramClassWidth(*lo, *hi);
    auto classOf = [&](double v) { return int(std::floor((v + 0.5) / h.width)); };
    h.firstClass = classOf(*lo);
    h.counts.assign(std::size_t(classOf(*hi) - h.firstClass + 1), 0);
    for (double v : covers)
        ++h.counts[std::size_t(classOf(v) - h.firstClass)];
    return h;
}

std::optional<SCurveFit> FitNormal(const std::vector<double> &covers)
{
    if (covers.size() < 2)
        return std::nullopt;
    double sum = 0;
    for (double v : covers)
        sum += v;
    const double mean = sum / double(covers.size());
    double squares = 0;
    for (double v : covers)
        squares += (v - mean) * (v - mean);
    const double sd = std::sqrt(squares / double(covers.size() - 1));
    // Covers all alike have no curve, only a spike.
    if (!(sd > 1e-12) || !std::isfinite(sd))
        return std::nullopt;
    return SCurveFit{mean, sd};
}

std::optional<SCurveFit> FitLogNormal(const std::vector<double> &covers)
{
    std::vector<double> logs;
    logs.reserve(covers.size());
    for (double v : covers) {
        if (!(v > 0))
            return std::nullopt;
        logs.push_back(std::log(v));
    }
    return FitNormal(logs);
}

double NormalCurveCount(const SCurveFit &fit, double x, int count, double classWidth)
{
    const double z = (x - fit.mu) / fit.sigma;
    return count * classWidth * std::exp(-0.5 * z * z) / (fit.sigma * kSqrtTwoPi);
}

double LogNormalCurveCount(const SCurveFit &fit, double x, int count, double classWidth)
{
    if (!(x > 0))
        return 0;
    const double z = (std::log(x) - fit.mu) / fit.sigma;
    return count * classWidth * std::exp(-0.5 * z * z) / (x * fit.sigma * kSqrtTwoPi);
}

void PaintCoverHistogram(QPainter &p, const QRectF &area, const std::vector<double> &covers,
                         const SAssessmentSettings &settings, const SChartLook &look)
{
    p.save();
    if (look.background.alpha() > 0)
        p.fillRect(area, look.background);
    p.setFont(look.font);
    // Measured on the device, so that a point-sized font fits on a printer too.
    const QFontMetricsF fm(look.font, p.device());
    const double lh = fm.height();
    const double pad = 0.4 * lh;
    const double unit = std::max(1.0, lh / 14);   // line widths grow with the text
    if (covers.empty()) {
        p.setPen(look.textColour);
        p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, Res::LoadString(Res::IDS_CHART_NO_COVER));
        p.restore();
        return;
    }

    const SHistogram hist = CoverHistogram(covers);
    const int n = int(covers.size());
    const double w = hist.width;
    const std::optional<SCurveFit> normal = FitNormal(covers);
    const std::optional<SCurveFit> logNormal = FitLogNormal(covers);
    const std::optional<double> limit = settings.requiredCover;

    // The count axis reaches the highest bar; a curve may rise above it, but
    // a narrow one only up to twice the bars, so that they keep their size.
    const int maxCount = hist.MaxCount();
    double peak = maxCount;
    if (normal)
        peak = std::max(peak, std::min(2.0 * maxCount, NormalCurveCount(*normal, normal->mu, n, w)));
    if (logNormal) {
        const double mode = std::exp(logNormal->mu - logNormal->sigma * logNormal->sigma);
        peak = std::max(peak, std::min(2.0 * maxCount, LogNormalCurveCount(*logNormal, mode, n, w)));
    }

    // The cover axis: the classes with one free class each side, and the limit.
    double lo = hist.LowerBound(0);
    double hi = hist.UpperBound(hist.counts.size() - 1);
    lo = std::max(lo - w, std::min(lo, -0.5));
    hi += w;
    if (limit) {
        lo = std::min(lo, *limit - w);
        hi = std::max(hi, *limit + w);
    }

    std::vector<SLegendItem> legend;
    if (normal)
        legend.push_back({Res::LoadString(Res::IDS_CHART_NORMAL), look.normalColour});
    if (logNormal)
        legend.push_back({Res::LoadString(Res::IDS_CHART_LOGNORMAL), look.logNormalColour});

    const double tick = 0.6 * pad;
    const double countLabelWidth = fm.horizontalAdvance(QString::number(int(std::ceil(2.2 * peak)) + 10));
    const double left = area.left() + lh + pad + countLabelWidth + pad + tick;
    const double coverLabelWidth = std::max(fm.horizontalAdvance(QString::number(int(std::floor(lo)))),
                                            fm.horizontalAdvance(QString::number(int(std::ceil(hi)))));
    const double right = area.right() - std::max(pad, coverLabelWidth / 2 + 2);

    // The legend flows in rows over the plot, each right-aligned.
    const double swatch = 1.6 * lh;
    std::vector<std::vector<std::size_t>> rows;
    {
        double used = 0;
        for (std::size_t i = 0; i < legend.size(); ++i) {
            const double width = swatch + pad + fm.horizontalAdvance(legend[i].text);
            if (rows.empty() || (used > 0 && used + lh + width > right - left)) {
                rows.emplace_back();
                used = 0;
            }
            used += (used > 0 ? lh : 0) + width;
            rows.back().push_back(i);
        }
    }
    double top = area.top() + pad + double(rows.size()) * lh;
    if (limit)
        top += lh + pad;   // the limit's label stands above the plot
    else
        top += pad;
    const double bottom = area.bottom() - tick - lh - lh - pad;
    const QRectF plot(QPointF(left, top), QPointF(right, bottom));
    if (plot.width() < 2 || plot.height() < 2) {
        p.restore();
        return;
    }

    double countStep = 1;
    double yMax = 1;
    for (countStep = 1;; countStep = niceStep(countStep * 1.5)) {
        yMax = std::max(countStep, std::ceil(peak * 1.05 / countStep) * countStep);
        if (countStep * plot.height() / yMax >= 1.6 * lh || countStep >= yMax)
            break;
    }
    const double pxPerMm = plot.width() / (hi - lo);
    const double coverStep = std::max(w, niceStep((coverLabelWidth + lh) / pxPerMm));
    auto X = [&](double mm) { return plot.left() + (mm - lo) * pxPerMm; };
    auto Y = [&](double count) { return plot.bottom() - count / yMax * plot.height(); };

    // Grid and count axis labels.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (double c = 0; c <= yMax + 1e-9; c += countStep) {
        const double y = Y(c);
        if (c > 0) {
            p.setPen(QPen(look.gridColour, unit));
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }
        p.setPen(QPen(look.axisColour, unit));
        p.drawLine(QPointF(plot.left() - tick, y), QPointF(plot.left(), y));
        p.setPen(look.textColour);
        p.drawText(QRectF(area.left(), y - lh / 2, plot.left() - tick - pad / 2 - area.left(), lh),
                   Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, QString::number(int(c)));
    }

    // Bars.
    for (std::size_t i = 0; i < hist.counts.size(); ++i) {
        if (hist.counts[i] == 0)
            continue;
        const bool below = limit && hist.UpperBound(i) <= *limit;
        const QColor colour = below ? look.belowBarColour : look.barColour;
        const QRectF bar(QPointF(X(hist.LowerBound(i)), Y(hist.counts[i])),
                         QPointF(X(hist.UpperBound(i)), plot.bottom()));
        p.fillRect(bar, colour);
        p.setPen(QPen(colour.darker(135), unit * 0.75));
        p.setBrush(Qt::NoBrush);
        p.drawRect(bar);
    }

    // Curves, cut at the plot's edges.
    p.save();
    p.setClipRect(plot, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int samples = std::clamp(int(plot.width() / 2), 60, 600);
    auto curve = [&](auto height, const QColor &colour) {
        QPainterPath path;
        for (int s = 0; s <= samples; ++s) {
            const double mm = lo + (hi - lo) * s / samples;
            const QPointF point(X(mm), std::max(Y(height(mm)), plot.top() - lh));
            if (s == 0)
                path.moveTo(point);
            else
                path.lineTo(point);
        }
        p.setPen(QPen(colour, 2 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    };
    if (normal)
        curve([&](double mm) { return NormalCurveCount(*normal, mm, n, w); }, look.normalColour);
    if (logNormal)
        curve([&](double mm) { return LogNormalCurveCount(*logNormal, mm, n, w); }, look.logNormalColour);
    p.restore();

    // Axes, cover ticks and the axis titles.
    p.setPen(QPen(look.axisColour, unit));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    for (double mm = std::ceil(lo / coverStep) * coverStep; mm <= hi + 1e-9; mm += coverStep) {
        const double x = X(mm);
        p.setPen(QPen(look.axisColour, unit));
        p.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tick));
        p.setPen(look.textColour);
        p.drawText(QRectF(x - coverLabelWidth, plot.bottom() + tick, 2 * coverLabelWidth, lh),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, mmText(mm));
    }
    p.setPen(look.textColour);
    p.drawText(QRectF(plot.left(), plot.bottom() + tick + lh, plot.width(), lh + pad),
               Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, Res::LoadString(Res::IDS_CHART_AXIS_COVER));
    p.save();
    p.translate(area.left(), plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, 0, plot.height(), lh), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
               Res::LoadString(Res::IDS_CHART_AXIS_COUNT));
    p.restore();

    // Legend.
    double y = area.top() + pad / 2;
    for (const std::vector<std::size_t> &row : rows) {
        double width = 0;
        for (std::size_t i : row)
            width += (width > 0 ? lh : 0) + swatch + pad + fm.horizontalAdvance(legend[i].text);
        double x = plot.right() - width;
        for (std::size_t i : row) {
            p.save();
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(QPen(legend[i].colour, 2 * unit, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(x, y + lh / 2), QPointF(x + swatch, y + lh / 2));
            p.restore();
            x += swatch + pad;
            const double textWidth = fm.horizontalAdvance(legend[i].text);
            p.setPen(look.textColour);
            p.drawText(QRectF(x, y, textWidth + 1, lh), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       legend[i].text);
            x += textWidth + lh;
        }
        y += lh;
    }

    // The limit over everything, so that it shows where the bars cross it.
    if (limit) {
        const double x = X(*limit);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(look.limitColour, 2 * unit, Qt::DashLine));
        p.drawLine(QPointF(x, plot.top() - pad / 2), QPointF(x, plot.bottom()));
        const QString label = Res::FormatString(Res::IDS_CHART_REQUIRED, {mmText(*limit)});
        const double labelWidth = fm.horizontalAdvance(label) + 1;
        double labelLeft = x + pad / 2;
        if (labelLeft + labelWidth > area.right())
            labelLeft = x - pad / 2 - labelWidth;
        p.setPen(look.limitColour);
        p.drawText(QRectF(labelLeft, plot.top() - pad / 2 - lh, labelWidth, lh),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label);
    }
    p.restore();
}

}   // namespace Render
