#pragma once
// A line of text in one font and colour. With auto size on, a new text of a
// new length resizes the line to 10 pixels a character by 16.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class GUITextLine : public GUIBaseObject {
public:
    // White, auto size on, the system font (Fonts/General/System/SystemFont)
    // when it is registered.
    GUITextLine();
    ~GUITextLine() override;

    // Nothing without a font. A null text removes the text and keeps the
    // length.
    void SetString(const char* text);
    void SetString(const std::string& text) { SetString(text.c_str()); }
    // Adds to the end; auto size does not apply.
    void Append(const std::string& text);
    void Clear();
    // Null when no text is set.
    const std::string* GetText() const { return m_hasText ? &m_text : nullptr; }
    int32_t GetLength() const { return m_length; }
    void SetAutoSize(bool on) { m_autoSize = on; }
    bool GetAutoSize() const { return m_autoSize; }
    void SetColor(ALLEGRO_COLOR colour);
    ALLEGRO_COLOR GetColor() const { return m_colour; }
    void SetFont(ALLEGRO_FONT* font);
    ALLEGRO_FONT* GetFont() const { return m_font; }

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // GUIT_SetString.
    static void RegisterLuaFunctions(lua_State* L);

protected:
    // Makes the backing bitmap the drawing target.
    void TargetBacking();
    // The text in the colour at the draw position, when font and text exist.
    void DrawText(int x, int y);

    bool m_autoSize = true;
    std::string m_text;
    bool m_hasText = false;
    int32_t m_length = 0;
    int32_t m_previousLength = 0;
    ALLEGRO_COLOR m_colour;
    ALLEGRO_FONT* m_font = nullptr;
};
