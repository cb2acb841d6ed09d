#pragma once

namespace testsupport {

// Starts Allegro once for the test program (system, image, font, ttf and
// primitives addons) without a display; new bitmaps are memory bitmaps.
// Safe to call from every test.
void EnsureAllegro();

// Display tests: creates (once) a small window so video bitmaps exist;
// returns false when no display can be opened.
bool EnsureDisplay();

}  // namespace testsupport
