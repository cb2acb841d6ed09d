#pragma once
// A character that starts its dialogue when the player clicks it: a press
// and a release both inside its click box run its DialoguePath script with
// the character as the dialogue box's character. Scripts can suppress the
// dialogue (NPCSD_SetDialogueSuppression). The random dungeon's up-stair is
// one of these too.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>

#include "world/NonPlayingCharacter.h"

constexpr int32_t kTypeNPCStaticDialogue = 3001;

class NPCStaticDialogue : public NonPlayingCharacter {
public:
    // Script code the dialogue script runs with.
    static constexpr int32_t kDialogueScriptCode = -100;
    // Response states of the dialogue box while the script runs and after.
    static constexpr int32_t kResponseRunning = -2;
    static constexpr int32_t kResponseIdle = -1;

    NPCStaticDialogue();
    ~NPCStaticDialogue() override;

    // -1 (tick): appearance renewed, the AI runs. 0 (press): remembers
    // whether the press hit the click box. 1 (release): starts the dialogue
    // when the press hit, the release is inside the box, the dialogue box
    // exists and is hidden, and no suppression is set.
    bool HandleMouseState(int32_t mouseState) override;
    void UpdateAppearance() override;
    void* RoutePointer(const std::string& name) override;

    void SetDialogueSuppression(bool flag) { m_suppressed = flag ? 1 : 0; }
    bool IsDialogueSuppressed() const { return m_suppressed != 0; }
    bool IsHovered() const { return m_hover != 0; }

private:
    // Runs the dialogue script; false when something was missing.
    bool StartDialogue();

    uint8_t m_hover = 0;
    uint8_t m_suppressed = 0;
};

// Registers NPCSD_SetDialogueSuppression.
void RegisterNPCStaticDialogueLuaFunctions(lua_State* L);
