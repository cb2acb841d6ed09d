#pragma once
// Recognises an audio file by its content and reads what its headers say
// about the sound: frequency, channels and length. WAV, Ogg Vorbis and FLAC
// are checked here structure by structure (every size against what remains
// of the file); MP3 has no reliable header, so it is recognised here and
// measured by decoding it (Mp3Decoder).
#include <cstdint>
#include <string>

namespace audio {

enum class Codec { Wav, OggVorbis, Flac, Mp3 };

struct StreamFormat {
    Codec codec = Codec::Wav;
    uint32_t frequency = 0;   // frames a second
    uint32_t channels = 0;
    uint64_t frames = 0;      // samples per channel; 0 when the header does not say
};

// Reads the headers of a whole file held in memory. path only serves to
// recognise MP3 files by their ".mp3" ending when the content does not
// start with a tag or a frame. Returns kOk or kErrorFileFormat.
int ProbeAudioData(const std::string& data, const std::string& path, StreamFormat& out);

}  // namespace audio
