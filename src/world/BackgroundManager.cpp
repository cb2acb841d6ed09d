#include "world/BackgroundManager.h"

#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "world/BackgroundObject.h"
#include "world/Camera.h"

BackgroundManager::BackgroundManager()
    : m_objects(std::make_unique<NamedList>(false)), m_fillColor(al_map_rgb(0, 0, 0)) {
    LuaManager* lua = GetGlobalState()->luaManager;
    if (lua && lua->GetLuaState()) RegisterBackgroundLuaFunctions(lua->GetLuaState());
}

BackgroundManager::~BackgroundManager() {
    // Addresses of the fixed offsets kept by AI packages or widgets go too.
    PropertyRouter::ForgetOwner(this);
    m_active = nullptr;
    while (!m_objects->IsEmpty()) delete static_cast<BackgroundObject*>(m_objects->RemoveFirst());
}

BackgroundObject* BackgroundManager::SpawnObject(const std::string& name, const std::string& imageName, int32_t x,
                                                 int32_t y, float factorX, float factorY, int32_t flags) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return nullptr;
    auto* image = static_cast<BitmapWrapper*>(
        library->GetPointer("Images", "Background", "Scenery", imageName.c_str(), DataKind::Bitmap));
    if (!image) return nullptr;
    auto* object = new BackgroundObject;
    object->SetImage(image);
    object->SetPosition(x, y);
    object->SetFlags(flags);
    object->SetFactors(factorX, factorY);
    m_objects->Add(name, object);
    m_active = object;
    return object;
}

void BackgroundManager::SetFillColor(int32_t r, int32_t g, int32_t b) {
    m_fill = 1;
    m_fillColor = al_map_rgb(static_cast<unsigned char>(r & 0xFF), static_cast<unsigned char>(g & 0xFF),
                             static_cast<unsigned char>(b & 0xFF));
}

void BackgroundManager::Update() {
    NamedList::Node* node = m_objects->GetHead();
    while (node) {
        NamedList::Node* next = node->next;
        auto* object = static_cast<BackgroundObject*>(node->value);
        object->Update();
        if (object->IsDone()) {
            if (m_active == object) m_active = nullptr;
            m_objects->RemoveValue(object);
            delete object;
        }
        node = next;
    }
}

void BackgroundManager::UpdateOffsets(Camera* camera) {
    m_offsetX = m_fixedOffsetX;
    m_offsetY = m_fixedOffsetY;
    if (!m_fixedMode && camera) {
        m_offsetX = static_cast<int32_t>(static_cast<uint32_t>(m_offsetX) + static_cast<uint32_t>(camera->GetX()));
        m_offsetY = static_cast<int32_t>(static_cast<uint32_t>(m_offsetY) + static_cast<uint32_t>(camera->GetY()));
    }
}

void BackgroundManager::Draw(BitmapWrapper* target, Camera* camera) {
    if (target && target->GetBitmap()) target->SetAsTarget();
    if (m_fill) al_clear_to_color(m_fillColor);
    UpdateOffsets(camera);
    for (NamedList::Node* node = m_objects->GetHead(); node; node = node->next)
        static_cast<BackgroundObject*>(node->value)->Draw(target, m_offsetX);
}

void* BackgroundManager::RoutePointer(const std::string& owner, const std::string& property) {
    if (owner == "Base") {
        if (property == "FixedOffsetX") {
            PropertyRouter::Report(PropertyRouter::kInt);
            return &m_fixedOffsetX;
        }
        if (property == "FixedOffsetY") {
            PropertyRouter::Report(PropertyRouter::kInt);
            return &m_fixedOffsetY;
        }
        std::fprintf(stderr, "Warning:  Property %s not found in BackgroundManager\n", property.c_str());
    }
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}

int BackgroundManager::GetObjectCount() const { return m_objects->GetCount(); }

BackgroundObject* BackgroundManager::GetObjectAt(int index) const {
    return static_cast<BackgroundObject*>(m_objects->GetAt(index));
}

BackgroundObject* BackgroundManager::FindObject(const std::string& name) const {
    return static_cast<BackgroundObject*>(m_objects->Find(name));
}
