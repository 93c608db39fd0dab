// The application icon: the plasma folded into an eight-segment kaleidoscope, on a disc.
#include "datagen.h"

#include <QBuffer>
#include <QColor>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace datagen {

bool Generate_Icon(const Options &options)
{
    if (options.icon_file.isEmpty())
        return true;
    const int size = 256;
    const double centre = (size - 1) / 2.0, radius = 124.0, pi = 3.14159265358979323846;
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const double dx = x - centre, dy = y - centre;
            const double r = std::sqrt(dx * dx + dy * dy);
            // Fold the angle into one eighth of the circle, mirrored, as the kaleidoscope does.
            double a = std::atan2(dy, dx) + pi;
            const double segment = pi / 4.0;
            a = std::fmod(a, segment);
            if (a > segment / 2.0)
                a = segment - a;
            const double u = r * std::cos(a), v = r * std::sin(a);
            const double p = std::sin(u / 17.0) + std::sin(v / 9.0) + std::sin((u + v) / 23.0) + std::sin(r / 13.0);
            const double hue = p / 8.0 + 0.62;
            const double value = std::clamp(0.62 + 0.3 * std::sin(p * 1.9), 0.0, 1.0);
            QColor colour = QColor::fromHsvF(float(hue - std::floor(hue)), 0.9f, float(value));
            // A dark rim, then an antialiased edge into transparency.
            if (r > radius - 7.0)
                colour = colour.darker(260);
            const double alpha = std::clamp(radius + 0.5 - r, 0.0, 1.0);
            colour.setAlphaF(float(alpha));
            row[x] = colour.rgba();
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return false;
    return Write_Text(options.icon_file, png);
}

}  // namespace datagen
