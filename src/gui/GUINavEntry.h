#pragma once
// One option of an object's keyboard navigation: the object it stands for,
// how it is highlighted while current (a rectangle, filled or outlined, or
// the GUI manager's cursor image at a point), and what choosing it does
// (click the target button, or run a script).
//
// The entry does not own its target. It keeps the target's liveness token,
// so a target that has been destroyed reads as gone and its entry is
// dropped instead of being followed.
#include <allegro5/allegro.h>

#include <cstdint>
#include <memory>
#include <string>

class GUIBaseObject;

// The menu actions a navigating object reads each tick (the menu index of
// the key bindings): what the arrows, the confirm key and the back key ask.
enum GUINavAction : int32_t {
    kNavNone = -1,
    kNavUp = 0,
    kNavDown = 1,
    kNavLeft = 2,
    kNavRight = 3,
    kNavAccept = 4,
    kNavCancel = 5,
};

class GUINavEntry {
public:
    // What an entry made without a script runs.
    static constexpr const char* kVoidScript = "Data/Scripts/VoidScript.lua";
    // The script text that makes an entry click its target button instead.
    static constexpr const char* kForceCall = "FORCECALL";
    // The menus' highlight: a half-clear yellow laid over the option's
    // button, so the button still shows through.
    static constexpr ALLEGRO_COLOR kMenuHighlight{200.0f / 255.0f, 200.0f / 255.0f, 0.0f, 128.0f / 255.0f};
    // The battle's highlight: a gold outline round the option's button,
    // which keeps its face as it is.
    static constexpr ALLEGRO_COLOR kOutlineHighlight{1.0f, 215.0f / 255.0f, 0.0f, 1.0f};

    GUINavEntry() = default;

    bool rectangle = true;
    bool filled = false;
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float lineWidth = 2.0f;
    ALLEGRO_COLOR colour{0, 0, 0, 0};
    bool forceCall = false;
    // The script run on activation; empty with force call.
    std::string scriptPath;

    // Null once the target has been destroyed.
    GUIBaseObject* GetTarget() const { return m_life.expired() ? nullptr : m_target; }
    bool TargetGone() const { return m_life.expired(); }
    void SetTarget(GUIBaseObject* target);
    // Null: "Data/Scripts/VoidScript.lua"; "FORCECALL": no script, force
    // call; any other text is kept as the path.
    void SetScript(const char* script);

private:
    GUIBaseObject* m_target = nullptr;
    std::weak_ptr<char> m_life;
};
