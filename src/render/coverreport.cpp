#include "render/coverreport.h"

#include "data/timetext.h"
#include "data/units.h"
#include "render/assessmentchart.h"
#include "render/assessmenttext.h"
#include "render/tablecells.h"
#include "res/resources.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace Render {
namespace {

const QColor kHeaderFill(236, 238, 244);
const QColor kStripe(246, 247, 251);
const QColor kRule(150, 154, 170);

bool isInch(const object_t &o)
{
    return o.regional == Regional_AstmInch;
}

std::vector<double> validCovers(const object_t &o)
{
    std::vector<double> covers;
    AppendValidCovers(o, covers);
    return covers;
}

QFont sizedFont(bool bold, int pixels)
{
    QFont font = PrintFont(bold);
    font.setPixelSize(pixels);
    return font;
}

enum NSummaryColumn : int {
    Sum_Number,
    Sum_Name,
    Sum_Date,
    Sum_Count,
    Sum_Mean,
    Sum_Sd,
    Sum_Min,
    Sum_Char,
    Sum_Below,
    Sum_Verdict,
    Sum_Columns
};

struct SSummaryRow
{
    std::array<QString, Sum_Columns> cells;
    NVerdict verdict = NVerdict::NoLimit;
    bool total = false;
};

SSummaryRow summaryRow(const SCoverAssessment &a, const SAssessmentSettings &settings, bool inch)
{
    const CCoverLength length(inch);
    SSummaryRow row;
    row.cells[Sum_Count] = QString::number(a.count);
    row.cells[Sum_Mean] = length(a.mean);
    row.cells[Sum_Sd] = length(a.sd);
    row.cells[Sum_Min] = length(a.min, true);
    row.cells[Sum_Char] = length(a.characteristicNormal);
    row.cells[Sum_Below] = settings.requiredCover ? QString::number(a.belowCount) : QStringLiteral("–");
    row.cells[Sum_Verdict] = VerdictText(a.verdict);
    row.verdict = a.verdict;
    return row;
}

class CReportWriter
{
public:
    CReportWriter(QPagedPaintDevice &device, const SInspectionReport &report)
        : m_device(device), m_report(report), m_look(report.look), m_text(PrintFont(false)), m_bold(PrintFont(true)),
          m_heading(sizedFont(true, 15)), m_title(sizedFont(true, 24))
    {
        // As the printout does: the table's sizes in the pixels it has on the screen.
        m_look.font.setPixelSize(QFontInfo(report.look.font).pixelSize());
        m_look.requiredCover = report.settings.requiredCover;
        m_page = PrintPageFor(device, TableWidth(m_look));
        m_body = m_page.Body();
        m_line = m_page.line;
        m_rowHeight = m_line * 3 / 2;
        m_headingHeight = QFontMetrics(m_heading).height() + m_line;
        m_pad = AverageCharWidth(m_text);

        std::vector<double> all;
        bool allInch = !report.objects.empty();
        for (const object_t *o : report.objects) {
            const std::vector<double> covers = validCovers(*o);
            all.insert(all.end(), covers.begin(), covers.end());
            allInch = allInch && isInch(*o);
            SSummaryRow row = summaryRow(AssessCovers(covers, report.settings), report.settings, isInch(*o));
            row.cells[Sum_Number] = Res::Format(u"%03d", {int(o->objectNumber)});
            row.cells[Sum_Name] = o->objectName;
            row.cells[Sum_Date] = TimeText::FormatTimeStamp(o->timeStamp, m_look.datePattern, u"").trimmed();
            m_rows.push_back(std::move(row));
        }
        m_allCovers = std::move(all);
        m_inch = allInch;
        m_overall = AssessCovers(m_allCovers, report.settings);
        if (!report.objects.empty()) {
            SSummaryRow total = summaryRow(m_overall, report.settings, m_inch);
            total.cells[Sum_Name] = Res::LoadString(Res::IDS_REPORT_TOTAL);
            total.total = true;
            m_rows.push_back(std::move(total));
        }

        // The summary's pages: the first also holds the heading.
        const int firstRows = std::max(1, (m_body.height() - m_headingHeight - m_rowHeight) / m_rowHeight);
        const int nextRows = std::max(1, (m_body.height() - m_rowHeight) / m_rowHeight);
        std::size_t first = 0;
        do {
            const std::size_t end = std::min(m_rows.size(),
                                             first + std::size_t(m_summaryPages.empty() ? firstRows : nextRows));
            m_summaryPages.emplace_back(first, end);
            first = end;
        } while (first < m_rows.size());

        for (const object_t *o : report.objects) {
            m_objectRows.push_back({o, false, kHeaderRowHeight});
            m_objectRows.push_back({o, true, DetailHeightFor(*o, m_look)});
        }
        m_objectPages = Paginate(m_objectRows, m_body.height() - kColumnHeaderHeight);

        m_layout.summaryFirst = 2;
        m_layout.summaryCount = int(m_summaryPages.size());
        m_layout.histogram = m_layout.summaryFirst + m_layout.summaryCount;
        m_layout.objectsFirst = m_objectPages.empty() ? 0 : m_layout.histogram + 1;
        m_layout.total = m_layout.histogram + int(m_objectPages.size());
    }

    const SReportPages &Layout() const { return m_layout; }

    bool Write(QString *error)
    {
        if (!m_painter.begin(&m_device)) {
            if (error)
                *error = Res::LoadString(Res::IDS_PRINT_NOT_STARTED);
            return false;
        }
        m_painter.scale(m_page.scale, m_page.scale);
        bool ok = startPage(1, error);
        if (ok)
            firstPage();
        for (std::size_t i = 0; ok && i < m_summaryPages.size(); ++i) {
            ok = startPage(m_layout.summaryFirst + int(i), error);
            if (ok)
                summaryPage(i);
        }
        if (ok && (ok = startPage(m_layout.histogram, error)))
            histogramPage();
        for (std::size_t i = 0; ok && i < m_objectPages.size(); ++i) {
            ok = startPage(m_layout.objectsFirst + int(i), error);
            if (ok)
                objectPage(m_objectPages[i]);
        }
        m_painter.end();
        return ok;
    }

private:
    bool startPage(int number, QString *error)
    {
        if (number > 1 && !m_device.newPage()) {
            if (error)
                *error = Res::FormatString(Res::IDS_PRINT_PAGE_FAILED, {number});
            return false;
        }
        PaintPrintBands(m_painter, m_page, m_report.bands, number, m_layout.total);
        return true;
    }

    // A heading at `y`; returns where the text below it starts.
    int heading(int y, const QString &text)
    {
        m_painter.setFont(m_heading);
        m_painter.setPen(kTextColour);
        m_painter.drawText(QRect(m_body.left(), y, m_body.width(), m_headingHeight - m_line),
                           Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
        return y + m_headingHeight;
    }

    // A label and its value (wrapped to the width left) at `y`; returns the next line's top.
    int fact(int y, int valueLeft, const QString &label, const QString &value, const QColor &colour = kTextColour,
             bool boldValue = false)
    {
        QPainter &p = m_painter;
        p.setFont(m_bold);
        p.setPen(kTextColour);
        p.drawText(QRect(m_body.left(), y, valueLeft - m_body.left() - m_pad, m_line),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label);
        const QFont &font = boldValue ? m_bold : m_text;
        const QRect room(valueLeft, y, m_body.right() - valueLeft, m_body.bottom() - y);
        const QRect used = QFontMetrics(font).boundingRect(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                                           value);
        p.setFont(font);
        p.setPen(colour);
        p.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, value);
        return y + std::max(m_line, used.height()) + m_line / 3;
    }

    int labelColumn(const QStringList &labels) const
    {
        const QFontMetrics metrics(m_bold);
        int width = 0;
        for (const QString &l : labels)
            width = std::max(width, metrics.horizontalAdvance(l));
        return std::min(m_body.left() + width + 3 * m_pad, m_body.left() + m_body.width() / 2);
    }

    void firstPage()
    {
        QPainter &p = m_painter;
        const std::vector<const object_t *> &objects = m_report.objects;
        int y = m_body.top();
        p.setFont(m_title);
        p.setPen(kTextColour);
        const int titleHeight = QFontMetrics(m_title).height();
        p.drawText(QRect(m_body.left(), y, m_body.width(), titleHeight),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Res::LoadString(Res::IDS_REPORT_TITLE));
        y += titleHeight + m_line;

        QString span = QStringLiteral("–");
        int measurements = 0;
        if (!objects.empty()) {
            const auto [first, last] = std::minmax_element(
                objects.begin(), objects.end(),
                [](const object_t *a, const object_t *b) { return a->timeStamp < b->timeStamp; });
            const QString from = TimeText::FormatTimeStamp((*first)->timeStamp, m_look.datePattern, m_look.timePattern);
            const QString to = TimeText::FormatTimeStamp((*last)->timeStamp, m_look.datePattern, m_look.timePattern);
            span = from == to ? from : Res::FormatString(Res::IDS_REPORT_SPAN, {from, to});
        }
        for (const object_t *o : objects)
            measurements += int(o->measurements.size());
        const CCoverLength length(m_inch);
        const QString quantileLabel = Res::FormatString(Res::IDS_ASSESS_CHAR_NORMAL,
                                                        {PercentText(m_report.settings.quantile)});
        const QStringList labels{Res::LoadString(Res::IDS_REPORT_PROJECT),
                                 Res::LoadString(Res::IDS_REPORT_INSTRUMENTS),
                                 Res::LoadString(Res::IDS_REPORT_MEASURED),
                                 Res::LoadString(Res::IDS_REPORT_OBJECT_COUNT),
                                 Res::LoadString(Res::IDS_REPORT_MEASUREMENT_COUNT),
                                 Res::LoadString(Res::IDS_ASSESS_REQUIRED),
                                 Res::LoadString(Res::IDS_REPORT_QUANTILE),
                                 Res::LoadString(Res::IDS_ASSESS_COUNT),
                                 Res::LoadString(Res::IDS_ASSESS_BELOW),
                                 quantileLabel,
                                 Res::LoadString(Res::IDS_ASSESS_CHAR_LOGNORMAL)};
        const int valueLeft = labelColumn(labels);
        const QStringList instruments = InstrumentLines(objects);
        y = fact(y, valueLeft, labels[0], m_report.projectTitle);
        y = fact(y, valueLeft, labels[1], instruments.isEmpty() ? QStringLiteral("–") : instruments.join(u'\n'));
        y = fact(y, valueLeft, labels[2], span);
        y = fact(y, valueLeft, labels[3], QString::number(objects.size()));
        y = fact(y, valueLeft, labels[4],
                 Res::FormatString(Res::IDS_REPORT_MEASUREMENTS_VALUE, {measurements, int(m_allCovers.size())}));
        y = fact(y, valueLeft, labels[5], length.Limit(m_report.settings.requiredCover));
        y = fact(y, valueLeft, labels[6], PercentText(m_report.settings.quantile));
        y += m_line;

        const SCoverAssessment &a = m_overall;
        y = heading(y, Res::LoadString(Res::IDS_REPORT_OVERALL));
        y = fact(y, valueLeft, labels[7], QString::number(a.count));
        y = fact(y, valueLeft, Res::LoadString(Res::IDS_ASSESS_MEAN), length(a.mean));
        y = fact(y, valueLeft, Res::LoadString(Res::IDS_ASSESS_SD), length(a.sd));
        y = fact(y, valueLeft, Res::LoadString(Res::IDS_ASSESS_MIN), length(a.min, true));
        y = fact(y, valueLeft, Res::LoadString(Res::IDS_ASSESS_MAX), length(a.max, true));
        if (m_report.settings.requiredCover)
            y = fact(y, valueLeft, labels[8],
                     a.belowShare ? Res::FormatString(Res::IDS_ASSESS_BELOW_VALUE,
                                                      {a.belowCount, a.count, PercentText(*a.belowShare)})
                                  : QStringLiteral("–"));
        y = fact(y, valueLeft, quantileLabel, length(a.characteristicNormal));
        y = fact(y, valueLeft, labels[10], length(a.characteristicLogNormal));
        y = fact(y, valueLeft, Res::LoadString(Res::IDS_ASSESS_VERDICT), VerdictText(a.verdict),
                 VerdictColour(a.verdict), true);
        if (a.verdict == NVerdict::TooFew)
            fact(y + m_line / 2, m_body.left() + m_pad, QString(),
                 Res::FormatString(Res::IDS_ASSESS_TOO_FEW_NOTE, {kAssessmentMinimumCount}));
    }

    std::array<int, Sum_Columns> summaryWidths(const std::array<QString, Sum_Columns> &headers) const
    {
        const QFontMetrics text(m_text), bold(m_bold);
        std::array<int, Sum_Columns> widths{};
        for (int c = 0; c < Sum_Columns; ++c) {
            int width = bold.horizontalAdvance(headers[std::size_t(c)]);
            for (const SSummaryRow &row : m_rows)
                width = std::max(width, (row.total ? bold : text).horizontalAdvance(row.cells[std::size_t(c)]));
            widths[std::size_t(c)] = width + 2 * m_pad + 2;   // advances are rounded
        }
        // The name takes what the others leave, so the table fills the page;
        // a name too long for it ends in "…".
        int others = 0;
        for (int c = 0; c < Sum_Columns; ++c)
            others += c == Sum_Name ? 0 : widths[std::size_t(c)];
        widths[Sum_Name] = std::max(m_body.width() - others, 8 * m_pad);
        return widths;
    }

    void summaryRowAt(int y, const std::array<int, Sum_Columns> &widths, const std::array<QString, Sum_Columns> &cells,
                      bool header, bool bold, const QColor *verdict)
    {
        QPainter &p = m_painter;
        const QFontMetrics metrics(bold || header ? m_bold : m_text);
        p.setFont(bold || header ? m_bold : m_text);
        int x = m_body.left();
        for (int c = 0; c < Sum_Columns; ++c) {
            const int width = widths[std::size_t(c)];
            const QRect cell(x + m_pad, y, width - 2 * m_pad, m_rowHeight);
            Qt::Alignment alignment = Qt::AlignRight;
            if (c == Sum_Name || c == Sum_Verdict)
                alignment = Qt::AlignLeft;
            else if (c == Sum_Date)
                alignment = Qt::AlignHCenter;
            p.setPen(!header && c == Sum_Verdict && verdict ? *verdict : kTextColour);
            const QString &text = cells[std::size_t(c)];
            p.drawText(cell, alignment | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                       c == Sum_Name ? metrics.elidedText(text, Qt::ElideRight, cell.width()) : text);
            x += width;
        }
    }

    void summaryPage(std::size_t index)
    {
        QPainter &p = m_painter;
        int y = m_body.top();
        if (index == 0)
            y = heading(y, Res::LoadString(Res::IDS_REPORT_SUMMARY));
        if (m_rows.empty()) {
            p.setFont(m_text);
            p.setPen(kTextColour);
            p.drawText(QRect(m_body.left(), y, m_body.width(), m_line),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       Res::LoadString(Res::IDS_REPORT_NO_OBJECTS));
            return;
        }
        const std::array<QString, Sum_Columns> headers{
            Res::LoadString(Res::IDS_REPORT_COL_NUMBER), Res::LoadString(Res::IDS_REPORT_COL_NAME),
            Res::LoadString(Res::IDS_REPORT_COL_DATE),   Res::LoadString(Res::IDS_REPORT_COL_COUNT),
            Res::LoadString(Res::IDS_REPORT_COL_MEAN),   Res::LoadString(Res::IDS_REPORT_COL_SD),
            Res::LoadString(Res::IDS_REPORT_COL_MIN),    Res::LoadString(Res::IDS_REPORT_COL_CHAR),
            Res::LoadString(Res::IDS_REPORT_COL_BELOW),  Res::LoadString(Res::IDS_REPORT_COL_VERDICT)};
        const std::array<int, Sum_Columns> widths = summaryWidths(headers);
        int tableWidth = 0;
        for (int w : widths)
            tableWidth += w;

        // The column header row opens every page of the table.
        p.fillRect(QRect(m_body.left(), y, tableWidth, m_rowHeight), kHeaderFill);
        summaryRowAt(y, widths, headers, true, true, nullptr);
        y += m_rowHeight;
        p.setPen(QPen(kRule, 1));
        p.drawLine(m_body.left(), y, m_body.left() + tableWidth, y);
        const auto [first, end] = m_summaryPages[index];
        for (std::size_t r = first; r < end; ++r) {
            const SSummaryRow &row = m_rows[r];
            if (row.total) {
                p.setPen(QPen(kRule, 1));
                p.drawLine(m_body.left(), y, m_body.left() + tableWidth, y);
            } else if (r % 2 == 1) {
                p.fillRect(QRect(m_body.left(), y, tableWidth, m_rowHeight), kStripe);
            }
            const QColor colour = VerdictColour(row.verdict);
            summaryRowAt(y, widths, row.cells, false, row.total, &colour);
            y += m_rowHeight;
        }
        p.setPen(QPen(kRule, 1));
        p.drawLine(m_body.left(), y, m_body.left() + tableWidth, y);
    }

    void histogramPage()
    {
        int y = heading(m_body.top(), Res::LoadString(Res::IDS_REPORT_HISTOGRAM));
        SChartLook look;
        look.font = m_text;
        const int height = std::min(m_body.bottom() - y, m_body.width() * 3 / 5);
        PaintCoverHistogram(m_painter, QRectF(m_body.left(), y, m_body.width(), height), m_allCovers, m_report.settings,
                            look);
    }

    void objectPage(const std::pair<std::size_t, std::size_t> &range)
    {
        QPainter &p = m_painter;
        int y = m_body.top();
        PaintColumnHeaderRow(p, QPoint(m_body.left(), y), m_look);
        y += kColumnHeaderHeight;
        p.save();
        // A row taller than a page is cut at the footer.
        p.setClipRect(QRect(m_body.left(), y, m_body.width(), m_page.height - 2 * m_line - y));
        for (std::size_t r = range.first; r < range.second; ++r) {
            const SPrintRow &row = m_objectRows[r];
            if (row.detail)
                PaintObjectDetailRow(p, QPoint(m_body.left(), y), *row.object, row.height, m_look, true);
            else
                PaintObjectHeaderRow(p, QPoint(m_body.left(), y), *row.object, true, m_look);
            y += row.height;
        }
        p.restore();
    }

    QPagedPaintDevice &m_device;
    const SInspectionReport &m_report;
    STableLook m_look;
    QFont m_text, m_bold, m_heading, m_title;
    SPrintPage m_page;
    QRect m_body;
    int m_line = 0;
    int m_rowHeight = 0;
    int m_headingHeight = 0;
    int m_pad = 0;
    std::vector<double> m_allCovers;
    bool m_inch = false;
    SCoverAssessment m_overall;
    std::vector<SSummaryRow> m_rows;
    std::vector<std::pair<std::size_t, std::size_t>> m_summaryPages;
    std::vector<SPrintRow> m_objectRows;
    std::vector<std::pair<std::size_t, std::size_t>> m_objectPages;
    SReportPages m_layout;
    QPainter m_painter;
};

}   // namespace

QStringList InstrumentLines(const std::vector<const object_t *> &objects, int limit)
{
    struct SInstrument
    {
        QString name, serial, software;
        int objects = 0;
    };
    std::vector<SInstrument> found;
    for (const object_t *o : objects) {
        auto same = [&](const SInstrument &i) {
            return i.name == o->deviceName && i.serial == o->serialNumber && i.software == o->softwareVersion;
        };
        const auto it = std::find_if(found.begin(), found.end(), same);
        if (it != found.end())
            ++it->objects;
        else
            found.push_back({o->deviceName, o->serialNumber, o->softwareVersion, 1});
    }
    QStringList lines;
    for (const SInstrument &i : found) {
        if (limit > 0 && lines.size() == limit && int(found.size()) > limit) {
            lines.append(Res::FormatString(Res::IDS_REPORT_MORE_INSTRUMENTS, {int(found.size()) - limit}));
            break;
        }
        QStringList parts{i.name.trimmed().isEmpty() ? Res::LoadString(Res::IDS_REPORT_UNNAMED_INSTRUMENT)
                                                     : i.name.trimmed()};
        parts.append(i.serial.trimmed().isEmpty() ? Res::LoadString(Res::IDS_REPORT_NO_SERIAL)
                                                  : Res::FormatString(Res::IDS_REPORT_SERIAL, {i.serial.trimmed()}));
        if (!i.software.trimmed().isEmpty())
            parts.append(Res::FormatString(Res::IDS_REPORT_SOFTWARE, {i.software.trimmed()}));
        lines.append(parts.join(QStringLiteral(", ")) + QStringLiteral(" (")
                     + Res::FormatString(Res::IDS_REPORT_INSTRUMENT_OBJECTS, {i.objects}) + u')');
    }
    return lines;
}

bool WriteInspectionReport(QPagedPaintDevice &device, const SInspectionReport &report, SReportPages *pages,
                           QString *error)
{
    CReportWriter writer(device, report);
    if (pages)
        *pages = writer.Layout();
    return writer.Write(error);
}

bool WriteInspectionReportPdf(const QString &path, const SInspectionReport &report, QPageSize::PageSizeId paper,
                              QString *error, SReportPages *pages)
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return fail(Res::LoadString(Res::IDS_STREAM_PATH_NOT_FOUND));
    // The report goes into a temporary file beside the target, which takes
    // the target's place only when it is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(folder.isWritable() ? file.errorString() : Res::LoadString(Res::IDS_STREAM_ACCESS_DENIED));
    {
        QPdfWriter pdf(&file);
        pdf.setPageSize(QPageSize(paper));
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setResolution(300);
        pdf.setTitle(Res::LoadString(Res::IDS_REPORT_TITLE));
        pdf.setCreator(Res::LoadString(Res::IDS_APP_TITLE));
        if (!WriteInspectionReport(pdf, report, pages, error)) {
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit())
        return fail(Res::FormatString(Res::IDS_REPORT_COMMIT_FAILED, {file.errorString()}));
    return true;
}

}   // namespace Render
