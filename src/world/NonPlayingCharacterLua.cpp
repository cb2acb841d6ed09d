// NPC_ functions: configure the entity manager's active character.
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/AIAutoScriptPackage.h"
#include "world/AIBasePathPackage.h"
#include "world/AIFollowingPackage.h"
#include "world/AIFrameSetter.h"
#include "world/AIManager.h"
#include "world/AITrailingPackage.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"

namespace {

using script::Lines;

// This family says "incorrect" where others say "invalid".
const char* const kIncorrect = "incorrect argument list";

// The active character, or null after the function's line. The entity
// manager's lookup prints its own line first when nothing suitable is
// active. The player passes that lookup but is not a character of its own,
// so it is refused here like a missing one.
NonPlayingCharacter* ActiveCharacter(const Lines& lines) {
    return script::ActiveObject<NonPlayingCharacter>(lines, GetGlobalState()->entityManager,
                                                     &EntityManager::GetActiveNPC,
                                                     {"EntityManager does not exist", "Active NPC not set"});
}

// Text setters of one argument.
template <const std::string& (NonPlayingCharacter::*Setter)(const std::string&)>
int SetText(lua_State* L, const Lines& lines) {
    std::string text;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, text)) return lines.Fail(kIncorrect);
    NonPlayingCharacter* character = ActiveCharacter(lines);
    if (!character) return 0;
    (character->*Setter)(text);
    return 0;
}

// The active character after an exact count check, or null after a line.
NonPlayingCharacter* Checked(lua_State* L, int count, const Lines& lines) {
    if (!script::HasArgs(L, count)) {
        lines.Fail(kIncorrect);
        return nullptr;
    }
    return ActiveCharacter(lines);
}

int NPC_SetInternalName(lua_State* L) {
    return SetText<&NonPlayingCharacter::SetInternalName>(L, {"NPC_SetInternalName"});
}

int NPC_SetDialoguePath(lua_State* L) {
    return SetText<&NonPlayingCharacter::SetDialoguePath>(L, {"NPC SetDialoguePath"});
}

int NPC_SetDefaultScript(lua_State* L) {
    return SetText<&NonPlayingCharacter::SetDefaultScript>(L, {"NPC SetDefaultScript"});
}

int NPC_SetBoundaryOffsetsData(lua_State* L) {
    NonPlayingCharacter* character = Checked(L, 6, {"NPC_SetBoundaryOffsetsData"});
    if (!character) return 0;
    character->SetBoundaryOffsets(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3),
                                  script::GetInt(L, 4), script::GetInt(L, 5), script::GetInt(L, 6));
    return 0;
}

int NPC_SetCoordinateData(lua_State* L) {
    NonPlayingCharacter* character = Checked(L, 6, {"NPC SetCoordinateData"});
    if (!character) return 0;
    character->SetCoordinateData(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3),
                                 script::GetInt(L, 4), script::GetInt(L, 5), script::GetInt(L, 6));
    return 0;
}

int NPC_SetPositionData(lua_State* L) {
    NonPlayingCharacter* character = Checked(L, 3, {"NPC SetPositionData"});
    if (!character) return 0;
    character->SetCoordinates(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3));
    return 0;
}

int NPC_SetPositionDataByImage(lua_State* L) {
    NonPlayingCharacter* character = Checked(L, 3, {"NPC_SetUpperLeftCornerPositionData"});
    if (!character) return 0;
    character->SetPositionByImage(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3));
    return 0;
}

int NPC_SetDisplayData(lua_State* L) {
    NonPlayingCharacter* character = Checked(L, 4, {"NPC SetDisplayData"});
    if (!character) return 0;
    character->SetDisplayData(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3),
                              script::GetInt(L, 4));
    return 0;
}

int NPC_AllocateStateVariables(lua_State* L) {
    NonPlayingCharacter* character = Checked(L, 1, {"NPC AllocateStateVariables"});
    if (!character) return 0;
    if (!character->AllocateStateVariables(script::GetInt(L, 1)))
        return script::Fail("NPC AllocateStateVariables:  Failed, too many state variables\n");
    return 0;
}

int NPC_SetStateVariable(lua_State* L) {
    const Lines lines{"NPC SetStateVariable"};
    std::string name;
    if (!script::HasArgs(L, 3) || !script::GetText(L, 2, name)) return lines.Fail(kIncorrect);
    NonPlayingCharacter* character = ActiveCharacter(lines);
    if (!character) return 0;
    character->SetStateVariable(script::GetInt(L, 1), name, script::GetFlag(L, 3) ? 1 : 0);
    return 0;
}

int NPC_SetDisplaySuppression(lua_State* L) {
    NonPlayingCharacter* character = Checked(L, 1, {"NPC_SetDisplaySuppression"});
    if (!character) return 0;
    character->SetDisplaySuppression(script::GetFlag(L, 1));
    return 0;
}

int NPC_ClearAIQueue(lua_State* L) {
    (void)L;  // any argument count is taken
    NonPlayingCharacter* character = ActiveCharacter({"NPC ClearAIQueue"});
    if (character) character->ClearAIQueue();
    return 0;
}

int NPC_PushAI(lua_State* L) {
    const Lines lines{"NPC PushAI"};
    std::string name, kind;
    if (lua_gettop(L) < 3 || !script::GetText(L, 3, kind))
        return script::Fail("NPC PushAI:  Failed, not enough arguments to determine type\n");
    const int count = lua_gettop(L);

    // Each kind: its exact argument count, its line for a wrong one, and the
    // prefix of its other lines.
    struct Kind {
        const char* name;
        int count;
        const char* invalid;
        const char* tag;
    };
    static const Kind kKinds[] = {
        {"Basic Pathing", 6, "NPC PushAI:  -Basic Pathing- Failed, invalid argument list\n", "NPC PushAI:  -Basic Pathing- "},
        {"Follow Target", 3, "NPC_PushAI:  -Follow Target- Failed, invalid argument list\n", "NPC_PushAI:  -Follow Target- "},
        {"Force Frame", 5, "NPC PushAI:  -Force Frame- Failed, invalid argument list\n", "NPC PushAI:  -Force Frame- "},
        {"Fire Script", 5, "NPC PushAI:  -Fire Script- Failed, invalid argument list\n", "NPC PushAI:  -Fire Script- "},
        {"Trail Target", 6, "NPC PushAI:  -Trail Target- Failed, invalid argument list\n", "NPC PushAI:  -Trail Target- "},
    };
    const Kind* found = nullptr;
    for (const Kind& k : kKinds)
        if (kind == k.name) found = &k;
    if (!found) return script::Fail("NPC PushAI:  Failed, could not find type " + kind + "\n");
    if (count != found->count || !script::GetText(L, 1, name)) return script::Fail(found->invalid);
    // The text arguments of each kind (a speed property, a script path, three
    // flag properties) are checked with the count, before the character.
    const int lastText = kind == "Trail Target" ? 6 : kind == "Basic Pathing" || kind == "Fire Script" ? 4 : 0;
    std::string texts[3];
    for (int i = 4; i <= lastText; ++i)
        if (!script::GetText(L, i, texts[i - 4])) return script::Fail(found->invalid);

    NonPlayingCharacter* character = ActiveCharacter(lines);
    if (!character) return 0;

    if (kind == "Basic Pathing") {
        if (!character->GetPropertyAddress(texts[0]))
            return script::Fail("NPC PushAI:  -Basic Pathing- Failed, can't find speed " + texts[0] + "\n");
    } else if (kind == "Trail Target") {
        for (const std::string& flag : texts)
            if (!character->GetPropertyAddress(flag))
                return script::Fail("NPC_PushAI: -Trail Target- Failed, error in variable gathering\n");
    }

    // The packages keep the character's fields through the router, which
    // finds them on the active character.
    const std::string& self = character->GetInternalName();
    if (kind != "Fire Script" && !GetGlobalState()->propertyRouter)
        return script::Fail(std::string(found->tag) + "Failed, PropertyRouter does not exist\n");
    AIBasePackage* package = nullptr;
    if (kind == "Basic Pathing") {
        auto* path = new AIBasePathPackage;
        path->SyncPointers("NPC", self, texts[0]);
        path->SetTarget(script::GetInt(L, 5), script::GetInt(L, 6));
        package = path;
    } else if (kind == "Follow Target") {
        auto* follow = new AIFollowingPackage;
        follow->SyncPointers("NPC", self);
        package = follow;
    } else if (kind == "Force Frame") {
        auto* frame = new AIFrameSetter;
        frame->SetPointers("NPC", self, "AnimTimer", "AnimDirection");
        frame->SetValues(script::GetInt(L, 4), script::GetInt(L, 5));
        package = frame;
    } else if (kind == "Fire Script") {
        auto* fire = new AIAutoScriptPackage;
        fire->SetScript(texts[0], script::GetInt(L, 5));
        package = fire;
    } else {
        auto* trail = new AITrailingPackage;
        if (!trail->SyncPointers(character, "NPC", self, texts[0], texts[1], texts[2])) {
            delete trail;
            return script::Fail("NPC_PushAI: -Trail Target- Failed, error in variable gathering\n");
        }
        package = trail;
    }
    const int32_t time = script::GetInt(L, 2);
    character->PushAI(name, time, package, time == -1);
    if (AIManager* ai = GetGlobalState()->aiManager) ai->SetActiveAIObject(package);
    return 0;
}

const script::Function kNPCFunctions[] = {
    {"NPC_SetInternalName", NPC_SetInternalName},
    {"NPC_SetDialoguePath", NPC_SetDialoguePath},
    {"NPC_SetDefaultScript", NPC_SetDefaultScript},
    {"NPC_SetBoundaryOffsetsData", NPC_SetBoundaryOffsetsData},
    {"NPC_SetCoordinateData", NPC_SetCoordinateData},
    {"NPC_SetPositionData", NPC_SetPositionData},
    {"NPC_SetPositionDataByImage", NPC_SetPositionDataByImage},
    {"NPC_SetDisplayData", NPC_SetDisplayData},
    {"NPC_AllocateStateVariables", NPC_AllocateStateVariables},
    {"NPC_SetStateVariable", NPC_SetStateVariable},
    {"NPC_SetDisplaySuppression", NPC_SetDisplaySuppression},
    {"NPC_ClearAIQueue", NPC_ClearAIQueue},
    {"NPC_PushAI", NPC_PushAI},
    {nullptr, nullptr},
};

}  // namespace

void NonPlayingCharacter::RegisterLuaFunctions(lua_State* L) { script::Register(L, kNPCFunctions); }

void RegisterNPCLuaFunctions(lua_State* L) { NonPlayingCharacter::RegisterLuaFunctions(L); }
