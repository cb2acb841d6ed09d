#pragma once
// "CombatMessageWindow": the battle's lines at the top of the screen and the
// action queue through which a resolved round is played back tick by tick:
// texts, sound cues, waits, sprite animations (waiting for the sprites
// through a pending counter), shown-HP changes, a key pause and the battle
// result. Integers in the queue are big-endian int32.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include <cstdint>
#include <deque>
#include <string>

#include "core/base/GenericQueue.h"
#include "gui/GUIBaseObject.h"

class Character;
struct DataBlock;

class GUICombatMessageWindow : public GUIBaseObject {
public:
    enum Opcode : int32_t {
        kPlaySound = 21,   // the shared data block: play a sound by name
        kCharacter = 100,  // a character code
        kTextTick = 101,   // wait counter := text speed
        kTextSpeed = 102,  // text speed := value
        kLineBreak = 103,
        kWait = 104,          // wait n ticks
        kShowDamage = 105,    // target index, amount: lower the shown HP
        kBattleResult = 106,  // 0 defeat, 1 victory
        kWaitForKey = 107,
        kSetActor = 200,       // combatant id
        kSetTarget = 201,      // combatant id
        kAnimateActor = 202,   // mode
        kAnimateTarget = 203,  // mode
        kSync = 300,           // wait for the sprites
    };
    static constexpr int kLineLength = 80;
    static constexpr int kLinesShown = 7;

    GUICombatMessageWindow();
    ~GUICombatMessageWindow() override;

    // ---- Queueing (typed, one helper per argument shape) -----------------------
    // An opcode of 100 and up without argument.
    void PushAction(int32_t opcode);
    // An opcode of 100 and up with one or two int32 arguments.
    void PushAction(int32_t opcode, int32_t value);
    void PushAction(int32_t opcode, int32_t first, int32_t second);
    // Below 100: a shared data block (21 to 24 take a name, 10 a delay).
    void PushSharedAction(int32_t opcode, const void* argument);
    void PushSound(const std::string& name) { PushSharedAction(kPlaySound, name.c_str()); }
    void PushWait(int32_t ticks) { PushAction(kWait, ticks); }
    void PushShowDamage(int32_t targetIndex, int32_t amount) { PushAction(kShowDamage, targetIndex, amount); }
    void PushBattleResult(int32_t result) { PushAction(kBattleResult, result); }
    void PushWaitForKey() { PushAction(kWaitForKey); }
    void PushSetActor(int32_t id) { PushAction(kSetActor, id); }
    void PushSetTarget(int32_t id) { PushAction(kSetTarget, id); }
    void PushAnimateActor(int32_t mode) { PushAction(kAnimateActor, mode); }
    void PushAnimateTarget(int32_t mode) { PushAction(kAnimateTarget, mode); }
    void PushSync() { PushAction(kSync); }
    // One opcode 100 per character; a null text queues nothing.
    void QueueText(const char* text);
    void QueueText(const std::string& text) { QueueText(text.c_str()); }
    void QueueActionText(const char* text) { QueueText(text); }
    void QueueActionText(const std::string& text) { QueueText(text.c_str()); }
    void QueueLineBreak() { PushAction(kLineBreak); }

    // ---- Playback --------------------------------------------------------------------
    void Start();
    // Clear, then not running and not finished.
    void Reset();
    bool IsRunning() const { return m_running; }
    bool IsFinished() const { return m_finished; }
    // Lines and queue emptied, text speed and wait back to their defaults,
    // one empty line.
    void Clear();
    // Performs one popped record, then frees it.
    void PerformAction(DataBlock* record);
    void AppendChar(char c);
    void NewLine();
    void SetActor(int32_t id);
    void SetTarget(int32_t id);
    void AnimateActor(int32_t mode);
    void AnimateTarget(int32_t mode);

    // ---- State -----------------------------------------------------------------------
    int32_t* GetPendingCounter() { return &m_pendingAnimations; }
    int32_t GetPendingAnimations() const { return m_pendingAnimations; }
    bool IsPaused() const { return m_paused; }
    bool IsSyncing() const { return m_syncing; }
    int32_t GetWaitCounter() const { return m_waitCounter; }
    int32_t GetTextSpeed() const { return m_textSpeed; }
    GenericQueue& GetQueue() { return m_queue; }
    int GetQueuedActionCount() const { return m_queue.GetCount(); }
    // Newest first; empty for an index without a line.
    std::string GetLine(int index) const;
    int GetLineCount() const { return static_cast<int>(m_lines.size()); }
    Character* GetActor() const { return m_actor; }
    Character* GetTarget() const { return m_target; }
    ALLEGRO_FONT* GetFont() const { return m_font; }
    void SetFont(ALLEGRO_FONT* font) { m_font = font; }

    // ---- GUI operations ----------------------------------------------------------------
    // A mouse press and its release end a key pause; -1 plays the queue.
    bool OnEvent(int event, int x, int y) override;
    // While a key pause waits, the window holds the keys (it joins the
    // control stack): the first key struck after the pause began ends it.
    bool HandleNavigation() override;
    void Render() override;
    void* GetProperty(const std::string& name) override { return nullptr; }

private:
    void Tick();
    void EndPause();

    ALLEGRO_FONT* m_font = nullptr;
    ALLEGRO_COLOR m_textColour;
    std::deque<std::string> m_lines;  // newest first
    bool m_paused = false;
    bool m_armed = false;
    bool m_syncing = false;
    int32_t m_pendingAnimations = 0;
    GenericQueue m_queue;
    int32_t m_defaultTextSpeed = 1;
    int32_t m_textSpeed = 1;
    int32_t m_waitCounter = 0;
    bool m_continue = true;
    bool m_stopFlag = false;
    int32_t m_linesShown = kLinesShown;
    bool m_running = false;
    bool m_finished = false;
    Character* m_actor = nullptr;
    Character* m_target = nullptr;
};
