// Plasma tables and the 8-bit palettes.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "common/random.h"
#include "diagnostics/diagnostics.h"
#include "plasma/plasma.h"
#include "plasma/plasma_math.h"
#include "presets/plasma_settings.h"
#include "surface/display.h"
#include "session/session.h"



namespace {

// A table of 4·W·H or 8·W·H bytes; sizes a corrupt preset could make absurd are refused
// (reported as an allocation failure) rather than wrapped.
uint8_t* Allocate_Table(int64_t bytes) {
    if (bytes < 0 || bytes > INT32_MAX) return nullptr;
    return static_cast<uint8_t*>(std::malloc(bytes > 0 ? static_cast<size_t>(bytes) : 1));
}

struct Rgb {
    int r, g, b;
};

// The ten quarter-palette schemes: k is the index within the quarter.
Rgb Scheme_Colour(int s, int quarter, int k) {
    const int j = 63 - k;
    switch (s * 4 + quarter) {
        case 0: return {k, 0, 0};
        case 1: return {j, k, 0};
        case 2: return {0, j, k};
        case 3: return {0, 0, j};
        case 4: return {0, k / 4, 0};
        case 5: return {0, k, 64 + k};
        case 6: return {0, j, k};
        case 7: return {0, 0, j};
        case 8: return {0, 0, k};
        case 9: return {0, k, j};
        case 10: return {k, j, k};
        case 11: return {j, 0, j};
        case 12: return {2 * k, 0, 0};
        case 13: return {126 - 2 * k, 2 * k, 0};
        case 14: return {0, 126 - 2 * k, 2 * k};
        case 15: return {0, 0, 126 - 2 * k};
        case 16: return {2 * k, 0, 0};
        case 17: return {126 - 2 * k, 0, 126 - 2 * k};
        case 18: return {k, 0, k};
        case 19: return {j, 0, j};
        case 20: return {k, 0, k / 2};
        case 21: return {j / 2, 0, j};
        case 22: return {j, 0, j / 2};
        case 23: return {j / 2, 0, j};
        case 24: return {2 * k, 0, 0};
        case 25: return {126 - 2 * k, 0, k};
        case 26: return {j / 2, j / 2, j / 2};
        case 27: return {0, 0, j};
        case 28: return {2 * k, 2 * k, 0};
        case 29: return {128 + 2 * k, 128 + 2 * k, 0};
        case 30: return {252 - 4 * k, 252 - 4 * k, 0};
        case 31: return {0, 0, 126 - 2 * k};
        case 32: return {0, 2 * k, 2 * k};
        case 33: return {0, 128 + 2 * k, 128 + 2 * k};
        case 34: return {0, 252 - 4 * k, 252 - 4 * k};
        case 35: return {126 - 2 * k, 0, 0};
        case 36: return {0, 0, 2 * k};
        case 37: return {0, 2 * k, 126 - 2 * k};
        case 38: return {2 * k, 126 - 2 * k, 2 * k};
        default: return {126 - 2 * k, 0, 126 - 2 * k};
    }
}

// Right-shift counts (red, green, blue) for entries 0..127, then for 128..255.
constexpr int Shift_Schemes[20][6] = {
    {2, 0, 0, 2, 1, 0}, {2, 0, 0, 2, 0, 1}, {0, 0, 2, 1, 0, 2}, {3, 0, 2, 0, 1, 2},
    {0, 2, 0, 1, 2, 0}, {2, 2, 0, 1, 2, 0}, {2, 0, 2, 2, 5, 0}, {0, 0, 2, 0, 1, 2},
    {0, 0, 2, 1, 0, 2}, {3, 3, 2, 1, 1, 1}, {2, 2, 2, 1, 1, 0}, {2, 2, 3, 1, 2, 3},
    {2, 3, 2, 1, 3, 2}, {3, 2, 1, 1, 2, 3}, {3, 2, 3, 2, 2, 2}, {2, 2, 2, 2, 2, 2},
    {3, 0, 1, 2, 1, 0}, {2, 0, 2, 1, 1, 2}, {2, 3, 3, 2, 3, 1}, {3, 2, 3, 2, 3, 1},
};

uint8_t Shifted(int i, int shift) { return shift ? static_cast<uint8_t>(i >> shift) : 0; }

}  // namespace

int Setup_Plasma(Session& s, Plasma_Context* context) {
    Plasma_Context& c = *context;
    c.width = s.Plasma_Settings.plasma_width;
    c.height = s.Plasma_Settings.plasma_height;
    c.contrast = s.Plasma_Settings.contrast;
    const int W = c.width, H = c.height, contrast = c.contrast;
    const float ripple = s.Plasma_Settings.ripple;
    const float interference = s.Plasma_Settings.interference;
    const int complexity = s.Plasma_Settings.complexity;

    // The phases are drawn before the depth is checked: the order of draws is fixed.
    for (int k = 0; k < 8; ++k) {
        const float phase = static_cast<float>(Random(s.app) * 0.00006103515625);
        c.phase[k] = (k & 1) ? -phase : phase;
    }

    const int bpp = s.display.Screen_Bpp;
    if (bpp != 8 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32) {
        Report_Errorf(s.app, "Initialise_Plasma():\n\nUnsupported bpp %d", bpp);
        return 0;
    }

    const int64_t bytes = (bpp == 8 ? 4 : 8) * static_cast<int64_t>(W) * H;
    c.table1 = Allocate_Table(bytes);
    c.table2 = Allocate_Table(bytes);
    if (bpp == 8) Random_Plasma_Palette(s);

    if (!c.table1) {
        Report_Error(s.app, "Setup_Plasma():\n\nUnable to allocate memory for plasma table 1");
        std::free(c.table2);
        c.table1 = c.table2 = nullptr;
        return 0;
    }
    if (!c.table2) {
        std::free(c.table1);
        c.table1 = c.table2 = nullptr;
        Report_Error(s.app, "Setup_Plasma():\n\nUnable to allocate memory for plasma table 2");
        return 0;
    }

    const int64_t stride = 2 * static_cast<int64_t>(W);
    for (int y = 0; y < H; ++y) {
        uint8_t* row1 = c.table1 + y * stride;
        uint8_t* row2 = c.table2 + y * stride;
        const double dy = H - y;
        for (int x = 0; x < W; ++x) {
            const double dx = W - x;
            const double d = std::sqrt(dx * dx + dy * dy + 16.0) - 4.0;
            row1[x] = static_cast<uint8_t>(Trunc_To_Int32(d * ripple / contrast) & 0xFF);
            row2[x] = static_cast<uint8_t>(
                Trunc_To_Int32((std::sin(d / interference) + 1.0) * complexity / contrast) & 0xFF);
        }
        for (int x = W; x < 2 * W; ++x) {
            row1[x] = row1[2 * W - 1 - x];
            row2[x] = row2[2 * W - 1 - x];
        }
    }
    for (int y = H; y < 2 * H; ++y) {
        std::memcpy(c.table1 + y * stride, c.table1 + (2 * H - 1 - y) * stride, static_cast<size_t>(stride));
        std::memcpy(c.table2 + y * stride, c.table2 + (2 * H - 1 - y) * stride, static_cast<size_t>(stride));
    }
    return 1;
}

void Random_Plasma_Palette(Session& s) {
    if (!s.display.Palette) return;
    std::fill(std::begin(s.display.Palette_Entries), std::end(s.display.Palette_Entries), PALETTEENTRY{});
    const int scheme = Random(s.app) % 11;
    if (scheme == 10) {
        Shift_Palette(s, -1);
    } else {
        for (int quarter = 0; quarter < 4; ++quarter) {
            for (int k = 0; k < 64; ++k) {
                const Rgb rgb = Scheme_Colour(scheme, quarter, k);
                PALETTEENTRY& e = s.display.Palette_Entries[quarter * 64 + k];
                e.peRed = static_cast<uint8_t>(rgb.r);
                e.peGreen = static_cast<uint8_t>(rgb.g);
                e.peBlue = static_cast<uint8_t>(rgb.b);
            }
        }
    }
    s.display.Palette->SetEntries(0, 0, 256, s.display.Palette_Entries);
}

void Shift_Palette(Session& s, int scheme) {
    if (!s.display.Palette) return;
    std::fill(std::begin(s.display.Palette_Entries), std::end(s.display.Palette_Entries), PALETTEENTRY{});
    if (scheme == -1) {
        do {
            scheme = Random(s.app) % 20;
        } while (scheme == s.plasma.Last_Palette_Scheme);
    } else if (scheme < 0 || scheme > 19) {
        scheme = 0;
    }
    s.plasma.Last_Palette_Scheme = scheme;

    const int* shifts = Shift_Schemes[scheme];
    for (int i = 0; i < 256; ++i) {
        const int* shift = i < 128 ? shifts : shifts + 3;
        PALETTEENTRY& e = s.display.Palette_Entries[i];
        e.peRed = Shifted(i, shift[0]);
        e.peGreen = Shifted(i, shift[1]);
        e.peBlue = Shifted(i, shift[2]);
        e.peFlags = 4;  // no-collapse
    }
    s.display.Palette->SetEntries(0, 0, 256, s.display.Palette_Entries);
}
