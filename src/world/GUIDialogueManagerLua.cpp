// The dialogue box's script functions: the DM_ family, which queues text
// and responses or sets pictures and the dialogue character, and the older
// functions that write lines at once. Each finds the box by its name through
// the GUI manager at call time.
#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "core/base/GlobalState.h"
#include "core/media/Portrait.h"
#include "core/script/DataLibrary.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIManager.h"
#include "world/EntityManager.h"
#include "world/GUIDialogueManager.h"
#include "world/NonPlayingCharacter.h"

namespace {

GUIDialogueManager* FindBox() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    GUIBaseObject* object = manager->FindObject("DialogueManager");
    if (!object || object->GetType() != kTypeGUIDialogueManager) return nullptr;
    return static_cast<GUIDialogueManager*>(object);
}

std::string Invalid(const char* name) { return script::Lines{name}.Invalid(); }
std::string NoBox(const char* name) { return script::Lines{name}.Line("could not find DialogueManager!"); }

// The four text arguments of a data-library path; false when one is no text.
bool GetPath(lua_State* L, std::string (&path)[4]) {
    for (int i = 0; i < 4; ++i)
        if (!script::GetText(L, i + 1, path[i])) return false;
    return true;
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

Portrait* LookUpPortrait(const std::string (&path)[4]) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library) return nullptr;
    return library->Get<Portrait>(path[0].c_str(), path[1].c_str(), path[2].c_str(), path[3].c_str(),
                                  DataKind::Portrait);
}

int DM_SetDialogueNPC(lua_State* L) {
    const char* fn = "DM_SetDialogueNPC";
    std::string name;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, name)) return script::Fail(Invalid(fn));
    EntityManager* entities = GetGlobalState()->entityManager;
    if (!entities) return script::Fail("DM_SetDialogueNPC:  Failed, EntityManager does not exist\n");
    RootEntity* character = entities->GetNPC(name.c_str());
    if (!character) {
        std::fprintf(stderr, "DM_SetDialogueNPC:  Failed, NPC %s not found\n", name.c_str());
        return 0;
    }
    entities->SetDialogueCharacter(character);
    return 0;
}

int DM_ManualActivate(lua_State*) {
    GUIDialogueManager* box = FindBox();
    const GlobalState* state = GetGlobalState();
    if (!box || !state->entityManager) return 0;
    // Without a dialogue script to run, the last response stays as it is.
    auto* npc = dynamic_cast<NonPlayingCharacter*>(state->entityManager->GetDialogueCharacter());
    if (!npc || npc->GetDialoguePath().empty()) return 0;
    // The script may delete the box; only a box that still stands is reset.
    std::weak_ptr<char> life = box->GetLifeToken();
    box->SetResponseState(GUIDialogueManager::kStartResponse);
    GUIDialogueManager::RunDialogueScript();
    if (!life.expired()) box->SetResponseState(-1);
    return 0;
}

int DM_SetPortrait(lua_State* L) {
    const char* fn = "DM_SetPortrait";
    std::string path[4];
    if (!script::HasArgs(L, 4) || !GetPath(L, path)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    if (path[0] == "Dev" && EqualsIgnoringCase(path[1], "Null")) {
        box->SetPortraitImage(nullptr);
    } else {
        Portrait* portrait = LookUpPortrait(path);
        box->SetPortraitImage(portrait);
        if (!portrait) std::fputs("DM_SetPortrait:  Failed, portrait not found\n", stderr);
    }
    box->SetDirty(true);
    return 0;
}

int DM_SetBackground(lua_State* L) {
    const char* fn = "DM_SetBackground";
    std::string path[4];
    if (!script::HasArgs(L, 4) || !GetPath(L, path)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    Portrait* background = LookUpPortrait(path);
    if (!background) return script::Fail("DM_SetBackground:  Failed, portrait not found\n");
    box->SetBackgroundImage(background);
    box->SetDirty(true);
    return 0;
}

int DM_QueueSetPortrait(lua_State* L) {
    const char* fn = "DM_QueueSetPortrait";
    std::string path[4];
    if (!script::HasArgs(L, 4) || !GetPath(L, path)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    box->QueuePortrait(path[0], path[1], path[2], path[3]);
    return 0;
}

int DM_QueueSetBackground(lua_State* L) {
    const char* fn = "DM_QueueSetBackground";
    std::string path[4];
    if (!script::HasArgs(L, 4) || !GetPath(L, path)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    box->QueueBackground(path[0], path[1], path[2], path[3]);
    return 0;
}

int DM_AddText(lua_State* L) {
    const char* fn = "DM_AddText";
    std::string text;
    if (!script::HasArgs(L, 1) || !script::GetText(L, 1, text)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    box->AddText(text);
    return 0;
}

int DM_AddResponse(lua_State* L) {
    const char* fn = "DM_AddResponse";
    std::string text;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 1, text)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    box->AddResponse(text, script::GetInt(L, 2));
    return 0;
}

int DM_AddDelay(lua_State* L) {
    const char* fn = "DM_AddDelay";
    if (!script::HasArgs(L, 1)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    box->AddDelay(script::GetInt(L, 1));
    return 0;
}

int DM_SetCursor(lua_State* L) {
    const char* fn = "DM_SetCursor";
    if (!script::HasArgs(L, 2)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    box->QueueCursor(script::GetInt(L, 1), script::GetInt(L, 2));
    return 0;
}

int DM_BreakLine(lua_State*) {
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox("DM_BreakLine"));
    box->BreakLine();
    return 0;
}

int DM_ResetCursor(lua_State*) {
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox("DM_ResetCursor"));
    box->QueueResetCursor();
    return 0;
}

int DM_SetTextSpeed(lua_State* L) {
    const char* fn = "DM_SetTextSpeed";
    if (!script::HasArgs(L, 1)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    // Narrowed within float's range: a larger double has no float value.
    const double speed = script::GetNumber(L, 1);
    box->SetTextSpeed(std::isnan(speed) ? 0.0f : static_cast<float>(std::clamp<double>(speed, -FLT_MAX, FLT_MAX)));
    return 0;
}

int DM_SetTextSpeedToDefault(lua_State*) {
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox("DM_SetTextSpeedToDefault"));
    box->SetTextSpeed(0.0f);
    return 0;
}

int SetPortrait(lua_State*) {
    return script::Fail("SetPortrait:  This function is deprecated.  Please replace it with DM_SetPortrait.\n");
}

int SetPortraitBackground(lua_State*) {
    return script::Fail(
        "SetPortraitBackground:  This function is deprecated.  Please replace it with DM_SetBackground.\n");
}

// SetDialogueLine and its Incr twin; returns the number of results.
int SetLine(lua_State* L, const char* fn, bool increment) {
    std::string text;
    if (!script::HasArgs(L, 2) || !script::GetText(L, 2, text)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    const int32_t line = script::GetInt(L, 1);
    box->SetLineText(line, text);
    box->SetDirty(true);
    return increment ? script::PushNumber(L, static_cast<double>(int64_t{line} + 1)) : 0;
}

int SetResponse(lua_State* L, const char* fn, bool increment) {
    std::string text;
    if (!script::HasArgs(L, 3) || !script::GetText(L, 2, text)) return script::Fail(Invalid(fn));
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox(fn));
    const int32_t line = script::GetInt(L, 1);
    box->SetLineResponse(line, text, script::GetInt(L, 3));
    box->SetDirty(true);
    return increment ? script::PushNumber(L, static_cast<double>(int64_t{line} + 1)) : 0;
}

int SetDialogueLine(lua_State* L) { return SetLine(L, "SetDialogueLine", false); }
int SetDialogueLineIncr(lua_State* L) { return SetLine(L, "SetDialogueLineIncr", true); }
int SetDialogueResponse(lua_State* L) { return SetResponse(L, "SetDialogueResponse", false); }
int SetDialogueResponseIncr(lua_State* L) { return SetResponse(L, "SetDialogueResponseIncr", true); }

int GetLastChatResponse(lua_State* L) {
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox("GetLastChatResponse"));
    return script::PushNumber(L, box->GetLastResponse());
}

int ClearDialogue(lua_State*) {
    GUIDialogueManager* box = FindBox();
    if (!box) return script::Fail(NoBox("ClearDialogue"));
    box->Clear();
    return 0;
}

const script::Function kFunctions[] = {
    {"DM_SetDialogueNPC", DM_SetDialogueNPC},
    {"DM_ManualActivate", DM_ManualActivate},
    {"DM_SetPortrait", DM_SetPortrait},
    {"DM_SetBackground", DM_SetBackground},
    {"DM_QueueSetPortrait", DM_QueueSetPortrait},
    {"DM_QueueSetBackground", DM_QueueSetBackground},
    {"DM_AddText", DM_AddText},
    {"DM_AddResponse", DM_AddResponse},
    {"DM_AddDelay", DM_AddDelay},
    {"DM_SetCursor", DM_SetCursor},
    {"DM_BreakLine", DM_BreakLine},
    {"DM_ResetCursor", DM_ResetCursor},
    {"DM_SetTextSpeed", DM_SetTextSpeed},
    {"DM_SetTextSpeedToDefault", DM_SetTextSpeedToDefault},
    {"SetPortrait", SetPortrait},
    {"SetPortraitBackground", SetPortraitBackground},
    {"SetDialogueLine", SetDialogueLine},
    {"SetDialogueLineIncr", SetDialogueLineIncr},
    {"SetDialogueResponse", SetDialogueResponse},
    {"SetDialogueResponseIncr", SetDialogueResponseIncr},
    {"GetLastChatResponse", GetLastChatResponse},
    {"ClearDialogue", ClearDialogue},
    {nullptr, nullptr},
};

}  // namespace

void GUIDialogueManager::RegisterLuaFunctions(lua_State* L) { script::Register(L, kFunctions); }
