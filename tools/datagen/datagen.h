// Shared pieces of the data generator.
#pragma once

#include <QImage>
#include <QPainterPath>
#include <QString>
#include "session/forward.h"

#include <cstdint>
#include <vector>

namespace datagen {

// The picture as the engine's 24-bit BMP file.
bool Write_Bmp24(const QImage &image, const QString &path);
bool Write_File(const QString &path, const std::vector<uint8_t> &bytes);
bool Write_Text(const QString &path, const QByteArray &text);
bool Make_Folder(const QString &path);

// Pixels darker than this in every channel vanish in a 5-6-5 conversion or
// look like the transparent key; shapes are lifted or cleared to keep clear of it.
void Lift_Dark_Pixels(QImage &image, int floor_value);

struct Options {
    QString out_dir;
    QString glyph_source_dir;   // empty: glyph tables are not written
    QString sans_bold_font;
    QString condensed_bold_font;
    QString icon_file;          // empty: the application icon is not written
};

// Heart centred on c, about 2s wide, point down.
QPainterPath Heart_Path(QPointF c, double s);

bool Generate_Fonts(const Options &options);
bool Generate_About(const Options &options);
bool Generate_Overlays(const Options &options);
bool Generate_Objects(const Options &options);
bool Generate_Sound(const Options &options);
bool Generate_Help(const Options &options);
// The application icon, 256 x 256 PNG with transparency, into options.icon_file.
bool Generate_Icon(const Options &options);
// The stock presets of a table (presets.txt) as *.dat files in the output folder.
bool Generate_Presets(const Options &options, const QString &table_path);

// Outline of a line of text, origin on the baseline at the left, straight from the font file.
QPainterPath Text_Path(const QString &font_file, double pixel_size, const QString &text);

}  // namespace datagen
