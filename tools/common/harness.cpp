#include "common/harness.h"

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include <unistd.h>

#include "diagnostics/diagnostics.h"
#include "platform/display/ddraw.h"
#include "platform/gdi/gdi.h"
#include "platform/system/system.h"
#include "platform/windows/windows.h"
#include "presets/lifecycle.h"
#include "presets/random_presets.h"
#include "shell/frame.h"
#include "session/run_mode.h"
#include "shell/seed.h"
#include "shell/session.h"
#include "shell/shell_link.h"
#include "surface/bmp_file.h"
#include "surface/display.h"
#include "session/session.h"

namespace {

LRESULT Harness_Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(window, message, wparam, lparam);
}

bool clock_started = false;

}  // namespace

bool Parse_Mode(const std::string& text, int& width, int& height, int& bpp) {
    int w = 0, h = 0, b = 0;
    if (std::sscanf(text.c_str(), "%dx%dx%d", &w, &h, &b) != 3) return false;
    if (w < 16 || h < 16 || w > 8192 || h > 8192) return false;
    if (b != 8 && b != 15 && b != 16 && b != 24 && b != 32) return false;
    width = w;
    height = h;
    bpp = b;
    return true;
}

bool Harness_Start(Session& s, const Harness_Options& options) {
    Install_Shell_Link(s);
    Set_Windows_Directory_Override(std::filesystem::absolute(options.windows_dir).string());
    Set_Headless_Desktop(options.width, options.height, options.bpp);
    s.app.Saver_Mode = CONFIGURE;
    s.display.Window_Mode = WINDOWED;
    s.display.Screen_Width = s.app.System_Width = options.width;
    s.display.Screen_Height = s.app.System_Height = options.height;
    s.display.Screen_Bpp = s.app.System_Bpp = options.bpp;
    s.display.Client_Width = options.width;
    s.display.Client_Height = options.height;

    if (options.log_to_file) {
        if (!Directory_Exists(Windows_Directory() + "\\Mirravane")) {
            std::fprintf(stderr, "No program folder: %s/Mirravane\n", options.windows_dir.c_str());
            return false;
        }
        s.app.error_logging = 1;
        Build_Error_Log_Path(s.app);
        if (!Stamp_Date_And_Title_To_Saver_Error_Log_File(s.app, "Mirravane Error Log File\r\n")) return false;
    }
    s.display.Show_Frame_Rate = 0;

    // The installed launcher starts the program in its folder: fonts and overlays named
    // relative to it resolve there.
    const std::string folder = Map_Path(Windows_Directory() + "\\Mirravane");
    if (chdir(folder.c_str()) != 0 && options.log_to_file) {
        std::fprintf(stderr, "Cannot enter the program folder %s\n", folder.c_str());
        return false;
    }

    Attach_Window(s, Create_Window(" Mirravane", WS_POPUP | WS_VISIBLE, 0, 0, 0, options.width, options.height, nullptr,
                                nullptr, Harness_Window_Proc, &s));
    s.app.Arrow_Cursor = LoadCursorArrow();

    Set_Fake_Clock(true, 0);
    clock_started = true;
    Set_Fixed_Session_Seed(s.app, true, options.seed);
    if (!Setup(s)) {
        Harness_Dump_Log(s.app);
        return false;
    }
    return true;
}

bool Harness_Apply_Preset(Session& s, const std::string& preset) {
    if (preset.empty()) {
        Default_Plasma_Settings(s);
        Refresh_Plasma(s);
    } else if (!Read_Plasma_Settings_From_File(s, preset.c_str())) {
        Harness_Dump_Log(s.app);
        return false;
    }
    Copy_Random_Settings(s);
    return true;
}

bool Harness_Frame(Session& s, double seconds) {
    if (seconds >= 0) {
        Advance_Fake_Clock(static_cast<int64_t>(seconds * 1e6 + 0.5));
    } else if (clock_started) {
        Set_Fake_Clock(false);
        clock_started = false;
        Start_Frame_Timer(s.display);
    }
    if (!Run_Mirravane(s)) {
        Harness_Dump_Log(s.app);
        return false;
    }
    return true;
}

void Harness_Stop(Session& s) {
    Shutdown(s);
    Close_Error_Log(s.app);
    s.app.error_logging = 0;
}

std::vector<uint32_t> Harness_Screen(Display_Context& d, int& width, int& height) {
    std::vector<uint32_t> out;
    width = d.Client_Width;
    height = d.Client_Height;
    if (!d.Visible || width <= 0 || height <= 0) return out;
    RECT client{};
    GetClientRect(d.Main_Window, &client);
    POINT origin{0, 0};
    ClientToScreen(d.Main_Window, &origin);
    width = std::min(client.right, d.Visible->width() - origin.x);
    height = std::min(client.bottom, d.Visible->height() - origin.y);
    out.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t v = d.Visible->Pixel(origin.x + x, origin.y + y);
            const COLORREF c = Pixel_To_Colour(d.Visible, v);
            out[static_cast<size_t>(y) * width + x] = (static_cast<uint32_t>(GetRValue(c)) << 16) |
                                                      (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
        }
    return out;
}

bool Write_Picture(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height) {
    const auto dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "png") {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) image.setPixel(x, y, 0xFF000000u | pixels[static_cast<size_t>(y) * width + x]);
        return image.save(QString::fromStdString(path), "PNG");
    }
    const std::vector<uint8_t> file = Encode_Bmp24(pixels.data(), width, height, Render_Tool_Bmp24);
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(f);
}

void Harness_Dump_Log(App& app) {
    if (!app.error_logging) return;
    Close_Error_Log(app);
    std::ifstream log(Map_Path(app.Error_Log_Path), std::ios::binary);
    std::string line;
    while (std::getline(log, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) std::cerr << line << "\n";
    }
}
