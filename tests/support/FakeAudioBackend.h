#pragma once
// An audio back end that plays nothing and remembers the state of each
// channel and the order of the calls. Installed for the object's lifetime.
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "platform/audio/Audio.h"

class FakeAudioBackend : public audio::Backend {
public:
    static constexpr double kBytesPerSecond = 176400.0;  // 44100 Hz, 16-bit stereo
    struct Channel {
        std::string path;
        uint32_t flags = 0;
        bool playing = false, loop = false;
        uint64_t position = 0;
        float volume = 1.0f;
        int plays = 0;
    };

    FakeAudioBackend() { audio::SetBackend(this); }
    ~FakeAudioBackend() override { audio::SetBackend(nullptr); }

    bool Init(int, int) override { return true; }
    void Free() override {}
    bool IsSilent() const override { return true; }
    // Paths containing "corrupt" fail as a bad format.
    uint32_t StreamCreateFile(const std::string& path, uint32_t flags) override {
        if (path.find("corrupt") != std::string::npos) return error = audio::kErrorFileFormat, 0;
        channels[next] = Channel{path, flags};
        return next++;
    }
    bool ChannelPlay(uint32_t h, bool restart) override {
        if (failPlays) return error = audio::kErrorOutputFailed, false;
        if (restart) channels[h].position = 0;
        channels[h].playing = true;
        channels[h].plays++;
        return Log("play", h);
    }
    bool ChannelPause(uint32_t h) override { return channels[h].playing = false, Log("pause", h); }
    bool ChannelStop(uint32_t h) override { return channels[h].playing = false, Log("stop", h); }
    bool ChannelIsActive(uint32_t h) override { return channels[h].playing; }
    uint64_t ChannelGetPosition(uint32_t h) override { return channels[h].position; }
    bool ChannelSetPosition(uint32_t h, uint64_t bytes) override {
        return channels[h].position = bytes, Log("seek", h);
    }
    uint64_t ChannelGetLength(uint32_t) override { return 0; }
    double ChannelBytes2Seconds(uint32_t, uint64_t bytes) override { return bytes / kBytesPerSecond; }
    uint64_t ChannelSeconds2Bytes(uint32_t, double s) override {
        return !(s > 0) ? 0 : static_cast<uint64_t>(std::floor(s * kBytesPerSecond / 4)) * 4;
    }
    // Records the volume as given; a negative one is a fault of the caller.
    bool ChannelSetVolume(uint32_t h, float v) override { return channels[h].volume = v, Log("volume", h); }
    float ChannelGetVolume(uint32_t h) override { return channels[h].volume; }
    bool ChannelSetLoop(uint32_t h, bool loop) override { return channels[h].loop = loop, true; }
    bool ChannelGetLoop(uint32_t h) override { return channels[h].loop; }
    int ErrorGetCode() const override { return error; }

    Channel& operator[](uint32_t h) { return channels[h]; }

    std::map<uint32_t, Channel> channels;
    std::vector<std::string> log;  // "play 1", "stop 1", "seek 1", "volume 1", ...
    uint32_t next = 1;
    int error = 0;
    bool failPlays = false;

private:
    bool Log(const char* what, uint32_t h) {
        log.push_back(std::string(what) + " " + std::to_string(h));
        return true;
    }
};
