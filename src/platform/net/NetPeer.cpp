#include "platform/net/NetPeer.h"

#include <enet/enet.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
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

bool StartLibrary() {
    static const bool started = enet_initialize() == 0;
    return started;
}

uint64_t NewGuidValue() {
    std::random_device device;
    std::mt19937_64 mix((static_cast<uint64_t>(device()) << 32) ^ device() ^ GetTime());
    uint64_t value = 0;
    while (value == 0) value = mix();
    return value;
}

NetAddress ToAddress(const ENetAddress& address) { return NetAddress{address.host, address.port}; }

// How the library reads a datagram, as far as a message over its size limit
// goes: it drops a datagram that names no peer slot, comes from another
// address than that peer's or carries another session. It reads the commands
// in order and stops at the first it cannot take: a command it does not know
// or that is cut short, a connection request, a message for a channel the
// connection lacks, one whose bytes the datagram does not hold or that is
// longer than the limit, a piece of a message that contradicts itself. It
// passes over a piece that lies outside the window of sequence numbers it
// expects, and after a command that asks for an acknowledgement it stops
// when the datagram lacks its sent time. A message it refuses for its length
// is refused in silence (a reliable one is then sent again and again), so the
// peer closes the connection instead; to judge only what the library
// measures, it reads with the library's checks in the library's order. This
// layer uses neither compression nor checksums. Nothing at or past `length`
// is read, whatever the datagram claims: the library's receive buffer goes
// on with the bytes of earlier datagrams there.

// The peer the library would read the datagram for, when that is a
// connection that takes messages; otherwise null.
ENetPeer* ConnectedPeerFor(ENetHost* host, const uint8_t* data, size_t length, const NetAddress& from) {
    if (length < sizeof(enet_uint16)) return nullptr;
    enet_uint16 field = 0;
    std::memcpy(&field, data, sizeof field);
    field = ENET_NET_TO_HOST_16(field);
    // Without a decompressor the library drops a compressed datagram.
    if (field & ENET_PROTOCOL_HEADER_FLAG_COMPRESSED) return nullptr;
    const unsigned slot = field & ENET_PROTOCOL_MAXIMUM_PEER_ID;
    const unsigned session = (field & ENET_PROTOCOL_HEADER_SESSION_MASK) >> ENET_PROTOCOL_HEADER_SESSION_SHIFT;
    if (slot == ENET_PROTOCOL_MAXIMUM_PEER_ID || slot >= host->peerCount) return nullptr;
    ENetPeer* peer = &host->peers[slot];
    // Only an established connection takes messages (the library's other
    // state that does, "disconnect later", follows a close by this side).
    if (peer->state != ENET_PEER_STATE_CONNECTED) return nullptr;
    if (!(ToAddress(peer->address) == from) && peer->address.host != ENET_HOST_BROADCAST) return nullptr;
    if (peer->outgoingPeerID < ENET_PROTOCOL_MAXIMUM_PEER_ID && session != peer->incomingSessionID) return nullptr;
    return peer;
}

// True when the library passes over a piece of a message that starts at
// this reliable sequence number: behind the channel's window, or too far
// ahead of it. The window is taken as it stands before the datagram (a
// message earlier in the same datagram may move it on).
bool OutsideReliableWindow(const ENetChannel& channel, uint16_t sequence) {
    unsigned window = sequence / ENET_PEER_RELIABLE_WINDOW_SIZE;
    const unsigned current = channel.incomingReliableSequenceNumber / ENET_PEER_RELIABLE_WINDOW_SIZE;
    if (sequence < channel.incomingReliableSequenceNumber) window += ENET_PEER_RELIABLE_WINDOWS;
    return window < current || window >= current + ENET_PEER_FREE_RELIABLE_WINDOWS - 1;
}

// The length of a message over the host's limit that the library would reach
// in this datagram from a connected peer, and refuse; 0 when there is none.
uint64_t OverLimitMessageIn(const ENetHost& host, const ENetPeer& peer, const uint8_t* data, size_t length) {
    const size_t limit = host.maximumPacketSize;
    enet_uint16 field = 0;
    std::memcpy(&field, data, sizeof field);
    const bool sentTime = ENET_NET_TO_HOST_16(field) & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME;
    size_t offset = sentTime ? sizeof(ENetProtocolHeader) : sizeof(enet_uint16);
    // A header cut short brings no command. From here on offset <= length,
    // so length - offset is what remains and cannot wrap.
    if (length < offset) return 0;
    // The library refuses every further message from a peer with this many
    // bytes waiting for delivery, and stops reading there: near that, what
    // follows a message is left to it.
    const bool nearlyFull = peer.totalWaitingData + length >= host.maximumWaitingData;
    while (length - offset >= sizeof(ENetProtocolCommandHeader)) {
        const uint8_t number = data[offset] & ENET_PROTOCOL_COMMAND_MASK;
        const size_t size = number < ENET_PROTOCOL_COMMAND_COUNT ? enet_protocol_command_size(number) : 0;
        if (size == 0 || length - offset < size) return 0;
        ENetProtocol command;
        std::memcpy(&command, data + offset, size);
        offset += size;
        const size_t rest = length - offset;
        const bool channelOpen = command.header.channelID < peer.channelCount;
        switch (number) {
            // A connection request on a connection, or the connection's end:
            // no message is read after either.
            case ENET_PROTOCOL_COMMAND_CONNECT:
            case ENET_PROTOCOL_COMMAND_DISCONNECT: return 0;
            case ENET_PROTOCOL_COMMAND_SEND_RELIABLE:
            case ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE:
            case ENET_PROTOCOL_COMMAND_SEND_UNSEQUENCED: {
                // A whole message.
                const size_t bytes = ENET_NET_TO_HOST_16(
                    number == ENET_PROTOCOL_COMMAND_SEND_RELIABLE     ? command.sendReliable.dataLength
                    : number == ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE ? command.sendUnreliable.dataLength
                                                                      : command.sendUnsequenced.dataLength);
                if (!channelOpen || bytes > rest) return 0;
                if (bytes > limit) return bytes;
                if (nearlyFull) return 0;
                offset += bytes;
                break;
            }
            case ENET_PROTOCOL_COMMAND_SEND_FRAGMENT:
            case ENET_PROTOCOL_COMMAND_SEND_UNRELIABLE_FRAGMENT: {
                const ENetProtocolSendFragment& piece = command.sendFragment;
                const size_t bytes = ENET_NET_TO_HOST_16(piece.dataLength);
                if (!channelOpen || bytes > rest) return 0;
                const uint32_t count = ENET_NET_TO_HOST_32(piece.fragmentCount);
                const uint32_t index = ENET_NET_TO_HOST_32(piece.fragmentNumber);
                const uint32_t total = ENET_NET_TO_HOST_32(piece.totalLength);
                const uint32_t at = ENET_NET_TO_HOST_32(piece.fragmentOffset);
                const bool consistent =
                    count <= ENET_PROTOCOL_MAXIMUM_FRAGMENT_COUNT && index < count && at < total && bytes <= total - at;
                if (bytes > limit) return consistent ? total : 0;
                offset += bytes;
                const ENetChannel& channel = peer.channels[command.header.channelID];
                const uint16_t start = ENET_NET_TO_HOST_16(piece.startSequenceNumber);
                const uint16_t sequence = ENET_NET_TO_HOST_16(command.header.reliableSequenceNumber);
                const bool passedOver = number == ENET_PROTOCOL_COMMAND_SEND_FRAGMENT
                                            ? OutsideReliableWindow(channel, start)
                                            : OutsideReliableWindow(channel, sequence) ||
                                                  (sequence == channel.incomingReliableSequenceNumber &&
                                                   start <= channel.incomingUnreliableSequenceNumber);
                if (passedOver) break;
                if (!consistent) return 0;
                if (total > limit) return total;
                // Whether the library takes a piece within the limit rests on
                // the pieces it holds already (a repeat, a piece of another
                // message): what follows it is left to the library.
                return 0;
            }
            default: break;  // acknowledgements, pings and the connection's settings
        }
        if ((command.header.command & ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE) && !sentTime) return 0;
    }
    return 0;
}

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

uint64_t NetPeer::MarkOverLimitMessage(ENetHost* host, const uint8_t* data, size_t length, const NetAddress& from) {
    ENetPeer* peer = ConnectedPeerFor(host, data, length, from);
    auto* link = peer ? static_cast<Link*>(peer->data) : nullptr;
    if (!link || link->refusedLength) return 0;
    link->refusedLength = OverLimitMessageIn(*host, *peer, data, length);
    return link->refusedLength;
}

int NetPeer::InterceptDatagram(ENetHost* host, ENetEvent*) {
    MarkOverLimitMessage(host, host->receivedData, host->receivedDataLength, ToAddress(host->receivedAddress));
    return 0;
}

uint64_t NetPeer::RefuseOverLimitMessage(const uint8_t* data, size_t length, const NetAddress& from) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_host || (!data && length > 0)) return 0;
    return MarkOverLimitMessage(m_host, data, length, from);
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
    m_host->maximumPacketSize = m_maxMessageSize;
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
    m_maxMessageSize = bytes ? bytes : kMaxPacketSize;
    if (m_host) m_host->maximumPacketSize = m_maxMessageSize;
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
        int result = enet_host_service(m_host, &event, 0);
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
                     link->refusedLength, link->address.ToString().c_str(), m_host->maximumPacketSize);
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
    if (!m_host || stream.GetLength() == 0 || channel >= kChannelCount) return false;
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
            int result =
                enet_host_service(m_host, &event, static_cast<uint32_t>(std::min<uint64_t>(end - now, kWaitSliceMs)));
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
