#include "network/NetworkManager.h"

#include <gtest/gtest.h>

#include "gui/GUIManager.h"
#include "network/GUIChatWindow.h"
#include "network/NetworkManagerFixture.h"
#include "platform/net/NetPeer.h"
#include "support/AllegroTestEnv.h"

using relay::LoopbackServer;
using testsupport::StderrCapture;

namespace {

using namespace nettest;

TEST_F(NetworkManagerTest, NoNetworkDoesNothingAtAll) {
    state->noNetwork = 1;
    MakePlayer();
    StderrCapture cap;
    {
        NetworkManager client(settings);
        EXPECT_FALSE(client.IsConnected());
        EXPECT_EQ(client.GetMyGuidString(), "");
        client.SendChatMessage("hello");
        for (int i = 0; i < 6; ++i) client.Update();
        EXPECT_EQ(client.GetSendCounter(), 0);
    }
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(server.ClientCount(), 0u);
}

TEST_F(NetworkManagerTest, ConnectsReportsTheServerAndDisconnectsWhenDeleted) {
    StderrCapture cap;
    auto client = std::make_unique<NetworkManager>(settings);
    std::string out = cap.Take();
    ASSERT_TRUE(client->IsConnected());
    EXPECT_EQ(out,
              "Obtained instance of RakNet, starting it up.\n"
              "Startup of RakNet successful, attempting to connect to server.\n"
              "Our connection request has been accepted, connected with the server now.\n"
              "Client is now online.\n"
              "server address: 127.0.0.1|" +
                  std::to_string(server.Port()) + " server GUID: " + server.ServerGuid() + "\n");
    std::string guid = client->GetMyGuidString();
    EXPECT_FALSE(guid.empty());
    EXPECT_NE(guid, server.ServerGuid());
    ASSERT_TRUE(server.WaitFor([&] { return server.ClientCount() == 1; }));

    StderrCapture bye;
    uint64_t start = net::GetTime();
    client.reset();
    EXPECT_LT(net::GetTime() - start, 2500u);  // confirmed, not timed out
    EXPECT_EQ(bye.Take(), "Network Manager getting deleted.\nSending disconnect signal.\nserver GUID is: " +
                              server.ServerGuid() + "\n");
    EXPECT_TRUE(server.WaitFor([&] { return server.ClientCount() == 0; }));
    EXPECT_EQ(server.Notices().back(), net::kDisconnectionNotification);
}

TEST_F(NetworkManagerTest, RefusedUnansweredAndImpossibleConnectionsLeaveItUnconnected) {
    {
        LoopbackServer full(0);
        settings.port = full.Port();
        StderrCapture cap;
        {
            NetworkManager client(settings);
            EXPECT_FALSE(client.IsConnected());
        }
        EXPECT_TRUE(Contains(cap.Take(),
                             "Connection attempt failed, server is currently full.\n"
                             "Network Manager getting deleted.\n"));
    }
    uint16_t deadPort = 0;
    {
        LoopbackServer gone;
        deadPort = gone.Port();
    }
    settings.port = deadPort;
    settings.connectAttempts = 2;
    settings.attemptIntervalMs = 150;
    {
        StderrCapture cap;
        uint64_t start = net::GetTime();
        NetworkManager client(settings);
        uint64_t took = net::GetTime() - start;
        EXPECT_FALSE(client.IsConnected());
        EXPECT_GE(took, 280u);
        EXPECT_LT(took, 2000u);
        EXPECT_TRUE(Contains(cap.Take(), "attempting to connect to server.\nFailed to connect to the server.\n"));
    }
    settings.port = 0;
    {
        StderrCapture cap;
        NetworkManager client(settings);
        EXPECT_FALSE(client.IsConnected());
        EXPECT_TRUE(Contains(cap.Take(),
                             "Failed to connect to server. Problem occurred while attempting to run "
                             "RakPeerInteface::Connect\n"));
    }
}

TEST_F(NetworkManagerTest, ChatNameAndPlayerStateReachTheServer) {
    auto client = ConnectClient();
    client->SendChatMessage("hello there");
    client->SendChatMessage(nullptr);
    client->SendPlayerName("Me");
    client->SendPlayerName(nullptr);
    client->SendPlayerState(nullptr);
    ASSERT_TRUE(server.WaitFor([&] { return server.MessageCount() >= 2; }));
    auto messages = server.Messages();
    ASSERT_EQ(messages.size(), 2u);
    std::string text;
    EXPECT_TRUE(messages[0].timestamped);
    EXPECT_EQ(messages[0].id, netmsg::kChatText);
    EXPECT_EQ(messages[0].channel, 0);
    ASSERT_TRUE(messages[0].Payload().ReadText(text));
    EXPECT_EQ(text, "hello there");
    EXPECT_EQ(messages[1].id, netmsg::kPlayerName);
    EXPECT_EQ(messages[1].channel, 1);
    ASSERT_TRUE(messages[1].Payload().ReadText(text));
    EXPECT_EQ(text, "Me");

    // No player yet: the send counter waits at its interval.
    for (int i = 0; i < 5; ++i) client->Update();
    EXPECT_EQ(client->GetSendCounter(), 2);
    MakePlayer();
    NonPlayingCharacter* avatar = player->GetAvatar();
    avatar->SetCoordinates(12, -7, 3);
    avatar->SetAnimTimerAndDirection(44, 6);
    avatar->SetActiveStateByIndex(2);
    // The first tick with an avatar sends; then every second tick.
    for (int i = 0; i < 5; ++i) client->Update();
    ASSERT_TRUE(server.WaitFor([&] { return server.MessageCount() >= 5; }));
    messages = server.Messages();
    ASSERT_EQ(messages.size(), 5u);
    for (size_t i = 2; i < 5; ++i) EXPECT_EQ(messages[i].id, netmsg::kPlayerState);
    net::BitStream payload = messages[4].Payload();
    double x, y, z;
    int32_t direction, timer, activeState;
    ASSERT_TRUE(payload.ReadText(text) && payload.ReadDouble(x) && payload.ReadDouble(y) && payload.ReadDouble(z) &&
                payload.ReadI32(direction) && payload.ReadI32(timer) && payload.ReadI32(activeState));
    EXPECT_EQ(text, "Me");
    EXPECT_TRUE(x == 12.0 && y == -7.0 && z == 3.0);
    EXPECT_TRUE(direction == 6 && timer == 44 && activeState == 2);
    EXPECT_EQ(payload.GetRemaining(), 0u);
}

TEST_F(NetworkManagerTest, ServerTextIsPrintedAndUnknownOrDamagedMessagesAreReported) {
    auto client = ConnectClient();
    net::BitStream welcome = LoopbackServer::MakeMessage(netmsg::kServerText);
    welcome.WriteText("Welcome, traveller");
    net::BitStream news = LoopbackServer::MakeMessage(netmsg::kServerText4);
    news.WriteText(std::string("News\x1b[2J\0hidden", 15));
    net::BitStream unknown = LoopbackServer::MakeMessage(140);
    net::BitStream damaged = LoopbackServer::MakeMessage(netmsg::kChatText);
    damaged.WriteU32(1000);  // a text count with nothing behind it
    net::BitStream untimed;
    untimed.WriteU8(132);
    for (auto* message : {&welcome, &news, &unknown, &damaged, &untimed}) ASSERT_TRUE(server.SendToClient(*message));

    // Loopback delivers at once; the pause covers a busy machine.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    testing::internal::CaptureStdout();
    StderrCapture cap;
    // Packets are read on every third tick only.
    client->Update();
    client->Update();
    EXPECT_EQ(client->GetReceiveCounter(), 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    testing::internal::CaptureStdout();
    client->Update();
    EXPECT_EQ(client->GetReceiveCounter(), 0);
    EXPECT_EQ(cap.Take(),
              "we've received a packet from the server with ID: 27\n"
              "NetworkManager::ReceiveServerText:  Failed, damaged message\n"
              "we've received a packet from the server with ID: 132\n");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "Received message from server: \nWelcome, traveller\nReceived message from server: \nNews\\x1b[2J\n");
    EXPECT_TRUE(client->IsConnected());
}

TEST_F(NetworkManagerTest, WorldStateCreatesMovesAndRemovesOtherPlayers) {
    MakePlayer();
    auto client = ConnectClient();
    lua.Run("created = 0");
    WorldState world(3);
    world.Record("Ann", 10.9, -20.7, -0.5, 3, 7, 2).Removal("Bob").Record("Cid", 1, 1, 1, 0, 0, 0);
    ASSERT_TRUE(server.SendToClient(world.stream));
    StderrCapture cap;
    ASSERT_TRUE(PumpUntil(*client, [&] { return Npc("Ann") != nullptr; }));
    NonPlayingCharacter* ann = Npc("Ann");
    EXPECT_EQ(ann->GetInternalName(), "Ann");
    EXPECT_EQ(ann->GetDefaultScript(), kScript);
    const Dimensions at = ann->GetDimensions();
    EXPECT_TRUE(at.X == 10.0 && at.Y == -20.0 && at.Z == 0.0);
    EXPECT_TRUE(ann->GetAnimDirection() == 3 && ann->GetAnimTimer() == 7 && ann->GetActiveState() == 2);
    // Bob was made (his script ran) and taken away at once; Cid was never read.
    EXPECT_EQ(lua.GetNumber("created"), 2);
    EXPECT_EQ(Npc("Bob"), nullptr);
    EXPECT_EQ(Npc("Cid"), nullptr);

    // A known player moves; an out-of-range state is ignored.
    net::NetPacket move = WorldState(1).Record("Ann", 40, 50, 60, 1, 2, 9).Packet();
    client->ApplyWorldState(&move);
    EXPECT_EQ(Npc("Ann"), ann);
    EXPECT_EQ(ann->GetDimensions().X, 40.0);
    EXPECT_EQ(ann->GetActiveState(), 2);
    EXPECT_EQ(lua.GetNumber("created"), 2);

    // Our own name moves nothing and removes nothing.
    NonPlayingCharacter* avatar = player->GetAvatar();
    avatar->SetCoordinates(5, 6, 0);
    net::NetPacket mine = WorldState(2).Record("Me", 100, 100, 0, 1, 1, 1).Removal("Me").Packet();
    client->ApplyWorldState(&mine);
    EXPECT_EQ(player->GetAvatar(), avatar);
    EXPECT_EQ(Npc("Me"), avatar);
    EXPECT_EQ(avatar->GetDimensions().X, 5.0);

    // The player's reserved name is never given to another player.
    net::NetPacket reserved = WorldState(1).Record(EntityManager::kPlayerName, 1, 1, 1, 0, 0, 0).Packet();
    client->ApplyWorldState(&reserved);

    // A script that removes the character it builds.
    lua.Run("removeName = 'Dee'");
    net::NetPacket dee = WorldState(1).Record("Dee", 1, 1, 1, 0, 0, 0).Packet();
    client->ApplyWorldState(&dee);
    lua.Run("removeName = nil");
    EXPECT_EQ(Npc("Dee"), nullptr);

    net::NetPacket leave = WorldState(1).Removal("Ann").Packet();
    client->ApplyWorldState(&leave);
    EXPECT_EQ(Npc("Ann"), nullptr);
    EXPECT_EQ(cap.Take(),
              "NetworkManager::ApplyWorldState:  Warning, the name Pelloc is taken, player not shown\n"
              "NetworkManager::ApplyWorldState:  Warning, Dee was removed by its script\n");
}

TEST_F(NetworkManagerTest, DamagedWorldStatesChangeNothing) {
    auto client = ConnectClient();
    lua.Run("created = 0");
    // Every truncation of a good message, a count beyond the records, a
    // name count beyond the packet: refused whole, before anything is made.
    WorldState twoRecords(2);
    twoRecords.Record("Eve", 1, 2, 3, 0, 0, 0).Record("Fay", 1, 2, 3, 0, 0, 0);
    std::vector<net::NetPacket> damaged;
    for (size_t cut = 1; cut <= twoRecords.stream.GetLength(); ++cut) damaged.push_back(twoRecords.Packet(cut));
    damaged.push_back(WorldState(0xFFFFFFFFu).Packet());
    WorldState longName(1);
    longName.stream.WriteU32(0x7FFFFFFF);
    damaged.push_back(longName.Packet());
    StderrCapture cap;
    for (const net::NetPacket& packet : damaged) client->ApplyWorldState(&packet);
    client->ApplyWorldState(nullptr);
    std::string expected;
    for (size_t i = 0; i < damaged.size(); ++i)
        expected += "NetworkManager::ApplyWorldState:  Failed, damaged world state\n";
    EXPECT_EQ(cap.Take(), expected);
    EXPECT_EQ(lua.GetNumber("created"), 0);
    EXPECT_EQ(lua.Entities().GetEntityCount(), 0);

    // Without an entity manager the message is refused with a line.
    EntityManager* entities = state->entityManager;
    state->entityManager = nullptr;
    net::NetPacket good = WorldState(1).Record("Gus", 1, 2, 3, 0, 0, 0).Packet();
    StderrCapture none;
    client->ApplyWorldState(&good);
    state->entityManager = entities;
    EXPECT_EQ(none.Take(), "NetworkManager::ApplyWorldState:  Failed, EntityManager does not exist\n");
}

TEST_F(NetworkManagerTest, ServerClosingTheConnectionStopsTheClient) {
    auto client = ConnectClient();
    server.DisconnectClient();
    StderrCapture cap;
    ASSERT_TRUE(PumpUntil(*client, [&] { return !client->IsConnected(); }));
    EXPECT_EQ(cap.Take(), "We have been disconneted from the server.\n");
    client->SendChatMessage("too late");
    client->Update();
    EXPECT_EQ(client->GetReceiveCounter(), 0);
    net::NetPacket world = WorldState(1).Record("Hal", 1, 2, 3, 0, 0, 0).Packet();
    client->ApplyWorldState(&world);
    EXPECT_EQ(Npc("Hal"), nullptr);
    StderrCapture bye;
    client.reset();
    EXPECT_EQ(bye.Take(), "Network Manager getting deleted.\n");
    EXPECT_EQ(server.MessageCount(), 0u);
}

TEST_F(NetworkManagerTest, PositionsTheWorldCannotHoldAreSkippedWithALine) {
    auto client = ConnectClient();
    const double huge = 3e9, inf = std::numeric_limits<double>::infinity();
    const struct {
        double x, y, z;
    } bad[] = {{NAN, 0, 0}, {0, inf, 0}, {0, 0, -inf}, {huge, 0, 0}, {0, -huge, 0}, {2147483648.0, 0, 0}};
    // The name is printed as text.
    std::string name = "Ivy\x1b[8m";
    StderrCapture cap;
    std::string expected;
    for (const auto& position : bad) {
        // The bad record is skipped; the next one is applied.
        net::NetPacket packet = WorldState(2)
                                    .Record(name, position.x, position.y, position.z, 0, 0, 0)
                                    .Record("Jon", 7, 8, 9, 0, 0, 0)
                                    .Packet();
        client->ApplyWorldState(&packet);
        expected += "NetworkManager::ApplyWorldState:  Warning, bad position for Ivy\\x1b[8m, record skipped\n";
    }
    EXPECT_EQ(cap.Take(), expected);
    EXPECT_EQ(Npc(name.c_str()), nullptr);
    ASSERT_NE(Npc("Jon"), nullptr);
    EXPECT_EQ(Npc("Jon")->GetDimensions().Z, 9.0);

    // The edges of the range still fit once truncated.
    net::NetPacket edge = WorldState(1).Record("Jon", 2147483647.9, -2147483648.9, 0, 0, 0, 0).Packet();
    client->ApplyWorldState(&edge);
    EXPECT_EQ(Npc("Jon")->GetDimensions().X, 2147483647.0);
    EXPECT_EQ(Npc("Jon")->GetDimensions().Y, -2147483648.0);
}

TEST_F(NetworkManagerTest, OtherPlayersNeverTouchCharactersTheyDidNotMake) {
    MakePlayer();
    auto client = ConnectClient();
    // A character of the map named like a remote player.
    auto* local = new NonPlayingCharacter;
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Kim", local);
    local->SetCoordinates(1, 2, 3);
    NonPlayingCharacter* avatar = player->GetAvatar();
    avatar->SetCoordinates(5, 6, 0);

    StderrCapture cap;
    for (int i = 0; i < 2; ++i) {
        net::NetPacket moveKim =
            WorldState(2).Record("Kim", 90, 90, 90, 1, 1, 1).Record("Me", 80, 80, 0, 0, 0, 0).Packet();
        client->ApplyWorldState(&moveKim);
    }
    net::NetPacket removeKim = WorldState(1).Removal("Kim").Packet();
    client->ApplyWorldState(&removeKim);
    net::NetPacket removeMe = WorldState(1).Removal("Me").Packet();
    client->ApplyWorldState(&removeMe);
    // Reported once, however often the server repeats it.
    EXPECT_EQ(cap.Take(), "NetworkManager::ApplyWorldState:  Warning, the name Kim is taken, player not shown\n");
    EXPECT_EQ(Npc("Kim"), local);
    EXPECT_EQ(local->GetDimensions().X, 1.0);
    EXPECT_EQ(player->GetAvatar(), avatar);
    EXPECT_EQ(avatar->GetDimensions().X, 5.0);

    // A remote player deleted by a map change is forgotten, and made again
    // by the next world state, without touching what took its place.
    net::NetPacket lee = WorldState(1).Record("Lee", 10, 10, 0, 0, 0, 0).Packet();
    client->ApplyWorldState(&lee);
    ASSERT_NE(client->FindRemotePlayer("Lee"), nullptr);
    lua.Entities().DeleteEntity(Npc("Lee"));
    EXPECT_EQ(client->FindRemotePlayer("Lee"), nullptr);
    auto* mapLee = new NonPlayingCharacter;
    lua.Entities().RegisterPointer(EntityManager::kNPC, "Lee", mapLee);
    client->ApplyWorldState(&lee);
    EXPECT_EQ(Npc("Lee"), mapLee);
    lua.Entities().DeleteEntity(mapLee);
    client->ApplyWorldState(&lee);
    NonPlayingCharacter* again = client->FindRemotePlayer("Lee");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Npc("Lee"), again);

    // Removing the active entity leaves none active.
    lua.Entities().SetActiveEntity(again);
    net::NetPacket leeLeaves = WorldState(1).Removal("Lee").Packet();
    client->ApplyWorldState(&leeLeaves);
    EXPECT_EQ(Npc("Lee"), nullptr);
    EXPECT_EQ(lua.Entities().GetActiveEntity(), nullptr);
}

TEST_F(NetworkManagerTest, ServerPayloadsAreNeverTakenForConnectionNotices) {
    auto client = ConnectClient();
    // Each byte the peer layer reserves for itself, alone and timestamped.
    const uint8_t reserved[] = {16, 17, 19, 20, 21, 22, 27};
    std::string expected;
    for (uint8_t id : reserved) {
        net::BitStream alone;
        alone.WriteU8(id);
        ASSERT_TRUE(server.SendToClient(alone));
        expected += "we've received a packet from the server with ID: " + std::to_string(id) + "\n";
        net::BitStream stamped = LoopbackServer::MakeMessage(id);
        ASSERT_TRUE(server.SendToClient(stamped));
        expected += "we've received a packet from the server with ID: 27\n";
    }
    // A last world state marks the end.
    ASSERT_TRUE(server.SendToClient(WorldState(1).Record("End", 0, 0, 0, 0, 0, 0).stream));
    StderrCapture cap;
    ASSERT_TRUE(PumpUntil(*client, [&] { return Npc("End") != nullptr || !client->IsConnected(); }));
    EXPECT_EQ(cap.Take(), expected);
    EXPECT_TRUE(client->IsConnected());
}

TEST_F(NetworkManagerTest, OneTickHandlesABoundedNumberOfPackets) {
    auto client = ConnectClient();
    const int total = NetworkManager::kMaxPacketsPerPump + 10;
    for (int i = 0; i < total; ++i) {
        net::BitStream unknown = LoopbackServer::MakeMessage(140);
        ASSERT_TRUE(server.SendToClient(unknown));
    }
    ASSERT_TRUE(server.SendToClient(WorldState(1).Record("End", 0, 0, 0, 0, 0, 0).stream));
    // Give the messages time to queue up at the client, so one pump could
    // take them all if it were not bounded.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::vector<int> perPump;
    uint64_t end = net::GetTime() + 5000;
    while (!Npc("End") && net::GetTime() < end) {
        StderrCapture cap;
        client->PumpPackets();
        std::string lines = cap.Take();
        perPump.push_back(static_cast<int>(std::count(lines.begin(), lines.end(), '\n')));
    }
    ASSERT_NE(Npc("End"), nullptr);
    EXPECT_GE(perPump.size(), 2u);
    EXPECT_LE(*std::max_element(perPump.begin(), perPump.end()), NetworkManager::kMaxPacketsPerPump);
    EXPECT_EQ(std::accumulate(perPump.begin(), perPump.end(), 0), total);
}

TEST_F(NetworkManagerTest, AClientLeftWithoutTicksStaysConnected) {
    // The server loses a client that is silent for a second; the client goes
    // untouched (as on the title screen or in a transition) for far longer.
    LoopbackServer strict(1, 1000);
    settings.port = strict.Port();
    settings.timeoutMs = 1000;
    StderrCapture quiet;
    NetworkManager client(settings);
    quiet.Take();
    ASSERT_TRUE(client.IsConnected());
    ASSERT_TRUE(strict.WaitFor([&] { return strict.ClientCount() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(strict.ClientCount(), 1u);
    EXPECT_EQ(strict.Notices(), std::vector<uint8_t>{net::kNewIncomingConnection});

    // Into the game: the first state message reaches the server.
    MakePlayer();
    StderrCapture cap;
    client.Update();
    client.Update();
    EXPECT_TRUE(client.IsConnected());
    ASSERT_TRUE(strict.WaitFor([&] { return strict.MessageCount() == 1; }));
    EXPECT_EQ(strict.Messages()[0].id, netmsg::kPlayerState);
    EXPECT_EQ(cap.Take(), "");
}

TEST_F(NetworkManagerTest, AServerThatVanishesIsReportedOnceAndTheGameGoesOn) {
    settings.timeoutMs = 300;
    auto client = ConnectClient();
    MakePlayer();
    server.Vanish();
    StderrCapture cap;
    uint64_t end = net::GetTime() + 5000;
    while (client->IsConnected() && net::GetTime() < end) {
        client->Update();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(client->IsConnected());
    // Playing on alone: nothing more is sent, read or printed.
    for (int i = 0; i < 30; ++i) client->Update();
    client->SendChatMessage("anyone?");
    EXPECT_EQ(cap.Take(), "Connection to server has been lost.\n");
}

TEST_F(NetworkManagerTest, OtherPlayersAreCappedAndEachRefusedNameIsReportedOnce) {
    auto client = ConnectClient();
    const size_t cap = NetworkManager::kMaxRemotePlayers;
    WorldState crowd(static_cast<uint32_t>(cap + 2));
    for (size_t i = 0; i < cap + 2; ++i) crowd.Record("P" + std::to_string(i), 1, 1, 0, 0, 0, 0);
    const net::NetPacket packet = crowd.Packet();
    StderrCapture lines;
    for (int repeat = 0; repeat < 3; ++repeat) client->ApplyWorldState(&packet);
    const std::string shown = " players are shown already, ";
    EXPECT_EQ(lines.Take(), "NetworkManager::ApplyWorldState:  Warning, " + std::to_string(cap) + shown + "P" +
                                std::to_string(cap) + " not shown\n" + "NetworkManager::ApplyWorldState:  Warning, " +
                                std::to_string(cap) + shown + "P" + std::to_string(cap + 1) + " not shown\n");
    EXPECT_EQ(client->GetRemotePlayerCount(), cap);
    EXPECT_NE(Npc(("P" + std::to_string(cap - 1)).c_str()), nullptr);
    EXPECT_EQ(Npc(("P" + std::to_string(cap)).c_str()), nullptr);

    // A player who leaves frees a place; a map change frees them all.
    StderrCapture quiet;
    const std::string late = "P" + std::to_string(cap);
    net::NetPacket leave = WorldState(1).Removal("P0").Packet();
    net::NetPacket comes = WorldState(1).Record(late, 1, 1, 0, 0, 0, 0).Packet();
    client->ApplyWorldState(&leave);
    client->ApplyWorldState(&comes);
    EXPECT_NE(Npc(late.c_str()), nullptr);
    lua.Entities().Clear();
    net::NetPacket after = WorldState(1).Record("P0", 1, 1, 0, 0, 0, 0).Packet();
    client->ApplyWorldState(&after);
    EXPECT_NE(Npc("P0"), nullptr);
    EXPECT_EQ(client->GetRemotePlayerCount(), 1u);
    EXPECT_EQ(quiet.Take(), "");
}

TEST_F(NetworkManagerTest, LongServerTextsAreCutAndBoundTheWorkOfAPump) {
    testsupport::EnsureAllegro();
    auto* window = new GUIChatWindow;
    lua.Gui().ResetActiveObjectList();
    lua.Gui().AddObject("DefaultChatWindow", window);
    auto client = ConnectClient();
    // Six texts of 100 KiB, the first in two-byte characters: a pump stops
    // once it has handled 256 KiB. Each text is printed whole; the chat
    // window keeps it cut, never inside a character.
    std::string accented = "a";
    for (int i = 0; i < 51200; ++i) accented += "\xC3\xA9";
    const std::string plain(102400, 'b');
    for (int i = 0; i < 6; ++i) {
        net::BitStream text = LoopbackServer::MakeMessage(netmsg::kServerText);
        text.WriteText(i == 0 ? accented : plain);
        ASSERT_TRUE(server.SendToClient(text));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string printed = "Received message from server: \n" + plain + "\n";
    const std::string pumps[2] = {"Received message from server: \n" + accented + "\n" + printed + printed,
                                  printed + printed + printed};
    for (const std::string& expected : pumps) {
        testing::internal::CaptureStdout();
        StderrCapture lines;
        client->PumpPackets();
        EXPECT_TRUE(testing::internal::GetCapturedStdout() == expected);
        EXPECT_EQ(lines.Take(), "");
    }
    ASSERT_EQ(window->GetLineCount(), 6);
    EXPECT_EQ(window->GetLine(5)->text, accented.substr(0, 255));
    EXPECT_EQ(window->GetLine(0)->text, plain.substr(0, 256));
}

TEST_F(NetworkManagerTest, AMessageOverTheLimitIsRefusedWithALineAndTheConnectionGoesAtOnce) {
    // A server that sends longer messages than its clients take.
    server.SetMaximumMessageSize(2 * net::NetPeer::kMaxPacketSize);
    auto client = ConnectClient();
    net::BitStream before = LoopbackServer::MakeMessage(netmsg::kServerText);
    before.WriteText("still here");
    net::BitStream tooLong = LoopbackServer::MakeMessage(netmsg::kServerText);
    tooLong.WriteText(std::string(net::NetPeer::kMaxPacketSize, 'x'));
    testing::internal::CaptureStdout();
    StderrCapture cap;
    ASSERT_TRUE(server.SendToClient(before));
    ASSERT_TRUE(server.SendToClient(tooLong));
    // Well within the connection's time-out (10 s): the refusal closes it.
    const bool lost = PumpUntil(*client, [&] { return !client->IsConnected(); });
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Received message from server: \nstill here\n");
    ASSERT_TRUE(lost);
    EXPECT_EQ(cap.Take(), "NetPeer: refused a message of 262158 bytes from " + client->GetServerAddress().ToString() +
                              ", the limit is 262144 bytes; the connection is closed\n"
                              "Connection to server has been lost.\n");
    EXPECT_TRUE(server.WaitFor([&] { return server.ClientCount() == 0; }));
}

}  // namespace
