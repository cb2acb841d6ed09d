#include "world/PhysicsMovement.h"

#include <cmath>
#include <cstdio>

#include "core/base/Int32Range.h"
#include "world/Dimensions.h"
#include "world/Terrain.h"

bool MapCellBlocked(int32_t x, int32_t y, int32_t z) {
    Terrain* terrain = CurrentTerrain();
    return terrain && terrain->IsBlocked(x, y, z);
}

bool MapCellBlockedOpenAbove(int32_t x, int32_t y, int32_t z) {
    Terrain* terrain = CurrentTerrain();
    return terrain && terrain->IsBlockedOpenAbove(x, y, z);
}

bool XFaceFree(int32_t x, int32_t z, int32_t yFrom, int32_t yTo) {
    for (int64_t y = yFrom; y < yTo; ++y)
        if (MapCellBlocked(x, static_cast<int32_t>(y), z)) return false;
    return true;
}

bool YFaceFree(int32_t y, int32_t z, int32_t xFrom, int32_t xTo) {
    for (int64_t x = xFrom; x < xTo; ++x)
        if (MapCellBlocked(static_cast<int32_t>(x), y, z)) return false;
    return true;
}

bool ZFaceFree(const Dimensions* record, int32_t r, int32_t z) {
    if (!record) return true;
    const int32_t xFrom = TruncateToInt32(record->X - r), xTo = TruncateToInt32(record->X + r);
    const int32_t yFrom = TruncateToInt32(record->Y - r), yTo = TruncateToInt32(record->Y + r);
    for (int64_t x = xFrom; x < xTo; ++x)
        for (int64_t y = yFrom; y < yTo; ++y)
            if (MapCellBlockedOpenAbove(static_cast<int32_t>(x), static_cast<int32_t>(y), z)) return false;
    return true;
}

bool AnySolidInSquare(const Dimensions* record, int32_t r, int32_t z) {
    if (!record) return false;
    return !ZFaceFree(record, r, z);
}

namespace {

// Splits a move into whole units plus the carried fraction. Moves that are
// not finite count as no move, so the carry never turns into NaN.
int64_t SplitMove(double d, double& carry) {
    if (!std::isfinite(d)) return 0;
    const double whole = std::trunc(d);
    carry += d - whole;
    int64_t steps = static_cast<int64_t>(std::fmax(std::fmin(whole, 1e9), -1e9));
    if (carry >= 1.0) {
        carry -= 1.0;
        ++steps;
    }
    if (carry <= -1.0) {
        carry += 1.0;
        --steps;
    }
    return steps;
}

int64_t TowardZero(int64_t steps) { return steps > 0 ? steps - 1 : steps + 1; }

// band < 0: the faces are probed over the record's own box; otherwise over
// [centre - band, centre + band).
void Move(double dx, double dy, double dz, Dimensions* d, int32_t band) {
    if (!d) return;
    int64_t sx = SplitMove(dx, d->carryX);
    int64_t sy = SplitMove(dy, d->carryY);
    int64_t sz = SplitMove(dz, d->carryZ);
    const double r = band;
    int passes = 0;
    while (sx != 0 || sy != 0 || sz != 0) {
        if (sx != 0) {
            const int32_t unit = sx > 0 ? 1 : -1;
            const int32_t face = sx > 0 ? TruncateToInt32(d->xmax + 1) : TruncateToInt32(d->xmin - 1);
            const int32_t from = band < 0 ? TruncateToInt32(d->Y + d->y1) : TruncateToInt32(d->Y - r);
            const int32_t to = band < 0 ? TruncateToInt32(d->Y + d->y2) : TruncateToInt32(d->Y + r);
            if (XFaceFree(face, TruncateToInt32(d->zmax), from, to)) {
                d->xmin += unit;
                d->xmax += unit;
                d->X += unit;
            }
            sx = TowardZero(sx);
        }
        if (sy != 0) {
            const int32_t unit = sy > 0 ? 1 : -1;
            const int32_t face = sy > 0 ? TruncateToInt32(d->ymax + 1) : TruncateToInt32(d->ymin - 1);
            const int32_t from = band < 0 ? TruncateToInt32(d->X + d->x1) : TruncateToInt32(d->X - r);
            const int32_t to = band < 0 ? TruncateToInt32(d->X + d->x2) : TruncateToInt32(d->X + r);
            if (YFaceFree(face, TruncateToInt32(d->zmax), from, to)) {
                d->ymin += unit;
                d->ymax += unit;
                d->Y += unit;
            }
            sy = TowardZero(sy);
        }
        if (sz != 0) {
            const int32_t unit = sz > 0 ? 1 : -1;
            const int32_t face = sz > 0 ? TruncateToInt32(d->zmax + 1) : TruncateToInt32(d->zmin - 1);
            if (ZFaceFree(d, 3, face)) {
                d->zmin += unit;
                d->zmax += unit;
                d->Z += unit;
            }
            sz = TowardZero(sz);
        }
        if (++passes >= kMaxMovePasses) {
            // Only a move that still has units to go was cut short.
            if (sx != 0 || sy != 0 || sz != 0) std::fputs("Movement loop got caught\n", stderr);
            break;
        }
    }
}

}  // namespace

void MoveWithCollision(double dx, double dy, double dz, Dimensions* record) { Move(dx, dy, dz, record, -1); }

void MoveWithCollisionMode(int32_t r, double dx, double dy, double dz, Dimensions* record) {
    Move(dx, dy, dz, record, r < 0 ? 0 : r);
}
