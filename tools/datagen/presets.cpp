// The stock presets: the built-in defaults with the fields of presets.txt changed.
#include "datagen.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>

#include "presets/lifecycle.h"
#include "presets/plasma_settings.h"
#include "slides/objects.h"
#include "surface/display.h"
#include "session/session.h"

namespace datagen {

namespace {

enum class Kind { I32, U8, F32, F64, Text, All_I32, All_F64 };
struct Field {
    size_t offset;
    Kind kind;
    size_t size;
};

#define FIELD(name, kind) {#name, {offsetof(PLASMA_SETTINGS, name), kind, sizeof(PLASMA_SETTINGS::name)}}

const std::map<std::string, Field>& Fields() {
    static const std::map<std::string, Field> fields = {
        FIELD(multi_colour, Kind::I32), FIELD(resolution, Kind::I32), FIELD(contrast, Kind::I32),
        FIELD(speed, Kind::F64), FIELD(ripple, Kind::F32), FIELD(interference, Kind::F32), FIELD(sway, Kind::F32),
        FIELD(complexity, Kind::I32), FIELD(blend_mode, Kind::I32), FIELD(preview_active, Kind::I32),
        FIELD(symmetry, Kind::I32), FIELD(colour_blue, Kind::U8), FIELD(colour_green, Kind::U8),
        FIELD(colour_red, Kind::U8), FIELD(invert_colour_logic, Kind::I32), FIELD(scope_on, Kind::I32),
        FIELD(scope_shape, Kind::I32), FIELD(kaleidoscope_on, Kind::I32), FIELD(kaleidoscope_stretch, Kind::I32),
        FIELD(granularity, Kind::I32), FIELD(brighten, Kind::I32), FIELD(darken_red, Kind::I32),
        FIELD(darken_green, Kind::I32), FIELD(darken_blue, Kind::I32), FIELD(slides_on, Kind::I32),
        FIELD(slide_speed, Kind::F64), FIELD(background, Kind::I32), FIELD(gradient_variable, Kind::I32),
        FIELD(gradient_brightness, Kind::I32), FIELD(zone_frequency, Kind::I32), FIELD(zone_duration, Kind::I32),
        FIELD(zone_multicolour, Kind::I32), FIELD(slide_direction, Kind::I32),
        FIELD(direction_change_frequency, Kind::I32), FIELD(vsync, Kind::I32), FIELD(ignore_fps, Kind::I32),
        FIELD(random_colour_interval, Kind::F64), FIELD(sine_phase_step, Kind::F64), FIELD(fade_light, Kind::I32),
        FIELD(fade_hue, Kind::I32), FIELD(fade_saturation, Kind::I32), FIELD(random_interval, Kind::I32),
        FIELD(transition_speed, Kind::I32), FIELD(titles_on, Kind::I32), FIELD(sine_passes, Kind::I32),
        FIELD(sine_variance, Kind::I32), FIELD(sine_amplitude, Kind::I32), FIELD(sine_clear, Kind::I32),
        FIELD(sine_multicolour, Kind::I32), FIELD(sine_band_width, Kind::I32),
        FIELD(custom_overlay_path, Kind::Text),
        {"object_count", {offsetof(PLASMA_SETTINGS, object_count), Kind::All_I32, 0}},
        {"object_speed", {offsetof(PLASMA_SETTINGS, object_speed), Kind::All_F64, 0}},
        {"object_animation_speed", {offsetof(PLASMA_SETTINGS, object_animation_speed), Kind::All_F64, 0}},
    };
    return fields;
}

#undef FIELD

bool Set_Field(App& app, PLASMA_SETTINGS& record, const std::string& name, const std::string& value) {
    const auto it = Fields().find(name);
    if (it == Fields().end()) return false;
    auto* base = reinterpret_cast<uint8_t*>(&record) + it->second.offset;
    switch (it->second.kind) {
    case Kind::I32: { const int32_t v = std::stoi(value); std::memcpy(base, &v, 4); break; }
    case Kind::U8: base[0] = static_cast<uint8_t>(std::stoi(value)); break;
    case Kind::F32: { const float v = std::stof(value); std::memcpy(base, &v, 4); break; }
    case Kind::F64: { const double v = std::stod(value); std::memcpy(base, &v, 8); break; }
    case Kind::Text:
        if (value.size() >= it->second.size) return false;
        std::memset(base, 0, it->second.size);
        std::memcpy(base, value.data(), value.size());
        break;
    case Kind::All_I32:
        for (int i = 0; i < app.Objects_Loaded; ++i) record.object_count[i] = std::stoi(value);
        break;
    case Kind::All_F64: {
        const double v = std::stod(value);
        for (int i = 0; i < app.Objects_Loaded; ++i) std::memcpy(base + 8 * i, &v, 8);
        break;
    }
    }
    return true;
}

// "Gradient Slides" -> "gradient_slides.dat"
QString File_Name(const QString& name) {
    QString out;
    for (const QChar c : name) out += c.isLetterOrNumber() ? c.toLower() : QChar('_');
    return out + ".dat";
}

}  // namespace

bool Generate_Presets(const Options& options, const QString& table_path) {
    QFile table(table_path);
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "presets: cannot read %s\n", qPrintable(table_path));
        return false;
    }
    // The defaults as a 1024 x 768 desktop at 32 bits with the installed objects gives them.
    App app;
    Session s(app);
    s.display.Screen_Width = 1024;
    s.display.Screen_Height = 768;
    s.display.Screen_Bpp = 32;
    s.app.Objects_Loaded = 40;
    QTextStream in(&table);
    int written = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QStringList parts = line.split('|');
        if (parts.size() != 2) {
            std::fprintf(stderr, "presets: bad line: %s\n", qPrintable(line));
            return false;
        }
        const QString name = parts[0].trimmed();
        Default_Plasma_Settings(s);
        const QByteArray title = name.toUtf8();
        std::strncpy(s.Plasma_Settings.title_text, title.constData(), sizeof s.Plasma_Settings.title_text - 1);
        for (const QString& pair : parts[1].split(' ', Qt::SkipEmptyParts)) {
            const int eq = pair.indexOf('=');
            if (eq <= 0 || !Set_Field(s.app, s.Plasma_Settings, pair.left(eq).toStdString(), pair.mid(eq + 1).toStdString())) {
                std::fprintf(stderr, "presets: %s: bad field %s\n", qPrintable(name), qPrintable(pair));
                return false;
            }
        }
        const QByteArray bytes(reinterpret_cast<const char*>(&s.Plasma_Settings), sizeof s.Plasma_Settings);
        if (!Write_File(options.out_dir + "/" + File_Name(name),
                        std::vector<uint8_t>(bytes.begin(), bytes.end())))
            return false;
        ++written;
    }
    return written > 0;
}

}  // namespace datagen
