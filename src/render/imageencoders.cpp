#include "render/imageencoders.h"

#include "res/resources.h"

#include <QSaveFile>
#include <QScopeGuard>

#include <csetjmp>
#include <memory>
#include <new>
#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace Render {
namespace {

void putLe16(QByteArray &b, int offset, std::uint16_t v)
{
    b[offset] = char(v & 0xFF);
    b[offset + 1] = char(v >> 8);
}

void putLe32(QByteArray &b, int offset, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((v >> (8 * i)) & 0xFF);
}

// libpng reports errors by longjmp; the message is kept for the caller.
struct SPngTarget
{
    QByteArray *out;
    QString error;
};

void pngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto *target = static_cast<SPngTarget *>(png_get_io_ptr(png));
    // No C++ exception may cross libpng's C frames: report it libpng's way.
    try {
        target->out->append(reinterpret_cast<const char *>(data), qsizetype(length));
    } catch (...) {
        png_error(png, "out of memory");
    }
}

void pngFlush(png_structp) {}

void pngError(png_structp png, png_const_charp message)
{
    auto *target = static_cast<SPngTarget *>(png_get_error_ptr(png));
    target->error = QString::fromLocal8Bit(message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

struct SJpegError
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegError(j_common_ptr info)
{
    auto *e = reinterpret_cast<SJpegError *>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->jump, 1);
}

} // namespace

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

QByteArray EncodeBmp(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int width = image.width();
    const int height = image.height();
    const int stride = (width * 3 + 3) & ~3;   // rows padded to 4 bytes
    const std::uint64_t wide = std::uint64_t(stride) * std::uint64_t(height);
    if (wide > 0xFFFFFFFFull - 54)
        throw std::bad_alloc();   // a bitmap file cannot describe it
    const std::uint32_t pixels = std::uint32_t(wide);
    QByteArray out(14 + 40, '\0');
    out[0] = 'B';
    out[1] = 'M';
    putLe32(out, 2, 14 + 40 + pixels);   // file size
    putLe32(out, 10, 14 + 40);           // offset of the pixels
    putLe32(out, 14, 40);                // header size
    putLe32(out, 18, std::uint32_t(width));
    putLe32(out, 22, std::uint32_t(height));   // positive: rows from the bottom up
    putLe16(out, 26, 1);                 // planes
    putLe16(out, 28, 24);                // bits per pixel
    putLe32(out, 30, 0);                 // no compression
    putLe32(out, 34, pixels);
    putLe32(out, 38, 2835);              // 72 dpi in pixels per metre
    putLe32(out, 42, 2835);
    out.reserve(out.size() + qsizetype(pixels));
    QByteArray row(stride, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = char(line[3 * x + 2]);       // blue
            row[3 * x + 1] = char(line[3 * x + 1]);   // green
            row[3 * x + 2] = char(line[3 * x]);       // red
        }
        out.append(row);
    }
    return out;
}

bool EncodePng(const QImage &source, QByteArray &out, QString *error)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    out.clear();
    SPngTarget target{&out, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &target, pngError, pngWarning);
    if (!png) {
        if (error)
            *error = Res::LoadString(Res::IDS_GRAPHIC_ENCODING_FAILED);
        return false;
    }
    png_infop info = png_create_info_struct(png);
    // Rows are pointers into the image; nothing to free after a jump.
    std::vector<png_bytep> rows(std::size_t(image.height()));
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        if (error)
            *error = Res::LoadString(Res::IDS_GRAPHIC_ENCODING_FAILED);
        out.clear();
        return false;
    }
    png_set_write_fn(png, &target, pngWrite, pngFlush);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (int y = 0; y < image.height(); ++y)
        rows[std::size_t(y)] = const_cast<png_bytep>(image.constScanLine(y));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool EncodeJpg(const QImage &source, QByteArray &out, QString *error)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    out.clear();
    if (image.isNull() || image.width() == 0 || image.height() == 0) {
        if (error)
            *error = Res::LoadString(Res::IDS_GRAPHIC_TOO_LARGE);
        return false;
    }
    // What libjpeg changes after setjmp lives on the heap, so its values
    // are known after a jump.
    struct SState
    {
        jpeg_compress_struct info{};
        SJpegError jerr{};
        unsigned char *buffer = nullptr;
        unsigned long size = 0;
    };
    const std::unique_ptr<SState> state = std::make_unique<SState>();
    jpeg_compress_struct &info = state->info;
    SJpegError &jerr = state->jerr;
    info.err = jpeg_std_error(&jerr.manager);
    jerr.manager.error_exit = jpegError;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_compress(&info);
        std::free(state->buffer);
        if (error)
            *error = Res::LoadString(Res::IDS_GRAPHIC_ENCODING_FAILED);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &state->buffer, &state->size);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kJpegQuality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const auto release = qScopeGuard([&] { std::free(state->buffer); });
    out = QByteArray(reinterpret_cast<const char *>(state->buffer), qsizetype(state->size));
    return true;
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

} // namespace Render
