// A bare display for surface-layer tests: the display interface at a chosen depth, the
// screen globals set to match, error reports collected as headless boxes.
#pragma once

#include <string>
#include <vector>
#include "session/forward.h"

#include <gtest/gtest.h>

#include "support/fresh_session.h"
#include "surface/surface.h"

// Opens the display service with a desktop of the given size and depth (surfaces take that
// depth). `format_565` picks the 16-bit layout.
void Open_Surface_Display(Display_Context& d, int width, int height, int bpp, bool format_565 = true);
// Creates Visible, the screen of the open 8-bit display, showing a 6 x 6 x 6 colour cube:
// entry i is red i / 36, green i / 6 % 6, blue i % 6, in steps of 51 (entries 216 on black).
void Show_Colour_Cube(Display_Context& d, PALETTEENTRY (&entries)[256]);
// Releases the main surfaces and the interfaces the open made.
void Close_Surface_Display(Display_Context& d);

// The reports made since the last call ("[Error] " removed), emptying the record.
std::vector<std::string> Take_Reports();

// Reads and writes one pixel through the service's direct access (no lock needed).
uint32_t Peek(Surface surface, int x, int y);
void Poke(Surface surface, int x, int y, uint32_t value);

class Surface_Test : public ::testing::Test {
protected:
    Fresh_Session fresh_;
    Session& s = fresh_.session;

    void Open(int bpp, bool format_565 = true, int width = 64, int height = 48) {
        Open_Surface_Display(s.display, width, height, bpp, format_565);
    }
    void TearDown() override { Close_Surface_Display(s.display); }
};
