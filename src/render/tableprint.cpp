#include "render/tableprint.h"

#include "res/resources.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <utility>

namespace Render {
namespace {

// Lower case, capitals A to S, one more A, T to Y: 52 letters.
const QString kWidthSample = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXY");

}   // namespace

QFont PrintFont(bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

int AverageCharWidth(const QFont &font)
{
    return QFontMetrics(font).horizontalAdvance(kWidthSample) / 52;
}

std::vector<SPrintRow> PrintRows(const std::vector<const object_t *> &objects, const STableLook &look)
{
    std::vector<SPrintRow> rows;
    for (const object_t *o : objects) {
        rows.push_back({o, false, kHeaderRowHeight});
        if (o->expanded)
            rows.push_back({o, true, DetailHeightFor(*o, look)});
    }
    return rows;
}

std::vector<std::pair<std::size_t, std::size_t>> Paginate(const std::vector<SPrintRow> &rows, int usable)
{
    std::vector<std::pair<std::size_t, std::size_t>> pages;
    std::size_t first = 0;
    while (first < rows.size()) {
        // Every page takes at least one row, so nothing can loop.
        std::size_t end = first + 1;
        int used = rows[first].height;
        while (end < rows.size() && used + rows[end].height <= usable)
            used += rows[end++].height;
        // A page must not end on an object's header row whose detail opens
        // the next page: the diagram would stand there without its name.
        const std::size_t last = end - 1;
        if (end < rows.size() && rows[end].detail && !rows[last].detail && last > first
            && rows[last].height + rows[end].height <= usable)
            end = last;
        pages.emplace_back(first, end);
        first = end;
    }
    return pages;
}

SPrintPage PrintPageFor(const QPagedPaintDevice &device, int contentWidth)
{
    SPrintPage page;
    const QFont text = PrintFont(false);
    page.line = QFontMetrics(text).size(Qt::TextSingleLine, kWidthSample).height();
    page.margin = 4 * AverageCharWidth(text);
    page.width = contentWidth;
    // device.width() and height() are the printable area in device units.
    page.scale = double(device.width()) / (contentWidth + 2 * page.margin);
    page.height = int(device.height() / page.scale);
    return page;
}

void PaintPrintBands(QPainter &p, const SPrintPage &page, const SPrintBands &bands, int number, int total)
{
    const QFont bold = PrintFont(true);
    const int line = page.line;
    const QRect header(page.margin, 0, page.width, 2 * line);
    p.setFont(bold);
    p.setPen(Qt::black);
    p.drawText(header, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, bands.left);
    p.drawText(header, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, bands.centre);
    p.drawText(header, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, bands.right);
    p.drawLine(header.bottomLeft(), header.bottomRight());

    const QRect footer(page.margin, page.height - 2 * line, page.width, 2 * line);
    p.drawLine(footer.topLeft(), footer.topRight());
    p.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               Res::Format(bands.pageFormat, {number, total}));
    p.drawText(footer, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, bands.fileName);
    p.drawText(footer, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, bands.printedAt);
}

bool PrintTable(QPagedPaintDevice &device, const std::vector<SPrintRow> &rows, const STableLook &screenLook,
                const SPrintBands &bands, int *pageCount, QString *error, SPageRange range)
{
    // Sizes in points would grow with the printer's resolution on top of the
    // page's scale: the table prints in the pixels it has on the screen.
    STableLook look = screenLook;
    look.font.setPixelSize(QFontInfo(screenLook.font).pixelSize());
    const int tableWidth = TableWidth(look);
    const SPrintPage geometry = PrintPageFor(device, tableWidth);
    const int line = geometry.line;
    const int margin = geometry.margin;
    const double scale = geometry.scale;
    const int logicalHeight = geometry.height;
    const int usable = geometry.Body().height() - kColumnHeaderHeight;
    const auto pages = Paginate(rows, usable);
    const int total = std::max<int>(1, int(pages.size()));
    if (pageCount)
        *pageCount = total;

    QPainter p;
    if (!p.begin(&device)) {
        if (error)
            *error = Res::LoadString(Res::IDS_PRINT_NOT_STARTED);
        return false;
    }
    p.scale(scale, scale);
    bool started = false;
    for (int page = 0; page < total; ++page) {
        if (!range.Holds(page + 1))
            continue;
        if (std::exchange(started, true) && !device.newPage()) {
            if (error)
                *error = Res::FormatString(Res::IDS_PRINT_PAGE_FAILED, {page + 1});
            p.end();
            return false;
        }
        PaintPrintBands(p, geometry, bands, page + 1, total);
        int y = 3 * line;
        PaintColumnHeaderRow(p, QPoint(margin, y), look);
        y += kColumnHeaderHeight;
        if (!pages.empty()) {
            const auto [first, end] = pages[std::size_t(page)];
            p.save();
            // A row taller than a page is cut at the footer.
            p.setClipRect(QRect(margin, y, tableWidth, logicalHeight - 2 * line - y));
            for (std::size_t r = first; r < end; ++r) {
                const SPrintRow &row = rows[r];
                if (row.detail)
                    PaintObjectDetailRow(p, QPoint(margin, y), *row.object, row.height, look, true);
                else
                    PaintObjectHeaderRow(p, QPoint(margin, y), *row.object, row.object->expanded, look);
                y += row.height;
            }
            p.restore();
        }
    }
    p.end();
    return true;
}

}   // namespace Render
