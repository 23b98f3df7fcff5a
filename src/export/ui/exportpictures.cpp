#include "export/ui/exportpictures.h"

#include "render/tablecells.h"
#include "res/resources.h"

#include <QPainter>
#include <QPainterPath>

namespace ExportPictures {

namespace {

const QColor kHeaderStrip(200, 200, 200);
const QColor kRowStrip(200, 206, 226);
const QColor kDimmed(228, 231, 238);
const QColor kBar(0, 160, 191);
const QColor kSheetLine(0, 160, 191);
const QColor kBoard(196, 160, 110);

struct SRow
{
    bool detail = false;
    bool dimmed = false;
};

struct SStrips
{
    int header;
    int row;
    int detail;
};

int stripsHeight(const std::vector<SRow> &rows, const SStrips &size)
{
    int h = size.header + 1;
    for (const SRow &r : rows)
        h += size.row + 1 + (r.detail ? size.detail + 1 : 0);
    return h - 1;
}

// A table in strips: the column header, then each object's row and, when
// shown, its detail with a few bars.
void paintStrips(QPainter &p, const QRect &at, const std::vector<SRow> &rows, const SStrips &size)
{
    const int gripper = std::max(3, at.width() / 7);
    p.fillRect(QRect(at.left(), at.top(), at.width(), size.header), kHeaderStrip);
    int y = at.top() + size.header + 1;
    for (const SRow &r : rows) {
        p.fillRect(QRect(at.left(), y, gripper, size.row), r.dimmed ? kDimmed : Render::kGripperBackground);
        p.fillRect(QRect(at.left() + gripper + 1, y, at.width() - gripper - 1, size.row),
                   r.dimmed ? kDimmed : kRowStrip);
        y += size.row + 1;
        if (r.detail) {
            const QRect detail(at.left(), y, at.width(), size.detail);
            Render::PaintDetailLeft(p, QRect(detail.left(), detail.top(), gripper, detail.height()));
            p.fillRect(detail.adjusted(gripper, 0, 0, 0), Render::kRowBackground);
            const int bars = 5;
            const int barWidth = std::max(1, (detail.width() - gripper - 4) / (2 * bars));
            for (int b = 0; b < bars; ++b) {
                const int h = std::max(1, (detail.height() - 2) * (3 + (b * 5) % 7) / 10);
                p.fillRect(QRect(detail.left() + gripper + 3 + b * 2 * barWidth, detail.bottom() - h, barWidth, h),
                           kBar);
            }
            y += size.detail + 1;
        }
    }
}

void paintSheet(QPainter &p, const QRectF &r, int lines)
{
    p.setRenderHint(QPainter::Antialiasing);
    const double fold = r.width() * 0.3;
    p.setPen(QPen(Render::kTextColour, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF{r.topLeft(), QPointF(r.right() - fold, r.top()), QPointF(r.right(), r.top() + fold),
                            r.bottomRight(), r.bottomLeft()});
    p.drawPolyline(QPolygonF{QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                             QPointF(r.right(), r.top() + fold)});
    p.setPen(QPen(kSheetLine, 1));
    const double step = (r.height() - fold - 4) / (lines + 1);
    for (int i = 1; i <= lines; ++i) {
        const double y = r.top() + fold + 2 + i * step;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void paintClipboard(QPainter &p, const QRectF &r)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Render::kTextColour, 1));
    p.setBrush(kBoard);
    p.drawRoundedRect(r.adjusted(0, r.height() * 0.08, 0, 0), 2, 2);
    paintSheet(p, r.adjusted(r.width() * 0.15, r.height() * 0.22, -r.width() * 0.15, -r.height() * 0.08), 2);
    p.setBrush(QColor(150, 156, 170));
    const double clip = r.width() * 0.45;
    p.drawRoundedRect(QRectF(r.center().x() - clip / 2, r.top(), clip, r.height() * 0.18), 1.5, 1.5);
}

std::vector<SRow> rowsFor(Render::NRowsShown what, int objects, int expandedObject)
{
    std::vector<SRow> rows(static_cast<std::size_t>(objects));
    for (int i = 0; i < objects; ++i)
        rows[std::size_t(i)].detail = what == Render::NRowsShown::Details
                                      || (what == Render::NRowsShown::AsIs && i == expandedObject);
    return rows;
}

}   // namespace

COptionPanel::Painter Icon(NIcon icon)
{
    return [icon](QPainter &p, const QRect &r) {
        const SStrips small{3, 3, 6};
        const QRect table = r.adjusted(2, 1, -2, -1);
        switch (icon) {
        case NIcon::HeadersOnly: paintStrips(p, table, rowsFor(Render::NRowsShown::HeadersOnly, 4, -1), small); break;
        case NIcon::AsIs: paintStrips(p, table, rowsFor(Render::NRowsShown::AsIs, 3, 1), small); break;
        case NIcon::Details: paintStrips(p, table, rowsFor(Render::NRowsShown::Details, 2, -1), small); break;
        case NIcon::OneFile: paintSheet(p, QRectF(r.center().x() - 9.5, r.top() + 0.5, 19, r.height() - 1), 3); break;
        case NIcon::EachFile:
            for (int i = 2; i >= 0; --i)
                paintSheet(p, QRectF(r.left() + 4.5 + i * 6, r.top() + 0.5 + i * 2, 15, r.height() - 5), 2);
            break;
        case NIcon::Clipboard:
            paintClipboard(p, QRectF(r.center().x() - 10.5, r.top() + 0.5, 21, r.height() - 1));
            break;
        case NIcon::All: paintStrips(p, table, rowsFor(Render::NRowsShown::HeadersOnly, 4, -1), small); break;
        case NIcon::Selection: {
            std::vector<SRow> rows = rowsFor(Render::NRowsShown::HeadersOnly, 4, -1);
            rows[0].dimmed = rows[3].dimmed = true;
            paintStrips(p, table, rows, small);
            break;
        }
        }
    };
}

COptionPanel::SOption Option(int textId, const char *name, NIcon icon)
{
    return {Res::LoadString(textId), QString::fromLatin1(name), Icon(icon)};
}

std::vector<QRect> PaintGraphicPreview(QPainter &p, const QRect &area, Render::NRowsShown what, NExportTarget target,
                                       NExportData data)
{
    const SStrips size{5, 6, 16};
    const bool all = data == NExportData::All;
    std::vector<std::vector<SRow>> pictures;
    if (target == NExportTarget::EachFile) {
        const int count = all ? 3 : 2;
        for (int i = 0; i < count; ++i)
            pictures.push_back(rowsFor(what, 1, i == 1 ? 0 : -1));
    } else {
        std::vector<SRow> rows = rowsFor(what, 3, 1);
        if (all)
            rows.push_back({false, true});
        pictures.push_back(rows);
    }
    const int width = 76;
    const int left = area.left() + (area.width() - width) / 2 + 6;
    std::vector<QRect> rects;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const QRect sheet(left, area.top() + 6 + int(i) * kPictureSpacing, width, stripsHeight(pictures[i], size) + 6);
        p.fillRect(sheet, Qt::white);
        p.setPen(COptionPanel::kFrame);
        p.drawRect(sheet.adjusted(0, 0, -1, -1));
        paintStrips(p, sheet.adjusted(3, 3, -3, -3), pictures[i], size);
        rects.push_back(sheet);
    }
    // The target's mark over each picture's lower left corner.
    for (const QRect &sheet : rects) {
        const QRectF mark(sheet.left() - 11.5, sheet.bottom() - 16.5, 18, 23);
        p.save();
        if (target == NExportTarget::Clipboard)
            paintClipboard(p, mark);
        else
            paintSheet(p, mark, 3);
        p.restore();
    }
    return rects;
}

void PaintCsvPreview(QPainter &p, const QRect &area, NExportTarget target)
{
    const QPointF c = QRectF(area).center();
    switch (target) {
    case NExportTarget::OneFile: paintSheet(p, QRectF(c.x() - 30, c.y() - 60, 60, 85), 6); break;
    case NExportTarget::EachFile:
        for (int i = 2; i >= 0; --i)
            paintSheet(p, QRectF(c.x() - 50 + i * 22, c.y() - 70 + i * 14, 55, 75), 5);
        break;
    case NExportTarget::Clipboard: paintClipboard(p, QRectF(c.x() - 40, c.y() - 65, 80, 100)); break;
    }
}

}   // namespace ExportPictures
