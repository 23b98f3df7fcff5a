// How a plain cell of the table reads, judged from the painted pixels.
#include "render/tablecells.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The relative luminance and contrast ratio of the web's accessibility rules.
double luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The background (a corner) and the text's strongest pixel against it.
double paintedContrast(bool selected)
{
    QImage image(120, 22, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        Render::PaintTextCell(p, image.rect(), QStringLiteral("Wall A, north"), Qt::AlignLeft, selected);
    }
    const QRgb background = image.pixel(1, 1);
    double best = 1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, contrast(image.pixel(x, y), background));
    return best;
}

TEST(TableCells, SelectedAndPlainTextReadAtFourAndAHalfToOneAtLeast)
{
    EXPECT_GE(paintedContrast(false), 4.5);
    EXPECT_GE(paintedContrast(true), 4.5);
}

TEST(TableCells, ASelectedCellStandsOutFromAPlainOne)
{
    QImage plain(40, 22, QImage::Format_RGB32), selected(40, 22, QImage::Format_RGB32);
    for (auto [image, flag] : {std::pair{&plain, false}, std::pair{&selected, true}}) {
        QPainter p(image);
        Render::PaintTextCell(p, image->rect(), QString(), Qt::AlignLeft, flag);
    }
    EXPECT_GT(contrast(plain.pixel(5, 5), selected.pixel(5, 5)), 1.2);
}

}   // namespace
