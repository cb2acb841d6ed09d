#include "platform/audio/AllegroBackend.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_acodec.h>
#include <allegro5/allegro_audio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/audio/AllegroAudioFormat.h"
#include "platform/audio/Audio.h"
#include "platform/audio/AudioFile.h"
#include "platform/audio/AudioFileProbe.h"
#include "platform/audio/Mp3Decoder.h"
#include "platform/audio/StreamPlayer.h"

namespace audio {
namespace {

constexpr int kMaxFrequency = 384000;

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void TapCallback(void* buffer, unsigned int frames, void* data) {
    (*static_cast<AllegroBackend::OutputTap*>(data))(static_cast<const float*>(buffer), frames);
}

}  // namespace

struct AllegroBackend::Channel {
    std::string path;
    StreamFormat format;
    uint32_t flags = 0;
    bool loop = false;
    float volume = 1.0f;
    // Play state while nothing sounds (no device, or a long track with no
    // player open): the stream is at baseFrame at startTime and moves on
    // with the clock while playing.
    bool playing = false;
    uint64_t baseFrame = 0;
    double startTime = 0;
    // A short sound decoded whole.
    ALLEGRO_SAMPLE* sample = nullptr;
    ALLEGRO_SAMPLE_INSTANCE* instance = nullptr;
    // A long track decoded as it plays, while playing or paused.
    std::unique_ptr<StreamPlayer> player;

    uint64_t BytesPerFrame() const { return uint64_t(format.channels) * 2; }

    ~Channel() {
        player.reset();
        if (instance) al_destroy_sample_instance(instance);
        if (sample) al_destroy_sample(sample);
    }
};

AllegroBackend::AllegroBackend() : AllegroBackend(SteadySeconds) {}

AllegroBackend::AllegroBackend(Clock clock, Options options) : clock_(std::move(clock)), options_(options) {}

AllegroBackend::~AllegroBackend() { Free(); }

bool AllegroBackend::Fail(int code) {
    error_ = code;
    return false;
}

uint32_t AllegroBackend::FailOpen(int code) {
    error_ = code;
    return 0;
}

bool AllegroBackend::Init(int device, int frequency) {
    if (initialised_) return Fail(kErrorAlreadyInitialised);
    if ((device != kDefaultDevice && device != kSilentDevice) || frequency <= 0 || frequency > kMaxFrequency)
        return Fail(kErrorInvalidParameter);
    initialised_ = true;
    error_ = kOk;
    if (device == kDefaultDevice && !OpenDevice(frequency)) error_ = kErrorNoDevice;
    return true;
}

bool AllegroBackend::OpenDevice(int frequency) {
    if (!al_is_system_installed()) return false;
    if (!al_is_audio_installed()) {
        if (!al_install_audio()) return false;  // no voice may be made now
        audioInstalled_ = true;
    }
    al_init_acodec_addon();
    voice_ = al_create_voice(unsigned(frequency), ALLEGRO_AUDIO_DEPTH_INT16, ALLEGRO_CHANNEL_CONF_2);
    if (voice_) mixer_ = al_create_mixer(unsigned(frequency), ALLEGRO_AUDIO_DEPTH_FLOAT32, ALLEGRO_CHANNEL_CONF_2);
    if (!voice_ || !mixer_ || !al_attach_mixer_to_voice(mixer_, voice_)) {
        CloseDevice();
        return false;
    }
    if (tap_) al_set_mixer_postprocess_callback(mixer_, TapCallback, tap_.get());
    return true;
}

void AllegroBackend::CloseDevice() {
    // The voice pulls from the mixer on its own thread: take the mixer off
    // the voice before destroying it.
    if (voice_) al_detach_voice(voice_);
    if (mixer_) al_destroy_mixer(mixer_);
    if (voice_) al_destroy_voice(voice_);
    mixer_ = nullptr;
    voice_ = nullptr;
    if (audioInstalled_) al_uninstall_audio();
    audioInstalled_ = false;
}

void AllegroBackend::Free() {
    channels_.clear();  // streams and samples go before the mixer they play on
    CloseDevice();
    initialised_ = false;
    error_ = kOk;
}

bool AllegroBackend::IsSilent() const { return mixer_ == nullptr; }

size_t AllegroBackend::SoundingCount() const {
    size_t count = 0;
    for (const auto& entry : channels_)
        if (entry.second->player || entry.second->sample) ++count;
    return count;
}

void AllegroBackend::SetOutputTap(OutputTap tap) {
    if (mixer_) al_set_mixer_postprocess_callback(mixer_, nullptr, nullptr);
    tap_ = tap ? std::make_shared<OutputTap>(std::move(tap)) : nullptr;
    if (mixer_ && tap_) al_set_mixer_postprocess_callback(mixer_, TapCallback, tap_.get());
}

uint32_t AllegroBackend::StreamCreateFile(const std::string& path, uint32_t flags) {
    if (!initialised_) return FailOpen(kErrorNotInitialised);
    std::string name = path;
    std::replace(name.begin(), name.end(), '\\', '/');

    // Only the headers are read here; MP3, which has none to speak of, is
    // measured by walking its frame headers. Nothing is decoded.
    int rc = kOk;
    std::unique_ptr<AudioFile> file = AudioFile::Open(name, rc);
    if (!file) return FailOpen(rc);
    auto ch = std::make_unique<Channel>();
    ch->path = name;
    ch->flags = flags;
    if (ProbeAudioFile(*file, name, ch->format) != kOk) return FailOpen(kErrorFileFormat);
    if (ch->format.codec == Codec::Mp3) {
        Mp3Decoder decoder;
        if (decoder.Open(std::move(file)) != kOk || decoder.MeasureLength() != kOk) return FailOpen(kErrorFileFormat);
        ch->format.frequency = decoder.Frequency();
        ch->format.channels = decoder.Channels();
        ch->format.frames = decoder.Frames();
    }
    // A stream needs a known, non-empty length (a FLAC file may leave it
    // out of its header).
    if (ch->format.frames == 0 || ch->format.frequency == 0 || ch->format.channels == 0)
        return FailOpen(kErrorFileFormat);

    uint32_t handle = nextHandle_;
    while (handle == 0 || channels_.count(handle)) ++handle;
    nextHandle_ = handle + 1;
    channels_.emplace(handle, std::move(ch));
    error_ = kOk;
    return handle;
}

bool AllegroBackend::IsLong(const Channel& ch) const {
    return ch.format.frames * ch.BytesPerFrame() > options_.wholeDecodeBytes;
}

int AllegroBackend::LoadWhole(Channel& ch) {
    if (ch.format.codec == Codec::Mp3) {
        int rc = kOk;
        std::unique_ptr<AudioFile> file = AudioFile::Open(ch.path, rc);
        if (!file) return rc;
        std::string data;
        if (!file->ReadAt(0, size_t(file->Size()), data) || data.size() != file->Size()) return kErrorFileOpen;
        DecodedPcm pcm;
        if (Mp3Decoder::Decode(data, pcm) != kOk) return kErrorFileFormat;
        if (pcm.Frames() > std::numeric_limits<unsigned int>::max()) return kErrorFileFormat;
        const uint64_t bytes = pcm.samples.size() * sizeof(int16_t);
        void* buffer = al_malloc(bytes);
        if (!buffer) return kErrorOutputFailed;
        std::memcpy(buffer, pcm.samples.data(), bytes);
        ch.sample = al_create_sample(buffer, unsigned(pcm.Frames()), pcm.frequency, ALLEGRO_AUDIO_DEPTH_INT16,
                                     AllegroChannelConf(pcm.channels), true);
        if (!ch.sample) {
            al_free(buffer);
            return kErrorOutputFailed;
        }
    } else {
        ALLEGRO_FILE* file = al_fopen(ch.path.c_str(), "rb");
        if (!file) return kErrorFileOpen;
        ch.sample = al_load_sample_f(file, AllegroLoaderIdent(ch.format.codec));
        al_fclose(file);
        if (!ch.sample) return kErrorFileFormat;
    }
    // The headers gave the length; the decoded sound has the last word.
    ch.format.frequency = al_get_sample_frequency(ch.sample);
    ch.format.channels = uint32_t(al_get_channel_count(al_get_sample_channels(ch.sample)));
    ch.format.frames = al_get_sample_length(ch.sample);
    ch.instance = al_create_sample_instance(ch.sample);
    if (!ch.instance || !al_attach_sample_instance_to_mixer(ch.instance, mixer_)) {
        if (ch.instance) al_destroy_sample_instance(ch.instance);
        al_destroy_sample(ch.sample);
        ch.instance = nullptr;
        ch.sample = nullptr;
        return kErrorOutputFailed;
    }
    al_set_sample_instance_playmode(ch.instance, ch.loop ? ALLEGRO_PLAYMODE_LOOP : ALLEGRO_PLAYMODE_ONCE);
    al_set_sample_instance_gain(ch.instance, ch.volume);
    return kOk;
}

int AllegroBackend::OpenPlayer(Channel& ch, uint64_t frame) {
    int rc = kOk;
    StreamPlayer::Buffering buffering{options_.fragments, options_.fragmentFrames};
    ch.player = StreamPlayer::Open(ch.path, ch.format, mixer_, frame, ch.loop, ch.volume, buffering, rc);
    return ch.player ? kOk : rc;
}

AllegroBackend::Channel* AllegroBackend::Find(uint32_t handle) {
    if (!initialised_) {
        Fail(kErrorNotInitialised);
        return nullptr;
    }
    auto it = channels_.find(handle);
    if (it == channels_.end()) {
        Fail(kErrorInvalidHandle);
        return nullptr;
    }
    error_ = kOk;
    return it->second.get();
}

void AllegroBackend::Settle(Channel& ch) {
    if (ch.player) {
        // A track that has played out lets its decoder and buffers go.
        if (!ch.player->Playing() && ch.player->Position() >= ch.format.frames) {
            ch.player.reset();
            ch.playing = false;
            ch.baseFrame = ch.format.frames;
        }
        return;
    }
    if (ch.instance || !ch.playing || ch.loop) return;
    const double elapsed = std::max(0.0, clock_() - ch.startTime);
    const double reached = double(ch.baseFrame) + std::floor(elapsed * ch.format.frequency);
    if (reached >= double(ch.format.frames)) {
        ch.playing = false;
        ch.baseFrame = ch.format.frames;
    }
}

uint64_t AllegroBackend::CurrentFrame(Channel& ch) {
    if (ch.instance) return al_get_sample_instance_position(ch.instance);
    Settle(ch);
    if (ch.player) return ch.player->Position();
    if (!ch.playing) return ch.baseFrame;
    const double elapsed = std::max(0.0, clock_() - ch.startTime);
    const double frames = double(ch.format.frames);
    double at = double(ch.baseFrame) + std::floor(elapsed * ch.format.frequency);
    if (ch.loop) at = std::fmod(at, frames);
    return std::min(uint64_t(at), ch.format.frames);
}

// Moves a stream to a frame (at most its length), keeping its play state.
bool AllegroBackend::SetFrame(Channel& ch, uint64_t frame) {
    if (ch.player) {
        if (frame >= ch.format.frames) {
            if (!ch.loop) {
                // At the very end a track that does not loop has played out.
                ch.player.reset();
                ch.playing = false;
                ch.baseFrame = ch.format.frames;
                return true;
            }
            frame = 0;
        }
        if (!ch.player->Seek(frame)) return Fail(kErrorInvalidPosition);
        return true;
    }
    if (!ch.instance) {
        ch.baseFrame = frame;
        ch.startTime = clock_();
        Settle(ch);
        return true;
    }
    if (frame >= ch.format.frames) {
        if (!ch.loop) {
            al_set_sample_instance_playing(ch.instance, false);
            return true;
        }
        frame = 0;
    }
    if (!al_set_sample_instance_position(ch.instance, unsigned(frame))) return Fail(kErrorInvalidPosition);
    return true;
}

bool AllegroBackend::ChannelPlay(uint32_t handle, bool restart) {
    Channel* ch = Find(handle);
    if (!ch) return false;
    uint64_t frame = CurrentFrame(*ch);
    if (restart || frame >= ch->format.frames) frame = 0;
    if (mixer_ && IsLong(*ch)) {
        if (ch->player && frame != ch->player->Position() && !ch->player->Seek(frame)) ch->player.reset();
        if (!ch->player) {
            if (int rc = OpenPlayer(*ch, frame); rc != kOk) return Fail(rc);
        }
        if (!ch->player->Play()) return Fail(kErrorOutputFailed);
        ch->playing = true;
        return true;
    }
    if (mixer_ && !ch->instance) {
        if (int rc = LoadWhole(*ch); rc != kOk) return Fail(rc);
    }
    if (!ch->instance) {
        ch->playing = true;
        return SetFrame(*ch, frame);
    }
    if (!al_set_sample_instance_position(ch->instance, unsigned(frame)) ||
        !al_set_sample_instance_playing(ch->instance, true))
        return Fail(kErrorOutputFailed);
    return true;
}

bool AllegroBackend::ChannelPause(uint32_t handle) {
    Channel* ch = Find(handle);
    if (!ch) return false;
    const uint64_t frame = CurrentFrame(*ch);
    if (ch->player) {
        ch->player->Pause();
        ch->playing = false;
        return true;
    }
    if (!ch->instance) {
        ch->playing = false;
        ch->baseFrame = frame;
        return true;
    }
    // Halting an instance rewinds it; put the position back.
    al_set_sample_instance_playing(ch->instance, false);
    al_set_sample_instance_position(ch->instance, unsigned(frame));
    return true;
}

bool AllegroBackend::ChannelStop(uint32_t handle) {
    Channel* ch = Find(handle);
    if (!ch) return false;
    if (!ch->player) return ChannelPause(handle);
    // A stopped track keeps its position and lets its decoder go.
    ch->baseFrame = CurrentFrame(*ch);
    ch->player.reset();
    ch->playing = false;
    return true;
}

bool AllegroBackend::ChannelIsActive(uint32_t handle) {
    Channel* ch = Find(handle);
    if (!ch) return false;
    if (ch->instance) return al_get_sample_instance_playing(ch->instance);
    Settle(*ch);
    if (ch->player) return ch->player->Playing();
    return ch->playing;
}

uint64_t AllegroBackend::ChannelGetPosition(uint32_t handle) {
    Channel* ch = Find(handle);
    return ch ? CurrentFrame(*ch) * ch->BytesPerFrame() : 0;
}

bool AllegroBackend::ChannelSetPosition(uint32_t handle, uint64_t bytes) {
    Channel* ch = Find(handle);
    if (!ch) return false;
    const uint64_t frame = bytes / ch->BytesPerFrame();
    if (frame > ch->format.frames) return Fail(kErrorInvalidPosition);
    return SetFrame(*ch, frame);
}

uint64_t AllegroBackend::ChannelGetLength(uint32_t handle) {
    Channel* ch = Find(handle);
    return ch ? ch->format.frames * ch->BytesPerFrame() : 0;
}

double AllegroBackend::ChannelBytes2Seconds(uint32_t handle, uint64_t bytes) {
    Channel* ch = Find(handle);
    if (!ch) return 0.0;
    return double(bytes) / (double(ch->BytesPerFrame()) * ch->format.frequency);
}

uint64_t AllegroBackend::ChannelSeconds2Bytes(uint32_t handle, double seconds) {
    Channel* ch = Find(handle);
    if (!ch) return 0;
    if (!(seconds > 0)) return 0;  // negative or NaN
    const double frames = std::floor(seconds * ch->format.frequency);
    const uint64_t maxFrames = std::numeric_limits<uint64_t>::max() / ch->BytesPerFrame();
    if (frames >= double(maxFrames)) return maxFrames * ch->BytesPerFrame();
    return uint64_t(frames) * ch->BytesPerFrame();
}

bool AllegroBackend::ChannelSetVolume(uint32_t handle, float volume) {
    Channel* ch = Find(handle);
    if (!ch) return false;
    if (std::isnan(volume)) return Fail(kErrorInvalidParameter);
    ch->volume = std::clamp(volume, 0.0f, 1.0f);
    if (ch->instance) al_set_sample_instance_gain(ch->instance, ch->volume);
    if (ch->player) ch->player->SetVolume(ch->volume);
    return true;
}

float AllegroBackend::ChannelGetVolume(uint32_t handle) {
    Channel* ch = Find(handle);
    return ch ? ch->volume : 0.0f;
}

bool AllegroBackend::ChannelSetLoop(uint32_t handle, bool loop) {
    Channel* ch = Find(handle);
    if (!ch) return false;
    if (ch->instance) {
        al_set_sample_instance_playmode(ch->instance, loop ? ALLEGRO_PLAYMODE_LOOP : ALLEGRO_PLAYMODE_ONCE);
    } else if (ch->player && ch->player->Loops() != loop) {
        // A track's player is made for one mode: open it again where it is.
        const uint64_t frame = ch->player->Position();
        const bool wasPlaying = ch->player->Playing();
        ch->player.reset();
        ch->loop = loop;
        ch->baseFrame = frame;
        ch->playing = false;
        if (frame < ch->format.frames) {
            if (int rc = OpenPlayer(*ch, frame); rc != kOk) return Fail(rc);
            if (wasPlaying && !ch->player->Play()) return Fail(kErrorOutputFailed);
            ch->playing = wasPlaying;
        }
    } else if (!ch->player && ch->playing) {
        // Carry on from where the stream is now under the new mode.
        const uint64_t frame = CurrentFrame(*ch);
        ch->baseFrame = frame;
        ch->startTime = clock_();
    }
    ch->loop = loop;
    return true;
}

bool AllegroBackend::ChannelGetLoop(uint32_t handle) {
    Channel* ch = Find(handle);
    return ch && ch->loop;
}

}  // namespace audio
