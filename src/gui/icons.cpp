#include "gui/icons.h"

#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

// The resources of a static library are registered by hand.
static void registerIcons()
{
    Q_INIT_RESOURCE(icons);
}

namespace Icons {
namespace {

QString resourcePath(QStringView name)
{
    static const bool registered = (registerIcons(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

}   // namespace

QPixmap Picture(QStringView name, QSize size, qreal devicePixelRatio)
{
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid())
        return {};
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon Get(QStringView name)
{
    static QHash<QString, QIcon> cache;
    const QString key = name.toString();
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QPixmap p = Picture(name, QSize(side, side));
        if (p.isNull())
            return {};
        icon.addPixmap(p);
    }
    cache.insert(key, icon);
    return icon;
}

}   // namespace Icons
