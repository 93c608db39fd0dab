#include "fuzz_session.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "common/harness.h"
#include "diagnostics/diagnostics.h"
#include "platform/display/ddraw.h"
#include "platform/windows/windows.h"
#include "support/installed_program.h"
#include "session/session.h"

namespace {

constexpr int Desktop_Width = 320;
constexpr int Desktop_Height = 240;

Installed_Program* program = nullptr;
int session_bpp = 0;
bool session_tried = false;  // a failed Setup leaves surfaces behind that Shutdown releases

}  // namespace

Session& Fuzz_The_Session() {
    static App* app = new App;
    static Session* session = new Session(*app);
    return *session;
}

Fuzz_Deadline::~Fuzz_Deadline() {
    // MIRRAVANE_FUZZ_LIMIT_MS lowers the limit to look for slow calls by hand.
    static const long limit_ms = [] {
        const char* v = std::getenv("MIRRAVANE_FUZZ_LIMIT_MS");
        return v ? std::strtol(v, nullptr, 10) : 1000L;
    }();
    const auto taken = std::chrono::steady_clock::now() - start_;
    if (taken > std::chrono::milliseconds(limit_ms)) {
        std::fprintf(stderr, "%s took %.3f s\n", what_, std::chrono::duration<double>(taken).count());
        std::abort();
    }
}

const std::string& Fuzz_Program_Folder() {
    static std::string folder;
    if (folder.empty()) {
        if (!program) program = new Installed_Program(3, false, Desktop_Width, Desktop_Height, 32);
        folder = program->home().string();
    }
    return folder;
}

void Fuzz_Write_File(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

bool Fuzz_Session(Session& s, int bpp) {
    Fuzz_Program_Folder();
    if (session_bpp == bpp) return true;
    if (session_tried) {
        Harness_Stop(s);
        if (s.display.Main_Window) DestroyWindow(s.display.Main_Window);
        s.display.Main_Window = nullptr;
        Reset_Display_Service();
    }
    session_bpp = 0;
    session_tried = true;
    Harness_Options options;
    options.windows_dir = program->folder().path();
    options.width = Desktop_Width;
    options.height = Desktop_Height;
    options.bpp = bpp;
    options.log_to_file = false;
    if (!Harness_Start(s, options)) return false;
    session_bpp = bpp;
    return true;
}

// The system libraries keep some allocations for the whole process (font configuration,
// Qt's font database); the same list as the sanitizer builds' suppressions, built in so a
// fuzzer run by hand needs no environment.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\nleak:libfreetype\nleak:libQt6Gui\nleak:libQt6Core\nleak:libdbus\nleak:libglib\n";
}
