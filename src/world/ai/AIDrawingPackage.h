#pragma once
// The animations that make one look of a character, by index (standing,
// walking, running ...). The animations belong to the AIManager.
#include <cstdint>
#include <vector>

#include "core/base/RootObject.h"

class Animation;
class BitmapWrapper;

class AIDrawingPackage : public RootObject {
public:
    // Largest number of animations a script may allocate.
    static constexpr int32_t kMaxAnimations = 4096;

    AIDrawingPackage();
    ~AIDrawingPackage();
    AIDrawingPackage(const AIDrawingPackage&) = delete;
    AIDrawingPackage& operator=(const AIDrawingPackage&) = delete;

    // Drops the old entries and makes n empty ones (negative: none). More
    // than kMaxAnimations prints a line and changes nothing.
    void AllocateSpace(int32_t n);
    // When 0 <= index < count: the AIManager's animation of that name (null
    // when absent or when no AIManager exists).
    void SetAnimation(int32_t index, const char* name);
    void SetAnimation(int32_t index, Animation* animation);
    Animation* GetAnimation(int32_t index) const;
    int32_t GetCount() const { return static_cast<int32_t>(m_animations.size()); }

    BitmapWrapper* GetFrame(int32_t index, int32_t direction, int32_t frame) const;

    // Draws the frame of animation `index` for (direction, timer) onto the
    // target at (x, y) with the flags, in palette variant `palette` (negative:
    // unchanged). Prints why when it cannot.
    void DrawToImage(BitmapWrapper* target, int32_t index, int32_t palette, int32_t timer, int32_t direction, int32_t x,
                     int32_t y, int32_t flags);

private:
    std::vector<Animation*> m_animations;
};
