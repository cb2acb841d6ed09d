// The DL_ script functions that build the data library's levels, move its
// active object and register fonts and texture files.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <allegro5/allegro_ttf.h>

#include <cstdio>
#include <string>

#include "core/base/FileNames.h"
#include "core/base/GlobalState.h"
#include "core/base/TextUtils.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

// Reads `count` text arguments starting at 1; false when any is not text.
bool GetTexts(lua_State* L, int count, std::string* out) {
    for (int i = 0; i < count; ++i) {
        if (!script::GetText(L, i + 1, out[i])) return false;
    }
    return true;
}

int DL_AddSection(lua_State* L) {
    static const char* const kInvalid = "DL_AddSection:  Failed, invalid argument list\n";
    std::string a[1];
    if (!script::HasArgs(L, 1) || !GetTexts(L, 1, a)) return script::Fail(kInvalid);
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_AddSection:  Failed, DataLibrary does not exist\n");
    library->AddSection(a[0].c_str());
    return 0;
}

int DL_AddCatalogue(lua_State* L) {
    static const char* const kInvalid = "DL_AddCatalogue:  Failed, invalid argument list\n";
    std::string a[2];
    if (!script::HasArgs(L, 2) || !GetTexts(L, 2, a)) return script::Fail(kInvalid);
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_AddCatalogue:  Failed, DataLibrary does not exist\n");
    library->AddCatalogue(a[0].c_str(), a[1].c_str());
    return 0;
}

int DL_AddHeading(lua_State* L) {
    static const char* const kInvalid = "DL_AddHeading:  Failed, invalid argument list\n";
    std::string a[3];
    if (!script::HasArgs(L, 3) || !GetTexts(L, 3, a)) return script::Fail(kInvalid);
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_AddHeading:  Failed, DataLibrary does not exist\n");
    library->AddHeading(a[0].c_str(), a[1].c_str(), a[2].c_str());
    return 0;
}

int DL_SetActiveObject(lua_State* L) {
    static const char* const kInvalid = "DL_SetActiveObject:  Failed, invalid argument list\n";
    std::string a[4];
    if (!script::HasArgs(L, 4) || !GetTexts(L, 4, a)) return script::Fail(kInvalid);
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_SetActiveObject:  Failed, DataLibrary does not exist\n");
    library->SetActiveObject(a[0].c_str(), a[1].c_str(), a[2].c_str(), a[3].c_str());
    return 0;
}

// These two take no arguments and do not check the count.
int DL_PushActiveEntity(lua_State* L) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_PushActiveEntity:  Failed, DataLibrary does not exist\n");
    library->PushActiveEntity();
    return 0;
}

int DL_PopActiveEntity(lua_State* L) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_PopActiveEntity:  Failed, DataLibrary does not exist\n");
    library->PopActiveEntity();
    return 0;
}

// font file, section, catalogue, heading, name: the file at size 16 (its em,
// as TrueType sizes go); a game picks font files whose glyphs suit its lines.
constexpr int kFontSize = 16;

int DL_RegisterFont(lua_State* L) {
    static const char* const kInvalid = "DL_RegisterFont:  Failed, invalid argument list\n";
    std::string a[5];
    if (!script::HasArgs(L, 5) || !GetTexts(L, 5, a)) return script::Fail(kInvalid);
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_RegisterFont:  Failed, DataLibrary does not exist\n");
    if (!al_is_system_installed() || !al_is_ttf_addon_initialized())
        return script::Fail("DL_RegisterFont:  Failed, the TrueType font add-on is not running\n");
    ALLEGRO_FONT* font = al_load_ttf_font(NormalizePath(a[0]).c_str(), kFontSize, 0);
    // A failed load reaches Register as a null pointer and gets its warning.
    if (!library->Register(a[1].c_str(), a[2].c_str(), a[3].c_str(), a[4].c_str(), font, DataKind::Font) && font)
        al_destroy_font(font);  // nowhere to keep it
    return 0;
}

// section, catalogue, heading, name, file: the file must exist; its name is
// registered for the map manager to load later.
int DL_RegisterTextureFile(lua_State* L) {
    static const char* const kInvalid = "DL_RegisterTextureFile:  Failed, invalid argument list\n";
    std::string a[5];
    if (!script::HasArgs(L, 5) || !GetTexts(L, 5, a)) return script::Fail(kInvalid);
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return script::Fail("DL_RegisterTextureFile:  Failed, DataLibrary does not exist\n");
    FILE* file = OpenFile(a[4], "rb");
    if (!file) {
        std::fprintf(stderr, "DL_RegisterTextureFile:  Failed, file %s not found\n", PrintableText(a[4]).c_str());
        return 0;
    }
    std::fclose(file);
    TextureFile* texture = new TextureFile{a[4]};
    library->RegisterOrDelete(a, 4, texture, DataKind::TextureFile);
    return 0;
}

const script::Function kFunctions[] = {
    {"DL_AddSection", DL_AddSection},
    {"DL_AddCatalogue", DL_AddCatalogue},
    {"DL_AddHeading", DL_AddHeading},
    {"DL_SetActiveObject", DL_SetActiveObject},
    {"DL_PushActiveEntity", DL_PushActiveEntity},
    {"DL_PopActiveEntity", DL_PopActiveEntity},
    {"DL_RegisterFont", DL_RegisterFont},
    {"DL_RegisterTextureFile", DL_RegisterTextureFile},
    {nullptr, nullptr},
};

}  // namespace

void DataLibrary::RegisterLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
