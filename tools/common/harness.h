// A headless run of the program for the tools: a desktop of a chosen mode, a window whose
// client area covers it, a display session built through Setup, frames through the frame
// driver with a fixed frame time, and the picture on the screen read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include "session/forward.h"

struct Harness_Options {
    std::string windows_dir;   // holds Mirravane/
    int width = 640, height = 480, bpp = 32;
    uint32_t seed = 1;
    bool log_to_file = true;   // error log in the program folder, as the program does
};

// Parses "WxHxBPP".
bool Parse_Mode(const std::string& text, int& width, int& height, int& bpp);

// Builds the session; false (messages on standard error) when it could not.
bool Harness_Start(Session& s, const Harness_Options& options);
// Applies a preset file, or the built-in defaults when the name is empty.
bool Harness_Apply_Preset(Session& s, const std::string& preset);
// Runs one frame with the frame time fixed at `seconds` (negative: the real clock).
bool Harness_Frame(Session& s, double seconds);
void Harness_Stop(Session& s);
// The client area of the screen as 0x00RRGGBB pixels, top row first.
std::vector<uint32_t> Harness_Screen(Display_Context& d, int& width, int& height);
bool Write_Picture(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);
// Copies the error log to standard error (after a failure).
void Harness_Dump_Log(App& app);
