#pragma once
// The grid mover: moves a Dimensions record through the active map in whole
// units, one unit per axis per pass, asking the map before each unit whether
// the cells of the face ahead are blocked. Fractions of a unit are carried
// per axis from call to call. With no terrain every cell is free.
#include <cstdint>

struct Dimensions;

// Most passes one move may take; the units left over are dropped.
constexpr int kMaxMovePasses = 50;

// Moves the record by (dx, dy, dz); nothing for a null record. Only the
// absolute box and the centre change: callers that want the offsets applied
// exactly call Dimensions::UpdateBox afterwards.
void MoveWithCollision(double dx, double dy, double dz, Dimensions* record);
// The same, except that the x face is probed for y in [Y - r, Y + r) and the
// y face for x in [X - r, X + r), whatever the record's box.
void MoveWithCollisionMode(int32_t r, double dx, double dy, double dz, Dimensions* record);

// No cell of the square x in [X - r, X + r), y in [Y - r, Y + r) at height z
// is blocked (above the top of an isometric map is open).
bool ZFaceFree(const Dimensions* record, int32_t r, int32_t z);
// Some cell of that square is blocked: the record stands on something.
bool AnySolidInSquare(const Dimensions* record, int32_t r, int32_t z);
// No cell (x, y, z) is blocked for y from yFrom up to but not including yTo.
bool XFaceFree(int32_t x, int32_t z, int32_t yFrom, int32_t yTo);
// No cell (x, y, z) is blocked for x from xFrom up to but not including xTo.
bool YFaceFree(int32_t y, int32_t z, int32_t xFrom, int32_t xTo);

// The terrain's answers (world/Terrain.h), free when there is no terrain.
bool MapCellBlocked(int32_t x, int32_t y, int32_t z);
bool MapCellBlockedOpenAbove(int32_t x, int32_t y, int32_t z);
