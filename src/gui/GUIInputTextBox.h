#pragma once
// A box that edits one line of typed text. A press inside gives it the
// keyboard focus (it joins the GUI control stack and holds input, so the
// player and the GUI hot keys see no keys); while focused it takes the keys
// typed since the last tick from the GUI manager every tick. Enter submits the line and gives up the
// focus, Tab only gives it up. A submitted line waits in the box until it
// is taken with TakeEnteredText (the chat log does so every tick).
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "gui/GUITextLine.h"

class GUIInputTextBox : public GUITextLine {
public:
    // Allegro key codes the box reacts to.
    static constexpr int kKeyTab = 64;
    static constexpr int kKeyEnter = 67;
    static constexpr int kKeyBackspace = 63;
    static constexpr int kKeyDelete = 77;

    GUIInputTextBox();
    ~GUIInputTextBox() override;

    // On: joins the control stack, cursor to the end. Off: leaves the
    // stack. Both print a line.
    void SetFocus(bool on);
    void ToggleFocus() { SetFocus(!m_focused); }
    bool IsFocused() const { return m_focused; }

    // The submitted line, once: true and the line in `line` when one waits.
    bool TakeEnteredText(std::string& line);
    // Called with every submitted line that is not a console command; a
    // window above the toolkit (the chat window) has app/LayerWiring.cpp set
    // it at start-up to act on lines typed into its box. Null: nothing
    // happens.
    using LineEnteredFn = void (*)(GUIInputTextBox& box, const std::string& line);
    static void SetLineEnteredHandler(LineEnteredFn handler);
    static LineEnteredFn GetLineEnteredHandler() { return LineEnteredHandler(); }
    bool HasEnteredText() const { return m_entered; }

    // Maximum characters (negative reads 0) and the system flag; the text
    // is emptied.
    void SetSystemData(int maximum, bool systemFlag);
    int32_t GetMaxChars() const { return m_maxChars; }
    bool GetSystemFlag() const { return m_systemFlag; }
    // Null ignored; the cursor becomes as wide as "-" in that font.
    void SetInputFont(ALLEGRO_FONT* font);
    int32_t GetCursor() const { return m_cursor; }
    int32_t GetCursorWidth() const { return m_cursorWidth; }
    int32_t GetBlinkCounter() const { return m_blink; }
    // The font's line height plus 15 (0 without a font).
    int GetLineHeight() const;

    // One character at the position; false (nothing changed) for a zero
    // character, a position outside 0..length, a full box, or a text that
    // already fills the box's width less the width of "M-".
    bool Insert(char character, int position);

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;
    // Types the stroke the control stack hands it, if any; true when Enter
    // or Tab gave up the focus, or the box is hidden.
    bool HandleNavigation() override;

    // GUIITB_SetSystemData.
    static void RegisterLuaFunctions(lua_State* L);

private:
    static LineEnteredFn& LineEnteredHandler();
    ALLEGRO_FONT* TypingFont() const { return m_inputFont ? m_inputFont : m_font; }
    // Brings the length and cursor back in line with the text (router
    // writes and GUIT_SetString may have moved them).
    void Resync();
    void Submit();
    // One typed key with the modifiers it was typed with; true: Enter or
    // Tab gave up the focus.
    bool TypeKey(int32_t key, bool shift, bool capsLock);
    // Its text can be written through the "String" property.
    bool ShownStateChanged() const override;

    int32_t m_cursor = 0;
    int32_t m_cursorWidth = 10;
    int32_t m_maxChars = 80;
    int32_t m_blink = 11;
    bool m_systemFlag = false;
    bool m_focused = false;
    bool m_entered = false;
    std::string m_enteredText;
    ALLEGRO_FONT* m_inputFont = nullptr;
    // What the last Render drew.
    std::string m_drawnText;
    bool m_drawnHasText = false;
};
