// makecombatart: draws the battle pictures of the sample game and packs them.
//
//   makecombatart DATA_FOLDER
//
// Writes DATA_FOLDER/CombatSprites.sif (the six party classes in their five
// poses, and the race labels of the status displays) and
// DATA_FOLDER/Enemies.sif (the enemies' numbered frames). Every picture is
// computed pixel by pixel from a few shapes, so the output is the same on
// every machine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "PictureDrawing.h"

namespace {

using art::RGBA;

const RGBA kClear{0, 0, 0, 0};

sif::Picture Draw(uint32_t width, uint32_t height, const std::function<RGBA(double, double)>& shade) {
    return art::DrawPicture(width, height, 3, shade);
}

RGBA Shade(const RGBA& c, double factor) {
    return {std::clamp(c.r * factor, 0.0, 1.0), std::clamp(c.g * factor, 0.0, 1.0), std::clamp(c.b * factor, 0.0, 1.0),
            c.a};
}

// Linear blend; t is not clamped, so callers may extrapolate.
RGBA Blend(const RGBA& a, const RGBA& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
double Segment(double x, double y, double ax, double ay, double bx, double by) {
    double dx = bx - ax, dy = by - ay;
    double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy + 1e-9), 0.0, 1.0);
    double px = ax + t * dx - x, py = ay + t * dy - y;
    return std::sqrt(px * px + py * py);
}

bool Ellipse(double x, double y, double cx, double cy, double rx, double ry) {
    double u = (x - cx) / rx, v = (y - cy) / ry;
    return u * u + v * v <= 1.0;
}

// ---- Party members --------------------------------------------------------------------

struct ClassLook {
    const char* name;
    RGBA body;
    RGBA accent;
    RGBA skin;
    double scale;  // 1 full height
};

const ClassLook kClasses[] = {
    {"Orravine", {0.60, 0.40, 0.78, 1}, {0.98, 0.85, 0.40, 1}, {0.55, 0.75, 0.60, 1}, 1.0},
    {"Bramle", {0.86, 0.58, 0.70, 1}, {0.45, 0.30, 0.20, 1}, {0.72, 0.55, 0.42, 1}, 1.0},
    {"Tamberlyx", {0.33, 0.58, 0.34, 1}, {0.75, 0.78, 0.82, 1}, {0.72, 0.55, 0.42, 1}, 1.05},
    {"Sesket", {0.28, 0.58, 0.68, 1}, {0.95, 0.95, 0.98, 1}, {0.55, 0.75, 0.60, 1}, 0.95},
    {"Kell", {0.88, 0.54, 0.22, 1}, {0.30, 0.22, 0.40, 1}, {0.85, 0.80, 0.62, 1}, 0.95},
    {"Wistlemarn", {0.86, 0.80, 0.34, 1}, {0.40, 0.55, 0.85, 1}, {0.85, 0.80, 0.62, 1}, 0.8},
};

// One member's pose, facing right, in a 48 x 56 frame with the feet at y 54.
struct Pose {
    double bob = 0;      // whole body up (negative) or down
    double lean = 0;     // top of the body to the right
    double stride = 0;   // legs apart
    double arm = 0.6;    // weapon arm angle, radians from straight down, forward
    double flash = 0;    // red tint
    bool lying = false;  // knocked out
};

sif::Picture Member(const ClassLook& look, const Pose& pose) {
    const double s = look.scale;
    return Draw(48, 56, [&](double x, double y) -> RGBA {
        if (pose.lying) {
            // Flat on the ground, head to the left.
            if (Ellipse(x, y, 14, 48, 6 * s, 5 * s)) return look.skin;
            if (Ellipse(x, y, 28, 50, 12 * s, 5 * s)) return Shade(look.body, 0.8);
            if (Segment(x, y, 34, 51, 44, 52) < 2.5 * s) return Shade(look.accent, 0.7);
            return kClear;
        }
        // Model space: undo the bob and the scale around the feet.
        const double fy = 54 - (54 - y + pose.bob) / s;
        const double fx = 24 + (x - 24) / s + pose.lean * (54 - fy) / 40.0;
        RGBA colour = kClear;
        auto put = [&](bool hit, const RGBA& c) {
            if (hit && colour.a == 0) colour = c;
        };
        // Weapon arm, in front.
        const double shoulderX = 26, shoulderY = 25;
        const double handX = shoulderX + std::sin(pose.arm) * 10, handY = shoulderY + std::cos(pose.arm) * 10;
        put(Segment(fx, fy, shoulderX, shoulderY, handX, handY) < 2.4, look.skin);
        put(Segment(fx, fy, handX, handY, handX + std::sin(pose.arm) * 12, handY + std::cos(pose.arm) * 12) < 1.4,
            look.accent);
        put(Ellipse(fx, fy, 24, 13, 6.5, 6.5), look.skin);                                 // head
        put(Ellipse(fx, fy, 22, 9, 6.5, 3.5), look.accent);                                // hair or hood
        put(Ellipse(fx, fy, 27, 13, 1.2, 1.2), RGBA{0.1, 0.1, 0.15, 1});                   // eye
        put(Segment(fx, fy, 24, 22, 24, 38) < 6.5, look.body);                             // body
        put(Segment(fx, fy, 24, 38, 24 + pose.stride, 53) < 2.6, Shade(look.body, 0.6));   // front leg
        put(Segment(fx, fy, 24, 38, 24 - pose.stride, 53) < 2.6, Shade(look.body, 0.45));  // back leg
        if (colour.a > 0 && pose.flash > 0) colour = Blend(colour, RGBA{1, 0.2, 0.2, 1}, pose.flash);
        return colour;
    });
}

// ---- Enemies ------------------------------------------------------------------------

// Zezazoru: a violet slime with one eye. Frames: 0-1 idle (squash), 2-3
// strike (stretch forward), 4 hurt, 5 melted.
sif::Picture Slime(int frame) {
    const double squash[] = {1.0, 0.9, 1.15, 0.8, 0.85, 0.35};
    const double reach[] = {0, 0, 4, 9, -3, 0};
    const double q = squash[frame];
    const RGBA body = frame == 4 ? RGBA{0.85, 0.35, 0.55, 1} : RGBA{0.55, 0.30, 0.75, 1};
    return Draw(56, 48, [&](double x, double y) -> RGBA {
        const double cx = 26 + reach[frame], ry = 16 * q, rx = 18 / std::sqrt(q);
        if (frame != 5 && Ellipse(x, y, cx + 7, 46 - ry * 1.1, 1.5, 1.5)) return RGBA{0.1, 0.05, 0.1, 1};
        if (frame != 5 && Ellipse(x, y, cx + 6, 46 - ry * 1.1, 3.5, 3.5)) return RGBA{1, 1, 0.9, 1};
        if (y <= 46 && Ellipse(x, y, cx, 46, rx, ry * 1.6)) {
            return Blend(Shade(body, 1.25), Shade(body, 0.75), (y - (46 - ry * 1.6)) / (ry * 1.6));
        }
        return kClear;
    });
}

// Didozado: a bat. Frames: 0-1 wings up and down, 2-3 swoop, 4 hurt, 5
// fallen.
sif::Picture Bat(int frame) {
    const double wing[] = {-0.8, 0.5, -0.2, 0.9, 0.2, 0.15};
    const double rise[] = {0, 3, 2, 6, 0, -18};
    const RGBA body = frame == 4 ? RGBA{0.8, 0.3, 0.3, 1} : RGBA{0.30, 0.26, 0.34, 1};
    return Draw(56, 48, [&](double x, double y) -> RGBA {
        const double cx = 28 + (frame == 3 ? 6 : 0), cy = 22 - rise[frame];
        if (Ellipse(x, y, cx + 3, cy - 2, 1.3, 1.3)) return RGBA{1, 0.85, 0.2, 1};
        if (Ellipse(x, y, cx, cy, 7, 6)) return body;
        if (Segment(x, y, cx - 2, cy - 9, cx - 1, cy - 4) < 1.5 || Segment(x, y, cx + 2, cy - 9, cx + 1, cy - 4) < 1.5)
            return body;  // ears
        for (int side : {-1, 1}) {
            const double tipX = cx + side * 24, tipY = cy + wing[frame] * 12;
            const double d = Segment(x, y, cx + side * 4, cy, tipX, tipY);
            const double along = std::abs(x - cx) / 24.0;
            if (d < 5.5 * (1 - along) + 1 && (side < 0 ? x < cx : x > cx)) return Shade(body, 0.8);
        }
        return kClear;
    });
}

// A race label of the status display: a rounded plate in the race's colours
// with a row of marks, 72 x 9.
sif::Picture Label(const RGBA& plate, const RGBA& mark, int marks) {
    return Draw(72, 9, [&](double x, double y) -> RGBA {
        if (Segment(x, y, 4.5, 4.5, 67.5, 4.5) > 4.2) return kClear;
        for (int i = 0; i < marks; ++i) {
            if (Ellipse(x, y, 12 + i * 16, 4.5, 2.2, 2.2)) return mark;
        }
        return plate;
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makecombatart DATA_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];

    sif::ArchiveWriter sprites;
    for (const ClassLook& look : kClasses) {
        const std::string n = look.name;
        Pose idle;
        Pose breathe;
        breathe.bob = 1;
        sprites.AddAutoTrimmedImage(n + "Idle0", Member(look, idle));
        sprites.AddAutoTrimmedImage(n + "Idle1", Member(look, breathe));
        for (int i = 0; i < 2; ++i) {
            Pose move;
            move.stride = i == 0 ? 7 : -7;
            move.lean = 3;
            move.bob = -2;
            sprites.AddAutoTrimmedImage(n + "Move" + std::to_string(i), Member(look, move));
        }
        const double swing[] = {2.6, 1.9, 0.6};
        for (int i = 0; i < 3; ++i) {
            Pose strike;
            strike.arm = swing[i];
            strike.lean = i == 2 ? 5 : -2;
            strike.stride = 4;
            sprites.AddAutoTrimmedImage(n + "Strike" + std::to_string(i), Member(look, strike));
        }
        for (int i = 0; i < 2; ++i) {
            Pose hurt;
            hurt.lean = -6;
            hurt.arm = 0.2;
            hurt.flash = i == 0 ? 0.6 : 0.0;
            sprites.AddAutoTrimmedImage(n + "Hurt" + std::to_string(i), Member(look, hurt));
        }
        Pose down;
        down.lying = true;
        sprites.AddAutoTrimmedImage(n + "Down0", Member(look, down));
    }

    sprites.AddImage("LabelThessik", Label({0.55, 0.75, 0.60, 1}, {0.60, 0.40, 0.78, 1}, 4));
    sprites.AddImage("LabelEarthVorn", Label({0.72, 0.55, 0.42, 1}, {0.33, 0.58, 0.34, 1}, 3));
    sprites.AddImage("LabelQuorrel", Label({0.85, 0.80, 0.62, 1}, {0.88, 0.54, 0.22, 1}, 2));

    sif::ArchiveWriter enemies;
    for (int i = 0; i < 6; ++i) {
        enemies.AddImage("Zezazoru" + std::to_string(i), Slime(i));
        enemies.AddImage("Didozado" + std::to_string(i), Bat(i));
    }

    bool ok =
        sprites.WriteFile(folder + "/CombatSprites.sif", true) && enemies.WriteFile(folder + "/Enemies.sif", true);
    if (!ok) std::fprintf(stderr, "makecombatart: cannot write the archives in %s\n", folder.c_str());
    return ok ? 0 : 1;
}
