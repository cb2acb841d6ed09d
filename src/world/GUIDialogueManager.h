#pragma once
// The dialogue box: the one window in which characters talk to the player,
// across the bottom of the game window. It shows a pane, a portrait over a
// background picture and ten lines of text. Scripts queue text, responses,
// delays, cursor moves, speed changes and picture changes as data blocks;
// the box plays the queue back one tick at a time, typing one character per
// tick with the "TextTick" sound. A click on a response line stores its
// value and runs the dialogue character's script again, which reads the
// value with GetLastChatResponse and fills the box anew.
//
// Shown, the box holds the "DialogueManager" input lock and hides the chat
// window "DefaultChatWindow" (once a line being typed there is sent or
// left); hidden, it gives the chat window its former visibility back. It
// joins the control stack and holds the keys while shown and on top, though
// they do nothing in it (talking is done with the mouse): no window behind
// it takes them.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/GenericQueue.h"
#include "core/base/NamedList.h"
#include "gui/GUIBaseObject.h"

class BitmapWrapper;
class ChatBubble;
class GUIManager;
class Portrait;

class GUIDialogueManager : public GUIBaseObject {
public:
    // The box's own queued actions (below 100 are the shared data blocks).
    enum Opcode : int32_t {
        kCharacter = 100,
        kTextTick = 101,
        kTextSpeed = 102,
        kCursor = 103,
        kLineBreak = 104,
        kDelay = 105,
        kResponse = 106,
        kBackground = 200,
        kPortrait = 201,
    };

    // The value that closes the box when its response line is clicked.
    static constexpr int32_t kCloseResponse = -3;
    // Last-response value while a dialogue script starts a conversation.
    static constexpr int32_t kStartResponse = -2;
    // Script code of dialogue script runs.
    static constexpr int32_t kDialogueScriptCode = -100;

    GUIDialogueManager();
    // Builds the one dialogue box ("DialogueManager") of the GUI along the
    // bottom of the window, at the front and hidden; a second call returns
    // the first box.
    static GUIBaseObject* Create(GUIManager& gui);
    ~GUIDialogueManager() override;

    // ---- Virtual operations ------------------------------------------------
    void Show(bool childrenOnly) override;
    void Hide(bool childrenOnly) override;
    // Lets go only when hidden.
    bool HandleNavigation() override;
    // -1 plays the queue; 0/1 handle clicks on the text area.
    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // ---- Lines ----------------------------------------------------------------
    // Appends a line under "L<number of lines before it>".
    void AddLine(const std::string& text);
    // Takes the line out and frees it; nothing for an index without a line.
    void RemoveLine(int index);
    int GetLineCount() const { return m_lines.GetCount(); }
    // Null for an index without a line.
    ChatBubble* GetLine(int index) const;
    void SetLineText(int index, const std::string& text);
    void SetLineResponse(int index, const std::string& text, int32_t value);
    // -1 for a line that is no response line or does not exist.
    int32_t GetLineResponse(int index) const;

    // ---- Immediate state --------------------------------------------------------
    // A line at or past the last and a slot over 80 are corrected to 0 with
    // a warning each.
    void SetCursor(int32_t line, int32_t slot);
    int32_t GetCursorLine() const { return m_cursorLine; }
    int32_t GetCursorSlot() const { return m_cursorSlot; }
    void AdvanceSlot();
    void NextLine();
    // Blank lines, cursor home, empty queue, fast-forward off, tick sound on.
    void Clear();
    int32_t GetLastResponse() const { return m_lastResponse; }
    void SetResponseState(int32_t value) { m_lastResponse = value; }
    void SetPortraitImage(Portrait* portrait);
    void SetBackgroundImage(Portrait* background);
    Portrait* GetPortraitImage() const { return m_portrait; }
    Portrait* GetBackgroundImage() const { return m_background; }
    void ApplyTextSpeed(float speed) { m_textSpeed = speed; }
    float GetTextSpeed() const { return m_textSpeed; }
    float GetDefaultTextSpeed() const { return m_defaultTextSpeed; }
    bool IsFastForward() const { return m_fastForward; }
    int32_t GetWaitCounter() const { return m_waitCounter; }
    int32_t GetLineHeight() const { return m_lineHeight; }
    int GetQueuedActionCount() const { return m_queue.GetCount(); }
    GenericQueue& GetQueue() { return m_queue; }

    // ---- Queued script commands ---------------------------------------------------
    void AddText(const std::string& text);
    void AddResponse(const std::string& text, int32_t value);
    void AddDelay(int32_t ticks);
    void QueueCursor(int32_t line, int32_t slot);
    void QueueResetCursor() { QueueCursor(0, 0); }
    void BreakLine();
    // A speed of 0 or less (or no number) queues the default speed; the
    // accumulator restarts at once.
    void SetTextSpeed(float speed);
    // Four-name data-library paths of the queued picture changes.
    void QueueBackground(const std::string& section, const std::string& catalogue, const std::string& heading,
                         const std::string& name);
    void QueuePortrait(const std::string& section, const std::string& catalogue, const std::string& heading,
                       const std::string& name);

    // Queues an action: 100 and up with the packed value as given (big-endian
    // integers, strings with their zero); below 100 through the shared data
    // blocks, where `argument` is what DataBlock::Enqueue expects.
    void PushOwnAction(int32_t opcode, std::vector<uint8_t> value);
    void PushSharedAction(int32_t opcode, const void* argument);
    // Performs one popped action and frees it.
    void PerformQueueAction(void* record);
    // One tick of playback (what the per-tick pulse does).
    void UpdateQueue();

    // Runs the dialogue character's dialogue script with code -100; false
    // when there is no dialogue character. A character without a dialogue
    // script runs nothing.
    static bool RunDialogueScript();

    // The DM_ functions and the older dialogue functions.
    static void RegisterLuaFunctions(lua_State* L);

private:
    bool HandleRelease(int lx, int ly);
    // A portrait is a holder whose bitmap can be replaced while the box
    // shows it.
    bool ShownStateChanged() const override;
    void HideChatWindow(bool childrenOnly);
    // A text box in the window (or the window) holds the keys.
    static bool LineBeingTypedIn(const GUIBaseObject* window);

    bool m_chatWindowWasVisible = false;
    // The box has hidden the chat window and not yet given it back.
    bool m_holdsChatWindow = false;
    // Shown while a line was typed in the chat window: hides it when the
    // line is sent or left.
    bool m_chatHideOwed = false;
    BitmapWrapper* m_pane = nullptr;
    Portrait* m_background = nullptr;
    Portrait* m_portrait = nullptr;
    ALLEGRO_FONT* m_font = nullptr;
    ALLEGRO_COLOR m_textColour;
    NamedList m_lines{false};  // the lines are freed by the box
    int32_t m_lastResponse = -1;
    bool m_fastForward = false;
    GenericQueue m_queue;
    float m_defaultTextSpeed = 0.5f;
    float m_textSpeed = 0.5f;
    float m_speedAccumulator = 0.0f;
    int32_t m_waitCounter = 0;
    bool m_continue = false;
    bool m_stopFlag = false;
    int32_t m_cursorLine = 0;
    int32_t m_cursorSlot = 0;
    int32_t m_lineWidth = 70;
    bool m_pressed = false;
    int32_t m_lineHeight = 18;
    // The pictures' bitmaps the last Render drew.
    const BitmapWrapper* m_drawnBackground = nullptr;
    const BitmapWrapper* m_drawnPortrait = nullptr;
};
