#pragma once
// The network manager's tests' fixture: a loopback server, a client
// connected to it with the script host and the managers, and the world-state
// messages the server sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "core/base/GlobalState.h"
#include "network/NetworkManager.h"
#include "network/NetworkMessages.h"
#include "platform/net/BitStream.h"
#include "relay/LoopbackServer.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PlayerVorn.h"

namespace nettest {

using relay::LoopbackServer;
using testsupport::StderrCapture;

constexpr const char* kScript = "Data/Scripts/NPCs/Bramle/Constructor.lua";

// Counts its runs, renames the character (the caller must name it again),
// gives it three states, and removes a character when asked to.
constexpr const char* kScriptText =
    "created = (created or 0) + 1\n"
    "NPC_SetInternalName(\"Renamed\")\n"
    "NPC_AllocateStateVariables(3)\n"
    "if removeName then EM_NPC_RemoveNPC(removeName) end\n";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A world-state message under construction.
struct WorldState {
    net::BitStream stream = LoopbackServer::MakeMessage(netmsg::kPlayerState);
    explicit WorldState(uint32_t count) { stream.WriteU32(count); }
    WorldState& Record(const std::string& name, double x, double y, double z, int32_t dir, int32_t timer,
                       int32_t state) {
        stream.WriteText(name);
        stream.WriteDouble(x);
        stream.WriteDouble(y);
        stream.WriteDouble(z);
        stream.WriteI32(dir);
        stream.WriteI32(timer);
        stream.WriteI32(state);
        return *this;
    }
    WorldState& Removal(const std::string& name) {
        stream.WriteText(name);
        for (int i = 0; i < 3; ++i) stream.WriteDouble(netmsg::kRemovalCoordinate);
        return *this;
    }
    net::NetPacket Packet(size_t cut = 0) const {
        net::NetPacket packet;
        packet.data.assign(stream.GetData(), stream.GetData() + stream.GetLength() - cut);
        return packet;
    }
};

class NetworkManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.WriteFile(kScript, kScriptText);
        state = GetGlobalState();
        savedPlayer = state->player;
        savedNoNetwork = state->noNetwork;
        state->noNetwork = 0;
        state->player = nullptr;
        settings.host = "127.0.0.1";
        settings.port = server.Port();
        ASSERT_NE(settings.port, 0);
    }
    void TearDown() override {
        player.reset();
        state->player = savedPlayer;
        state->noNetwork = savedNoNetwork;
    }

    std::unique_ptr<NetworkManager> ConnectClient() {
        StderrCapture quiet;
        auto client = std::make_unique<NetworkManager>(settings);
        EXPECT_TRUE(client->IsConnected());
        EXPECT_TRUE(server.WaitFor([&] { return server.ClientCount() == 1; }));
        return client;
    }
    // The local player "Me" with an avatar made by the script.
    void MakePlayer() {
        player = std::make_unique<PlayerVorn>();
        state->player = player.get();
        player->SetName("Me");
        player->SetAvatarScript(kScript);
        player->CreateAvatar();
        ASSERT_NE(player->GetAvatar(), nullptr);
    }
    NonPlayingCharacter* Npc(const char* name) {
        return dynamic_cast<NonPlayingCharacter*>(lua.Entities().GetEntity(EntityManager::kNPC, name));
    }
    // Reads packets until the condition holds (the server's thread delivers).
    bool PumpUntil(NetworkManager& client, const std::function<bool()>& done) {
        uint64_t end = net::GetTime() + 5000;
        while (!done()) {
            if (net::GetTime() > end) return false;
            client.PumpPackets();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    testsupport::TempDir dir;
    testsupport::LuaTestState lua;
    LoopbackServer server;
    NetworkManager::ServerSettings settings;
    GlobalState* state = nullptr;
    PlayerVorn* savedPlayer = nullptr;
    uint8_t savedNoNetwork = 0;
    std::unique_ptr<PlayerVorn> player;
};

}  // namespace nettest
