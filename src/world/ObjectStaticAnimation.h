#pragma once
// A one-shot animation placed on the map: it plays an animation of the AI
// manager for a number of ticks and then marks itself removed (it stays in
// the entity manager's list).
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "world/ObjectStaticBase.h"

class Animation;

class ObjectStaticAnimation : public ObjectStaticBase {
public:
    ObjectStaticAnimation();
    ~ObjectStaticAnimation() override;

    // Once the data is set: the timer goes up and the remaining count down
    // by one; at 0 or below the object is marked removed.
    void Update() override;
    // The frame for (direction, timer) at the object's centre less half its
    // dimensions, palette variant 0.
    void DrawAtCamera(BitmapWrapper* target, Camera* camera) override;
    void DrawAt(BitmapWrapper* target, int32_t x, int32_t y) override;

    // Looks the animation up by name in the AI manager (a line when it is
    // not there; the countdown still runs) and marks the data set.
    void SetAnimationData(const std::string& animation, int32_t direction, int32_t timer, int32_t count);

    Animation* GetAnimation() const { return m_animation; }
    int32_t GetDirection() const { return m_direction; }
    int32_t GetTimer() const { return m_timer; }
    int32_t GetRemaining() const { return m_remaining; }
    bool IsDataSet() const { return m_dataSet != 0; }

    // OBJSA_ script functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    Animation* m_animation = nullptr;
    int32_t m_direction = 0;
    int32_t m_timer = 0;
    int32_t m_remaining = 0;
    uint8_t m_dataSet = 0;
};
