#include "core/base/Geometry.h"

#include <cmath>
#include <cstdlib>

#include "core/base/NamedList.h"

namespace {

// Overlap of [low1, high1] and [low2, high2] on one axis, ends included.
bool AxisOverlaps(int32_t low1, int32_t high1, int32_t low2, int32_t high2) {
    if (low1 >= low2 && low1 <= high2) return true;    // first starts inside
    if (high1 >= low2 && high1 <= high2) return true;  // first ends inside
    if (low1 >= low2 && high1 <= high2) return true;   // first lies inside
    return low1 <= low2 && high1 >= high2;             // first covers second
}

}  // namespace

bool PointInRect(int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return left <= x && x <= right && top <= y && y <= bottom;
}

bool RectsOverlap(int32_t left1, int32_t top1, int32_t right1, int32_t bottom1, int32_t left2, int32_t top2,
                  int32_t right2, int32_t bottom2) {
    return AxisOverlaps(left1, right1, left2, right2) && AxisOverlaps(top1, bottom1, top2, bottom2);
}

bool RectArraysOverlap(const int32_t* rect1, const int32_t* rect2) {
    if (!rect1 || !rect2) return false;
    return RectsOverlap(rect1[0], rect1[1], rect1[2], rect1[3], rect2[0], rect2[1], rect2[2], rect2[3]);
}

float Distance2D(float x1, float y1, float x2, float y2) {
    float dx = x1 - x2;
    float dy = y1 - y2;
    return std::sqrt(dx * dx + dy * dy);
}

int CompareFloats(const void* a, const void* b) {
    float fa = *static_cast<const float*>(a);
    float fb = *static_cast<const float*>(b);
    if (fa < fb) return -1;
    if (fa > fb) return 1;
    return 0;
}

uint8_t NamedListAddByte(NamedList* list, const char* name, uint8_t value) {
    if (!list || !name) return value;
    auto* byte = static_cast<uint8_t*>(std::malloc(1));
    if (!byte) return value;
    *byte = value;
    if (!list->AddWithDeleter(name, byte, std::free)) std::free(byte);
    return value;
}

bool NamedListAddPointer(NamedList* list, const char* name, void* pointer) {
    if (!list || !pointer || !name) return false;
    return list->Add(name, pointer) != nullptr;
}
