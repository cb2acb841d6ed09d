#include "platform/audio/AllegroAudioFormat.h"

namespace audio {

const char* AllegroLoaderIdent(Codec codec) {
    switch (codec) {
        case Codec::Wav: return ".wav";
        case Codec::OggVorbis: return ".ogg";
        case Codec::Flac: return ".flac";
        case Codec::Mp3: break;
    }
    return nullptr;
}

ALLEGRO_CHANNEL_CONF AllegroChannelConf(uint32_t channels) {
    return channels == 1 ? ALLEGRO_CHANNEL_CONF_1 : ALLEGRO_CHANNEL_CONF_2;
}

}  // namespace audio
