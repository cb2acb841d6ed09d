// NPC_ functions: configure the entity manager's active character.
#include <memory>
#include <string>

#include "core/base/GlobalState.h"
#include "core/script/ScriptArgs.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/ai/AIAutoScriptPackage.h"
#include "world/ai/AIBasePathPackage.h"
#include "world/ai/AIFollowingPackage.h"
#include "world/ai/AIFrameSetter.h"
#include "world/ai/AIManager.h"
#include "world/ai/AITrailingPackage.h"

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
    character->SetCoordinateData(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4),
                                 script::GetInt(L, 5), script::GetInt(L, 6));
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
    character->SetDisplayData(script::GetInt(L, 1), script::GetInt(L, 2), script::GetInt(L, 3), script::GetInt(L, 4));
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

// What a kind of AI package is built from: the script's arguments, the
// character, its internal name and the kind's text arguments.
struct AIRequest {
    lua_State* L;
    NonPlayingCharacter* character;
    const std::string& self;
    const std::string* texts;
};

const char* const kTrailGatheringFailed = "NPC_PushAI: -Trail Target- Failed, error in variable gathering\n";

bool HasSpeedProperty(const AIRequest& r) {
    if (r.character->GetPropertyAddress(r.texts[0])) return true;
    script::Fail("NPC PushAI:  -Basic Pathing- Failed, can't find speed " + r.texts[0] + "\n");
    return false;
}

bool HasFlagProperties(const AIRequest& r) {
    for (int i = 0; i < 3; ++i) {
        if (!r.character->GetPropertyAddress(r.texts[i])) {
            script::Fail(kTrailGatheringFailed);
            return false;
        }
    }
    return true;
}

std::unique_ptr<AIBasePackage> MakePathing(const AIRequest& r) {
    auto path = std::make_unique<AIBasePathPackage>();
    path->SyncPointers("NPC", r.self, r.texts[0]);
    path->SetTarget(script::GetInt(r.L, 5), script::GetInt(r.L, 6));
    return path;
}

std::unique_ptr<AIBasePackage> MakeFollowing(const AIRequest& r) {
    auto follow = std::make_unique<AIFollowingPackage>();
    follow->SyncPointers("NPC", r.self);
    return follow;
}

std::unique_ptr<AIBasePackage> MakeFrameSetter(const AIRequest& r) {
    auto frame = std::make_unique<AIFrameSetter>();
    frame->SetPointers("NPC", r.self, "AnimTimer", "AnimDirection");
    frame->SetValues(script::GetInt(r.L, 4), script::GetInt(r.L, 5));
    return frame;
}

std::unique_ptr<AIBasePackage> MakeAutoScript(const AIRequest& r) {
    auto fire = std::make_unique<AIAutoScriptPackage>();
    fire->SetScript(r.texts[0], script::GetInt(r.L, 5));
    return fire;
}

std::unique_ptr<AIBasePackage> MakeTrailing(const AIRequest& r) {
    auto trail = std::make_unique<AITrailingPackage>();
    if (!trail->SyncPointers(r.character, "NPC", r.self, r.texts[0], r.texts[1], r.texts[2])) {
        trail.reset();
        script::Fail(kTrailGatheringFailed);
    }
    return trail;
}

// Each kind: its exact argument count, its line for a wrong one and the
// prefix of its other lines; how many text arguments it takes from the 4th
// on (a speed property, a script path, three flag properties), checked with
// the count before the character is looked up; whether its package reaches
// the character through the router (which finds the character's fields on
// the active character); a check of the texts against the character (false
// after its line); and the builder of its package (null after its line).
struct AIKind {
    const char* name;
    int count;
    const char* invalid;
    const char* tag;
    int texts;
    bool needsRouter;
    bool (*check)(const AIRequest&);
    std::unique_ptr<AIBasePackage> (*make)(const AIRequest&);
};

const AIKind kAIKinds[] = {
    {"Basic Pathing", 6, "NPC PushAI:  -Basic Pathing- Failed, invalid argument list\n",
     "NPC PushAI:  -Basic Pathing- ", 1, true, HasSpeedProperty, MakePathing},
    {"Follow Target", 3, "NPC_PushAI:  -Follow Target- Failed, invalid argument list\n",
     "NPC_PushAI:  -Follow Target- ", 0, true, nullptr, MakeFollowing},
    {"Force Frame", 5, "NPC PushAI:  -Force Frame- Failed, invalid argument list\n", "NPC PushAI:  -Force Frame- ", 0,
     true, nullptr, MakeFrameSetter},
    {"Fire Script", 5, "NPC PushAI:  -Fire Script- Failed, invalid argument list\n", "NPC PushAI:  -Fire Script- ", 1,
     false, nullptr, MakeAutoScript},
    {"Trail Target", 6, "NPC PushAI:  -Trail Target- Failed, invalid argument list\n", "NPC PushAI:  -Trail Target- ",
     3, true, HasFlagProperties, MakeTrailing},
};

int NPC_PushAI(lua_State* L) {
    const Lines lines{"NPC PushAI"};
    std::string name, kindName;
    if (lua_gettop(L) < 3 || !script::GetText(L, 3, kindName))
        return script::Fail("NPC PushAI:  Failed, not enough arguments to determine type\n");
    const AIKind* kind = nullptr;
    for (const AIKind& k : kAIKinds)
        if (kindName == k.name) kind = &k;
    if (!kind) return script::Fail("NPC PushAI:  Failed, could not find type " + kindName + "\n");
    if (lua_gettop(L) != kind->count || !script::GetText(L, 1, name)) return script::Fail(kind->invalid);
    std::string texts[3];
    for (int i = 0; i < kind->texts; ++i)
        if (!script::GetText(L, 4 + i, texts[i])) return script::Fail(kind->invalid);

    NonPlayingCharacter* character = ActiveCharacter(lines);
    if (!character) return 0;
    const AIRequest request{L, character, character->GetInternalName(), texts};
    if (kind->check && !kind->check(request)) return 0;
    if (kind->needsRouter && !GetGlobalState()->propertyRouter)
        return script::Fail(std::string(kind->tag) + "Failed, PropertyRouter does not exist\n");
    std::unique_ptr<AIBasePackage> made = kind->make(request);
    if (!made) return 0;
    AIBasePackage* package = made.release();
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
