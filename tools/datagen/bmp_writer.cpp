#include "datagen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace datagen {

namespace {

void Put16(std::vector<uint8_t> &out, uint32_t value)
{
    out.push_back(uint8_t(value & 0xFF));
    out.push_back(uint8_t((value >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t> &out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::vector<uint8_t> Encode_Bmp24(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const uint32_t width = uint32_t(image.width());
    const uint32_t height = uint32_t(image.height());
    const uint32_t stride = (width * 3 + 3) & ~3u;
    const uint32_t pixel_bytes = stride * height;

    std::vector<uint8_t> out;
    out.reserve(54 + pixel_bytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + pixel_bytes);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);   // positive: bottom-up rows
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);        // no compression
    Put32(out, 0);
    Put32(out, 10000);
    Put32(out, 10000);
    Put32(out, 0);
    Put32(out, 0);

    for (int y = int(height) - 1; y >= 0; --y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (uint32_t x = 0; x < width; ++x) {
            out.push_back(uint8_t(qBlue(row[x])));
            out.push_back(uint8_t(qGreen(row[x])));
            out.push_back(uint8_t(qRed(row[x])));
        }
        for (uint32_t pad = width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

bool Make_Folder(const QString &path)
{
    if (QDir().mkpath(path))
        return true;
    std::fprintf(stderr, "mirravane-datagen: cannot create folder %s\n", qPrintable(path));
    return false;
}

bool Write_File(const QString &path, const std::vector<uint8_t> &bytes)
{
    if (!Make_Folder(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "mirravane-datagen: cannot write %s\n", qPrintable(path));
        return false;
    }
    const qint64 written = file.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
    if (written != qint64(bytes.size())) {
        std::fprintf(stderr, "mirravane-datagen: short write on %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool Write_Text(const QString &path, const QByteArray &text)
{
    return Write_File(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool Write_Bmp24(const QImage &image, const QString &path)
{
    return Write_File(path, Encode_Bmp24(image));
}

void Lift_Dark_Pixels(QImage &image, int floor_value)
{
    image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int r = qRed(row[x]), g = qGreen(row[x]), b = qBlue(row[x]);
            const int top = std::max({r, g, b});
            if (top >= floor_value)
                continue;
            if (top < floor_value / 2) {
                row[x] = qRgb(0, 0, 0);   // faint antialiasing fringe: background
                continue;
            }
            // Scale up keeping the hue, so the pixel stays visibly part of the shape.
            row[x] = qRgb(r * floor_value / top, g * floor_value / top, b * floor_value / top);
        }
    }
}

}  // namespace datagen
