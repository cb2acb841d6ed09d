#include "gui/GUIWindow.h"

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"

GUIWindow::GUIWindow() {
    m_type = kTypeGUIWindow;
    m_backgroundColor = al_map_rgb(0, 0, 0);
    m_redrawEveryPulse = false;
}

void GUIWindow::SetTransparent() {
    if (m_noFill) return;
    m_noFill = true;
    MarkDirty();
}

GUIWindow::~GUIWindow() = default;

void GUIWindow::SetBackgroundColor(int red, int green, int blue) {
    // The cast to 8 bits is the modulo 256 of the value, negatives included.
    m_backgroundColor = al_map_rgb(static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue));
    m_noFill = false;
    MarkDirty();
}

bool GUIWindow::OnEvent(int, int, int) { return false; }

void* GUIWindow::GetProperty(const std::string&) { return nullptr; }

void GUIWindow::TargetBacking() {
    if (Backing() && Backing()->GetBitmap()) al_set_target_bitmap(Backing()->GetBitmap());
}

void GUIWindow::FinishRender() {
    // A window that does not keep its picture is rendered again next frame.
    if (!KeepsPicture()) MarkDirty();
    DrawChildren(Backing());
}

void GUIWindow::Render() {
    if (Backing()) {
        if (m_noFill)
            Backing()->ClearToTransparent();
        else
            Backing()->ClearToColor(m_backgroundColor);
    }
    FinishRender();
}
