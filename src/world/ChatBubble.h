#pragma once
// One line of text of at most 79 characters, as the dialogue box keeps one
// for each of its text lines and responses. It can be written whole or a
// character at a time, cleared, marked as a response carrying a value, and
// drawn; a response line is drawn over the "ResponseBubble" image.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>

#include <array>
#include <cstdint>
#include <string>

class ChatBubble {
public:
    static constexpr int kMaxLength = 79;

    explicit ChatBubble(const std::string& text);

    // "~BLANK" fills the line with 79 blanks; any other text is copied, cut
    // to 79 characters. The line becomes visible and not a response.
    void SetText(const std::string& text);
    // SetText, then marks the line as a response with the value.
    void SetResponseText(const std::string& text, int32_t value);
    // The value of a response line, else -1.
    int32_t GetResponseValue() const { return m_response ? m_responseValue : -1; }
    // Writes one character at 0 <= index < 79; the terminating zero at 79
    // stays, so the line never runs past its buffer. Other indexes are
    // ignored.
    void SetCharacter(int index, char character);
    // 79 blanks, visible, not a response.
    void Clear();

    // The line up to its first zero.
    std::string GetText() const { return std::string(m_text.data()); }
    bool IsVisible() const { return m_visible != 0; }
    void SetVisible(bool visible) { m_visible = visible ? 1 : 0; }
    bool IsResponse() const { return m_response != 0; }

    // Draws on the current target: nothing unless visible; a response line
    // first draws the response image at (x, y) when it is registered. The
    // text goes through al_draw_textf; a null font draws no text.
    void Draw(const ALLEGRO_FONT* font, ALLEGRO_COLOR colour, int x, int y, int flags) const;

private:
    void FillBlanks();

    uint8_t m_visible = 1;
    uint8_t m_response = 0;
    int32_t m_responseValue = 0;
    std::array<char, kMaxLength + 1> m_text{};
};
