#pragma once
// The fade between two game modes. Created by the main loop when a request
// (core/base/TransitionState.h) is pending, it locks the player's input, fades
// the last captured frame to black in 16 steps, leaves the old mode, enters
// the new one, starts the display's fade-in and deletes itself.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>

class BitmapWrapper;

class Transition {
public:
    // Steps of Update.
    static constexpr int32_t kStart = 0;
    static constexpr int32_t kFadingOut = 1;
    static constexpr int32_t kSwitching = 2;
    static constexpr int32_t kDone = 3;
    static constexpr const char* kInputLock = "Transition";

    // openGLFlag: the global OpenGL mode flag, for the back-buffer wrapper.
    // Adds the "Transition" input lock to the player.
    explicit Transition(uint8_t* openGLFlag);
    ~Transition();
    Transition(const Transition&) = delete;
    Transition& operator=(const Transition&) = delete;

    // The global-state slot that holds this object; End clears it and
    // deletes the object.
    void SetOwnerSlot(Transition** slot) { m_ownerSlot = slot; }

    // One step per timer tick. May end (and delete) the object: the caller
    // must not touch it afterwards unless it is still in its slot.
    void Update();
    // Draws the fading frame onto the display's back buffer and flips it.
    void Draw();
    // The drawing part of Draw onto any target, without the flip.
    void DrawInto(BitmapWrapper* target);
    // Releases the input lock and the key bindings; when owned by a slot,
    // clears it, releases the display's snapshot, files the requests held
    // back meanwhile and deletes this object.
    void End();

    int32_t GetState() const { return m_state; }
    int32_t GetLevel() const { return m_level; }
    float GetAlpha() const { return m_alpha; }
    bool IsStarted() const { return m_started != 0; }

private:
    Transition** m_ownerSlot = nullptr;
    std::unique_ptr<BitmapWrapper> m_backBuffer;
    int32_t m_state = kStart;
    int32_t m_level = 0;
    int32_t m_step = 16;
    uint8_t m_started = 0;
    BitmapWrapper* m_snapshot = nullptr;  // the display manager's
    float m_alpha = 1.0f;
    uint8_t* m_openGLFlag = nullptr;
};

// Starts the requested transition: a new Transition in the global slot,
// owning that slot, the transition state's handlers installed, the request
// flag cleared. A Transition already running is never replaced: then
// nothing happens and the request stays pending until it ends.
void StartTransition();

// The mode changes a Transition performs when it switches.
void LeaveCurrentMode();
void LeaveMap();
void LeaveTitle();
void EnterTransitionTarget();
void EnterCombat();
void EnterTitle();
// Loads the requested map (unless the map is kept) and places the player.
void TransitionToMap();

// TH_DropPlayerAtTarget.
void RegisterTransitionLuaFunctions(lua_State* L);
