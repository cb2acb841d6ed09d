#pragma once
// A table of frames by direction and frame number, shown for a fixed number
// of ticks each. Frames are images registered in the data library, looked up
// by name in the animation's active heading.
//
// Script set-up order: create (AIM_CreateObject), Anim_DeclareSizes,
// Anim_SetActiveHeading, Anim_SetFrame for each frame, Anim_SetDuration.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <vector>

#include "core/base/RootObject.h"

class BitmapWrapper;
class DataLibrary;
class NamedList;

class Animation : public RootObject {
public:
    // Largest frame table (directions x frames) a script may declare.
    static constexpr int64_t kMaxTableEntries = 1 << 20;

    Animation();
    // Clears the router's kept addresses into it.
    ~Animation();
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;

    // Each only when n > 0; the table keeps its size until AllocateTable.
    void SetDirections(int32_t n);
    void SetFrames(int32_t n);
    // When frames > 0: a new table of directions x frames empty entries.
    // A table beyond kMaxTableEntries prints a line and keeps the old one.
    void AllocateTable();
    // Looks the heading up in the data library; when a name is missing the
    // active heading becomes null.
    void SetActiveHeading(const char* section, const char* catalogue, const char* heading);
    // The image of that name in the active heading becomes the frame.
    void SetAnimationFrame(int32_t direction, int32_t frame, const char* name);
    // Duration = d, cycle = frames x d (so sizes are declared first).
    void SetDuration(int32_t duration);

    // The entry, or null out of range or while the cycle is 0.
    BitmapWrapper* GetFrame(int32_t direction, int32_t frame) const;
    // The frame shown at that time: (time mod cycle) / duration.
    BitmapWrapper* GetFrameByTime(int32_t direction, int32_t time) const;

    int32_t GetDirections() const { return m_directions; }
    int32_t GetFrames() const { return m_frames; }
    int32_t GetDuration() const { return m_duration; }
    int64_t GetCycle() const { return m_cycle; }
    NamedList* GetActiveHeading() const { return m_heading; }

private:
    // The table entry, or null when (direction, frame) lies outside the
    // declared sizes or the allocated table.
    BitmapWrapper* const* Entry(int32_t direction, int32_t frame) const;

    std::vector<std::vector<BitmapWrapper*>> m_table;
    int32_t m_frames = 0;
    int32_t m_directions = 1;
    int32_t m_duration = 0;
    int64_t m_cycle = 0;
    NamedList* m_heading = nullptr;
    // The library the heading belongs to; the heading is not used once
    // another library takes the global slot.
    DataLibrary* m_library = nullptr;
};

// Start-up registrar of Anim_DeclareSizes, Anim_SetActiveHeading,
// Anim_SetFrame and Anim_SetDuration, which act on the AIManager's active
// animation.
void RegisterAnimationLuaFunctions(lua_State* L);
