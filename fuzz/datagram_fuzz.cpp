// Raw datagrams read by the network library of a peer on 127.0.0.1, as from
// the one client connected to it (slot 0, session 0). Each input is the
// commands of one datagram, as many as it holds, after one option byte for
// the header: bit 0 leaves out the sent time, bit 1 names another session,
// bit 2 flags the datagram compressed. The target writes the header and puts
// a probe after the commands: a whole message on channel 31 that shows
// whether the library read on. The library reads each datagram command by
// command against the state that the earlier inputs and the commands before
// left (the pair of peers lives on across inputs), and the peer refuses
// every message over the limit that the library would take. What must hold:
// - a refused datagram holds a piece of a message of that length, whole and
//   consistent; the library read no further (the probe did not arrive); the
//   connection is closed, the client is told, and the peer lets it in again;
// - a datagram with nothing refused closes the connection only with a
//   disconnect command in it;
// - the library never holds a message over the limit: the heap stays far
//   below such a message's size.
// A closed connection, or 5,000 inputs, and a new pair of peers (slot 0 and
// session 0 again) takes the next inputs.
#include <enet/enet.h>
#include <sanitizer/allocator_interface.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/net/NetPeer.h"
#include "support/FuzzSupport.h"

using fuzzsupport::Check;

namespace {

constexpr uint8_t kProbeChannel = net::NetPeer::kChannelCount - 1;
const std::string kProbe = "probe";
constexpr size_t kInputsPerPair = 5000;
// Far more than the library may hold (messages wait within its windows and
// its 32 MiB of waiting data), far less than a message of 2^31 bytes.
constexpr size_t kHeapGrowthLimit = size_t{1} << 30;

struct Pair {
    net::NetPeer server;
    net::NetPeer client;
    net::NetAddress clientAddress;  // as the server sees it
    uint16_t probeSequence = 1;     // the probe's number on its channel
    size_t inputs = 0;
    size_t heapAtStart = 0;
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
    pair->heapAtStart = __sanitizer_get_current_allocated_bytes();
    return pair;
}

// The datagram: the header's peer-id field (slot 0) and sent time as the
// option byte says, the commands, the probe.
std::vector<uint8_t> Datagram(uint8_t options, const uint8_t* commands, size_t size, uint16_t probeSequence) {
    uint16_t field = 0;
    if (!(options & 1)) field |= ENET_PROTOCOL_HEADER_FLAG_SENT_TIME;
    if (options & 2) field |= 1 << ENET_PROTOCOL_HEADER_SESSION_SHIFT;
    if (options & 4) field |= ENET_PROTOCOL_HEADER_FLAG_COMPRESSED;
    std::vector<uint8_t> out = {uint8_t(field >> 8), uint8_t(field)};
    if (field & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME) out.insert(out.end(), {0x12, 0x34});
    out.insert(out.end(), commands, commands + size);
    out.insert(out.end(), {ENET_PROTOCOL_COMMAND_SEND_RELIABLE, kProbeChannel, uint8_t(probeSequence >> 8),
                           uint8_t(probeSequence), 0, uint8_t(kProbe.size())});
    out.insert(out.end(), kProbe.begin(), kProbe.end());
    return out;
}

// True when the datagram names slot 0 in session 0, uncompressed, and holds
// a piece of a message of `total` bytes as the library lays it out: on one of
// the connection's channels, consistent with itself, its bytes all there.
bool BringsPieceOf(const std::vector<uint8_t>& datagram, uint64_t total) {
    const uint8_t* data = datagram.data();
    const size_t size = datagram.size();
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

// True when some byte after the header could be a disconnect command.
bool MayDisconnect(const std::vector<uint8_t>& datagram) {
    return std::any_of(datagram.begin() + 2, datagram.end(), [](uint8_t byte) {
        return (byte & ENET_PROTOCOL_COMMAND_MASK) == ENET_PROTOCOL_COMMAND_DISCONNECT;
    });
}

// Takes what the server received; true when the probe was among it.
bool TakeProbe(net::NetPeer& server) {
    bool probe = false;
    while (net::NetPacket* packet = server.Receive()) {
        probe = probe ||
                (packet->channel == kProbeChannel && std::string(packet->data.begin(), packet->data.end()) == kProbe);
        server.DeallocatePacket(packet);
    }
    return probe;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<Pair>& pair = ThePair();
    fuzzsupport::InputReader input(data, size);
    const uint8_t options = input.Byte();
    const std::vector<uint8_t> datagram = Datagram(options, input.Rest(), input.RestSize(), pair->probeSequence);
    const uint64_t refused = pair->server.ReadDatagram(datagram.data(), datagram.size(), pair->clientAddress);
    const bool probe = TakeProbe(pair->server);
    if (probe) ++pair->probeSequence;
    Check(__sanitizer_get_current_allocated_bytes() < pair->heapAtStart + kHeapGrowthLimit,
          "the library holds a message over the limit");
    if (refused) {
        Check(refused > net::NetPeer::kMaxPacketSize, "a message within the limit was refused");
        Check(BringsPieceOf(datagram, refused), "a datagram was refused without a piece of that message in it");
        Check(!probe, "the library read on after a refused message");
        Check(pair->server.GetConnectionCount() == 0, "a refused datagram left its connection open");
        Check(Closed(*pair), "the client of a refused datagram was not told");
        Check(Connect(*pair), "after a refused datagram the peer let no client in");
    } else if (pair->server.GetConnectionCount() != 1) {
        Check(MayDisconnect(datagram), "a datagram with nothing refused closed the connection");
    } else if (++pair->inputs < kInputsPerPair) {
        return 0;
    }
    pair.reset();
    ThePair();
    return 0;
}
