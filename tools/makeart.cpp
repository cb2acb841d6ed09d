// makeart: draws the sample game's pictures as PNG files.
//
//   makeart OUTPUT_FOLDER
//
// Everything is computed pixel by pixel (straight alpha, deterministic), put
// into Allegro memory bitmaps and saved with al_save_bitmap; sifpack then
// packs the files into the game's archives.
#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/stat.h>

#include "ArchiveWriter.h"
#include "PictureFiles.h"

namespace {

struct RGBA {
    double r, g, b, a;  // 0..1, straight alpha
};

// A picture drawn by a function of the pixel centre, sampled 4 x 4 times per
// pixel so that edges come out smooth.
sif::Picture Draw(uint32_t width, uint32_t height, const std::function<RGBA(double, double)>& shade,
                  int samples = 4) {
    sif::Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.resize(static_cast<size_t>(width) * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    RGBA c = shade(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            double n = samples * samples;
            uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * width + x) * 4];
            double alpha = a / n;
            auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
            p[0] = alpha > 0 ? byte(r / a) : 0;
            p[1] = alpha > 0 ? byte(g / a) : 0;
            p[2] = alpha > 0 ? byte(b / a) : 0;
            p[3] = byte(alpha);
        }
    }
    return picture;
}

const RGBA kClear{0, 0, 0, 0};
const RGBA kNavy{0.06, 0.08, 0.22, 1};
const RGBA kSilver{0.78, 0.82, 0.92, 1};
const RGBA kMoonGold{0.98, 0.93, 0.66, 1};

RGBA Mix(const RGBA& a, const RGBA& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return RGBA{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

bool InCircle(double x, double y, double cx, double cy, double radius) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

// Window frame: a 10-pixel navy band with a silver rule; the corner carries
// a small full moon. Each piece is symmetric, as the same image serves both
// sides of the window.
constexpr int kFrame = 10;

RGBA FrameBand(double across) {
    // across: 0..kFrame from the outer edge
    if (across < 1 || across > kFrame - 1) return kSilver;
    if (std::fabs(across - kFrame / 2.0) < 1.0) return kSilver;
    return kNavy;
}

sif::Picture MoonHorizontal() {
    return Draw(kFrame, kFrame, [](double, double y) { return FrameBand(y); });
}

sif::Picture MoonVertical() {
    return Draw(kFrame, kFrame, [](double x, double) { return FrameBand(x); });
}

sif::Picture MoonCorner() {
    return Draw(kFrame, kFrame, [](double x, double y) {
        if (InCircle(x, y, kFrame / 2.0, kFrame / 2.0, kFrame / 2.0 - 0.5)) return kMoonGold;
        return kNavy;
    });
}

// Window icon: a golden crescent on a clear ground.
sif::Picture IconImg() {
    return Draw(32, 32, [](double x, double y) {
        if (InCircle(x, y, 16, 16, 13) && !InCircle(x, y, 22, 12, 11)) return kMoonGold;
        return kClear;
    });
}

// Soft elliptical shadows, all on a 28 x 12 frame and centred in it, so
// that trimming gives each a drawing offset that keeps it under its owner.
sif::Picture Shadow(double radiusX, double radiusY) {
    return Draw(28, 12, [=](double x, double y) {
        double dx = (x - 14) / radiusX, dy = (y - 6) / radiusY;
        double d = std::sqrt(dx * dx + dy * dy);
        if (d >= 1) return kClear;
        return RGBA{0, 0, 0, 0.45 * (1 - d * d)};
    });
}

// Small widgets that the GUI looks up by name.
sif::Picture CheckBox(bool checked) {
    return Draw(16, 16, [=](double x, double y) {
        if (x < 1 || y < 1 || x > 15 || y > 15) return kSilver;
        if (checked && std::fabs((x - 3) - (y - 3)) < 1.5 && x > 3 && x < 13) return kMoonGold;
        if (checked && std::fabs((x - 3) + (y - 13)) < 1.5 && x > 3 && x < 13) return kMoonGold;
        return kNavy;
    });
}

sif::Picture ScrollBarBlank() {
    return Draw(16, 16, [](double x, double) { return (x < 1 || x > 15) ? kSilver : Mix(kNavy, kClear, 0.2); });
}

sif::Picture ScrollBarBox() {
    return Draw(16, 16, [](double x, double y) {
        if (x < 1 || y < 1 || x > 15 || y > 15) return kNavy;
        return Mix(kSilver, kMoonGold, (x + y) / 32);
    });
}

sif::Picture ResponseBubble() {
    return Draw(14, 14, [](double x, double y) {
        return InCircle(x, y, 7, 7, 5) ? Mix(kMoonGold, kSilver, y / 14) : kClear;
    });
}

sif::Picture ItemBorder() {
    return Draw(32, 32, [](double x, double y) {
        if (x < 1 || y < 1 || x > 31 || y > 31) return kSilver;
        if (x < 2 || y < 2 || x > 30 || y > 30) return kNavy;
        return RGBA{0.1, 0.12, 0.3, 0.55};
    });
}

// Title background, 800 x 600: a night sky with stars, a large moon and
// rolling hills.
double Hash(uint32_t n) {
    n = (n << 13) ^ n;
    n = n * (n * n * 15731u + 789221u) + 1376312589u;
    return static_cast<double>(n & 0x7fffffffu) / 2147483647.0;
}

sif::Picture TitleBackground() {
    const RGBA skyTop{0.02, 0.02, 0.08, 1}, skyLow{0.16, 0.12, 0.32, 1};
    const RGBA hillFar{0.07, 0.09, 0.18, 1}, hillNear{0.03, 0.04, 0.09, 1};
    return Draw(
        800, 600,
        [&](double x, double y) {
            double nearHill = 500 + 30 * std::sin(x / 90.0) + 14 * std::sin(x / 37.0 + 1.3);
            if (y > nearHill) return hillNear;
            double farHill = 440 + 45 * std::sin(x / 160.0 + 2.0) + 12 * std::sin(x / 53.0);
            if (y > farHill) return hillFar;
            double moonX = 590, moonY = 170, moonR = 70;
            double dm = std::hypot(x - moonX, y - moonY);
            if (dm <= moonR) {
                // A few darker seas on the disc.
                RGBA face = kMoonGold;
                if (InCircle(x, y, 570, 150, 16) || InCircle(x, y, 615, 195, 11) || InCircle(x, y, 600, 140, 8))
                    face = Mix(face, RGBA{0.75, 0.7, 0.5, 1}, 0.7);
                return face;
            }
            RGBA sky = Mix(skyTop, skyLow, y / 600.0);
            if (dm < moonR * 2.2) sky = Mix(sky, RGBA{0.45, 0.42, 0.55, 1}, 0.35 * (1 - (dm - moonR) / (moonR * 1.2)));
            uint32_t cell = static_cast<uint32_t>(x / 4) * 7919u + static_cast<uint32_t>(y / 4) * 104729u;
            double h = Hash(cell);
            if (h > 0.992) {
                double cx = std::floor(x / 4) * 4 + 2, cy = std::floor(y / 4) * 4 + 2;
                double twinkle = 0.5 + 0.5 * Hash(cell + 1);
                if (InCircle(x, y, cx, cy, 0.9)) return Mix(sky, RGBA{1, 1, 0.95, 1}, twinkle);
            }
            return sky;
        },
        2);
}

bool Save(const std::string& folder, const std::string& name, const sif::Picture& picture) {
    std::string error;
    if (!sif::SavePicture(folder + "/" + name + ".png", picture, error)) {
        std::fprintf(stderr, "makeart: %s\n", error.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeart OUTPUT_FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    mkdir(folder.c_str(), 0777);
    if (!al_init() || !al_init_image_addon()) {
        std::fprintf(stderr, "makeart: cannot start Allegro\n");
        return 1;
    }
    bool ok = Save(folder, "MoonCorner", MoonCorner()) && Save(folder, "MoonHorizontal", MoonHorizontal()) &&
              Save(folder, "MoonVertical", MoonVertical()) && Save(folder, "IconImg", IconImg()) &&
              Save(folder, "ShadowL", Shadow(13, 5.5)) && Save(folder, "ShadowM", Shadow(10, 4.5)) &&
              Save(folder, "ShadowS", Shadow(7, 3.5)) && Save(folder, "ShadowT", Shadow(4.5, 2.5)) &&
              Save(folder, "CheckBoxChecked", CheckBox(true)) && Save(folder, "CheckBoxUnchecked", CheckBox(false)) &&
              Save(folder, "ScrollBarBlank", ScrollBarBlank()) && Save(folder, "ScrollBarBox", ScrollBarBox()) &&
              Save(folder, "ResponseBubble", ResponseBubble()) && Save(folder, "ItemBorder", ItemBorder()) &&
              Save(folder, "TitleBackground", TitleBackground());
    return ok ? 0 : 1;
}
