// makeart: draws the sample game's pictures as PNG files.
//
//   makeart OUTPUT_FOLDER
//
// Everything is computed pixel by pixel (straight alpha, deterministic), put
// into Allegro memory bitmaps and saved with al_save_bitmap; sifpack then
// packs the files into the game's archives.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_image.h>
#include <allegro5/allegro_ttf.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "PictureDrawing.h"
#include "PictureFiles.h"

namespace {

using art::Mix;
using art::RGBA;

// A picture drawn by a function of the pixel centre, sampled 4 x 4 times per
// pixel so that edges come out smooth.
sif::Picture Draw(uint32_t width, uint32_t height, const std::function<RGBA(double, double)>& shade, int samples = 4) {
    return art::DrawPicture(width, height, samples, shade);
}

const RGBA kClear{0, 0, 0, 0};
const RGBA kNavy{0.06, 0.08, 0.22, 1};
const RGBA kSilver{0.78, 0.82, 0.92, 1};
const RGBA kMoonGold{0.98, 0.93, 0.66, 1};

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
    return Draw(14, 14,
                [](double x, double y) { return InCircle(x, y, 7, 7, 5) ? Mix(kMoonGold, kSilver, y / 14) : kClear; });
}

// The dialogue box's pane, as wide as the default window and as tall as the
// box: deep blue glass with a silver rim.
sif::Picture ChatPane() {
    return Draw(800, 220, [](double x, double y) {
        if (x < 2 || y < 2 || x > 798 || y > 218) return kSilver;
        if (x < 4 || y < 4 || x > 796 || y > 216) return kNavy;
        return Mix(RGBA{0.06, 0.07, 0.2, 0.92}, RGBA{0.12, 0.1, 0.3, 0.92}, y / 220);
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

// Text coverage, 0..1 per pixel: the label drawn in white by Allegro's font
// add-ons on a clear memory bitmap of the given size, centred. DejaVu Sans
// (Debian's fonts-dejavu-core) at the pixel height given; Allegro's built-in
// font when that file cannot be read.
struct TextMask {
    int width = 0, height = 0;
    std::vector<double> coverage;
    double At(double x, double y) const {
        const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        if (ix < 0 || iy < 0 || ix >= width || iy >= height) return 0;
        return coverage[static_cast<size_t>(iy) * width + ix];
    }
};

constexpr const char* kLabelFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

TextMask Label(const char* text, int width, int height, int pixelHeight) {
    TextMask mask;
    mask.width = width;
    mask.height = height;
    mask.coverage.assign(static_cast<size_t>(width) * height, 0.0);
    ALLEGRO_FONT* font = al_load_ttf_font(kLabelFont, -pixelHeight, 0);
    if (!font) font = al_create_builtin_font();
    ALLEGRO_BITMAP* canvas = al_create_bitmap(width, height);
    if (!font || !canvas) {
        if (font) al_destroy_font(font);
        if (canvas) al_destroy_bitmap(canvas);
        return mask;
    }
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    al_set_target_bitmap(canvas);
    al_clear_to_color(al_map_rgba(0, 0, 0, 0));
    int bx, by, bw, bh;
    al_get_text_dimensions(font, text, &bx, &by, &bw, &bh);
    al_draw_text(font, al_map_rgb(255, 255, 255), (width - bw) / 2.0f - bx, (height - bh) / 2.0f - by, 0, text);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char r, g, b, a;
            al_unmap_rgba(al_get_pixel(canvas, x, y), &r, &g, &b, &a);
            mask.coverage[static_cast<size_t>(y) * width + x] = a / 255.0;
        }
    }
    if (previous) al_set_target_bitmap(previous);
    al_destroy_bitmap(canvas);
    al_destroy_font(font);
    return mask;
}

sif::Picture TitleBackground() {
    const RGBA skyTop{0.02, 0.02, 0.08, 1}, skyLow{0.16, 0.12, 0.32, 1};
    const RGBA hillFar{0.07, 0.09, 0.18, 1}, hillNear{0.03, 0.04, 0.09, 1};
    // The prompt: every click on the title screen starts the game.
    const TextMask prompt = Label("Click anywhere to begin", 800, 40, 26);
    const sif::Picture scene = Draw(
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
    // The prompt over the near hills, moon gold with a dark halo that keeps
    // it readable on any ground.
    sif::Picture picture = scene;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 800; ++x) {
            double halo = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) halo = std::max(halo, prompt.At(x + dx, y + dy));
            const double ink = prompt.At(x, y);
            uint8_t* p = &picture.rgba[(static_cast<size_t>(y + 530) * 800 + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const double gold = c == 0 ? 0.98 : c == 1 ? 0.93 : 0.66;
                double v = p[c] / 255.0 * (1 - 0.8 * halo);
                v = v * (1 - ink) + gold * ink;
                p[c] = static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
            }
        }
    }
    return picture;
}

// Image buttons of the stock menus, 69 x 29, in the colours of the menus'
// text buttons (frame, fill, inner line) with their label; 0 normal, 1 hover
// (brighter), 2 pressed (darker).
sif::Picture MenuButton(const char* text, int state) {
    const double scale = state == 1 ? 1.1 : state == 2 ? 0.9 : 1.0;
    auto tone = [scale](double r, double g, double b) {
        return RGBA{std::min(r * scale, 1.0), std::min(g * scale, 1.0), std::min(b * scale, 1.0), 1};
    };
    const RGBA frame = tone(195 / 255.0, 150 / 255.0, 210 / 255.0);
    const RGBA fill = tone(168 / 255.0, 124 / 255.0, 183 / 255.0);
    const RGBA inner = tone(154 / 255.0, 113 / 255.0, 169 / 255.0);
    const RGBA ink{1, 1, 1, 1};
    const TextMask label = Label(text, 69, 29, 14);
    const double shift = state == 2 ? 1 : 0;  // a pressed face sinks a pixel
    return Draw(69, 29, [&](double x, double y) {
        if (x < 1 || y < 1 || x > 68 || y > 28) return frame;
        if (x < 2 || y < 2 || x > 67 || y > 27) return inner;
        return Mix(fill, ink, label.At(x - shift, y - shift));
    });
}

// The scroll bars' 8 x 8 arrows: the vertical bar's points up (the bottom
// one is drawn upside down), the horizontal bar's points right (the left one
// is drawn mirrored).
sif::Picture ScrollArrow(bool right, int state) {
    const RGBA face = state == 1 ? Mix(kSilver, kMoonGold, 0.5) : state == 2 ? kMoonGold : kSilver;
    return Draw(8, 8, [=](double x, double y) {
        if (x < 0.5 || y < 0.5 || x > 7.5 || y > 7.5) return kNavy;
        // An up-pointing triangle; the right-pointing one swaps the axes.
        const double along = right ? 8 - x : y, across = right ? y : x;
        if (along > 1.5 && along < 6.5 && std::fabs(across - 4) < (along - 1.5) * 0.6) return face;
        return Mix(kNavy, kSilver, 0.15);
    });
}

// Bramle, the player's avatar: 18 x 28 frames of a traveller in a green
// tunic, feet at the bottom centre, outlined so that he stands out on grass
// and stone. Four views (0 down, 1 up, 2 left, 3 right), four walking frames
// each: 0 and 2 with the feet together, 1 and 3 with one foot forward, the
// body a pixel higher.
sif::Picture Bramle(int view, int frame) {
    const RGBA skin{0.96, 0.78, 0.62, 1}, hair{0.45, 0.26, 0.1, 1}, tunic{0.18, 0.62, 0.3, 1};
    const RGBA belt{0.42, 0.26, 0.1, 1}, trousers{0.2, 0.22, 0.42, 1}, boots{0.3, 0.17, 0.07, 1};
    const RGBA eye{0.08, 0.06, 0.1, 1}, outline{0.08, 0.06, 0.1, 1};
    const bool mirror = view == 3;
    const bool side = view >= 2;
    const double bob = (frame % 2 == 1) ? -1 : 0;
    const double stride = frame == 1 ? 1 : frame == 3 ? -1 : 0;
    auto body = [=](double x, double y, RGBA& out) {
        if (mirror) x = 18 - x;
        // Legs and boots stay on the ground.
        if (!side) {
            const double leftLift = stride > 0 ? 1.5 : 0, rightLift = stride < 0 ? 1.5 : 0;
            for (int leg = 0; leg < 2; ++leg) {
                const double x0 = leg == 0 ? 5.8 : 9.7, lift = leg == 0 ? leftLift : rightLift;
                if (x >= x0 && x < x0 + 2.6 && y >= 19 + bob && y < 28 - lift) {
                    out = y >= 25.5 - lift ? boots : trousers;
                    return true;
                }
            }
        } else {
            for (int leg = 0; leg < 2; ++leg) {
                const double swing = (leg == 0 ? 2.2 : -2.2) * stride;
                const double x0 = 7.6 + swing * (28 - y) / 9.0;
                if (x >= x0 && x < x0 + 2.8 && y >= 19 + bob && y < 28) {
                    out = y >= 25.5 ? boots : trousers;
                    return true;
                }
            }
        }
        const double by = y - bob;
        // Arms, swinging with the stride.
        if (!side) {
            const double swing = view == 0 ? stride : -stride;
            if (((x >= 3 && x < 4.8) && by >= 11.5 + swing && by < 18.5 + swing) ||
                ((x >= 13.2 && x < 15) && by >= 11.5 - swing && by < 18.5 - swing)) {
                out = by > 17 + std::fabs(swing) ? skin : tunic;
                return true;
            }
        }
        // Tunic with a belt.
        if (x >= 4.6 && x < 13.4 && by >= 10.5 && by < 20) {
            out = (by >= 16.5 && by < 17.8) ? belt : tunic;
            if (side) {
                const double armX = 8 + 2.5 * stride * (by - 11) / 7.0;
                if (x >= armX && x < armX + 2 && by >= 11 && by < 18.5)
                    out = by > 17 ? skin : Mix(tunic, outline, 0.25);
            }
            return true;
        }
        // Head: a round face under brown hair.
        const double hx = side ? 8.6 : 9, hy = 6 + bob;
        if (InCircle(x, y, hx, hy, 5.2)) {
            out = skin;
            if (view == 1) out = hair;  // the back of the head
            if (y < hy - 1.6) out = hair;
            if (side && x > hx + 1.5) out = hair;  // hair falls at the back of the profile
            if (view == 0 && (InCircle(x, y, 7, hy + 0.8, 0.8) || InCircle(x, y, 11, hy + 0.8, 0.8))) out = eye;
            if (side && InCircle(x, y, 5.8, hy + 0.6, 0.8)) out = eye;
            return true;
        }
        if (side && x >= 3 && x < 4 && y >= hy && y < hy + 1.6) {  // the nose of the profile
            out = skin;
            return true;
        }
        return false;
    };
    return Draw(18, 28, [=](double x, double y) {
        RGBA c;
        if (body(x, y, c)) return c;
        for (double dx : {-0.9, 0.0, 0.9})
            for (double dy : {-0.9, 0.0, 0.9})
                if (body(x + dx, y + dy, c)) return outline;
        return kClear;
    });
}

// Scenery behind the world: a starry sky, a long bank of clouds and two
// ranges of hills. The sky and the hills wrap around horizontally (the
// background manager draws them as parallax strips), so every shape along x
// repeats with the picture's width: sines of whole periods, star cells that
// divide it, trees placed with wrap-around distances.
constexpr double kPi = 3.14159265358979323846;
constexpr int kSceneryWidth = 800;

// A ridge line that repeats every kSceneryWidth pixels: sum of sines with
// whole numbers of periods across the strip.
struct Wave {
    int periods;
    double amplitude, phase;
};

double Ridge(double x, double base, std::initializer_list<Wave> waves) {
    double y = base;
    for (const Wave& w : waves) y += w.amplitude * std::sin(2 * kPi * w.periods * x / kSceneryWidth + w.phase);
    return y;
}

// Signed horizontal distance from a to b on the wrapped strip, in
// -width/2 .. width/2.
double WrappedDelta(double a, double b) {
    double d = std::fmod(a - b, kSceneryWidth);
    if (d < -kSceneryWidth / 2.0) d += kSceneryWidth;
    if (d > kSceneryWidth / 2.0) d -= kSceneryWidth;
    return d;
}

sif::Picture StarrySky() {
    const RGBA zenith{0.01, 0.02, 0.08, 1}, middle{0.06, 0.07, 0.22, 1}, horizon{0.32, 0.17, 0.33, 1};
    constexpr int kCell = 4;  // star cells; 800 is a multiple, so the stars tile
    return Draw(
        kSceneryWidth, 600,
        [&](double x, double y) {
            double t = y / 600.0;
            RGBA sky = t < 0.6 ? Mix(zenith, middle, t / 0.6) : Mix(middle, horizon, (t - 0.6) / 0.4);
            // A faint band of distant stars arching across the sky.
            double bandCentre = Ridge(x, 190, {{1, 70, 0.4}, {3, 18, 1.7}});
            double across = (y - bandCentre) / 55.0;
            double glow = std::exp(-across * across) * (0.7 + 0.3 * std::sin(2 * kPi * 2 * x / kSceneryWidth + 0.8));
            sky = Mix(sky, RGBA{0.42, 0.40, 0.62, 1}, 0.22 * glow);
            // A thin crescent moon, low in the east.
            if (InCircle(x, y, 640, 120, 22) && !InCircle(x, y, 650, 113, 20)) return kMoonGold;
            // Stars, thinning towards the horizon and thicker in the band.
            uint32_t cx = static_cast<uint32_t>(x / kCell) % (kSceneryWidth / kCell);
            uint32_t cy = static_cast<uint32_t>(y / kCell);
            uint32_t cell = cx * 7919u + cy * 104729u + 17u;
            double threshold = 0.985 + 0.012 * t - 0.02 * glow;
            if (Hash(cell) > threshold) {
                double sx = cx * kCell + 1 + 2 * Hash(cell + 3), sy = cy * kCell + 1 + 2 * Hash(cell + 5);
                double radius = 0.5 + 0.9 * Hash(cell + 7);
                double d = std::hypot(x - sx, y - sy);
                if (d <= radius + 0.6) {
                    double brightness = (0.55 + 0.45 * Hash(cell + 1)) * std::clamp(radius + 0.6 - d, 0.0, 1.0);
                    RGBA tint = Hash(cell + 9) > 0.7 ? RGBA{0.8, 0.88, 1, 1} : RGBA{1, 0.97, 0.88, 1};
                    return Mix(sky, tint, brightness);
                }
            }
            return sky;
        },
        2);
}

// Distant hills: hazy violet, lit along the crest.
sif::Picture FarHills() {
    const RGBA crest{0.30, 0.26, 0.46, 1}, body{0.15, 0.14, 0.31, 1}, foot{0.09, 0.09, 0.21, 1};
    return Draw(kSceneryWidth, 220, [&](double x, double y) {
        double top = Ridge(x, 95, {{2, 34, 0.7}, {5, 17, 2.1}, {13, 6, 0.3}, {29, 2, 1.1}});
        if (y < top) return kClear;
        double depth = y - top;
        if (depth < 2) return crest;
        return Mix(body, foot, (y - top) / (220 - top));
    });
}

// Nearer hills: nearly black, with pines along the ridge.
sif::Picture NearHills() {
    const RGBA crest{0.12, 0.12, 0.24, 1}, body{0.05, 0.06, 0.12, 1}, foot{0.02, 0.02, 0.05, 1};
    constexpr int kSlots = 25;  // tree slots, 32 pixels apart
    auto ground = [](double x) { return Ridge(x, 85, {{3, 24, 1.9}, {7, 11, 0.4}, {17, 4, 2.6}}); };
    return Draw(kSceneryWidth, 200, [&](double x, double y) {
        double top = ground(x);
        if (y >= top) return y - top < 1.5 ? crest : Mix(body, foot, (y - top) / (200 - top));
        // Pines: a slim triangle standing on the ridge, in about half of the slots.
        for (int slot = 0; slot < kSlots; ++slot) {
            uint32_t seed = 4099u * static_cast<uint32_t>(slot) + 11u;
            if (Hash(seed) < 0.45) continue;
            double treeX = slot * (double(kSceneryWidth) / kSlots) + 20 * Hash(seed + 1);
            double height = 18 + 26 * Hash(seed + 2);
            double halfWidth = height * 0.22;
            double dx = WrappedDelta(x, treeX);
            double baseY = ground(treeX) + 3;
            double tipY = baseY - height;
            if (y < tipY || y > baseY) continue;
            if (std::fabs(dx) <= halfWidth * (y - tipY) / height) return body;
        }
        return kClear;
    });
}

// A long bank of soft clouds that drifts across the sky; wider than the
// window so that it takes a while to pass. Each cloud is a row of round
// puffs over a flat, shaded underside.
sif::Picture Clouds() {
    constexpr int kWidth = 2400, kHeight = 160, kCount = 11;
    struct Puff {
        double x, y, radius;
    };
    struct Cloud {
        double left, right, base;
        std::vector<Puff> puffs;
    };
    std::vector<Cloud> clouds;
    for (uint32_t n = 0; n < kCount; ++n) {
        uint32_t seed = 7877u * n + 3u;
        double size = 0.6 + 0.6 * Hash(seed + 2);
        double cx = (n + 0.25 + 0.5 * Hash(seed)) * (double(kWidth) / kCount);
        Cloud cloud{cx, cx, 60 + 70 * Hash(seed + 1), {}};
        int count = 4 + static_cast<int>(4 * Hash(seed + 3));
        for (int p = 0; p < count; ++p) {
            double radius = (14 + 16 * Hash(seed + 10 + p)) * size;
            // Bigger puffs in the middle of the row.
            double middle = 1 - std::fabs(p - (count - 1) / 2.0) / count;
            radius *= 0.6 + 0.6 * middle;
            double x = cx + (p - (count - 1) / 2.0) * 17 * size;
            cloud.puffs.push_back({x, cloud.base - radius * 0.45, radius});
            cloud.left = std::min(cloud.left, x - radius * 2);
            cloud.right = std::max(cloud.right, x + radius * 2);
        }
        clouds.push_back(cloud);
    }
    const RGBA lit{0.66, 0.60, 0.78, 1}, shade{0.27, 0.23, 0.42, 1};
    return Draw(
        kWidth, kHeight,
        [&](double x, double y) {
            for (const Cloud& cloud : clouds) {
                if (x < cloud.left || x > cloud.right) continue;
                double density = 0;
                double height = 0;  // 0 at the underside, 1 at the top of the highest puff
                for (const Puff& p : cloud.puffs) {
                    double d = std::hypot(x - p.x, y - p.y) / p.radius;
                    double puff = std::clamp(1.25 - d, 0.0, 1.0);
                    if (puff > density) {
                        density = puff;
                        height = std::clamp((cloud.base - y) / (2 * p.radius), 0.0, 1.0);
                    }
                }
                // The underside fades out over a few pixels.
                density *= std::clamp((cloud.base + 4 - y) / 8, 0.0, 1.0);
                if (density <= 0) continue;
                RGBA c = Mix(shade, lit, height * 1.4);
                c.a = 0.6 * std::clamp(density * 2.5, 0.0, 1.0);
                return c;
            }
            return kClear;
        },
        2);
}

// The battle screen. The forest clearing behind a battle: a dusk sky over a
// wall of dark trees, and a grassy clearing where the combatants stand.
sif::Picture CombatForestBackground() {
    const RGBA skyTop{0.10, 0.12, 0.30, 1}, skyLow{0.46, 0.32, 0.42, 1};
    const RGBA treeFar{0.06, 0.13, 0.12, 1}, treeNear{0.03, 0.07, 0.06, 1};
    const RGBA grassFar{0.17, 0.30, 0.16, 1}, grassNear{0.24, 0.42, 0.20, 1};
    return Draw(
        800, 600,
        [&](double x, double y) {
            constexpr double kHorizon = 250;
            if (y >= kHorizon) {
                RGBA grass = Mix(grassFar, grassNear, (y - kHorizon) / (600 - kHorizon));
                // Tufts: short darker strokes scattered over the clearing.
                uint32_t cell = static_cast<uint32_t>(x / 6) * 7919u + static_cast<uint32_t>(y / 5) * 104729u + 5u;
                if (Hash(cell) > 0.93) grass = Mix(grass, treeFar, 0.35);
                // A worn path across the middle of the clearing.
                double path = std::fabs(y - (380 + 40 * std::sin(x / 130.0)));
                if (path < 28) grass = Mix(grass, RGBA{0.42, 0.36, 0.24, 1}, 0.45 * (1 - path / 28));
                return grass;
            }
            // Two rows of pointed tree tops against the sky.
            auto spikes = [](double v) { return std::fabs(v - std::floor(v) - 0.5) * 2; };  // 0 at each tip
            double far = 150 + 40 * spikes(x / 26.0) + 12 * std::sin(x / 57.0);
            double near = 190 + 48 * spikes(x / 34.0 + 0.3) + 10 * std::sin(x / 83.0 + 1.1);
            if (y >= near) return treeNear;
            if (y >= far) return treeFar;
            return Mix(skyTop, skyLow, y / kHorizon);
        },
        2);
}

// The battle's frame, drawn over the field: a silver-ruled navy rim around
// the screen, the rule under the message area, and a panel behind the
// command window. The middle stays clear.
sif::Picture CombatBase() {
    const RGBA panel{0.06, 0.08, 0.22, 0.78};
    return Draw(
        800, 600,
        [&](double x, double y) {
            if (x < 2 || y < 2 || x > 798 || y > 598) return kSilver;
            if (x < 5 || y < 5 || x > 795 || y > 595) return kNavy;
            if (y >= 136 && y < 140) return y < 137 || y >= 139 ? kSilver : kNavy;
            if (x >= 646 && x < 790 && y >= 421 && y < 588) {
                if (x < 647 || y < 422 || x >= 789 || y >= 587) return kSilver;
                return panel;
            }
            return kClear;
        },
        1);
}

// A command button face, 107 x 33: a rounded plate with a rim; lit when
// hovered, darker when pressed.
sif::Picture CombatButton(double light) {
    const RGBA top{0.36, 0.30, 0.56, 1}, bottom{0.16, 0.12, 0.32, 1};
    return Draw(107, 33, [=](double x, double y) {
        double dx = std::max({4 - x, x - 103, 0.0}), dy = std::max({4 - y, y - 29, 0.0});
        double d = std::hypot(dx, dy);
        if (d > 4) return kClear;
        if (d > 2.8) return kSilver;
        RGBA face = Mix(top, bottom, y / 33);
        return Mix(face, light > 0 ? RGBA{1, 1, 1, 1} : RGBA{0, 0, 0, 1}, std::fabs(light));
    });
}

// The page buttons beside the command window, 11 x 11: a triangle pointing
// up or down on a navy square.
sif::Picture PageButton(bool up, double light) {
    return Draw(11, 11, [=](double x, double y) {
        if (x < 1 || y < 1 || x > 10 || y > 10) return kSilver;
        double across = std::fabs(x - 5.5);
        double along = up ? y - 2.5 : 8.5 - y;
        if (along >= 0 && along <= 6 && across <= along * 0.6) {
            return Mix(kMoonGold, light > 0 ? RGBA{1, 1, 1, 1} : RGBA{0, 0, 0, 1}, std::fabs(light));
        }
        return kNavy;
    });
}

// A party member's status plate, 113 x 66: parchment with a dark rim, on
// which the member's name and numbers are written in black.
sif::Picture CombatCharDisplay() {
    const RGBA light{0.93, 0.88, 0.74, 1}, dark{0.80, 0.72, 0.55, 1}, rim{0.22, 0.16, 0.10, 1};
    return Draw(113, 66, [&](double x, double y) {
        if (x < 1.5 || y < 1.5 || x > 111.5 || y > 64.5) return rim;
        return Mix(light, dark, (x / 113 + y / 66) / 2);
    });
}

// ---- Characters and the dungeon's ground -------------------------------------

// A repeatable value in 0..1 for a whole pixel and a seed.
double Noise(double x, double y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(static_cast<int>(std::floor(x))) * 374761393u +
                 static_cast<uint32_t>(static_cast<int>(std::floor(y))) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 65535.0;
}

// A 32 x 32 ground texture: a base colour, mottled in 4 x 4 patches, with
// pebbles of a second colour in 2 x 2 spots.
sif::Picture Ground(const RGBA& base, const RGBA& speck, double share, uint32_t seed) {
    return Draw(
        32, 32,
        [=](double x, double y) {
            if (Noise(x / 2, y / 2, seed) < share) return Mix(base, speck, 0.7);
            return Mix(base, speck, Noise(x / 4, y / 4, seed + 1) * 0.2);
        },
        1);
}

// Rough stone courses for the cave walls.
sif::Picture CaveRock() {
    const RGBA stone{0.30, 0.29, 0.31, 1}, joint{0.14, 0.13, 0.15, 1};
    return Draw(
        32, 32,
        [=](double x, double y) {
            const int row = static_cast<int>(y) / 8;
            const double shifted = x + (row % 2) * 6;
            if (static_cast<int>(y) % 8 == 7 || static_cast<int>(shifted) % 12 == 11) return joint;
            return Mix(stone, joint, Noise(x, y, 7) * 0.35);
        },
        1);
}

// The village elder: a blue robe, a white beard and a staff, 20 x 30.
sif::Picture ElderStand() {
    const RGBA robe{0.22, 0.30, 0.62, 1}, trim{0.90, 0.80, 0.35, 1}, skin{0.93, 0.76, 0.60, 1},
        beard{0.95, 0.95, 0.92, 1}, staff{0.45, 0.30, 0.16, 1};
    return Draw(20, 30, [=](double x, double y) {
        if (x >= 16.5 && x <= 18 && y >= 4 && y <= 29.5) return staff;
        if (InCircle(x, y, 17.25, 4, 1.6)) return trim;
        if (InCircle(x, y, 9, 6, 4)) return y > 6.5 ? beard : skin;
        if (y > 8 && y < 15 && std::fabs(x - 9) < 3.5 - (y - 8) * 0.3) return beard;
        const double half = 3 + (y - 9) * 0.28;
        if (y >= 9 && y <= 29.5 && std::fabs(x - 9) <= half) return std::fabs(x - 9) > half - 1 || y > 28 ? trim : robe;
        return kClear;
    });
}

// The cave slime: a teal dome with two eyes, 24 x 18; the second frame is
// squashed for its wobble.
sif::Picture Zezazoru(double squash) {
    const RGBA body{0.20, 0.62, 0.55, 1}, shine{0.70, 0.95, 0.88, 1}, eye{0.05, 0.08, 0.10, 1};
    return Draw(24, 18, [=](double x, double y) {
        const double rx = 10.5 * (1 + squash), ry = 13.5 * (1 - squash);
        const double dx = (x - 12) / rx, dy = (y - 17.5) / ry;
        if (dy > 0 || dx * dx + dy * dy > 1) return kClear;
        const double eyeY = 17.5 - ry * 0.55;
        if (InCircle(x, y, 9, eyeY, 1.4) || InCircle(x, y, 15, eyeY, 1.4)) return eye;
        if (InCircle(x, y, 7.5, 17.5 - ry * 0.75, 1.6)) return shine;
        return Mix(body, RGBA{0.08, 0.35, 0.32, 1}, (y - (17.5 - ry)) / ry * 0.6);
    });
}

// The way up out of a dungeon floor: a wooden ladder, 28 x 36.
sif::Picture UpStairImg() {
    const RGBA wood{0.58, 0.40, 0.20, 1}, dark{0.32, 0.20, 0.10, 1};
    return Draw(28, 36, [=](double x, double y) {
        const bool rail = (x >= 4 && x <= 7) || (x >= 21 && x <= 24);
        const bool rung = x > 7 && x < 21 && static_cast<int>(y) % 7 >= 4 && static_cast<int>(y) % 7 <= 5;
        if (rail) return x < 5 || (x > 21 && x < 22) ? dark : wood;
        if (rung) return wood;
        return kClear;
    });
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
    if (!al_init() || !al_init_image_addon() || !al_init_font_addon() || !al_init_ttf_addon()) {
        std::fprintf(stderr, "makeart: cannot start Allegro\n");
        return 1;
    }
    bool ok =
        Save(folder, "MoonCorner", MoonCorner()) && Save(folder, "MoonHorizontal", MoonHorizontal()) &&
        Save(folder, "MoonVertical", MoonVertical()) && Save(folder, "IconImg", IconImg()) &&
        Save(folder, "ShadowL", Shadow(13, 5.5)) && Save(folder, "ShadowM", Shadow(10, 4.5)) &&
        Save(folder, "ShadowS", Shadow(7, 3.5)) && Save(folder, "ShadowT", Shadow(4.5, 2.5)) &&
        Save(folder, "CheckBoxChecked", CheckBox(true)) && Save(folder, "CheckBoxUnchecked", CheckBox(false)) &&
        Save(folder, "ScrollBarBlank", ScrollBarBlank()) && Save(folder, "ScrollBarBox", ScrollBarBox()) &&
        Save(folder, "ResponseBubble", ResponseBubble()) && Save(folder, "ItemBorder", ItemBorder()) &&
        Save(folder, "ChatPane", ChatPane()) && Save(folder, "TitleBackground", TitleBackground()) &&
        Save(folder, "StarrySky", StarrySky()) && Save(folder, "FarHills", FarHills()) &&
        Save(folder, "NearHills", NearHills()) && Save(folder, "Clouds", Clouds()) &&
        Save(folder, "Combat_ForestBackground", CombatForestBackground()) && Save(folder, "CombatBase", CombatBase()) &&
        Save(folder, "CombatButtonN", CombatButton(0)) && Save(folder, "CombatButtonL", CombatButton(0.2)) &&
        Save(folder, "CombatButtonD", CombatButton(-0.3)) && Save(folder, "PageButtonUpN", PageButton(true, 0)) &&
        Save(folder, "PageButtonUpL", PageButton(true, 0.3)) && Save(folder, "PageButtonUpD", PageButton(true, -0.3)) &&
        Save(folder, "PageButtonDnN", PageButton(false, 0)) && Save(folder, "PageButtonDnL", PageButton(false, 0.3)) &&
        Save(folder, "PageButtonDnD", PageButton(false, -0.3)) &&
        Save(folder, "CombatCharDisplay", CombatCharDisplay()) &&
        // The dungeon's ground and the characters.
        Save(folder, "Grass", Ground({0.29, 0.50, 0.24, 1}, {0.18, 0.36, 0.14, 1}, 0.18, 1)) &&
        Save(folder, "Mud", Ground({0.40, 0.29, 0.18, 1}, {0.26, 0.18, 0.10, 1}, 0.22, 2)) &&
        Save(folder, "CaveFloor", Ground({0.42, 0.38, 0.34, 1}, {0.25, 0.22, 0.20, 1}, 0.15, 3)) &&
        Save(folder, "CaveMoss", Ground({0.30, 0.40, 0.28, 1}, {0.42, 0.38, 0.34, 1}, 0.30, 4)) &&
        Save(folder, "CaveRock", CaveRock()) && Save(folder, "ElderStand", ElderStand()) &&
        Save(folder, "ZezazoruA", Zezazoru(0.0)) && Save(folder, "ZezazoruB", Zezazoru(0.12)) &&
        Save(folder, "UpStairImg", UpStairImg());
    const struct {
        const char* stem;
        const char* label;
    } buttons[] = {{"ButtonOptn", "Options"}, {"ButtonExit", "Close"}};
    for (const auto& button : buttons)
        for (int state = 0; state < 3; ++state)
            ok = ok && Save(folder, button.stem + std::to_string(state), MenuButton(button.label, state));
    for (int state = 0; state < 3; ++state)
        ok = ok && Save(folder, "ButtonArroSB" + std::to_string(state), ScrollArrow(false, state)) &&
             Save(folder, "ButtonArroSBF" + std::to_string(state), ScrollArrow(true, state));
    const char* const views[] = {"Down", "Up", "Left", "Right"};
    for (int view = 0; view < 4; ++view)
        for (int frame = 0; frame < 4; ++frame)
            ok = ok && Save(folder, std::string("Bramle") + views[view] + std::to_string(frame), Bramle(view, frame));
    return ok ? 0 : 1;
}
