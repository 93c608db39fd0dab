// The real window system: windows, menus, boxes, file dialogs, help and the picture on
// screen, through Qt. Free of Qt headers so that the program's entry can include it.
#pragma once

// Opens the display and makes the Qt backend the window system. False (with one line on
// standard error) when no display can be opened.
bool Install_Qt_Backend(int& argc, char** argv);
// Closes every window, puts the headless backend back and ends the Qt application.
void Shutdown_Qt_Backend();
