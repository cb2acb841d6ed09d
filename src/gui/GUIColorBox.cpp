#include "gui/GUIColorBox.h"

#include <allegro5/allegro_primitives.h>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/PropertyRouter.h"

GUIColorBox::GUIColorBox() {
    m_type = kTypeGUIColorBox;
    m_redrawEveryPulse = false;
}

GUIColorBox::~GUIColorBox() = default;

void GUIColorBox::SetColor(int red, int green, int blue, int alpha) {
    m_red = red;
    m_green = green;
    m_blue = blue;
    m_alpha = alpha;
    MarkDirty();
}

bool GUIColorBox::ShownStateChanged() const {
    return m_red != m_drawn[0] || m_green != m_drawn[1] || m_blue != m_drawn[2] || m_alpha != m_drawn[3];
}

bool GUIColorBox::OnEvent(int, int, int) { return false; }

void* GUIColorBox::GetProperty(const std::string& name) {
    int32_t* field = name == "Red"     ? &m_red
                     : name == "Green" ? &m_green
                     : name == "Blue"  ? &m_blue
                     : name == "Alpha" ? &m_alpha
                                       : nullptr;
    if (field) PropertyRouter::Report(PropertyRouter::kInt);
    return field;
}

void GUIColorBox::Render() {
    // Each value is taken as a byte (modulo 256).
    const ALLEGRO_COLOR colour = al_map_rgba(static_cast<uint8_t>(m_red), static_cast<uint8_t>(m_green),
                                             static_cast<uint8_t>(m_blue), static_cast<uint8_t>(m_alpha));
    if (Backing() && Backing()->GetBitmap()) {
        Backing()->SetAsTarget();
        al_clear_to_color(colour);
    }
    m_drawn[0] = m_red;
    m_drawn[1] = m_green;
    m_drawn[2] = m_blue;
    m_drawn[3] = m_alpha;
    m_dirty = false;
    DrawChildren(Backing());
}
