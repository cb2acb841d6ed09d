#include "platform/net/NetPeer.h"

#include <enet/enet.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

namespace net {

namespace {

// The channel of the layer's own handshake, after the game's channels.
constexpr uint8_t kSystemChannel = NetPeer::kChannelCount;
constexpr uint8_t kIdentityMessage = 1;
// Reasons carried by a graceful close. A close without one (0) is a loss.
constexpr uint32_t kReasonGoodbye = 1;
constexpr uint32_t kReasonFull = 2;
constexpr uint32_t kReasonTooLong = 3;
// An incoming connection that never sends its identity is dropped after this.
constexpr uint32_t kIncomingHandshakeMs = 10000;
// Messages held back until the identity arrives, per connection.
constexpr size_t kMaxPending = 256;
// Longest wait of the servicing thread between two rounds: ENet's pings,
// resends and time-outs, and the connection deadlines, are checked at least
// this often.
constexpr uint32_t kWaitSliceMs = 10;

uint64_t NewGuidValue() {
    std::random_device device;
    std::mt19937_64 mix((static_cast<uint64_t>(device()) << 32) ^ device() ^ GetTime());
    uint64_t value = 0;
    while (value == 0) value = mix();
    return value;
}

NetAddress ToAddress(const ENetAddress& address) { return NetAddress{address.host, address.port}; }

// A message over the limit. The network library refuses one in silence and
// leaves it unacknowledged, so that the sender resends it until its time-out
// and every later message on the connection waits behind it; the peer closes
// the connection instead. Whether the library reaches a message in a
// datagram, and whether it takes it, rests on how it reads the datagram
// command by command (each command moves the windows of sequence numbers and
// the messages held that decide what becomes of the next), so the peer does
// not read datagrams itself: it lets the library decide. The library's own
// size check is off (its limit is the largest size), and the library takes
// its memory from the peer (enet_initialize_with_callbacks). Where the library
// takes a message, it asks for the message's record and right after it for
// the message's bytes (enet_packet_create: the ENetPacket, then its data);
// the peer refuses bytes over the limit. The library then drops the message
// and reads no further in that datagram, as after its own refusal, and the
// peer closes the connection. So exactly the messages that the library would
// take but for their length are refused, after what came before them in the
// datagram has been taken.
constexpr size_t kNoLibraryLimit = std::numeric_limits<size_t>::max();
// Besides a message's bytes, the library allocates while it reads: records
// (of messages held, acknowledgements, commands to send), each shorter than
// any limit; a held piece's map of the pieces, right after the held
// message's record; a new connection's channels, first in their datagram.
// So only a message's bytes are ever refused.
static_assert(sizeof(ENetIncomingCommand) <= NetPeer::kMinimumMessageSize &&
              sizeof(ENetOutgoingCommand) <= NetPeer::kMinimumMessageSize &&
              sizeof(ENetAcknowledgement) <= NetPeer::kMinimumMessageSize);

}  // namespace

struct NetPeer::Link {
    ENetPeer* peer = nullptr;
    NetAddress address;
    NetGuid guid;
    bool outgoing = false;
    bool transportUp = false;  // the library reported the connection
    bool up = false;           // identities exchanged: usable by the game
    bool closing = false;      // closed by this side (or refused): no notices
    uint64_t deadline = 0;     // until then the connection must come up
    uint32_t timeoutMs = kDefaultTimeoutMs;
    uint64_t refusedLength = 0;  // a message this long, over the limit, began to arrive
    std::vector<std::unique_ptr<NetPacket>> pending;
};

// What the library is doing for a peer on this thread: set while it services
// the peer's host (NetPeer::Service).
struct NetPeer::Reading {
    ENetHost* host = nullptr;
    size_t limit = 0;
    Injection* injection = nullptr;
    bool afterRecord = false;  // the library's last allocation was a message's record
    bool refusing = false;     // an allocation was just refused: the library reports it as want of memory
};

// A datagram that ReadDatagram put on the socket.
struct NetPeer::Injection {
    NetAddress via;        // the address it comes from on the socket
    NetAddress from;       // the address the library is to read it from
    bool current = false;  // the library is reading it
    bool read = false;
    uint64_t refused = 0;
};

thread_local NetPeer::Reading* NetPeer::t_reading = nullptr;

bool NetPeer::StartLibrary() {
    static const bool started = [] {
        ENetCallbacks callbacks{};
        callbacks.malloc = Allocate;
        callbacks.free = std::free;
        callbacks.no_memory = OutOfMemory;
        return enet_initialize_with_callbacks(ENET_VERSION, &callbacks) == 0;
    }();
    return started;
}

void* NetPeer::Allocate(size_t size) {
    Reading* reading = t_reading;
    if (reading) {
        const bool messageBytes = reading->afterRecord;
        reading->afterRecord = size == sizeof(ENetPacket);
        if (messageBytes && size > reading->limit) {
            RefuseMessage(*reading, size);
            reading->refusing = true;
            return nullptr;
        }
    }
    return std::malloc(size);
}

void NetPeer::OutOfMemory() {
    Reading* reading = t_reading;
    if (reading && reading->refusing) {
        reading->refusing = false;
        return;
    }
    std::abort();  // the library's own answer to want of memory
}

void NetPeer::RefuseMessage(const Reading& reading, uint64_t length) {
    if (reading.injection && reading.injection->current && !reading.injection->refused)
        reading.injection->refused = length;
    // The library takes messages only in a datagram for a connection: the
    // slot it names (the header's first field, less its flags and session).
    const ENetHost& host = *reading.host;
    if (host.receivedDataLength < sizeof(enet_uint16)) return;
    const unsigned slot =
        ((unsigned{host.receivedData[0]} << 8) | host.receivedData[1]) & ENET_PROTOCOL_MAXIMUM_PEER_ID;
    if (slot >= host.peerCount) return;
    auto* link = static_cast<Link*>(host.peers[slot].data);
    if (link && !link->refusedLength) link->refusedLength = length;
}

int NetPeer::InterceptDatagram(ENetHost* host, ENetEvent*) {
    Reading* reading = t_reading;
    if (!reading) return 0;
    reading->afterRecord = false;
    if (Injection* injection = reading->injection) {
        injection->current = ToAddress(host->receivedAddress) == injection->via;
        if (injection->current) {
            host->receivedAddress.host = injection->from.host;
            host->receivedAddress.port = injection->from.port;
            injection->read = true;
        }
    }
    return 0;
}

int NetPeer::Service(ENetEvent& event, uint32_t waitMs) {
    Reading reading;
    reading.host = m_host;
    reading.limit = m_maxMessageSize;
    reading.injection = m_injection;
    Reading* outer = t_reading;
    t_reading = &reading;
    const int result = enet_host_service(m_host, &event, waitMs);
    t_reading = outer;
    return result;
}

uint64_t NetPeer::ReadDatagram(const uint8_t* data, size_t length, const NetAddress& from) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // The library reads nothing of an empty datagram, and reports one longer
    // than its receive buffer as an error of the socket.
    if (!m_host || !data || length == 0 || length > ENET_PROTOCOL_MAXIMUM_MTU) return 0;
    ENetAddress loopback{};
    enet_address_set_host_ip(&loopback, "127.0.0.1");
    ENetAddress self{}, via{};
    ENetSocket sender = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    bool sent = sender != ENET_SOCKET_NULL && enet_socket_bind(sender, &loopback) == 0 &&
                enet_socket_get_address(sender, &via) == 0 && enet_socket_get_address(m_host->socket, &self) == 0;
    if (self.host == ENET_HOST_ANY) self.host = loopback.host;
    ENetBuffer buffer;
    buffer.data = const_cast<uint8_t*>(data);
    buffer.dataLength = length;
    sent = sent && enet_socket_send(sender, &self, &buffer, 1) == static_cast<int>(length);
    Injection injection;
    injection.via = ToAddress(via);
    injection.from = from;
    if (sent) {
        m_injection = &injection;
        for (const uint64_t end = GetTime() + 2000; !injection.read && GetTime() < end;) {
            ServiceNow();
            if (injection.read) break;
            enet_uint32 condition = ENET_SOCKET_WAIT_RECEIVE;
            enet_socket_wait(m_host->socket, &condition, 1);
        }
        m_injection = nullptr;
        m_arrived.notify_all();
    }
    if (sender != ENET_SOCKET_NULL) enet_socket_destroy(sender);
    return injection.refused;
}

NetPeer* NetPeer::GetInstance() {
    if (!StartLibrary()) return nullptr;
    return new NetPeer();
}

void NetPeer::DestroyInstance(NetPeer* peer) { delete peer; }

NetPeer::NetPeer() : m_guid{NewGuidValue()} { StartLibrary(); }

NetPeer::~NetPeer() { Shutdown(0); }

StartResult NetPeer::Startup(uint32_t maxConnections, const SocketDescriptor& socket) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_host) return StartResult::kAlreadyStarted;
    if (maxConnections == 0 || maxConnections >= ENET_PROTOCOL_MAXIMUM_PEER_ID) return StartResult::kInvalidArguments;
    if (!StartLibrary()) return StartResult::kSocketFailed;
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = socket.port;
    if (!socket.hostAddress.empty() && enet_address_set_host_ip(&address, socket.hostAddress.c_str()) != 0)
        return StartResult::kInvalidArguments;
    // One slot more than allowed, so a connection over the limit can be
    // told that this side is full instead of going unanswered.
    m_host = enet_host_create(&address, maxConnections + 1, kChannelCount + 1, 0, 0);
    if (!m_host) return StartResult::kSocketFailed;
    m_host->maximumPacketSize = kNoLibraryLimit;
    m_host->intercept = InterceptDatagram;
    m_maxConnections = maxConnections;
    m_stopThread = false;
    m_thread = std::thread([this] { Run(); });
    return StartResult::kStarted;
}

bool NetPeer::IsActive() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_host != nullptr;
}

void NetPeer::SetMaximumIncomingConnections(uint32_t count) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_maxIncoming = count;
}

void NetPeer::SetIncomingTimeout(uint32_t timeoutMs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_incomingTimeoutMs = timeoutMs ? timeoutMs : kDefaultTimeoutMs;
}

void NetPeer::SetMaximumMessageSize(size_t bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_maxMessageSize = std::max(bytes ? bytes : kMaxPacketSize, kMinimumMessageSize);
}

uint16_t NetPeer::GetBoundPort() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_host) return 0;
    ENetAddress address{};
    if (enet_socket_get_address(m_host->socket, &address) != 0) return 0;
    return address.port;
}

ConnectResult NetPeer::Connect(const std::string& host, uint16_t port, uint32_t attempts, uint32_t attemptIntervalMs,
                               uint32_t timeoutMs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_host) return ConnectResult::kNotStarted;
    if (host.empty() || port == 0) return ConnectResult::kInvalidParameter;
    ENetAddress address{};
    if (enet_address_set_host(&address, host.c_str()) != 0) return ConnectResult::kCannotResolveHost;
    address.port = port;
    if (FindLink(ToAddress(address))) return ConnectResult::kAlreadyConnected;
    if (m_links.size() >= m_maxConnections) return ConnectResult::kNoFreeSlot;
    ENetPeer* peer = enet_host_connect(m_host, &address, kChannelCount + 1, 0);
    if (!peer) return ConnectResult::kNoFreeSlot;

    auto link = std::make_unique<Link>();
    link->peer = peer;
    link->address = ToAddress(address);
    link->outgoing = true;
    uint64_t budget = static_cast<uint64_t>(std::max<uint32_t>(attempts, 1)) * attemptIntervalMs;
    link->deadline = GetTime() + budget;
    link->timeoutMs = timeoutMs ? timeoutMs : kDefaultTimeoutMs;
    uint32_t librarySpan = static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(budget, 1), UINT32_MAX));
    enet_peer_timeout(peer, 0, librarySpan, librarySpan);
    peer->data = link.get();
    m_links.push_back(std::move(link));
    enet_host_flush(m_host);
    return ConnectResult::kStarted;
}

NetPacket* NetPeer::Receive(uint32_t waitMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_queue.empty() && waitMs > 0 && m_thread.joinable())
        m_arrived.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return !m_queue.empty(); });
    if (m_queue.empty()) return nullptr;
    if (!m_queue.front()->IsNotice()) {
        --m_queuedMessages;
        m_queuedBytes -= m_queue.front()->Length();
    }
    m_givenOut.push_back(std::move(m_queue.front()));
    m_queue.pop_front();
    if (m_queue.empty()) m_overflowReported = false;
    return m_givenOut.back().get();
}

void NetPeer::DeallocatePacket(NetPacket* packet) {
    if (!packet) return;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = std::find_if(m_givenOut.begin(), m_givenOut.end(),
                           [packet](const std::unique_ptr<NetPacket>& p) { return p.get() == packet; });
    if (it != m_givenOut.end()) m_givenOut.erase(it);
}

void NetPeer::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopThread) {
        const size_t before = m_queue.size();
        ServiceNow();
        if (m_queue.size() != before) m_arrived.notify_all();
        // Wait for the socket without the lock, so the owner can send and
        // take packets meanwhile; the socket stays open until this thread
        // has been joined.
        ENetSocket socket = m_host->socket;
        lock.unlock();
        enet_uint32 condition = ENET_SOCKET_WAIT_RECEIVE;
        enet_socket_wait(socket, &condition, kWaitSliceMs);
        lock.lock();
    }
}

void NetPeer::ServiceNow() {
    CheckConnectDeadlines();
    ENetEvent event;
    for (;;) {
        int result = Service(event, 0);
        if (result < 0) {
            std::fputs("NetPeer: the network socket reported an error\n", stderr);
            break;
        }
        if (result == 0) break;
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT: HandleConnect(event.peer); break;
            case ENET_EVENT_TYPE_RECEIVE:
                HandleReceive(event.peer, event.channelID, event.packet->data, event.packet->dataLength);
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT: HandleDisconnect(event.peer, event.data); break;
            default: break;
        }
    }
    CloseRefusedLinks();
    CheckConnectDeadlines();
}

void NetPeer::StopThread() {
    if (!m_thread.joinable()) return;
    m_stopThread = true;
    m_thread.join();
}

void NetPeer::CheckConnectDeadlines() {
    uint64_t now = GetTime();
    std::vector<Link*> expired;
    for (auto& link : m_links)
        if (!link->up && !link->closing && link->deadline <= now) expired.push_back(link.get());
    for (Link* link : expired) {
        if (link->outgoing) Notify(kConnectionAttemptFailed, *link);
        enet_peer_reset(link->peer);
        DropLink(link);
    }
}

void NetPeer::CloseRefusedLinks() {
    std::vector<Link*> refused;
    for (auto& link : m_links)
        if (link->refusedLength && !link->closing) refused.push_back(link.get());
    for (Link* link : refused) {
        std::fprintf(stderr,
                     "NetPeer: refused a message of %" PRIu64
                     " bytes from %s, the limit is %zu bytes; the connection is closed\n",
                     link->refusedLength, link->address.ToString().c_str(), m_maxMessageSize);
        // The messages that arrived before it are delivered first.
        if (link->up) {
            Notify(kConnectionLost, *link);
        } else if (link->outgoing) {
            Notify(kConnectionAttemptFailed, *link);
        }
        enet_peer_disconnect_now(link->peer, kReasonTooLong);
        DropLink(link);
    }
}

void NetPeer::HandleConnect(ENetPeer* peer) {
    auto* link = static_cast<Link*>(peer->data);
    if (link) {
        // Our outgoing connection: from now on the established time-out holds.
        link->transportUp = true;
        enet_peer_timeout(peer, 0, link->timeoutMs, link->timeoutMs);
        SendIdentity(*link);
        return;
    }
    size_t incoming = 0;
    for (auto& other : m_links)
        if (!other->outgoing && !other->closing) ++incoming;
    size_t open = static_cast<size_t>(
        std::count_if(m_links.begin(), m_links.end(), [](const std::unique_ptr<Link>& l) { return !l->closing; }));
    auto created = std::make_unique<Link>();
    created->peer = peer;
    created->address = ToAddress(peer->address);
    created->transportUp = true;
    created->deadline = GetTime() + kIncomingHandshakeMs;
    peer->data = created.get();
    Link& added = *created;
    m_links.push_back(std::move(created));
    if (incoming >= m_maxIncoming || open >= m_maxConnections) {
        added.closing = true;
        enet_peer_disconnect(peer, kReasonFull);
        enet_host_flush(m_host);
        return;
    }
    enet_peer_timeout(peer, 0, m_incomingTimeoutMs, m_incomingTimeoutMs);
    SendIdentity(added);
}

void NetPeer::SendIdentity(Link& link) {
    BitStream identity;
    identity.WriteU8(kIdentityMessage);
    identity.WriteU64(m_guid.value);
    ENetPacket* packet = enet_packet_create(identity.GetData(), identity.GetLength(), ENET_PACKET_FLAG_RELIABLE);
    if (!packet) return;
    if (enet_peer_send(link.peer, kSystemChannel, packet) < 0 && packet->referenceCount == 0)
        enet_packet_destroy(packet);
    enet_host_flush(m_host);
}

void NetPeer::HandleReceive(ENetPeer* peer, uint8_t channel, const uint8_t* data, size_t length) {
    auto* link = static_cast<Link*>(peer->data);
    if (!link || link->closing) return;
    if (channel == kSystemChannel) {
        BitStream stream(data, length);
        uint8_t kind = 0;
        uint64_t guid = 0;
        if (!stream.ReadU8(kind) || kind != kIdentityMessage || !stream.ReadU64(guid)) {
            std::fputs("NetPeer: ignored a damaged handshake message\n", stderr);
            return;
        }
        if (link->up) return;
        link->guid.value = guid;
        link->up = true;
        Notify(link->outgoing ? kConnectionRequestAccepted : kNewIncomingConnection, *link);
        for (auto& held : link->pending) {
            held->guid = link->guid;
            Enqueue(std::move(held));
        }
        link->pending.clear();
        return;
    }
    if (length == 0 || channel >= kChannelCount) return;
    auto packet = std::make_unique<NetPacket>();
    packet->data.assign(data, data + length);
    packet->sender = link->address;
    packet->guid = link->guid;
    packet->channel = channel;
    if (link->up) {
        Enqueue(std::move(packet));
    } else if (link->pending.size() < kMaxPending) {
        link->pending.push_back(std::move(packet));
    }
}

void NetPeer::HandleDisconnect(ENetPeer* peer, uint32_t reason) {
    auto* link = static_cast<Link*>(peer->data);
    if (!link) return;
    if (!link->closing) {
        if (link->up) {
            Notify(reason == 0 ? kConnectionLost : kDisconnectionNotification, *link);
        } else if (link->outgoing) {
            Notify(reason == kReasonFull ? kNoFreeIncomingConnections : kConnectionAttemptFailed, *link);
        }
    }
    DropLink(link);
}

void NetPeer::Notify(uint8_t id, const Link& link) {
    auto packet = std::make_unique<NetPacket>();
    packet->data.push_back(id);
    packet->notice = id;
    packet->sender = link.address;
    packet->guid = link.guid;
    m_queue.push_back(std::move(packet));
}

void NetPeer::Enqueue(std::unique_ptr<NetPacket> packet) {
    const size_t length = packet->Length();
    if (m_queuedMessages >= kMaxQueuedMessages || m_queuedBytes + length > kMaxQueuedBytes) {
        while (m_queuedMessages > 0 &&
               (m_queuedMessages >= kMaxQueuedMessages || m_queuedBytes + length > kMaxQueuedBytes)) {
            auto oldest = std::find_if(m_queue.begin(), m_queue.end(),
                                       [](const std::unique_ptr<NetPacket>& p) { return !p->IsNotice(); });
            if (oldest == m_queue.end()) break;
            m_queuedBytes -= (*oldest)->Length();
            m_queue.erase(oldest);
            --m_queuedMessages;
            ++m_dropped;
        }
        if (!m_overflowReported) {
            std::fputs("NetPeer: the receive queue is full, the oldest messages are dropped\n", stderr);
            m_overflowReported = true;
        }
    }
    m_queue.push_back(std::move(packet));
    ++m_queuedMessages;
    m_queuedBytes += length;
}

void NetPeer::DropLink(Link* link) {
    if (link->peer) link->peer->data = nullptr;
    auto it = std::find_if(m_links.begin(), m_links.end(),
                           [link](const std::unique_ptr<Link>& l) { return l.get() == link; });
    if (it != m_links.end()) m_links.erase(it);
}

NetPeer::Link* NetPeer::FindLink(const NetAddress& address) const {
    for (auto& link : m_links)
        if (link->address == address) return link.get();
    return nullptr;
}

bool NetPeer::Send(const BitStream& stream, uint8_t channel, const NetAddress& target) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_host || stream.GetLength() == 0 || stream.GetLength() > m_maxMessageSize || channel >= kChannelCount)
        return false;
    Link* link = FindLink(target);
    if (!link || !link->up || link->closing) return false;
    ENetPacket* packet = enet_packet_create(stream.GetData(), stream.GetLength(), ENET_PACKET_FLAG_RELIABLE);
    if (!packet) return false;
    if (enet_peer_send(link->peer, channel, packet) < 0) {
        if (packet->referenceCount == 0) enet_packet_destroy(packet);
        return false;
    }
    enet_host_flush(m_host);
    return true;
}

void NetPeer::CloseConnection(const NetAddress& target) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_host) return;
    Link* link = FindLink(target);
    if (!link || link->closing) return;
    if (!link->transportUp) {
        enet_peer_reset(link->peer);
        DropLink(link);
        return;
    }
    link->closing = true;
    enet_peer_disconnect(link->peer, kReasonGoodbye);
    enet_host_flush(m_host);
}

uint64_t NetPeer::GetDroppedCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

size_t NetPeer::GetConnectionCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<size_t>(std::count_if(m_links.begin(), m_links.end(),
                                             [](const std::unique_ptr<Link>& l) { return l->up && !l->closing; }));
}

void NetPeer::Shutdown(uint32_t blockMs) {
    // From here on this thread alone talks to ENet.
    StopThread();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_host) return;
    for (auto& link : m_links) {
        if (!link->transportUp) {
            enet_peer_reset(link->peer);
            link->peer->data = nullptr;
            link->peer = nullptr;
            continue;
        }
        if (blockMs > 0) {
            if (!link->closing) enet_peer_disconnect(link->peer, kReasonGoodbye);
        } else {
            enet_peer_disconnect_now(link->peer, kReasonGoodbye);
            link->peer->data = nullptr;
            link->peer = nullptr;
        }
        link->closing = true;
    }
    if (blockMs > 0) {
        enet_host_flush(m_host);
        const uint64_t end = GetTime() + blockMs;
        auto waiting = [this] {
            return std::any_of(m_links.begin(), m_links.end(),
                               [](const std::unique_ptr<Link>& l) { return l->peer != nullptr; });
        };
        while (waiting()) {
            uint64_t now = GetTime();
            if (now >= end) break;
            ENetEvent event;
            int result = Service(event, static_cast<uint32_t>(std::min<uint64_t>(end - now, kWaitSliceMs)));
            if (result < 0) break;
            if (result == 0) continue;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                enet_packet_destroy(event.packet);
            } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
                auto* link = static_cast<Link*>(event.peer->data);
                if (link) {
                    link->peer = nullptr;
                    event.peer->data = nullptr;
                }
            }
        }
        for (auto& link : m_links) {
            if (!link->peer) continue;
            enet_peer_reset(link->peer);
            link->peer->data = nullptr;
            link->peer = nullptr;
        }
    }
    m_links.clear();
    enet_host_destroy(m_host);
    m_host = nullptr;
    m_queue.clear();
    m_queuedMessages = 0;
    m_queuedBytes = 0;
}

void NetPeer::Abort() {
    StopThread();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_host) return;
    // Destroying the host resets every connection without a word to the
    // other side.
    for (auto& link : m_links)
        if (link->peer) link->peer->data = nullptr;
    m_links.clear();
    enet_host_destroy(m_host);
    m_host = nullptr;
    m_queue.clear();
    m_queuedMessages = 0;
    m_queuedBytes = 0;
}

}  // namespace net
