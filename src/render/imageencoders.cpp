#include "render/imageencoders.h"

#include "res/resources.h"

#include <QBuffer>
#include <QImageWriter>
#include <QSaveFile>

#include <new>

namespace Render {
namespace {

// Qt's writers sit on the same libpng and libjpeg; BMP is Qt's own 24-bit
// bitmap for pictures without transparency.
bool encode(const QImage &image, const char *format, int quality, QByteArray &out, QString *error)
{
    out.clear();
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (writer.write(image))
        return true;
    out.clear();
    if (error)
        *error = writer.errorString();
    return false;
}

}   // namespace

std::optional<NImageFormat> ImageFormatForPath(const QString &path)
{
    if (path.size() <= 5)
        return std::nullopt;
    const QString ending = path.right(4).toLower();
    if (ending == u".png")
        return NImageFormat::Png;
    if (ending == u".bmp")
        return NImageFormat::Bmp;
    if (ending == u".jpg")
        return NImageFormat::Jpg;
    return std::nullopt;
}

bool EncodePng(const QImage &image, QByteArray &out, QString *error)
{
    return encode(image, "png", -1, out, error);
}

bool EncodeJpg(const QImage &image, QByteArray &out, QString *error)
{
    return encode(image, "jpg", kJpegQuality, out, error);
}

QByteArray EncodeBmp(const QImage &image)
{
    QByteArray out;
    encode(image, "bmp", -1, out, nullptr);
    return out;
}

bool EncodeImage(const QImage &image, NImageFormat format, QByteArray &out, QString *error)
{
    if (image.isNull()) {
        if (error)
            *error = Res::LoadString(Res::IDS_GRAPHIC_TOO_LARGE);
        return false;
    }
    try {
        switch (format) {
        case NImageFormat::Png: return EncodePng(image, out, error);
        case NImageFormat::Jpg: return EncodeJpg(image, out, error);
        case NImageFormat::Bmp: out = EncodeBmp(image); return true;
        }
    } catch (const std::bad_alloc &) {
        // Very large pictures: the copies for encoding do not fit.
        out.clear();
        if (error)
            *error = Res::LoadString(Res::IDS_GRAPHIC_ENCODING_FAILED);
    }
    return false;
}

bool WriteImageFile(const QString &path, const QImage &image, NImageFormat format, QString *error)
{
    QByteArray bytes;
    if (!EncodeImage(image, format, bytes, error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

}   // namespace Render
