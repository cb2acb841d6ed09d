#include "network/NetworkManager.h"

#include <cmath>
#include <cstdio>
#include <unordered_set>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/base/TextUtils.h"
#include "core/media/DisplayManager.h"
#include "core/script/LuaManager.h"
#include "core/script/ScriptArgs.h"
#include "gui/GUIManager.h"
#include "network/GUIChatWindow.h"
#include "network/NetworkMessages.h"
#include "platform/net/BitStream.h"
#include "platform/net/NetPeer.h"
#include "world/EntityManager.h"
#include "world/NonPlayingCharacter.h"
#include "world/PlayerVorn.h"

namespace {

// Remote players are shown with this character script.
constexpr const char* kRemotePlayerScript = "Data/Scripts/NPCs/Bramle/Constructor.lua";
// Waits inside the network layer while the server's answer is awaited.
constexpr uint32_t kAnswerWaitMs = 10;
// Extra grace on top of the attempts before the wait gives up by itself.
constexpr uint64_t kAnswerGraceMs = 2000;
// The disconnect waits this long for the server to confirm.
constexpr uint32_t kShutdownBlockMs = 3000;

// The id of a message from the server: byte 9 after a timestamp header,
// else byte 0; -1 for an empty packet. Notices of the peer layer are told
// apart by NetPacket::notice, never by these bytes.
int PacketId(const net::NetPacket& packet) {
    if (packet.data.empty()) return -1;
    if (packet.data[0] == net::kTimestamp && packet.data.size() >= netmsg::kHeaderSize) return packet.data[9];
    return packet.data[0];
}

void ReportUnknown(const net::NetPacket& packet) {
    std::fprintf(stderr, "we've received a packet from the server with ID: %i\n",
                 packet.data.empty() ? -1 : static_cast<int>(packet.data[0]));
}

// One record of a world-state message.
struct WorldRecord {
    std::string name;
    double x = 0.0, y = 0.0, z = 0.0;
    bool removal = false;
    int32_t direction = 0, timer = 0, state = 0;
};

// Reads the whole message first, so that a damaged one changes nothing.
// Reading stops after a removal record: it ends the message.
bool ParseWorldState(const net::NetPacket& packet, std::vector<WorldRecord>& records) {
    net::BitStream stream(packet.Data(), packet.Length());
    uint32_t count = 0;
    if (!stream.IgnoreBytes(netmsg::kHeaderSize) || !stream.ReadU32(count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        WorldRecord record;
        if (!stream.ReadText(record.name) || !stream.ReadDouble(record.x) || !stream.ReadDouble(record.y) ||
            !stream.ReadDouble(record.z))
            return false;
        record.removal = record.x == netmsg::kRemovalCoordinate && record.y == netmsg::kRemovalCoordinate &&
                         record.z == netmsg::kRemovalCoordinate;
        if (!record.removal &&
            (!stream.ReadI32(record.direction) || !stream.ReadI32(record.timer) || !stream.ReadI32(record.state)))
            return false;
        records.push_back(std::move(record));
        if (records.back().removal) break;
    }
    return true;
}

bool InNPCList(EntityManager* entities, const NonPlayingCharacter* character) {
    NamedList* npcs = entities->GetSubList(EntityManager::kNPC);
    return npcs && npcs->ContainsValue(character);
}

// A coordinate the world can hold: finite and, truncated toward zero,
// within the 32-bit range.
bool UsableCoordinate(double value) { return std::isfinite(value) && value > -2147483649.0 && value < 2147483648.0; }

// Names are plain texts: nothing after a zero byte counts.
std::string PlainText(const std::string& text) { return std::string(text.c_str()); }

// Cuts the text to at most `limit` bytes, never inside a UTF-8 sequence.
void CutText(std::string& text, size_t limit) {
    if (text.size() <= limit) return;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
}

}  // namespace

NetworkManager::NetworkManager() : NetworkManager(ServerSettings()) {}

NetworkManager::NetworkManager(const ServerSettings& settings) {
    m_networkOff = GetGlobalState()->noNetwork ? 1 : 0;
    if (m_networkOff) return;
    Connect(settings);
}

void NetworkManager::Connect(const ServerSettings& settings) {
    m_peer = net::NetPeer::GetInstance();
    if (!m_peer) return;
    std::fputs("Obtained instance of RakNet, starting it up.\n", stderr);
    if (m_peer->Startup(1, net::SocketDescriptor()) != net::StartResult::kStarted) return;
    std::fputs("Startup of RakNet successful, attempting to connect to server.\n", stderr);
    if (m_peer->Connect(settings.host, settings.port, settings.connectAttempts, settings.attemptIntervalMs,
                        settings.timeoutMs) != net::ConnectResult::kStarted) {
        std::fputs("Failed to connect to server. Problem occurred while attempting to run RakPeerInteface::Connect\n",
                   stderr);
        return;
    }

    // The peer answers within the attempts; the grace is only a backstop so
    // start-up can never hang here.
    const uint64_t giveUp =
        net::GetTime() +
        static_cast<uint64_t>(settings.connectAttempts ? settings.connectAttempts : 1) * settings.attemptIntervalMs +
        kAnswerGraceMs;
    bool answered = false;
    while (!answered) {
        // A window closed meanwhile ends the wait, and the program with it.
        DisplayManager* display = GetGlobalState()->displayManager;
        if (display && display->PollCloseRequest()) break;
        if (net::GetTime() >= giveUp) {
            std::fputs("Failed to connect to the server.\n", stderr);
            break;
        }
        // Packets after the answer stay queued for the main game.
        for (net::NetPacket* packet = m_peer->Receive(kAnswerWaitMs); packet && !answered;
             packet = answered ? nullptr : m_peer->Receive()) {
            switch (packet->notice) {
                case net::kConnectionRequestAccepted:
                    m_connected = 1;
                    std::fputs("Our connection request has been accepted, connected with the server now.\n", stderr);
                    std::fputs("Client is now online.\n", stderr);
                    m_serverAddress = packet->sender;
                    m_serverGuid = packet->guid;
                    std::fprintf(stderr, "server address: %s server GUID: %s\n", m_serverAddress.ToString().c_str(),
                                 m_serverGuid.ToString().c_str());
                    answered = true;
                    break;
                case net::kConnectionAttemptFailed:
                    std::fputs("Failed to connect to the server.\n", stderr);
                    answered = true;
                    break;
                case net::kNoFreeIncomingConnections:
                    std::fputs("Connection attempt failed, server is currently full.\n", stderr);
                    answered = true;
                    break;
                case net::kDisconnectionNotification:
                    std::fputs("We have been disconneted from the server.\n", stderr);
                    answered = true;
                    break;
                case net::kConnectionLost:
                    std::fputs("Connection to server has been lost.\n", stderr);
                    answered = true;
                    break;
                default: ReportUnknown(*packet); break;
            }
            m_peer->DeallocatePacket(packet);
        }
    }
}

NetworkManager::~NetworkManager() {
    if (m_networkOff) return;
    std::fputs("Network Manager getting deleted.\n", stderr);
    if (!m_peer) return;
    if (m_connected) {
        std::fputs("Sending disconnect signal.\n", stderr);
        std::fprintf(stderr, "server GUID is: %s\n", m_serverGuid.ToString().c_str());
        m_peer->Shutdown(kShutdownBlockMs);
    }
    net::NetPeer::DestroyInstance(m_peer);
    m_peer = nullptr;
}

std::string NetworkManager::GetMyGuidString() const { return m_peer ? m_peer->GetMyGUID().ToString() : std::string(); }

void NetworkManager::WriteHeader(net::BitStream& stream, uint8_t id) {
    stream.WriteU8(net::kTimestamp);
    stream.WriteU64(net::GetTime());
    stream.WriteU8(id);
}

void NetworkManager::SendToServer(const net::BitStream& stream, uint8_t channel) {
    // A connection that just went down is reported once, by the peer's
    // notice that follows; a send that fails on a live one is reported here.
    if (!m_peer->Send(stream, channel, m_serverAddress) && m_peer->GetConnectionCount() > 0)
        std::fputs("NetworkManager:  Warning, a message to the server could not be sent\n", stderr);
}

void NetworkManager::SendChatMessage(const char* text) {
    if (!m_peer || !m_connected || !text) return;
    net::BitStream stream;
    WriteHeader(stream, netmsg::kChatText);
    stream.WriteText(text);
    SendToServer(stream, netmsg::kChatChannel);
}

void NetworkManager::SendPlayerName(const char* name) {
    if (!m_peer || !m_connected || !name) return;
    net::BitStream stream;
    WriteHeader(stream, netmsg::kPlayerName);
    stream.WriteText(name);
    SendToServer(stream, netmsg::kStateChannel);
}

void NetworkManager::SendPlayerState(NonPlayingCharacter* avatar) {
    if (!m_peer || !m_connected || !avatar) return;
    const Dimensions dimensions = avatar->GetDimensions();
    net::BitStream stream;
    WriteHeader(stream, netmsg::kPlayerState);
    stream.WriteText(avatar->GetInternalName());
    stream.WriteDouble(dimensions.X);
    stream.WriteDouble(dimensions.Y);
    stream.WriteDouble(dimensions.Z);
    stream.WriteI32(avatar->GetAnimDirection());
    stream.WriteI32(avatar->GetAnimTimer());
    stream.WriteI32(avatar->GetActiveState());
    SendToServer(stream, netmsg::kStateChannel);
}

void NetworkManager::Update() {
    if (!m_connected) return;
    ++m_receiveCounter;
    // Held at the interval while there is no avatar, so the state goes out
    // on the first tick that has one (and the counter cannot overflow).
    if (m_sendCounter < m_sendInterval) ++m_sendCounter;
    if (m_receiveCounter >= m_receiveInterval) {
        PumpPackets();
        m_receiveCounter = 0;
    }
    if (m_sendCounter >= m_sendInterval) {
        PlayerVorn* player = GetGlobalState()->player;
        NonPlayingCharacter* avatar = player ? player->GetAvatar() : nullptr;
        if (avatar) {
            SendPlayerState(avatar);
            m_sendCounter = 0;
        }
    }
}

void NetworkManager::PumpPackets() {
    if (!m_peer || !m_connected) return;
    size_t bytes = 0;
    for (int handled = 0; handled < kMaxPacketsPerPump && m_connected && bytes < kMaxBytesPerPump; ++handled) {
        net::NetPacket* packet = m_peer->Receive();
        if (!packet) break;
        bytes += packet->Length();
        HandlePacket(*packet);
        m_peer->DeallocatePacket(packet);
    }
}

void NetworkManager::HandlePacket(const net::NetPacket& packet) {
    if (packet.IsNotice()) {
        switch (packet.notice) {
            case net::kDisconnectionNotification:
                m_connected = 0;
                std::fputs("We have been disconneted from the server.\n", stderr);
                break;
            case net::kConnectionLost:
                m_connected = 0;
                std::fputs("Connection to server has been lost.\n", stderr);
                break;
            default: ReportUnknown(packet); break;
        }
        return;
    }
    switch (PacketId(packet)) {
        case netmsg::kChatText:
        case netmsg::kServerText:
        case netmsg::kServerText2:
        case netmsg::kServerText3:
        case netmsg::kServerText4: ReceiveServerText(&packet); break;
        case netmsg::kPlayerState: ApplyWorldState(&packet); break;
        default: ReportUnknown(packet); break;
    }
}

void NetworkManager::ReceiveServerText(const net::NetPacket* packet) {
    if (!packet) return;
    net::BitStream stream(packet->Data(), packet->Length());
    std::string text;
    if (!stream.IgnoreBytes(netmsg::kHeaderSize) || !stream.ReadText(text)) {
        std::fputs("NetworkManager::ReceiveServerText:  Failed, damaged message\n", stderr);
        return;
    }
    // Server texts are plain texts: nothing after a zero byte counts.
    text = PlainText(text);
    std::printf("Received message from server: \n%s\n", PrintableText(text).c_str());
    std::fflush(stdout);
    GUIManager* gui = GetGlobalState()->guiManager;
    GUIBaseObject* window = gui ? gui->FindObject("DefaultChatWindow") : nullptr;
    if (window && window->GetType() == kTypeGUIChatWindow) {
        CutText(text, kMaxServerTextLength);
        static_cast<GUIChatWindow*>(window)->AddLine(text, GUIChatWindow::kDefaultKind);
    }
}

NonPlayingCharacter* NetworkManager::FindRemotePlayer(const std::string& name) {
    EntityManager* entities = GetGlobalState()->entityManager;
    if (!entities) {
        m_remotePlayers.clear();
        return nullptr;
    }
    ForgetGonePlayers(entities);
    auto it = m_remotePlayers.find(name);
    return it == m_remotePlayers.end() ? nullptr : it->second.character;
}

void NetworkManager::ForgetGonePlayers(EntityManager* entities) {
    const uint64_t removals = entities->GetRemovalCount();
    if (entities == m_checkedEntities && removals == m_checkedRemovals) return;
    m_checkedEntities = entities;
    m_checkedRemovals = removals;
    if (m_remotePlayers.empty()) return;
    // A map change deletes every entity, ours with them: what is no longer
    // registered is forgotten without being touched (its id tells a later
    // object at the same address apart).
    std::unordered_set<const void*> registered;
    if (NamedList* npcs = entities->GetSubList(EntityManager::kNPC))
        for (NamedList::Node* node = npcs->GetHead(); node; node = node->next) registered.insert(node->value);
    for (auto it = m_remotePlayers.begin(); it != m_remotePlayers.end();) {
        if (registered.count(it->second.character) && it->second.character->GetID() == it->second.id)
            ++it;
        else
            it = m_remotePlayers.erase(it);
    }
}

NonPlayingCharacter* NetworkManager::CreateRemotePlayer(const std::string& name) {
    GlobalState* state = GetGlobalState();
    EntityManager* entities = state->entityManager;
    if (m_remotePlayers.size() >= kMaxRemotePlayers) {
        if (m_reportedRefusals.count(name)) return nullptr;
        if (m_reportedRefusals.size() < kMaxReportedRefusals) {
            m_reportedRefusals.insert(name);
            std::fprintf(stderr,
                         "NetworkManager::ApplyWorldState:  Warning, %zu players are shown already, %s not shown\n",
                         kMaxRemotePlayers, PrintableText(name).c_str());
        } else if (!m_refusalsMuted) {
            m_refusalsMuted = true;
            std::fputs("NetworkManager::ApplyWorldState:  Warning, further players refused are not reported\n", stderr);
        }
        return nullptr;
    }
    // A character of the map (or the player's reserved name) keeps its name.
    if (entities->GetEntity(EntityManager::kNPC, name.c_str()) || name == EntityManager::kPlayerName) {
        if (m_reportedClashes.insert(name).second)
            std::fprintf(stderr, "NetworkManager::ApplyWorldState:  Warning, the name %s is taken, player not shown\n",
                         PrintableText(name).c_str());
        return nullptr;
    }
    auto* character = new NonPlayingCharacter;
    character->SetInternalName(name);
    character->SetDefaultScript(kRemotePlayerScript);
    entities->RegisterPointer(EntityManager::kNPC, name.c_str(), character);
    entities->SetActiveEntity(character);
    const int32_t id = character->GetID();
    if (LuaManager* lua = state->luaManager) lua->RunFile(kRemotePlayerScript, 1);
    // The script may have removed (and so deleted) the character.
    if (!InNPCList(entities, character) || character->GetID() != id) {
        std::fprintf(stderr, "NetworkManager::ApplyWorldState:  Warning, %s was removed by its script\n",
                     PrintableText(name).c_str());
        return nullptr;
    }
    character->SetInternalName(name);
    m_remotePlayers[name] = RemotePlayer{character, id};
    return character;
}

void NetworkManager::ApplyWorldState(const net::NetPacket* packet) {
    if (!m_connected || !packet) return;
    std::vector<WorldRecord> records;
    if (!ParseWorldState(*packet, records)) {
        std::fputs("NetworkManager::ApplyWorldState:  Failed, damaged world state\n", stderr);
        return;
    }
    GlobalState* state = GetGlobalState();
    EntityManager* entities = state->entityManager;
    if (!entities) {
        std::fputs("NetworkManager::ApplyWorldState:  Failed, EntityManager does not exist\n", stderr);
        return;
    }
    const std::string localName = state->player ? state->player->GetName() : std::string();

    for (const WorldRecord& record : records) {
        const std::string name = PlainText(record.name);
        // Our own state, as the server saw it: nothing to do.
        if (state->player && name == localName) {
            if (record.removal) break;
            continue;
        }
        if (!record.removal &&
            !(UsableCoordinate(record.x) && UsableCoordinate(record.y) && UsableCoordinate(record.z))) {
            std::fprintf(stderr, "NetworkManager::ApplyWorldState:  Warning, bad position for %s, record skipped\n",
                         PrintableText(name).c_str());
            continue;
        }
        NonPlayingCharacter* character = FindRemotePlayer(name);
        if (!character) character = CreateRemotePlayer(name);
        if (record.removal) {
            // A removal ends the message, whether or not the player was shown.
            if (character) {
                m_remotePlayers.erase(name);
                entities->DeleteEntity(character);
            }
            break;
        }
        if (!character) continue;
        character->SetCoordinates(static_cast<int32_t>(record.x), static_cast<int32_t>(record.y),
                                  static_cast<int32_t>(record.z));
        character->SetAnimTimerAndDirection(record.timer, record.direction);
        character->SetActiveStateByIndex(record.state);
    }
}
