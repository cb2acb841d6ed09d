#pragma once
// Fonts and images from the data library that a game may leave out. They are
// looked up without a warning line: a widget built before the fonts are
// registered, or a window without its decoration, is no fault.
#include <allegro5/allegro_font.h>

class BitmapWrapper;

// The font at Fonts/General/System/SystemFont, or null (also with no library).
ALLEGRO_FONT* SystemFont();

// The bitmap at Images/<catalogue>/<heading>/<name>, or null (also with no
// library).
BitmapWrapper* OptionalImage(const char* catalogue, const char* heading, const char* name);
