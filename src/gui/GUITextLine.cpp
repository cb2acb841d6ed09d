#include "gui/GUITextLine.h"

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/OptionalMedia.h"
#include "core/script/DataLibrary.h"

namespace {

int32_t LengthOf(const std::string& text) {
    return text.size() > INT32_MAX ? INT32_MAX : static_cast<int32_t>(text.size());
}

}  // namespace

GUITextLine::GUITextLine() : m_colour(al_map_rgb(255, 255, 255)), m_font(SystemFont()) {
    m_type = kTypeGUITextLine;
    m_redrawEveryPulse = false;
}

GUITextLine::~GUITextLine() = default;

void GUITextLine::SetString(const char* text) {
    if (!m_font) return;
    if (!text) {
        if (m_hasText) MarkDirty();
        m_text.clear();
        m_hasText = false;
        return;
    }
    // The same text again (a watched value that did not move) changes nothing
    // on screen.
    const bool changed = !m_hasText || m_text != text;
    m_previousLength = m_length;
    m_text = text;
    m_hasText = true;
    m_length = LengthOf(m_text);
    if (changed) MarkDirty();
    if (m_autoSize && m_length != m_previousLength)
        SetDimensions(m_x1, m_y1, SaturateToInt32(int64_t{m_length} * 10), 16);
}

void GUITextLine::Append(const std::string& text) {
    if (!text.empty() || !m_hasText) MarkDirty();
    m_text += text;
    m_hasText = true;
    m_length = LengthOf(m_text);
}

void GUITextLine::Clear() {
    if (m_hasText) MarkDirty();
    m_text.clear();
    m_hasText = false;
    m_length = 0;
}

void GUITextLine::SetColor(ALLEGRO_COLOR colour) {
    if (colour.r == m_colour.r && colour.g == m_colour.g && colour.b == m_colour.b && colour.a == m_colour.a) return;
    m_colour = colour;
    MarkDirty();
}

void GUITextLine::SetFont(ALLEGRO_FONT* font) {
    if (font == m_font) return;
    m_font = font;
    MarkDirty();
}

bool GUITextLine::OnEvent(int, int, int) { return false; }

void* GUITextLine::GetProperty(const std::string&) { return nullptr; }

void GUITextLine::TargetBacking() {
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
}

void GUITextLine::DrawText(int x, int y) {
    if (m_font && m_hasText) al_draw_text(m_font, m_colour, m_drawX + x, m_drawY + y, 0, m_text.c_str());
}

void GUITextLine::Render() {
    TargetBacking();
    DrawText(0, 0);
    m_dirty = false;
    DrawChildren(Backing());
}
