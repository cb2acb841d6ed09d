#include "combat/GUICombatCharDisplay.h"

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"

namespace {

BitmapWrapper* g_baseImage = nullptr;

int GUICCD_SetBaseImage(lua_State* L) {
    std::string section, catalogue, heading, name;
    if (!script::HasArgs(L, 4) || !script::GetText(L, 1, section) || !script::GetText(L, 2, catalogue) ||
        !script::GetText(L, 3, heading) || !script::GetText(L, 4, name))
        return script::Fail(script::Lines{"GUICCD_SetBaseImage"}.Invalid());
    GUICombatCharDisplay::SetBaseImage(section.c_str(), catalogue.c_str(), heading.c_str(), name.c_str());
    return 0;
}

const script::Function kFunctions[] = {
    {"GUICCD_SetBaseImage", GUICCD_SetBaseImage},
    {nullptr, nullptr},
};

}  // namespace

GUICombatCharDisplay::GUICombatCharDisplay() { m_type = kTypeGUICombatCharDisplay; }

GUICombatCharDisplay::~GUICombatCharDisplay() = default;

BitmapWrapper* GUICombatCharDisplay::SetBaseImage(const char* section, const char* catalogue, const char* heading,
                                                  const char* name) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    g_baseImage = library ? library->Get<BitmapWrapper>(section, catalogue, heading, name, DataKind::Bitmap) : nullptr;
    return g_baseImage;
}

BitmapWrapper* GUICombatCharDisplay::GetBaseImage() { return g_baseImage; }

void GUICombatCharDisplay::SetBaseImage(BitmapWrapper* image) { g_baseImage = image; }

bool GUICombatCharDisplay::DrawBase() {
    if (!Backing() || !Backing()->GetBitmap()) return false;
    Backing()->SetAsTarget();
    if (g_baseImage) g_baseImage->DrawDefault(0, 0);
    m_dirty = false;
    return true;
}

void GUICombatCharDisplay::Render() {
    if (g_baseImage) DrawChildren(Backing());
    m_dirty = false;
}

void GUICombatCharDisplay::RegisterLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
