// Renders the program's SVG icon into the PNG sizes the desktop's icon theme
// asks for, so the installed icons always match the window icon.
// Runs at build time; the icon has no text, so it needs no fonts and no
// GUI application, only the raster painter.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    bool sizeOk = false;
    const int side = argc == 4 ? QString::fromLocal8Bit(argv[2]).toInt(&sizeOk) : 0;
    if (!sizeOk || side <= 0) {
        std::fputs("usage: mkicons ICON.svg SIZE OUT.png\n", stderr);
        return 1;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "mkicons: %s: not a readable SVG picture\n", argv[1]);
        return 2;
    }
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "mkicons: %s: cannot be written\n", argv[3]);
        return 2;
    }
    return 0;
}
