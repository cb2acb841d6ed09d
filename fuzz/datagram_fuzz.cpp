// Raw datagrams as the network peer's servicing thread reads them before
// the network library handles them. Each input is one datagram (its first
// two bytes are the peer-id field with the header's flags and session) from
// the one client connected to a peer on 127.0.0.1, in slot 0 and session 0.
// The input is a buffer of exactly its size, so a read past it is a finding.
// The connection stays up unless the datagram brings a piece of a message
// over the limit, whole and consistent, in that slot and session; such a
// datagram closes it, the client must then be let in again, and a new pair
// of peers (slot 0 and session 0 again) takes the next inputs.
#include <enet/enet.h>

#include <cstdint>
#include <cstring>
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

std::unique_ptr<Pair>& ThePair() {
    static std::unique_ptr<Pair> pair;
    if (pair) return pair;
    pair = std::make_unique<Pair>();
    net::SocketDescriptor socket;
    socket.hostAddress = "127.0.0.1";
    if (pair->server.Startup(2, socket) != net::StartResult::kStarted ||
        pair->client.Startup(1, net::SocketDescriptor()) != net::StartResult::kStarted)
        fuzzsupport::Broken("the peers cannot start");
    pair->server.SetMaximumIncomingConnections(1);
    if (!Connect(*pair)) fuzzsupport::Broken("the client cannot connect");
    return pair;
}

// True when the datagram names slot 0 in session 0, uncompressed, and holds
// a piece of a message of `total` bytes as the library lays it out: on one of
// the connection's channels, consistent with itself, its bytes all there.
bool BringsPieceOf(const uint8_t* data, size_t size, uint64_t total) {
    if (size < sizeof(enet_uint16)) return false;
    const unsigned field = (unsigned{data[0]} << 8) | data[1];
    if ((field & ~unsigned{ENET_PROTOCOL_HEADER_FLAG_SENT_TIME}) != 0) return false;
    for (size_t at = 2; size - at >= sizeof(ENetProtocolSendFragment); ++at) {
        ENetProtocolSendFragment piece;
        std::memcpy(&piece, data + at, sizeof piece);
        const unsigned number = piece.header.command & ENET_PROTOCOL_COMMAND_MASK;
        const uint32_t count = ENET_NET_TO_HOST_32(piece.fragmentCount);
        const uint32_t offset = ENET_NET_TO_HOST_32(piece.fragmentOffset);
        const size_t bytes = ENET_NET_TO_HOST_16(piece.dataLength);
        if ((number == ENET_PROTOCOL_COMMAND_SEND_FRAGMENT ||
             number == ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE_FRAGMENT) &&
            piece.header.channelID <= net::NetPeer::kChannelCount && ENET_NET_TO_HOST_32(piece.totalLength) == total &&
            count <= ENET_PROTOCOL_MAXIMUM_FRAGMENT_COUNT && ENET_NET_TO_HOST_32(piece.fragmentNumber) < count &&
            offset < total && bytes <= total - offset && bytes <= size - at - sizeof piece)
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<Pair>& pair = ThePair();
    const uint64_t refused = pair->server.RefuseOverLimitMessage(data, size, pair->clientAddress);
    if (!refused) {
        Check(pair->server.GetConnectionCount() == 1, "a datagram with nothing refused closed the connection");
        return 0;
    }
    Check(refused > net::NetPeer::kMaxPacketSize, "a message within the limit was refused");
    Check(BringsPieceOf(data, size, refused), "a datagram was refused without a piece of that message in it");
    Check(Closed(*pair), "a refused datagram left its connection open");
    Check(Connect(*pair), "after a refused datagram the peer let no client in");
    pair.reset();
    ThePair();
    return 0;
}
