#pragma once
// The operations the sound code needs of an audio output. The engine talks
// to whichever back end is installed through the free functions of
// platform/audio/Audio.h; tests install their own double with
// audio::SetBackend.
#include <cstdint>
#include <string>

namespace audio {

class Backend {
public:
    virtual ~Backend() = default;

    // Opens the output. device: kDefaultDevice or kSilentDevice (Audio.h).
    virtual bool Init(int device, int frequency) = 0;
    // Releases every stream and the output. Init may be called again after.
    virtual void Free() = 0;
    // True while no sound reaches a device (no device opened, or forced).
    virtual bool IsSilent() const = 0;

    // 0 on failure (see ErrorGetCode); valid handles are never 0.
    virtual uint32_t StreamCreateFile(const std::string& path, uint32_t flags) = 0;

    virtual bool ChannelPlay(uint32_t handle, bool restart) = 0;
    virtual bool ChannelPause(uint32_t handle) = 0;
    virtual bool ChannelStop(uint32_t handle) = 0;
    virtual bool ChannelIsActive(uint32_t handle) = 0;

    // Positions and lengths in bytes of the decoded stream (16-bit samples,
    // all channels of a frame together). Errors give 0 / 0.0 / false.
    virtual uint64_t ChannelGetPosition(uint32_t handle) = 0;
    virtual bool ChannelSetPosition(uint32_t handle, uint64_t bytes) = 0;
    virtual uint64_t ChannelGetLength(uint32_t handle) = 0;
    virtual double ChannelBytes2Seconds(uint32_t handle, uint64_t bytes) = 0;
    virtual uint64_t ChannelSeconds2Bytes(uint32_t handle, double seconds) = 0;

    virtual bool ChannelSetVolume(uint32_t handle, float volume) = 0;
    virtual float ChannelGetVolume(uint32_t handle) = 0;
    virtual bool ChannelSetLoop(uint32_t handle, bool loop) = 0;
    virtual bool ChannelGetLoop(uint32_t handle) = 0;

    // The code of the last call on this back end (kOk after a success).
    virtual int ErrorGetCode() const = 0;
};

}  // namespace audio
