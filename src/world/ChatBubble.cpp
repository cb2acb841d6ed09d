#include "world/ChatBubble.h"

#include <algorithm>
#include <cstring>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"

ChatBubble::ChatBubble(const std::string& text) {
    FillBlanks();
    SetText(text);
}

void ChatBubble::FillBlanks() {
    std::fill(m_text.begin(), m_text.end() - 1, ' ');
    m_text[kMaxLength] = '\0';
}

void ChatBubble::SetText(const std::string& text) {
    if (text == "~BLANK") {
        FillBlanks();
    } else {
        // Copied up to its own end (a zero inside the text ends it too), at
        // most 79 characters; the rest of the buffer keeps what it held.
        size_t length = std::min<size_t>(std::strlen(text.c_str()), kMaxLength);
        std::copy_n(text.data(), length, m_text.begin());
        m_text[length] = '\0';
        m_text[kMaxLength] = '\0';
    }
    m_visible = 1;
    m_response = 0;
}

void ChatBubble::SetResponseText(const std::string& text, int32_t value) {
    SetText(text);
    m_response = 1;
    m_responseValue = value;
}

void ChatBubble::SetCharacter(int index, char character) {
    if (index < 0 || index >= kMaxLength) return;
    m_text[static_cast<size_t>(index)] = character;
}

void ChatBubble::Clear() {
    FillBlanks();
    m_visible = 1;
    m_response = 0;
}

void ChatBubble::Draw(const ALLEGRO_FONT* font, ALLEGRO_COLOR colour, int x, int y, int flags) const {
    if (!m_visible) return;
    if (m_response) {
        DataLibrary* library = GetGlobalState()->dataLibrary;
        BitmapWrapper* image =
            library ? library->Get<BitmapWrapper>("Images", "GUI", "Bubbles", "ResponseBubble", DataKind::Bitmap)
                    : nullptr;
        if (image) image->DrawDefault(x, y);
        // When the "DialogueManager" GUI object exists, the dialogue box's
        // response indent is added to x here, once the dialogue box is built.
    }
    if (!font) return;
    al_draw_textf(font, colour, static_cast<float>(x), static_cast<float>(y), flags, "%s", m_text.data());
}
