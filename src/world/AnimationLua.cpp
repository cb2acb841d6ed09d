// Script functions of the active animation (Anim_), registered at start-up.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/Animation.h"
#include "world/ai/AIManager.h"

namespace {

Animation* ActiveAnimation() {
    AIManager* manager = GetGlobalState()->aiManager;
    return manager ? manager->GetActiveAnimation() : nullptr;
}

int Anim_DeclareSizes(lua_State* L) {
    if (!script::HasArgs(L, 2)) return script::Fail("Anim DeclareSizes:  Failed, invalid argument list\n");
    if (!GetGlobalState()->aiManager) return script::Fail("Anim DeclareSizes:  Failed, AIManager does not exist\n");
    Animation* animation = ActiveAnimation();
    if (!animation) return script::Fail("Anim DeclareSizes:  Failed, Active Animation was not set\n");
    const int32_t directions = script::GetInt(L, 1);
    const int32_t frames = script::GetInt(L, 2);
    // Refuse an oversized table before anything changes, so the sizes and
    // the table stay in step.
    const int64_t rows = directions > 0 ? directions : animation->GetDirections();
    const int64_t columns = frames > 0 ? frames : animation->GetFrames();
    if (rows * columns > Animation::kMaxTableEntries)
        return script::Fail("Anim DeclareSizes:  Failed, " + std::to_string(rows) + " x " + std::to_string(columns) +
                            " frames is too large\n");
    animation->SetDirections(directions);
    animation->SetFrames(frames);
    animation->AllocateTable();
    return 0;
}

int Anim_SetActiveHeading(lua_State* L) {
    const char* invalid = "Anim_SetActiveHeading:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 3)) return script::Fail(invalid);
    std::string section, catalogue, heading;
    if (!script::GetText(L, 1, section) || !script::GetText(L, 2, catalogue) || !script::GetText(L, 3, heading))
        return script::Fail(invalid);
    if (!GetGlobalState()->aiManager) return script::Fail("Anim_SetActiveHeading:  Failed, AIManager does not exist\n");
    Animation* animation = ActiveAnimation();
    if (!animation) return script::Fail("Anim_SetActiveHeading:  Failed, Active Animation was not set\n");
    animation->SetActiveHeading(section.c_str(), catalogue.c_str(), heading.c_str());
    return 0;
}

int Anim_SetFrame(lua_State* L) {
    const char* invalid = "Anim SetFrame:  Failed, invalid argument list\n";
    if (!script::HasArgs(L, 3)) return script::Fail(invalid);
    std::string name;
    if (!script::GetText(L, 3, name)) return script::Fail(invalid);
    if (!GetGlobalState()->aiManager) return script::Fail("Anim SetFrame:  Failed, AIManager does not exist\n");
    Animation* animation = ActiveAnimation();
    if (!animation) return script::Fail("Anim SetFrame:  Failed, Active Animation was not set\n");
    animation->SetAnimationFrame(script::GetInt(L, 1), script::GetInt(L, 2), name.c_str());
    return 0;
}

int Anim_SetDuration(lua_State* L) {
    if (!script::HasArgs(L, 1)) return script::Fail("Anim SetDuration:  Failed, invalid argument list\n");
    if (!GetGlobalState()->aiManager) return script::Fail("Anim SetDuration:  Failed, AIManager does not exist\n");
    Animation* animation = ActiveAnimation();
    if (!animation) return script::Fail("Anim SetDuration:  Failed, Active Animation was not set\n");
    animation->SetDuration(script::GetInt(L, 1));
    return 0;
}

const script::Function kFunctions[] = {
    {"Anim_DeclareSizes", Anim_DeclareSizes},
    {"Anim_SetActiveHeading", Anim_SetActiveHeading},
    {"Anim_SetFrame", Anim_SetFrame},
    {"Anim_SetDuration", Anim_SetDuration},
    {nullptr, nullptr},
};

}  // namespace

void RegisterAnimationLuaFunctions(lua_State* L) {
    if (L) script::Register(L, kFunctions);
}
