#include "world/ChatManager.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/GlobalState.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"

namespace {

using testsupport::LuaTestState;
using testsupport::RunScript;

// A GUI object that answers as an input box does.
class InputBoxDouble : public GUIBaseObject {
public:
    InputBoxDouble() { m_type = kTypeGUIInputTextBox; }
};

TEST(ChatManager, LogLinesThroughTheRouter) {
    LuaTestState lua;
    PropertyRouter& router = lua.Router();
    ChatManager& chat = lua.Chat();

    // Routed before any line: an empty slot that fills as lines come.
    PropertyRouter::SyncPointer newest;
    ASSERT_TRUE(newest.Bind("ChatLog", "Log", "Log|00"));
    EXPECT_EQ(newest.GetValueType(), PropertyRouter::kString);
    ASSERT_NE(newest.AsString(), nullptr);
    EXPECT_EQ(*newest.AsString(), "");
    chat.AddLine("first");
    chat.AddLine("second");
    EXPECT_EQ(*newest.AsString() + "," + *chat.GetNewestLine(1), "second,first");
    for (int i : {-1, 2, 10}) EXPECT_EQ(chat.GetNewestLine(i), nullptr) << i;
    // Past ten lines the oldest fall out of view; the slots keep their places.
    for (int i = 0; i < 9; ++i) chat.AddLine("line " + std::to_string(i));
    EXPECT_EQ(chat.GetCount(), 11);
    EXPECT_EQ(*newest.AsString(), "line 8");
    EXPECT_EQ(*chat.GetNewestLine(9), "second");
    // The log keeps a fixed number of lines: the oldest are dropped.
    for (size_t i = 0; i < ChatManager::kMaxLogLines + 5; ++i) chat.AddLine("more " + std::to_string(i));
    EXPECT_EQ(chat.GetKeptLineCount(), ChatManager::kMaxLogLines);
    EXPECT_EQ(chat.GetCount(), static_cast<int32_t>(11 + ChatManager::kMaxLogLines + 5));
    EXPECT_EQ(*newest.AsString(), "more " + std::to_string(ChatManager::kMaxLogLines + 4));

    // Two characters read as a decimal number up to the first non-digit.
    const std::pair<const char*, int> cases[] = {{"Log|00", 0},  {"Log|09", 9},  {"Log|5x", 5}, {"Log|03+", 3},
                                                 {"Log|10", -1}, {"Log|-1", -1}, {"Log|7", -1}, {"Log|x1", -1},
                                                 {"log|01", -1}, {"", -1}};
    for (const auto& [property, slot] : cases) {
        void* address = router.Route("ChatLog", "", property);
        EXPECT_EQ(address, slot < 0 ? nullptr : chat.GetNewestLine(0) + slot) << property;
        EXPECT_EQ(router.GetValueType(), slot < 0 ? PropertyRouter::kNone : PropertyRouter::kString) << property;
    }

    // A chat manager that goes clears what was kept of it.
    ChatManager* passing = new ChatManager;
    GetGlobalState()->chatManager = passing;
    PropertyRouter::SyncPointer kept;
    ASSERT_TRUE(kept.Bind("ChatLog", "", "Log|02"));
    GetGlobalState()->chatManager = nullptr;
    EXPECT_EQ(router.Route("ChatLog", "", "Log|00"), nullptr);
    GetGlobalState()->chatManager = &chat;
    delete passing;
    EXPECT_EQ(kept.Get(), nullptr);
}

TEST(ChatManager, WatchPropertyLinksOnlyInputBoxes) {
    LuaTestState lua;
    ChatManager& chat = lua.Chat();
    GUIManager& gui = lua.Gui();
    gui.ResetActiveObjectList();
    InputBoxDouble* box = new InputBoxDouble;
    gui.AddObject("ChatInput", box);
    gui.AddObject("Panel", new GUIBaseObject);

    EXPECT_EQ(RunScript(lua, "n = select('#', ChatManager_WatchProperty('ChatInput'))"), "InputBox Linked\n");
    EXPECT_EQ(lua.GetNumber("n"), 0);
    EXPECT_EQ(chat.GetWatchedBox(), box);

    // Another kind of object is refused and the watch stays.
    EXPECT_EQ(RunScript(lua, "n = select('#', ChatManager_WatchProperty('Panel'))"),
              "ChatManager WatchProperty:  Failed, Panel is not a GUIInputTextBox\n");
    EXPECT_EQ(lua.GetNumber("n"), 0);
    EXPECT_EQ(chat.GetWatchedBox(), box);

    // A name that finds nothing ends the watch without a word.
    EXPECT_EQ(RunScript(lua, "ChatManager_WatchProperty('Nobody')"), "");
    EXPECT_EQ(chat.GetWatchedBox(), nullptr);

    // A watched box that is destroyed ends the watch; ticks go on.
    EXPECT_EQ(RunScript(lua, "ChatManager_WatchProperty('ChatInput')"), "InputBox Linked\n");
    delete box;
    EXPECT_EQ(chat.GetWatchedBox(), nullptr);
    chat.Update();
    EXPECT_EQ(chat.GetCount(), 0);

    // Missing managers are named.
    GetGlobalState()->guiManager = nullptr;
    EXPECT_EQ(RunScript(lua, "ChatManager_WatchProperty('ChatInput')"),
              "ChatManager WatchProperty:  Failed, GUIManager does not exist\n");
    GetGlobalState()->guiManager = &gui;
    GetGlobalState()->chatManager = nullptr;
    EXPECT_EQ(RunScript(lua, "ChatManager_WatchProperty(12)"),
              "ChatManager WatchProperty:  Failed, ChatManager does not exist\n");
    GetGlobalState()->chatManager = &chat;
}

}  // namespace
