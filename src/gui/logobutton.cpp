#include "gui/logobutton.h"

#include "gui/icons.h"

#include <QPainter>

namespace {

const QSize kPictureSize(132, 32);

}   // namespace

CLogoButton::CLogoButton(QWidget *parent) : QAbstractButton(parent)
{
    m_picture = Icons::Picture(u"logo", kPictureSize, devicePixelRatioF());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

QSize CLogoButton::sizeHint() const
{
    return kPictureSize + QSize(12, 6);
}

void CLogoButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_hover || isDown()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Midlight));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
    const QPoint at((width() - kPictureSize.width()) / 2, (height() - kPictureSize.height()) / 2);
    painter.drawPixmap(at, m_picture);
}

void CLogoButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CLogoButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
