// The IP_ functions, which fill the item prototype being defined (the data
// library's active object), and DL_RegisterItemPrototype, which makes one.
#include "world/items/ItemPrototypeLua.h"

#include <cstdio>
#include <string>

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "world/items/ItemPrototype.h"

namespace {

// The prototype being defined, or null after the function's line (no
// library, no active object, or an active object of another kind).
ItemPrototype* ActivePrototype(const script::Lines& lines) {
    return script::ActiveObject<ItemPrototype>(
        lines, GetGlobalState()->dataLibrary,
        [](DataLibrary* library) { return library->GetActiveObject(DataKind::ItemPrototype); },
        [](void* object) { return static_cast<ItemPrototype*>(object); },
        {"DataLibrary does not exist", "no active ItemPrototype"});
}

bool GetTexts(lua_State* L, int count, std::string* out) {
    for (int i = 0; i < count; ++i)
        if (!script::GetText(L, i + 1, out[i])) return false;
    return true;
}

// Every prototype registered under "ItemPrototypes", in list order.
template <class Visit> void ForEachRegisteredPrototype(Visit visit) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return;
    for (NamedList::Node* s = library->GetRoot()->GetHead(); s; s = s->next) {
        if (s->name != "ItemPrototypes") continue;
        for (NamedList::Node* c = static_cast<NamedList*>(s->value)->GetHead(); c; c = c->next)
            for (NamedList::Node* h = static_cast<NamedList*>(c->value)->GetHead(); h; h = h->next)
                for (NamedList::Node* e = static_cast<NamedList*>(h->value)->GetHead(); e; e = e->next) {
                    const auto* entry = static_cast<const DataLibrary::Entry*>(e->value);
                    if (entry && entry->kind == DataKind::ItemPrototype && entry->pointer)
                        visit(static_cast<ItemPrototype*>(entry->pointer));
                }
        return;  // the first section of the name is the one lookups find
    }
}

int IP_SetPrototypeCode(lua_State* L) {
    const script::Lines lines{"IP_SetPrototypeCode"};
    if (!script::HasArgs(L, 2)) return script::Fail("IP_SetPrototypeCode: Failed, invalid argument list\n");
    ItemPrototype* prototype = ActivePrototype(lines);
    if (!prototype) return 0;
    const int32_t code = script::GetInt(L, 1);
    if (code <= 0) {
        std::fprintf(stderr, "IP_SetPrototypeCode:  Failed, code %i is invalid.  Must be a number above 0.\n", code);
        return 0;
    }
    prototype->SetCode(code);
    if (script::GetFlag(L, 2)) {
        ForEachRegisteredPrototype([&](ItemPrototype* other) {
            if (other != prototype && other->GetCode() == code)
                std::fprintf(stderr, "IP_SetPrototypeCode:  Warning, %s has the same code %i as %s.\n",
                             other->GetName().c_str(), code, prototype->GetName().c_str());
        });
    }
    return 0;
}

int IP_SetUsableFlags(lua_State* L) {
    const script::Lines lines{"IP_SetUsableFlags"};
    if (!script::HasArgs(L, 3)) return script::Fail(lines.Invalid());
    ItemPrototype* prototype = ActivePrototype(lines);
    if (!prototype) return 0;
    prototype->SetUsableFlags(script::GetFlag(L, 1), script::GetFlag(L, 2), script::GetInt(L, 3));
    return 0;
}

int IP_SetImage(lua_State* L) {
    const script::Lines lines{"IP_SetImage"};
    std::string a[4];
    if (!script::HasArgs(L, 4) || !GetTexts(L, 4, a)) return script::Fail(lines.Invalid());
    ItemPrototype* prototype = ActivePrototype(lines);
    if (!prototype) return 0;
    DataLibrary* library = GetGlobalState()->dataLibrary;
    prototype->SetImage(
        library->Get<BitmapWrapper>(a[0].c_str(), a[1].c_str(), a[2].c_str(), a[3].c_str(), DataKind::Bitmap));
    return 0;
}

// Effects are attached by the families that make them.
int IP_AddEquipEffect(lua_State*) { return 0; }

int IP_SetStackProperties(lua_State* L) {
    const script::Lines lines{"IP_SetStackProperties"};
    if (!script::HasArgs(L, 2)) return script::Fail(lines.Invalid());
    ItemPrototype* prototype = ActivePrototype(lines);
    if (!prototype) return 0;
    prototype->SetStackProperties(script::GetFlag(L, 1), script::GetInt(L, 2));
    return 0;
}

int IP_SetFlavourText(lua_State* L) {
    const script::Lines lines{"IP_SetFlavourText"};
    std::string text;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 2, text)) return script::Fail(lines.Invalid());
    ItemPrototype* prototype = ActivePrototype(lines);
    if (!prototype) return 0;
    prototype->SetFlavourText(script::GetInt(L, 1), text);
    return 0;
}

// section, catalogue, heading, name, item name: a new prototype of that
// name, registered at the path, becomes the active object.
int DL_RegisterItemPrototype(lua_State* L) {
    const script::Lines lines{"DL_RegisterItemPrototype"};
    std::string a[5];
    if (!script::HasArgs(L, 5) || !GetTexts(L, 5, a)) return script::Fail(lines.Invalid());
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return lines.Fail("DataLibrary does not exist");
    auto* prototype = new ItemPrototype();
    prototype->SetName(a[4]);
    if (!library->Register(a[0].c_str(), a[1].c_str(), a[2].c_str(), a[3].c_str(), prototype,
                           DataKind::ItemPrototype)) {
        // Nowhere to keep it; the IP_ calls that follow must not fill the
        // prototype defined before it.
        delete prototype;
        library->SetActiveObject(nullptr, DataKind::Any);
        return 0;
    }
    library->SetActiveObject(prototype, DataKind::ItemPrototype);
    return 0;
}

const script::Function kItemPrototypeFunctions[] = {
    {"IP_SetPrototypeCode", IP_SetPrototypeCode},
    {"IP_SetUsableFlags", IP_SetUsableFlags},
    {"IP_SetImage", IP_SetImage},
    {"IP_AddEquipEffect", IP_AddEquipEffect},
    {"IP_SetStackProperties", IP_SetStackProperties},
    {"IP_SetFlavourText", IP_SetFlavourText},
    {nullptr, nullptr},
};

const script::Function kDataLibraryFunctions[] = {
    {"DL_RegisterItemPrototype", DL_RegisterItemPrototype},
    {nullptr, nullptr},
};

}  // namespace

void RegisterItemPrototypeLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kItemPrototypeFunctions);
}

void RegisterItemPrototypeDataLibraryFunctions(lua_State* L) {
    if (L) script::Register(L, kDataLibraryFunctions);
}
