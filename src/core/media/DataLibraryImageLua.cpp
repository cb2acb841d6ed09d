#include "core/media/DataLibraryImageLua.h"

#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/Palette.h"
#include "core/media/Portrait.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

// Reads arguments 1..count as text; false when any is not text.
bool GetTexts(lua_State* L, int count, std::string* out) {
    for (int i = 0; i < count; ++i)
        if (!script::GetText(L, i + 1, out[i])) return false;
    return true;
}

int Fail(const char* function, const char* what) { return script::Fail(std::string(function) + what); }

// Fetches both managers, or prints the function's line for a missing one.
bool GetManagers(const char* function, DataLibrary*& library, ExternalImageManager*& images) {
    GlobalState* state = GetGlobalState();
    library = state->dataLibrary;
    images = state->imageManager;
    if (!library) {
        Fail(function, ":  Failed, DataLibrary does not exist\n");
        return false;
    }
    if (!images) {
        Fail(function, ":  Failed, ExternalImageManager does not exist\n");
        return false;
    }
    return true;
}

// DL_ExtractBitmap (image, section, catalogue, heading, name) or
// (image, name): the archive's bitmap registered at the path, or in the
// active Heading.
int DL_ExtractBitmap(lua_State* L) {
    const char* kName = "DL_ExtractBitmap";
    int count = lua_gettop(L);
    if (count != 5 && count != 2) return Fail(kName, ":  Failed, invalid argument list\n");
    std::string a[5];
    if (!GetTexts(L, count, a)) return Fail(kName, ":  Failed, invalid argument list\n");
    DataLibrary* library;
    ExternalImageManager* images;
    if (!GetManagers(kName, library, images)) return 0;

    BitmapWrapper* bitmap = images->GetBitmapFromActiveFile(a[0]);
    if (!bitmap) return script::Fail("DL_ExtractBitmap:  Failed, no Bitmap named " + a[0] + " found\n");
    bool registered = count == 5 ? library->Register(a[1].c_str(), a[2].c_str(), a[3].c_str(), a[4].c_str(), bitmap,
                                                     DataKind::Bitmap)
                                 : library->RegisterInActiveHeading(a[1].c_str(), bitmap, DataKind::Bitmap);
    // Nothing else will ever free a bitmap that found no place.
    if (!registered) delete bitmap;
    return 0;
}

// DL_ExtractPortrait (image, section, catalogue, heading, name): a new
// portrait holding the archive's bitmap (none when it is missing).
int DL_ExtractPortrait(lua_State* L) {
    const char* kName = "DL_ExtractPortrait";
    if (!script::HasArgs(L, 5)) return Fail(kName, ":  Failed, invalid argument list\n");
    std::string a[5];
    if (!GetTexts(L, 5, a)) return Fail(kName, ":  Failed, invalid argument list\n");
    DataLibrary* library;
    ExternalImageManager* images;
    if (!GetManagers(kName, library, images)) return 0;

    auto* portrait = new Portrait();
    portrait->SetBitmap(images->GetBitmapFromActiveFile(a[0]));
    if (!library->Register(a[1].c_str(), a[2].c_str(), a[3].c_str(), a[4].c_str(), portrait, DataKind::Portrait))
        delete portrait;
    return 0;
}

// DL_ExtractPalette (palette, section, catalogue, heading, name).
int DL_ExtractPalette(lua_State* L) {
    const char* kName = "DL_ExtractPalette";
    if (!script::HasArgs(L, 5)) return Fail(kName, ":  Failed, invalid argument list\n");
    std::string a[5];
    if (!GetTexts(L, 5, a)) return Fail(kName, ":  Failed, invalid argument list\n");
    DataLibrary* library;
    ExternalImageManager* images;
    if (!GetManagers(kName, library, images)) return 0;

    Palette* palette = images->GetPaletteFromActiveFile(a[0]);
    // A missing palette reaches the library as null, which warns about it.
    if (!library->Register(a[1].c_str(), a[2].c_str(), a[3].c_str(), a[4].c_str(), palette, DataKind::Palette))
        delete palette;
    return 0;
}

// DL_ExtractBitmapWithPalette (image, name): the bitmap mapped against the
// palette that is the library's active object, registered in the active
// Heading. (image, section, catalogue, heading, name, palette section,
// palette catalogue, palette heading, palette name): the palette found at
// the last four names, the bitmap registered at the first four.
int DL_ExtractBitmapWithPalette(lua_State* L) {
    const char* kName = "DL_ExtractBitmapWithPalette";
    int count = lua_gettop(L);
    if (count != 2 && count != 9) return Fail(kName, ":  Failed, invalid argument list\n");
    std::string a[9];
    if (!GetTexts(L, count, a)) return Fail(kName, ":  Failed, invalid argument list\n");
    DataLibrary* library;
    ExternalImageManager* images;
    if (!GetManagers(kName, library, images)) return 0;
    GlobalState* state = GetGlobalState();

    BitmapWrapper* bitmap = images->GetBitmapFromActiveFile(a[0]);
    if (count == 2) {
        if (!bitmap)
            return script::Fail("DL_ExtractBitmapWithPalette:  Failed, no Bitmap named " + a[0] + " found\n");
        auto* palette = static_cast<Palette*>(library->GetActiveObject(DataKind::Palette));
        if (!palette) {
            delete bitmap;
            return Fail(kName, ":  Failed, no active Object to cast into a Palette\n");
        }
        if (!state->noPalette) bitmap->BuildPaletteIndexMap(palette, &state->paletteIndex);
        if (!library->RegisterInActiveHeading(a[1].c_str(), bitmap, DataKind::Bitmap)) delete bitmap;
        return 0;
    }

    auto* palette =
        library->Get<Palette>(a[5].c_str(), a[6].c_str(), a[7].c_str(), a[8].c_str(), DataKind::Palette);
    if (!state->noPalette && bitmap && palette) bitmap->BuildPaletteIndexMap(palette, &state->paletteIndex);
    // A missing bitmap reaches the library as null, which warns about it.
    if (!library->Register(a[1].c_str(), a[2].c_str(), a[3].c_str(), a[4].c_str(), bitmap, DataKind::Bitmap))
        delete bitmap;
    return 0;
}

const script::Function kFunctions[] = {
    {"DL_ExtractBitmap", DL_ExtractBitmap},
    {"DL_ExtractPortrait", DL_ExtractPortrait},
    {"DL_ExtractPalette", DL_ExtractPalette},
    {"DL_ExtractBitmapWithPalette", DL_ExtractBitmapWithPalette},
    {nullptr, nullptr},
};

}  // namespace

void RegisterDataLibraryImageLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
