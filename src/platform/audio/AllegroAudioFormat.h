#pragma once
// How our codecs and channel counts are named to Allegro's audio and codec
// addons, for the short sounds decoded whole and the long tracks streamed.
#include <allegro5/allegro_audio.h>

#include <cstdint>

#include "platform/audio/AudioFileProbe.h"

namespace audio {

// The ident the codec addon picks its reader by (".wav", ".ogg", ".flac");
// null for MP3, which is decoded by our Mp3Decoder instead.
const char* AllegroLoaderIdent(Codec codec);

// Mono for one channel, stereo otherwise.
ALLEGRO_CHANNEL_CONF AllegroChannelConf(uint32_t channels);

}  // namespace audio
