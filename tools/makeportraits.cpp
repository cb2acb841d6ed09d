// makeportraits: draws the dialogue portraits of the sample game's characters
// and packs them.
//
//   makeportraits DATA_FOLDER
//
// Writes DATA_FOLDER/Portraits.sif with one 200 x 190 picture per character
// ("ElderPortrait"), the size of the dialogue box's picture pane. Every
// pixel is computed from a few shapes, so the output is the same on every
// machine.
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

constexpr uint32_t kWidth = 200;
constexpr uint32_t kHeight = 190;

bool InEllipse(double x, double y, double cx, double cy, double rx, double ry) {
    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1;
}

// A picture drawn by a function of the pixel centre, 3 x 3 samples a pixel.
sif::Picture Draw(const std::function<RGBA(double, double)>& shade) {
    return art::DrawPicture(kWidth, kHeight, 3, shade);
}

// The village elder from the chest up, against the evening sky: a blue robe
// with golden trim, a round face, a long white beard and a hood.
RGBA Elder(double x, double y) {
    const RGBA skyTop{0.10, 0.12, 0.30, 1}, skyLow{0.42, 0.30, 0.45, 1};
    const RGBA robe{0.22, 0.30, 0.62, 1}, robeDark{0.14, 0.19, 0.42, 1}, trim{0.90, 0.80, 0.35, 1};
    const RGBA skin{0.93, 0.76, 0.60, 1}, beard{0.95, 0.95, 0.92, 1}, beardShade{0.78, 0.78, 0.80, 1};
    const RGBA eye{0.10, 0.08, 0.12, 1}, frame{0.78, 0.82, 0.92, 1};

    if (x < 3 || y < 3 || x > kWidth - 3 || y > kHeight - 3) return frame;
    const double cx = kWidth / 2.0;
    // Shoulders and robe, with a golden seam down the front.
    if (y > 120 && InEllipse(x, y, cx, 200, 95, 85)) {
        if (std::fabs(x - cx) < 4) return trim;
        return Mix(robe, robeDark, (y - 120) / 70);
    }
    // The beard flows over the robe, from the chin to a point.
    const double beardHalf = 34 - (y - 95) * 0.35;
    if (y > 88 && y < 185 && std::fabs(x - cx) < beardHalf) {
        const bool strand = static_cast<int>(std::fabs(x - cx)) % 9 == 0;
        return strand ? beardShade : beard;
    }
    // The face, with eyes and brows.
    if (InEllipse(x, y, cx, 78, 30, 36)) {
        if (InEllipse(x, y, cx - 12, 72, 3.5, 3) || InEllipse(x, y, cx + 12, 72, 3.5, 3)) return eye;
        if (y > 63 && y < 66 && (std::fabs(x - (cx - 12)) < 7 || std::fabs(x - (cx + 12)) < 7)) return beard;
        return skin;
    }
    // The hood around the head.
    if (InEllipse(x, y, cx, 74, 44, 52)) {
        if (!InEllipse(x, y, cx, 74, 40, 48)) return trim;
        return robeDark;
    }
    // The sky, darker above, with a few stars.
    if ((static_cast<int>(x) * 37 + static_cast<int>(y) * 91) % 211 == 0 && y < 100) return frame;
    return Mix(skyTop, skyLow, y / kHeight);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeportraits DATA_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    sif::ArchiveWriter portraits;
    bool ok = portraits.AddImage("ElderPortrait", Draw(Elder));
    ok = ok && portraits.WriteFile(folder + "/Portraits.sif", true);
    if (!ok) std::fprintf(stderr, "makeportraits: cannot write %s/Portraits.sif\n", folder.c_str());
    return ok ? 0 : 1;
}
