#include "text/font.h"

// The font layer arrives with the glyph pictures; until then no font draws, so the frame
// rate falls back to GDI text and titles measure nothing.
int Load_Font(int) { return 0; }
int Restore_Font(int) { return 0; }
int Draw_Text(Surface, int, int, int, const char*) { return 0; }
int Calculate_Message_Dimensions(int, const char*, int* width, int* height) {
    if (width) *width = 0;
    if (height) *height = 0;
    return 0;
}
int Release_All_Fonts() { return 1; }
