#include "platform/audio/Audio.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/audio/AllegroBackend.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "support/WavBytes.h"

namespace {

using testsupport::Put32;

// Silence: frames of the mid value (0x80 for 8 bits, 0 for 16).
std::string MakeWav(uint32_t channels, uint32_t rate, uint32_t frames, uint32_t bits = 16) {
    const uint32_t align = channels * bits / 8;
    const char mid = bits == 8 ? char(0x80) : '\0';
    return testsupport::WavFile(channels, rate, bits, std::string(size_t(frames) * align, mid));
}

// MPEG-1 Layer III frames at 128 kbit/s, 44100 Hz, with empty side
// information and main data: each decodes to 1152 frames of silence.
std::string MakeMp3(int frameCount, bool stereo) {
    std::string frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = stereo ? char(0x00) : char(0xC0);
    std::string s;
    for (int i = 0; i < frameCount; ++i) s += frame;
    return s;
}

// One Ogg page of stream 0x1234 with its checksum (CRC-32, polynomial
// 0x04c11db7, most significant bit first).
std::string OggPage(uint8_t type, uint64_t granule, uint32_t sequence, const std::string& body) {
    std::string p = std::string("OggS\0", 5) + char(type);
    Put32(p, uint32_t(granule));
    Put32(p, uint32_t(granule >> 32));
    Put32(p, 0x1234);
    Put32(p, sequence);
    Put32(p, 0);
    p += char(body.size() / 255 + 1);
    p += std::string(body.size() / 255, char(255)) + char(body.size() % 255);
    p += body;
    uint32_t crc = 0;
    for (unsigned char c : p) {
        crc ^= uint32_t(c) << 24;
        for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    for (int i = 0; i < 4; ++i) p[22 + i] = char((crc >> (8 * i)) & 0xff);
    return p;
}

// A Vorbis identification header and one audio page ending at the granule
// position: the structure the headers are read from, not decodable sound.
std::string MakeOggHeaders(uint32_t channels, uint32_t rate, uint64_t granule) {
    std::string id = "\x01vorbis";
    Put32(id, 0);
    id += char(channels);
    Put32(id, rate);
    Put32(id, 0);
    Put32(id, 128000);
    Put32(id, 0);
    id += "\xB8\x01";
    return OggPage(2, 0, 0, id) + OggPage(0, ~uint64_t(0), 1, std::string(40, 'x')) +
           OggPage(4, granule, 2, std::string(100, 'y'));
}

std::string MakeFlacHeaders(uint32_t rate, uint32_t channels, uint64_t total) {
    std::string s = "fLaC";
    s += char(0x80);  // last block, stream info
    s += '\0';
    s += '\0';
    s += char(34);
    s += std::string(10, '\0');
    const uint64_t bits = uint64_t(rate) << 44 | uint64_t(channels - 1) << 41 | uint64_t(15) << 36 | total;
    for (int i = 7; i >= 0; --i) s += char((bits >> (8 * i)) & 0xff);
    s += std::string(16, '\0');  // signature
    s += char(0xFF);
    s += char(0xF8);
    s += std::string(20, '\0');
    return s;
}

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(backend.Init(audio::kSilentDevice, 44100)); }

    uint32_t Open(const std::string& name, const std::string& contents, uint32_t flags = 0) {
        dir.WriteFile(name, contents);
        return backend.StreamCreateFile(name, flags);
    }

    testsupport::TempDir dir;
    double now = 100.0;
    audio::AllegroBackend backend{[this] { return now; }};
};

constexpr uint64_t kStereoSecond = 44100 * 4;

TEST_F(AudioTest, EveryFormatGivesItsLengthAndConvertsBytesAndSeconds) {
    EXPECT_TRUE(backend.IsSilent());
    const uint32_t stereo = Open("a.wav", MakeWav(2, 44100, 44100 * 2));
    ASSERT_NE(stereo, 0u);
    EXPECT_EQ(backend.ChannelGetLength(stereo), 2 * kStereoSecond);
    EXPECT_DOUBLE_EQ(backend.ChannelBytes2Seconds(stereo, kStereoSecond / 2), 0.5);
    EXPECT_EQ(backend.ChannelSeconds2Bytes(stereo, 1.5), kStereoSecond * 3 / 2);
    EXPECT_EQ(backend.ChannelSeconds2Bytes(stereo, -3.0), 0u);
    EXPECT_EQ(backend.ChannelSeconds2Bytes(stereo, NAN), 0u);
    EXPECT_EQ(backend.ChannelSeconds2Bytes(stereo, 1.0 / 88200), 0u);  // rounds down to a frame

    // 8-bit mono at 22050 Hz still counts 2 bytes per sample.
    const uint32_t mono = Open("b.wav", MakeWav(1, 22050, 11025, 8));
    ASSERT_NE(mono, 0u);
    EXPECT_NE(mono, stereo);
    EXPECT_EQ(backend.ChannelGetLength(mono), 22050u);
    EXPECT_EQ(backend.ChannelSeconds2Bytes(mono, 0.25), 11024u);  // 5512 frames

    // MP3 is measured by decoding and recognised by content whatever its name.
    const uint32_t mp3 = Open("music.mp3", MakeMp3(20, true), audio::kStreamPrescan);
    ASSERT_NE(mp3, 0u) << backend.ErrorGetCode();
    EXPECT_EQ(backend.ChannelGetLength(mp3), 20u * 1152 * 4);
    const uint32_t mp3Mono = Open("mono.snd", MakeMp3(10, false));
    ASSERT_NE(mp3Mono, 0u) << backend.ErrorGetCode();
    EXPECT_EQ(backend.ChannelGetLength(mp3Mono), 10u * 1152 * 2);

    const uint32_t ogg = Open("theme.ogg", MakeOggHeaders(1, 22050, 44100));
    ASSERT_NE(ogg, 0u);
    EXPECT_DOUBLE_EQ(backend.ChannelBytes2Seconds(ogg, backend.ChannelGetLength(ogg)), 2.0);
    const uint32_t flac = Open("theme.flac", MakeFlacHeaders(48000, 2, 96000));
    ASSERT_NE(flac, 0u);
    EXPECT_EQ(backend.ChannelGetLength(flac), 96000u * 4);

    // Folder separators written with backslashes open too.
    dir.WriteFile("Sounds/c.wav", MakeWav(2, 44100, 100));
    EXPECT_NE(backend.StreamCreateFile("Sounds\\c.wav", 0), 0u);
}

// The peak resident memory of this process in kB since the last reset.
long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// Opening reads headers only: a three-minute MP3 (31 MB once decoded) and a
// WAV claiming 400 MB of sound (a sparse file) leave the peak memory where it
// was, and their lengths are still exact.
TEST_F(AudioTest, OpeningLongTracksDecodesAndReadsNothingOfTheirSound) {
    const int mp3Frames = 6892;  // 1152 frames each: 180 s
    dir.WriteFile("long.mp3", MakeMp3(mp3Frames, true));
    const uint32_t wavBytes = 400u << 20;
    std::string header = MakeWav(2, 44100, 0);
    for (int i = 0; i < 4; ++i) {
        header[4 + i] = char(((wavBytes + 36) >> (8 * i)) & 0xff);
        header[40 + i] = char((wavBytes >> (8 * i)) & 0xff);
    }
    dir.WriteFile("huge.wav", header);
    std::filesystem::resize_file("huge.wav", header.size() + wavBytes);

    ResetPeak();
    const long before = PeakKb();
    const uint32_t mp3 = backend.StreamCreateFile("long.mp3", audio::kStreamPrescan);
    const uint32_t wav = backend.StreamCreateFile("huge.wav", audio::kStreamPrescan);
    const long after = PeakKb();
    ASSERT_NE(mp3, 0u);
    ASSERT_NE(wav, 0u);
    ASSERT_GT(before, 0);
    EXPECT_LT(after - before, 8 * 1024);
    EXPECT_EQ(backend.ChannelGetLength(mp3), uint64_t(mp3Frames) * 1152 * 4);
    EXPECT_EQ(backend.ChannelGetLength(wav), wavBytes);
    EXPECT_EQ(backend.SoundingCount(), 0u);
}

TEST_F(AudioTest, SilentPlayFollowsTheClockAndStopsAtTheEndUnlessLooping) {
    const uint32_t h = Open("a.wav", MakeWav(2, 44100, 44100));  // one second
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(backend.ChannelPlay(h, false));
    now += 0.25;
    EXPECT_EQ(backend.ChannelGetPosition(h), kStereoSecond / 4);
    ASSERT_TRUE(backend.ChannelPause(h));
    now += 10;
    EXPECT_FALSE(backend.ChannelIsActive(h));
    EXPECT_EQ(backend.ChannelGetPosition(h), kStereoSecond / 4);
    // Resuming goes on from the pause; playing while playing changes nothing.
    ASSERT_TRUE(backend.ChannelPlay(h, false));
    now += 0.25;
    ASSERT_TRUE(backend.ChannelPlay(h, false));
    now += 0.25;
    EXPECT_EQ(backend.ChannelGetPosition(h), kStereoSecond * 3 / 4);
    // Restart plays from the start wherever the stream was.
    ASSERT_TRUE(backend.ChannelPlay(h, true));
    now += 0.125;
    EXPECT_EQ(backend.ChannelGetPosition(h), 5512u * 4);

    // Past the end it stops there; played again it starts over.
    now += 5;
    EXPECT_FALSE(backend.ChannelIsActive(h));
    EXPECT_EQ(backend.ChannelGetPosition(h), kStereoSecond);
    ASSERT_TRUE(backend.ChannelPlay(h, false));
    now += 0.5;
    EXPECT_EQ(backend.ChannelGetPosition(h), kStereoSecond / 2);

    // Looping wraps and keeps playing; switched off, it plays out and stops.
    ASSERT_TRUE(backend.ChannelSetLoop(h, true));
    now += 2.25;  // 2.75 s in a 1 s stream
    EXPECT_TRUE(backend.ChannelIsActive(h));
    EXPECT_EQ(backend.ChannelGetPosition(h), kStereoSecond * 3 / 4);
    ASSERT_TRUE(backend.ChannelSetLoop(h, false));
    now += 0.2;
    EXPECT_EQ(backend.ChannelGetPosition(h), uint64_t(44100 * 0.95) * 4);
    now += 0.1;
    EXPECT_FALSE(backend.ChannelIsActive(h));

    // Moving a looping stream to its very end wraps to the start.
    ASSERT_TRUE(backend.ChannelSetLoop(h, true));
    ASSERT_TRUE(backend.ChannelPlay(h, true));
    ASSERT_TRUE(backend.ChannelSetPosition(h, kStereoSecond));
    EXPECT_EQ(backend.ChannelGetPosition(h), 0u);
    EXPECT_TRUE(backend.ChannelIsActive(h));
}

TEST_F(AudioTest, PositionsAndVolumesAreCheckedAndClamped) {
    const uint32_t h = Open("a.wav", MakeWav(2, 44100, 1000));
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(backend.ChannelSetPosition(h, 403));  // inside frame 100
    EXPECT_EQ(backend.ChannelGetPosition(h), 400u);
    EXPECT_TRUE(backend.ChannelSetPosition(h, 4000));  // the end itself
    EXPECT_FALSE(backend.ChannelSetPosition(h, 4004));
    EXPECT_EQ(backend.ErrorGetCode(), audio::kErrorInvalidPosition);
    EXPECT_EQ(backend.ChannelGetPosition(h), 4000u);
    EXPECT_EQ(backend.ErrorGetCode(), audio::kOk);

    EXPECT_TRUE(backend.ChannelSetVolume(h, 1.5f));
    EXPECT_FLOAT_EQ(backend.ChannelGetVolume(h), 1.0f);
    EXPECT_TRUE(backend.ChannelSetVolume(h, -0.2f));
    EXPECT_FLOAT_EQ(backend.ChannelGetVolume(h), 0.0f);
    EXPECT_TRUE(backend.ChannelSetVolume(h, 0.5f));
    EXPECT_FALSE(backend.ChannelSetVolume(h, NAN));
    EXPECT_EQ(backend.ErrorGetCode(), audio::kErrorInvalidParameter);
    EXPECT_FLOAT_EQ(backend.ChannelGetVolume(h), 0.5f);
}

TEST_F(AudioTest, BadFilesAndHandlesGiveErrorCodes) {
    EXPECT_EQ(backend.StreamCreateFile("missing.wav", 0), 0u);
    EXPECT_EQ(backend.ErrorGetCode(), audio::kErrorFileOpen);
    EXPECT_EQ(backend.StreamCreateFile(".", 0), 0u);  // a folder

    std::string truncated = MakeWav(2, 44100, 1000);
    truncated.resize(truncated.size() - 10);
    std::string badFormat = MakeWav(2, 44100, 1000);
    badFormat[20] = 7;  // not PCM
    std::string badCrc = MakeOggHeaders(2, 44100, 500);
    badCrc[40] ^= 1;
    std::string opus = MakeOggHeaders(2, 44100, 500);
    opus.replace(28, 7, "OpusHea");
    std::string cutOgg = MakeOggHeaders(2, 44100, 500);
    cutOgg.resize(cutOgg.size() - 1);
    const std::pair<const char*, std::string> corrupt[] = {
        {"truncated.wav", truncated},
        {"format.wav", badFormat},
        {"empty-data.wav", MakeWav(2, 44100, 0)},
        {"empty.wav", ""},
        {"text.ogg", "this is not a sound file\n"},
        {"crc.ogg", badCrc},
        {"opus.ogg", opus},
        {"cut.ogg", cutOgg},
        {"cut.flac", MakeFlacHeaders(44100, 2, 1000).substr(0, 30)},
        {"unknown-length.flac", MakeFlacHeaders(44100, 2, 0)},
        {"text.mp3", "this is not a sound file either\n"},
        {"cut.mp3", MakeMp3(1, true).substr(0, 100)},
    };
    for (const auto& [name, contents] : corrupt) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Open(name, contents), 0u);
        EXPECT_EQ(backend.ErrorGetCode(), audio::kErrorFileFormat);
    }
    EXPECT_EQ(backend.StreamCount(), 0u);

    const uint32_t h = Open("a.wav", MakeWav(2, 44100, 1000));
    ASSERT_NE(h, 0u);
    for (uint32_t bad : {0u, h + 1000}) {
        EXPECT_FALSE(backend.ChannelPlay(bad, true));
        EXPECT_EQ(backend.ChannelGetPosition(bad), 0u);
        EXPECT_EQ(backend.ErrorGetCode(), audio::kErrorInvalidHandle);
    }

    // A second Init is refused and changes nothing; Free closes every
    // stream, and later handles never repeat the old ones.
    EXPECT_FALSE(backend.Init(audio::kSilentDevice, 44100));
    EXPECT_EQ(backend.ErrorGetCode(), audio::kErrorAlreadyInitialised);
    EXPECT_TRUE(backend.ChannelPlay(h, false));
    backend.Free();
    EXPECT_FALSE(backend.ChannelPlay(h, false));
    EXPECT_EQ(backend.ErrorGetCode(), audio::kErrorNotInitialised);
    EXPECT_EQ(backend.StreamCreateFile("a.wav", 0), 0u);
    EXPECT_FALSE(backend.Init(3, 44100));
    EXPECT_FALSE(backend.Init(audio::kSilentDevice, 0));
    EXPECT_EQ(backend.ErrorGetCode(), audio::kErrorInvalidParameter);
    ASSERT_TRUE(backend.Init(audio::kSilentDevice, 44100));
    const uint32_t again = backend.StreamCreateFile("a.wav", 0);
    EXPECT_NE(again, 0u);
    EXPECT_NE(again, h);
}

// Asking for the default device on a machine without one (as in CI) falls
// back to silence; with a device it plays. Either way nothing aborts and
// streams work, through the free functions as through the back end.
TEST(AudioFunctions, DefaultDeviceNeverAbortsAndTheFunctionsForward) {
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    dir.WriteFile("a.wav", MakeWav(2, 44100, 4410));
    testsupport::StderrCapture quiet;  // sound drivers may complain
    audio::AllegroBackend real;
    audio::SetBackend(&real);
    ASSERT_TRUE(audio::Init(audio::kDefaultDevice, 44100));
    EXPECT_EQ(audio::ErrorGetCode(), real.IsSilent() ? audio::kErrorNoDevice : audio::kOk);
    const uint32_t h = audio::StreamCreateFile("a.wav", 0);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(real.ChannelGetLength(h), 4410u * 4);
    EXPECT_TRUE(audio::ChannelSetVolume(h, 0.0f));
    EXPECT_TRUE(audio::ChannelPlay(h, true));
    EXPECT_TRUE(audio::ChannelStop(h));
    EXPECT_TRUE(audio::ChannelSetPosition(h, audio::ChannelSeconds2Bytes(h, 0.05)));
    EXPECT_EQ(real.ChannelGetPosition(h), 2205u * 4);
    audio::Free();
    EXPECT_EQ(real.StreamCount(), 0u);
    audio::SetBackend(nullptr);
    EXPECT_NE(&audio::CurrentBackend(), &real);
    quiet.Take();
}

}  // namespace
