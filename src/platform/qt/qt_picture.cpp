#include "platform/qt/qt_picture.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include <QPainter>

namespace {

// One table for every 16-bit value: a lookup per pixel instead of three expansions.
template <Pixel_Kind K>
const uint32_t* Table_16() {
    static const auto table = [] {
        auto t = std::make_unique<uint32_t[]>(65536);
        for (uint32_t v = 0; v < 65536; ++v)
            t[v] = 0xFF000000u | (Red_Of<K>(v) << 16) | (Green_Of<K>(v) << 8) | Blue_Of<K>(v);
        return t;
    }();
    return table.get();
}

}  // namespace

QRect Fit_Picture(const QSize& picture, const QRect& area) {
    if (picture.isEmpty() || area.isEmpty()) return {};
    const QSize scaled = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return QRect(area.left() + (area.width() - scaled.width()) / 2, area.top() + (area.height() - scaled.height()) / 2,
                 scaled.width(), scaled.height());
}

bool Wraps(const QImage& image, const DDSurface& primary) {
    return !image.isNull() && image.constBits() == primary.bits() && image.width() == primary.width() &&
           image.height() == primary.height() && image.bytesPerLine() == primary.pitch();
}

void Convert_Primary(const DDSurface& primary, const RECT& area, QImage& image) {
    const int width = primary.width(), height = primary.height();
    if (width <= 0 || height <= 0) return;
    if (primary.bpp() == 32) {
        // No copy a frame: painting reads the surface itself.
        if (!Wraps(image, primary)) image = QImage(primary.bits(), width, height, primary.pitch(), QImage::Format_RGB32);
        return;
    }
    if (image.width() != width || image.height() != height || image.format() != QImage::Format_RGB32) {
        image = QImage(width, height, QImage::Format_RGB32);
        image.fill(Qt::black);
    }
    const int left = std::max(0, static_cast<int>(area.left));
    const int top = std::max(0, static_cast<int>(area.top));
    const int right = std::min(width, static_cast<int>(area.right));
    const int bottom = std::min(height, static_cast<int>(area.bottom));
    if (left >= right || top >= bottom) return;
    const int count = right - left;
    const uint8_t* bits = primary.bits();
    const int pitch = primary.pitch();

    switch (primary.pixel_format().kind) {
    case Pixel_Kind::Index8: {
        uint32_t lookup[256];
        const DDPalette* palette = primary.palette();
        for (int i = 0; i < 256; ++i) {
            if (palette) {
                const PALETTEENTRY& e = palette->entries()[i];
                lookup[i] = 0xFF000000u | (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
            } else {
                lookup[i] = 0xFF000000u | (uint32_t(i) << 16) | (uint32_t(i) << 8) | uint32_t(i);  // no palette: grey
            }
        }
        for (int y = top; y < bottom; ++y) {
            const uint8_t* in = bits + size_t(y) * pitch + left;
            auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y)) + left;
            for (int x = 0; x < count; ++x) out[x] = lookup[in[x]];
        }
        break;
    }
    case Pixel_Kind::Rgb555:
    case Pixel_Kind::Rgb565: {
        const uint32_t* table = primary.pixel_format().kind == Pixel_Kind::Rgb565 ? Table_16<Pixel_Kind::Rgb565>()
                                                                                 : Table_16<Pixel_Kind::Rgb555>();
        for (int y = top; y < bottom; ++y) {
            const uint8_t* row = bits + size_t(y) * pitch + size_t(left) * 2;
            auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y)) + left;
            for (int x = 0; x < count; ++x) out[x] = table[row[x * 2] | (row[x * 2 + 1] << 8)];
        }
        break;
    }
    case Pixel_Kind::Rgb24:
        for (int y = top; y < bottom; ++y) {
            const uint8_t* in = bits + size_t(y) * pitch + size_t(left) * 3;
            auto* out = reinterpret_cast<uint32_t*>(image.scanLine(y)) + left;
            for (int x = 0; x < count; ++x, in += 3)
                out[x] = 0xFF000000u | (uint32_t(in[2]) << 16) | (uint32_t(in[1]) << 8) | in[0];
        }
        break;
    case Pixel_Kind::Rgb32:  // shown from the surface itself, above
    default: break;
    }
}

void Picture_Scaler::Learn(const QSize& from, const QSize& to) {
    // A ramp of indices drawn by QPainter tells which source column (and row) lands where.
    auto learn = [](int from_length, int to_length, bool across) {
        QImage ramp(across ? from_length : 1, across ? 1 : from_length, QImage::Format_RGB32);
        for (int i = 0; i < from_length; ++i)
            reinterpret_cast<uint32_t*>(across ? ramp.scanLine(0) : ramp.scanLine(i))[across ? i : 0] = 0xFF000000u | uint32_t(i);
        QImage drawn(across ? to_length : 1, across ? 1 : to_length, QImage::Format_RGB32);
        drawn.fill(0);
        {
            QPainter painter(&drawn);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(drawn.rect(), ramp);
        }
        std::vector<int> map(static_cast<size_t>(to_length));
        for (int i = 0; i < to_length; ++i) {
            const uint32_t v = across ? reinterpret_cast<const uint32_t*>(drawn.constScanLine(0))[i]
                                      : reinterpret_cast<const uint32_t*>(drawn.constScanLine(i))[0];
            map[static_cast<size_t>(i)] = std::min(static_cast<int>(v & 0xFFFFFFu), from_length - 1);
        }
        return map;
    };
    columns_ = learn(from.width(), to.width(), true);
    rows_ = learn(from.height(), to.height(), false);
    from_ = from;
    to_ = to;
}

void Picture_Scaler::Scale(const QImage& in, const QSize& size, QImage& out) {
    if (in.isNull() || size.isEmpty() || in.format() != QImage::Format_RGB32) return;
    if (out.size() != size || out.format() != QImage::Format_RGB32) out = QImage(size, QImage::Format_RGB32);
    Scale_Into(in, size, out, QPoint(0, 0));
}

bool Picture_Scaler::Scale_Into(const QImage& in, const QSize& size, QImage& out, const QPoint& at) {
    // Opaque pixels are the same bytes in any of these formats.
    const bool writable = out.format() == QImage::Format_RGB32 || out.format() == QImage::Format_ARGB32 ||
                          out.format() == QImage::Format_ARGB32_Premultiplied;
    if (in.isNull() || size.isEmpty() || in.format() != QImage::Format_RGB32 || !writable || !out.rect().contains(QRect(at, size)))
        return false;
    if (in.size() != from_ || size != to_) Learn(in.size(), size);
    const int* columns = columns_.data();
    const size_t row_bytes = size_t(size.width()) * 4;
    int last = -1;
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(out.scanLine(at.y() + y)) + at.x();
        const int from_row = rows_[static_cast<size_t>(y)];
        if (from_row == last) {
            std::memcpy(row, reinterpret_cast<const uint32_t*>(out.constScanLine(at.y() + y - 1)) + at.x(), row_bytes);
            continue;
        }
        const auto* source = reinterpret_cast<const uint32_t*>(in.constScanLine(from_row));
        for (int x = 0; x < size.width(); ++x) row[x] = 0xFF000000u | source[columns[x]];
        last = from_row;
    }
    return true;
}
