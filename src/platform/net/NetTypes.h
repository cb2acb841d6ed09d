#pragma once
// Small value types of the network layer: a peer's address, its identity,
// a received packet, the identifiers of the layer's own notifications, and
// the layer's clock.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace net {

// First bytes of the notifications the layer puts in the receive queue (a
// packet of that one byte), and of a timestamped message.
enum MessageId : uint8_t {
    kConnectionRequestAccepted = 16,  // our outgoing connection is up
    kConnectionAttemptFailed = 17,    // no answer within the attempts
    kNewIncomingConnection = 19,      // someone connected to us
    kNoFreeIncomingConnections = 20,  // the other side is full
    kDisconnectionNotification = 21,  // the other side closed the connection
    kConnectionLost = 22,             // the other side stopped answering
    kTimestamp = 27,                  // a u64 time follows, then the real id
    kFirstUserId = 128,
};

// A peer's identity: a random 64-bit number chosen when the peer is made.
struct NetGuid {
    uint64_t value = 0;

    std::string ToString() const { return std::to_string(value); }
    bool operator==(const NetGuid& other) const = default;
};

// An IPv4 address and port.
struct NetAddress {
    uint32_t host = 0;  // in network byte order, as the socket layer keeps it
    uint16_t port = 0;  // in host byte order

    // Dotted quad; with the port, "a.b.c.d" + separator + port.
    std::string ToString(bool withPort = true, char separator = '|') const;
    bool operator==(const NetAddress& other) const = default;
};

// One received message or notification. Owned by the peer that gave it out
// until handed back with NetPeer::DeallocatePacket. Never empty.
//
// A notification of the layer's own has its MessageId in `notice` (and as
// its one data byte); a message from the other side has notice 0, whatever
// its bytes are, so no payload can pass for a notification.
struct NetPacket {
    std::vector<uint8_t> data;
    NetAddress sender;
    NetGuid guid;
    uint8_t channel = 0;  // the channel a message came on (0 for notices)
    uint8_t notice = 0;   // the notification's id; 0 for a message

    bool IsNotice() const { return notice != 0; }

    const uint8_t* Data() const { return data.data(); }
    size_t Length() const { return data.size(); }
};

// Milliseconds of a monotonic clock, the time stamped on messages.
inline uint64_t GetTime() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace net
