// Error reporting, the error log, memory and system information, the resolution table.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include "session/forward.h"

#include "platform/system/system.h"
#include "platform/windows/wintypes.h"

// The shared message buffer: room for a message that names a few paths of any length.
constexpr size_t MESSAGE_BUFFER_SIZE = 3 * PATH_BUFFER_SIZE + 512;

// Appends the text to the error log while it is on; otherwise shows it in a box captioned
// "Error" with the error sound. The text is not a format: callers format into
// Message_Buffer first (Report_Errorf does both). Returns 1 when the text was logged,
// 0 when it was shown in a box.
int Report_Error(App& app, const char* text);
// The second half of Report_Error: the text in a box captioned "Error" with the error sound
// (standard error under No_Modal_Reports), whether the log is on or not.
void Show_Error(App& app, const char* text);
// For the failure of something the user has just asked for (a file to open, an overlay): logged
// like any report, and shown as Show_Error does even while the log is on, since otherwise the
// user would see no reaction at all.
void Report_Error_To_User(App& app, const char* text);
// Formats into Message_Buffer, then reports it.
int Report_Errorf(App& app, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Shows information in a box captioned "Message" (formatted like printf).
void Message_Box(App& app, const char* format, ...) __attribute__((format(printf, 2, 3)));

int Save_Error_Log_To_File(App& app, const char* path, const char* text, int mode);
int Stamp_Date_And_Title_To_Saver_Error_Log_File(App& app, const char* title);
int Close_Error_Log(App& app);
void Log_Memory_Statistics(Display_Context& d);
int Determine_Operating_System(App& app, int* code);
int Decode_Resolution(App& app, int index, int* width, int* height, int* depth);
const char* Resolution_Text(int index);  // "640  x 480  x 32"; nullptr outside 0..19
uint32_t Get_File_Size(const char* name);
// Builds Error_Log_Path from the Windows directory.
void Build_Error_Log_Path(App& app);

// "Entering X" / "Exitting X" lines, written once per run while the log is on: the
// pair is written by the first call that reaches its successful end. Each pair is one
// constant object in static storage; the App remembers which pairs are done, and
// Reset_Diagnostics forgets them.
struct Once_Log {
    void enter(App& app, const char* line) const;  // writes line as given, e.g. "Entering Setup"
    void exit(App& app, const char* line) const;   // writes line, then marks the pair done
    bool done(const App& app) const;                // the pair has been written
};

// A failure met while frames are drawn comes back every frame, and a log that grows past
// its limit ends the program. While a Frame_Reports object lives (the frame driver holds
// one for each frame), a report already logged during an earlier frame is not logged again
// (Report_Errorf compares its format, so changing numbers do not count as new) until
// Forget_Frame_Reports, which applying a preset calls.
class Frame_Reports {
public:
    explicit Frame_Reports(App& app);
    ~Frame_Reports();
    Frame_Reports(const Frame_Reports&) = delete;
    Frame_Reports& operator=(const Frame_Reports&) = delete;

private:
    App& app_;
};
void Forget_Frame_Reports(App& app);

// Every logged-once flag of the program, so tests can start from a clean slate.
void Reset_Diagnostics(App& app);
