#include "core/media/SoundManager.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/base/GlobalState.h"
#include "platform/audio/Audio.h"

namespace {

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// A volume the channel can take: negative and NaN become 0, above 1 becomes 1.
float ClampVolume(float volume) {
    if (!(volume > 0.0f)) return 0.0f;
    return volume > 1.0f ? 1.0f : volume;
}

// Fade arguments must be non-negative numbers.
bool ValidFadeArgument(float value) { return value >= 0.0f && std::isfinite(value); }

bool NoMusic() { return GetGlobalState()->noMusic != 0; }

}  // namespace

SoundManager::SoundManager(Clock clock) {
    // Default output device at 44100 Hz. Without a device the layer runs
    // silent and later plays report their error codes, so the result is not
    // needed here.
    audio::Init(-1, 44100);
    SetClock(std::move(clock));
}

SoundManager::~SoundManager() = default;

void SoundManager::SetClock(Clock clock) {
    clock_ = clock ? std::move(clock) : Clock(SteadySeconds);
    lastUpdate_ = clock_();
    lastFrameTime_ = 0.0;
}

uint32_t* SoundManager::CreateHandleCell(uint32_t handle) {
    handleCells_.push_back(handle);
    return &handleCells_.back();
}

std::unique_ptr<AudioRecord> SoundManager::CreateAudioRecord(uint32_t* handle) {
    auto record = std::make_unique<AudioRecord>();
    record->handle = handle;
    return record;
}

AudioRecord* SoundManager::RegisterMusic(const std::string& name, uint32_t* handle) {
    if (!handle || NoMusic()) return nullptr;
    music_.emplace_back(name, CreateAudioRecord(handle));
    return music_.back().second.get();
}

AudioRecord* SoundManager::RegisterSound(const std::string& name, uint32_t* handle) {
    if (!handle) return nullptr;
    auto record = CreateAudioRecord(handle);
    record->restart = 1;
    sounds_.emplace_back(name, std::move(record));
    return sounds_.back().second.get();
}

AudioRecord* SoundManager::FindIn(const RecordList& list, const std::string& name) {
    for (const auto& entry : list)
        if (entry.first == name) return entry.second.get();
    return nullptr;
}

AudioRecord* SoundManager::FindMusic(const std::string& name) const { return FindIn(music_, name); }

AudioRecord* SoundManager::FindSound(const std::string& name) const { return FindIn(sounds_, name); }

AudioRecord* SoundManager::GetAudioPointer(const std::string& name) const {
    if (AudioRecord* record = FindMusic(name)) return record;
    if (AudioRecord* record = FindSound(name)) return record;
    std::fprintf(stderr, "SoundManager::GetAudioPointer:  Failed, %s not found\n", name.c_str());
    return nullptr;
}

// ---------------------------------------------------------------------------
// Working lists

void SoundManager::AddOnce(std::vector<AudioRecord*>& list, AudioRecord* record) {
    if (std::find(list.begin(), list.end(), record) == list.end()) list.push_back(record);
}

void SoundManager::RemoveFrom(std::vector<AudioRecord*>& list, AudioRecord* record) {
    auto it = std::find(list.begin(), list.end(), record);
    if (it != list.end()) list.erase(it);
}

size_t SoundManager::CountIn(const std::vector<AudioRecord*>& list, const AudioRecord* record) {
    return static_cast<size_t>(std::count(list.begin(), list.end(), record));
}

size_t SoundManager::CountFadingOut(const AudioRecord* record) const { return CountIn(fadingOut_, record); }
size_t SoundManager::CountFadingIn(const AudioRecord* record) const { return CountIn(fadingIn_, record); }
size_t SoundManager::CountLooping(const AudioRecord* record) const { return CountIn(loopPoints_, record); }
size_t SoundManager::CountAutoSuppressed(const AudioRecord* record) const { return CountIn(autoSuppressed_, record); }

void SoundManager::SetChannelVolume(AudioRecord* record, float volume) {
    if (record->handle) audio::ChannelSetVolume(*record->handle, ClampVolume(volume));
}

// ---------------------------------------------------------------------------
// Operations on one record

void SoundManager::PlayStream(AudioRecord* record) {
    if (!record || !record->handle || record->suppressed) return;
    bool played = audio::ChannelPlay(*record->handle, record->restart != 0);
    if (record->autoSuppressTime > 0.0f) StartAutoSuppress(record);
    // A record played again stops fading out; its volume stays where the fade
    // left it.
    RemoveFrom(fadingOut_, record);
    if (!played) {
        std::fprintf(stderr, "SoundManager::PlayStream:  Failed, Bass error -%i-\n", audio::ErrorGetCode());
        std::fprintf(stderr, "Address was %p\n", static_cast<void*>(record->handle));
    }
}

void SoundManager::PauseStream(AudioRecord* record) {
    if (!record || !record->handle) return;
    audio::ChannelPause(*record->handle);
}

void SoundManager::StopStream(AudioRecord* record) {
    if (!record || !record->handle) return;
    audio::ChannelStop(*record->handle);
    audio::ChannelSetPosition(*record->handle, 0);
}

void SoundManager::SetVolume(AudioRecord* record, float volume, uint8_t loop) {
    if (!record || !record->handle) return;
    record->volume = ClampVolume(volume);
    audio::ChannelSetVolume(*record->handle, record->volume);
    if (loop) audio::ChannelSetLoop(*record->handle, true);
}

void SoundManager::SetSuppressed(AudioRecord* record, uint8_t suppressed) {
    if (!record) return;
    record->suppressed = suppressed;
}

void SoundManager::BeginFadeOut(AudioRecord* record, float volume, float rate, uint8_t pauseAtEnd) {
    if (!record || !ValidFadeArgument(volume) || !ValidFadeArgument(rate)) return;
    record->pauseAtFadeEnd = pauseAtEnd;
    record->volume = volume;
    record->fadeRate = rate;
    AddOnce(fadingOut_, record);
    RemoveFrom(fadingIn_, record);
}

void SoundManager::FadeOut(AudioRecord* record, float volume, float rate) {
    // A plain fade-out always ends in stop and rewind, even when an earlier
    // fade-and-pause of this record was cut short by a play.
    BeginFadeOut(record, volume, rate, 0);
}

void SoundManager::FadeOutAndPause(AudioRecord* record, float volume, float rate) {
    BeginFadeOut(record, volume, rate, 1);
}

void SoundManager::PlayWithFadeIn(AudioRecord* record, float volume, float rate) {
    if (!record || !ValidFadeArgument(volume) || !ValidFadeArgument(rate)) return;
    // The channel starts at the fade's first volume, not at whatever it last
    // had, so the first tick is not heard at full volume.
    record->volume = volume;
    record->fadeRate = rate;
    SetChannelVolume(record, volume);
    PlayStream(record);
    AddOnce(fadingIn_, record);
    RemoveFrom(fadingOut_, record);
}

void SoundManager::SetLoopPositions(AudioRecord* record, float start, float end) {
    if (!record) return;
    // A negative start (or one that is not a number) loops from the beginning.
    record->loopStart = start >= 0.0f ? start : 0.0f;
    record->loopEnd = end;
    AddOnce(loopPoints_, record);
}

void SoundManager::StartAutoSuppress(AudioRecord* record) {
    if (!record) return;
    record->restart = 1;
    record->suppressElapsed = 0.0f;
    record->suppressed = 1;
    AddOnce(autoSuppressed_, record);
}

// ---------------------------------------------------------------------------
// By name

void SoundManager::PlayMusic(const std::string& name) {
    if (NoMusic()) return;
    PlayStream(FindMusic(name));
}

void SoundManager::PlaySound(const std::string& name) { PlayStream(FindSound(name)); }

void SoundManager::PlayAudio(const std::string& name) { PlayStream(GetAudioPointer(name)); }

void SoundManager::StopMusic(const std::string& name) { StopStream(FindMusic(name)); }

void SoundManager::StopSound(const std::string& name) { StopStream(FindSound(name)); }

void SoundManager::StopAudio(const std::string& name) { StopStream(GetAudioPointer(name)); }

void SoundManager::StopAllMusic() {
    for (auto& entry : music_) StopStream(entry.second.get());
}

void SoundManager::StopAllSounds() {
    for (auto& entry : sounds_) StopStream(entry.second.get());
}

void SoundManager::StopAll() {
    StopAllMusic();
    StopAllSounds();
}

void SoundManager::SetMusicSuppressed(const std::string& name, uint8_t suppressed) {
    SetSuppressed(FindMusic(name), suppressed);
}

void SoundManager::SetSoundSuppressed(const std::string& name, uint8_t suppressed) {
    SetSuppressed(FindSound(name), suppressed);
}

void SoundManager::SetAudioSuppressed(const std::string& name, uint8_t suppressed) {
    SetSuppressed(GetAudioPointer(name), suppressed);
}

// ---------------------------------------------------------------------------
// Per tick

void SoundManager::Update() {
    double now = clock_();
    double elapsed = now - lastUpdate_;
    if (elapsed < 0.0) elapsed = 0.0;
    lastFrameTime_ = elapsed;
    lastUpdate_ = now;
    const float dt = static_cast<float>(elapsed);

    for (size_t i = 0; i < fadingOut_.size();) {
        AudioRecord* record = fadingOut_[i];
        record->volume -= record->fadeRate * dt;
        SetChannelVolume(record, record->volume);
        if (record->volume < 0.0f) {
            record->volume = 1.0f;
            record->fadeRate = 0.0f;
            if (record->pauseAtFadeEnd)
                PauseStream(record);
            else
                StopStream(record);
            record->pauseAtFadeEnd = 0;
            // The channel gets its full volume back, so the track is heard
            // when it is played again.
            SetChannelVolume(record, record->volume);
            fadingOut_.erase(fadingOut_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }

    for (size_t i = 0; i < fadingIn_.size();) {
        AudioRecord* record = fadingIn_[i];
        record->volume += record->fadeRate * dt;
        SetChannelVolume(record, record->volume);
        if (record->volume >= 1.0f) {
            record->volume = 1.0f;
            record->fadeRate = 0.0f;
            fadingIn_.erase(fadingIn_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }

    for (AudioRecord* record : loopPoints_) {
        if (!record->handle) continue;
        const uint32_t handle = *record->handle;
        double position = audio::ChannelBytes2Seconds(handle, audio::ChannelGetPosition(handle));
        if (static_cast<double>(record->loopEnd) < position)
            audio::ChannelSetPosition(handle, audio::ChannelSeconds2Bytes(handle, record->loopStart));
    }

    for (size_t i = 0; i < autoSuppressed_.size();) {
        AudioRecord* record = autoSuppressed_[i];
        record->suppressElapsed += dt;
        if (record->autoSuppressTime <= record->suppressElapsed) {
            record->suppressElapsed = 0.0f;
            record->suppressed = 0;
            autoSuppressed_.erase(autoSuppressed_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        ++i;
    }
}
