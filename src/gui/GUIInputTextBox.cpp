#include "gui/GUIInputTextBox.h"

#include <allegro5/allegro_primitives.h>

#include <cstdio>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/KeyboardManager.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIManager.h"

namespace {

int TextWidth(ALLEGRO_FONT* font, const std::string& text) { return font ? al_get_text_width(font, text.c_str()) : 0; }

// Digits and the punctuation keys (tilde, minus, equals, braces, backslash,
// semicolon, quote, space, comma, full stop, slash): shift alone picks the
// second character.
bool IsShiftOnlyKey(int code) {
    if (code >= 27 && code <= 36) return true;
    switch (code) {
        case 60:
        case 61:
        case 62:
        case 65:
        case 66:
        case 70:
        case 68:
        case 69:
        case 75:
        case 72:
        case 73:
        case 74: return true;
        default: return false;
    }
}

}  // namespace

GUIInputTextBox::GUIInputTextBox() {
    m_type = kTypeGUIInputTextBox;
    m_colour = al_map_rgb(201, 171, 207);
    m_autoSize = false;
    m_holdsInput = true;
}

GUIInputTextBox::~GUIInputTextBox() = default;

void GUIInputTextBox::Resync() {
    m_length = static_cast<int32_t>(m_text.size());
    if (m_cursor < 0 || m_cursor > m_length) m_cursor = m_length;
}

void GUIInputTextBox::SetFocus(bool on) {
    GUIManager* manager = GetGlobalState()->guiManager;
    Resync();
    if (on) {
        m_focused = true;
        // On top of the control stack, the box takes the strokes after the
        // one that focused it, and the player sees no key.
        if (manager && !manager->GetControlStack().Contains(this)) manager->GetControlStack().Push(this);
        MarkDirty();
        m_cursor = m_length;
    } else {
        m_focused = false;
        if (manager) manager->GetControlStack().Remove(this);
    }
    std::fprintf(stderr, "Set focus to %p %s\n", static_cast<void*>(this), m_pathName.c_str());
}

bool GUIInputTextBox::TakeEnteredText(std::string& line) {
    if (!m_entered) return false;
    m_entered = false;
    line = std::move(m_enteredText);
    m_enteredText.clear();
    return true;
}

void GUIInputTextBox::SetSystemData(int maximum, bool systemFlag) {
    m_maxChars = maximum < 0 ? 0 : maximum;
    m_systemFlag = systemFlag;
    m_text.clear();
    m_hasText = true;
    m_cursor = 0;
    m_length = 0;
    MarkDirty();
}

void GUIInputTextBox::SetInputFont(ALLEGRO_FONT* font) {
    if (!font) return;
    m_inputFont = font;
    m_cursorWidth = al_get_text_width(font, "-");
    MarkDirty();
}

int GUIInputTextBox::GetLineHeight() const {
    ALLEGRO_FONT* font = TypingFont();
    return font ? al_get_font_line_height(font) + 15 : 0;
}

bool GUIInputTextBox::Insert(char character, int position) {
    Resync();
    if (character == 0) return false;
    if (ALLEGRO_FONT* font = TypingFont())
        if (int64_t{TextWidth(font, m_text)} >= int64_t{m_width} - TextWidth(font, "M-")) return false;
    if (position < 0 || position > m_length || m_length >= m_maxChars) return false;
    m_text.insert(static_cast<size_t>(position), 1, character);
    m_hasText = true;
    m_length = static_cast<int32_t>(m_text.size());
    MarkDirty();
    return true;
}

GUIInputTextBox::LineEnteredFn& GUIInputTextBox::LineEnteredHandler() {
    static LineEnteredFn handler = nullptr;
    return handler;
}

void GUIInputTextBox::SetLineEnteredHandler(LineEnteredFn handler) { LineEnteredHandler() = handler; }

void GUIInputTextBox::Submit() {
    // The line leaves the box at once, so typing can go on; it waits for
    // TakeEnteredText. A line that the console recognises as a command is
    // run as one here, and any other line goes to the line-entered handler
    // (the chat window sends a line typed into its box).
    m_enteredText = m_text;
    const LayerHooks& hooks = GetLayerHooks();
    if (hooks.isConsoleCommand && hooks.runConsoleCommand && hooks.isConsoleCommand(m_enteredText))
        hooks.runConsoleCommand(m_enteredText);
    else if (LineEnteredFn handler = LineEnteredHandler())
        handler(*this, m_enteredText);
    m_entered = true;
    m_text.clear();
    m_cursor = 0;
    m_length = 0;
    MarkDirty();
}

bool GUIInputTextBox::HandleNavigation() {
    if (!IsVisible()) return true;
    const KeyStroke* stroke = GUIControlStack::CurrentStroke();
    if (!stroke || !stroke->types) return false;
    Resync();
    return TypeKey(stroke->code, stroke->shift, stroke->capsLock);
}

bool GUIInputTextBox::TypeKey(int32_t key, bool shift, bool capsLock) {
    KeyboardManager* keyboard = GetGlobalState()->keyboardManager;
    const bool letter = key >= 1 && key <= 26;
    if ((letter || IsShiftOnlyKey(key)) && keyboard) {
        const bool shifted = letter ? shift != capsLock : shift;
        const char character = static_cast<char>(keyboard->GetCharTable()[key][shifted ? 1 : 0]);
        if (Insert(character, m_cursor)) ++m_cursor;
    } else if (key == kKeyEnter) {
        if (m_length > 0) Submit();
        ToggleFocus();
        return true;
    } else if (key == kKeyTab) {
        ToggleFocus();
        return true;
    } else if (key == kKeyDelete || key == kKeyBackspace) {
        // The character before the cursor goes; a cursor at the start has
        // nothing before it and stays.
        if (m_length >= 1 && m_cursor >= 1 && m_cursor <= m_maxChars) {
            m_text.erase(static_cast<size_t>(m_cursor - 1), 1);
            m_length = static_cast<int32_t>(m_text.size());
            --m_cursor;
            MarkDirty();
        }
    }
    return false;
}

bool GUIInputTextBox::OnEvent(int event, int, int) {
    if (event == kGUIEventPulse) {
        // The cursor shows while the counter is below 10: the box is drawn
        // again when it appears or goes.
        const bool cursorShown = m_blink < 10;
        if (m_focused) {
            if (++m_blink > 20) m_blink = 0;
        } else {
            m_blink = 11;
        }
        if ((m_blink < 10) != cursorShown) MarkDirty();
        return false;
    }
    if (event == kGUIEventPress && IsMouseInside()) {
        SetFocus(true);
        m_cursor = m_length;
        return true;
    }
    return false;
}

void* GUIInputTextBox::GetProperty(const std::string& name) {
    if (name == "String") {
        PropertyRouter::Report(PropertyRouter::kString);
        return &m_text;
    }
    int32_t* field = name == "Length"     ? &m_length
                     : name == "Cursor"   ? &m_cursor
                     : name == "MaxChars" ? &m_maxChars
                                          : nullptr;
    if (field) PropertyRouter::Report(PropertyRouter::kInt);
    return field;
}

void GUIInputTextBox::Render() {
    TargetBacking();
    const int x = m_drawX;
    const int y = m_drawY;
    al_clear_to_color(al_map_rgba(255, 255, 255, 255));
    al_draw_rounded_rectangle(x + 1, y + 1, x + m_width - 1, y + m_height - 1, 2, 2, al_map_rgb(255, 0, 0), 3);
    ALLEGRO_FONT* font = TypingFont();
    if (font && m_hasText) al_draw_text(font, m_colour, x + 3, y, 0, m_text.c_str());
    if (m_blink < 10) {
        const float left = static_cast<float>(x + TextWidth(font, m_text) + 3);
        al_draw_filled_rectangle(left, y + m_height - 5, left + m_cursorWidth, y + m_height - 1, m_colour);
    }
    m_drawnText = m_text;
    m_drawnHasText = m_hasText;
    m_dirty = false;
    DrawChildren(Backing());
}

bool GUIInputTextBox::ShownStateChanged() const { return m_hasText != m_drawnHasText || m_text != m_drawnText; }
