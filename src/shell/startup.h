// Start-up: the command line, the screen-saver modes, the main window, the message loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "session/forward.h"

#include "platform/windows/windows.h"


// Start_Up's results, and the exit code of a start that failed.
constexpr int START_FAILED = -1;
constexpr int START_ENDED = 0;  // an early end that is no failure (/a, a saver already running)
constexpr int START_RUNNING = 1;
constexpr int START_FAILED_EXIT_CODE = 1;

// The whole command line, program name included; returns the Saver_Mode value.
int Parse_Command_Line(const char* line, uintptr_t* preview_parent);
int Is_Saver_Running(App& app);
bool Translate_Accelerator(Display_Context& d, const MSG* msg);
int Message_Loop(Session& s);
// Everything before the message loop: START_RUNNING when the loop is to run. A start that
// fails has said why (a box in configuration, standard error in saver and preview mode) and
// left no window, log or lock behind.
int Start_Up(Session& s, const char* command_line);
// A saver of its own (no host window) covers every monitor: after Start_Up, one more session
// for each monitor but the primary, showing the same preset. A monitor whose session fails
// is logged and left out. The sessions end with the first (its window's destroy handling).
std::vector<std::unique_ptr<Session>> Start_Other_Monitors(Session& first);
// The exit code of a start that did not run the loop.
int Start_Exit_Code(int started);
// The program: returns the exit code.
int Mirravane_Main(Session& s, const char* command_line);
// When the window system ends the process under the running loop (its display went away),
// the destroy handling runs on the headless backend, so default.dat is kept in configuration
// mode as on any other end. Does nothing unless the loop is running.
void End_After_Lost_Display(Display_Context& d);
