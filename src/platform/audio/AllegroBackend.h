#pragma once
// The real audio back end, playing through a voice and mixer of our own at
// the output frequency. Opening a stream only reads the file's headers: it
// decodes nothing and keeps nothing of the file. Sound comes when a stream
// plays: a long track is then decoded as it plays, a few fragments ahead
// (StreamPlayer), and let go again when it is stopped or has played out; a
// short one (a sound effect) is decoded whole on its first play and kept.
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

struct AllegroBackendOptions {
    // Streams whose decoded sound is at most this many bytes are decoded
    // whole on their first play; longer ones are decoded as they play.
    uint64_t wholeDecodeBytes = uint64_t(1) << 20;  // about 6 s of 44100 Hz stereo
    // The buffering of a stream decoded as it plays.
    unsigned fragments = 4;
    unsigned fragmentFrames = 2048;
};

class AllegroBackend : public Backend {
public:
    // Seconds of a monotonic clock; tests pass their own.
    using Clock = std::function<double()>;

    using Options = AllegroBackendOptions;
    // What the mixer puts out, as it is mixed (interleaved stereo floats),
    // on the sound thread.
    using OutputTap = std::function<void(const float* samples, unsigned frames)>;

    AllegroBackend();
    explicit AllegroBackend(Clock clock, Options options = Options());
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
    // Number of streams holding decoded sound: a track being decoded as it
    // plays (or paused), or a short sound decoded whole.
    size_t SoundingCount() const;
    // Hands every block the mixer puts out to tap (null: no more). Nothing
    // is mixed without a device.
    void SetOutputTap(OutputTap tap);

private:
    struct Channel;

    Channel* Find(uint32_t handle);
    // Brings a silent stream's play state up to the clock: a stream that
    // does not loop stops at its end.
    void Settle(Channel& ch);
    uint64_t CurrentFrame(Channel& ch);
    bool SetFrame(Channel& ch, uint64_t frame);
    bool IsLong(const Channel& ch) const;
    // Makes a short stream's whole sound (on its first play).
    int LoadWhole(Channel& ch);
    // Opens a long stream's output at a frame.
    int OpenPlayer(Channel& ch, uint64_t frame);
    bool Fail(int code);
    uint32_t FailOpen(int code);  // a stream that did not open: handle 0
    bool OpenDevice(int frequency);
    void CloseDevice();

    Clock clock_;
    Options options_;
    std::shared_ptr<OutputTap> tap_;
    bool initialised_ = false;
    bool audioInstalled_ = false;  // we installed Allegro's audio addon
    ALLEGRO_VOICE* voice_ = nullptr;
    ALLEGRO_MIXER* mixer_ = nullptr;
    std::map<uint32_t, std::unique_ptr<Channel>> channels_;
    uint32_t nextHandle_ = 1;
    int error_ = 0;
};

}  // namespace audio
