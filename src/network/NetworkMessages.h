#pragma once
// The game's messages between client and server.
//
// Header of every message the client sends (and of the server's):
//   u8 27 (timestamp follows), u64 time in ms, u8 message id
// then the payload; numbers big-endian, texts as a u32 byte count and bytes.
//
//   130 chat line            client -> server, channel 0: text
//   132 player name          client -> server, channel 1: text
//   133 player state         client -> server, channel 1: text avatar name,
//                            double x, y, z (centre), int32 animation
//                            direction, int32 animation timer, int32 state
//   130, 131, 134-136        server -> client: text to show
//   133 world state          server -> client: u32 record count; per record
//                            text name, double x, y, z, and unless x, y and z
//                            are all kRemovalCoordinate, int32 direction,
//                            int32 timer, int32 state index. A removal ends
//                            the message.
#include <cstdint>

namespace netmsg {

enum : uint8_t {
    kChatText = 130,
    kServerText = 131,
    kPlayerName = 132,
    kPlayerState = 133,
    kServerText2 = 134,
    kServerText3 = 135,
    kServerText4 = 136,
};

// Bytes before the payload: 27, the u64 time, the id.
constexpr size_t kHeaderSize = 10;
// Channels the client sends on.
constexpr uint8_t kChatChannel = 0;
constexpr uint8_t kStateChannel = 1;
// x, y and z all at this value: the player has left.
constexpr double kRemovalCoordinate = -96.0;

}  // namespace netmsg
