// The real window system: windows, menus, boxes, file dialogs, help and the picture on
// screen, through Qt. Free of Qt headers so that the program's entry can include it.
#pragma once

// Opens the display and makes the Qt backend the window system. False (with one line on
// standard error) when no display can be opened. A program that draws into a window of
// another program (`embeds`) names it by an X window id, so it needs the X11 platform,
// whatever the session prefers.
bool Install_Qt_Backend(int& argc, char** argv, bool embeds = false);
// Closes every window, puts the headless backend back and ends the Qt application.
void Shutdown_Qt_Backend();
