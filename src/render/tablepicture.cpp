#include "render/tablepicture.h"

#include "data/coverassessment.h"
#include "data/timetext.h"
#include "data/units.h"
#include "render/detailcell.h"
#include "render/tablecells.h"

#include <QFontMetrics>
#include <QPainter>

#include <numeric>

namespace Render {
namespace {

const QColor kGridLine(208, 208, 208);
const QColor kHeaderFill(240, 240, 240);

int detailWidth(const STableLook &look)
{
    return std::accumulate(look.widths.begin() + 1, look.widths.end(), 0);
}

void gridLines(QPainter &p, const QRect &r)
{
    p.setPen(kGridLine);
    p.drawLine(r.topRight(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.bottomRight());
}

}   // namespace

std::array<int, Col_Count> DefaultColumnWidths(const QFont &headerFont, const QFont &cellFont, int margin,
                                               QStringView datePattern, QStringView timePattern)
{
    const QFontMetrics headerMetrics(headerFont);
    const QFontMetrics cellMetrics(cellFont);
    const ObjectRow headers = ObjectColumnHeaders();
    const std::array<QStringList, Col_Count> widest = {
        QStringList{QStringLiteral("00000")},
        QStringList{},
        QStringList{TimeText::FormatTimeStamp(TimeText::FromLocal(2026, 12, 28, 12, 58, 58).value_or(0), datePattern,
                                              timePattern)},
        QStringList{FormatCoverStatistic(1, 88.88 * kMmPerInch), FormatCoverStatistic(0, 888)},
        QStringList{FormatCoverStatistic(1, 88.88 * kMmPerInch), FormatCoverStatistic(0, 888)},
        QStringList{GetRegionalText(0), GetRegionalText(1), GetRegionalText(2), GetRegionalText(3)},
        QStringList{QStringLiteral("99")},
        QStringList{GetStorageModeText(0), GetStorageModeText(1)}};
    std::array<int, Col_Count> widths{};
    for (int c = 0; c < Col_Count; ++c) {
        int width = headerMetrics.horizontalAdvance(headers[std::size_t(c)]);
        for (const QString &text : widest[std::size_t(c)])
            width = std::max(width, cellMetrics.horizontalAdvance(text) + (c == 0 ? 28 : 0));   // room for the gripper
        widths[std::size_t(c)] = width + margin;
    }
    return widths;
}

int TableWidth(const STableLook &look)
{
    return std::accumulate(look.widths.begin(), look.widths.end(), 0);
}

bool ShowsDetail(const object_t &object, NRowsShown shown)
{
    return shown == NRowsShown::Details || (shown == NRowsShown::AsIs && object.expanded);
}

int ObjectRowsHeight(const object_t &object, NRowsShown shown, const STableLook &look)
{
    return kHeaderRowHeight + (ShowsDetail(object, shown) ? DetailRowHeight(object, look.font, detailWidth(look)) : 0);
}

void PaintColumnHeaderRow(QPainter &p, const QPoint &at, const STableLook &look)
{
    p.save();
    p.setFont(look.font);
    const ObjectRow headers = ObjectColumnHeaders();
    int x = at.x();
    for (int c = 0; c < Col_Count; ++c) {
        const QRect cell(x, at.y(), look.widths[std::size_t(c)], kColumnHeaderHeight);
        p.fillRect(cell, kHeaderFill);
        p.setPen(kTextColour);
        p.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, headers[std::size_t(c)]);
        gridLines(p, cell);
        x += cell.width();
    }
    p.restore();
}

int DetailHeightFor(const object_t &object, const STableLook &look)
{
    return DetailRowHeight(object, look.font, detailWidth(look));
}

void PaintObjectHeaderRow(QPainter &p, const QPoint &at, const object_t &object, bool expanded, const STableLook &look)
{
    p.save();
    p.setFont(look.font);
    const ObjectRow texts = ObjectRowTexts(object, look.datePattern, look.timePattern);
    int x = at.x();
    for (int c = 0; c < Col_Count; ++c) {
        const QRect cell(x, at.y(), look.widths[std::size_t(c)], kHeaderRowHeight);
        if (c == 0)
            PaintGripper(p, cell, texts[0], expanded);
        else
            PaintTextCell(p, cell, texts[std::size_t(c)], c == Col_Name ? Qt::AlignLeft : Qt::AlignHCenter, false,
                          c == Col_MinCover && look.requiredCover && HasCoverBelow(object, *look.requiredCover)
                              ? kWarningColour
                              : kTextColour);
        gridLines(p, cell);
        x += cell.width();
    }
    p.restore();
}

void PaintObjectDetailRow(QPainter &p, const QPoint &at, const object_t &object, int height, const STableLook &look,
                          bool printing)
{
    p.save();
    p.setFont(look.font);
    const QRect left(at.x(), at.y(), look.widths[0], height);
    PaintDetailLeft(p, left);
    gridLines(p, left);
    const QRect cell(at.x() + look.widths[0], at.y(), detailWidth(look), height);
    SDetailOptions options;
    options.font = look.font;
    options.printing = printing;
    options.requiredCover = look.requiredCover;
    p.save();
    p.setClipRect(cell, Qt::IntersectClip);   // within any clip the page has set
    PaintDetail(&p, cell, object, options);
    p.restore();
    gridLines(p, cell);
    p.restore();
}

int PaintObjectRows(QPainter &p, const QPoint &at, const object_t &object, NRowsShown shown, const STableLook &look,
                    bool printing)
{
    const bool detail = ShowsDetail(object, shown);
    PaintObjectHeaderRow(p, at, object, detail, look);
    if (!detail)
        return kHeaderRowHeight;
    const int height = DetailHeightFor(object, look);
    PaintObjectDetailRow(p, at + QPoint(0, kHeaderRowHeight), object, height, look, printing);
    return kHeaderRowHeight + height;
}

QImage RenderTablePicture(const std::vector<const object_t *> &objects, NRowsShown shown, const STableLook &look,
                          bool withColumnHeader)
{
    int height = withColumnHeader ? kColumnHeaderHeight : 0;
    for (const object_t *o : objects)
        height += ObjectRowsHeight(*o, shown, look);
    QImage image(TableWidth(look), std::max(1, height), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    int y = 0;
    if (withColumnHeader) {
        PaintColumnHeaderRow(p, QPoint(0, 0), look);
        y = kColumnHeaderHeight;
    }
    for (const object_t *o : objects)
        y += PaintObjectRows(p, QPoint(0, y), *o, shown, look);
    return image;
}

}   // namespace Render
