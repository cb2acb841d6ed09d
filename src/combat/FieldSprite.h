#pragma once
// The battle picture of one combatant: a canvas onto which the frames of the
// current pose are composed every frame, drawn at the combatant's place on
// the battlefield. Poses are named display lists. Choreography is queued as
// actions and played one tick at a time:
//
//   100 x, y, z (three host-order floats)  move                  continue
//   101 entry (int32 BE)   every layer of the pose shows that frame continue
//   102 facing (int32 BE)  drawing flags, 1 mirrored              continue
//   103 pose name          play that pose                         continue
//   104 ticks (int32 BE)   wait                                   stop
//   105                    -                                      stop
//   106                    restart the pose                       continue
//   200                    raise the bound pending counter        stop
//   201                    lower the bound pending counter        continue
//
// Below 100 the shared data-block actions (pause, stop, delay, sounds).
// 200 and 201 do nothing, and 200 does not stop, when no counter is bound.
#include <cstdint>
#include <string>

#include "combat/CombatSprite.h"

struct lua_State;
class BitmapWrapper;
class FieldSpriteDisplayList;
class GenericQueue;
class NamedList;
struct DataBlock;

class FieldSprite : public CombatSprite {
public:
    enum Opcode : int32_t {
        kSetPosition = 100,
        kSetFrame = 101,
        kSetFacing = 102,
        kPlayPose = 103,
        kWait = 104,
        kEndTick = 105,
        kRestartPose = 106,
        kBeginSequence = 200,
        kEndSequence = 201,
    };
    // Canvases larger than this on either side are refused.
    static constexpr int32_t kMaxCanvasSide = 4096;

    FieldSprite();
    ~FieldSprite() override;
    FieldSprite(const FieldSprite&) = delete;
    FieldSprite& operator=(const FieldSprite&) = delete;

    void SetPosition(float x, float y, float z) override;
    float GetX() const override { return m_x; }
    float GetY() const override { return m_y; }
    float GetZ() const override { return m_z; }
    float GetAttackOffset() const override { return m_attackOffset; }
    int32_t GetSortKey() const override;

    void SetVisible(bool flag) override { m_visible = flag ? 1 : 0; }
    bool IsVisible() const { return m_visible != 0; }
    void SetFacing(int32_t value) { m_facing = value; }
    int32_t GetFacing() const { return m_facing; }
    void SetPalette(int32_t index) { m_palette = index; }
    int32_t GetPalette() const { return m_palette; }
    void SetAttackOffset(float value) { m_attackOffset = value; }
    void SetDrawingOffsets(int32_t x, int32_t y);
    int32_t GetDrawingX() const { return m_drawX; }
    int32_t GetDrawingY() const { return m_drawY; }
    // A new transparent canvas; sizes of 0 or less or above kMaxCanvasSide
    // are refused (false, the old canvas stays).
    bool SetCanvasSize(int32_t width, int32_t height);
    BitmapWrapper* GetCanvas() const { return m_canvas; }

    // The sprite owns the list from now on; nothing for a null name or list.
    void AddDisplayList(const char* name, FieldSpriteDisplayList* list);
    void ClearDisplayLists();
    NamedList* GetDisplayLists() const { return m_displayLists; }
    // The first pose of that name, or none.
    void PlayAnimation(const std::string& name) override;
    FieldSpriteDisplayList* GetCurrentDisplayList() const { return m_current; }
    void SetDisplayEntry(int32_t entry);

    void SetPendingCounter(int32_t* counter) override { m_pending = counter; }
    int32_t* GetPendingCounter() const { return m_pending; }

    // Typed pushes onto the action queue, one per opcode.
    void PushPosition(float x, float y, float z) override;  // 100
    void PushDisplayEntry(int32_t entry) override;          // 101
    void PushFacing(int32_t facing) override;               // 102
    void PushPose(const std::string& name) override;        // 103
    void PushWait(int32_t ticks) override;                  // 104
    void PushEndTick() override;                            // 105
    void PushRestart() override;                            // 106
    void PushSequenceStart() override;                      // 200
    void PushSequenceEnd() override;                        // 201
    // A shared action below 100 with its argument (see DataBlock::Enqueue).
    void PushSharedAction(int32_t type, const void* argument);
    GenericQueue* GetActionQueue() const { return m_queue; }
    int32_t GetWaitCounter() const { return m_wait; }

    // Performs one block and frees it.
    void PerformAction(DataBlock* block);
    // One tick: advance the pose, then run queued actions until one stops.
    void Update() override;
    // Composes the pose onto the canvas and draws it at the drawing position.
    void Draw() override;

    // Builds the sprite with a field-sprite script: the sprite becomes the
    // data library's active object while the script runs, then it plays
    // "Idling" and is shown. Animations and poses the script made but never
    // handed to a sprite are freed afterwards.
    void LoadFromScript(const std::string& path);
    // True while a field-sprite script runs (for any sprite). The script's
    // sprite belongs to a combatant the party or save functions could
    // delete under it, so they refuse while this holds.
    static bool IsLoadingFromScript() { return s_loadingDepth > 0; }

private:
    static inline int32_t s_loadingDepth = 0;

    void Recompute();
    void Push(int32_t opcode, const void* bytes, size_t size);
    void PushInt(int32_t opcode, int32_t value);

    uint8_t m_visible = 0;
    NamedList* m_displayLists;
    FieldSpriteDisplayList* m_current = nullptr;
    int32_t* m_pending = nullptr;
    float m_x = 0;
    float m_y = 0;
    float m_z = 0;
    float m_attackOffset = 0;
    BitmapWrapper* m_canvas = nullptr;
    int32_t m_palette = -1;
    int32_t m_offsetX = 0;
    int32_t m_offsetY = 0;
    int32_t m_drawX = 0;
    int32_t m_drawY = 0;
    int32_t m_facing = 0;
    GenericQueue* m_queue;
    int32_t m_wait = 0;
    bool m_continue = false;
    bool m_signal = false;
};

// FSprite_SetCanvasSize, FSprite_SetDrawingOffsets, FSprite_SetPalette,
// FSprite_SetAttackOffset.
void RegisterFieldSpriteLuaFunctions(lua_State* L);
