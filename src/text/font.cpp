#include "text/font.h"

#include <cstdio>
#include <cstring>

#include "diagnostics/diagnostics.h"
#include "platform/system/system.h"
#include "surface/bitmap.h"
#include "surface/blit.h"
#include "surface/display.h"
#include "session/session.h"


namespace {

struct Font_Source {
    const char* file;  // relative to the working folder; null: below the Windows directory
    int cell_height;
    const Glyph_Entry* glyphs;
};

const Font_Source Font_Sources[Font_Count] = {
    {"include/fonts/gold_26.bmp", 26, Glyph_Table_1},
    {"include/fonts/silver_32.bmp", 32, Glyph_Table_2},
    {"include/fonts/gold_32.bmp", 32, Glyph_Table_2},
    {"include/fonts/red_32.bmp", 32, Glyph_Table_2},
    {"include/fonts/blue_32.bmp", 32, Glyph_Table_2},
    {"include/fonts/grey_32.bmp", 32, Glyph_Table_2},
    {"include/fonts/dark_silver_32.bmp", 32, Glyph_Table_2},
    {"include/fonts/dark_gold_32.bmp", 32, Glyph_Table_2},
    {"include/fonts/dark_red_32.bmp", 32, Glyph_Table_2},
    {nullptr, 34, Glyph_Table_3},
};

constexpr int Longest_Text = 511;

bool Is_Lost(Surface surface) { return surface != nullptr && surface->IsLost() != DD_OK; }

}  // namespace

int Glyph_Number(char character) {
    const unsigned char c = static_cast<unsigned char>(character);
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 87;
    if (c >= 'A' && c <= 'Z') return c - 29;
    switch (c) {
    case '!': return 63;
    case '@': return 64;
    case '#': return 65;
    case '$': return 66;
    case '%': return 67;
    case '^': return 68;
    case '&': return 69;
    case '(': return 71;
    case ')': return 72;
    case '_': return 73;
    case '+': return 74;
    case '{': return 75;
    case '}': return 76;
    case '|': return 77;
    case '"': return 78;
    case ':': return 79;
    case '?': return 80;
    case '>': return 81;
    case '<': return 82;
    case ',': return 83;
    case '.': return 84;
    case '/': return 85;
    case ';': return 86;
    case '[': return 88;
    case ']': return 89;
    case '=': return 91;
    case '`': return 93;
    default: return 92;
    }
}

int Get_Glyph(char character, const Font_Record* font, int* x, int* y, int* width) {
    const Glyph_Entry& entry = font->glyphs[Glyph_Number(character)];
    *x = entry.x;
    *y = entry.y;
    *width = entry.width;
    return 1;
}

int Load_Font(Session& s, int font) {
    if (static_cast<unsigned>(font) >= Font_Count) {
        Report_Errorf(s.app, "Load_Font():Illegal font number %d", font);
        return 0;
    }
    Font_Record& record = s.fonts.Font_Table[font];
    record.number = font;

    char name[PATH_BUFFER_SIZE] = {};
    const Font_Source& source = Font_Sources[font];
    if (source.file) {
        std::snprintf(name, sizeof name, "%s", source.file);
    } else {
        char windows[PATH_BUFFER_SIZE] = {};
        GetWindowsDirectoryA(windows, sizeof windows);
        // A path cut short could name another file: then the font is not found.
        const int length = std::snprintf(name, sizeof name, "%s\\Mirravane\\Data\\Bmp\\Font.bmp", windows);
        if (length < 0 || static_cast<size_t>(length) >= sizeof name) name[0] = '\0';
    }
    record.cell_height = source.cell_height;
    record.glyphs = source.glyphs;

    if (!File_Exists(name)) {
        Report_Errorf(s.app, "Load_Font():font file %s not found", name);
        return 0;
    }
    // Loading over a loaded font would leak its surface and count it twice.
    if (record.surface != nullptr) {
        Release_Surface(&record.surface);
        --s.fonts.Fonts_Loaded;
    }
    int width = 0, height = 0;
    record.surface = Load_SYSTEM_Bitmap(s.display, name, &width, &height);
    if (record.surface == nullptr) {
        Report_Errorf(s.app, "Load_Font():Unable to load font file %s", name);
        return 0;
    }
    record.bitmap_width = width;
    record.spacing = record.cell_height / 32;
    ++s.fonts.Fonts_Loaded;
    return 1;
}

int Restore_Font(Session& s, int font) {
    if (font < 1 || font >= Font_Count) {
        Report_Errorf(s.app, "Restore_Font(): Bad font num %d", font);
        return 0;
    }
    // The lost surface is given back rather than dropped, so it does not leak.
    Release_Surface(&s.fonts.Font_Table[font].surface);
    if (!Load_Font(s, font)) {
        Report_Error(s.app, "Restore_Font():Unable to load font #d");
        return 0;
    }
    --s.fonts.Fonts_Loaded;
    return 1;
}

int Draw_Text(Session& s, Surface dest, int x, int y, int font, const char* text) {
    if (text == nullptr || text[0] == '\0') {
        Report_Error(s.app, "Draw_Text():Illegal Message");
        return 0;
    }
    if (static_cast<unsigned>(font) >= Font_Count) {
        Report_Errorf(s.app, "Draw_Text():Illegal Font # %d", font);
        return 0;
    }
    if (dest == nullptr) {
        Report_Errorf(s.app, "Draw_Text():Invalid Destination Surface cannot write: %s", text);
        return 0;
    }
    if (Is_Lost(dest)) {
        const bool restored = (dest != s.display.Hidden || Restore_All_Surfaces(s.display)) && dest->Restore() == DD_OK;
        if (!restored) {
            Report_Errorf(s.app, "Draw_Text():Invalid Destination Surface cannot write: %s", text);
            return 0;
        }
    }
    const size_t length = std::strlen(text);
    if (length > Longest_Text) {
        Report_Errorf(s.app, "Draw_Text():Illegal Message Length %d\nfor message %s", static_cast<int>(length), text);
        return 0;
    }

    Font_Record& record = s.fonts.Font_Table[font];
    if (record.surface == nullptr) {
        if (!Load_Font(s, font)) {
            Report_Errorf(s.app, "Draw_Text():Invalid Font Surface - surface is NULL & Unable to Load the font_num %d", font);
            return 0;
        }
    } else if (Is_Lost(record.surface)) {
        if (!Restore_Font(s, font)) {
            Report_Error(s.app, "Draw_Text():Invalid Font Surface: lost font");
            return 0;
        }
    }

    int clip_width = s.display.Screen_Width, clip_height = s.display.Screen_Height;
    if (dest != s.display.Hidden && !Grab_Surface_Dimensions(s.app, dest, &clip_width, &clip_height)) {
        Report_Error(s.app, "Draw_Text(): Grab_Surface_Dimensions FAILED");
        return 0;
    }

    // A leading space has no glyph before it: it counts a width of 0.
    int pen_x = x;
    int glyph_width = 0;
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c != ' ') {
            int gx = 0, gy = 0;
            Get_Glyph(c, &record, &gx, &gy, &glyph_width);
            if (!Masked_Clip_Blit_Ex(s.display, record.surface, dest, gx, gy, pen_x, y, glyph_width, record.cell_height,
                                     clip_width, clip_height)) {
                Report_Errorf(s.app, "Draw_Text():Unable to draw character %c\nsource (%d,%d)\ndest (%d,%d)\nw,h -> (%d,%d)",
                              c, gx, gy, pen_x, y, glyph_width, record.cell_height);
                return 0;
            }
        } else {
            pen_x += 2 * record.spacing;
        }
        pen_x += glyph_width + record.spacing;
    }
    return 1;
}

int Calculate_Message_Dimensions(Session& s, int font, const char* text, int* width, int* height) {
    if (static_cast<unsigned>(font) >= Font_Count) {
        Report_Errorf(s.app, "Calculate_Message_Dimensions():Illegal Font # %d", font);
        return 0;
    }
    Font_Record& record = s.fonts.Font_Table[font];
    if (record.surface == nullptr && !Load_Font(s, font)) {
        Report_Errorf(s.app, "Calculate_Message_Dimensions():Invalid Font Surface - surface is NULL & Unable to Load the "
                      "font_num %d",
                      font);
        return 0;
    }
    *height = record.cell_height;
    int total = 0;
    int glyph_width = 0;
    for (const char* c = text ? text : ""; *c != '\0'; ++c) {
        if (*c == ' ') {
            total += record.spacing;
        } else {
            int gx = 0, gy = 0;
            Get_Glyph(*c, &record, &gx, &gy, &glyph_width);
        }
        total += glyph_width + 2 * record.spacing;
    }
    *width = total;
    return 1;
}

int Release_All_Fonts(Session& s) {
    for (Font_Record& record : s.fonts.Font_Table) Release_Surface(&record.surface);
    s.fonts.Fonts_Loaded = 0;
    return 1;
}
