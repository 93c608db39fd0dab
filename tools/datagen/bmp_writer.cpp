#include "datagen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

#include "surface/bmp_file.h"

namespace datagen {

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

bool Write_Bmp24(const QImage &source, const QString &path)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<uint32_t> pixels;
    pixels.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(row[x] & 0xFFFFFFu);
    }
    return Write_File(path, Encode_Bmp24(pixels.data(), image.width(), image.height()));
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
