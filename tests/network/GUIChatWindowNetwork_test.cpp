// The chat window against a loopback game server: typed lines go out with
// the outgoing name, server texts come in as lines.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "core/base/GlobalState.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIManager.h"
#include "network/GUIChatWindow.h"
#include "network/NetworkManager.h"
#include "network/NetworkMessages.h"
#include "platform/net/BitStream.h"
#include "platform/net/NetPeer.h"
#include "relay/LoopbackServer.h"
#include "support/AllegroTestEnv.h"
#include "support/GuiKeyTicks.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

using relay::LoopbackServer;
using testsupport::StderrCapture;

TEST(GUIChatWindowNetwork, TypedLinesAreSentAndServerTextIsShown) {
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    dir.WriteFile("Data/Graphics/Fonts/FixedSys.ttf",
                  testsupport::ReadFile("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"));
    testsupport::LuaTestState lua;
    LoopbackServer server;
    GlobalState* state = GetGlobalState();
    const uint8_t savedNoNetwork = state->noNetwork;
    const std::string savedName = state->outgoingName;
    NetworkManager* savedNetwork = state->networkManager;
    state->noNetwork = 0;

    NetworkManager::ServerSettings settings;
    settings.host = "127.0.0.1";
    settings.port = server.Port();
    std::unique_ptr<NetworkManager> client;
    GUIChatWindow* window = nullptr;
    {
        StderrCapture quiet;
        client = std::make_unique<NetworkManager>(settings);
        window = dynamic_cast<GUIChatWindow*>(BuildDefaultChatWindow());
    }
    ASSERT_TRUE(client->IsConnected());
    ASSERT_TRUE(server.WaitFor([&] { return server.ClientCount() == 1; }));
    ASSERT_NE(window, nullptr);
    state->networkManager = client.get();
    state->outgoingName = "Wren";

    // Typed into the box and submitted with Enter.
    GUIInputTextBox* box = window->GetInputBox();
    {
        StderrCapture quiet;
        box->SetFocus(true);
        for (char c : std::string("good day")) ASSERT_TRUE(box->Insert(c, box->GetLength()));
        testsupport::GuiKeyTicks(lua.Keyboard(), lua.Gui()).Type("ENTER");
        EXPECT_FALSE(box->IsFocused());
    }
    ASSERT_TRUE(server.WaitFor([&] { return server.MessageCount() >= 1; }));
    auto messages = server.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, netmsg::kChatText);
    std::string text;
    ASSERT_TRUE(messages[0].Payload().ReadText(text));
    EXPECT_EQ(text, "Wren: good day");
    EXPECT_EQ(window->GetLineCount(), 0);  // the window does not echo it

    net::BitStream relayed = LoopbackServer::MakeMessage(netmsg::kChatText);
    relayed.WriteText("Ash: hello Wren");
    ASSERT_TRUE(server.SendToClient(relayed));
    testing::internal::CaptureStdout();
    for (int i = 0; i < 5000 && window->GetLineCount() == 0; ++i) {
        client->PumpPackets();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(window->GetLineCount(), 1);
    EXPECT_EQ(window->GetLine(0)->text, "Ash: hello Wren");
    EXPECT_EQ(window->GetLine(0)->kind, 8u);

    // A battle that opens in the tick the line is ended hides the window
    // after the tick's keys were handed out: the line still goes out. A line
    // not ended stays.
    for (const bool ended : {true, false}) {
        StderrCapture quiet;
        window->Show(false);
        box->SetFocus(true);
        for (char c : std::string("to arms")) ASSERT_TRUE(box->Insert(c, box->GetLength()));
        if (ended) lua.Keyboard().NoteKeyEvent(ALLEGRO_KEY_ENTER, true);
        testsupport::KeyTicks(lua.Keyboard(), [&] { lua.Gui().HandleHotkeys(); }).Tick();
        if (ended) lua.Keyboard().NoteKeyEvent(ALLEGRO_KEY_ENTER, false);
        lua.Gui().HideAllObjects();
        EXPECT_EQ(*box->GetText(), ended ? "" : "to arms");
    }
    ASSERT_TRUE(server.WaitFor([&] { return server.MessageCount() >= 2; }));
    messages = server.Messages();
    ASSERT_EQ(messages.size(), 2u);
    ASSERT_TRUE(messages[1].Payload().ReadText(text));
    EXPECT_EQ(text, "Wren: to arms");

    state->networkManager = savedNetwork;
    state->outgoingName = savedName;
    state->noNetwork = savedNoNetwork;
    {
        StderrCapture quiet;
        client.reset();
    }
}
