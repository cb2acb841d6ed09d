#pragma once
// The battle picture of a combatant as the battle code drives it: its
// position, its attack offset and its action queue, filled with typed
// instructions and played one tick at a time. Each Character owns one.
#include <cstdint>
#include <string>

class CombatSprite {
public:
    virtual ~CombatSprite() = default;

    // Binds the message window's pending-animation counter (opcodes 200/201).
    virtual void SetPendingCounter(int32_t* counter) = 0;

    // Queued instructions, one per opcode of the sprite's queue.
    virtual void PushPosition(float x, float y, float z) = 0;  // 100
    virtual void PushDisplayEntry(int32_t entry) = 0;          // 101
    virtual void PushFacing(int32_t facing) = 0;               // 102
    virtual void PushPose(const std::string& name) = 0;        // 103
    virtual void PushWait(int32_t ticks) = 0;                  // 104
    virtual void PushEndTick() = 0;                            // 105
    virtual void PushRestart() = 0;                            // 106
    virtual void PushSequenceStart() = 0;                      // 200
    virtual void PushSequenceEnd() = 0;                        // 201

    virtual float GetX() const = 0;
    virtual float GetY() const = 0;
    virtual float GetZ() const = 0;
    virtual float GetAttackOffset() const = 0;
    virtual void SetPosition(float x, float y, float z) = 0;
    virtual void PlayAnimation(const std::string& name) = 0;
    virtual void SetVisible(bool visible) = 0;
    // y truncated toward zero: the drawing order of the combatants.
    virtual int32_t GetSortKey() const = 0;
    // One tick of the queue and the pose's animations.
    virtual void Update() = 0;
    virtual void Draw() = 0;
};
