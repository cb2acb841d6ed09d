#pragma once
// One endpoint of the game's network connections, over ENet (UDP). The
// client makes one outgoing connection; a server accepts incoming ones.
//
// From Startup to Shutdown the peer services the network on a thread of its
// own, so connections stay alive (acknowledgements, pings, resends) however
// long the owner goes without looking. That thread only talks to ENet and
// fills a locked receive queue; the owner takes packets from the queue with
// Receive on its own thread, in order: the other side's messages and the
// layer's own notifications (accepted, attempt failed, new incoming, full,
// disconnected, lost), which come from ENet's connection events and are
// marked as notices (NetPacket::notice), never taken from a payload.
//
// The queue holds at most kMaxQueuedMessages messages and kMaxQueuedBytes
// bytes of them: past that the oldest messages are dropped, with one line on
// stderr until the owner has emptied the queue again. Notifications are
// never dropped.
//
// A message longer than the peer's limit (kMaxPacketSize unless set) is
// neither sent nor received. The network library would refuse such a
// message in silence and leave it unacknowledged, so that the sender resends
// it until its time-out and every later message on the connection waits
// behind it. The peer therefore lets the library decide, datagram by
// datagram and command by command, which messages it takes, and refuses the
// library the memory for one over the limit (the library's own size check is
// off): the library drops that message and reads no further in the
// datagram, what came before it is delivered, and the peer prints a line
// with the message's size and the limit, closes that connection at once and
// reports it lost (kConnectionLost). A datagram in which the library takes
// no message over the limit (it drops the datagram, stops reading before
// such a message, or passes over it) changes nothing.
//
// Behind the notifications lies a small handshake of the layer's own: once
// ENet has the connection up, each side sends its identity on a channel the
// game never sees; the connection counts as up (accepted / new incoming)
// when the other side's identity has arrived. Messages that overtake the
// identity are held back until it comes. A side that has no free slot closes
// the connection with a reason that the other side reports as "full".
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/BitStream.h"
#include "platform/net/NetTypes.h"

typedef struct _ENetHost ENetHost;
typedef struct _ENetPeer ENetPeer;
typedef struct _ENetEvent ENetEvent;

namespace net {

enum class StartResult { kStarted, kAlreadyStarted, kInvalidArguments, kSocketFailed };

enum class ConnectResult {
    kStarted = 0,
    kInvalidParameter,
    kCannotResolveHost,
    kAlreadyConnected,
    kNotStarted,
    kNoFreeSlot,
};

// Where the peer's socket listens: port 0 is any free port; an empty host
// address listens on every interface.
struct SocketDescriptor {
    uint16_t port = 0;
    std::string hostAddress;
};

class NetPeer {
public:
    // Ordering channels open to the game (0 .. kChannelCount - 1).
    static constexpr uint8_t kChannelCount = 32;
    // Time-out for an established connection when Connect is given 0.
    static constexpr uint32_t kDefaultTimeoutMs = 10000;
    // Messages the receive queue holds before the oldest are dropped.
    static constexpr size_t kMaxQueuedMessages = 4096;
    // Bytes of messages the receive queue holds before the oldest are dropped.
    static constexpr size_t kMaxQueuedBytes = 16 * 1024 * 1024;
    // The longest message sent or received, in bytes, unless set otherwise
    // (SetMaximumMessageSize). The game's messages are far shorter: a chat
    // line, a name, one player's state, a world state of some hundred
    // players.
    static constexpr size_t kMaxPacketSize = 256 * 1024;
    // The lowest limit: a lower one is taken as this. The records the
    // library allocates while it reads datagrams are shorter, so that only
    // a message's bytes are ever refused (see Allocate).
    static constexpr size_t kMinimumMessageSize = 128;

    // A new peer, or null when the network library cannot start.
    static NetPeer* GetInstance();
    static void DestroyInstance(NetPeer* peer);

    NetPeer();
    // Shuts down at once (no waiting) and frees every packet still out.
    virtual ~NetPeer();
    NetPeer(const NetPeer&) = delete;
    NetPeer& operator=(const NetPeer&) = delete;

    // Opens the socket for at most maxConnections connections (in and out)
    // and starts the servicing thread.
    StartResult Startup(uint32_t maxConnections, const SocketDescriptor& socket);
    bool IsActive() const;
    // How many incoming connections are accepted (0 at start: none).
    void SetMaximumIncomingConnections(uint32_t count);
    // How long an incoming connection may stay silent before it is lost
    // (0: kDefaultTimeoutMs). Holds for connections made afterwards.
    void SetIncomingTimeout(uint32_t timeoutMs);
    // The longest message sent or received (0: kMaxPacketSize; at least
    // kMinimumMessageSize). A server whose clients take longer messages, or
    // a test that plays one, sets it.
    void SetMaximumMessageSize(size_t bytes);
    // The port the socket is bound to (0 when not started).
    uint16_t GetBoundPort() const;

    // Starts connecting to host:port. The answer comes through Receive:
    // kConnectionRequestAccepted, or kConnectionAttemptFailed once
    // attempts x attemptIntervalMs have passed without one, or
    // kNoFreeIncomingConnections. timeoutMs is how long an established
    // connection may stay silent before it is lost (0: kDefaultTimeoutMs).
    ConnectResult Connect(const std::string& host, uint16_t port, uint32_t attempts, uint32_t attemptIntervalMs,
                          uint32_t timeoutMs);

    // Gives the next received packet, or null when none is waiting. With
    // waitMs, waits up to that long for one to arrive.
    NetPacket* Receive(uint32_t waitMs = 0);
    // Hands a packet from Receive back. Null and unknown packets are ignored.
    void DeallocatePacket(NetPacket* packet);

    // Sends the stream's bytes reliably and in order on a channel to a
    // connected peer. False when the stream is empty, the channel is out of
    // range, or no connection to that address is up.
    bool Send(const BitStream& stream, uint8_t channel, const NetAddress& target);

    // Closes one connection gracefully; the other side is told
    // (kDisconnectionNotification). This side gets no notification.
    void CloseConnection(const NetAddress& target);

    // Stops the servicing thread, closes every connection, waiting up to
    // blockMs for the other sides to confirm (0: tell them and go at once),
    // and closes the socket. Packets already given out stay valid until
    // deallocated.
    void Shutdown(uint32_t blockMs);
    // Stops at once and tells nobody, as a crashed program would: the other
    // sides find their connections lost when their time-outs run out.
    void Abort();

    // Has the network library read one datagram as if it came from `from`,
    // as every datagram is read: the messages it takes are delivered, and a
    // message over the limit is refused and its connection closed as above.
    // Gives the refused message's length (0: nothing refused). The datagram
    // travels over the loopback interface to the peer's socket; the library
    // reads nothing of an empty one or of one longer than its receive buffer
    // (ENET_PROTOCOL_MAXIMUM_MTU). For tests and fuzzing, which cannot make a
    // socket deliver any datagram they like.
    uint64_t ReadDatagram(const uint8_t* data, size_t length, const NetAddress& from);

    NetGuid GetMyGUID() const { return m_guid; }
    // Connections that are up (identity exchanged, not closing).
    size_t GetConnectionCount() const;
    // Messages dropped so far because the receive queue was full.
    uint64_t GetDroppedCount() const;

private:
    struct Link;
    struct Reading;
    struct Injection;

    // Starts the library once, with the peer's allocator.
    static bool StartLibrary();
    // The library's allocator. While the library services a host on this
    // thread (Service), it refuses the bytes of a message over that peer's
    // limit: the allocation right after a message's record (an ENetPacket).
    static void* Allocate(size_t size);
    // The library's answer to a refused allocation: none for a refused
    // message, which the library drops; otherwise it aborts, as its own does.
    static void OutOfMemory();
    // Marks the connection whose datagram the library is reading as refused
    // (a message of `length` bytes), for ServiceNow to close.
    static void RefuseMessage(const Reading& reading, uint64_t length);
    // Called by the library with each datagram before it reads it: a new
    // datagram begins, and ReadDatagram's takes the address it stands for.
    static int InterceptDatagram(ENetHost* host, ENetEvent* event);
    // enet_host_service with the peer's limit on this thread (the lock held).
    int Service(ENetEvent& event, uint32_t waitMs);

    // The servicing thread's loop.
    void Run();
    // Handles every event ENet has now (the lock held).
    void ServiceNow();
    void StopThread();
    void CheckConnectDeadlines();
    // Closes the connections on which a message over the limit began to
    // arrive, with a line each, and reports them lost.
    void CloseRefusedLinks();
    void HandleConnect(ENetPeer* peer);
    void HandleReceive(ENetPeer* peer, uint8_t channel, const uint8_t* data, size_t length);
    void HandleDisconnect(ENetPeer* peer, uint32_t reason);
    void SendIdentity(Link& link);
    void Notify(uint8_t id, const Link& link);
    // Appends a message to the receive queue, dropping the oldest message
    // when the queue is full.
    void Enqueue(std::unique_ptr<NetPacket> packet);
    void DropLink(Link* link);
    Link* FindLink(const NetAddress& address) const;

    // Guards everything below against the servicing thread.
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;  // the receive queue grew
    std::thread m_thread;
    std::atomic<bool> m_stopThread{false};

    ENetHost* m_host = nullptr;
    NetGuid m_guid;
    uint32_t m_maxConnections = 0;
    uint32_t m_maxIncoming = 0;
    uint32_t m_incomingTimeoutMs = kDefaultTimeoutMs;
    size_t m_maxMessageSize = kMaxPacketSize;
    std::vector<std::unique_ptr<Link>> m_links;
    std::deque<std::unique_ptr<NetPacket>> m_queue;  // received, not yet given out
    size_t m_queuedMessages = 0;                     // of m_queue, not notices
    size_t m_queuedBytes = 0;                        // of those messages
    uint64_t m_dropped = 0;
    bool m_overflowReported = false;
    std::vector<std::unique_ptr<NetPacket>> m_givenOut;  // given out, not yet handed back
    Injection* m_injection = nullptr;                    // ReadDatagram's datagram, on its way

    static thread_local Reading* t_reading;  // the library servicing a host on this thread
};

}  // namespace net
