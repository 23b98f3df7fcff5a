#pragma once
// The object table's cells as plain painter functions, so that the screen,
// the picture export and printing draw the same pixels on any paint device.

#include <QColor>
#include <QRect>
#include <QString>

class QFont;
class QFontMetrics;
class QPainter;

namespace Render {

inline const QColor kTextColour(34, 36, 76);
inline const QColor kRowBackground(242, 245, 253);
inline const QColor kGripperBackground(188, 224, 232);
// A selected plain cell: the table's text on the gripper's tint, which reads
// well (about 10:1) where the halved colours of the gradients would not.
inline const QColor kSelectedCellBackground = kGripperBackground;
// Covers below the required cover: a dark red that reads on both backgrounds
// above (about 7:1 and 5:1), and a lighter one for the diagram's bars.
inline const QColor kWarningColour(170, 20, 30);
inline const QColor kWarningBarColour(222, 76, 60);

// Four corner colours: top-left, top-right, bottom-left, bottom-right.
struct SCorners
{
    QColor topLeft, topRight, bottomLeft, bottomRight;
};

// Fills `rect` from its corner colours: one colour, a horizontal or vertical
// gradient, or a blend of all four.
void PaintGradient(QPainter &painter, const QRect &rect, const SCorners &corners);

// A text cell of a header row: background, text inset a little from the
// sides, vertically centred, clipped to the cell.
// A text too long for its cell ends in "…".
void PaintTextCell(QPainter &painter, const QRect &rect, const QString &text, Qt::Alignment alignment, bool selected,
                   const QColor &colour = kTextColour);
// Whether PaintTextCell shows `text` whole in `rect` with that font.
bool TextCellFits(const QFontMetrics &metrics, const QRect &rect, const QString &text);

// The gripper of column 0: solid background, the object number on the right,
// and the expand (collapsed) or collapse (expanded) button at the top left.
void PaintGripper(QPainter &painter, const QRect &rect, const QString &number, bool expanded);
// Where the gripper's button lies in its cell (for clicks).
QRect GripperButtonRect(const QRect &cell);

// Column 0 of a detail row: a vertical gradient, nothing when the row has no
// height.
void PaintDetailLeft(QPainter &painter, const QRect &rect);

// The pictures of the expand-all and collapse-all menu entries.
void PaintExpandButton(QPainter &painter, const QRect &rect, bool expand);

}   // namespace Render
