#include "render/graphgrid.h"

#include "res/textformat.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

QSize CFontMeasure::Size(const QString &text, bool rotated) const
{
    const QSize s = m_metrics.size(Qt::TextSingleLine, text);
    return rotated ? s.transposed() : s;
}

namespace {

constexpr int kLabelGap = 2;

QString label(const QString &format, double value)
{
    return Res::Format(format, {value});
}

// Every multiple of `step` from the first one at or above `min` up to `max`.
template <class F>
void forEachStep(double min, double max, double step, F &&f)
{
    if (step <= 0 || max < min)
        return;
    const double first = std::ceil(min / step - 1e-9) * step;
    for (int i = 0;; ++i) {
        const double v = first + i * step;
        if (v > max + step * 1e-6 || i > 100000)
            break;
        f(v);
    }
}

// `text` centred in `box`, turned to read upwards when `rotated`.
void drawCentred(QPainter &painter, const QRect &box, const QString &text, bool rotated)
{
    if (!rotated) {
        painter.drawText(box, Qt::AlignCenter, text);
        return;
    }
    painter.save();
    painter.translate(box.center());
    painter.rotate(-90);
    const QSize u = box.size().transposed();
    painter.drawText(QRect(-u.width() / 2, -u.height() / 2, u.width(), u.height()), Qt::AlignCenter, text);
    painter.restore();
}

}   // namespace

QString CGraphGrid::LabelFormat(int decimals)
{
    return QStringLiteral("%0.") + QString::number(std::max(0, decimals)) + QStringLiteral("lf");
}

double CGraphGrid::PreliminaryStep(double range, int *decimals)
{
    if (decimals)
        *decimals = 0;
    if (!(range > 0))
        return 0;
    // range = f × 10^e with 5 <= f < 50.
    int e = int(std::floor(std::log10(range / 5.0)));
    double f = range / std::pow(10.0, e);
    if (f >= 50) {
        ++e;
        f /= 10;
    } else if (f < 5) {
        --e;
        f *= 10;
    }
    if (e < -11 || e > 11)
        return 0;
    const double unit = std::pow(10.0, e);
    if (decimals)
        *decimals = e < 0 ? -e : 0;
    return f < 10.5 ? unit : f < 21 ? 2 * unit : 5 * unit;
}

double CGraphGrid::NiceStep(double min, double max, int pixels, bool xAxis,
                            const std::function<int(const QString &)> &labelSize, int *decimals)
{
    double step = 0;
    int places = 0;
    for (int c = 100;;) {
        const double d = (max - min) / (c < 2 ? 1 : c - 1);
        if (!(d > 0))
            return 0;
        const int k = int(std::floor(std::log10(d)));
        step = 0;
        for (int j = -11; j <= 11 && step == 0; ++j)
            for (double m : {1.0, 2.0, 5.0})
                if (m * std::pow(10.0, j) >= d * (1 - 1e-12)) {
                    step = m * std::pow(10.0, j);
                    break;
                }
        if (step == 0)
            return 0;
        places = k < 0 ? -k : 0;
        if (xAxis && k < 0) {
            const int stepExponent = int(std::floor(std::log10(step) + 1e-9));
            places = stepExponent < 0 ? -stepExponent : 0;
        }
        const int size = labelSize(label(LabelFormat(places), max));
        const int count = int((max - min) / step);
        if ((count + 1) * size > (xAxis ? 0.75 : 0.7) * pixels && count >= 2) {
            c = count;
            continue;
        }
        break;
    }
    if (decimals)
        *decimals = places;
    return step;
}

void CGraphGrid::RoundRange(double &min, double &max, double step, bool xAxis)
{
    if (!(step > 0))
        return;
    // A quotient like 1.2 / 0.1 = 11.999... must count as the whole 12.
    constexpr double kSlack = 1e-9;
    const double oldMin = min;
    double newMin = std::trunc(min / step + (min < 0 ? -kSlack : kSlack)) * step;
    if (!xAxis && oldMin < 0)
        newMin -= step;
    if (newMin == oldMin)
        newMin -= step;
    if (newMin < 0 && oldMin >= 0)
        newMin = 0;
    min = newMin;
    const double next = (std::trunc(max / step + kSlack) + 1) * step;
    if (xAxis) {
        const double ratio = max / step;
        const bool multiple = std::abs(ratio - std::round(ratio)) < 1e-9;
        if (!(multiple && max < 0.9 * next))
            max = next;
    } else {
        max = next;
    }
}

int CGraphGrid::tickLength(int style) const
{
    if (style & SChartConfig::MajorOut)
        return 5 * kPenWidth;
    if (style & SChartConfig::MinorOut)
        return 3 * kPenWidth;
    return 0;
}

int CGraphGrid::sideMargin(int style, bool xRange, bool vertical, const ITextMeasure &measure,
                           const QString &title) const
{
    int margin = 0;
    // Along a vertical side sizes count across it: widths of horizontal texts.
    // A rotated title takes its room even when it is empty.
    if (style & (SChartConfig::Title | SChartConfig::RotatedTitle)) {
        const QSize s = measure.Size(title, (style & SChartConfig::RotatedTitle) != 0);
        margin += vertical ? s.width() : s.height();
    }
    if (style & SChartConfig::Labels) {
        const bool rotated = style & SChartConfig::RotatedLabels;
        int largest = 0;
        const double min = xRange ? m_config.xMin : m_config.yMin;
        const double max = xRange ? m_config.xMax : m_config.yMax;
        const double step = xRange ? m_config.xStep : m_config.yStep;
        const QString &format = xRange ? m_config.xFormat : m_config.yFormat;
        forEachStep(min, max, step, [&](double v) {
            const QSize s = measure.Size(label(format, v), rotated);
            largest = std::max(largest, vertical ? s.width() : s.height());
        });
        margin += largest + kLabelGap;
    }
    return margin + tickLength(style);
}

void CGraphGrid::Layout(const SChartConfig &config, const ITextMeasure &measure)
{
    m_config = config;
    int left = sideMargin(config.left, false, true, measure, config.yTitle);
    int right = sideMargin(config.right, false, true, measure, config.yTitle);
    int top = sideMargin(config.top, true, false, measure, config.xTitle);
    int bottom = sideMargin(config.bottom, true, false, measure, config.xTitle);
    // Labels overhang the ends of their axis by half their size.
    const int yLabel = measure.Size(label(config.yFormat, config.yMax), false).height();
    const int xLabelMin = measure.Size(label(config.xFormat, config.xMin), false).width();
    const int xLabelMax = measure.Size(label(config.xFormat, config.xMax), false).width();
    if ((config.left | config.right) & SChartConfig::Labels) {
        top = std::max(top, yLabel / 2);
        bottom = std::max(bottom, yLabel / 2);
    }
    if ((config.top | config.bottom) & SChartConfig::Labels) {
        left = std::max(left, xLabelMin / 2);
        right = std::max(right, xLabelMax / 2);
    }
    const QRect &r = config.rect;
    m_plot = QRect(QPoint(r.left() + left, r.top() + top), QPoint(r.right() - right, r.bottom() - bottom));
}

void CGraphGrid::AutoScale(SChartConfig &config, const ITextMeasure &measure, bool roundX, bool roundY)
{
    // A first layout with steps from the ranges alone gives the axis lengths.
    SChartConfig preliminary = config;
    int decimals = 0;
    preliminary.xStep = PreliminaryStep(config.xMax - config.xMin, &decimals);
    preliminary.xMinorStep = preliminary.xStep / 2;
    preliminary.xFormat = LabelFormat(decimals);
    preliminary.yStep = PreliminaryStep(config.yMax - config.yMin, &decimals);
    preliminary.yMinorStep = preliminary.yStep / 2;
    preliminary.yFormat = LabelFormat(decimals);
    Layout(preliminary, measure);
    const int width = m_plot.width();
    const int height = m_plot.height();

    config.yStep = NiceStep(
        config.yMin, config.yMax, height, false, [&](const QString &t) { return measure.Size(t, false).height(); },
        &decimals);
    config.yFormat = LabelFormat(decimals);
    if (roundY)
        RoundRange(config.yMin, config.yMax, config.yStep, false);
    config.yMinorStep = config.yStep / 2;
    config.xStep = NiceStep(
        config.xMin, config.xMax, width, true, [&](const QString &t) { return measure.Size(t, false).width(); },
        &decimals);
    config.xFormat = LabelFormat(decimals);
    if (roundX)
        RoundRange(config.xMin, config.xMax, config.xStep, true);
    config.xMinorStep = config.xStep / 2;
    m_config = config;
}

int CGraphGrid::XToPixel(double value) const
{
    const double span = m_config.xMax - m_config.xMin;
    if (span == 0)
        return m_plot.left();
    return int(m_plot.left() + (m_plot.right() - m_plot.left() + 0.1) / span * (value - m_config.xMin) + 0.5);
}

int CGraphGrid::YToPixel(double value) const
{
    const double span = m_config.yMax - m_config.yMin;
    if (span == 0)
        return m_plot.bottom();
    return int(m_plot.bottom() - (m_plot.bottom() - m_plot.top() + 0.1) / span * (value - m_config.yMin) + 0.5);
}

void CGraphGrid::Draw(QPainter &painter) const
{
    painter.save();
    const QPen textPen = painter.pen();
    const QPen axisPen(Qt::black, kPenWidth);
    const QPen gridPen(kGridColour, kPenWidth);
    const QRect &p = m_plot;
    if (m_config.horizontalGrid) {
        painter.setPen(gridPen);
        forEachStep(m_config.yMin, m_config.yMax, m_config.yStep,
                    [&](double v) { painter.drawLine(p.left(), YToPixel(v), p.right(), YToPixel(v)); });
    }
    if (m_config.verticalGrid) {
        painter.setPen(gridPen);
        forEachStep(m_config.xMin, m_config.xMax, m_config.xStep,
                    [&](double v) { painter.drawLine(XToPixel(v), p.top(), XToPixel(v), p.bottom()); });
    }
    const QFont horizontal = painter.font();
    struct Side
    {
        int style;
        bool vertical;
        bool outerIsLow;
    };
    const Side sides[] = {{m_config.left, true, true},
                          {m_config.right, true, false},
                          {m_config.top, false, true},
                          {m_config.bottom, false, false}};
    for (const Side &side : sides) {
        const int style = side.style;
        if (style == 0)
            continue;
        const bool xRange = !side.vertical;
        const double min = xRange ? m_config.xMin : m_config.yMin;
        const double max = xRange ? m_config.xMax : m_config.yMax;
        const double step = xRange ? m_config.xStep : m_config.yStep;
        const double minor = xRange ? m_config.xMinorStep : m_config.yMinorStep;
        const QString &format = xRange ? m_config.xFormat : m_config.yFormat;
        // The side's line and the direction away from the plot.
        const int line = side.vertical ? (side.outerIsLow ? p.left() : p.right())
                                       : (side.outerIsLow ? p.top() : p.bottom());
        const int out = side.outerIsLow ? -1 : 1;
        auto at = [&](double v) { return xRange ? XToPixel(v) : YToPixel(v); };
        auto tick = [&](double v, int inward, int outward) {
            const int pos = at(v);
            if (side.vertical)
                painter.drawLine(line - out * inward, pos, line + out * outward, pos);
            else
                painter.drawLine(pos, line - out * inward, pos, line + out * outward);
        };
        if (style & (SChartConfig::Axis | SChartConfig::AxisWithGridPen)) {
            painter.setPen(style & SChartConfig::AxisWithGridPen ? gridPen : axisPen);
            if (side.vertical)
                painter.drawLine(line, p.top(), line, p.bottom());
            else
                painter.drawLine(p.left(), line, p.right(), line);
        }
        painter.setPen(axisPen);
        const int majorIn = style & SChartConfig::MajorIn ? 5 * kPenWidth : 0;
        const int majorOut = style & SChartConfig::MajorOut ? 5 * kPenWidth : 0;
        if (majorIn || majorOut)
            forEachStep(min, max, step, [&](double v) { tick(v, majorIn, majorOut); });
        const int minorIn = style & SChartConfig::MinorIn ? 3 * kPenWidth : 0;
        const int minorOut = style & SChartConfig::MinorOut ? 3 * kPenWidth : 0;
        if (minorIn || minorOut)
            forEachStep(min, max, minor, [&](double v) { tick(v, minorIn, minorOut); });
        // A little air between the ticks (and the mean mark over them) and the labels.
        const int labelAt = line + out * (tickLength(style) + (style & SChartConfig::Labels ? kLabelGap : 0));
        int labelDepth = 0;
        painter.setPen(textPen);
        if (style & SChartConfig::Labels) {
            const bool rotated = style & SChartConfig::RotatedLabels;
            const CFontMeasure measure(horizontal);
            forEachStep(min, max, step, [&](double v) {
                const QString text = label(format, v);
                const QSize s = measure.Size(text, rotated);
                labelDepth = std::max(labelDepth, side.vertical ? s.width() : s.height());
                const int pos = at(v);
                QRect box = side.vertical ? QRect(0, pos - s.height() / 2, s.width(), s.height())
                                          : QRect(pos - s.width() / 2, 0, s.width(), s.height());
                if (side.vertical)
                    box.moveLeft(side.outerIsLow ? labelAt - s.width() : labelAt);
                else
                    box.moveTop(side.outerIsLow ? labelAt - s.height() : labelAt);
                drawCentred(painter, box, text, rotated);
            });
        }
        if ((style & (SChartConfig::Title | SChartConfig::RotatedTitle))
            && !(xRange ? m_config.xTitle : m_config.yTitle).isEmpty()) {
            const QString &title = xRange ? m_config.xTitle : m_config.yTitle;
            const bool rotated = style & SChartConfig::RotatedTitle;
            const QSize s = CFontMeasure(horizontal).Size(title, rotated);
            const int depth = side.vertical ? s.width() : s.height();
            const int beyond = labelAt + out * labelDepth + (side.outerIsLow ? -depth : 0);
            QRect box = side.vertical ? QRect(beyond, p.center().y() - s.height() / 2, s.width(), s.height())
                                      : QRect(p.center().x() - s.width() / 2, beyond, s.width(), s.height());
            drawCentred(painter, box, title, rotated);
        }
    }
    painter.restore();
}
