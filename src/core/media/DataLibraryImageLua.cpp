#include "core/media/DataLibraryImageLua.h"

#include <initializer_list>
#include <string>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/Palette.h"
#include "core/media/Portrait.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

// What every DL_Extract function starts from: its text arguments and the
// two managers it needs.
struct ExtractCall {
    int count = 0;
    std::string a[9];
    DataLibrary* library = nullptr;
    ExternalImageManager* images = nullptr;
};

// Accepts one of the argument counts given (at most 9), all of them text,
// then fetches both managers. False after printing the function's line:
// "invalid argument list" for another count or a non-text argument, else
// the line of the first missing manager.
bool BeginExtract(lua_State* L, const script::Lines& lines, std::initializer_list<int> counts, ExtractCall& call) {
    call.count = lua_gettop(L);
    bool known = false;
    for (int count : counts) known = known || call.count == count;
    for (int i = 0; known && i < call.count; ++i) known = script::GetText(L, i + 1, call.a[i]);
    if (!known) {
        script::Fail(lines.Invalid());
        return false;
    }
    GlobalState* state = GetGlobalState();
    call.library = state->dataLibrary;
    call.images = state->imageManager;
    if (!call.library) {
        lines.Fail("DataLibrary does not exist");
        return false;
    }
    if (!call.images) {
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
    ExtractCall call;
    if (!BeginExtract(L, lines, {5, 2}, call)) return 0;
    BitmapWrapper* bitmap = call.images->GetBitmapFromActiveFile(call.a[0]);
    if (!bitmap) return lines.Fail("no Bitmap named " + call.a[0] + " found");
    call.library->RegisterOrDelete(call.a + 1, call.count - 1, bitmap, DataKind::Bitmap);
    return 0;
}

// DL_ExtractPortrait (image, section, catalogue, heading, name): a new
// portrait holding the archive's bitmap (none when it is missing).
int DL_ExtractPortrait(lua_State* L) {
    ExtractCall call;
    if (!BeginExtract(L, script::Lines{"DL_ExtractPortrait"}, {5}, call)) return 0;
    auto* portrait = new Portrait();
    portrait->SetBitmap(call.images->GetBitmapFromActiveFile(call.a[0]));
    call.library->RegisterOrDelete(call.a + 1, 4, portrait, DataKind::Portrait);
    return 0;
}

// DL_ExtractPalette (palette, section, catalogue, heading, name).
int DL_ExtractPalette(lua_State* L) {
    ExtractCall call;
    if (!BeginExtract(L, script::Lines{"DL_ExtractPalette"}, {5}, call)) return 0;
    Palette* palette = call.images->GetPaletteFromActiveFile(call.a[0]);
    // A missing palette reaches the library as null, which warns about it.
    call.library->RegisterOrDelete(call.a + 1, 4, palette, DataKind::Palette);
    return 0;
}

// DL_ExtractBitmapWithPalette (image, name): the bitmap mapped against the
// palette that is the library's active object, registered in the active
// Heading. (image, section, catalogue, heading, name, palette section,
// palette catalogue, palette heading, palette name): the palette found at
// the last four names, the bitmap registered at the first four.
int DL_ExtractBitmapWithPalette(lua_State* L) {
    const script::Lines lines{"DL_ExtractBitmapWithPalette"};
    ExtractCall call;
    if (!BeginExtract(L, lines, {2, 9}, call)) return 0;
    GlobalState* state = GetGlobalState();
    DataLibrary* library = call.library;
    const std::string* a = call.a;

    BitmapWrapper* bitmap = call.images->GetBitmapFromActiveFile(a[0]);
    if (call.count == 2) {
        if (!bitmap) return lines.Fail("no Bitmap named " + a[0] + " found");
        auto* palette = static_cast<Palette*>(library->GetActiveObject(DataKind::Palette));
        if (!palette) {
            delete bitmap;
            return lines.Fail("no active Object to cast into a Palette");
        }
        if (!state->noPalette) bitmap->BuildPaletteIndexMap(palette, &state->paletteIndex);
        library->RegisterOrDelete(call.a + 1, 1, bitmap, DataKind::Bitmap);
        return 0;
    }

    auto* palette = library->Get<Palette>(a[5].c_str(), a[6].c_str(), a[7].c_str(), a[8].c_str(), DataKind::Palette);
    if (!state->noPalette && bitmap && palette) bitmap->BuildPaletteIndexMap(palette, &state->paletteIndex);
    // A missing bitmap reaches the library as null, which warns about it.
    library->RegisterOrDelete(call.a + 1, 4, bitmap, DataKind::Bitmap);
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
