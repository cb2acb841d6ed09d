#pragma once
// Decodes a whole MP3 file held in memory to 16-bit PCM with libmpg123.
#include <cstdint>
#include <string>
#include <vector>

namespace audio {

struct DecodedPcm {
    uint32_t frequency = 0;
    uint32_t channels = 0;
    std::vector<int16_t> samples;   // interleaved, frames x channels
    uint64_t Frames() const { return channels ? samples.size() / channels : 0; }
};

class Mp3Decoder {
public:
    // kOk, or kErrorFileFormat when no audio frame decodes, the decoder
    // reports an error, the format changes within the file or the result
    // would be unreasonably large.
    static int Decode(const std::string& data, DecodedPcm& out);

    // Longest decoded result accepted, in bytes.
    static constexpr uint64_t kMaxDecodedBytes = uint64_t(1) << 30;
};

}  // namespace audio
