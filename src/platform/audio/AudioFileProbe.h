#pragma once
// Recognises an audio file by its content and reads what its headers say
// about the sound: frequency, channels and length. WAV, Ogg Vorbis and FLAC
// are checked here structure by structure (every size against what remains
// of the file), reading the file piece by piece and decoding nothing; MP3 has
// no reliable header, so it is recognised here and measured by Mp3Decoder.
#include <cstdint>
#include <string>

namespace audio {

enum class Codec { Wav, OggVorbis, Flac, Mp3 };

struct StreamFormat {
    Codec codec = Codec::Wav;
    uint32_t frequency = 0;  // frames a second
    uint32_t channels = 0;
    uint64_t frames = 0;  // samples per channel; 0 when the header does not say
};

class AudioFile;

// Reads the headers of a file. path only serves to recognise MP3 files by
// their ".mp3" ending when the content does not start with a tag or a frame.
// Returns kOk or kErrorFileFormat.
int ProbeAudioFile(AudioFile& file, const std::string& path, StreamFormat& out);
// The same for a whole file held in memory.
int ProbeAudioData(const std::string& data, const std::string& path, StreamFormat& out);

}  // namespace audio
