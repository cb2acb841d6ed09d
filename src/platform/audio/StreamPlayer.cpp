#include "platform/audio/StreamPlayer.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_acodec.h>
#include <allegro5/allegro_audio.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/audio/AllegroAudioFormat.h"
#include "platform/audio/Audio.h"
#include "platform/audio/AudioFile.h"
#include "platform/audio/Mp3Decoder.h"

namespace audio {
namespace {

constexpr unsigned kQuitEvent = ALLEGRO_GET_EVENT_TYPE('Q', 'e', 'l', 'S');

}  // namespace

struct StreamPlayer::QuitSource {
    ALLEGRO_EVENT_SOURCE source;
};

StreamPlayer::StreamPlayer(const StreamFormat& format, bool loop, const Buffering& buffering)
    : format_(format), loop_(loop), buffering_(buffering) {}

std::unique_ptr<StreamPlayer> StreamPlayer::Open(const std::string& path, const StreamFormat& format,
                                                 ALLEGRO_MIXER* mixer, uint64_t frame, bool loop, float volume,
                                                 const Buffering& buffering, int& error) {
    error = kErrorOutputFailed;
    if (!mixer || format.frames == 0 || frame >= format.frames) return nullptr;
    std::unique_ptr<StreamPlayer> player(new StreamPlayer(format, loop, buffering));
    const unsigned fragments = std::max(2u, buffering.fragments);
    const unsigned fragmentFrames = std::max(64u, buffering.fragmentFrames);
    player->buffering_ = Buffering{fragments, fragmentFrames};

    if (format.codec == Codec::Mp3) {
        int openError = kOk;
        auto file = AudioFile::Open(path, openError);
        auto decoder = std::make_unique<Mp3Decoder>();
        if (!file || decoder->Open(std::move(file)) != kOk || decoder->MeasureLength() != kOk ||
            decoder->Frequency() != format.frequency || decoder->Channels() != format.channels) {
            error = kErrorFileFormat;
            return nullptr;
        }
        player->decoder_ = std::move(decoder);
        player->stream_ = al_create_audio_stream(fragments, fragmentFrames, format.frequency, ALLEGRO_AUDIO_DEPTH_INT16,
                                                 AllegroChannelConf(format.channels));
        if (!player->stream_) return nullptr;
        al_set_audio_stream_playing(player->stream_, false);
    } else {
        ALLEGRO_FILE* file = al_fopen(path.c_str(), "rb");
        if (!file) {
            error = kErrorFileOpen;
            return nullptr;
        }
        // On success the stream owns the file and closes it when destroyed.
        player->stream_ = al_load_audio_stream_f(file, AllegroLoaderIdent(format.codec), fragments, fragmentFrames);
        if (!player->stream_) {
            al_fclose(file);
            error = kErrorFileFormat;
            return nullptr;
        }
        al_set_audio_stream_playing(player->stream_, false);
        al_set_audio_stream_playmode(player->stream_, loop ? ALLEGRO_PLAYMODE_LOOP : ALLEGRO_PLAYMODE_ONCE);
    }
    // Played as recorded: no panning law lowering a stereo track.
    al_set_audio_stream_pan(player->stream_, ALLEGRO_AUDIO_PAN_NONE);
    al_set_audio_stream_gain(player->stream_, volume);
    if (!al_attach_audio_stream_to_mixer(player->stream_, mixer)) return nullptr;
    player->mixer_ = mixer;
    player->attached_ = true;
    if (frame > 0 && !player->Reposition(frame)) {
        error = kErrorInvalidPosition;
        return nullptr;
    }
    player->startFrame_ = frame;

    if (player->decoder_) {
        player->queue_ = al_create_event_queue();
        if (!player->queue_) return nullptr;
        player->quit_ = std::make_unique<QuitSource>();
        al_init_user_event_source(&player->quit_->source);
        al_register_event_source(player->queue_, &player->quit_->source);
        al_register_event_source(player->queue_, al_get_audio_stream_event_source(player->stream_));
        player->feeder_ = std::thread([p = player.get()] { p->Feed(); });
    }
    error = kOk;
    return player;
}

StreamPlayer::~StreamPlayer() {
    if (feeder_.joinable()) {
        ALLEGRO_EVENT event{};
        event.user.type = kQuitEvent;
        al_emit_user_event(&quit_->source, &event, nullptr);
        feeder_.join();
    }
    if (stream_) al_destroy_audio_stream(stream_);  // detaches it from the mixer
    if (queue_) al_destroy_event_queue(queue_);
    if (quit_) al_destroy_user_event_source(&quit_->source);
}

bool StreamPlayer::Reposition(uint64_t frame) {
    if (decoder_) {
        // Under the lock, so that the feeding thread cannot slip a fragment
        // from the old position in between.
        std::lock_guard<std::mutex> lock(mutex_);
        al_set_audio_stream_playing(stream_, false);
        decoderEnded_ = false;
        return decoder_->Seek(frame);
    }
    al_set_audio_stream_playing(stream_, false);
    // The codecs turn seconds back into a place of their own: WAV rounds to
    // the nearest sample of any channel (a fraction of a frame would land
    // between channels), Ogg truncates to a frame (a quarter of a frame on
    // keeps it from landing on the frame before).
    const double offset = format_.codec == Codec::Wav ? 0.0 : 0.25;
    return al_seek_audio_stream_secs(stream_, (double(frame) + offset) / format_.frequency);
}

void StreamPlayer::FillFragments() {
    const size_t channels = format_.channels;
    const size_t frames = buffering_.fragmentFrames;
    while (void* fragment = al_get_audio_stream_fragment(stream_)) {
        int16_t* out = static_cast<int16_t*>(fragment);
        size_t got = 0;
        bool rewound = false;
        while (got < frames && !decoderEnded_) {
            const size_t n = decoder_->Read(out + got * channels, frames - got);
            if (n > 0) {
                got += n;
                rewound = false;
                continue;
            }
            // At the end: a looping stream starts over (once per gap, so a
            // decoder that gives nothing cannot spin here).
            if (loop_ && !rewound && !decoder_->Failed() && decoder_->Seek(0)) {
                rewound = true;
                continue;
            }
            decoderEnded_ = true;
        }
        std::memset(out + got * channels, 0, (frames - got) * channels * sizeof(int16_t));
        al_set_audio_stream_fragment(stream_, fragment);
    }
}

void StreamPlayer::Feed() {
    for (;;) {
        ALLEGRO_EVENT event;
        al_wait_for_event(queue_, &event);
        if (event.type == kQuitEvent) return;
        if (event.type == ALLEGRO_EVENT_AUDIO_STREAM_FRAGMENT) {
            std::lock_guard<std::mutex> lock(mutex_);
            FillFragments();
        }
    }
}

bool StreamPlayer::Play() {
    Settle();
    if (playing_) return true;
    if (ended_) return false;
    if (!attached_) {
        // Paused: the stream goes back on the mixer with its fragments.
        if (!al_attach_audio_stream_to_mixer(stream_, mixer_)) return false;
        attached_ = true;
    }
    if (!al_get_audio_stream_playing(stream_)) {
        if (decoder_) {
            // The first fragments are decoded before the stream starts, so
            // it does not begin with a gap.
            std::lock_guard<std::mutex> lock(mutex_);
            FillFragments();
        }
        if (!al_set_audio_stream_playing(stream_, true)) return false;
        played_ = 0;
    }
    playing_ = true;
    return true;
}

// The mixer's count of the frames it has taken since the stream started; it
// can read 0 for a moment while the codec's thread refills the stream, so
// the count never goes back.
uint64_t StreamPlayer::Played() {
    played_ = std::max<uint64_t>(played_, al_get_audio_stream_played_samples(stream_));
    return played_;
}

// Notices a stream that has played out: Allegro stops its own streams at
// their end; ours plays silence past it, so it is stopped here.
void StreamPlayer::Settle() {
    if (!playing_) return;
    const bool running = al_get_audio_stream_playing(stream_);
    const uint64_t at = startFrame_ + Played();
    if (running && (loop_ || at < format_.frames)) return;
    if (running) al_set_audio_stream_playing(stream_, false);
    playing_ = false;
    ended_ = true;
}

bool StreamPlayer::Playing() {
    Settle();
    return playing_;
}

uint64_t StreamPlayer::Position() {
    Settle();
    if (ended_) return format_.frames;
    const uint64_t at = startFrame_ + (playing_ ? Played() : played_);
    return loop_ ? at % format_.frames : std::min(at, format_.frames);
}

void StreamPlayer::Pause() {
    Settle();
    if (!playing_) return;
    // Taken off the mixer the stream keeps its buffered fragments and its
    // count, so it resumes exactly where it stopped. While the stream waits
    // for its next fragment the mixer's count reads 0; the place is then
    // taken a moment later (a few milliseconds at most).
    for (int tries = 0; Played() == 0 && al_get_audio_stream_played_samples(stream_) == 0 && tries < 50; ++tries)
        al_rest(0.001);
    al_detach_audio_stream(stream_);
    attached_ = false;
    playing_ = false;
}

bool StreamPlayer::Seek(uint64_t frame) {
    if (frame >= format_.frames) return false;
    const bool wasPlaying = Playing();
    playing_ = false;
    ended_ = false;
    played_ = 0;
    startFrame_ = frame;
    if (!Reposition(frame)) return false;
    return wasPlaying ? Play() : true;
}

void StreamPlayer::SetVolume(float volume) { al_set_audio_stream_gain(stream_, volume); }

}  // namespace audio
