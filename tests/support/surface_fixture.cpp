#include "support/surface_fixture.h"

#include "diagnostics/diagnostics.h"
#include "platform/display/ddraw.h"
#include "platform/windows/windows.h"
#include "surface/display.h"
#include "session/session.h"

void Open_Surface_Display(Display_Context& d, int width, int height, int bpp, bool format_565) {
    Reset_Display_Service();
    Display_Settings().desktop_width = width;
    Display_Settings().desktop_height = height;
    Display_Settings().desktop_bpp = bpp;
    Display_Settings().format_16_is_565 = format_565;
    d.app.error_logging = 0;
    Headless().boxes.clear();
    ASSERT_EQ(DirectDrawCreate(nullptr, &d.Direct_Draw, nullptr), DD_OK);
    ASSERT_EQ(d.Direct_Draw->QueryInterface(&d.Direct_Draw_Interface), DD_OK);
    ASSERT_EQ(d.Direct_Draw_Interface->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    d.Screen_Width = width;
    d.Screen_Height = height;
    d.Screen_Bpp = bpp;
}

void Show_Colour_Cube(Display_Context& d, PALETTEENTRY (&entries)[256]) {
    for (int i = 0; i < 256; ++i)
        entries[i] = i < 216 ? PALETTEENTRY{static_cast<uint8_t>(i / 36 * 51), static_cast<uint8_t>(i / 6 % 6 * 51),
                                            static_cast<uint8_t>(i % 6 * 51), 0}
                             : PALETTEENTRY{};
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS;
    desc.dwCaps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(d.Direct_Draw_Interface->CreateSurface(&desc, &d.Visible), DD_OK);
    DDPalette* palette = nullptr;
    ASSERT_EQ(d.Direct_Draw_Interface->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, entries, &palette), DD_OK);
    ASSERT_EQ(d.Visible->SetPalette(palette), DD_OK);
    palette->Release();
}

void Close_Surface_Display(Display_Context& d) {
    Release_Surface(&d.Scratch_Pad);
    Release_Surface(&d.Hidden);
    Release_Surface(&d.Visible);
    if (d.Direct_Draw_Interface) d.Direct_Draw_Interface->Release();
    if (d.Direct_Draw) d.Direct_Draw->Release();
    d.Direct_Draw_Interface = nullptr;
    d.Direct_Draw = nullptr;
    Clear_DD_Faults();
}

std::vector<std::string> Take_Reports() {
    std::vector<std::string> out;
    const std::string prefix = "[Error] ";
    for (const std::string& box : Headless().boxes)
        out.push_back(box.rfind(prefix, 0) == 0 ? box.substr(prefix.size()) : box);
    Headless().boxes.clear();
    return out;
}

uint32_t Peek(Surface surface, int x, int y) { return surface->Pixel(x, y); }
void Poke(Surface surface, int x, int y, uint32_t value) { surface->Set_Pixel(x, y, value); }
