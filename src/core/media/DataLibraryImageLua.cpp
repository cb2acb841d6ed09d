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

// Fetches both managers, or prints the function's line for a missing one.
bool GetManagers(const script::Lines& lines, DataLibrary*& library, ExternalImageManager*& images) {
    GlobalState* state = GetGlobalState();
    library = state->dataLibrary;
    images = state->imageManager;
    if (!library) {
        lines.Fail("DataLibrary does not exist");
        return false;
    }
    if (!images) {
        lines.Fail("ExternalImageManager does not exist");
        return false;
    }
    return true;
}

// DL_ExtractBitmap (image, section, catalogue, heading, name) or
// (image, name): the archive's bitmap registered at the path, or in the
// active Heading.
int DL_ExtractBitmap(lua_State* L) {
    const script::Lines lines{"DL_ExtractBitmap"};
    int count = lua_gettop(L);
    if (count != 5 && count != 2) return script::Fail(lines.Invalid());
    std::string a[5];
    if (!GetTexts(L, count, a)) return script::Fail(lines.Invalid());
    DataLibrary* library;
    ExternalImageManager* images;
    if (!GetManagers(lines, library, images)) return 0;

    BitmapWrapper* bitmap = images->GetBitmapFromActiveFile(a[0]);
    if (!bitmap) return lines.Fail("no Bitmap named " + a[0] + " found");
    library->RegisterOrDelete(a + 1, count - 1, bitmap, DataKind::Bitmap);
    return 0;
}

// DL_ExtractPortrait (image, section, catalogue, heading, name): a new
// portrait holding the archive's bitmap (none when it is missing).
int DL_ExtractPortrait(lua_State* L) {
    const script::Lines lines{"DL_ExtractPortrait"};
    if (!script::HasArgs(L, 5)) return script::Fail(lines.Invalid());
    std::string a[5];
    if (!GetTexts(L, 5, a)) return script::Fail(lines.Invalid());
    DataLibrary* library;
    ExternalImageManager* images;
    if (!GetManagers(lines, library, images)) return 0;

    auto* portrait = new Portrait();
    portrait->SetBitmap(images->GetBitmapFromActiveFile(a[0]));
    library->RegisterOrDelete(a + 1, 4, portrait, DataKind::Portrait);
    return 0;
}

// DL_ExtractPalette (palette, section, catalogue, heading, name).
int DL_ExtractPalette(lua_State* L) {
    const script::Lines lines{"DL_ExtractPalette"};
    if (!script::HasArgs(L, 5)) return script::Fail(lines.Invalid());
    std::string a[5];
    if (!GetTexts(L, 5, a)) return script::Fail(lines.Invalid());
    DataLibrary* library;
    ExternalImageManager* images;
    if (!GetManagers(lines, library, images)) return 0;

    Palette* palette = images->GetPaletteFromActiveFile(a[0]);
    // A missing palette reaches the library as null, which warns about it.
    library->RegisterOrDelete(a + 1, 4, palette, DataKind::Palette);
    return 0;
}

// DL_ExtractBitmapWithPalette (image, name): the bitmap mapped against the
// palette that is the library's active object, registered in the active
// Heading. (image, section, catalogue, heading, name, palette section,
// palette catalogue, palette heading, palette name): the palette found at
// the last four names, the bitmap registered at the first four.
int DL_ExtractBitmapWithPalette(lua_State* L) {
    const script::Lines lines{"DL_ExtractBitmapWithPalette"};
    int count = lua_gettop(L);
    if (count != 2 && count != 9) return script::Fail(lines.Invalid());
    std::string a[9];
    if (!GetTexts(L, count, a)) return script::Fail(lines.Invalid());
    DataLibrary* library;
    ExternalImageManager* images;
    if (!GetManagers(lines, library, images)) return 0;
    GlobalState* state = GetGlobalState();

    BitmapWrapper* bitmap = images->GetBitmapFromActiveFile(a[0]);
    if (count == 2) {
        if (!bitmap)
            return lines.Fail("no Bitmap named " + a[0] + " found");
        auto* palette = static_cast<Palette*>(library->GetActiveObject(DataKind::Palette));
        if (!palette) {
            delete bitmap;
            return lines.Fail("no active Object to cast into a Palette");
        }
        if (!state->noPalette) bitmap->BuildPaletteIndexMap(palette, &state->paletteIndex);
        library->RegisterOrDelete(a + 1, 1, bitmap, DataKind::Bitmap);
        return 0;
    }

    auto* palette =
        library->Get<Palette>(a[5].c_str(), a[6].c_str(), a[7].c_str(), a[8].c_str(), DataKind::Palette);
    if (!state->noPalette && bitmap && palette) bitmap->BuildPaletteIndexMap(palette, &state->paletteIndex);
    // A missing bitmap reaches the library as null, which warns about it.
    library->RegisterOrDelete(a + 1, 4, bitmap, DataKind::Bitmap);
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
