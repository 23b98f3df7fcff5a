#include "render/tablecells.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace Render {
namespace {

constexpr int kTextInset = 4;
const QSize kButtonSize(22, 19);
const QPoint kButtonOffset(5, 1);

QColor blend(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

}   // namespace

void PaintGradient(QPainter &painter, const QRect &rect, const SCorners &c)
{
    if (rect.isEmpty())
        return;
    if (c.topLeft == c.topRight && c.topLeft == c.bottomLeft && c.topLeft == c.bottomRight) {
        painter.fillRect(rect, c.topLeft);
    } else if (c.topLeft == c.bottomLeft && c.topRight == c.bottomRight) {
        QLinearGradient g(rect.topLeft(), rect.topRight());
        g.setColorAt(0, c.topLeft);
        g.setColorAt(1, c.topRight);
        painter.fillRect(rect, g);
    } else if (c.topLeft == c.topRight && c.bottomLeft == c.bottomRight) {
        QLinearGradient g(rect.topLeft(), rect.bottomLeft());
        g.setColorAt(0, c.topLeft);
        g.setColorAt(1, c.bottomLeft);
        painter.fillRect(rect, g);
    } else {
        // Four different corners: blend line by line (cells are small).
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            const double t = rect.height() > 1 ? double(y - rect.top()) / (rect.height() - 1) : 0.0;
            QLinearGradient g(rect.left(), y, rect.right(), y);
            g.setColorAt(0, blend(c.topLeft, c.bottomLeft, t));
            g.setColorAt(1, blend(c.topRight, c.bottomRight, t));
            painter.fillRect(QRect(rect.left(), y, rect.width(), 1), g);
        }
    }
}

void PaintTextCell(QPainter &painter, const QRect &rect, const QString &text, Qt::Alignment alignment, bool selected,
                   const QColor &colour)
{
    painter.fillRect(rect, selected ? kSelectedCellBackground : kRowBackground);
    painter.save();
    painter.setClipRect(rect);
    painter.setPen(colour);
    const QRect inner = rect.adjusted(kTextInset, 0, -kTextInset, 0);
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, inner.width());
    painter.drawText(inner, int(alignment | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
    painter.restore();
}

bool TextCellFits(const QFontMetrics &metrics, const QRect &rect, const QString &text)
{
    return metrics.horizontalAdvance(text) <= rect.width() - 2 * kTextInset;
}

QRect GripperButtonRect(const QRect &cell)
{
    return QRect(cell.topLeft() + kButtonOffset, kButtonSize);
}

void PaintExpandButton(QPainter &painter, const QRect &r, bool expand)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(r).adjusted(2.5, 1.5, -2.5, -1.5);
    const double side = std::min(disc.width(), disc.height());
    const QRectF round(disc.center().x() - side / 2, disc.center().y() - side / 2, side, side);
    QLinearGradient shade(round.topLeft(), round.bottomLeft());
    shade.setColorAt(0, QColor(255, 255, 255));
    shade.setColorAt(1, QColor(214, 230, 238));
    painter.setPen(QPen(QColor(120, 160, 176), 1.0));
    painter.setBrush(shade);
    painter.drawEllipse(round);
    // A double chevron: down to expand, up to collapse.
    painter.setPen(QPen(QColor(0, 111, 127), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const double cx = round.center().x();
    const double w = side * 0.22;
    for (double dy : {-side * 0.14, side * 0.1}) {
        const double y = round.center().y() + (expand ? dy : -dy);
        const double tip = expand ? w * 0.9 : -w * 0.9;
        QPainterPath chevron;
        chevron.moveTo(cx - w, y - tip / 2);
        chevron.lineTo(cx, y + tip / 2);
        chevron.lineTo(cx + w, y - tip / 2);
        painter.drawPath(chevron);
    }
    painter.restore();
}

void PaintGripper(QPainter &painter, const QRect &rect, const QString &number, bool expanded)
{
    painter.fillRect(rect, kGripperBackground);
    PaintExpandButton(painter, GripperButtonRect(rect), !expanded);
    painter.save();
    painter.setClipRect(rect);
    painter.setPen(kTextColour);
    painter.drawText(rect.adjusted(kTextInset, 0, -kTextInset, 0),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, number);
    painter.restore();
}

void PaintDetailLeft(QPainter &painter, const QRect &rect)
{
    if (rect.height() < 1)
        return;
    PaintGradient(painter, rect, {kGripperBackground, kGripperBackground, kRowBackground, kRowBackground});
}

}   // namespace Render
