// TextOutA: the string is rasterised by Qt in the default font without antialiasing,
// and the covered pixels are written in the context's text colour.
#include <QtGui/QFont>
#include <QtGui/QFontDatabase>
#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/display/ddraw.h"
#include "platform/gdi/gdi.h"

namespace {

constexpr int Text_Pixel_Size = 13;

// Fonts need a GUI application. The program's own backend makes one before any text is
// drawn; tests and the command-line tools get an off-screen one here.
bool Ensure_Gui_Application() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return true;
    if (QCoreApplication::instance()) return false;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "mirravane";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends, like the program's own application object would.
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    return application != nullptr;
}

const QFont& Text_Font() {
    static QFont font = [] {
        QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        f.setPixelSize(Text_Pixel_Size);
        f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }();
    return font;
}

// The coverage of the last string drawn; the frame-rate line repeats most frames.
struct Text_Mask {
    std::string text;
    QImage image;
    int width = 0, height = 0;
};

bool Rasterise(std::string_view text, Text_Mask& mask) {
    if (mask.text == text && !mask.image.isNull()) return true;
    const QString string = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics metrics(Text_Font());
    mask.width = std::max(1, metrics.horizontalAdvance(string));
    mask.height = std::max(1, metrics.height());
    if (mask.image.width() < mask.width || mask.image.height() < mask.height)
        mask.image = QImage(std::max(mask.width, mask.image.width()), std::max(mask.height, mask.image.height()),
                            QImage::Format_ARGB32);
    if (mask.image.isNull()) return false;
    mask.image.fill(Qt::transparent);
    {
        QPainter painter(&mask.image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(Text_Font());
        painter.setPen(Qt::white);
        painter.drawText(0, metrics.ascent(), string);
    }
    mask.text = text;
    return true;
}

}  // namespace

bool TextOutA(HDC dc, int x, int y, const char* text, int length) {
    if (!dc || !text || length < 0) return false;
    DDSurface* surface = dc->surface;
    if (!surface || surface->is_locked() || surface->IsLost() != DD_OK) return false;
    if (length == 0) return true;
    if (!Ensure_Gui_Application()) return false;

    static Text_Mask mask;
    if (!Rasterise(std::string_view(text, static_cast<size_t>(length)), mask)) return false;

    const uint32_t ink = Colour_To_Pixel(surface, dc->text_colour);
    const bool opaque = dc->background_mode == OPAQUE;
    const uint32_t paper = opaque ? Colour_To_Pixel(surface, dc->background_colour) : 0;
    const int64_t X = x, Y = y;
    const int y0 = static_cast<int>(std::clamp<int64_t>(-Y, 0, mask.height));
    const int y1 = static_cast<int>(std::clamp<int64_t>(surface->height() - Y, 0, mask.height));
    const int x0 = static_cast<int>(std::clamp<int64_t>(-X, 0, mask.width));
    const int x1 = static_cast<int>(std::clamp<int64_t>(surface->width() - X, 0, mask.width));
    for (int j = y0; j < y1; ++j) {
        const auto* row = reinterpret_cast<const QRgb*>(mask.image.constScanLine(j));
        for (int i = x0; i < x1; ++i) {
            if (qAlpha(row[i]) >= 128)
                surface->Set_Pixel(x + i, y + j, ink);
            else if (opaque)
                surface->Set_Pixel(x + i, y + j, paper);
        }
    }
    return true;
}
