#pragma once
// Rectangle and distance tests; every integer test includes its bounds.
#include <cstdint>
#include <string>

bool PointInRect(int32_t x, int32_t y, int32_t left, int32_t top, int32_t right, int32_t bottom);
// Touching edges count as overlap.
bool RectsOverlap(int32_t left1, int32_t top1, int32_t right1, int32_t bottom1, int32_t left2, int32_t top2,
                  int32_t right2, int32_t bottom2);
// Each array holds left, top, right, bottom.
bool RectArraysOverlap(const int32_t* rect1, const int32_t* rect2);
float Distance2D(float x1, float y1, float x2, float y2);
// qsort comparator for floats: -1, 0 or 1.
int CompareFloats(const void* a, const void* b);

class NamedList;

// Adds a new one-byte value (released with std::free) under the name; nothing
// for a null list. Returns the byte.
uint8_t NamedListAddByte(NamedList* list, const char* name, uint8_t value);
// Adds the pointer under the name when both the list and the pointer are
// non-null; returns whether it was added.
bool NamedListAddPointer(NamedList* list, const char* name, void* pointer);
