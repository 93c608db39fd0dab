// One frame of the display.
#pragma once

extern int run_logged_once;
extern int about_picture_drawn;

int Run_Mirravane(Session& s);
void Draw_Status_Message(Session& s);
