#include "platform/audio/Audio.h"

#include <allegro5/allegro.h>

#include <cstdlib>

#include "platform/audio/AllegroBackend.h"

namespace audio {
namespace {

Backend* installed = nullptr;

// The real back end lives for the whole program and is never destroyed:
// its streams may only go while Allegro still runs, which Free() sees to.
AllegroBackend* real = nullptr;

// At exit the streams (and the threads feeding them) go before Allegro's own
// shut-down, which was registered earlier and so runs later.
void FreeAtExit() {
    if (real && al_is_system_installed()) real->Free();
}

Backend& RealBackend() {
    if (!real) {
        real = new AllegroBackend();
        std::atexit(FreeAtExit);
    }
    return *real;
}

}  // namespace

void SetBackend(Backend* backend) { installed = backend; }

Backend& CurrentBackend() { return installed ? *installed : RealBackend(); }

bool Init(int device, int frequency) { return CurrentBackend().Init(device, frequency); }
void Free() { CurrentBackend().Free(); }
bool IsSilent() { return CurrentBackend().IsSilent(); }

uint32_t StreamCreateFile(const std::string& path, uint32_t flags) {
    return CurrentBackend().StreamCreateFile(path, flags);
}

bool ChannelPlay(uint32_t handle, bool restart) { return CurrentBackend().ChannelPlay(handle, restart); }
bool ChannelPause(uint32_t handle) { return CurrentBackend().ChannelPause(handle); }
bool ChannelStop(uint32_t handle) { return CurrentBackend().ChannelStop(handle); }
bool ChannelIsActive(uint32_t handle) { return CurrentBackend().ChannelIsActive(handle); }

uint64_t ChannelGetPosition(uint32_t handle) { return CurrentBackend().ChannelGetPosition(handle); }
bool ChannelSetPosition(uint32_t handle, uint64_t bytes) { return CurrentBackend().ChannelSetPosition(handle, bytes); }
uint64_t ChannelGetLength(uint32_t handle) { return CurrentBackend().ChannelGetLength(handle); }
double ChannelBytes2Seconds(uint32_t handle, uint64_t bytes) {
    return CurrentBackend().ChannelBytes2Seconds(handle, bytes);
}
uint64_t ChannelSeconds2Bytes(uint32_t handle, double seconds) {
    return CurrentBackend().ChannelSeconds2Bytes(handle, seconds);
}

bool ChannelSetVolume(uint32_t handle, float volume) { return CurrentBackend().ChannelSetVolume(handle, volume); }
float ChannelGetVolume(uint32_t handle) { return CurrentBackend().ChannelGetVolume(handle); }
bool ChannelSetLoop(uint32_t handle, bool loop) { return CurrentBackend().ChannelSetLoop(handle, loop); }
bool ChannelGetLoop(uint32_t handle) { return CurrentBackend().ChannelGetLoop(handle); }

int ErrorGetCode() { return CurrentBackend().ErrorGetCode(); }

}  // namespace audio
