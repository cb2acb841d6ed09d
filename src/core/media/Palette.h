#pragma once
// A set of colour variants for palette swapping. Variant 0 is the reference:
// a bitmap's pixels are matched against its colours, and a palette-mapped
// bitmap is drawn with the same-numbered colours of the selected variant.
#include <allegro5/allegro.h>

#include <cstdint>
#include <vector>

struct Palette {
    uint32_t variantCount = 0;
    uint32_t colourCount = 0;
    // variants[v][c]: colour c of variant v. Readers keep variantCount and
    // colourCount equal to the sizes held here; drawing checks both anyway.
    std::vector<std::vector<ALLEGRO_COLOR>> variants;
};
