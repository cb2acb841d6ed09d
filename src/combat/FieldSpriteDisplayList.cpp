#include "combat/FieldSpriteDisplayList.h"

#include <algorithm>
#include <vector>

#include "combat/FieldSpriteanimation.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/script/DataLibrary.h"

namespace {

// Never destroyed, so lists freed during the process's exit can still take
// themselves off.
std::vector<FieldSpriteDisplayList*>& Loose() {
    static auto* loose = new std::vector<FieldSpriteDisplayList*>();
    return *loose;
}

// Walks the layers from a snapshot of the node chain.
template <class Fn> void ForEachLayer(NamedList* layers, Fn fn) {
    for (NamedList::Node* node = layers->GetHead(); node; node = node->next)
        fn(static_cast<FieldSpriteanimation*>(node->value));
}

}  // namespace

FieldSpriteDisplayList::FieldSpriteDisplayList() : m_layers(new NamedList(true)) {
    m_layers->SetDefaultDeleter(FieldSpriteanimation::Delete);
}

FieldSpriteDisplayList::~FieldSpriteDisplayList() {
    auto& loose = Loose();
    loose.erase(std::remove(loose.begin(), loose.end(), this), loose.end());
    if (DataLibrary* library = GetGlobalState()->dataLibrary) library->ForgetObject(this);
    delete m_layers;
}

void FieldSpriteDisplayList::Delete(void* list) { delete static_cast<FieldSpriteDisplayList*>(list); }

void FieldSpriteDisplayList::AddAnimation(const char* name, const FieldSpriteanimation* animation) {
    if (!name || !animation) return;
    m_layers->Add(name, animation->Clone());
}

void FieldSpriteDisplayList::SetFrameIndexAll(int32_t index) {
    ForEachLayer(m_layers, [index](FieldSpriteanimation* a) { a->SetFrameIndex(index); });
}

void FieldSpriteDisplayList::AdvanceAll() {
    ForEachLayer(m_layers, [](FieldSpriteanimation* a) { a->Advance(); });
}

void FieldSpriteDisplayList::RestartAll() {
    ForEachLayer(m_layers, [](FieldSpriteanimation* a) { a->Restart(); });
}

void FieldSpriteDisplayList::DrawAll() {
    ForEachLayer(m_layers, [](FieldSpriteanimation* a) { a->DrawCurrentFrame(0, 0); });
}

void FieldSpriteDisplayList::DrawAllWithFlags(int x, int y, int flags) {
    ForEachLayer(m_layers, [x, y, flags](FieldSpriteanimation* a) { a->DrawCurrentFrameWithFlags(x, y, flags); });
}

int FieldSpriteDisplayList::GetLayerCount() const { return m_layers->GetCount(); }

FieldSpriteDisplayList* FieldSpriteDisplayList::CreateLoose() {
    auto* list = new FieldSpriteDisplayList();
    Loose().push_back(list);
    return list;
}

void FieldSpriteDisplayList::Adopt(FieldSpriteDisplayList* list) {
    auto& loose = Loose();
    loose.erase(std::remove(loose.begin(), loose.end(), list), loose.end());
}

bool FieldSpriteDisplayList::IsLoose(const FieldSpriteDisplayList* list) {
    const auto& loose = Loose();
    return list && std::find(loose.begin(), loose.end(), list) != loose.end();
}

void FieldSpriteDisplayList::ReleaseAllLoose() {
    while (!Loose().empty()) delete Loose().back();
}
