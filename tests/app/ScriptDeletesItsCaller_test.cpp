// Every place the engine runs a script for an object, with a script that
// deletes that object (or clears the whole map, or hides its own window)
// while the engine is still inside the object's code. Nothing may touch the
// deleted object afterwards: the sanitizer build is what catches a slip.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/base/GlobalState.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIButton.h"
#include "gui/GUIManager.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/EntityManager.h"
#include "world/GUIDialogueManager.h"
#include "world/PlayerVorn.h"
#include "world/WithPlayer.h"
#include "world/ai/AIManager.h"

using testsupport::LuaTestState;

namespace {

// Runs once, when armed: removes the character, the auto-script object, the
// floating package and the avatar by name and hides the window ("remove"),
// or leaves the map ("map"), then calls what acts on the caller and the
// active character.
constexpr const char* kDoom =
    "if Armed then\n"
    "  Armed = false\n"
    "  if Mode == 'map' then MapM_TransitionMap('Nowhere')\n"
    "  else\n"
    "    EM_NPC_RemoveNPC('Walker') EM_OBJ_RemoveObject('Auto')\n"
    "    AIM_DeleteObject('FloatingAIPackageList', 'Float') EM_NPC_RemoveNPC('Hero')\n"
    "    GUI_SetActiveObjectList('Base') GUI_SetActiveObject('Win') GUIG_Hide()\n"
    "  end\n"
    "  OBJSAS_ModFloat('x', 2) NPC_SetDisplaySuppression(0) Ran = (Ran or 0) + 1\n"
    "end\n";

// Everything the doom script may meet; which of them runs it is the row's
// choice (the others run the idle script, which touches the active
// character as a default script does).
constexpr const char* kWorld =
    "EM_NPC_CreateNPC('Walker', 'DialogueNPC') NPC_SetDefaultScript(WalkerScript)\n"
    "NPC_SetDialoguePath('Doom.lua') AIM_SetActiveAIObject('DrawingList', 'NPC', '', 'AIDrawingList')\n"
    "if FireScript then NPC_PushAI('fire', 1, 'Fire Script', FireScript, 0) end\n"
    "EM_OBJ_CreateObject('Auto', 'StaticAutoScript') OBJSAS_SetPath(AutoScript)\n"
    "AIM_CreateObject('Float', 'FloatingAIPackageList', 'AIAutoScript', FloatScript, 0)\n"
    "GUI_SetActiveObjectList('Base') GUIOL_AddObject('Win', 'GUIWindow') GUI_SetActiveObjectAndListFromBase('Win')\n"
    "GUIOL_AddObject('Btn', 'GUIButton') GUIB_SetScriptData('Doom.lua', 0)\n"
    "AIM_CreateObject('Looks', 'AIDrawingPackageList', 'AIDrawingPackage')\n";

struct Row {
    const char* entry;
    // Lua run before the world is made: which script goes where.
    const char* choice;
    // What makes the engine run the script.
    std::function<void(LuaTestState&, PlayerVorn&)> run;
};

void Tick(LuaTestState& lua, PlayerVorn&) {
    lua.Entities().UpdateAll();
    lua.AI().UpdateFloatingAI();
}

const Row kRows[] = {
    {"character's default script", "WalkerScript = 'Doom.lua'", Tick},
    {"character's fire-script package, then its default script", "FireScript = 'Doom.lua'", Tick},
    {"character made with a script", "",
     [](LuaTestState& lua, PlayerVorn&) {
         lua.Run("EM_NPC_RemoveNPC('Walker') Armed = true EM_NPC_CreateNPC('Walker', 'DialogueNPC', 'Doom.lua')");
     }},
    {"auto-script object's update", "AutoScript = 'Doom.lua'", Tick},
    {"auto-script object's path set", "",
     [](LuaTestState& lua, PlayerVorn&) { lua.Run("EM_OBJ_SetActiveObject('Auto') OBJSAS_SetPath('Doom.lua')"); }},
    {"floating package", "FloatScript = 'Doom.lua'", Tick},
    {"dialogue response", "",
     [](LuaTestState& lua, PlayerVorn&) {
         lua.Entities().SetDialogueCharacter(lua.Entities().GetNPC("Walker"));
         GUIDialogueManager::RunDialogueScript();
     }},
    {"button's script", "",
     [](LuaTestState& lua, PlayerVorn&) { static_cast<GUIButton*>(lua.Gui().FindObject("Btn"))->Fire(); }},
    {"avatar's script", "",
     [](LuaTestState&, PlayerVorn& player) {
         player.SetAvatarScript("Doom.lua");
         player.CreateAvatar();
     }},
};

}  // namespace

TEST(ScriptDeletesItsCaller, NothingTouchesTheObjectAfterItsScriptDeletedIt) {
    testsupport::TempDir dir;
    dir.WriteFile("Doom.lua", kDoom);
    dir.WriteFile("Idle.lua", "if GetScriptCode() ~= -2 then NPC_SetDisplaySuppression(0) end\n");
    for (const char* mode : {"remove", "map"}) {
        for (const Row& row : kRows) {
            SCOPED_TRACE(std::string(row.entry) + ", " + mode);
            testsupport::StderrCapture setUp;
            LuaTestState lua;
            testsupport::WithPlayer with;
            with.player.SetName("Hero");
            ASSERT_TRUE(lua.Run(std::string("WalkerScript, AutoScript, FloatScript = 'Idle.lua', 'Idle.lua', "
                                            "'Idle.lua' Mode = '") +
                                mode + "' " + row.choice));
            ASSERT_TRUE(lua.Run(kWorld)) << lua.LastError();
            ASSERT_EQ(setUp.Take(), "");
            ASSERT_NE(lua.Gui().FindObject("Btn"), nullptr);
            testsupport::StderrCapture quiet;
            lua.Run("Armed = true");
            row.run(lua, with.player);
            EXPECT_EQ(lua.GetNumber("Ran"), 1);
            // Whatever the engine kept of the deleted objects is used again.
            Tick(lua, with.player);
            ASSERT_TRUE(lua.Run(
                "NPC_SetDisplaySuppression(0) OBJ_SetCoordinates(1, 2, 3) OBJSAS_ModFloat('x', 3)"
                " GUI_SetActiveObjectList('Base') GUI_SetActiveObject('Win') GUIG_Show() AIDL_AddAI('Body', 'Looks')"));
            // No pointer is kept to an entity that has gone.
            for (RootEntity* kept : {lua.Entities().GetActiveEntity(), lua.Entities().GetDialogueCharacter()})
                EXPECT_TRUE(!kept || lua.Entities().IsRegistered(kept));
            EXPECT_EQ(lua.Entities().GetNPC("Walker"), nullptr);
            EXPECT_EQ(lua.Entities().GetObject("Auto"), nullptr);
            EXPECT_EQ(lua.Entities().GetNPC("Hero"), nullptr);
        }
    }
}
