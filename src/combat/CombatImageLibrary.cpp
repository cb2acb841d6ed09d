#include "combat/CombatImageLibrary.h"

#include <cstdlib>

#include "combat/CombatRegistry.h"
#include "combat/FieldSpriteanimation.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"

namespace {

void DeletePlaceholder(void* value) { delete static_cast<uint8_t*>(value); }

}  // namespace

CombatImageLibrary::CombatImageLibrary() : m_loaded(new NamedList(true)), m_images(new NamedList(true)) {
    m_loaded->SetDefaultDeleter(DeletePlaceholder);
    m_images->SetDefaultDeleter(BitmapWrapper::Delete);
}

CombatImageLibrary::~CombatImageLibrary() {
    Clear();
    delete m_loaded;
    delete m_images;
}

BitmapWrapper* CombatImageLibrary::FindImage(const char* name) const {
    return name ? m_images->FindAs<BitmapWrapper>(name) : nullptr;
}

void CombatImageLibrary::Open() {
    m_archives = GetGlobalState()->imageManager;
    if (m_archives) m_archives->OpenFile(kArchive);
}

void CombatImageLibrary::LoadImage(const char* loadingString, const char* baseName, int32_t index) {
    if (!m_archives || !baseName) return;
    if (index == -1) {
        m_loaded->Add(baseName, new uint8_t(1));
        return;
    }
    if (loadingString && m_loaded->Find(loadingString)) return;
    std::string name = std::string(baseName) + std::to_string(index);
    if (name.size() > kMaxImageName) name.resize(kMaxImageName);
    if (BitmapWrapper* image = m_archives->GetBitmapFromActiveFile(name)) m_images->Add(name, image);
}

void CombatImageLibrary::Close() {
    if (m_archives) m_archives->CloseFile();
    m_archives = nullptr;
}

void CombatImageLibrary::Clear() {
    for (NamedList::Node* node = m_images->GetHead(); node; node = node->next)
        FieldSpriteanimation::ForgetImage(static_cast<BitmapWrapper*>(node->value));
    m_images->Clear();
    m_loaded->Clear();
}

int CombatImageLibrary::GetImageCount() const { return m_images->GetCount(); }

CombatImageLibrary* GetCombatImageLibrary() {
    // The registry's first slot only ever holds this library.
    return static_cast<CombatImageLibrary*>(GetCombatRegistry().imageLibrary);
}
