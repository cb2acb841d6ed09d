#pragma once
// The engine's audio layer: streams opened from files (WAV, Ogg Vorbis,
// FLAC through Allegro's codec addon, MP3 through libmpg123), played on the
// default output at 44100 Hz. Opening a stream reads the file's headers and
// decodes nothing; a long track is decoded as it plays, a short sound whole
// on its first play. With no audio device it runs silent: files are still
// opened and checked, and handles, play state, positions, volume and the
// loop flag behave as they would with sound, positions advancing with a
// monotonic clock.
//
// Every call records an error code that ErrorGetCode() returns (kOk after a
// success). Main thread only.
//
// Allegro itself (al_install_system) must be running before Init; Init
// installs the audio and codec addons.
#include <cstdint>
#include <string>

#include "platform/audio/Backend.h"

namespace audio {

// Stream flag: scan the whole file on opening so that seeking is exact
// (music with loop points). Every stream here knows its exact length on
// opening (MP3 by walking its frame headers), so the flag is accepted and
// kept for the callers' sake.
inline constexpr uint32_t kStreamPrescan = 0x20000;

// Devices for Init.
inline constexpr int kDefaultDevice = -1;
inline constexpr int kSilentDevice = 0;  // run silent without trying a device

// Error codes.
enum ErrorCode : int {
    kOk = 0,
    kErrorNotInitialised = 1,  // Init has not been called (or Free has)
    kErrorAlreadyInitialised = 2,
    kErrorInvalidHandle = 3,     // 0 or a handle this layer never gave out
    kErrorFileOpen = 4,          // missing or unreadable file
    kErrorFileFormat = 5,        // unsupported, corrupt or empty audio file
    kErrorNoDevice = 6,          // no device: Init fell back to silence
    kErrorInvalidPosition = 7,   // position past the end of the stream
    kErrorInvalidParameter = 8,  // bad device number, frequency, NaN volume
    kErrorOutputFailed = 9,      // the device refused the stream
};

// Opens the output at the given frequency (Hz). Returns true whenever the
// layer is usable: when no device can be opened it runs silent and
// ErrorGetCode() gives kErrorNoDevice. False for a second Init or bad
// arguments.
bool Init(int device = kDefaultDevice, int frequency = 44100);
// Frees every stream and the output.
void Free();
bool IsSilent();

// Opens a file as a stream; 0 on failure (kErrorFileOpen, kErrorFileFormat,
// kErrorNotInitialised). Backslashes in the path are taken as folder
// separators.
uint32_t StreamCreateFile(const std::string& path, uint32_t flags);

// Plays from the current position, or from the start when restart is true
// (or when a stream that does not loop has reached its end).
bool ChannelPlay(uint32_t handle, bool restart);
// Pause and Stop both halt playing and keep the position.
bool ChannelPause(uint32_t handle);
bool ChannelStop(uint32_t handle);
// True while the stream is playing. A stream that does not loop stops by
// itself at its end.
bool ChannelIsActive(uint32_t handle);

// Byte positions of the decoded stream: 2 bytes per sample per channel at the
// stream's own frequency (44100 Hz 16-bit stereo: 176400 bytes a second).
// A position is rounded down to a whole frame. Setting a position past the
// end fails with kErrorInvalidPosition; setting the end itself is allowed.
uint64_t ChannelGetPosition(uint32_t handle);
bool ChannelSetPosition(uint32_t handle, uint64_t bytes);
uint64_t ChannelGetLength(uint32_t handle);
double ChannelBytes2Seconds(uint32_t handle, uint64_t bytes);
// Negative seconds give 0.
uint64_t ChannelSeconds2Bytes(uint32_t handle, double seconds);

// Volume 0 (silent) to 1 (full); values outside are clamped, NaN fails.
bool ChannelSetVolume(uint32_t handle, float volume);
float ChannelGetVolume(uint32_t handle);
// Whether the stream starts over at its end.
bool ChannelSetLoop(uint32_t handle, bool loop);
bool ChannelGetLoop(uint32_t handle);

// The code of the last call (an ErrorCode).
int ErrorGetCode();

// Installs a back end for every call above (tests install a double);
// nullptr restores the real one. The caller keeps ownership.
void SetBackend(Backend* backend);
Backend& CurrentBackend();

}  // namespace audio
