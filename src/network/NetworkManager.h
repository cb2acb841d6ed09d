#pragma once
// The client side of the one connection with the game server. Created at
// start-up, it connects and waits for the server's answer; afterwards the
// main game ticks it: it reads incoming packets every third tick and sends
// the player's state every second tick. It sends typed chat lines and the
// player's name, prints server text, and shows the other players as
// characters in the entity manager's "NPC" list. With "-nonetwork" it does
// nothing at all. Deleting it disconnects.
//
// The peer keeps the connection alive on its own thread in every game state
// (title screen, transitions, the main game); the packets it received wait in
// its queue and are handled here, on the main thread, when the main game
// ticks. A tick handles at most kMaxPacketsPerPump of them.
//
// The other players are characters this client made; it keeps them by name
// and touches only those, never a character of the map or the avatar that
// happens to carry the same name.
//
// Messages: every one the client sends starts with a timestamp header (27,
// the u64 time in milliseconds, the message id) and goes reliably and in
// order to the server. See NetworkMessages.h for the ids and layouts.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/net/NetTypes.h"

class EntityManager;
class NonPlayingCharacter;

namespace net {
class BitStream;
class NetPeer;
}  // namespace net

class NetworkManager {
public:
    // The game server.
    static constexpr const char* kDefaultServerHost = "localhost";
    static constexpr uint16_t kDefaultServerPort = 32004;

    // Packets handled by one PumpPackets at most; the rest wait for the
    // next tick.
    static constexpr int kMaxPacketsPerPump = 64;
    // A pump takes no further packet once it has handled this many bytes
    // (the first packet is always handled): the work of a world state and
    // of a server text grows with its size.
    static constexpr size_t kMaxBytesPerPump = 256 * 1024;
    // Other players shown at most; further names are refused with a line.
    static constexpr size_t kMaxRemotePlayers = 64;
    // Refused names remembered so that each is reported once; past this
    // many, one last line says that refusals are no longer reported.
    static constexpr size_t kMaxReportedRefusals = 1024;
    // A server text is printed whole (the peer's message limit bounds it);
    // the chat window keeps and draws it cut to this many bytes: longer
    // than any line a client can type (the chat line holds some 60
    // characters, behind the sender's name), and wider than the window.
    static constexpr size_t kMaxServerTextLength = 256;

    struct ServerSettings {
        std::string host = kDefaultServerHost;
        uint16_t port = kDefaultServerPort;
        // The connection attempt gives up after attempts x interval.
        uint32_t connectAttempts = 12;
        uint32_t attemptIntervalMs = 500;
        // How long the server may stay silent before the connection counts
        // as lost (0: the peer's default).
        uint32_t timeoutMs = 0;
    };

    // Connects to the default server, or to the one given, and waits for its
    // answer (at most connectAttempts x attemptIntervalMs, 6 s by default).
    // Nothing happens with "-nonetwork".
    NetworkManager();
    explicit NetworkManager(const ServerSettings& settings);
    // Disconnects (waiting up to 3 s for the server to confirm).
    virtual ~NetworkManager();
    NetworkManager(const NetworkManager&) = delete;
    NetworkManager& operator=(const NetworkManager&) = delete;

    bool IsConnected() const { return m_connected != 0; }
    // The text of our own network identity; empty without a peer.
    std::string GetMyGuidString() const;
    const net::NetGuid& GetServerGuid() const { return m_serverGuid; }
    const net::NetAddress& GetServerAddress() const { return m_serverAddress; }

    // Each only while connected; a null text sends nothing.
    void SendChatMessage(const char* text);
    void SendPlayerName(const char* name);
    void SendPlayerState(NonPlayingCharacter* avatar);

    // Once per main-game timer tick.
    void Update();
    // Reads and handles the waiting packets, at most kMaxPacketsPerPump.
    void PumpPackets();
    // Handles one received packet: a notice of the peer or a server message.
    void HandlePacket(const net::NetPacket& packet);
    // Handlers of the server's messages (the packet as received).
    void ReceiveServerText(const net::NetPacket* packet);
    void ApplyWorldState(const net::NetPacket* packet);

    int32_t GetSendCounter() const { return m_sendCounter; }
    int32_t GetReceiveCounter() const { return m_receiveCounter; }
    // The character this client made for a remote player of that name and
    // that is still in the entity manager's lists, or null.
    NonPlayingCharacter* FindRemotePlayer(const std::string& name);
    size_t GetRemotePlayerCount() const { return m_remotePlayers.size(); }

private:
    // A character made for a remote player. The id tells it apart from a
    // later object that the allocator placed at the same address.
    struct RemotePlayer {
        NonPlayingCharacter* character = nullptr;
        int32_t id = 0;
    };

    // Makes, registers and scripts the character of a new remote player;
    // null (with a line) when the name is taken, the players are at their
    // cap, or the script removed it.
    NonPlayingCharacter* CreateRemotePlayer(const std::string& name);
    // Forgets the players whose characters left the entity manager's lists
    // (a map change deletes them). Nothing to do, and no walk, while the
    // entity manager has removed nothing since the last call.
    void ForgetGonePlayers(EntityManager* entities);
    void Connect(const ServerSettings& settings);
    // Header, message id; the caller appends the payload.
    static void WriteHeader(net::BitStream& stream, uint8_t id);
    void SendToServer(const net::BitStream& stream, uint8_t channel);

    net::NetPeer* m_peer = nullptr;
    uint8_t m_connected = 0;
    uint8_t m_networkOff = 0;  // "-nonetwork" when made
    net::NetGuid m_serverGuid;
    net::NetAddress m_serverAddress;
    int32_t m_sendInterval = 2;
    int32_t m_sendCounter = 0;
    int32_t m_receiveInterval = 3;
    int32_t m_receiveCounter = 0;
    std::map<std::string, RemotePlayer> m_remotePlayers;
    // Remote names already reported as taken, so each is reported once.
    std::set<std::string> m_reportedClashes;
    // Names refused for the cap and reported (kMaxReportedRefusals at most).
    std::set<std::string> m_reportedRefusals;
    bool m_refusalsMuted = false;
    // The entity manager and its removal count at the last liveness check.
    const EntityManager* m_checkedEntities = nullptr;
    uint64_t m_checkedRemovals = 0;
};
