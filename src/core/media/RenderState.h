#pragma once
// Program-wide drawing state: the palette variant that palette-mapped bitmaps
// draw in, and the Allegro blender.
#include <cstdint>

// Stores the index when it is 0 or more; negative values are ignored.
void SetPaletteIndex(int32_t index);
int32_t GetPaletteIndex();
void SetBlender(int operation, int source, int destination);
// The premultiplied-alpha default: ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_INVERSE_ALPHA.
void ResetBlender();
