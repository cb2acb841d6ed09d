#include "app/ConsoleManager.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIManager.h"
#include "network/GUIChatWindow.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"

using testsupport::LuaTestState;
using testsupport::StderrCapture;

namespace {

const char* kIncomplete = "Incomplete command given, format is /category commandname [parameter] ...";
const char* kUsage =
    "Incorrect number of arguments given, format should be /npc setnpcposition stringname doublex doubley doublez";

// A console with its commands registered and a chat window (not set up, so
// it needs no font) kept by the GUI manager to receive the output.
struct ConsoleFixture {
    LuaTestState lua;
    ConsoleManager console;
    GUIChatWindow* chat = new GUIChatWindow;

    ConsoleFixture() {
        testsupport::EnsureAllegro();
        lua.Gui().ResetActiveObjectList();
        lua.Gui().AddObject("DefaultChatWindow", chat);
        lua.Gui().SetChatWindow(chat);
        console.RegisterCommands();
    }
    std::string Newest() const {
        const GUIChatWindow::Line* line = chat->GetLine(0);
        return line ? line->text : std::string("<none>");
    }
};

}  // namespace

TEST(ConsoleManager, RecognisesThePrefixOnly) {
    ConsoleManager console;
    EXPECT_EQ(console.GetPrefix(), "/");
    EXPECT_TRUE(console.IsCommand("/npc setnpcposition a 1 2 3"));
    EXPECT_TRUE(console.IsCommand("/"));
    EXPECT_FALSE(console.IsCommand("hello /npc"));
    EXPECT_FALSE(console.IsCommand(""));
    EXPECT_FALSE(console.IsCommand(static_cast<const char*>(nullptr)));
}

TEST(ConsoleManager, RegistersTheCommandTreeAndRemovesItsRecordOnDestruction) {
    LuaTestState lua;
    DataLibrary& library = lua.Library();
    {
        ConsoleManager console;
        console.RegisterCommands();
        console.RegisterCommands();  // no duplicate
        for (const char* category : {"npc", "player", "system"})
            for (const char* heading : {"normal", "restricted"})
                EXPECT_NE(library.GetHeading("commands", category, heading), nullptr) << category << heading;
        auto* command =
            library.Get<ConsoleCommand>("commands", "npc", "restricted", "setnpcposition", DataKind::ConsoleCommand);
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->name, "setnpcposition");
        EXPECT_EQ(command->argumentCount, 4);
        EXPECT_EQ(command->handler, &CommandSetNpcPosition);
        EXPECT_EQ(library.GetHeading("commands", "npc", "restricted")->GetCount(), 1);
    }
    // The library keeps no pointer to a record that has gone.
    library.SetWarnOnMiss(0);
    EXPECT_EQ(library.GetPointer("commands", "npc", "restricted", "setnpcposition", DataKind::ConsoleCommand), nullptr);
}

TEST(ConsoleManager, ReportsBadLinesInTheChatWindow) {
    ConsoleFixture f;
    {
        StderrCapture cap;
        f.console.ExecuteCommand("/npc");
        EXPECT_EQ(f.Newest(), kIncomplete);
        f.console.ExecuteCommand("/   ");
        EXPECT_EQ(f.chat->GetLineCount(), 2);
        f.console.ExecuteCommand("/npc dance now");
        EXPECT_EQ(f.Newest(), "dance is not a recognized command.");
        f.console.ExecuteCommand("/weather setnpcposition a 1 2 3");
        EXPECT_EQ(f.Newest(), "setnpcposition is not a recognized command.");
        // Lines without the prefix are not commands and change nothing.
        f.console.ExecuteCommand("npc setnpcposition a 1 2 3");
        f.console.ExecuteCommand(static_cast<const char*>(nullptr));
        EXPECT_EQ(f.chat->GetLineCount(), 4);
        // The lookups are silent, and the warnings come back on afterwards.
        EXPECT_EQ(cap.Take(), "");
    }
    EXPECT_EQ(f.lua.Library().GetWarnOnMiss(), 1);
}

TEST(ConsoleManager, SetNpcPositionMovesTheNamedCharacter) {
    ConsoleFixture f;
    auto* character = new NonPlayingCharacter;
    character->SetInternalName("Guard");
    f.lua.Entities().RegisterPointer(EntityManager::kNPC, "Guard", character);

    StderrCapture cap;
    f.console.ExecuteCommand("/npc  setnpcposition Guard 10.9 -3 0 extra words");
    Dimensions d = character->GetDimensions();
    EXPECT_EQ(d.X, 10);
    EXPECT_EQ(d.Y, -3);
    EXPECT_EQ(d.Z, 0);
    EXPECT_EQ(f.chat->GetLineCount(), 0);

    // Negative fractions truncate toward zero; huge values stay in range.
    f.console.ExecuteCommand("/npc setnpcposition Guard -7.8 1e300 -1e300");
    d = character->GetDimensions();
    EXPECT_EQ(d.X, -7);
    EXPECT_EQ(d.Y, 2147483647);
    EXPECT_EQ(d.Z, -2147483648);
    EXPECT_EQ(cap.Take(), "");

    StderrCapture missing;
    f.console.ExecuteCommand("/npc setnpcposition Nobody 1 2 3");
    EXPECT_EQ(missing.Take(), "Command NPC SetPosition error, npc Nobody does not exist.\n");
    EXPECT_EQ(f.chat->GetLineCount(), 0);
    EXPECT_EQ(character->GetDimensions().X, -7);
}

TEST(ConsoleManager, SetNpcPositionRefusesCoordinatesThatAreNotNumbers) {
    ConsoleFixture f;
    auto* character = new NonPlayingCharacter;
    f.lua.Entities().RegisterPointer(EntityManager::kNPC, "Guard", character);
    character->SetCoordinates(5, 6, 7);
    for (const char* line : {"/npc setnpcposition Guard abc def 0", "/npc setnpcposition Guard 12abc 1 2",
                             "/npc setnpcposition Guard 1 2 nan", "/npc setnpcposition Guard 1 - 2"}) {
        SCOPED_TRACE(line);
        f.chat->ClearLines();
        StderrCapture cap;
        f.console.ExecuteCommand(line);
        EXPECT_EQ(cap.Take(), "");
        EXPECT_EQ(f.Newest(), kUsage);
        const Dimensions d = character->GetDimensions();
        EXPECT_TRUE(d.X == 5 && d.Y == 6 && d.Z == 7) << d.X << " " << d.Y << " " << d.Z;
    }
}

TEST(ConsoleManager, SetNpcPositionNamesTheFirstMissingArgument) {
    ConsoleFixture f;
    const std::pair<const char*, const char*> cases[] = {
        {"/npc setnpcposition", "Command NPC SetPosition error, npc name not given.\n"},
        {"/npc setnpcposition Guard", "Command NPC SetPosition error, x center coordinate name not given.\n"},
        {"/npc setnpcposition Guard 1", "Command NPC SetPosition error, y center coordinate name not given.\n"},
        {"/npc setnpcposition Guard 1 2", "Command NPC SetPosition error, z center coordinate name not given.\n"},
    };
    for (const auto& [line, message] : cases) {
        StderrCapture cap;
        f.console.ExecuteCommand(line);
        EXPECT_EQ(cap.Take(), message) << line;
        EXPECT_EQ(f.Newest(), kUsage) << line;
    }
    // A full call after a short one sees fresh arguments, not stale ones.
    auto* command = f.lua.Library().Get<ConsoleCommand>("commands", "npc", "restricted", "setnpcposition",
                                                        DataKind::ConsoleCommand);
    ASSERT_NE(command, nullptr);
    ASSERT_EQ(command->arguments.size(), 4u);
    EXPECT_EQ(*command->arguments[0], "Guard");
    EXPECT_FALSE(command->arguments[3].has_value());
}

TEST(ConsoleManager, WithoutAChatWindowOrLibraryNothingBreaks) {
    LuaTestState lua;
    ConsoleManager console;
    console.RegisterCommands();
    StderrCapture cap;
    console.ExecuteCommand("/npc");
    console.ExecuteCommand("/npc setnpcposition");
    EXPECT_EQ(cap.Take(), "Command NPC SetPosition error, npc name not given.\n");

    StderrCapture noLibrary;
    GlobalState* state = GetGlobalState();
    DataLibrary* saved = state->dataLibrary;
    state->dataLibrary = nullptr;
    ConsoleManager lonely;
    lonely.RegisterCommands();
    lonely.ExecuteCommand("/npc setnpcposition a 1 2 3");
    state->dataLibrary = saved;
    EXPECT_EQ(noLibrary.Take(), "ConsoleManager::RegisterCommands:  Failed, DataLibrary does not exist\n");
}
