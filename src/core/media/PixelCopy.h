#pragma once
// Pixel-by-pixel copies of a w x h block between two Allegro bitmaps, with a
// mirror mode: 0 straight, 1 left-right, 2 top-bottom, 3 both. The
// destination becomes the drawing target. A null bitmap or a mode outside
// 0..3 copies nothing; pixels that fall outside either bitmap are skipped.
#include <allegro5/allegro.h>

// To the destination's origin; locks both bitmaps around the copy.
void CopyBitmapRegion(ALLEGRO_BITMAP* source, ALLEGRO_BITMAP* destination, int sx, int sy, int w, int h, int mode);
// To (dx, dy) of the destination; locks both bitmaps around the copy.
void CopyBitmapRegionTo(ALLEGRO_BITMAP* source, ALLEGRO_BITMAP* destination, int sx, int sy, int w, int h, int dx,
                        int dy, int mode);
// As CopyBitmapRegionTo, for a caller that already holds both bitmaps locked.
void CopyBitmapRegionLocked(ALLEGRO_BITMAP* source, ALLEGRO_BITMAP* destination, int sx, int sy, int w, int h, int dx,
                            int dy, int mode);
