#include "render/detailcell.h"

#include "data/statistics.h"
#include "data/units.h"
#include "render/graphgrid.h"
#include "render/tablecells.h"
#include "res/resources.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

namespace Render {
namespace {

constexpr int m = kSectionMargin;

QString text(int id)
{
    return Res::LoadString(id);
}

// The four fonts of the drawing and their metrics, made once per font.
struct SFonts
{
    QFont normal, underlined, bold, boldUnderlined;
    QFontMetrics normalMetrics, underlinedMetrics, boldMetrics, boldUnderlinedMetrics;

    static QFont with(QFont f, bool isBold, bool underline)
    {
        if (isBold)
            f.setWeight(QFont::ExtraBold);
        f.setUnderline(underline);
        return f;
    }
    explicit SFonts(const QFont &base)
        : normal(base), underlined(with(base, false, true)), bold(with(base, true, false)),
          boldUnderlined(with(base, true, true)), normalMetrics(normal), underlinedMetrics(underlined),
          boldMetrics(bold), boldUnderlinedMetrics(boldUnderlined)
    {
    }
    const QFontMetrics &metricsOf(const QFont &f) const
    {
        if (&f == &underlined)
            return underlinedMetrics;
        if (&f == &bold)
            return boldMetrics;
        if (&f == &boldUnderlined)
            return boldUnderlinedMetrics;
        return normalMetrics;
    }
};

// The fonts of the last base font asked for: drawing and measuring a table
// of objects uses one font over and over.
const SFonts &fontsFor(const QFont &base)
{
    thread_local std::unique_ptr<SFonts> cached;
    if (!cached || cached->normal != base)
        cached = std::make_unique<SFonts>(base);
    return *cached;
}

// The texts of the measurement list, made once per drawing: the layouts
// measure the list several times.
struct SListTexts
{
    QStringList lines;
    std::vector<int> widths;
};

// Laid-out texts of the bars: values, diameters and numbers repeat from bar
// to bar and from drawing to drawing, so each is shaped once per font.
class CStaticTexts
{
public:
    const QStaticText &get(const QFont &font, const QString &text)
    {
        if (font != m_font) {
            m_font = font;
            m_texts.clear();
        }
        auto it = m_texts.find(text);
        if (it == m_texts.end()) {
            if (m_texts.size() > 4096)
                m_texts.clear();
            QStaticText laid(text);
            laid.setTextFormat(Qt::PlainText);
            laid.prepare(QTransform(), font);
            it = m_texts.insert(text, laid);
        }
        return *it;
    }

private:
    QFont m_font;
    QHash<QString, QStaticText> m_texts;
};

// One drawing or measuring pass.
struct SPass
{
    QPainter *painter;   // null: measure only
    const object_t &object;
    const SDetailOptions &options;
    SDetailAreas *areas;
    const SFonts &fonts;
    const QFont &normal = fonts.normal;
    const QFont &underlined = fonts.underlined;
    const QFont &bold = fonts.bold;
    const QFont &boldUnderlined = fonts.boldUnderlined;
    const QFontMetrics &normalMetrics = fonts.normalMetrics;
    const QFontMetrics &boldMetrics = fonts.boldMetrics;

    const SListTexts &list;

    SPass(QPainter *p, const object_t &o, const SDetailOptions &opt, SDetailAreas *a, const SFonts &f,
          const SListTexts &l)
        : painter(p), object(o), options(opt), areas(a), fonts(f), list(l)
    {
    }

    bool drawing() const { return painter != nullptr; }
    int lineHeight() const { return normalMetrics.size(Qt::TextSingleLine, QStringLiteral("0")).height(); }
    int titleHeight() const { return boldMetrics.size(Qt::TextSingleLine, QStringLiteral("0")).height(); }
    int firstLine(int top) const { return top + int(1.2 * titleHeight()); }

    const QFontMetrics &metrics(const QFont &font) const { return fonts.metricsOf(font); }
    // Text with its top-left corner at (x, y).
    void put(const QFont &font, const QColor &colour, int x, int y, const QString &s) const
    {
        if (!painter)
            return;
        painter->setFont(font);
        painter->setPen(colour);
        painter->drawText(QPointF(x, y + metrics(font).ascent()), s);
    }
    int width(const QFont &font, const QString &s) const { return metrics(font).horizontalAdvance(s); }
    void clickable(const QFont &font, int x, int y, const QString &s, int id) const
    {
        if (painter && areas)
            areas->clickable.AddForText(metrics(font), x, y, s, 0, 0, id);
    }
};

QString statisticValue(std::uint8_t regional, double value, int kind)
{
    if (value == kNoValue)
        return Res::Format(u"-- %s", {GetUnitText(regional)});
    return Res::Format(u"%0.*f %s", {GetDecimals(regional, kind), value, GetUnitText(regional)});
}

QString statistic(std::uint8_t regional, double value, int kind)
{
    return QStringLiteral("=  ") + statisticValue(regional, value, kind);
}

std::array<QString, 8> settingsValues(const object_t &o)
{
    return {GetRegionalText(o.regional),
            GetStorageModeText(o.storageMode),
            FormatBarDiameter(o.regional, o.rawDefaultBarDiameter),
            FormatNeighborCorrection(o.regional, o.neighborCorrection),
            o.deviceName,
            o.serialNumber,
            o.softwareVersion,
            o.hardwareIndex};
}

std::array<QString, 8> settingsLabels()
{
    return {text(Res::IDS_DETAIL_REGIONAL), text(Res::IDS_DETAIL_STORAGE),     text(Res::IDS_DETAIL_DEFAULT_DIAMETER),
            text(Res::IDS_DETAIL_NEIGHBOR), text(Res::IDS_DETAIL_DEVICE_NAME), text(Res::IDS_DETAIL_SERIAL),
            text(Res::IDS_DETAIL_SOFTWARE), text(Res::IDS_DETAIL_HARDWARE)};
}

QSize drawList(const SPass &pass, int x, int y, int limit)
{
    const object_t &o = pass.object;
    const QString title = text(Res::IDS_DETAIL_LIST_TITLE);
    pass.put(pass.bold, pass.options.textColour, x + m, y + m, title);
    const int top = pass.firstLine(y + m);
    const int lh = pass.lineHeight();
    int columnX = x + m, lineY = top, widest = 0, bottom = top;
    (void)o;
    for (qsizetype i = 0; i < pass.list.lines.size(); ++i) {
        if (lineY != top && lineY + lh + m > y + limit) {
            columnX += widest + 20;
            widest = 0;
            lineY = top;
        }
        pass.put(pass.normal, pass.options.textColour, columnX, lineY, pass.list.lines[i]);
        widest = std::max(widest, pass.list.widths[std::size_t(i)]);
        lineY += lh;
        bottom = std::max(bottom, lineY);
    }
    const int w = std::max(columnX + widest + m - x, pass.width(pass.bold, title) + 2 * m);
    return {w, bottom + m - y};
}

QSize drawStatistics(const SPass &pass, int x, int y)
{
    const object_t &o = pass.object;
    const SStatistics s = GetStatistics(o);
    pass.put(pass.bold, pass.options.textColour, x + m, y + m, text(Res::IDS_DETAIL_STATISTICS));
    const QString labels[] = {text(Res::IDS_DETAIL_MEASUREMENTS), text(Res::IDS_DETAIL_MEAN),
                              text(Res::IDS_DETAIL_STDDEV), text(Res::IDS_DETAIL_MIN), text(Res::IDS_DETAIL_MAX)};
    const QString symbols[] = {QStringLiteral("N"), QStringLiteral("f"), QStringLiteral("s"), QStringLiteral("min"),
                               QStringLiteral("max")};
    const QString values[] = {Res::Format(u"=  %d", {int(s.count)}), statistic(o.regional, s.mean, Kind_MeanCover),
                              statistic(o.regional, s.stdDev, Kind_StdDev),
                              statistic(o.regional, s.min, Kind_CoverValue),
                              statistic(o.regional, s.max, Kind_CoverValue)};
    int widestLabel = 0, widestSymbol = 0, widestValue = 0;
    for (int i = 0; i < 5; ++i) {
        widestLabel = std::max(widestLabel, pass.width(pass.normal, labels[i]));
        widestSymbol = std::max(widestSymbol, pass.width(pass.normal, symbols[i]));
        widestValue = std::max(widestValue, pass.width(pass.normal, values[i]));
    }
    const int symbolX = x + m + int(1.1 * widestLabel);
    const int valueX = symbolX + int(1.15 * widestSymbol);
    int lineY = pass.firstLine(y + m);
    for (int i = 0; i < 5; ++i) {
        pass.put(pass.normal, pass.options.textColour, x + m, lineY, labels[i]);
        pass.put(pass.normal, pass.options.textColour, symbolX, lineY, symbols[i]);
        pass.put(pass.normal, pass.options.textColour, valueX, lineY, values[i]);
        lineY += pass.lineHeight();
    }
    const int w = std::max(valueX + widestValue, x + m + pass.width(pass.bold, text(Res::IDS_DETAIL_STATISTICS)));
    return {w + m - x, lineY + m - y};
}

QSize drawSettings(const SPass &pass, int x, int y)
{
    const object_t &o = pass.object;
    pass.put(pass.bold, pass.options.textColour, x + m, y + m, text(Res::IDS_DETAIL_SETTINGS));
    const std::array<QString, 8> labels = settingsLabels();
    const std::array<QString, 8> values = settingsValues(o);
    int widestLabel = 0, widestValue = 0;
    for (int i = 0; i < 8; ++i) {
        widestLabel = std::max(widestLabel, pass.width(pass.normal, labels[i]));
        widestValue = std::max(widestValue, pass.width(pass.normal, values[i]));
    }
    const int valueX = x + m + int(1.4 * widestLabel);
    int lineY = pass.firstLine(y + m);
    for (int i = 0; i < 8; ++i) {
        pass.put(pass.normal, pass.options.textColour, x + m, lineY, labels[i]);
        if (i == 0) {
            const QFont &font = pass.options.hoverId == Area_Regional ? pass.underlined : pass.normal;
            pass.put(font, kLinkColour, valueX, lineY, values[i]);
            pass.clickable(font, valueX, lineY, values[i], Area_Regional);
        } else {
            pass.put(pass.normal, pass.options.textColour, valueX, lineY, values[i]);
        }
        lineY += pass.lineHeight();
    }
    const int w = std::max(valueX + widestValue, x + m + pass.width(pass.bold, text(Res::IDS_DETAIL_SETTINGS)));
    return {w + m - x, lineY + m - y};
}

QSize drawComment(const SPass &pass, int x, int y, int width)
{
    pass.put(pass.bold, pass.options.textColour, x + m, y + m, text(Res::IDS_DETAIL_COMMENT));
    const QString comment = pass.object.comment.isEmpty() ? text(Res::IDS_DETAIL_ADD_COMMENT) : pass.object.comment;
    const QFont &font = pass.options.hoverId == Area_Comment ? pass.underlined : pass.normal;
    const QFontMetrics &metrics = pass.metrics(font);
    int lineY = pass.firstLine(y + m);
    const QStringList lines = CommentLines(comment, metrics, width - 2 * m);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            lineY += pass.lineHeight();
        if (lines[i].isEmpty())
            continue;
        pass.put(font, kLinkColour, x + m, lineY, lines[i]);
        pass.clickable(font, x + m, lineY, lines[i], Area_Comment);
    }
    const int lineOfA = pass.normalMetrics.size(Qt::TextSingleLine, QStringLiteral("A")).height();
    return {width, lineY + lineOfA + m - y};
}

// A font made smaller one unit at a time until `fits` holds (or nothing is left).
template <class Fits>
QFont fitted(const QFont &start, Fits &&fits)
{
    QFont f = start;
    int size = QFontInfo(start).pixelSize();
    f.setPixelSize(std::max(1, size));
    while (size > 1 && !fits(QFontMetrics(f))) {
        --size;
        f.setPixelSize(size);
    }
    return f;
}

QSize drawDiagram(const SPass &pass, int x, int y, int width, int height)
{
    const object_t &o = pass.object;
    const int n = int(o.measurements.size());
    const bool ordered = o.diagramOrder == 1;   // never set (-1) counts as measurement order
    const QColor &ink = pass.options.textColour;
    const QString title = text(Res::IDS_DIAGRAM_TITLE) + u' ';
    QString ordering = text(ordered ? Res::IDS_DIAGRAM_BY_VALUE : Res::IDS_DIAGRAM_BY_MEASUREMENT);
    const int titleWidth = pass.width(pass.bold, title);
    // In a narrow cell the link gives way (with "…") rather than push the
    // sections beside the diagram out of the cell.
    const int room = width - 2 * m - titleWidth;
    if (room > 0 && pass.width(pass.bold, ordering) > room)
        ordering = pass.metrics(pass.bold).elidedText(ordering, Qt::ElideRight, room);
    pass.put(pass.bold, ink, x + m, y + m, title);
    if (pass.drawing() && n > 1) {
        const QFont &font = pass.options.hoverId == Area_Ordering ? pass.boldUnderlined : pass.bold;
        pass.put(font, kLinkColour, x + m + titleWidth, y + m, ordering);
        pass.clickable(font, x + m + titleWidth, y + m, ordering, Area_Ordering);
    }
    const SBarGeometry bars = BarGeometry(n, width);
    const SStatistics stats = GetStatistics(o);
    double maximum = stats.max;
    if (maximum == kNoValue)
        maximum = 8.0;
    else if (maximum < 0.01)
        maximum = 1.0;
    // The limit in the object's unit; the scale reaches it, so the line shows.
    std::optional<double> limit;
    if (const auto &required = pass.options.requiredCover) {
        limit = o.regional == Regional_AstmInch ? *required / kMmPerInch : *required;
        if (stats.max == kNoValue)
            maximum = *limit;
        else
            maximum = std::max(maximum, *limit);
    }
    const int fiveHeight = pass.normalMetrics.size(Qt::TextSingleLine, QStringLiteral("5")).height();
    const int bottom = y + height - m - fiveHeight;
    const CFontMeasure measure(pass.normal);

    // The plot's left margin, from a small chart of the same scale. It
    // depends only on the font, the height and the scale, which repeat from
    // object to object: measuring a table asks for it thousands of times.
    SChartConfig probe;
    probe.rect = QRect(QPoint(0, 0), QPoint(100, height - 2 * m - fiveHeight));
    probe.xMin = 0;
    probe.xMax = 10;
    probe.yMin = 0;
    probe.yMax = 1.2 * maximum;
    probe.top = probe.bottom = probe.right = 0;
    probe.left = SChartConfig::Axis | SChartConfig::MinorOut | SChartConfig::Labels | SChartConfig::RotatedTitle;
    probe.horizontalGrid = probe.verticalGrid = false;
    CGraphGrid grid;
    thread_local QHash<QString, int> margins;
    const QString marginKey = pass.normal.key() + u'|' + QString::number(height) + u'|'
                              + QString::number(probe.yMax, 'g', 17);
    auto cachedMargin = margins.constFind(marginKey);
    if (cachedMargin == margins.constEnd()) {
        grid.AutoScale(probe, measure, true, true);
        grid.Layout(probe, measure);
        if (margins.size() > 4096)
            margins.clear();
        cachedMargin = margins.insert(marginKey, grid.PlotRect().left() - probe.rect.left());
    }
    const int plotLeftMargin = *cachedMargin;
    const int used = std::max(plotLeftMargin + 2 * m + 4 + bars.block,
                              titleWidth + pass.width(pass.bold, ordering) + 2 * m);
    if (!pass.drawing())
        return {used, height};

    SChartConfig chart = probe;
    chart.rect = QRect(QPoint(x + m, y + 2 * m + int(1.2 * pass.titleHeight())),
                       QPoint(x + m + plotLeftMargin + bars.block, bottom));
    chart.xMin = -0.5;
    chart.xMax = n + 0.5;
    chart.yMin = 0;
    chart.yMax = 1.2 * maximum;
    grid.AutoScale(chart, measure, true, true);
    grid.Layout(chart, measure);
    QPainter &p = *pass.painter;
    p.setFont(pass.normal);
    p.setPen(ink);
    grid.Draw(p);
    const QRect plot = grid.PlotRect();
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(plot.left(), plot.bottom(), plot.left() + 4 + bars.block, plot.bottom());
    if (stats.mean != kNoValue) {
        const int meanY = std::clamp(grid.YToPixel(stats.mean), plot.top(), plot.bottom());
        p.drawLine(plot.left() - 2, meanY, plot.left() + 4, meanY);
    } else {
        p.drawLine(plot.left() - 2, plot.bottom(), plot.left() + 4, plot.bottom());
    }

    // Fonts fitted once per drawing to the bar width.
    const QString probeText = QStringLiteral("55.5");
    const QFont upright = fitted(pass.normal, [&](const QFontMetrics &f) { return f.height() <= bars.width; });
    const QFont valueFont = fitted(pass.normal, [&](const QFontMetrics &f) {
        return f.size(Qt::TextSingleLine, probeText).width() <= bars.width;
    });
    const QFontMetrics uprightMetrics(upright), valueMetrics(valueFont);
    thread_local CStaticTexts valueTexts, uprightTexts;

    struct SBar
    {
        double value;
        bool valid;
        int number;
        int index;
    };
    std::vector<SBar> records;
    for (int i = 0; i < n; ++i) {
        const SCoverValue v = GetCoverValue(o, i);
        // A missing value stands at the no-cover mark, so its bar reaches the top.
        const double missing = o.regional == Regional_AstmInch ? kNoCover / kMmPerInch : double(kNoCover);
        records.push_back({v.valid ? v.value : missing, v.valid, i + 1, i});
    }
    if (ordered)
        std::stable_sort(records.begin(), records.end(),
                         [](const SBar &a, const SBar &b) { return a.value < b.value; });
    const int step = bars.width + bars.gap;
    const int numberEvery = step > 0 ? int(1.3 * valueMetrics.size(Qt::TextSingleLine, QString::number(n)).width() - 1)
                                               / step
                                           + 1
                                     : n + 1;
    const int x0 = plot.left() + 4 + bars.gap;
    const int decimals = GetDecimals(o.regional, Kind_CoverValue);
    for (int k = 0; k < n; ++k) {
        const SBar &bar = records[std::size_t(k)];
        const int left = x0 + k * step;
        const int right = left + bars.width;
        const int top = std::max(grid.YToPixel(bar.value), plot.top());
        const std::uint8_t raw = o.measurements[std::size_t(bar.index)].cover;
        const bool below = pass.options.requiredCover && raw != kNoCover && raw < *pass.options.requiredCover;
        // Fill and outline share the colour: one fill of exactly the bar.
        if (bars.width > 0)
            p.fillRect(QRect(QPoint(left, top), QPoint(right - 1, plot.bottom() - 1)),
                       below ? kWarningBarColour : kBarColour);
        const QString cover = FormatCover(o, bar.index);
        const QString diameter = FormatBarDiameter(o.regional, o.measurements[std::size_t(bar.index)].rawDiameter);
        if (pass.areas)
            pass.areas->tips.Add(
                QRect(QPoint(left, top), QPoint(right, plot.bottom())),
                Res::FormatString(Res::IDS_DIAGRAM_TIP_TITLE, {bar.number}),
                Res::FormatString(Res::IDS_DIAGRAM_TIP_TEXT,
                                  {text(Res::IDS_DIAGRAM_COVER), cover, text(Res::IDS_DIAGRAM_DIAMETER), diameter}));
        const QString value = bar.valid ? Res::Format(u"%0.*f", {decimals, bar.value}) : cover;
        p.setPen(ink);
        p.setFont(valueFont);
        const int centre = (left + right) / 2 + 1;
        const QStaticText &valueText = valueTexts.get(valueFont, value);
        p.drawStaticText(QPointF(centre - valueText.size().width() / 2.0, top - 3 - valueMetrics.ascent()), valueText);
        const int textLength = uprightMetrics.horizontalAdvance(diameter);
        if (textLength < plot.bottom() - top - 8) {
            p.save();
            p.setFont(upright);
            p.translate((left + right) / 2 - uprightMetrics.height() / 2, plot.bottom() - 5);
            p.rotate(-90);
            p.drawStaticText(QPointF(0, 0), uprightTexts.get(upright, diameter));
            p.restore();
        }
        if (!ordered && bar.number % numberEvery == 0) {
            const QString number = QString::number(bar.number);
            p.setFont(valueFont);
            const QStaticText &numberText = valueTexts.get(valueFont, number);
            p.drawStaticText(QPointF(centre - numberText.size().width() / 2.0, plot.bottom() + 3), numberText);
        }
    }
    if (limit) {
        // Over the bars, so that it shows where they cross it.
        const int limitY = std::clamp(grid.YToPixel(*limit), plot.top(), plot.bottom());
        p.setPen(QPen(kWarningColour, 2, Qt::DashLine));
        p.drawLine(plot.left(), limitY, plot.left() + 4 + bars.block, limitY);
    }
    return {used, height};
}

}   // namespace

QString DetailAccessibleText(const object_t &o)
{
    const SStatistics s = GetStatistics(o);
    QStringList lines{
        text(Res::IDS_DETAIL_STATISTICS),
        text(Res::IDS_DETAIL_MEASUREMENTS) + QStringLiteral(": ") + QString::number(s.count),
        text(Res::IDS_DETAIL_MEAN) + QStringLiteral(": ") + statisticValue(o.regional, s.mean, Kind_MeanCover),
        text(Res::IDS_DETAIL_STDDEV) + QStringLiteral(": ") + statisticValue(o.regional, s.stdDev, Kind_StdDev),
        text(Res::IDS_DETAIL_MIN) + QStringLiteral(": ") + statisticValue(o.regional, s.min, Kind_CoverValue),
        text(Res::IDS_DETAIL_MAX) + QStringLiteral(": ") + statisticValue(o.regional, s.max, Kind_CoverValue),
        text(Res::IDS_DETAIL_SETTINGS)};
    const std::array<QString, 8> labels = settingsLabels();
    const std::array<QString, 8> values = settingsValues(o);
    for (std::size_t i = 0; i < labels.size(); ++i)   // these labels bring their colon
        lines << (labels[i].endsWith(u':') ? labels[i] + u' ' : labels[i] + QStringLiteral(": ")) + values[i];
    lines << text(Res::IDS_DETAIL_COMMENT);
    if (!o.comment.isEmpty())
        lines << o.comment;
    return lines.join(u'\n');
}

NDetailLayout LayoutFor(int measurements)
{
    if (measurements <= 21)
        return NDetailLayout::SideBySide;
    if (measurements <= 51)
        return NDetailLayout::TwoBands;
    return NDetailLayout::FullWidth;
}

SBarGeometry BarGeometry(int bars, int available)
{
    SBarGeometry g;
    int w = 25;
    int gap = 2;
    int block = 0;
    do {
        --w;
        gap = w >= 24 ? 2 : 1;
        block = bars * w + (bars + 2) * gap;
    } while (block > available - (2 * kSectionMargin + 30) && w > 0);
    g.width = w;
    g.gap = gap;
    g.block = block;
    return g;
}

QStringList CommentTokens(const QString &comment)
{
    QStringList tokens;
    QString current;
    auto delimiter = [](QChar c) { return c == u' ' || c == u'.' || c == u'\n'; };
    for (QChar c : comment) {
        if (c == u'\r')
            continue;
        if (!delimiter(c)) {
            current += c;
            continue;
        }
        // The delimiter is left for a token of its own.
        if (!current.isEmpty())
            tokens << current;
        tokens << QString(c);
        current.clear();
    }
    if (!current.isEmpty())
        tokens << current;
    return tokens;
}

QStringList CommentLines(const QString &comment, const QFontMetrics &metrics, int width)
{
    QStringList lines{QString()};
    auto fits = [&](const QString &s) { return metrics.horizontalAdvance(s) <= width; };
    for (const QString &token : CommentTokens(comment)) {
        if (token == u"\n") {
            lines << QString();
            continue;
        }
        const QString &shown = token;
        if (fits(lines.last() + shown)) {
            lines.last() += shown;
        } else if (fits(shown)) {
            lines << shown;
        } else {
            // Too wide for any line: character by character.
            if (!lines.last().isEmpty())
                lines << QString();
            for (QChar c : shown) {
                if (!lines.last().isEmpty() && !fits(lines.last() + c))
                    lines << QString();
                lines.last() += c;
            }
        }
    }
    return lines;
}

int PaintDetail(QPainter *painter, const QRect &rect, const object_t &object, const SDetailOptions &options,
                SDetailAreas *areas)
{
    if (rect.height() <= 0 && painter)
        return 0;
    if (painter && areas) {
        areas->clickable.Clear();
        areas->tips.Clear();
    }
    const int W = std::max(rect.width(), kMinimumDrawingWidth);
    if (painter) {
        painter->save();
        painter->translate(rect.topLeft());
        if (!options.printing)
            painter->fillRect(QRect(0, 0, rect.width(), rect.height()), kRowBackground);
        painter->setBackgroundMode(Qt::TransparentMode);
    }
    // Measuring passes never draw nor register areas.
    const SFonts &fonts = fontsFor(options.font);
    SListTexts list;
    for (int i = 0; i < int(object.measurements.size()); ++i) {
        const QString pad = GetCoverValue(object, i).valid ? QString() : QStringLiteral("    ");
        list.lines << FormatCover(object, i) + pad + QStringLiteral(" / ") + pad
                          + FormatBarDiameter(object.regional, object.measurements[std::size_t(i)].rawDiameter);
        list.widths.push_back(fonts.normalMetrics.horizontalAdvance(list.lines.last()));
    }
    const SPass measure(nullptr, object, options, nullptr, fonts, list);
    const SPass draw(painter, object, options, areas, fonts, list);
    const SPass &out = painter ? draw : measure;
    const int n = int(object.measurements.size());
    int H = 0;
    switch (LayoutFor(n)) {
    case NDetailLayout::SideBySide: {
        // The right-hand column is as wide as the wider of its sections:
        // the settings' values are often wider than the statistics.
        const int right = std::max(drawStatistics(measure, 0, 0).width(), drawSettings(measure, 0, 0).width());
        const QSize l = drawList(measure, 0, 0, kDiagramHeight);
        const QSize d = drawDiagram(out, 0, 0, W - l.width() - right, kDiagramHeight);
        drawList(out, d.width(), 0, kDiagramHeight);
        const int x = d.width() + l.width();
        const QSize st = drawStatistics(out, x, 0);
        const QSize t = drawSettings(out, x, st.height());
        const QSize c = drawComment(out, x, st.height() + t.height(), W - d.width() - l.width());
        H = std::max(st.height() + t.height() + c.height(), kDiagramHeight);
        break;
    }
    case NDetailLayout::TwoBands: {
        const QSize l = drawList(measure, 0, 0, kDiagramHeight);
        const QSize d = drawDiagram(out, 0, 0, W - l.width(), kDiagramHeight);
        const QSize l2 = drawList(out, d.width(), 0, kDiagramHeight);
        const QSize st = drawStatistics(out, 0, l2.height());
        const QSize t = drawSettings(out, st.width(), l2.height());
        const QSize c = drawComment(out, st.width() + t.width(), l2.height(), W - st.width() - t.width());
        H = kDiagramHeight + std::max({st.height(), t.height(), c.height()});
        break;
    }
    case NDetailLayout::FullWidth: {
        int limit = 340;
        const QSize s = drawStatistics(measure, 0, 0);
        const QSize t = drawSettings(measure, 0, 0);
        QSize l = drawList(measure, 0, 0, limit);
        const bool stacked = W < l.width() + t.width() + s.width();
        if (stacked) {
            limit = t.height() + s.height();
            for (l = drawList(measure, 0, 0, limit);
                 std::max(t.width(), s.width()) + l.width() > W - 10 && limit < 100000;
                 l = drawList(measure, 0, 0, limit))
                limit += 20;
        }
        drawDiagram(out, 0, 0, W, kDiagramHeight);
        l = drawList(out, 0, kDiagramHeight, limit);
        drawStatistics(out, l.width(), kDiagramHeight);
        if (stacked)
            drawSettings(out, l.width(), kDiagramHeight + s.height());
        else
            drawSettings(out, l.width() + s.width(), kDiagramHeight);
        const int commentY = kDiagramHeight + (stacked ? s.height() + t.height() : std::max(s.height(), t.height()));
        const QSize c = drawComment(out, l.width(), commentY, W - l.width());
        H = stacked ? kDiagramHeight + std::max(l.height(), s.height() + t.height() + c.height())
                    : kDiagramHeight + std::max(l.height(), c.height() + std::max(s.height(), t.height()));
        break;
    }
    }
    if (painter)
        painter->restore();
    return H;
}

int DetailRowHeight(const object_t &object, const QFont &font, int width)
{
    SDetailOptions options;
    options.font = font;
    return int(PaintDetail(nullptr, QRect(0, 0, width, 100), object, options) * 1.07);
}

}   // namespace Render
