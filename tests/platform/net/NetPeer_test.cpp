#include "platform/net/NetPeer.h"

#include <enet/enet.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/StderrCapture.h"

using net::NetPacket;
using net::NetPeer;

namespace {

// Two peers on the loopback interface, both polled from the test's loop
// (connecting does not block).
class NetPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        net::SocketDescriptor socket;
        socket.hostAddress = "127.0.0.1";
        ASSERT_EQ(server.Startup(2, socket), net::StartResult::kStarted);
        server.SetMaximumIncomingConnections(1);
        ASSERT_EQ(client.Startup(1, net::SocketDescriptor()), net::StartResult::kStarted);
    }
    static void Drain(NetPeer& peer, std::vector<NetPacket>& into) {
        while (NetPacket* packet = peer.Receive(1)) {
            into.push_back(*packet);
            peer.DeallocatePacket(packet);
        }
    }
    // The u32 each waiting message starts with, in order.
    static std::vector<uint32_t> TakeIndexes(NetPeer& peer) {
        std::vector<uint32_t> indexes;
        while (NetPacket* packet = peer.Receive()) {
            net::BitStream in(packet->Data(), packet->Length());
            uint32_t index = 0;
            if (in.ReadU32(index)) indexes.push_back(index);
            peer.DeallocatePacket(packet);
        }
        return indexes;
    }
    static bool Has(const std::vector<NetPacket>& list, uint8_t first) {
        for (const NetPacket& p : list)
            if (p.data[0] == first) return true;
        return false;
    }
    // Polls both sides (or only the client) until the client has seen id.
    bool ClientSees(uint8_t id, bool pollServer = true) {
        uint64_t end = net::GetTime() + 8000;
        while (!Has(atClient, id) && net::GetTime() < end) {
            if (pollServer) Drain(server, atServer);
            Drain(client, atClient);
        }
        return Has(atClient, id);
    }
    // Connects the client and waits until both sides have seen it.
    void ConnectBoth(uint32_t timeoutMs) {
        ASSERT_EQ(client.Connect("127.0.0.1", server.GetBoundPort(), 12, 500, timeoutMs), net::ConnectResult::kStarted);
        ASSERT_TRUE(ClientSees(net::kConnectionRequestAccepted));
        uint64_t end = net::GetTime() + 5000;
        while (!Has(atServer, net::kNewIncomingConnection) && net::GetTime() < end) Drain(server, atServer);
        ASSERT_TRUE(Has(atServer, net::kNewIncomingConnection));
    }

    // Starts both peers afresh and connects them: the client then has slot 0
    // and session 0 at the server, as on the first connection of any pair.
    void Restart() {
        server.Shutdown(0);
        client.Shutdown(0);
        SetUp();
        atServer.clear();
        atClient.clear();
        ConnectBoth(0);
    }

    NetPeer server, client;
    std::vector<NetPacket> atServer, atClient;
};

TEST_F(NetPeerTest, MessagesArriveWholeAndInOrderPerChannel) {
    ConnectBoth(0);
    const net::NetAddress to = atClient.back().sender;
    EXPECT_EQ(client.Connect("127.0.0.1", to.port, 12, 500, 0), net::ConnectResult::kAlreadyConnected);
    for (uint32_t i = 0; i < 200; ++i) {
        net::BitStream stream;
        stream.WriteU32(i);
        stream.WriteBytes(std::string(i * 13, 'x').data(), i * 13);
        ASSERT_TRUE(client.Send(stream, i % 2 ? 31 : 0, to));
    }
    atServer.clear();
    uint64_t end = net::GetTime() + 5000;
    // The sender must be serviced too: what the send window holds back goes
    // out as acknowledgements come in.
    while (atServer.size() < 200 && net::GetTime() < end) {
        Drain(server, atServer);
        Drain(client, atClient);
    }
    ASSERT_EQ(atServer.size(), 200u);
    uint32_t next[2] = {0, 1};
    for (const NetPacket& p : atServer) {
        net::BitStream in(p.Data(), p.Length());
        uint32_t index = 0;
        ASSERT_TRUE(in.ReadU32(index));
        int lane = p.channel == 31 ? 1 : 0;
        EXPECT_EQ(index, next[lane]);
        EXPECT_EQ(in.GetRemaining(), index * 13u);
        next[lane] += 2;
    }

    // Refused sends: empty, channel out of range, nobody at that address.
    net::BitStream empty, one;
    one.WriteU8(1);
    net::NetAddress elsewhere = to;
    elsewhere.port = static_cast<uint16_t>(to.port + 1);
    EXPECT_FALSE(client.Send(empty, 0, to));
    EXPECT_FALSE(client.Send(one, NetPeer::kChannelCount, to));
    EXPECT_FALSE(client.Send(one, 0, elsewhere));
}

TEST_F(NetPeerTest, AVanishedServerIsALossAndShutdownKeepsGivenOutPackets) {
    // A short time-out; the server stops without a word once connected.
    ConnectBoth(300);
    net::BitStream hello;
    hello.WriteU8(150);
    ASSERT_TRUE(server.Send(hello, 2, atServer.back().sender));
    NetPacket* kept = nullptr;
    for (uint64_t end = net::GetTime() + 5000; !kept && net::GetTime() < end;) kept = client.Receive(5);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->channel, 2);
    EXPECT_FALSE(kept->IsNotice());
    server.Abort();
    ASSERT_TRUE(client.Send(hello, 0, kept->sender));
    EXPECT_TRUE(ClientSees(net::kConnectionLost, false));
    EXPECT_FALSE(Has(atClient, net::kDisconnectionNotification));

    client.Shutdown(0);
    EXPECT_EQ(client.Receive(), nullptr);
    EXPECT_EQ(kept->data, std::vector<uint8_t>{150});
    client.DeallocatePacket(kept);
    client.DeallocatePacket(kept);  // a second hand-back is ignored
}

TEST_F(NetPeerTest, ConnectionsStayUpWhileNobodyReceives) {
    // Both sides have a one-second time-out; neither side's owner looks at
    // its peer for two and a half times that long.
    server.SetIncomingTimeout(1000);
    ConnectBoth(1000);
    const net::NetAddress to = atClient.back().sender;
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(client.GetConnectionCount(), 1u);
    EXPECT_EQ(server.GetConnectionCount(), 1u);
    net::BitStream later;
    later.WriteU8(200);
    ASSERT_TRUE(client.Send(later, 1, to));
    NetPacket* got = server.Receive(2000);
    // The new-incoming notice first, then the message.
    while (got && got->IsNotice()) {
        server.DeallocatePacket(got);
        got = server.Receive(2000);
    }
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->data, std::vector<uint8_t>{200});
    server.DeallocatePacket(got);
}

TEST_F(NetPeerTest, PayloadsThatLookLikeNoticesStayMessages) {
    ConnectBoth(0);
    EXPECT_EQ(atClient.back().notice, net::kConnectionRequestAccepted);
    const net::NetAddress toClient = atServer.back().sender;
    const std::vector<uint8_t> reserved = {net::kConnectionRequestAccepted,
                                           net::kConnectionAttemptFailed,
                                           net::kNewIncomingConnection,
                                           net::kNoFreeIncomingConnections,
                                           net::kDisconnectionNotification,
                                           net::kConnectionLost,
                                           net::kTimestamp};
    for (uint8_t id : reserved) {
        net::BitStream stream;
        stream.WriteU8(id);
        ASSERT_TRUE(server.Send(stream, 0, toClient));
    }
    atClient.clear();
    uint64_t end = net::GetTime() + 5000;
    while (atClient.size() < reserved.size() && net::GetTime() < end) Drain(client, atClient);
    ASSERT_EQ(atClient.size(), reserved.size());
    for (size_t i = 0; i < reserved.size(); ++i) {
        EXPECT_FALSE(atClient[i].IsNotice()) << int(reserved[i]);
        EXPECT_EQ(atClient[i].data, std::vector<uint8_t>{reserved[i]});
    }
    EXPECT_EQ(client.GetConnectionCount(), 1u);
}

TEST_F(NetPeerTest, AFullQueueDropsTheOldestMessagesWithOneLine) {
    ConnectBoth(0);
    const net::NetAddress toClient = atServer.back().sender;
    const uint32_t total = NetPeer::kMaxQueuedMessages + 100;
    testsupport::StderrCapture cap;
    for (uint32_t i = 0; i < total; ++i) {
        net::BitStream stream;
        stream.WriteU32(i);
        ASSERT_TRUE(server.Send(stream, 0, toClient));
    }
    // Nobody receives at the client until everything has arrived (the
    // server's side must be serviced for ENet's window to let it through).
    uint64_t end = net::GetTime() + 20000;
    while (client.GetDroppedCount() < 100 && net::GetTime() < end) Drain(server, atServer);
    EXPECT_EQ(client.GetDroppedCount(), 100u);
    const std::vector<uint32_t> indexes = TakeIndexes(client);
    EXPECT_EQ(cap.Take(), "NetPeer: the receive queue is full, the oldest messages are dropped\n");
    ASSERT_EQ(indexes.size(), NetPeer::kMaxQueuedMessages);
    EXPECT_EQ(indexes.front(), 100u);
    EXPECT_EQ(indexes.back(), total - 1);
}

TEST_F(NetPeerTest, MessagesAndTheQueueAreBoundedInBytes) {
    ConnectBoth(0);
    const net::NetAddress toClient = atServer.back().sender;
    auto message = [](uint32_t index, size_t size) {
        net::BitStream stream;
        stream.WriteU32(index);
        const std::string fill(size - 4, 'x');
        stream.WriteBytes(fill.data(), fill.size());
        return stream;
    };
    EXPECT_FALSE(server.Send(message(0, NetPeer::kMaxPacketSize + 1), 0, toClient));
    // Messages of the largest size, more than the queue's bytes hold: the
    // oldest go, with the one line.
    const uint32_t fits = static_cast<uint32_t>(NetPeer::kMaxQueuedBytes / NetPeer::kMaxPacketSize);
    const uint32_t total = fits + 3;
    testsupport::StderrCapture cap;
    for (uint32_t i = 0; i < total; ++i) ASSERT_TRUE(server.Send(message(i, NetPeer::kMaxPacketSize), 0, toClient));
    uint64_t end = net::GetTime() + 30000;
    while (client.GetDroppedCount() < 3 && net::GetTime() < end) Drain(server, atServer);
    EXPECT_EQ(client.GetDroppedCount(), 3u);
    const std::vector<uint32_t> indexes = TakeIndexes(client);
    EXPECT_EQ(cap.Take(), "NetPeer: the receive queue is full, the oldest messages are dropped\n");
    ASSERT_EQ(indexes.size(), fits);
    EXPECT_EQ(indexes.front(), 3u);
}

// A piece of a message as the library lays it out, with `present` of its
// bytes after it.
struct Piece {
    uint8_t command = ENET_PROTOCOL_COMMAND_SEND_FRAGMENT | uint8_t{ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE};
    uint8_t channel = 1;
    uint16_t sequence = 1, start = 1, bytes = 0;
    uint32_t count = 1, index = 0, total = 0x7FFFFFFF, offset = 0;
    size_t present = 0;
};

// The header's first field (and the sent time when flagged), the commands
// before the piece, and the piece.
std::vector<uint8_t> Datagram(uint16_t field, const std::vector<uint8_t>& before, const Piece& piece) {
    net::BitStream out;
    out.WriteU16(field);
    if (field & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME) out.WriteU16(0x1234);
    out.WriteBytes(before.data(), before.size());
    for (uint8_t byte : {piece.command, piece.channel}) out.WriteU8(byte);
    for (uint16_t value : {piece.sequence, piece.start, piece.bytes}) out.WriteU16(value);
    for (uint32_t value : {piece.count, piece.index, piece.total, piece.offset}) out.WriteU32(value);
    out.WriteBytes(std::string(piece.present, 'x').data(), piece.present);
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetLength());
}

// A whole reliable message of `text` on a channel, numbered `sequence`.
std::vector<uint8_t> Reliable(uint8_t channel, uint16_t sequence, const std::string& text) {
    net::BitStream out;
    for (uint8_t byte : {uint8_t{ENET_PROTOCOL_COMMAND_SEND_RELIABLE}, channel}) out.WriteU8(byte);
    for (size_t value : {size_t{sequence}, text.size()}) out.WriteU16(static_cast<uint16_t>(value));
    out.WriteBytes(text.data(), text.size());
    return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetLength());
}

// Datagrams from the client's address, naming its slot (0) and session (0)
// unless a row says otherwise, read by the server's network library after
// `delivered` reliable messages (numbered from 1) on channel 1. Only a piece
// of a message over the limit that the library would take is refused, and
// the connection closed; the bare piece makes the 26-byte datagram that
// claims a message of 2^31 - 1 bytes. A probe placed last (a message on
// channel 2) shows whether the library read on.
TEST_F(NetPeerTest, OnlyAPieceTheLibraryWouldMeasureIsRefused) {
    constexpr uint16_t kSentTime = ENET_PROTOCOL_HEADER_FLAG_SENT_TIME, kPacked = ENET_PROTOCOL_HEADER_FLAG_COMPRESSED;
    const std::vector<uint8_t> ping = {ENET_PROTOCOL_COMMAND_PING | uint8_t{ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE}, 0,
                                       0, 1};
    const std::vector<uint8_t> message = Reliable(1, 1, std::string(200, 'x')), probe = Reliable(2, 1, "probe");
    // An unreliable message numbered 1 after reliable message 0 on channel 1.
    const std::vector<uint8_t> unreliableMessage = {ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE, 1, 0, 0, 0, 1, 0, 1, 'x'};
    constexpr uint8_t kUnreliable = ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE_FRAGMENT;
    constexpr uint16_t kWindow = ENET_PEER_RELIABLE_WINDOW_SIZE;
    const Piece unreliable{.command = kUnreliable, .sequence = 0},
        late{.command = kUnreliable, .sequence = 0, .start = 0}, behind{.sequence = 4095, .start = 4095},
        inMovedWindow{.sequence = 7 * kWindow, .start = 7 * kWindow};
    // Reliable message 4096 on channel 1: after messages 1 to 4095 the
    // library delivers it and moves the channel's window on by one.
    const std::vector<uint8_t> next = Reliable(1, 4096, "x");
    const struct {
        const char* what;
        uint16_t field;  // the header's flags, session and peer slot
        std::vector<uint8_t> before;
        Piece piece;
        size_t limit;  // 0: the default
        uint64_t refused;
        std::vector<uint8_t> after = {};
        uint16_t delivered = 0;
        bool readOn = false;  // the probe after the piece arrives
    } rows[] = {
        {"alone", 0, {}, {}, 0, 0x7FFFFFFF},
        {"with the sent time, after a ping", kSentTime, ping, {.bytes = 4, .present = 4}, 0, 0x7FFFFFFF},
        {"unreliable", 0, {}, unreliable, 0, 0x7FFFFFFF, probe},
        {"a whole message over a lowered limit", 0, message, {}, 150, 200},
        {"compressed", kPacked, {}, {}, 0, 0},
        {"compressed, with the sent time", kPacked | kSentTime, {}, {}, 0, 0},
        {"in another session", 1 << ENET_PROTOCOL_HEADER_SESSION_SHIFT, {}, {}, 0, 0},
        {"for another peer slot", 1, {}, {}, 0, 0},
        {"after a command the library does not know", kSentTime, {13, 0, 0, 0}, {}, 0, 0, probe},
        {"after an acknowledged command, without the sent time", 0, ping, {}, 0, 0},
        {"on a channel the connection lacks", 0, {}, {.channel = NetPeer::kChannelCount + 1}, 0, 0, probe},
        {"numbered past its count", 0, {}, {.index = 1}, 0, 0},
        {"with bytes the datagram lacks", 0, {}, {.bytes = 4, .present = 3}, 0, 0},
        {"far ahead of the window", kSentTime, {}, {.start = 8 * kWindow}, 0, 0, probe, 0, true},
        {"unreliable, arriving late", 0, {}, late, 0, 0, probe, 0, true},
        // The library reads each command against the state the commands
        // before it in the datagram left.
        {"unreliable, passed by the message before it", kSentTime, unreliableMessage, unreliable, 0, 0, probe, 0, true},
        {"behind the window the message before it moved", kSentTime, next, behind, 0, 0, probe, 4095, true},
        {"in the window the message before it moved", kSentTime, next, inMovedWindow, 0, 0x7FFFFFFF, probe, 4095},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Restart();
        server.SetMaximumMessageSize(row.limit);
        const net::NetAddress from = atServer.back().sender;
        for (uint16_t n = 1; n <= row.delivered;) {  // 500 to a datagram
            std::vector<uint8_t> messages = {0, 0};
            for (const int last = std::min(n + 499, int{row.delivered}); n <= last; ++n)
                for (uint8_t byte : Reliable(1, n, "m")) messages.push_back(byte);
            ASSERT_EQ(server.ReadDatagram(messages.data(), messages.size(), from), 0u);
            Drain(server, atServer);
        }
        std::vector<uint8_t> datagram = Datagram(row.field, row.before, row.piece);
        datagram.insert(datagram.end(), row.after.begin(), row.after.end());
        testsupport::StderrCapture cap;
        atServer.clear();
        EXPECT_EQ(server.ReadDatagram(datagram.data(), datagram.size(), from), row.refused);
        Drain(server, atServer);
        EXPECT_EQ(std::any_of(atServer.begin(), atServer.end(), [](const NetPacket& p) { return p.channel == 2; }),
                  row.readOn);
        // The refusal's line, or nothing when none.
        const std::string line = "NetPeer: refused a message of " + std::to_string(row.refused) + " bytes from " +
                                 from.ToString() + ", the limit";
        EXPECT_EQ(cap.Take().substr(0, line.size()), row.refused ? line : "");
        EXPECT_EQ(server.GetConnectionCount(), row.refused ? 0u : 1u);
        EXPECT_TRUE(!row.refused || ClientSees(net::kDisconnectionNotification));
    }
}

}  // namespace
