// The main window's styles: windowed with menu, maximised borderless, full screen.
#pragma once

int Switch_Window_Style();
int Maximise_Window();
