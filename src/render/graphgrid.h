#pragma once
// CGraphGrid: chart axes. Chooses round steps (1, 2 or 5 times a power of
// ten), lays the plot rectangle out inside an outer rectangle from titles,
// labels and ticks, draws grid lines, axes, ticks, labels and titles, and
// maps values to pixels.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QRect>
#include <QString>

#include <functional>

class QPainter;

// How big a text is drawn: `rotated` turns it by 90 degrees.
class ITextMeasure
{
public:
    virtual ~ITextMeasure() = default;
    virtual QSize Size(const QString &text, bool rotated) const = 0;
};

// Text sizes in a font.
class CFontMeasure : public ITextMeasure
{
public:
    explicit CFontMeasure(const QFont &font) : m_metrics(font) {}
    QSize Size(const QString &text, bool rotated) const override;

private:
    QFontMetrics m_metrics;
};

struct SChartConfig
{
    enum SideStyle : int {
        Axis = 0x01,
        MajorIn = 0x02,
        MajorOut = 0x04,
        MinorIn = 0x08,
        MinorOut = 0x10,
        Labels = 0x20,
        RotatedLabels = 0x40,
        Title = 0x80,
        RotatedTitle = 0x100,
        AxisWithGridPen = 0x400,
    };

    QRect rect;
    double xMin = 0, xMax = 0, xStep = 0, xMinorStep = 0;
    QString xFormat = QStringLiteral("%0.0lf");
    QString xTitle;
    double yMin = 0, yMax = 0, yStep = 0, yMinorStep = 0;
    QString yFormat = QStringLiteral("%0.0lf");
    QString yTitle;
    int top = 31, bottom = 191, left = 319, right = 31;
    bool horizontalGrid = true, verticalGrid = true;
};

class CGraphGrid
{
public:
    static constexpr int kPenWidth = 1;
    static inline const QColor kGridColour{168, 168, 168};

    // The step an axis gets from its range alone (about 4 to 10 steps); 0
    // when the range is empty or out of scale. `decimals` gets the labels'.
    static double PreliminaryStep(double range, int *decimals = nullptr);
    // A round step for [min, max] on an axis of `pixels` whose labels are
    // `labelSize(text)` long along it; `decimals` gets the labels'.
    static double NiceStep(double min, double max, int pixels, bool xAxis,
                           const std::function<int(const QString &)> &labelSize, int *decimals = nullptr);
    // Rounds [min, max] outwards to whole steps, as the axes show them.
    static void RoundRange(double &min, double &max, double step, bool xAxis);
    // "%0.0lf" with `decimals` after the point.
    static QString LabelFormat(int decimals);

    // Chooses the steps (and rounds the ranges when asked) for the
    // configuration's rectangle; the configuration is updated.
    void AutoScale(SChartConfig &config, const ITextMeasure &measure, bool roundX, bool roundY);
    void Layout(const SChartConfig &config, const ITextMeasure &measure);
    // Draws in the painter's current font (labels) and pen colour.
    void Draw(QPainter &painter) const;

    QRect PlotRect() const { return m_plot; }
    int XToPixel(double value) const;
    int YToPixel(double value) const;

private:
    int tickLength(int style) const;
    int sideMargin(int style, bool xRange, bool vertical, const ITextMeasure &measure, const QString &title) const;

    SChartConfig m_config;
    QRect m_plot;
};
