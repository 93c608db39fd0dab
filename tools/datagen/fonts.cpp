// The ten font bitmaps and the three glyph tables that say where each glyph sits.
#include "datagen.h"

#include <QFont>
#include <QFontDatabase>
#include <QRawFont>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <map>

namespace datagen {

namespace {

constexpr int Glyph_Count = 94;

// Text drawn for each glyph number; the glyphs no character selects get a
// picture anyway so a font sheet never has holes.
QString Glyph_Text(int glyph)
{
    if (glyph < 10)
        return QString(QChar('0' + glyph));
    if (glyph < 36)
        return QString(QChar('a' + glyph - 10));
    if (glyph < 62)
        return QString(QChar('A' + glyph - 36));
    static const char16_t rest[] = u"\u2022!@#$%^&*()_+{}|\":?><,./;'[]\\=-`";
    return QString(QChar(rest[glyph - 62]));
}

const char *Glyph_Comment(int glyph)
{
    static char text[16];
    const QString s = Glyph_Text(glyph);
    if (glyph == 62)
        return "bullet (unused)";
    if (s == "\\")
        return "backslash (unused)";
    if (glyph == 70 || glyph == 87)
        std::snprintf(text, sizeof text, "'%s' (unused)", qPrintable(s));
    else if (glyph == 92)
        return "'-' and every character without a glyph";
    else
        std::snprintf(text, sizeof text, "'%s'", qPrintable(s));
    return text;
}

struct Pin {
    int glyph, x, width;
};

struct Table_Design {
    int cell;
    std::vector<int> row_starts;
    std::vector<Pin> pins;     // fixed positions some callers already know
    int max_pixel_size;
    bool condensed;
};

struct Entry {
    int x = 0, y = 0, width = 0;
};

// One glyph rasterised on its own: a coverage mask with the baseline at row `baseline`.
struct Raster {
    QImage mask;          // Grayscale8, thresholded to 0 / 255
    int left = 0, right = -1, top = 0, bottom = -1;   // ink box inside mask
    int baseline = 0;
    int Ink_Width() const { return right - left + 1; }
};

Raster Rasterise(const QString &font_file, int pixel_size, const QString &text, double x_scale)
{
    Raster r;
    const int side = pixel_size * 3;
    r.mask = QImage(side, side, QImage::Format_Grayscale8);
    r.mask.fill(0);
    r.baseline = pixel_size * 2;

    // Outlines straight from the font file: no font matching, same shapes on every machine.
    const QRawFont font(font_file, pixel_size, QFont::PreferNoHinting);
    const QList<quint32> indexes = font.glyphIndexesForString(text);
    QPainter painter(&r.mask);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(pixel_size / 2, r.baseline);
    painter.scale(x_scale, 1.0);
    for (quint32 index : indexes)
        painter.fillPath(font.pathForGlyph(index), Qt::white);
    painter.end();

    // Threshold the coverage so glyph edges stay crisp against the black key.
    r.left = side;
    r.top = side;
    for (int y = 0; y < side; ++y) {
        uchar *row = r.mask.scanLine(y);
        for (int x = 0; x < side; ++x) {
            row[x] = row[x] >= 128 ? 255 : 0;
            if (row[x]) {
                r.left = std::min(r.left, x);
                r.right = std::max(r.right, x);
                r.top = std::min(r.top, y);
                r.bottom = std::max(r.bottom, y);
            }
        }
    }
    return r;
}

struct Layout {
    int pixel_size = 0;
    int bitmap_width = 0;
    int bitmap_height = 0;
    int baseline_in_cell = 0;
    Entry entries[Glyph_Count];
    double x_scale[Glyph_Count];
};

// Places every glyph: natural width = ink + one blank column each side, so
// boxes may touch and glyphs still stand two black columns apart.
bool Try_Layout(const Table_Design &design, const QString &font_file, int pixel_size, Layout &layout)
{
    std::map<int, Pin> pins;
    for (const Pin &p : design.pins)
        pins[p.glyph] = p;
    // Digits share the width of a pinned zero so counters do not jitter.
    if (pins.count(0))
        for (int d = 1; d <= 9; ++d)
            pins[d] = Pin{d, -1, pins[0].width};

    Raster rasters[Glyph_Count];
    int ink_top = 1 << 20, ink_bottom = -(1 << 20);
    for (int g = 0; g < Glyph_Count; ++g) {
        rasters[g] = Rasterise(font_file, pixel_size, Glyph_Text(g), 1.0);
        if (rasters[g].bottom < rasters[g].top)
            return false;
        layout.x_scale[g] = 1.0;
        int width = rasters[g].Ink_Width() + 2;
        auto pin = pins.find(g);
        if (pin != pins.end()) {
            width = pin->second.width;
            // Squeeze a glyph too wide for its fixed box; widen a narrow one a little
            // so fixed-width digits do not look gappy.
            const int ink = rasters[g].Ink_Width();
            if (ink > width - 2)
                layout.x_scale[g] = double(width - 2) / ink;
            else if (ink < width - 4)
                layout.x_scale[g] = std::min(1.2, double(width - 4) / ink);
        }
        layout.entries[g].width = width;
        ink_top = std::min(ink_top, rasters[g].top - rasters[g].baseline);
        ink_bottom = std::max(ink_bottom, rasters[g].bottom - rasters[g].baseline);
    }
    const int ink_height = ink_bottom - ink_top + 1;
    if (ink_height > design.cell - 1)
        return false;
    layout.pixel_size = pixel_size;
    layout.baseline_in_cell = (design.cell - ink_height + 1) / 2 - ink_top;

    int widest = 0;
    const int rows = int(design.row_starts.size());
    for (int r = 0; r < rows; ++r) {
        const int first = design.row_starts[r];
        const int end = r + 1 < rows ? design.row_starts[r + 1] : Glyph_Count;
        std::vector<int> extra(size_t(end - first), 0);
        auto pin_x = [&](int g) {
            auto p = pins.find(g);
            return p != pins.end() ? p->second.x : -1;
        };
        const int start_x = pin_x(first) >= 0 ? pin_x(first) : 2;
        int anchor = first, anchor_x = start_x;
        for (int g = first + 1; g < end; ++g) {
            if (pin_x(g) < 0)
                continue;
            int natural = anchor_x;
            for (int k = anchor; k < g; ++k)
                natural += layout.entries[k].width;
            const int slack = pin_x(g) - natural;
            if (slack < 0)
                return false;
            const int gaps = g - anchor;
            for (int k = anchor + 1; k <= g; ++k)
                extra[size_t(k - first)] = slack / gaps + ((k - anchor) <= slack % gaps ? 1 : 0);
            anchor = g;
            anchor_x = pin_x(g);
        }
        int x = start_x;
        for (int g = first; g < end; ++g) {
            x += extra[size_t(g - first)];
            layout.entries[g].x = x;
            layout.entries[g].y = r * design.cell;
            x += layout.entries[g].width;
        }
        widest = std::max(widest, x);
    }
    layout.bitmap_width = (widest + 2 + 7) / 8 * 8;
    layout.bitmap_height = (rows * design.cell + 7) / 8 * 8;
    return true;
}

// Ink mask of a whole font sheet (255 = ink).
QImage Draw_Mask(const Table_Design &, const QString &font_file, const Layout &layout)
{
    QImage sheet(layout.bitmap_width, layout.bitmap_height, QImage::Format_Grayscale8);
    sheet.fill(0);
    for (int g = 0; g < Glyph_Count; ++g) {
        const Raster r = Rasterise(font_file, layout.pixel_size, Glyph_Text(g), layout.x_scale[g]);
        const Entry &e = layout.entries[g];
        const int ink_x = e.x + (e.width - r.Ink_Width()) / 2;
        const int dy = e.y + layout.baseline_in_cell - r.baseline;
        for (int y = r.top; y <= r.bottom; ++y) {
            const uchar *src = r.mask.constScanLine(y);
            uchar *dst = sheet.scanLine(y + dy);
            for (int x = r.left; x <= r.right; ++x)
                if (src[x])
                    dst[ink_x + x - r.left] = 255;
        }
    }
    return sheet;
}

struct Font_Colour {
    const char *path;        // below the output folder
    int table;               // 1..3
    QColor top, bottom;
};

int Clamp_Channel(double value)
{
    return std::clamp(int(value + 0.5), 24, 255);
}

// Vertical gradient light to dark, lit upper-left edges, shaded lower-right edges.
QImage Shade(const QImage &mask, int cell, const Font_Colour &colour)
{
    QImage out(mask.size(), QImage::Format_RGB32);
    out.fill(qRgb(0, 0, 0));
    auto ink = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < mask.width() && y < mask.height() && mask.constScanLine(y)[x] != 0;
    };
    for (int y = 0; y < mask.height(); ++y) {
        const double t = double(y % cell) / double(cell - 1);
        const double r0 = colour.top.red() + (colour.bottom.red() - colour.top.red()) * t;
        const double g0 = colour.top.green() + (colour.bottom.green() - colour.top.green()) * t;
        const double b0 = colour.top.blue() + (colour.bottom.blue() - colour.top.blue()) * t;
        QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < mask.width(); ++x) {
            if (!ink(x, y))
                continue;
            double r = r0, g = g0, b = b0;
            if (!ink(x + 1, y) || !ink(x, y + 1)) {
                r *= 0.68;
                g *= 0.68;
                b *= 0.68;
            } else if (!ink(x - 1, y) || !ink(x, y - 1)) {
                r += (255 - r) * 0.3;
                g += (255 - g) * 0.3;
                b += (255 - b) * 0.3;
            }
            row[x] = qRgb(Clamp_Channel(r), Clamp_Channel(g), Clamp_Channel(b));
        }
    }
    return out;
}

QByteArray Table_Source(const Layout *layouts[3])
{
    QByteArray text;
    text += "// Made by mirravane-datagen together with the font bitmaps; regenerate, do not edit.\n";
    text += "// Each entry: top-left of the glyph's cell in the font bitmap and its width in pixels.\n";
    text += "#include \"text/glyph_tables.h\"\n";
    for (int t = 0; t < 3; ++t) {
        text += "\nconst Glyph_Entry Glyph_Table_" + QByteArray::number(t + 1) + "[94] = {\n";
        for (int g = 0; g < Glyph_Count; ++g) {
            const Entry &e = layouts[t]->entries[g];
            char line[160];
            std::snprintf(line, sizeof line, "    {%d, %d, %d},  // %d %s\n", e.x, e.y, e.width, g, Glyph_Comment(g));
            text += line;
        }
        text += "};\n";
    }
    return text;
}

const char *Table_Header =
    "// Made by mirravane-datagen together with the font bitmaps; regenerate, do not edit.\n"
    "#pragma once\n"
    "\n"
    "#include <cstdint>\n"
    "\n"
    "struct Glyph_Entry { int32_t x, y, width; };\n"
    "\n"
    "extern const Glyph_Entry Glyph_Table_1[94], Glyph_Table_2[94], Glyph_Table_3[94];\n";

}  // namespace

QPainterPath Text_Path(const QString &font_file, double pixel_size, const QString &text)
{
    const QRawFont font(font_file, pixel_size, QFont::PreferNoHinting);
    const QList<quint32> indexes = font.glyphIndexesForString(text);
    const QList<QPointF> advances = font.advancesForGlyphIndexes(indexes);
    QPainterPath path;
    QPointF pen(0, 0);
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        path.addPath(font.pathForGlyph(indexes[i]).translated(pen));
        pen += advances[i];
    }
    return path;
}

bool Generate_Fonts(const Options &options)
{
    const QString &sans = options.sans_bold_font;
    const QString &condensed = options.condensed_bold_font;
    if (!QRawFont(sans, 16).isValid() || !QRawFont(condensed, 16).isValid()) {
        std::fprintf(stderr, "mirravane-datagen: cannot load the glyph fonts %s, %s\n",
                     qPrintable(options.sans_bold_font), qPrintable(options.condensed_bold_font));
        return false;
    }

    // The pinned entries keep the positions the text code and its callers were written against.
    const Table_Design specs[3] = {
        {26, {0, 50}, {{0, 0, 11}, {22, 247, 17}, {50, 2, 16}}, 18, false},
        {32, {0, 13, 27, 41, 54, 67, 80}, {{0, 6, 25}, {13, 3, 22}, {93, 221, 9}}, 32, false},
        {34, {0, 16, 32, 47, 59, 71, 83}, {{0, 5, 10}, {48, 36, 32}}, 34, true},
    };

    Layout layouts[3];
    QImage masks[3];
    for (int t = 0; t < 3; ++t) {
        const QString &font_file = specs[t].condensed ? condensed : sans;
        bool placed = false;
        for (int size = specs[t].max_pixel_size; size >= 8 && !placed; --size)
            placed = Try_Layout(specs[t], font_file, size, layouts[t]);
        if (!placed) {
            std::fprintf(stderr, "mirravane-datagen: glyph table %d does not fit its pins\n", t + 1);
            return false;
        }
        masks[t] = Draw_Mask(specs[t], font_file, layouts[t]);
        std::printf("glyph table %d: %d px glyphs, bitmap %d x %d\n", t + 1, layouts[t].pixel_size,
                    layouts[t].bitmap_width, layouts[t].bitmap_height);
    }

    const Font_Colour colours[] = {
        {"include/fonts/gold_26.bmp", 1, QColor(255, 240, 160), QColor(196, 120, 24)},
        {"include/fonts/silver_32.bmp", 2, QColor(252, 252, 255), QColor(120, 128, 148)},
        {"include/fonts/gold_32.bmp", 2, QColor(255, 240, 160), QColor(196, 120, 24)},
        {"include/fonts/red_32.bmp", 2, QColor(255, 160, 150), QColor(176, 24, 24)},
        {"include/fonts/blue_32.bmp", 2, QColor(176, 208, 255), QColor(32, 64, 200)},
        {"include/fonts/grey_32.bmp", 2, QColor(208, 208, 208), QColor(104, 104, 104)},
        {"include/fonts/dark_silver_32.bmp", 2, QColor(176, 178, 192), QColor(72, 74, 90)},
        {"include/fonts/dark_gold_32.bmp", 2, QColor(208, 168, 72), QColor(112, 72, 24)},
        {"include/fonts/dark_red_32.bmp", 2, QColor(196, 72, 64), QColor(100, 24, 24)},
        {"Data/Bmp/Font.bmp", 3, QColor(240, 250, 255), QColor(64, 140, 228)},
    };
    for (const Font_Colour &colour : colours) {
        const int t = colour.table - 1;
        if (!Write_Bmp24(Shade(masks[t], specs[t].cell, colour), options.out_dir + "/" + colour.path))
            return false;
    }

    if (options.glyph_source_dir.isEmpty())
        return true;
    const Layout *table_layouts[3] = {&layouts[0], &layouts[1], &layouts[2]};
    return Write_Text(options.glyph_source_dir + "/glyph_tables.h", Table_Header) &&
           Write_Text(options.glyph_source_dir + "/glyph_tables.cpp", Table_Source(table_layouts));
}

}  // namespace datagen
