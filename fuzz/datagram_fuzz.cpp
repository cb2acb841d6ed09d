// Raw datagrams as the network peer's servicing thread looks at them before
// the network library handles them. Each input is one datagram (its first
// two bytes are the peer-id field with the header's flags) from the one
// client connected to a peer on 127.0.0.1, whose slot is 0. The input is a
// buffer of exactly its size, so a read past it is a finding. A datagram
// that brings a piece of a message over the limit closes the connection;
// the client then connects again, and must be let in.
#include <enet/enet.h>

#include <cstdint>
#include <memory>

#include "platform/net/NetPeer.h"
#include "support/FuzzSupport.h"

using fuzzsupport::Check;

namespace {

struct Pair {
    net::NetPeer server;
    net::NetPeer client;
    net::NetAddress clientAddress;  // as the server sees it
};

// Takes the packets both sides have until the server has seen the client
// arrive; false when it has not within a few seconds.
bool Connect(Pair& pair) {
    if (pair.client.Connect("127.0.0.1", pair.server.GetBoundPort(), 12, 500, 0) != net::ConnectResult::kStarted)
        return false;
    bool accepted = false, arrived = false;
    for (uint64_t end = net::GetTime() + 5000; !(accepted && arrived) && net::GetTime() < end;) {
        while (net::NetPacket* packet = pair.client.Receive(1)) {
            accepted = accepted || packet->notice == net::kConnectionRequestAccepted;
            pair.client.DeallocatePacket(packet);
        }
        while (net::NetPacket* packet = pair.server.Receive()) {
            if (packet->notice == net::kNewIncomingConnection) {
                arrived = true;
                pair.clientAddress = packet->sender;
            }
            pair.server.DeallocatePacket(packet);
        }
    }
    return accepted && arrived;
}

// Waits until the client has been told its connection was closed.
bool Closed(Pair& pair) {
    for (uint64_t end = net::GetTime() + 5000; net::GetTime() < end;) {
        net::NetPacket* packet = pair.client.Receive(5);
        const bool closed =
            packet && (packet->notice == net::kDisconnectionNotification || packet->notice == net::kConnectionLost);
        pair.client.DeallocatePacket(packet);
        if (closed) return true;
    }
    return false;
}

Pair& ThePair() {
    static std::unique_ptr<Pair> pair;
    if (pair) return *pair;
    pair = std::make_unique<Pair>();
    net::SocketDescriptor socket;
    socket.hostAddress = "127.0.0.1";
    if (pair->server.Startup(2, socket) != net::StartResult::kStarted ||
        pair->client.Startup(1, net::SocketDescriptor()) != net::StartResult::kStarted)
        fuzzsupport::Broken("the peers cannot start");
    pair->server.SetMaximumIncomingConnections(1);
    if (!Connect(*pair)) fuzzsupport::Broken("the client cannot connect");
    return *pair;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Pair& pair = ThePair();
    if (!pair.server.LookAtDatagram(data, size, pair.clientAddress)) return 0;
    // A piece of a message needs the peer-id field and a whole fragment
    // command at least.
    Check(size >= sizeof(enet_uint16) + sizeof(ENetProtocolSendFragment),
          "a datagram too short for a fragment was refused");
    Check(Closed(pair), "a refused datagram left its connection open");
    Check(Connect(pair), "after a refused datagram the peer let no client in");
    return 0;
}
