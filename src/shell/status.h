// The one-line status text that the next frame draws once.
#pragma once

extern char status_message[256];
extern int status_message_pending;  // set by the writer, cleared by the frame that draws it
