#pragma once
// The object table drawn without a widget: the column header row, each
// object's header row and, when shown, its detail. The picture export and the
// command-line tool draw the same rows the screen shows.

#include "data/measurement.h"
#include "data/objecttext.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QPainter;

namespace Render {

inline constexpr int kColumnHeaderHeight = 26;
inline constexpr int kHeaderRowHeight = 22;

// Which detail rows a picture shows.
enum class NRowsShown { HeadersOnly, AsIs, Details };

struct STableLook
{
    QFont font;
    std::array<int, Col_Count> widths{};
    QString datePattern;
    QString timePattern;
    // With a required cover (mm) the diagram draws it as a limit line and the
    // covers below it, and the minimum cover text, in the warning colour.
    std::optional<double> requiredCover;
};

// Each column as wide as its header text or the widest text its cells can
// show (`margin` added); the table page starts with these widths too.
std::array<int, Col_Count> DefaultColumnWidths(const QFont &headerFont, const QFont &cellFont, int margin,
                                               QStringView datePattern, QStringView timePattern);

int TableWidth(const STableLook &look);
bool ShowsDetail(const object_t &object, NRowsShown shown);
// The height of an object's rows in a picture.
int ObjectRowsHeight(const object_t &object, NRowsShown shown, const STableLook &look);

void PaintColumnHeaderRow(QPainter &painter, const QPoint &at, const STableLook &look);
// An object's header row, and its detail row (`height` from ObjectRowsHeight
// less the header row), each with its top-left at `at`.
void PaintObjectHeaderRow(QPainter &painter, const QPoint &at, const object_t &object, bool expanded,
                          const STableLook &look);
void PaintObjectDetailRow(QPainter &painter, const QPoint &at, const object_t &object, int height,
                          const STableLook &look, bool printing);
int DetailHeightFor(const object_t &object, const STableLook &look);

// Draws the object's rows with their top-left at `at`; returns their height.
int PaintObjectRows(QPainter &painter, const QPoint &at, const object_t &object, NRowsShown shown,
                    const STableLook &look, bool printing = false);

// A picture of the objects' rows, the column header row first when asked.
QImage RenderTablePicture(const std::vector<const object_t *> &objects, NRowsShown shown, const STableLook &look,
                          bool withColumnHeader = true);

}   // namespace Render
