#include "relay/LoopbackServer.h"

#include <chrono>

#include "platform/net/NetPeer.h"

namespace relay {

LoopbackServer::LoopbackServer(uint32_t maxClients, uint32_t timeoutMs, uint16_t port) {
    m_peer = net::NetPeer::GetInstance();
    if (!m_peer) return;
    net::SocketDescriptor socket;
    socket.hostAddress = "127.0.0.1";
    socket.port = port;
    if (m_peer->Startup(maxClients + 1, socket) != net::StartResult::kStarted) return;
    m_peer->SetMaximumIncomingConnections(maxClients);
    m_peer->SetIncomingTimeout(timeoutMs);
    m_port = m_peer->GetBoundPort();
    m_thread = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    net::NetPeer::DestroyInstance(m_peer);
}

void LoopbackServer::Run() {
    while (!m_stop) {
        {
            std::lock_guard<std::recursive_mutex> lock(m_mutex);
            while (net::NetPacket* packet = m_peer->Receive(2)) {
                const auto& data = packet->data;
                if (packet->IsNotice()) {
                    m_notices.push_back(packet->notice);
                    if (packet->notice == net::kNewIncomingConnection) {
                        m_clients.push_back(packet->sender);
                    } else if (packet->notice == net::kDisconnectionNotification ||
                               packet->notice == net::kConnectionLost) {
                        std::erase(m_clients, packet->sender);
                    }
                    if (m_onNotice) m_onNotice(packet->sender, packet->notice);
                } else {
                    Message message;
                    message.channel = packet->channel;
                    net::BitStream stream(packet->Data(), packet->Length());
                    uint8_t first = 0;
                    if (stream.ReadU8(first) && first == net::kTimestamp && stream.ReadU64(message.time) &&
                        stream.ReadU8(message.id)) {
                        message.timestamped = true;
                        message.payload.assign(data.begin() + 10, data.end());
                    } else {
                        message.payload = data;
                    }
                    if (m_onMessage)
                        m_onMessage(packet->sender, message);
                    else
                        m_messages.push_back(std::move(message));
                }
                m_peer->DeallocatePacket(packet);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void LoopbackServer::SetMaximumMessageSize(size_t bytes) {
    if (m_peer) m_peer->SetMaximumMessageSize(bytes);
}

bool LoopbackServer::WaitFor(const std::function<bool()>& done, uint32_t timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::lock_guard<std::recursive_mutex> lock(m_mutex);
            if (done()) return true;
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::vector<LoopbackServer::Message> LoopbackServer::Messages() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_messages;
}

size_t LoopbackServer::MessageCount() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_messages.size();
}

std::vector<uint8_t> LoopbackServer::Notices() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_notices;
}

size_t LoopbackServer::ClientCount() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_clients.size();
}

std::string LoopbackServer::ServerGuid() { return m_peer ? m_peer->GetMyGUID().ToString() : std::string(); }

net::BitStream LoopbackServer::MakeMessage(uint8_t id) {
    net::BitStream stream;
    stream.WriteU8(net::kTimestamp);
    stream.WriteU64(net::GetTime());
    stream.WriteU8(id);
    return stream;
}

bool LoopbackServer::SendToClient(const net::BitStream& stream) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_clients.empty()) return false;
    return m_peer->Send(stream, 0, m_clients.back());
}

void LoopbackServer::Vanish() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_peer->Abort();
    m_clients.clear();
}

void LoopbackServer::SetOnMessage(std::function<void(const net::NetAddress&, const Message&)> handler) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_onMessage = std::move(handler);
}

void LoopbackServer::SetOnNotice(std::function<void(const net::NetAddress&, uint8_t)> handler) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_onNotice = std::move(handler);
}

bool LoopbackServer::SendTo(const net::NetAddress& client, const net::BitStream& stream) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_peer->Send(stream, 0, client);
}

std::vector<net::NetAddress> LoopbackServer::Clients() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_clients;
}

void LoopbackServer::DisconnectClient() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_clients.empty()) return;
    m_peer->CloseConnection(m_clients.back());
    m_clients.pop_back();
}

}  // namespace relay
