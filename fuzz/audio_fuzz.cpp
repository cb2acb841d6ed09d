// The audio layer's file probes under damaged data: the first byte picks the
// file name's ending (MP3 is also recognised by its name); the rest is the
// file. A recognised WAV, Ogg or FLAC file must describe a playable sound;
// MP3 data is measured by its frame headers, as opening a stream does, then
// decoded a block at a time as it plays, and decoded whole.
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/Audio.h"
#include "platform/audio/AudioFile.h"
#include "platform/audio/AudioFileProbe.h"
#include "platform/audio/Mp3Decoder.h"
#include "support/FuzzSupport.h"

using fuzzsupport::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::InputReader input(data, size);
    static const char* const kNames[] = {"Sound.wav", "Sound.ogg", "Sound.flac", "Sound.mp3", "Sound.MP3", "Sound"};
    const std::string name = kNames[input.Byte() % 6];
    const std::string file = fuzzsupport::Payload(input, false);

    audio::StreamFormat format;
    format.frequency = 99;
    const int result = audio::ProbeAudioData(file, name, format);
    if (result != audio::kOk) {
        Check(result == audio::kErrorFileFormat, "the probe gave an unexpected error");
        return 0;
    }
    if (format.codec != audio::Codec::Mp3) {
        Check(format.frequency > 0 && format.channels >= 1,
              "an accepted file has no usable frequency or channel count");
        return 0;
    }
    audio::Mp3Decoder stream;
    if (stream.Open(audio::AudioFile::FromBytes(file)) == audio::kOk && stream.MeasureLength() == audio::kOk) {
        Check(stream.Channels() >= 1 && stream.Channels() <= 2, "a measured MP3 has no usable channel count");
        std::vector<int16_t> block(size_t(4096) * stream.Channels());
        uint64_t total = 0;
        for (int i = 0; i < 64; ++i) {
            const size_t got = stream.Read(block.data(), 4096);
            if (got == 0) break;
            total += got;
        }
        Check(total <= stream.Frames(), "an MP3 stream gave more than its measured length");
        stream.Seek(stream.Frames() / 2);
        stream.Read(block.data(), 4096);
    }
    audio::DecodedPcm pcm;
    if (audio::Mp3Decoder::Decode(file, pcm) == audio::kOk) {
        Check(pcm.frequency > 0 && pcm.channels >= 1 && pcm.channels <= 2, "a decoded MP3 has no usable format");
        Check(pcm.samples.size() % pcm.channels == 0, "a decoded MP3 ends inside a frame");
        Check(pcm.samples.size() * sizeof(int16_t) <= audio::Mp3Decoder::kMaxDecodedBytes,
              "a decoded MP3 is larger than the limit");
    }
    return 0;
}
