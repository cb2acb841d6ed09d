#pragma once
// The real audio back end: streams decoded whole into Allegro samples and
// played through a voice and mixer of our own at the output frequency.
// When no device opens (or silence is asked for) it keeps the same book of
// streams without sound: positions then advance with the clock while a
// stream plays.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/audio/Backend.h"

struct ALLEGRO_VOICE;
struct ALLEGRO_MIXER;

namespace audio {

class AllegroBackend : public Backend {
public:
    // Seconds of a monotonic clock; tests pass their own.
    using Clock = std::function<double()>;

    AllegroBackend();
    explicit AllegroBackend(Clock clock);
    ~AllegroBackend() override;
    AllegroBackend(const AllegroBackend&) = delete;
    AllegroBackend& operator=(const AllegroBackend&) = delete;

    bool Init(int device, int frequency) override;
    void Free() override;
    bool IsSilent() const override;

    uint32_t StreamCreateFile(const std::string& path, uint32_t flags) override;

    bool ChannelPlay(uint32_t handle, bool restart) override;
    bool ChannelPause(uint32_t handle) override;
    bool ChannelStop(uint32_t handle) override;
    bool ChannelIsActive(uint32_t handle) override;

    uint64_t ChannelGetPosition(uint32_t handle) override;
    bool ChannelSetPosition(uint32_t handle, uint64_t bytes) override;
    uint64_t ChannelGetLength(uint32_t handle) override;
    double ChannelBytes2Seconds(uint32_t handle, uint64_t bytes) override;
    uint64_t ChannelSeconds2Bytes(uint32_t handle, double seconds) override;

    bool ChannelSetVolume(uint32_t handle, float volume) override;
    float ChannelGetVolume(uint32_t handle) override;
    bool ChannelSetLoop(uint32_t handle, bool loop) override;
    bool ChannelGetLoop(uint32_t handle) override;

    int ErrorGetCode() const override { return error_; }

    // Number of open streams.
    size_t StreamCount() const { return channels_.size(); }

private:
    struct Channel;

    Channel* Find(uint32_t handle);
    // Brings a silent stream's play state up to the clock: a stream that
    // does not loop stops at its end.
    void Settle(Channel& ch);
    uint64_t CurrentFrame(Channel& ch);
    bool SetFrame(Channel& ch, uint64_t frame);
    bool Fail(int code);
    uint32_t FailOpen(int code);   // a stream that did not open: handle 0
    bool OpenDevice(int frequency);
    void CloseDevice();

    Clock clock_;
    bool initialised_ = false;
    bool audioInstalled_ = false;   // we installed Allegro's audio addon
    ALLEGRO_VOICE* voice_ = nullptr;
    ALLEGRO_MIXER* mixer_ = nullptr;
    std::map<uint32_t, std::unique_ptr<Channel>> channels_;
    uint32_t nextHandle_ = 1;
    int error_ = 0;
};

}  // namespace audio
