#pragma once
// Pictures of the table as files: PNG, JPG at quality 90 and BMP as an
// uncompressed 24-bit bitmap, through Qt's image writers. Each picture is
// encoded into memory and written in one piece.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace Render {

enum class NImageFormat { Png, Bmp, Jpg };

inline constexpr int kJpegQuality = 90;

// The format a chosen path asks for: longer than 5 characters and ending in
// ".png", ".bmp" or ".jpg" in any case; nothing otherwise.
std::optional<NImageFormat> ImageFormatForPath(const QString &path);

// False, with the library's reason, when the picture cannot be encoded.
bool EncodePng(const QImage &image, QByteArray &out, QString *error = nullptr);
bool EncodeJpg(const QImage &image, QByteArray &out, QString *error = nullptr);
QByteArray EncodeBmp(const QImage &image);
bool EncodeImage(const QImage &image, NImageFormat format, QByteArray &out, QString *error = nullptr);

// Encodes and writes the file in one piece; the old file stays when anything
// fails. False with the reason.
bool WriteImageFile(const QString &path, const QImage &image, NImageFormat format, QString *error = nullptr);

}   // namespace Render
