#include "gui/GUISmartImage.h"

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"

GUISmartImage::GUISmartImage() {
    m_type = kTypeGUISmartImage;
    // Starts with no place, no size, no bitmap, hidden and clean until the
    // script gives it dimensions (the base object's defaults already are).
}

GUISmartImage::~GUISmartImage() = default;

void GUISmartImage::SetImage(const std::string& kind, const std::string& owner, const std::string& property) {
    auto watch = std::make_unique<PropertyRouter::SyncPointer>();
    if (!watch->Bind(kind, owner, property) || watch->GetValueType() != kBitmapPointerType) return;
    m_watch = std::move(watch);
    m_dirty = true;
}

BitmapWrapper* GUISmartImage::GetShownImage() const {
    auto** address = m_watch ? static_cast<BitmapWrapper**>(m_watch->Get()) : nullptr;
    return address ? *address : nullptr;
}

bool GUISmartImage::OnEvent(int, int, int) { return false; }

void* GUISmartImage::GetProperty(const std::string&) { return nullptr; }

void GUISmartImage::Render() {
    BitmapWrapper* image = GetShownImage();
    m_dirty = false;
    if (!image) return;
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    image->Draw(m_drawX, m_drawY, 0);
    DrawChildren(Backing());
}
