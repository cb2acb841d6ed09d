// makeitemart: draws the sample game's item pictures and packs them.
//
//   makeitemart DATA_FOLDER
//
// Writes DATA_FOLDER/Items.sif: each item as a 32 x 32 inventory icon
// ("<Name>Icon") and as a 16 x 16 picture lying on the ground ("<Name>"),
// and the two standing stones of the meadow ("SaveStone", "MemoryStone").
// Every picture is computed pixel by pixel from a few shapes, so the output
// is the same on every machine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "ArchiveWriter.h"
#include "PictureDrawing.h"

namespace {

using art::Mix;
using art::RGBA;

const RGBA kClear{0, 0, 0, 0};
const RGBA kOutline{0.08, 0.06, 0.1, 1};

// A picture of the given size drawn by a shade function on a unit square
// (u, v in 0..1), sampled 4 x 4 times per pixel.
sif::Picture Draw(uint32_t size, const std::function<RGBA(double, double)>& shade) {
    return art::DrawPicture(size, size, 4, [&](double x, double y) { return shade(x / size, y / size); });
}

double Distance(double u, double v, double cu, double cv) { return std::hypot(u - cu, v - cv); }

// A round flask of red cordial with a cork and a highlight.
RGBA Potion(double u, double v) {
    const double body = Distance(u, v, 0.5, 0.62);
    if (body < 0.3) {
        if (Distance(u, v, 0.4, 0.52) < 0.07) return RGBA{1, 0.85, 0.85, 1};
        if (body > 0.26) return kOutline;
        const RGBA liquid = Mix(RGBA{0.95, 0.2, 0.25, 1}, RGBA{0.55, 0.05, 0.1, 1}, (v - 0.4) / 0.5);
        return v > 0.5 ? liquid : RGBA{0.8, 0.85, 0.95, 0.6};
    }
    if (u > 0.41 && u < 0.59 && v > 0.18 && v < 0.36)
        return u < 0.44 || u > 0.56 ? kOutline : RGBA{0.8, 0.85, 0.95, 0.7};
    if (u > 0.39 && u < 0.61 && v > 0.08 && v < 0.2) return RGBA{0.6, 0.42, 0.22, 1};
    return kClear;
}

// A green leaf with its stem and midrib.
RGBA Herb(double u, double v) {
    // The leaf is an ellipse along the diagonal.
    const double a = (u - 0.5 + v - 0.5) / std::sqrt(2.0);
    const double b = (u - 0.5 - (v - 0.5)) / std::sqrt(2.0);
    const double e = (a * a) / (0.38 * 0.38) + (b * b) / (0.2 * 0.2);
    if (e < 1) {
        if (std::fabs(b) < 0.02) return RGBA{0.75, 0.9, 0.5, 1};
        if (e > 0.8) return RGBA{0.1, 0.3, 0.1, 1};
        return Mix(RGBA{0.35, 0.75, 0.3, 1}, RGBA{0.15, 0.45, 0.15, 1}, (a + 0.4) / 0.8);
    }
    if (std::fabs(b) < 0.03 && a > 0.3 && a < 0.5) return RGBA{0.4, 0.3, 0.15, 1};
    return kClear;
}

// A pale blue stone that glows faintly.
RGBA Moonstone(double u, double v) {
    const double d = std::hypot((u - 0.5) / 0.36, (v - 0.55) / 0.28);
    if (d < 1) {
        if (d > 0.88) return kOutline;
        if (Distance(u, v, 0.4, 0.45) < 0.08) return RGBA{1, 1, 1, 1};
        return Mix(RGBA{0.8, 0.9, 1, 1}, RGBA{0.45, 0.55, 0.8, 1}, d);
    }
    if (d < 1.3) return RGBA{0.7, 0.8, 1, 0.35 * (1.3 - d) / 0.3};
    return kClear;
}

// A standing stone with a carved rune in the given colour.
std::function<RGBA(double, double)> Stone(RGBA rune) {
    return [rune](double u, double v) {
        const double halfWidth = 0.28 - 0.08 * (1 - v);
        if (v > 0.06 && v < 0.96 && std::fabs(u - 0.5) < halfWidth) {
            if (std::fabs(u - 0.5) > halfWidth - 0.05 || v < 0.1 || v > 0.92) return kOutline;
            const bool carved = (std::fabs(u - 0.5) < 0.04 && v > 0.25 && v < 0.75) ||
                                (std::fabs(v - 0.4 - std::fabs(u - 0.5)) < 0.04 && std::fabs(u - 0.5) < 0.14);
            if (carved) return rune;
            return Mix(RGBA{0.62, 0.62, 0.66, 1}, RGBA{0.38, 0.38, 0.44, 1}, v);
        }
        return kClear;
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeitemart DATA_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    sif::ArchiveWriter items;
    const std::pair<const char*, std::function<RGBA(double, double)>> pictures[] = {
        {"Potion", Potion}, {"Herb", Herb}, {"Moonstone", Moonstone}};
    bool ok = true;
    for (const auto& [name, shade] : pictures) {
        ok = ok && items.AddImage(std::string(name) + "Icon", Draw(32, shade));
        ok = ok && items.AddImage(name, Draw(16, shade));
    }
    ok = ok && items.AddImage("SaveStone", Draw(16, Stone(RGBA{0.35, 0.65, 1, 1})));
    ok = ok && items.AddImage("MemoryStone", Draw(16, Stone(RGBA{1, 0.8, 0.3, 1})));
    ok = ok && items.WriteFile(folder + "/Items.sif", true);
    if (!ok) std::fprintf(stderr, "makeitemart: cannot write %s/Items.sif\n", folder.c_str());
    return ok ? 0 : 1;
}
