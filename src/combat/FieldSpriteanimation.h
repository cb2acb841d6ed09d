#pragma once
// One layer of a field sprite's pose: a table of frames, each an image shown
// for a number of ticks. Built unlocked, filled, then locked; only a locked
// animation advances and draws. It either advances by itself (looping,
// playing once or swinging back and forth) or shows a frame chosen from
// outside.
//
// Images are not owned. Every live animation is known to the class, so that
// an image about to be freed can be dropped from all of them at once
// (ForgetImage); a frame whose image was dropped draws nothing, and the
// first draw that meets one says so.
#include <cstdint>
#include <memory>
#include <vector>

struct lua_State;
class BitmapWrapper;

class FieldSpriteanimation {
public:
    // Frame tables larger than this are refused.
    static constexpr int32_t kMaxFrames = 4096;

    struct Frame {
        BitmapWrapper* image = nullptr;
        int32_t duration = -1;   // ticks; -1 unset
        int32_t third = -1;      // stored, not used
        bool forgotten = false;  // the image was dropped by ForgetImage
    };

    FieldSpriteanimation();
    ~FieldSpriteanimation();
    FieldSpriteanimation(const FieldSpriteanimation&) = delete;
    FieldSpriteanimation& operator=(const FieldSpriteanimation&) = delete;

    // Deleter for owning lists.
    static void Delete(void* animation);

    // Only while unlocked: a fresh table of `count` unset frames. A count
    // below 0 or above kMaxFrames is refused (false, nothing changes). A
    // negative second value becomes 1.
    bool SetFrameData(int32_t count, int32_t second);
    // Only while unlocked and for 0 <= index < count.
    void SetFrame(int32_t index, BitmapWrapper* image, int32_t duration, int32_t third);
    // Sums the durations and locks; a frame without image or duration prints
    // "FieldSpriteanimation::FinishCalcsAndLock:  Warning, Frame %i not set"
    // and leaves the animation unlocked. Nothing when already locked.
    void FinishCalcsAndLock();

    void SetAutoUpdate(bool flag) { m_autoUpdate = flag ? 1 : 0; }
    void SetOscillation();  // only while unlocked: oscillate, not play once
    void SetPlayOnce();     // only while unlocked: play once, not oscillate
    // In range: shows that frame and restarts the count; else frame 0.
    void SetFrameIndex(int32_t index);
    void Restart();
    void SetTick(int32_t value) { m_tick = value; }

    // One tick, when auto update is on and the animation is locked.
    void Advance();
    // Index of the frame shown now, or -1 for none.
    int32_t GetCurrentFrame() const;
    // The current frame's image on the current target (nothing for none).
    // The first draw that meets a frame whose image was dropped prints
    // "FieldSpriteanimation::DrawCurrentFrame:  Warning, Frame %i lost its
    // image when the battle's images were cleared".
    void DrawCurrentFrame(int x, int y);
    void DrawCurrentFrameWithFlags(int x, int y, int flags);

    // A new, locked animation with the same frames and playing mode; its
    // timing starts fresh. (Stays unlocked, with the warning, when a frame is
    // unset.)
    FieldSpriteanimation* Clone() const;

    // Every live animation drops the image from its frames.
    static void ForgetImage(const BitmapWrapper* image);

    // Keeps a registered animation until the process ends.
    static FieldSpriteanimation* KeepForever(std::unique_ptr<FieldSpriteanimation> animation);

    // Animations made by a script without being registered ("hot"): the class
    // keeps them until a display list takes a copy (ReleaseHot) or the
    // script that made them is done (ReleaseAllHot).
    static FieldSpriteanimation* CreateHot();
    static bool IsHot(const FieldSpriteanimation* animation);
    // Deletes the animation when it is a hot one; false otherwise.
    static bool ReleaseHot(FieldSpriteanimation* animation);
    static void ReleaseAllHot();

    bool IsLocked() const { return m_locked != 0; }
    bool GetAutoUpdate() const { return m_autoUpdate != 0; }
    bool IsOscillating() const { return m_oscillate != 0; }
    bool IsPlayOnce() const { return m_playOnce != 0; }
    bool IsReversing() const { return m_reversing != 0; }
    int32_t GetTick() const { return m_tick; }
    int32_t GetCycleLength() const { return m_cycleLength; }
    int32_t GetSecondValue() const { return m_second; }
    int32_t GetTicksSinceRestart() const { return m_ticksSinceRestart; }
    int32_t GetFrameCount() const { return m_frameCount; }
    int32_t GetSelectedFrame() const { return m_selectedFrame; }
    const Frame* GetFrame(int32_t index) const;

private:
    BitmapWrapper* CurrentImage() const;
    // Prints the warning for a dropped image, once per animation: for the
    // current frame, or for the first dropped frame that kept the animation
    // from locking.
    void WarnIfForgotten();

    uint8_t m_locked = 0;
    uint8_t m_autoUpdate = 1;
    int32_t m_selectedFrame = 0;
    int32_t m_tick = 0;
    int32_t m_cycleLength = 0;
    int32_t m_second = 1;
    int32_t m_ticksSinceRestart = 0;
    int32_t m_frameCount = 0;
    uint8_t m_playOnce = 0;
    uint8_t m_oscillate = 0;
    uint8_t m_reversing = 0;
    uint8_t m_warnedForgotten = 0;
    std::vector<Frame> m_frames;
};

// The seven FSpriteAnim_ functions.
void RegisterFieldSpriteAnimationLuaFunctions(lua_State* L);
