// Server packets under damage, handled as the network client handles what
// its peer received. The client is connected to a loopback server once;
// each input becomes one received packet: the first byte chooses between a
// server message (the rest, as received) and one of the peer's harmless
// notices. Other players may come and go, but a character of the map and
// the player's avatar never move, and every character the client made for
// another player is still registered.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "network/NetworkManager.h"
#include "relay/LoopbackServer.h"
#include "support/FuzzSupport.h"
#include "support/LuaTestState.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PlayerVorn.h"

using fuzzsupport::Check;

namespace {

constexpr const char* kScript = "Data/Scripts/NPCs/Bramle/Constructor.lua";

struct World {
    testsupport::LuaTestState lua;
    relay::LoopbackServer server;
    std::unique_ptr<NetworkManager> client;
    std::unique_ptr<PlayerVorn> player;
};

World* g_world = nullptr;

// The map's own character and the avatar, made once; the characters of other
// players are deleted after every input.
void SetTheScene(World& world) {
    EntityManager& entities = world.lua.Entities();
    if (!entities.GetEntity(EntityManager::kNPC, "Kim")) {
        auto* kim = new NonPlayingCharacter;
        entities.RegisterPointer(EntityManager::kNPC, "Kim", kim);
    }
    if (!world.player->GetAvatar()) world.player->CreateAvatar();
    static_cast<NonPlayingCharacter*>(entities.GetEntity(EntityManager::kNPC, "Kim"))->SetCoordinates(1, 2, 3);
    if (NonPlayingCharacter* avatar = world.player->GetAvatar()) avatar->SetCoordinates(5, 6, 0);
}

void RemoveOtherPlayers(World& world) {
    EntityManager& entities = world.lua.Entities();
    NamedList* npcs = entities.GetSubList(EntityManager::kNPC);
    std::vector<RootEntity*> others;
    for (int i = 0; npcs && i < npcs->GetCount(); ++i) {
        auto* entity = static_cast<RootEntity*>(npcs->GetAt(i));
        if (entity != world.player->GetAvatar() && entity != entities.GetEntity(EntityManager::kNPC, "Kim"))
            others.push_back(entity);
    }
    for (RootEntity* entity : others) entities.DeleteEntity(entity);
}

// Made on the first input, inside the work folder.
World& TheWorld() {
    if (g_world) return *g_world;
    fuzzsupport::WriteWholeFile(kScript,
                                "if NPC_GetScriptVariableI('Built') == 1 then return end\n"
                                "NPC_AddScriptVariableI('Built', 1)\n"
                                "NPC_SetCoordinateData(0, 0, 0, 18, 26, 28)\n"
                                "NPC_AllocateStateVariables(5)\n");
    g_world = new World;
    GlobalState* state = GetGlobalState();
    state->noNetwork = 0;
    NetworkManager::ServerSettings settings;
    settings.host = "127.0.0.1";
    settings.port = g_world->server.Port();
    g_world->client = std::make_unique<NetworkManager>(settings);
    if (!g_world->client->IsConnected()) fuzzsupport::Broken("the client cannot reach the loopback server");
    g_world->player = std::make_unique<PlayerVorn>();
    state->player = g_world->player.get();
    g_world->player->SetName("Me");
    g_world->player->SetAvatarScript(kScript);
    return *g_world;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::EnterWorkFolder();
    World& world = TheWorld();
    SetTheScene(world);
    fuzzsupport::InputReader input(data, size);
    const uint8_t mode = input.Byte();
    net::NetPacket packet;
    if (mode & 1) {
        // Notices that leave the connection up.
        static const uint8_t kNotices[] = {net::kConnectionRequestAccepted, net::kConnectionAttemptFailed,
                                           net::kNewIncomingConnection, net::kNoFreeIncomingConnections};
        packet.notice = kNotices[(mode >> 1) & 3];
        packet.data.push_back(packet.notice);
    } else {
        packet.data.assign(input.Rest(), input.Rest() + input.RestSize());
        if (packet.data.empty()) return 0;  // the peer never hands out an empty packet
    }
    world.client->HandlePacket(packet);
    Check(world.client->IsConnected(), "a packet ended the connection");

    EntityManager& entities = world.lua.Entities();
    auto* kim = dynamic_cast<NonPlayingCharacter*>(entities.GetEntity(EntityManager::kNPC, "Kim"));
    Check(kim != nullptr, "a packet removed the map's character");
    Check(kim->GetDimensions().X == 1 && kim->GetDimensions().Y == 2, "a packet moved the map's character");
    Check(world.client->FindRemotePlayer("Kim") == nullptr, "a remote player took the map character's name");
    NonPlayingCharacter* avatar = world.player->GetAvatar();
    Check(avatar != nullptr, "a packet removed the avatar");
    Check(avatar->GetDimensions().X == 5 && avatar->GetDimensions().Y == 6, "a packet moved the avatar");
    RemoveOtherPlayers(world);
    return 0;
}
