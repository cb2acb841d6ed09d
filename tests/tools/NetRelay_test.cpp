// The relay (build/netrelay) as a process, under what a client can put on
// its own socket.
#include <arpa/inet.h>
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "platform/net/NetPeer.h"
#include "support/RelayProcess.h"
#include "support/TempDir.h"
#include "support/WindowDriver.h"

namespace {

// A UDP port on 127.0.0.1 that nothing was bound to a moment ago.
uint16_t FreePort() {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    uint16_t port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

// A client connects with the network library alone, then writes two short
// datagrams on its socket: a header with the sent time and a reliable send
// that claims 65,000 bytes it does not bring; then the peer-id field alone
// with the sent-time flag. The relay goes on: a new client connects
// through it and is greeted.
TEST(NetRelay, ShortDatagramsFromAClientLeaveItServing) {
    testsupport::TempDir dir;
    const uint16_t port = FreePort();
    ASSERT_NE(port, 0);
    testsupport::RelayProcess relay(dir.Path() + "/relay.log", {"-port", std::to_string(port), "-seconds", "60"});
    ASSERT_TRUE(testsupport::WaitFor([&] { return relay.Log().find("relaying on") != std::string::npos; }, 10))
        << relay.Log();

    ASSERT_EQ(enet_initialize(), 0);
    ENetHost* raw = enet_host_create(nullptr, 1, net::NetPeer::kChannelCount + 1, 0, 0);
    ASSERT_NE(raw, nullptr);
    ENetAddress to{};
    enet_address_set_host_ip(&to, "127.0.0.1");
    to.port = port;
    ENetPeer* peer = enet_host_connect(raw, &to, net::NetPeer::kChannelCount + 1, 0);
    // Connected once the relay's first message arrives (its side of the
    // layer's handshake): the relay then holds the connection.
    ENetEvent event{};
    bool connected = false;
    for (int i = 0; i < 500 && !connected; ++i) {
        if (enet_host_service(raw, &event, 10) <= 0) continue;
        connected = event.type == ENET_EVENT_TYPE_RECEIVE;
        if (connected) enet_packet_destroy(event.packet);
    }
    ASSERT_TRUE(connected);
    const uint16_t field = peer->outgoingPeerID | ENET_PROTOCOL_HEADER_FLAG_SENT_TIME |
                           (peer->outgoingSessionID << ENET_PROTOCOL_HEADER_SESSION_SHIFT);
    const uint8_t high = static_cast<uint8_t>(field >> 8), low = static_cast<uint8_t>(field);
    uint8_t claim[10] = {high,
                         low,
                         0x12,
                         0x34,
                         ENET_PROTOCOL_COMMAND_SEND_RELIABLE | uint8_t{ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE},
                         0,
                         0,
                         1,
                         65000 >> 8,
                         65000 & 0xFF};
    uint8_t idOnly[2] = {high, low};
    for (ENetBuffer buffer : {ENetBuffer{claim, sizeof claim}, ENetBuffer{idOnly, sizeof idOnly}})
        ASSERT_EQ(enet_socket_send(raw->socket, &to, &buffer, 1), static_cast<int>(buffer.dataLength));

    net::NetPeer client;
    ASSERT_EQ(client.Startup(1, net::SocketDescriptor()), net::StartResult::kStarted);
    ASSERT_EQ(client.Connect("127.0.0.1", port, 4, 500, 0), net::ConnectResult::kStarted);
    uint8_t answer = 0;
    while (!answer) {
        net::NetPacket* packet = client.Receive(3000);
        if (!packet) break;
        if (packet->IsNotice()) answer = packet->notice;
        client.DeallocatePacket(packet);
    }
    EXPECT_EQ(answer, net::kConnectionRequestAccepted) << relay.Log();
    EXPECT_TRUE(testsupport::WaitFor([&] { return relay.Log().find(" joined\n") != std::string::npos; }, 5))
        << relay.Log();
    enet_host_destroy(raw);
}

}  // namespace
