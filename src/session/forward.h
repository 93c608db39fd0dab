// The three owners of the program's state, named before their definitions: the process
// (App), one display with its window (Display) and one display session (Session).
#pragma once

struct App;
struct Display_Context;
struct Session;
