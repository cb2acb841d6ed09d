#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "gui/GUIManager.h"
#include "maps/GUIEnvironmentWindow.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/CameraManager.h"
#include "world/EntityManager.h"
#include "world/GUIDialogueManager.h"
#include "world/NPCStaticDialogue.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

namespace {

// A character talking from (100, 100): its click box is 91..109 across and
// 53..108 down. Its dialogue script records how it ran.
class DialogueClickTest : public ::testing::Test {
protected:
    DialogueClickTest() {
        testsupport::EnsureAllegro();
        dir.WriteFile("Talk.lua",
                      "talks = (talks or 0) + 1\n"
                      "talkCode = GetScriptCode()\n");
        {
            StderrCapture cap;  // the box's missing pane and font
            box = static_cast<GUIDialogueManager*>(GUIDialogueManager::Create(lua.Gui()));
        }
        sage = Create("Sage");
        sage->SetDialoguePath("Talk.lua");
    }
    NPCStaticDialogue* Create(const char* name) {
        auto* character = new NPCStaticDialogue;
        character->SetInternalName(name);
        character->SetCoordinates(100, 100, 0);
        lua.Entities().RegisterPointer(EntityManager::kNPC, name, character);
        return character;
    }
    // A press and a release as the map passes them on; what they printed.
    std::string Click(int pressX, int pressY, int releaseX, int releaseY) {
        StderrCapture cap;
        lua.Maps().ProcessEvent(0, pressX, pressY);
        lua.Maps().ProcessEvent(1, releaseX, releaseY);
        return cap.Take();
    }
    int Talks() const { return static_cast<int>(lua.GetNumber("talks")); }

    testsupport::TempDir dir;
    LuaTestState lua;
    GUIDialogueManager* box = nullptr;
    NPCStaticDialogue* sage = nullptr;
};

}  // namespace

TEST_F(DialogueClickTest, AClickInsideTheBoxRunsTheDialogueScript) {
    box->SetResponseState(7);
    EXPECT_EQ(Click(100, 100, 95, 60), "");
    EXPECT_EQ(Talks(), 1);
    EXPECT_EQ(lua.GetNumber("talkCode"), NPCStaticDialogue::kDialogueScriptCode);
    EXPECT_EQ(lua.Entities().GetDialogueCharacter(), sage);
    EXPECT_EQ(box->GetLastResponse(), NPCStaticDialogue::kResponseIdle);
    EXPECT_EQ(sage->GetType(), kTypeNPCStaticDialogue);
}

TEST_F(DialogueClickTest, ClicksThatStartNothing) {
    struct Case {
        const char* what;
        int pressX, pressY, releaseX, releaseY;
    };
    const Case cases[] = {
        {"released outside", 100, 100, 200, 100},
        {"pressed outside", 200, 100, 100, 100},
        {"both outside", 0, 0, 0, 0},
        {"just past the bottom", 100, 109, 100, 109},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Click(c.pressX, c.pressY, c.releaseX, c.releaseY), "") << c.what;
        EXPECT_EQ(Talks(), 0) << c.what;
    }

    sage->SetDialogueSuppression(true);
    EXPECT_EQ(Click(100, 100, 100, 100), "");
    EXPECT_EQ(Talks(), 0);
    sage->SetDialogueSuppression(false);

    // Nor does a click open it over a window that holds the keys.
    GUIBaseObject menu;
    lua.Gui().GetControlStack().Push(&menu);
    EXPECT_EQ(Click(100, 100, 100, 100), "");
    EXPECT_EQ(Talks(), 0);
    lua.Gui().GetControlStack().Remove(&menu);

    // A dialogue already showing takes no second one.
    box->Open();
    EXPECT_EQ(Click(100, 100, 100, 100), "");
    EXPECT_EQ(Talks(), 0);
    box->Close();
    EXPECT_EQ(Click(100, 100, 100, 100), "");
    EXPECT_EQ(Talks(), 1);
}

TEST_F(DialogueClickTest, ClicksMeetWhatTheScaledWorldWindowShows) {
    // A 1024 x 768 view shown in an 800 x 600 world window at (200, 150):
    // the character's click box 91..109 x 53..108 of the view is drawn at
    // 71..85 x 41..84 inside the window (a scale of 1 / 1.28).
    auto* world = new GUIEnvironmentWindow;
    lua.Gui().ResetActiveObjectList();
    lua.Gui().AddObject("EnvironmentWindow", world);
    world->SetDimensions(200, 150, 800, 600);
    lua.Cameras().AddCamera("Wide", 0, 0, 1024, 768);
    lua.Cameras().SetActiveCamera("Wide");
    struct Case {
        const char* what;
        int x, y;
        int talks;
    };
    const Case cases[] = {
        {"the middle of the drawn box", 200 + 78, 150 + 78, 1},
        {"the box's own numbers, off the drawn box", 100, 100, 0},
        {"just left of the drawn box", 200 + 70, 150 + 60, 0},
        {"near its bottom right", 200 + 85, 150 + 84, 1},
    };
    int expected = 0;
    for (const Case& c : cases) {
        Click(c.x, c.y, c.x, c.y);
        expected += c.talks;
        EXPECT_EQ(Talks(), expected) << c.what;
    }
}

TEST_F(DialogueClickTest, AnAvatarRunningItsDefaultScriptEveryStepLeavesClicksToTheCharacter) {
    // The player's avatar stands over the talking character and runs its
    // default script on every step: each tick and each button event. The
    // script re-places its picture, as the sample game's avatar does.
    dir.WriteFile("Avatar.lua",
                  "avatarRuns = (avatarRuns or 0) + 1\n"
                  "NPC_SetDisplayData(9, 28, 18, 28)\n");
    auto* avatar = new NonPlayingCharacter;
    avatar->SetInternalName("Player1");
    avatar->SetCoordinates(104, 100, 0);
    avatar->SetDefaultScript("Avatar.lua");
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Player1", avatar);

    StderrCapture cap;
    lua.Maps().ProcessEvent(0, 100, 90);
    // A tick between the press and the release.
    lua.Entities().SetMouseState(-1);
    lua.Entities().UpdateAll();
    lua.Maps().ProcessEvent(1, 100, 90);
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(Talks(), 1);
    EXPECT_EQ(lua.GetNumber("avatarRuns"), 3);

    // The avatar's last step left it the active character: the "NPC"
    // properties then read the avatar whatever owner name is given, and
    // the character's own ones once it is made active.
    EXPECT_EQ(lua.Entities().GetActiveEntity(), avatar);
    ASSERT_TRUE(
        lua.Run("seen = PM_GetValue('NPC', 'Sage', 'XCenter')\n"
                "EM_NPC_SetActiveNPC('Sage')\n"
                "sage = PM_GetValue('NPC', '', 'XCenter')\n"))
        << lua.LastError();
    EXPECT_EQ(lua.GetNumber("seen"), 104);
    EXPECT_EQ(lua.GetNumber("sage"), 100);
}

TEST_F(DialogueClickTest, MissingPathOrDialogueBoxIsReported) {
    sage->SetDialoguePath("");
    EXPECT_EQ(Click(100, 100, 100, 100), "NPC was clicked but didn't have a dialogue path set.\n");
    sage->SetDialoguePath("Talk.lua");
    delete box;
    EXPECT_EQ(Click(100, 100, 100, 100), "Couldn't find Dialogue Manager\n");
    EXPECT_EQ(Talks(), 0);
    EXPECT_EQ(lua.Entities().GetDialogueCharacter(), nullptr);
}

TEST_F(DialogueClickTest, TheDialogueMayRemoveCharactersTheClickedOneIncluded) {
    // Two talking characters on one spot: the first one's dialogue removes
    // both while the click's update walks the characters.
    NPCStaticDialogue* other = Create("Other");
    other->SetDialoguePath("Talk.lua");
    dir.WriteFile("Leave.lua",
                  "left = (left or 0) + 1\n"
                  "EM_NPC_RemoveNPC('Other')\n"
                  "EM_NPC_RemoveNPC('Sage')\n");
    sage->SetDialoguePath("Leave.lua");
    EXPECT_EQ(Click(100, 100, 100, 100), "");
    EXPECT_EQ(lua.GetNumber("left"), 1);
    EXPECT_EQ(Talks(), 0);
    EXPECT_EQ(lua.Entities().GetNPC("Sage"), nullptr);
    EXPECT_EQ(lua.Entities().GetNPC("Other"), nullptr);
    EXPECT_EQ(lua.Entities().GetDialogueCharacter(), nullptr);
    EXPECT_EQ(box->GetLastResponse(), NPCStaticDialogue::kResponseIdle);
}

TEST_F(DialogueClickTest, ScriptsCreateAndSuppressCharacters) {
    dir.WriteFile("Made.lua", "madeCode = GetScriptCode()\nNPC_SetPositionData(100, 100, 0)\n");
    struct Case {
        const char* call;
        const char* line;
    };
    const Case cases[] = {
        {"EM_NPC_CreateNPC('Guard', 'Nobody')", "NPCM AddNPC:  Failed, NPC Type was invalid\n"},
        {"EM_NPC_SetActiveNPC('Missing') NPCSD_SetDialogueSuppression(1)",
         "EM_NPC_SetActiveNPC:  Warning, NPC Missing not found (Active is now NULL)\n"
         "EM::GetActiveNPC: Failed, rActiveEntity was NULL\n"
         "NPCSD_SetDialogueSuppression:  Failed, Active NPC not set\n"},
        {"EM_NPC_CreateNPC('Brute', 'EnemyNPC') NPCSD_SetDialogueSuppression(1)",
         "NPCSD_SetDialogueSuppression:  Failed, Active NPC is of the wrong type\n"},
        {"EM_NPC_CreateNPC('Elder', 'DialogueNPC', 'Made.lua') NPCSD_SetDialogueSuppression(1)", ""},
    };
    for (const Case& c : cases) {
        StderrCapture cap;
        ASSERT_TRUE(lua.Run(c.call)) << lua.LastError();
        EXPECT_EQ(cap.Take(), c.line) << c.call;
    }
    EXPECT_EQ(lua.Entities().GetNPC("Guard"), nullptr);
    auto* elder = dynamic_cast<NPCStaticDialogue*>(lua.Entities().GetNPC("Elder"));
    ASSERT_NE(elder, nullptr);
    EXPECT_EQ(elder->GetInternalName(), "Elder");
    EXPECT_EQ(lua.GetNumber("madeCode"), 1);
    EXPECT_EQ(lua.Entities().GetActiveEntity(), elder);
    EXPECT_TRUE(elder->IsDialogueSuppressed());
    ASSERT_TRUE(lua.Run("NPCSD_SetDialogueSuppression(0)"));
    EXPECT_FALSE(elder->IsDialogueSuppressed());

    // The deprecated name makes characters too.
    StderrCapture cap;
    ASSERT_TRUE(lua.Run("NPCM_AddNPC('Porter', 'DialogueNPC')"));
    cap.Take();
    EXPECT_NE(dynamic_cast<NPCStaticDialogue*>(lua.Entities().GetNPC("Porter")), nullptr);
}
