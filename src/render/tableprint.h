#pragma once
// The printout of the object table: the rows scaled to the paper's width,
// whole rows per page with the column header row on every page, a header
// band and a footer band. Drawn with QPainter text, so a PDF keeps its text.

#include "render/tablepicture.h"

#include <QPagedPaintDevice>
#include <QString>

#include <vector>

namespace Render {

struct SPrintBands
{
    QString left;         // "Quelix"
    QString centre;       // "Vetrameter measurement objects"
    QString right;        // "Vetradesk Version 1.0.1.0"
    QString pageFormat;   // "Page %d of %d"
    QString fileName;     // the project file's name, or "Unnamed"
    QString printedAt;    // date and time of printing in the settings' patterns
};

// One printed row: an object's header row, or its detail row.
struct SPrintRow
{
    const object_t *object;
    bool detail;
    int height;
};

// The rows of the objects as the table shows them (details of expanded objects).
std::vector<SPrintRow> PrintRows(const std::vector<const object_t *> &objects, const STableLook &look);

// Pages as [first, last) ranges of rows: whole rows while they fit into
// `usable`; a row taller than a page stands alone on its page.
std::vector<std::pair<std::size_t, std::size_t>> Paginate(const std::vector<SPrintRow> &rows, int usable);

// The print font ("Arial", 11 units high, as fontconfig resolves it) and
// its average character width.
QFont PrintFont(bool bold = false);
int AverageCharWidth(const QFont &font);

// The pages to print, counted from 1; 0 to 0 prints all.
struct SPageRange
{
    int from = 0;
    int to = 0;
    bool Holds(int page) const { return from <= 0 || (page >= from && (to <= 0 || page <= to)); }
};

// A page of the printout in its logical units: `width` (the content's) between
// two margins fills the paper's width at `scale`.
struct SPrintPage
{
    double scale = 1;
    int margin = 0;
    int line = 0;   // a line of the print font
    int width = 0;
    int height = 0;   // the whole page
    // Between the header band and the footer band, a line clear of each.
    QRect Body() const { return {margin, 3 * line, width, height - 6 * line}; }
};
SPrintPage PrintPageFor(const QPagedPaintDevice &device, int contentWidth);

// The header band (left, centre, right over a line) and the footer band (page
// `number` of `total`, file name, time of printing) of one page; the painter
// is scaled to the page's logical units.
void PaintPrintBands(QPainter &painter, const SPrintPage &page, const SPrintBands &bands, int number, int total);

// Prints the rows onto `device`, one page after another (only those of
// `range`, numbered as in the whole printout); false (with the reason) when
// a page could not be started.
bool PrintTable(QPagedPaintDevice &device, const std::vector<SPrintRow> &rows, const STableLook &look,
                const SPrintBands &bands, int *pageCount = nullptr, QString *error = nullptr, SPageRange range = {});

}   // namespace Render
