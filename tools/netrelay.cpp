// netrelay: a relay for trying the network client by hand and in tests. It
// is not a game server: it listens on 127.0.0.1 and passes what each client
// sends on to the others, so that two clients on one machine see each other
// walk and chat.
//
//   netrelay [-port N] [-seconds S] [-timeout MS]
//
// Port 32004 (the client's default) unless given; it stops by itself after
// S seconds (3600 unless given) or on Ctrl-C. A client silent for MS
// milliseconds counts as lost (the network layer's default unless given).
//
// What it does with each message:
//   chat line (130)    sent to every client, the sender included, as 130
//   player name (132)  printed
//   player state (133) sent to every other client as a world state (133)
//                      with one record
//   a client leaving   a removal record for its avatar sent to the others
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>

#include "core/base/TextUtils.h"
#include "network/NetworkMessages.h"
#include "platform/net/BitStream.h"
#include "relay/LoopbackServer.h"

using relay::LoopbackServer;

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) { g_stop = true; }

uint64_t Key(const net::NetAddress& address) { return (uint64_t{address.host} << 16) | address.port; }

class Relay {
public:
    explicit Relay(LoopbackServer& server) : m_server(server) {}

    void OnMessage(const net::NetAddress& from, const LoopbackServer::Message& message) {
        if (!message.timestamped) {
            std::printf("%s: ignored a message without a timestamp\n", from.ToString().c_str());
            return;
        }
        net::BitStream in = message.Payload();
        switch (message.id) {
            case netmsg::kChatText: {
                std::string line;
                if (!in.ReadText(line)) break;
                std::printf("%s says: %s\n", from.ToString().c_str(), PrintableText(line.c_str()).c_str());
                net::BitStream out = LoopbackServer::MakeMessage(netmsg::kChatText);
                out.WriteText(line);
                for (const net::NetAddress& client : m_server.Clients()) m_server.SendTo(client, out);
                return;
            }
            case netmsg::kPlayerName: {
                std::string name;
                if (!in.ReadText(name)) break;
                std::printf("%s is called %s\n", from.ToString().c_str(), PrintableText(name.c_str()).c_str());
                return;
            }
            case netmsg::kPlayerState: {
                std::string avatar;
                double x = 0, y = 0, z = 0;
                int32_t direction = 0, timer = 0, state = 0;
                if (!in.ReadText(avatar) || !in.ReadDouble(x) || !in.ReadDouble(y) || !in.ReadDouble(z) ||
                    !in.ReadI32(direction) || !in.ReadI32(timer) || !in.ReadI32(state))
                    break;
                std::string& known = m_avatars[Key(from)];
                if (known != avatar)
                    std::printf("%s walks as %s\n", from.ToString().c_str(), PrintableText(avatar.c_str()).c_str());
                known = avatar;
                net::BitStream out = LoopbackServer::MakeMessage(netmsg::kPlayerState);
                out.WriteU32(1);
                out.WriteText(avatar);
                out.WriteDouble(x);
                out.WriteDouble(y);
                out.WriteDouble(z);
                out.WriteI32(direction);
                out.WriteI32(timer);
                out.WriteI32(state);
                SendToOthers(from, out);
                return;
            }
            default: std::printf("%s: ignored message %d\n", from.ToString().c_str(), message.id); return;
        }
        std::printf("%s: ignored a damaged message %d\n", from.ToString().c_str(), message.id);
    }

    void OnNotice(const net::NetAddress& from, uint8_t notice) {
        if (notice == net::kNewIncomingConnection) {
            std::printf("%s joined\n", from.ToString().c_str());
            return;
        }
        if (notice != net::kDisconnectionNotification && notice != net::kConnectionLost) return;
        std::printf("%s %s\n", from.ToString().c_str(), notice == net::kConnectionLost ? "was lost" : "left");
        auto it = m_avatars.find(Key(from));
        if (it == m_avatars.end()) return;
        net::BitStream out = LoopbackServer::MakeMessage(netmsg::kPlayerState);
        out.WriteU32(1);
        out.WriteText(it->second);
        for (int i = 0; i < 3; ++i) out.WriteDouble(netmsg::kRemovalCoordinate);
        m_avatars.erase(it);
        SendToOthers(from, out);
    }

private:
    void SendToOthers(const net::NetAddress& from, const net::BitStream& out) {
        for (const net::NetAddress& client : m_server.Clients())
            if (!(client == from)) m_server.SendTo(client, out);
    }

    LoopbackServer& m_server;
    std::map<uint64_t, std::string> m_avatars;  // by client
};

bool ReadNumber(const char* text, long minimum, long maximum, long& out) {
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (!end || *end != '\0' || end == text || value < minimum || value > maximum) return false;
    out = value;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    long port = 32004, seconds = 3600, timeoutMs = 0;
    for (int i = 1; i < argc; ++i) {
        long* target = nullptr;
        long minimum = 0, maximum = 0;
        if (std::strcmp(argv[i], "-port") == 0) {
            target = &port, minimum = 1, maximum = 65535;
        } else if (std::strcmp(argv[i], "-seconds") == 0) {
            target = &seconds, minimum = 1, maximum = 24 * 3600;
        } else if (std::strcmp(argv[i], "-timeout") == 0) {
            target = &timeoutMs, minimum = 0, maximum = 600000;
        }
        if (!target || i + 1 >= argc || !ReadNumber(argv[i + 1], minimum, maximum, *target)) {
            std::fprintf(stderr, "usage: netrelay [-port N] [-seconds S] [-timeout MS]\n");
            return 2;
        }
        ++i;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);

    LoopbackServer server(16, static_cast<uint32_t>(timeoutMs), static_cast<uint16_t>(port));
    if (server.Port() == 0) {
        std::fprintf(stderr, "netrelay: could not listen on 127.0.0.1:%ld\n", port);
        return 1;
    }
    Relay relay(server);
    server.SetOnMessage([&relay](const net::NetAddress& from, const LoopbackServer::Message& message) {
        relay.OnMessage(from, message);
    });
    server.SetOnNotice([&relay](const net::NetAddress& from, uint8_t notice) { relay.OnNotice(from, notice); });
    std::printf("netrelay: relaying on 127.0.0.1:%u for %ld s\n", server.Port(), seconds);

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!g_stop && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    server.SetOnMessage(nullptr);
    server.SetOnNotice(nullptr);
    std::printf("netrelay: stopped\n");
    return 0;
}
