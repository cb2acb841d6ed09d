// Long tracks played through a real mixer: an OpenAL output that plays into
// nothing stands in for a sound card, and the mixer's output is tapped.
// Whatever a track's format, what comes out must be the file's whole decode,
// frame for frame, across fragments, pauses and loops. Frames of silence are
// left out on both sides before comparing: the mixer puts out silence before
// a track starts, after it ends and whenever the feeding falls behind.
#include <allegro5/allegro.h>
#include <allegro5/allegro_audio.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#ifdef QEL_HAVE_AUDIO_ENCODERS
#include <FLAC/stream_encoder.h>
#include <vorbis/vorbisenc.h>
#endif

#include "platform/audio/AllegroBackend.h"
#include "platform/audio/Audio.h"
#include "platform/audio/Mp3Decoder.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "support/WavBytes.h"

// Allegro's OpenAL voice leaves the record of its thread behind when the
// voice is destroyed; that is the library's, not ours (our own threads are
// std::thread).
extern "C" const char* __lsan_default_suppressions() { return "leak:al_create_thread\n"; }

namespace {

using Frames = std::vector<int16_t>;  // interleaved stereo

constexpr int kRate = 44100;

// A stereo signal with no silent frame: two saw waves of different periods.
Frames Signal(size_t frames) {
    Frames pcm(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        pcm[2 * i] = int16_t(500 + int(i * 37 % 12000));
        pcm[2 * i + 1] = int16_t(-500 - int(i * 53 % 9000));
    }
    return pcm;
}

std::string MakeWav(const Frames& pcm) {
    std::string samples;
    for (int16_t v : pcm) testsupport::Put16(samples, uint16_t(v));
    return testsupport::WavFile(2, kRate, 16, samples);
}

// MPEG-1 Layer I frames (384 kbit/s, 44100 Hz, stereo) whose eight lowest
// sub-bands carry pseudo-random 4-bit samples: a noise-like sound that
// libmpg123 decodes like any other MPEG audio file.
std::string MakeMpegAudio(int frameCount) {
    std::string out;
    uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int f = 0; f < frameCount; ++f) {
        std::vector<bool> bits;
        auto put = [&bits](uint32_t value, int count) {
            for (int i = count - 1; i >= 0; --i) bits.push_back((value >> i) & 1);
        };
        put(0xFFF, 12);  // sync
        put(1, 1);       // MPEG-1
        put(3, 2);       // Layer I
        put(1, 1);       // no checksum
        put(12, 4);      // 384 kbit/s
        put(0, 2);       // 44100 Hz
        put(0, 4);       // no padding, private bit, stereo
        put(0, 6);       // mode extension, copyright, original, emphasis
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < 2; ++ch) put(sb < 8 ? 3 : 0, 4);  // 4 bits a sample
        for (int sb = 0; sb < 8; ++sb)
            for (int ch = 0; ch < 2; ++ch) put(8 + next() % 20, 6);  // scale factors
        for (int s = 0; s < 12; ++s)
            for (int sb = 0; sb < 8; ++sb)
                for (int ch = 0; ch < 2; ++ch) put(next() % 15, 4);
        std::string frame(416, '\0');  // 12 * 384000 / 44100 slots of 4 bytes
        for (size_t i = 0; i < bits.size(); ++i)
            if (bits[i]) frame[i / 8] = char(uint8_t(frame[i / 8]) | (0x80 >> (i % 8)));
        out += frame;
    }
    return out;
}

#ifdef QEL_HAVE_AUDIO_ENCODERS
std::string MakeOgg(const Frames& pcm) {
    vorbis_info vi;
    vorbis_info_init(&vi);
    vorbis_encode_init_vbr(&vi, 2, kRate, 0.5f);
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 77);
    std::string out;
    ogg_page page;
    auto append = [&out, &page] {
        out.append(reinterpret_cast<const char*>(page.header), size_t(page.header_len));
        out.append(reinterpret_cast<const char*>(page.body), size_t(page.body_len));
    };
    ogg_packet header, comments, books;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &books);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &books);
    while (ogg_stream_flush(&os, &page)) append();
    const size_t frames = pcm.size() / 2;
    for (size_t at = 0;;) {
        const size_t n = std::min<size_t>(1024, frames - at);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&vd, int(n));
            for (size_t i = 0; i < n; ++i) {
                buffer[0][i] = pcm[2 * (at + i)] / 32768.0f;
                buffer[1][i] = pcm[2 * (at + i) + 1] / 32768.0f;
            }
            at += n;
        }
        vorbis_analysis_wrote(&vd, int(n));
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) append();
            }
        }
        if (n == 0) break;
    }
    while (ogg_stream_flush(&os, &page)) append();
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

struct FlacOutput {
    std::string bytes;
    size_t at = 0;
};

FLAC__StreamEncoderWriteStatus FlacWrite(const FLAC__StreamEncoder*, const FLAC__byte buffer[], size_t bytes, uint32_t,
                                         uint32_t, void* data) {
    auto* out = static_cast<FlacOutput*>(data);
    if (out->bytes.size() < out->at + bytes) out->bytes.resize(out->at + bytes);
    std::memcpy(out->bytes.data() + out->at, buffer, bytes);
    out->at += bytes;
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}
FLAC__StreamEncoderSeekStatus FlacSeek(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* data) {
    static_cast<FlacOutput*>(data)->at = size_t(offset);
    return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
}
FLAC__StreamEncoderTellStatus FlacTell(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* data) {
    *offset = static_cast<FlacOutput*>(data)->at;
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

std::string MakeFlac(const Frames& pcm) {
    FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
    FLAC__stream_encoder_set_channels(encoder, 2);
    FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
    FLAC__stream_encoder_set_sample_rate(encoder, kRate);
    FlacOutput out;
    FLAC__stream_encoder_init_stream(encoder, FlacWrite, FlacSeek, FlacTell, nullptr, &out);
    std::vector<FLAC__int32> wide(pcm.begin(), pcm.end());
    FLAC__stream_encoder_process_interleaved(encoder, wide.data(), uint32_t(pcm.size() / 2));
    FLAC__stream_encoder_finish(encoder);
    FLAC__stream_encoder_delete(encoder);
    return out.bytes;
}
#endif

// Frames with sound in them (silent frames left out).
Frames Audible(const Frames& pcm) {
    Frames out;
    for (size_t i = 0; i + 1 < pcm.size(); i += 2)
        if (pcm[i] != 0 || pcm[i + 1] != 0) {
            out.push_back(pcm[i]);
            out.push_back(pcm[i + 1]);
        }
    return out;
}

// Frames that differ between two takes of the same length. When the
// feeding falls behind (a loaded machine), Allegro's mixer may blend the
// last frame of a fragment with what is not there yet: at most one frame a
// fragment (1024 frames here) is let through.
size_t Differing(const Frames& a, const Frames& b) {
    size_t count = 0;
    for (size_t i = 0; i + 1 < std::min(a.size(), b.size()); i += 2)
        if (a[i] != b[i] || a[i + 1] != b[i + 1]) ++count;
    return count;
}
size_t Allowed(const Frames& pcm) { return pcm.size() / 2 / 1024 + 1; }

// The whole decode of a file by Allegro's codec addon (WAV, Ogg, FLAC).
Frames DecodeWithAllegro(const std::string& path) {
    ALLEGRO_SAMPLE* sample = al_load_sample(path.c_str());
    if (!sample) return {};
    const auto* data = static_cast<const int16_t*>(al_get_sample_data(sample));
    Frames pcm(data, data + size_t(al_get_sample_length(sample)) * 2);
    al_destroy_sample(sample);
    return pcm;
}

class StreamPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        // OpenAL's output that plays into nothing, at the pace of a card.
        setenv("ALSOFT_DRIVERS", "null", 1);
        al_set_config_value(al_get_system_config(), "audio", "driver", "openal");
        audio::AllegroBackend::Options options;
        options.wholeDecodeBytes = 0;  // every stream decoded as it plays
        options.fragmentFrames = 1024;
        backend = std::make_unique<audio::AllegroBackend>([] { return 0.0; }, options);
        ASSERT_TRUE(backend->Init(audio::kDefaultDevice, kRate));
        if (backend->IsSilent()) GTEST_SKIP() << "no OpenAL output to play into";
        backend->SetOutputTap([this](const float* samples, unsigned frames) {
            std::lock_guard<std::mutex> lock(mutex);
            for (unsigned i = 0; i < frames * 2; ++i) heard.push_back(int16_t(std::lround(samples[i] * 32768.0f)));
        });
    }
    void TearDown() override {
        if (backend) backend->Free();
        backend.reset();
    }

    uint32_t Open(const std::string& name, const std::string& contents) {
        dir.WriteFile(name, contents);
        return backend->StreamCreateFile(name, audio::kStreamPrescan);
    }
    // Waits (on the sound's own pace) until done() holds; false after a
    // minute, so a fault fails the test instead of hanging it.
    bool WaitUntil(const std::function<bool()>& done) {
        for (int i = 0; i < 6000; ++i) {
            if (done()) return true;
            al_rest(0.01);
        }
        return false;
    }
    size_t AudibleFrames() {
        std::lock_guard<std::mutex> lock(mutex);
        return Audible(heard).size() / 2;
    }
    Frames Heard() {
        std::lock_guard<std::mutex> lock(mutex);
        return Audible(heard);
    }

    testsupport::TempDir dir;
    testsupport::StderrCapture quiet;  // sound libraries may talk
    std::unique_ptr<audio::AllegroBackend> backend;
    std::mutex mutex;
    Frames heard;
};

struct FormatCase {
    const char* name;
    std::function<std::string(const Frames&)> make;  // null: MPEG audio of its own
};

std::string Describe(const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; }

class EveryFormat : public StreamPlayerTest, public ::testing::WithParamInterface<FormatCase> {
protected:
    // Writes the case's file and gives its whole decode.
    Frames Prepare(const std::string& file) {
        const Frames signal = Signal(kRate / 4);
        if (!GetParam().make) {
            const std::string bytes = MakeMpegAudio(30);
            dir.WriteFile(file, bytes);
            audio::DecodedPcm pcm;
            EXPECT_EQ(audio::Mp3Decoder::Decode(bytes, pcm), audio::kOk);
            return pcm.samples;
        }
        dir.WriteFile(file, GetParam().make(signal));
        return DecodeWithAllegro(file);
    }
};

TEST_P(EveryFormat, PlaysOutAsItsWholeDecodeAndLetsGoAtTheEnd) {
    const std::string file = std::string("track.") + GetParam().name;
    const Frames whole = Prepare(file);
    ASSERT_GT(whole.size(), 20000u);
    const uint32_t h = backend->StreamCreateFile(file, audio::kStreamPrescan);
    ASSERT_NE(h, 0u) << backend->ErrorGetCode();
    EXPECT_EQ(backend->ChannelGetLength(h), whole.size() * 2);
    EXPECT_EQ(backend->SoundingCount(), 0u);  // opening decoded nothing

    ASSERT_TRUE(backend->ChannelPlay(h, true)) << backend->ErrorGetCode();
    EXPECT_EQ(backend->SoundingCount(), 1u);
    ASSERT_TRUE(WaitUntil([&] { return !backend->ChannelIsActive(h); }));
    EXPECT_EQ(backend->ChannelGetPosition(h), backend->ChannelGetLength(h));
    EXPECT_EQ(backend->SoundingCount(), 0u);  // played out: decoder and buffers gone
    const Frames heardNow = Heard();
    const Frames expected = Audible(whole);
    ASSERT_EQ(heardNow.size(), expected.size());
    EXPECT_LE(Differing(heardNow, expected), Allowed(expected));

    // Played again from the end it starts over.
    ASSERT_TRUE(backend->ChannelPlay(h, false));
    EXPECT_TRUE(backend->ChannelIsActive(h));
    EXPECT_LT(backend->ChannelGetPosition(h), backend->ChannelGetLength(h));
}

TEST_P(EveryFormat, PausedAndResumedItSkipsAndRepeatsNothing) {
    const std::string file = std::string("track.") + GetParam().name;
    const Frames whole = Prepare(file);
    const uint32_t h = backend->StreamCreateFile(file, audio::kStreamPrescan);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(backend->ChannelPlay(h, false));
    ASSERT_TRUE(WaitUntil([&] { return AudibleFrames() > 3000; }));
    ASSERT_TRUE(backend->ChannelPause(h));
    const uint64_t paused = backend->ChannelGetPosition(h);
    EXPECT_FALSE(backend->ChannelIsActive(h));
    EXPECT_GT(paused, 0u);
    EXPECT_LT(paused, backend->ChannelGetLength(h));
    EXPECT_EQ(backend->SoundingCount(), 1u);  // a paused track keeps its player
    ASSERT_TRUE(backend->ChannelPlay(h, false));
    ASSERT_TRUE(WaitUntil([&] { return !backend->ChannelIsActive(h); }));
    const Frames heardNow = Heard();
    const Frames expected = Audible(whole);
    ASSERT_EQ(heardNow.size(), expected.size());
    EXPECT_LE(Differing(heardNow, expected), Allowed(expected));
}

// Moving a playing track (as loop points do) goes on from the new frame.
TEST_P(EveryFormat, MovedWhilePlayingItGoesOnFromTheNewFrame) {
    const std::string file = std::string("track.") + GetParam().name;
    const Frames whole = Prepare(file);
    const uint32_t h = backend->StreamCreateFile(file, audio::kStreamPrescan);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(backend->ChannelPlay(h, false));
    ASSERT_TRUE(WaitUntil([&] { return AudibleFrames() > 2000; }));
    const uint64_t target = whole.size() / 2 - 6000;
    ASSERT_TRUE(backend->ChannelSetPosition(h, target * 4));
    EXPECT_TRUE(backend->ChannelIsActive(h));
    ASSERT_TRUE(WaitUntil([&] { return !backend->ChannelIsActive(h); }));

    // What was heard: the start of the track up to the move, then the rest
    // of it from the new frame. FLAC is the exception: the codec addon lands
    // a FLAC stream on the start of the next block (4096 frames here).
    const Frames heardNow = Heard();
    const Frames expected = Audible(whole);
    ASSERT_FALSE(heardNow.empty());
    size_t before = 0;
    while (before * 2 < heardNow.size() && heardNow[before * 2] == expected[before * 2] &&
           heardNow[before * 2 + 1] == expected[before * 2 + 1])
        ++before;
    EXPECT_GE(before, 2000u);
    const Frames resumed(heardNow.begin() + std::ptrdiff_t(before * 2), heardNow.end());
    if (std::string(GetParam().name) == "flac") {
        ASSERT_LE(resumed.size(), whole.size());
        const size_t from = (whole.size() - resumed.size()) / 2;
        EXPECT_GE(from, target);
        EXPECT_LT(from, target + 4096);
        EXPECT_LE(Differing(resumed, Frames(whole.end() - std::ptrdiff_t(resumed.size()), whole.end())),
                  Allowed(resumed));
    } else {
        const Frames tail = Audible(Frames(whole.begin() + std::ptrdiff_t(target * 2), whole.end()));
        ASSERT_EQ(resumed.size(), tail.size());
        EXPECT_LE(Differing(resumed, tail), Allowed(tail));
    }
}

const FormatCase kFormats[] = {
    {"wav", MakeWav},
#ifdef QEL_HAVE_AUDIO_ENCODERS
    {"ogg", MakeOgg},
    {"flac", MakeFlac},
#endif
    {"mp3", nullptr},
};
INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat, ::testing::ValuesIn(kFormats), Describe);

// A looping track wraps seamlessly, fragment after fragment; stopping lets
// its decoder go and keeps the place.
TEST_F(StreamPlayerTest, LoopingWrapsWithoutAGapAndStopFreesTheDecoder) {
    const std::string bytes = MakeMpegAudio(12);  // 4608 frames
    audio::DecodedPcm pcm;
    ASSERT_EQ(audio::Mp3Decoder::Decode(bytes, pcm), audio::kOk);
    const Frames wav = Signal(3000);
    const struct {
        const char* file;
        std::string bytes;
        Frames whole;
    } cases[] = {{"loop.mp3", bytes, pcm.samples}, {"loop.wav", MakeWav(wav), wav}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        {
            std::lock_guard<std::mutex> lock(mutex);
            heard.clear();
        }
        const uint32_t h = Open(c.file, c.bytes);
        ASSERT_NE(h, 0u);
        ASSERT_TRUE(backend->ChannelSetLoop(h, true));
        ASSERT_TRUE(backend->ChannelPlay(h, true));
        const size_t length = c.whole.size() / 2;
        ASSERT_TRUE(WaitUntil([&] { return AudibleFrames() > length * 3; }));
        EXPECT_TRUE(backend->ChannelIsActive(h));
        EXPECT_LT(backend->ChannelGetPosition(h), backend->ChannelGetLength(h));
        ASSERT_TRUE(backend->ChannelStop(h));
        EXPECT_EQ(backend->SoundingCount(), 0u);
        EXPECT_FALSE(backend->ChannelIsActive(h));

        const Frames heardNow = Heard();
        const Frames once = Audible(c.whole);
        ASSERT_GT(heardNow.size(), once.size() * 3);
        size_t mismatches = 0;
        for (size_t i = 0; i + 1 < heardNow.size(); i += 2)
            if (heardNow[i] != once[i % once.size()] || heardNow[i + 1] != once[(i + 1) % once.size()]) ++mismatches;
        EXPECT_LE(mismatches, Allowed(heardNow));
    }
}

TEST_F(StreamPlayerTest, AFileGoneOrSpoiledAfterOpeningFailsToPlayAndNothingCrashes) {
    const Frames signal = Signal(kRate / 4);
    const uint32_t gone = Open("gone.wav", MakeWav(signal));
    const uint32_t spoiled = Open("spoiled.mp3", MakeMpegAudio(30));
    ASSERT_NE(gone, 0u);
    ASSERT_NE(spoiled, 0u);
    std::remove("gone.wav");
    dir.WriteFile("spoiled.mp3", "not a sound any more\n");

    EXPECT_FALSE(backend->ChannelPlay(gone, true));
    EXPECT_EQ(backend->ErrorGetCode(), audio::kErrorFileOpen);
    EXPECT_FALSE(backend->ChannelPlay(spoiled, true));
    EXPECT_EQ(backend->ErrorGetCode(), audio::kErrorFileFormat);
    EXPECT_EQ(backend->SoundingCount(), 0u);
    EXPECT_FALSE(backend->ChannelIsActive(spoiled));
    EXPECT_TRUE(backend->ChannelSetPosition(spoiled, 0));
}

}  // namespace
