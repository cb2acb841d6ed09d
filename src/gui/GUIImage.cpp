#include "gui/GUIImage.h"

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"

GUIImage::GUIImage() {
    m_type = kTypeGUIImage;
    m_redrawEveryPulse = false;
}

GUIImage::~GUIImage() = default;

void GUIImage::SetImageByName(const std::string& name) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return;
    SetImage(static_cast<BitmapWrapper*>(library->FindPointerAnywhere(name.c_str(), DataKind::Bitmap)));
}

void GUIImage::SetImage(BitmapWrapper* image) {
    if (!image) return;
    m_image = image;
    m_width = image->GetWidth();
    m_height = image->GetHeight();
    m_hasContent = true;
    MarkDirty();
}

void GUIImage::SetImageOffset(int x, int y) {
    if (x == m_imageX && y == m_imageY) return;
    m_imageX = x;
    m_imageY = y;
    MarkDirty();
}

bool GUIImage::OnEvent(int, int, int) { return false; }

void* GUIImage::GetProperty(const std::string&) { return nullptr; }

void GUIImage::Render() {
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    if (m_image) m_image->Draw(m_drawX + m_imageX, m_drawY + m_imageY, 0);
    m_dirty = false;
    DrawChildren(Backing());
}
