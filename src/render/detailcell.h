#pragma once
// The expanded object's drawing: the cover value diagram, the measurement
// list, the statistics, the settings and the comment, in one of three
// layouts chosen by the number of measurements. One function draws or only
// measures, so the screen, the picture export and printing share it.

#include "data/measurement.h"
#include "render/sensitivearea.h"

#include <QColor>
#include <QFont>
#include <QRect>

#include <optional>

class QPainter;

namespace Render {

inline const QColor kLinkColour(0, 111, 127);
inline const QColor kBarColour(0, 160, 191);

// Clickable areas of the drawing.
enum NDetailArea : int { Area_None = 0, Area_Ordering = 1, Area_Comment = 2, Area_Regional = 3 };

struct SDetailOptions
{
    QFont font;   // the table's font; the others derive from it
    QColor textColour{34, 36, 76};
    int hoverId = Area_None;               // the area under the mouse, drawn underlined
    bool printing = false;                 // no background
    std::optional<double> requiredCover;   // mm: the diagram's limit line
};

// What a drawing leaves behind for the mouse.
struct SDetailAreas
{
    CSensitiveArea clickable;
    CTipAreas tips;
};

inline constexpr int kMinimumDrawingWidth = 800;
inline constexpr int kDiagramHeight = 300;
inline constexpr int kSectionMargin = 10;

enum class NDetailLayout { SideBySide, TwoBands, FullWidth };
NDetailLayout LayoutFor(int measurements);

// Draws `object` into `rect` of `painter` (cell coordinates from the
// rectangle's top-left), or only measures it when `painter` is null. Returns
// the content height (the cell asks for 1.07 times it). `areas` is rebuilt
// when drawing, never while measuring.
int PaintDetail(QPainter *painter, const QRect &rect, const object_t &object, const SDetailOptions &options,
                SDetailAreas *areas = nullptr);

// What the drawing tells, as text for assistive tools: the statistics, the
// settings and the comment, a line each.
QString DetailAccessibleText(const object_t &object);

// The row height an expanded object asks for.
int DetailRowHeight(const object_t &object, const QFont &font, int width);

// Bar width and gap for n bars in `width` pixels.
struct SBarGeometry
{
    int width = 0;
    int gap = 0;
    int block = 0;   // n × width + (n + 2) × gap
};
SBarGeometry BarGeometry(int bars, int available);

// The comment cut into tokens: words, and each blank, full stop or line feed
// as a token of its own; carriage returns are dropped.
QStringList CommentTokens(const QString &comment);
// Where the tokens go in `width` pixels: one text per line (a long word is
// broken into pieces that fit).
QStringList CommentLines(const QString &comment, const QFontMetrics &metrics, int width);

}   // namespace Render
