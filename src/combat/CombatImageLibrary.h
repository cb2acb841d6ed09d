#pragma once
// The enemy images of one battle: at battle start each enemy prototype's
// loading instructions take numbered images out of "Data/Enemies.sif" into
// the library, where the enemies' field-sprite scripts find them by name;
// the library is emptied when the battle ends.
#include <cstdint>
#include <string>

#include "combat/CombatImages.h"

class BitmapWrapper;
class ExternalImageManager;
class NamedList;

class CombatImageLibrary : public CombatImages {
public:
    static constexpr const char* kArchive = "Data/Enemies.sif";
    // Longest image name built from a base name and an index.
    static constexpr size_t kMaxImageName = 255;

    CombatImageLibrary();
    ~CombatImageLibrary() override;
    CombatImageLibrary(const CombatImageLibrary&) = delete;
    CombatImageLibrary& operator=(const CombatImageLibrary&) = delete;

    // The first image stored under the name, or null.
    BitmapWrapper* FindImage(const char* name) const;
    // Opens the enemy archive with the global image archive manager.
    void Open();
    // Nothing unless open. Index -1 records the base name as loaded. Any
    // other index, unless the loading string is recorded as loaded: the image
    // "<base name><index>" is taken from the archive and kept (when found).
    void LoadImage(const char* loadingString, const char* baseName, int32_t index);
    void Close();
    bool IsOpen() const { return m_archives != nullptr; }
    // Forgets and frees every image; animations that showed one drop it.
    void Clear() override;

    int GetImageCount() const;

private:
    NamedList* m_loaded;
    NamedList* m_images;
    ExternalImageManager* m_archives = nullptr;
};

// The library in the combat registry, or null before start-up made it.
CombatImageLibrary* GetCombatImageLibrary();
