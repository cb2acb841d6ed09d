#pragma once
// Decodes MP3 (MPEG audio) to 16-bit PCM with libmpg123, a block at a time,
// pulling the file's bytes as it goes: a stream keeps one decoder and a few
// kilobytes of buffer, never the whole file or its whole sound.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace audio {

class AudioFile;

struct DecodedPcm {
    uint32_t frequency = 0;
    uint32_t channels = 0;
    std::vector<int16_t> samples;  // interleaved, frames x channels
    uint64_t Frames() const { return channels ? samples.size() / channels : 0; }
};

class Mp3Decoder {
public:
    Mp3Decoder();
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Opens the decoder on a file and reads up to its first audio frame to
    // learn the format (mono or stereo, any rate). kOk or kErrorFileFormat.
    int Open(std::unique_ptr<AudioFile> file);
    // Walks every frame header to the end for the exact length; nothing is
    // decoded. From then on the stream is exactly that long: Read stops
    // there, and pads with silence should the frames decode short.
    // kOk, or kErrorFileFormat when the file holds no audio frame.
    int MeasureLength();

    uint32_t Frequency() const { return frequency_; }
    uint32_t Channels() const { return channels_; }
    uint64_t Frames() const { return frames_; }  // 0 until measured
    uint64_t Position() const { return position_; }

    // Decodes up to `frames` frames into out (frames x channels samples).
    // Gives the number written: 0 at the end, and 0 from the first decoding
    // error on (Failed() then tells).
    size_t Read(int16_t* out, size_t frames);
    // Moves to a frame (at most the length). False when the decoder cannot.
    bool Seek(uint64_t frame);
    bool Failed() const { return failed_; }

    // Decodes a whole file held in memory. kOk, or kErrorFileFormat when no
    // audio frame decodes, the decoder reports an error, the format changes
    // within the file or the result would be unreasonably large.
    static int Decode(const std::string& data, DecodedPcm& out);

    // Longest decoded result Decode accepts, in bytes.
    static constexpr uint64_t kMaxDecodedBytes = uint64_t(1) << 30;

private:
    struct Handle;
    size_t Decode(unsigned char* out, size_t bytes);

    std::unique_ptr<Handle> handle_;
    uint32_t frequency_ = 0;
    uint32_t channels_ = 0;
    uint64_t frames_ = 0;
    uint64_t position_ = 0;
    bool measured_ = false;
    bool atEnd_ = false;
    bool failed_ = false;
};

}  // namespace audio
