#pragma once
// A server on 127.0.0.1 for clients of the network layer, used by the
// network tests (in the test process) and by netrelay: a network peer
// listening at a free or given port, read by a thread of its own (the
// client's start-up blocks while it waits for the server's answer, so the
// server cannot be read from the caller's own loop). It records what
// clients send, or hands it to a handler, and sends what it is asked to.
//
//   relay::LoopbackServer server;
//   NetworkManager::ServerSettings settings;
//   settings.host = "127.0.0.1";
//   settings.port = server.Port();
//   NetworkManager client(settings);
//   server.WaitFor([&] { return server.MessageCount() == 1; });
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/BitStream.h"
#include "platform/net/NetTypes.h"

namespace net {
class NetPeer;
}

namespace relay {

class LoopbackServer {
public:
    // A message a client sent: the header's parts, the payload after it,
    // the channel. Untimestamped messages keep all their bytes as payload
    // with id 0.
    struct Message {
        bool timestamped = false;
        uint64_t time = 0;
        uint8_t id = 0;
        uint8_t channel = 0;
        std::vector<uint8_t> payload;
        net::BitStream Payload() const { return net::BitStream(payload.data(), payload.size()); }
    };

    // Accepts up to maxClients connections (0: every client is told the
    // server is full). A client silent for timeoutMs is lost (0: the
    // peer's default). Port 0 is any free port; Port() is 0 when the
    // server could not start.
    explicit LoopbackServer(uint32_t maxClients = 1, uint32_t timeoutMs = 0, uint16_t port = 0);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    uint16_t Port() const { return m_port; }
    // The longest message sent or received (0: the network layer's limit);
    // raised, the server can send what its clients refuse.
    void SetMaximumMessageSize(size_t bytes);

    // Polls the condition (under the server's lock, which the accessors
    // below may take again) until it holds or the
    // time runs out; false on time-out.
    bool WaitFor(const std::function<bool()>& done, uint32_t timeoutMs = 5000);

    // Copies, under the lock.
    std::vector<Message> Messages();
    size_t MessageCount();
    // The layer's notices seen (19 new client, 21 closed, 22 lost).
    std::vector<uint8_t> Notices();
    size_t ClientCount();
    std::string ServerGuid();

    // A message with the timestamp header and the id; append the payload.
    static net::BitStream MakeMessage(uint8_t id);
    // Sends raw bytes to the newest client (channel 0). False when none.
    bool SendToClient(const net::BitStream& stream);
    // Closes the newest client's connection gracefully.
    void DisconnectClient();
    // Stops at once without telling the clients, as a crashed server would.
    void Vanish();
    // Called on the server's thread for each message a client sends,
    // instead of recording it (the lock held; the server may be used from
    // it). Null: record again.
    void SetOnMessage(std::function<void(const net::NetAddress& from, const Message& message)> handler);
    // The same for the layer's notices (19 new client, 21 closed, 22 lost).
    void SetOnNotice(std::function<void(const net::NetAddress& from, uint8_t notice)> handler);
    // Sends raw bytes to one client (channel 0). False when it is gone.
    bool SendTo(const net::NetAddress& client, const net::BitStream& stream);
    // Every connected client, oldest first.
    std::vector<net::NetAddress> Clients();

private:
    void Run();

    net::NetPeer* m_peer = nullptr;
    uint16_t m_port = 0;
    std::recursive_mutex m_mutex;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::vector<Message> m_messages;
    std::vector<uint8_t> m_notices;
    std::vector<net::NetAddress> m_clients;
    std::function<void(const net::NetAddress&, const Message&)> m_onMessage;
    std::function<void(const net::NetAddress&, uint8_t)> m_onNotice;
};

}  // namespace relay
