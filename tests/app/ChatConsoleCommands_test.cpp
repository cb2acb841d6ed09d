// Lines typed into the chat window that start with "/" run in the console.
#include <gtest/gtest.h>

#include <string>

#include "app/ConsoleManager.h"
#include "core/base/GlobalState.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "network/ChatFixture.h"
#include "network/GUIChatWindow.h"
#include "support/AllegroTestEnv.h"
#include "support/GuiKeyTicks.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

using testsupport::ChatFixture;
using testsupport::LuaTestState;
using testsupport::StderrCapture;
using testsupport::TempDir;

TEST(GUIChatWindow, TypedCommandLinesRunInTheConsole) {
    ChatFixture f;
    GUIChatWindow* window = f.Build();
    ASSERT_NE(window, nullptr);
    ConsoleManager console;
    console.RegisterCommands();
    GlobalState* state = GetGlobalState();
    ConsoleManager* saved = state->consoleManager;
    state->consoleManager = &console;

    GUIInputTextBox* box = window->GetInputBox();
    StderrCapture cap;
    box->SetFocus(true);
    for (char c : std::string("/npc")) ASSERT_TRUE(box->Insert(c, box->GetLength()));
    testsupport::GuiKeyTicks(f.lua.Keyboard(), f.lua.Gui()).Type("ENTER");
    EXPECT_FALSE(box->IsFocused());
    cap.Take();
    state->consoleManager = saved;

    ASSERT_EQ(window->GetLineCount(), 1);
    EXPECT_EQ(window->GetLine(0)->text, "Incomplete command given, format is /category commandname [parameter] ...");
}
