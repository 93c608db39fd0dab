// The About picture and the custom overlays.
#include "datagen.h"

#include <QLinearGradient>
#include <QPainter>

#include <cmath>

namespace datagen {

namespace {

constexpr double Pi = 3.14159265358979323846;

// Fits a text outline into the box, centred, keeping its proportions.
// A stretch above 1 lets the text grow taller than its proportions to fill the box.
QPainterPath Fit_Text(const QString &font_file, const QString &text, const QRectF &box, double stretch = 1.0)
{
    QPainterPath path = Text_Path(font_file, 100, text);
    const QRectF bounds = path.boundingRect();
    const double scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    const double scale_y = std::min(scale * stretch, box.height() / bounds.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scale, scale_y);
    t.translate(-bounds.center().x(), -bounds.center().y());
    return t.map(path);
}

void Draw_Caption(QPainter &p, const QPainterPath &path, QColor top, QColor bottom, double outline)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 160));
    p.drawPath(path.translated(2, 2));
    const QRectF b = path.boundingRect();
    QLinearGradient g(b.topLeft(), b.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(QColor(20, 10, 30), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QBrush(g));
    p.drawPath(path);
}

// Pure white opening on pure black: the program keys on exact white.
QImage Threshold(const QImage &image)
{
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] = qGray(row[x]) >= 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    }
    return out;
}

}  // namespace

bool Generate_About(const Options &options)
{
    const int width = 320, height = 240;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double dx = x - 160.0, dy = y - 120.0;
            const double v = std::sin(x / 19.0) + std::sin(y / 13.0) + std::sin((x + y) / 27.0) +
                             std::sin(std::sqrt(dx * dx + dy * dy) / 11.0);
            const double hue = v / 8.0 + 0.5;
            const double value = 0.55 + 0.2 * std::sin(v * 1.7);
            row[x] = QColor::fromHsvF(float(hue - std::floor(hue)), 0.85f, float(value)).rgb();
        }
    }

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawRoundedRect(QRectF(18, 44, 284, 156), 14, 14);

    Draw_Caption(p, Fit_Text(options.sans_bold_font, "Mirravane", QRectF(30, 56, 260, 64)),
                 QColor(255, 250, 215), QColor(255, 170, 40), 2.5);
    Draw_Caption(p, Fit_Text(options.sans_bold_font, "version 1.5", QRectF(100, 132, 120, 18)),
                 QColor(255, 255, 255), QColor(200, 220, 255), 1.2);
    Draw_Caption(p, Fit_Text(options.condensed_bold_font, "colour plasma & kaleidoscope", QRectF(40, 160, 240, 22)),
                 QColor(220, 255, 255), QColor(120, 200, 255), 1.2);
    p.end();
    return Write_Bmp24(image, options.out_dir + "/Data/Bmp/About.bmp");
}

bool Generate_Overlays(const Options &options)
{
    const int width = 400, height = 300;
    const QPointF centre(width / 2.0, height / 2.0);

    struct Overlay {
        const char *name;
        QPainterPath path;
    };
    std::vector<Overlay> overlays;

    overlays.push_back({"heart", Heart_Path(centre + QPointF(0, 8), 150)});

    QPainterPath keyhole;
    keyhole.addEllipse(QPointF(200, 105), 62, 62);
    QPolygonF slot;
    slot << QPointF(172, 140) << QPointF(228, 140) << QPointF(262, 278) << QPointF(138, 278) << QPointF(172, 140);
    QPainterPath slot_path;
    slot_path.addPolygon(slot);
    overlays.push_back({"keyhole", keyhole.united(slot_path)});

    // Round glass split into four panes by the window's cross bars.
    QPainterPath porthole;
    porthole.addEllipse(centre, 136, 136);
    QPainterPath upright, crossbar;
    upright.addRect(QRectF(centre.x() - 5, 0, 10, height));
    crossbar.addRect(QRectF(0, centre.y() - 5, width, 10));
    const QPainterPath bars = upright.united(crossbar);
    overlays.push_back({"porthole", porthole.subtracted(bars)});

    QPainterPath hexagon;
    QPolygonF corners;
    for (int i = 0; i < 6; ++i)
        corners << centre + QPointF(std::cos(Pi * i / 3), std::sin(Pi * i / 3)) * 160.0;
    hexagon.addPolygon(corners);
    overlays.push_back({"hexagon", hexagon});

    QPainterPath butterfly;
    for (int side : {-1, 1}) {
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.scale(side, 1);
        QPainterPath wings;
        wings.addEllipse(QPointF(88, -58), 92, 72);
        wings.addEllipse(QPointF(66, 70), 62, 52);
        butterfly = butterfly.united(t.map(wings).simplified());
    }
    QPainterPath body;
    body.addEllipse(centre, 10, 96);
    overlays.push_back({"butterfly", butterfly.united(body)});

    QPainterPath flower;
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(centre.x(), centre.y());
        t.rotate(45.0 * i);
        QPainterPath petal;
        petal.addEllipse(QRectF(-34, -142, 68, 124));
        flower = flower.united(t.map(petal));
    }
    QPainterPath heart_of_flower;
    heart_of_flower.addEllipse(centre, 48, 48);
    overlays.push_back({"flower", flower.united(heart_of_flower)});

    overlays.push_back({"name", Fit_Text(options.sans_bold_font, "MIRRAVANE", QRectF(12, 70, 376, 160), 2.2)});

    for (const Overlay &overlay : overlays) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 0));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        QPainterPath path = overlay.path;
        path.setFillRule(Qt::WindingFill);
        p.drawPath(path);
        p.end();
        if (!Write_Bmp24(Threshold(image), QString("%1/Data/Bmp/Overlays/%2.bmp").arg(options.out_dir, overlay.name)))
            return false;
    }
    return true;
}

}  // namespace datagen
