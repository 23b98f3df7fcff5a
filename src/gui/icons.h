#pragma once
// The program's own pictures, drawn from the SVG files bundled in the
// resources (":/icons/NAME.svg").

#include <QIcon>
#include <QPixmap>
#include <QStringView>

namespace Icons {

// An icon with pixmaps of the usual sizes; a null icon for an unknown name.
QIcon Get(QStringView name);
// One picture of `name` at `size` device-independent pixels.
QPixmap Picture(QStringView name, QSize size, qreal devicePixelRatio = 1.0);

}   // namespace Icons
