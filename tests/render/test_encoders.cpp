// The picture encoders: the BMP layout byte by byte, PNG and JPG read back by
// Qt, the name rules, and a file that cannot be written.
#include "render/imageencoders.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace Render;

std::uint32_t le32(const QByteArray &b, int at)
{
    return std::uint32_t(uchar(b[at])) | std::uint32_t(uchar(b[at + 1])) << 8 | std::uint32_t(uchar(b[at + 2])) << 16
           | std::uint32_t(uchar(b[at + 3])) << 24;
}

int le16(const QByteArray &b, int at)
{
    return int(uchar(b[at])) | int(uchar(b[at + 1])) << 8;
}

QImage sample(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, QColor((x * 40) % 256, (y * 60) % 256, 128));
    return image;
}

TEST(ImageEncoders, BmpIsAnUncompressed24BitBitmapWithPaddedRows)
{
    const QImage image = sample(5, 3);   // 15 bytes a row, padded to 16
    const QByteArray bmp = EncodeBmp(image);
    ASSERT_EQ(bmp.size(), 14 + 40 + 16 * 3);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bmp, 2), std::uint32_t(bmp.size()));
    EXPECT_EQ(le32(bmp, 10), 54u);
    EXPECT_EQ(le32(bmp, 14), 40u);
    EXPECT_EQ(le32(bmp, 18), 5u);
    EXPECT_EQ(le32(bmp, 22), 3u);
    EXPECT_EQ(le16(bmp, 26), 1);
    EXPECT_EQ(le16(bmp, 28), 24);
    EXPECT_EQ(le32(bmp, 30), 0u);
    EXPECT_EQ(le32(bmp, 34), 48u);
    // The first row stored is the bottom one, blue-green-red, then one pad byte.
    const QColor bottomLeft = image.pixelColor(0, 2);
    EXPECT_EQ(uchar(bmp[54]), bottomLeft.blue());
    EXPECT_EQ(uchar(bmp[55]), bottomLeft.green());
    EXPECT_EQ(uchar(bmp[56]), bottomLeft.red());
    EXPECT_EQ(bmp[54 + 15], '\0');
    QImage back;
    ASSERT_TRUE(back.loadFromData(bmp, "BMP"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
}

TEST(ImageEncoders, PngAndJpgReadBackWithTheirSize)
{
    const QImage image = sample(120, 45);
    QByteArray png, jpg;
    ASSERT_TRUE(EncodePng(image, png));
    ASSERT_TRUE(EncodeJpg(image, jpg));
    QImage fromPng, fromJpg;
    ASSERT_TRUE(fromPng.loadFromData(png, "PNG"));
    ASSERT_TRUE(fromJpg.loadFromData(jpg, "JPG"));
    EXPECT_EQ(fromPng.convertToFormat(QImage::Format_RGB32), image);   // lossless
    EXPECT_EQ(fromJpg.size(), image.size());
    EXPECT_LT(std::abs(fromJpg.pixelColor(60, 20).red() - image.pixelColor(60, 20).red()), 24);
    QString reason;
    EXPECT_FALSE(EncodeJpg(QImage(), jpg, &reason));
    EXPECT_FALSE(reason.isEmpty());
}

TEST(ImageEncoders, NamesAndFiles)
{
    EXPECT_EQ(ImageFormatForPath(QStringLiteral("/tmp/a.PNG")), NImageFormat::Png);
    EXPECT_EQ(ImageFormatForPath(QStringLiteral("/tmp/a.Bmp")), NImageFormat::Bmp);
    EXPECT_EQ(ImageFormatForPath(QStringLiteral("/tmp/a.jpg")), NImageFormat::Jpg);
    EXPECT_FALSE(ImageFormatForPath(QStringLiteral("a.png")));   // five characters
    EXPECT_FALSE(ImageFormatForPath(QStringLiteral("/tmp/a.jpeg")));
    EXPECT_FALSE(ImageFormatForPath(QStringLiteral("/tmp/a.gif")));

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("table.png"));
    ASSERT_TRUE(WriteImageFile(file, sample(10, 10), NImageFormat::Png));
    EXPECT_EQ(QImage(file).size(), QSize(10, 10));
    QString reason;
    EXPECT_FALSE(
        WriteImageFile(dir.filePath(QStringLiteral("gone/table.bmp")), sample(10, 10), NImageFormat::Bmp, &reason));
    EXPECT_FALSE(reason.isEmpty());
}

}   // namespace
