#include "platform/net/NetPeer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

    NetPeer server, client;
    std::vector<NetPacket> atServer, atClient;
};

TEST_F(NetPeerTest, MessagesArriveWholeAndInOrderPerChannel) {
    ASSERT_EQ(client.Connect("127.0.0.1", server.GetBoundPort(), 12, 500, 0), net::ConnectResult::kStarted);
    ASSERT_TRUE(ClientSees(net::kConnectionRequestAccepted));
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

TEST_F(NetPeerTest, ASilentServerIsALossAndShutdownKeepsGivenOutPackets) {
    // A short time-out; the server stops being serviced once connected.
    ASSERT_EQ(client.Connect("127.0.0.1", server.GetBoundPort(), 12, 500, 300), net::ConnectResult::kStarted);
    ASSERT_TRUE(ClientSees(net::kConnectionRequestAccepted));
    net::BitStream hello;
    hello.WriteU8(150);
    ASSERT_TRUE(server.Send(hello, 2, atServer.back().sender));
    NetPacket* kept = nullptr;
    for (uint64_t end = net::GetTime() + 5000; !kept && net::GetTime() < end;) kept = client.Receive(5);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->channel, 2);
    ASSERT_TRUE(client.Send(hello, 0, kept->sender));
    EXPECT_TRUE(ClientSees(net::kConnectionLost, false));
    EXPECT_FALSE(Has(atClient, net::kDisconnectionNotification));

    client.Shutdown(0);
    EXPECT_EQ(client.Receive(), nullptr);
    EXPECT_EQ(kept->data, std::vector<uint8_t>{150});
    client.DeallocatePacket(kept);
    client.DeallocatePacket(kept);  // a second hand-back is ignored
}

}  // namespace
