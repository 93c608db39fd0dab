// The object bitmaps: square frames stacked top to bottom on black (pixel 0 is
// transparent). Single frames are saturated so the program's hue expansion
// makes something worth seeing; the rest are short looping animations.
#include "datagen.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <functional>

namespace datagen {

namespace {

constexpr double Pi = 3.14159265358979323846;

QColor Hue(double hue, double saturation = 1.0, double value = 1.0)
{
    hue -= std::floor(hue);
    return QColor::fromHsvF(float(hue), float(saturation), float(value));
}

// A shaded ball: light upper-left, full colour, darker rim (never black).
QBrush Ball_Brush(QPointF c, double r, QColor colour)
{
    QRadialGradient g(c, r, c - QPointF(r * 0.35, r * 0.35));
    g.setColorAt(0.0, colour.lighter(185));
    g.setColorAt(0.55, colour);
    g.setColorAt(1.0, colour.darker(230));
    return QBrush(g);
}

QPen Outline(QColor colour, double width)
{
    QPen pen(colour.darker(260), width);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPainterPath Star_Path(QPointF c, int points, double outer, double inner, double angle)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2) ? inner : outer;
        const double a = angle + Pi * i / points - Pi / 2;
        const QPointF p(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QPainterPath Polygon_Path(QPointF c, int sides, double r, double angle)
{
    return Star_Path(c, sides, r, r * std::cos(Pi / sides), angle);
}

void Draw_Star(QPainter &p, QPointF c, double r, int points, double inner, double angle, QColor colour)
{
    p.setPen(Outline(colour, std::max(1.0, r / 14)));
    p.setBrush(Ball_Brush(c, r, colour));
    p.drawPath(Star_Path(c, points, r, r * inner, angle));
}

void Draw_Ring(QPainter &p, QPointF c, double r, double thickness, QColor colour)
{
    QRadialGradient g(c, r);
    const double inner = (r - thickness) / r;
    g.setColorAt(inner, colour.darker(200));
    g.setColorAt((1 + inner) / 2, colour.lighter(170));
    g.setColorAt(1.0, colour.darker(200));
    QPainterPath path;
    path.addEllipse(c, r, r);
    path.addEllipse(c, r - thickness, r - thickness);
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(g));
    p.drawPath(path);
}

void Draw_Ball(QPainter &p, QPointF c, double r, QColor colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Ball_Brush(c, r, colour));
    p.drawEllipse(c, r, r);
}

void Draw_Flower(QPainter &p, QPointF c, double r, int petals, double angle, double open, QColor petal, QColor centre)
{
    p.setPen(Outline(petal, 1.0));
    for (int i = 0; i < petals; ++i) {
        p.save();
        p.translate(c);
        p.rotate((angle + 2 * Pi * i / petals) * 180 / Pi);
        const double len = r * (0.45 + 0.55 * open);
        QLinearGradient g(0, 0, 0, -len);
        g.setColorAt(0, petal.darker(130));
        g.setColorAt(1, petal.lighter(150));
        p.setBrush(QBrush(g));
        p.drawEllipse(QRectF(-r * 0.22, -len, r * 0.44, len));
        p.restore();
    }
    Draw_Ball(p, c, r * 0.28, centre);
}

void Draw_Gem(QPainter &p, QPointF c, double r, int sides, double angle, QColor colour)
{
    const QPainterPath outer = Polygon_Path(c, sides, r, angle);
    const QPainterPath inner = Polygon_Path(c, sides, r * 0.55, angle);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < sides * 2; i += 2) {
        const QPointF a = outer.elementAt(i), b = outer.elementAt((i + 2) % (sides * 2));
        const QPointF ia = inner.elementAt(i), ib = inner.elementAt((i + 2) % (sides * 2));
        const double light = 0.55 + 0.45 * std::sin(angle + 2.0 * Pi * i / (sides * 2) + 1.0);
        p.setBrush(Hue(colour.hsvHueF(), 0.9, std::max(0.35, light)));
        QPolygonF facet;
        facet << a << b << ib << ia;
        p.drawPolygon(facet);
    }
    p.setBrush(Ball_Brush(c, r * 0.55, colour.lighter(140)));
    p.drawPath(inner);
    p.setPen(Outline(colour, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outer);
}

void Draw_Spiral(QPainter &p, QPointF c, double r, double turns, double angle, double hue)
{
    const int steps = 160;
    QPointF last = c;
    for (int i = 1; i <= steps; ++i) {
        const double t = double(i) / steps;
        const double a = angle + t * turns * 2 * Pi;
        const QPointF q(c.x() + r * t * std::cos(a), c.y() + r * t * std::sin(a));
        QPen pen(Hue(hue + t * 0.6), 1.0 + r * 0.14 * t, Qt::SolidLine, Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(last, q);
        last = q;
    }
}

void Draw_Bubble(QPainter &p, QPointF c, double r, QColor colour)
{
    QRadialGradient g(c, r);
    g.setColorAt(0.0, colour.darker(300));
    g.setColorAt(0.75, colour.darker(150));
    g.setColorAt(0.95, colour.lighter(160));
    g.setColorAt(1.0, colour);
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(g));
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(c + QPointF(-r * 0.4, -r * 0.4), r * 0.16, r * 0.12);
}

void Draw_Snowflake(QPainter &p, QPointF c, double r, double angle, QColor colour)
{
    QPen pen(colour, std::max(1.5, r / 10), Qt::SolidLine, Qt::RoundCap);
    p.setPen(pen);
    for (int i = 0; i < 6; ++i) {
        const double a = angle + Pi * i / 3;
        const QPointF dir(std::cos(a), std::sin(a));
        p.drawLine(c, c + dir * r);
        for (double at : {0.45, 0.72}) {
            const QPointF base = c + dir * (r * at);
            const double len = r * (0.95 - at) * 0.9;
            for (int side : {-1, 1}) {
                const double b = a + side * Pi / 4;
                p.drawLine(base, base + QPointF(std::cos(b), std::sin(b)) * len);
            }
        }
    }
    Draw_Ball(p, c, r * 0.14, colour.lighter(150));
}

void Draw_Heart(QPainter &p, QPointF c, double s, QColor colour)
{
    p.setPen(Outline(colour, std::max(1.0, s / 16)));
    p.setBrush(Ball_Brush(c - QPointF(s * 0.2, s * 0.2), s * 1.2, colour));
    p.drawPath(Heart_Path(c, s));
}

void Draw_Sun(QPainter &p, QPointF c, double r, double angle)
{
    Draw_Star(p, c, r, 12, 0.62, angle, QColor(255, 140, 0));
    Draw_Ball(p, c, r * 0.5, QColor(255, 220, 30));
}

void Draw_Crescent(QPainter &p, QPointF c, double r, QColor colour)
{
    QPainterPath moon;
    moon.addEllipse(c, r, r);
    QPainterPath bite;
    bite.addEllipse(c + QPointF(r * 0.45, -r * 0.2), r * 0.85, r * 0.85);
    p.setPen(Outline(colour, 1.0));
    p.setBrush(Ball_Brush(c, r, colour));
    p.drawPath(moon.subtracted(bite));
}

void Draw_Atom(QPainter &p, QPointF c, double r, double angle)
{
    for (int i = 0; i < 3; ++i) {
        p.save();
        p.translate(c);
        p.rotate((angle + Pi * i / 3) * 180 / Pi);
        p.setPen(QPen(Hue(0.55 + i * 0.15), std::max(1.5, r / 14)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, 0), r, r * 0.35);
        p.restore();
    }
    Draw_Ball(p, c, r * 0.22, QColor(255, 60, 40));
}

void Draw_Butterfly(QPainter &p, QPointF c, double r, double flap, QColor upper, QColor lower)
{
    for (int side : {-1, 1}) {
        p.save();
        p.translate(c);
        p.scale(side * flap, 1.0);
        p.setPen(Outline(upper, 1.0));
        p.setBrush(Ball_Brush(QPointF(r * 0.5, -r * 0.35), r * 0.6, upper));
        p.drawEllipse(QPointF(r * 0.48, -r * 0.35), r * 0.5, r * 0.42);
        p.setBrush(Ball_Brush(QPointF(r * 0.38, r * 0.38), r * 0.45, lower));
        p.drawEllipse(QPointF(r * 0.36, r * 0.36), r * 0.34, r * 0.3);
        p.setBrush(QColor(255, 255, 160));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(r * 0.55, -r * 0.4), r * 0.12, r * 0.1);
        p.restore();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 40));
    p.drawEllipse(c, r * 0.09, r * 0.6);
}

// Superellipse between a diamond (n = 1), a circle (n = 2) and a square (large n).
void Draw_Morph(QPainter &p, QPointF c, double r, double n, double angle, QColor colour)
{
    QPolygonF shape;
    for (int i = 0; i < 96; ++i) {
        const double a = 2 * Pi * i / 96;
        const double ca = std::cos(a), sa = std::sin(a);
        const double x = std::copysign(std::pow(std::fabs(ca), 2.0 / n), ca);
        const double y = std::copysign(std::pow(std::fabs(sa), 2.0 / n), sa);
        const double rx = r * (x * std::cos(angle) - y * std::sin(angle));
        const double ry = r * (x * std::sin(angle) + y * std::cos(angle));
        shape << c + QPointF(rx, ry);
    }
    p.setPen(Outline(colour, 1.0));
    p.setBrush(Ball_Brush(c, r * 1.2, colour));
    p.drawPolygon(shape);
}

void Draw_Pinwheel(QPainter &p, QPointF c, double r, double angle)
{
    for (int i = 0; i < 4; ++i) {
        const double a = angle + Pi * i / 2;
        QPolygonF blade;
        blade << c << c + QPointF(std::cos(a), std::sin(a)) * r
              << c + QPointF(std::cos(a + Pi / 2), std::sin(a + Pi / 2)) * (r * 0.45);
        p.setPen(Outline(Hue(i / 4.0), 1.0));
        p.setBrush(Hue(i / 4.0 + 0.02, 0.95, 1.0));
        p.drawPolygon(blade);
    }
    Draw_Ball(p, c, r * 0.12, QColor(255, 255, 255));
}

void Draw_Cube(QPainter &p, QPointF c, double r, double angle, double hue)
{
    static const int edges[12][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}, {4, 5}, {5, 7},
                                     {7, 6}, {6, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    QPointF corner[8];
    const double tilt = 0.5;
    for (int i = 0; i < 8; ++i) {
        const double x = (i & 1) ? 1 : -1, y = (i & 2) ? 1 : -1, z = (i & 4) ? 1 : -1;
        const double x1 = x * std::cos(angle) - z * std::sin(angle);
        const double z1 = x * std::sin(angle) + z * std::cos(angle);
        const double y1 = y * std::cos(tilt) - z1 * std::sin(tilt);
        corner[i] = c + QPointF(x1, y1) * (r * 0.56);
    }
    for (int e = 0; e < 12; ++e) {
        p.setPen(QPen(Hue(hue + e / 24.0), std::max(1.5, r / 16), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(corner[edges[e][0]], corner[edges[e][1]]);
    }
    for (const QPointF &q : corner)
        Draw_Ball(p, q, std::max(1.5, r / 12), Hue(hue + 0.5));
}

void Draw_Lissajous(QPainter &p, QPointF c, double r, double phase, double hue)
{
    QPointF last;
    for (int i = 0; i <= 240; ++i) {
        const double t = 2 * Pi * i / 240;
        const QPointF q = c + QPointF(std::sin(3 * t + phase), std::sin(2 * t)) * r;
        if (i > 0) {
            p.setPen(QPen(Hue(hue + double(i) / 240), std::max(1.5, r / 14), Qt::SolidLine, Qt::RoundCap));
            p.drawLine(last, q);
        }
        last = q;
    }
}

struct Object_Design {
    int side;
    int frames;   // 1: a single frame the program expands into hues
    std::function<void(QPainter &, QPointF, double, double)> draw;   // centre, radius, t in [0,1)
};

std::vector<Object_Design> Object_List()
{
    const double turn = 2 * Pi;
    return {
        {32, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Star(p, c, r, 5, 0.45, 0, QColor(255, 200, 0)); }},
        {32, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Ring(p, c, r * 0.9, r * 0.4, QColor(0, 160, 255)); }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Flower(p, c, r, 8, 0, 1, QColor(255, 60, 160), QColor(255, 210, 0)); }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Gem(p, c, r * 0.95, 8, 0.3, QColor(0, 220, 120)); }},
        {64, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Spiral(p, c, r * 0.92, 3.0, 0, 0.8); }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Bubble(p, c, r * 0.92, QColor(80, 200, 255)); }},
        {64, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Snowflake(p, c, r * 0.9, 0, QColor(140, 220, 255)); }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Heart(p, c + QPointF(0, r * 0.05), r * 0.95, QColor(255, 30, 70)); }},
        {32, 12, [=](QPainter &p, QPointF c, double r, double t) { Draw_Star(p, c, r * 0.95, 5, 0.45, t * turn / 5, QColor(255, 230, 40)); }},
        {48, 16, [=](QPainter &p, QPointF c, double r, double t) {
             const double s = 0.55 + 0.35 * (0.5 - 0.5 * std::cos(t * turn));
             Draw_Ring(p, c, r * s, r * 0.28 * s, Hue(0.75 + 0.15 * std::sin(t * turn)));
         }},
        {64, 16, [=](QPainter &p, QPointF c, double r, double t) {
             Draw_Morph(p, c, r * 0.8, 1.0 + 5.0 * (0.5 - 0.5 * std::cos(t * turn)), t * turn / 4, QColor(255, 120, 0));
         }},
        {48, 12, [=](QPainter &p, QPointF c, double r, double t) { Draw_Pinwheel(p, c, r * 0.95, t * turn / 4); }},
        {32, 8, [=](QPainter &p, QPointF c, double r, double t) { Draw_Gem(p, c, r * 0.95, 6, t * turn / 6, QColor(200, 40, 255)); }},
        {32, 12, [=](QPainter &p, QPointF c, double r, double t) {
             const double s = 0.35 + 0.65 * std::fabs(std::sin(t * Pi));
             Draw_Star(p, c, r * s, 4, 0.22, t * turn / 8, QColor(255, 255, 190));
         }},
        {64, 16, [=](QPainter &p, QPointF c, double r, double t) { Draw_Spiral(p, c, r * 0.92, 2.5, -t * turn, 0.3); }},
        {48, 12, [=](QPainter &p, QPointF c, double r, double t) {
             Draw_Heart(p, c + QPointF(0, r * 0.05), r * (0.72 + 0.2 * std::pow(std::sin(t * Pi), 4)), QColor(255, 40, 120));
         }},
        {48, 12, [=](QPainter &p, QPointF c, double r, double t) { Draw_Snowflake(p, c, r * 0.9, t * turn / 6, QColor(190, 240, 255)); }},
        {64, 24, [=](QPainter &p, QPointF c, double r, double t) {
             Draw_Ball(p, c, r * 0.3, QColor(255, 200, 40));
             for (int i = 0; i < 3; ++i) {
                 const double a = t * turn + turn * i / 3;
                 Draw_Ball(p, c + QPointF(std::cos(a), std::sin(a) * 0.45) * (r * 0.72), r * 0.14, Hue(0.35 + i * 0.22));
             }
         }},
        {64, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Sun(p, c, r * 0.95, 0); }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Crescent(p, c, r * 0.9, QColor(255, 230, 60)); }},
        {32, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Gem(p, c, r * 0.95, 4, Pi / 4, QColor(40, 120, 255)); }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) {
             for (int i = 0; i < 4; ++i) {
                 const double a = Pi / 4 + Pi * i / 2;
                 Draw_Heart(p, c + QPointF(std::cos(a), std::sin(a)) * (r * 0.42), r * 0.42, QColor(40, 210, 60));
             }
         }},
        {64, 1, [](QPainter &p, QPointF c, double r, double) {
             Draw_Star(p, c, r * 0.95, 8, 0.5, 0, QColor(255, 40, 200));
             Draw_Star(p, c, r * 0.55, 8, 0.5, Pi / 8, QColor(255, 200, 255));
         }},
        {64, 16, [=](QPainter &p, QPointF c, double r, double t) {
             for (int i = 0; i < 4; ++i) {
                 const double phase = std::fmod(t + i / 4.0, 1.0);
                 Draw_Ring(p, c, r * (0.15 + 0.8 * phase), r * 0.09, Hue(0.5 + 0.1 * i, 1.0, 1.0 - 0.6 * phase));
             }
         }},
        {64, 24, [=](QPainter &p, QPointF c, double r, double t) { Draw_Cube(p, c, r, t * turn / 4, 0.1); }},
        {48, 16, [=](QPainter &p, QPointF c, double r, double t) {
             const double open = 0.5 - 0.5 * std::cos(t * turn);
             Draw_Flower(p, c, r, 6, t * turn / 6, open, QColor(255, 120, 0), QColor(120, 40, 255));
         }},
        {32, 16, [=](QPainter &p, QPointF c, double r, double t) {
             Draw_Morph(p, c, r * 0.85, 2.0 + 6.0 * (0.5 - 0.5 * std::cos(t * turn)), 0, QColor(0, 230, 230));
         }},
        {64, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Butterfly(p, c, r * 0.95, 1.0, QColor(255, 100, 0), QColor(255, 30, 120)); }},
        {64, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Atom(p, c, r * 0.92, 0.2); }},
        {48, 16, [=](QPainter &p, QPointF c, double r, double t) {
             const double w = std::cos(t * turn);
             p.setPen(Outline(QColor(255, 190, 0), 1.0));
             p.setBrush(Ball_Brush(c, r, w >= 0 ? QColor(255, 200, 0) : QColor(230, 150, 0)));
             p.drawEllipse(c, std::max(1.5, r * 0.9 * std::fabs(w)), r * 0.9);
         }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) {
             for (int i = 0; i < 6; ++i)
                 Draw_Ring(p, c, r * (0.95 - i * 0.12), r * 0.11, Hue(i / 6.0));
         }},
        {64, 24, [=](QPainter &p, QPointF c, double r, double t) { Draw_Lissajous(p, c, r * 0.85, t * turn, 0.0); }},
        {32, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Gem(p, c + QPointF(0, r * 0.1), r * 0.95, 3, 0, QColor(255, 80, 0)); }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) { Draw_Gem(p, c, r * 0.95, 5, 0, QColor(255, 0, 90)); }},
        {32, 8, [=](QPainter &p, QPointF c, double r, double t) {
             Draw_Ball(p, c, r * (0.6 + 0.3 * (0.5 - 0.5 * std::cos(t * turn))), Hue(0.58 + 0.1 * std::sin(t * turn)));
         }},
        {64, 1, [](QPainter &p, QPointF c, double r, double) {
             Draw_Bubble(p, c + QPointF(-r * 0.35, r * 0.3), r * 0.5, QColor(60, 255, 200));
             Draw_Bubble(p, c + QPointF(r * 0.45, r * 0.35), r * 0.4, QColor(60, 160, 255));
             Draw_Bubble(p, c + QPointF(r * 0.1, -r * 0.5), r * 0.4, QColor(160, 90, 255));
         }},
        {48, 12, [=](QPainter &p, QPointF c, double r, double t) { Draw_Gem(p, c, r * 0.95, 3, t * turn / 3, QColor(255, 220, 0)); }},
        {48, 1, [](QPainter &p, QPointF c, double r, double) {
             for (int i = 0; i < 24; ++i) {
                 const double a = 2 * Pi * i / 24;
                 const double len = (i % 2) ? 0.6 : 0.95;
                 p.setPen(QPen(Hue(i / 24.0), 2.0, Qt::SolidLine, Qt::RoundCap));
                 p.drawLine(c, c + QPointF(std::cos(a), std::sin(a)) * (r * len));
             }
             Draw_Ball(p, c, r * 0.25, QColor(255, 255, 200));
         }},
        {64, 12, [=](QPainter &p, QPointF c, double r, double t) {
             Draw_Butterfly(p, c, r * 0.95, 0.2 + 0.8 * std::fabs(std::cos(t * Pi)), QColor(0, 140, 255), QColor(120, 0, 255));
         }},
        {64, 1, [](QPainter &p, QPointF c, double r, double) {
             for (int i = 0; i < 16; ++i) {
                 const double a = 2 * Pi * i / 16;
                 Draw_Ball(p, c + QPointF(std::cos(a), std::sin(a)) * (r * 0.66), r * 0.24, Hue(i / 16.0));
             }
         }},
    };
}

}  // namespace

QPainterPath Heart_Path(QPointF c, double s)
{
    QPainterPath path;
    path.moveTo(c.x(), c.y() + s * 0.85);
    path.cubicTo(c.x() - s * 1.3, c.y() + s * 0.05, c.x() - s * 0.85, c.y() - s * 0.95, c.x(), c.y() - s * 0.4);
    path.cubicTo(c.x() + s * 0.85, c.y() - s * 0.95, c.x() + s * 1.3, c.y() + s * 0.05, c.x(), c.y() + s * 0.85);
    return path;
}

bool Generate_Objects(const Options &options)
{
    const std::vector<Object_Design> list = Object_List();
    for (size_t n = 0; n < list.size(); ++n) {
        const Object_Design &design = list[n];
        QImage strip(design.side, design.side * design.frames, QImage::Format_RGB32);
        strip.fill(qRgb(0, 0, 0));
        for (int f = 0; f < design.frames; ++f) {
            QPainter painter(&strip);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setClipRect(0, f * design.side, design.side, design.side);
            const double half = design.side / 2.0;
            design.draw(painter, QPointF(half, f * design.side + half), half - 1, double(f) / design.frames);
        }
        Lift_Dark_Pixels(strip, 24);
        if (!Write_Bmp24(strip, QString("%1/Data/Bmp/Objects/%2.bmp").arg(options.out_dir).arg(n)))
            return false;
    }
    std::printf("objects: %zu\n", list.size());
    return true;
}

}  // namespace datagen
