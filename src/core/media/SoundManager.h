#pragma once
// Plays the game's music tracks and sound effects by name.
//
// Scripts register each track or effect (DL_RegisterMusic, DL_RegisterSound),
// which opens the file as an audio stream and hands its handle here; from then
// on the GUI, the dialogue box, the maps and combat play, stop, pause, fade
// and suppress it by name. Update, once per tick of every game state,
// advances the fades, keeps looping tracks between their loop points and ends
// temporary suppressions.
//
// Playing state lives in the audio layer; a record holds only its handle and
// the suppression, fade and loop settings.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// One registered track or effect. Owned by the manager's music or sound list.
struct AudioRecord {
    uint32_t* handle = nullptr;     // the stream handle cell (owned by the manager)
    uint8_t suppressed = 0;         // while 1, play requests are ignored
    uint8_t pauseAtFadeEnd = 0;     // when a fade-out ends: 1 pause, 0 stop and rewind
    uint8_t restart = 0;            // 1 plays from the start, 0 resumes
    float volume = 1.0f;            // 0 silent .. 1 full
    float fadeRate = 0.0f;          // volume units per second
    float loopStart = 0.0f;         // seconds
    float loopEnd = 0.0f;           // seconds
    float autoSuppressTime = 0.0f;  // > 0: every play suppresses the record this long
    float suppressElapsed = 0.0f;   // seconds since the suppression began
};

class SoundManager {
public:
    // Seconds of a monotonic clock; tests install their own.
    using Clock = std::function<double()>;

    // Initialises the audio layer's default device at 44100 Hz (its result is
    // not needed: without a device the layer runs silent) and takes the time.
    // A null clock means the steady clock.
    explicit SoundManager(Clock clock = nullptr);
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Replaces the clock and restarts the frame timing from its current value.
    void SetClock(Clock clock);

    // A cell holding a stream handle, owned by the manager for its lifetime
    // (the data library's sound entries point at these cells).
    uint32_t* CreateHandleCell(uint32_t handle);

    // Registration. Null (nothing registered) for a null handle cell; music
    // also registers nothing under "-nomusic".
    AudioRecord* RegisterMusic(const std::string& name, uint32_t* handle);
    AudioRecord* RegisterSound(const std::string& name, uint32_t* handle);
    static std::unique_ptr<AudioRecord> CreateAudioRecord(uint32_t* handle);

    // Lookups: the first record of that exact name, or null silently.
    AudioRecord* FindMusic(const std::string& name) const;
    AudioRecord* FindSound(const std::string& name) const;
    // Music first, then sounds; a miss prints a line and gives null.
    AudioRecord* GetAudioPointer(const std::string& name) const;

    // Operations on one record; each does nothing for a null record.
    void PlayStream(AudioRecord* record);
    void PauseStream(AudioRecord* record);
    void StopStream(AudioRecord* record);  // stops and rewinds
    void SetVolume(AudioRecord* record, float volume, uint8_t loop);
    void SetSuppressed(AudioRecord* record, uint8_t suppressed);
    // Fades from `volume` at `rate` volume units per second. A record stands
    // at most once on each fade list: a second fade replaces the first.
    void FadeOut(AudioRecord* record, float volume, float rate);
    void FadeOutAndPause(AudioRecord* record, float volume, float rate);
    void PlayWithFadeIn(AudioRecord* record, float volume, float rate);
    void SetLoopPositions(AudioRecord* record, float start, float end);
    void StartAutoSuppress(AudioRecord* record);

    // By name.
    void PlayMusic(const std::string& name);
    void PlaySound(const std::string& name);
    void PlayAudio(const std::string& name);
    void StopMusic(const std::string& name);
    void StopSound(const std::string& name);
    void StopAudio(const std::string& name);
    void StopAllMusic();
    void StopAllSounds();
    void StopAll();
    void SetMusicSuppressed(const std::string& name, uint8_t suppressed);
    void SetSoundSuppressed(const std::string& name, uint8_t suppressed);
    void SetAudioSuppressed(const std::string& name, uint8_t suppressed);

    // Once per tick: fades, loop points, suppressions.
    void Update();

    // Seconds between the last two updates.
    double GetLastFrameTime() const { return lastFrameTime_; }

    // What the working lists hold (for inspection).
    size_t CountFadingOut(const AudioRecord* record) const;
    size_t CountFadingIn(const AudioRecord* record) const;
    size_t CountLooping(const AudioRecord* record) const;
    size_t CountAutoSuppressed(const AudioRecord* record) const;
    size_t GetMusicCount() const { return music_.size(); }
    size_t GetSoundCount() const { return sounds_.size(); }

    // Registers SM_SetLoopPositions and SM_SetAutoSuppress.
    static void RegisterLuaFunctions(lua_State* L);

private:
    using RecordList = std::vector<std::pair<std::string, std::unique_ptr<AudioRecord>>>;

    static AudioRecord* FindIn(const RecordList& list, const std::string& name);
    static void AddOnce(std::vector<AudioRecord*>& list, AudioRecord* record);
    static void RemoveFrom(std::vector<AudioRecord*>& list, AudioRecord* record);
    static size_t CountIn(const std::vector<AudioRecord*>& list, const AudioRecord* record);
    static void SetChannelVolume(AudioRecord* record, float volume);
    void BeginFadeOut(AudioRecord* record, float volume, float rate, uint8_t pauseAtEnd);

    RecordList music_;
    RecordList sounds_;
    std::vector<AudioRecord*> fadingOut_;
    std::vector<AudioRecord*> fadingIn_;
    std::vector<AudioRecord*> loopPoints_;
    std::vector<AudioRecord*> autoSuppressed_;
    std::deque<uint32_t> handleCells_;  // a deque keeps the cells' addresses stable
    Clock clock_;
    double lastFrameTime_ = 0.0;
    double lastUpdate_ = 0.0;
};
