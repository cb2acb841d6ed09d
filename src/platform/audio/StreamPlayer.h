#pragma once
// One long track playing through a mixer, decoded a fragment at a time as it
// plays: WAV, Ogg Vorbis and FLAC through Allegro's codec addon (which feeds
// its stream on a thread of its own), MP3 through our Mp3Decoder, fed the
// same way by a thread of this object. A few fragments are buffered; the
// file is never decoded whole.
//
// Positions are frames of the file as heard: where playing began plus the
// frames the mixer has taken since, wrapped at the end for a looping stream.
// Main thread only (the feeding thread takes its own lock).
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/audio/AudioFileProbe.h"

struct ALLEGRO_AUDIO_STREAM;
struct ALLEGRO_EVENT_QUEUE;
struct ALLEGRO_MIXER;

namespace audio {

class Mp3Decoder;

class StreamPlayer {
public:
    struct Buffering {
        unsigned fragments = 4;
        unsigned fragmentFrames = 2048;  // about 46 ms at 44100 Hz
    };

    // Opens the file on the mixer at `frame` (below the length), stopped.
    // Null on failure, with kErrorFileFormat (the codec refused the file) or
    // kErrorOutputFailed in error.
    static std::unique_ptr<StreamPlayer> Open(const std::string& path, const StreamFormat& format, ALLEGRO_MIXER* mixer,
                                              uint64_t frame, bool loop, float volume, const Buffering& buffering,
                                              int& error);
    ~StreamPlayer();
    StreamPlayer(const StreamPlayer&) = delete;
    StreamPlayer& operator=(const StreamPlayer&) = delete;

    // Plays on from the current position.
    bool Play();
    // Halts and keeps the position and the fragments already buffered.
    void Pause();
    // True while playing; false when paused or played out.
    bool Playing();
    // The frame now heard, up to the length (reached when played out).
    uint64_t Position();
    // Moves to a frame below the length, keeping the play state.
    bool Seek(uint64_t frame);
    void SetVolume(float volume);
    bool Loops() const { return loop_; }

private:
    StreamPlayer(const StreamFormat& format, bool loop, const Buffering& buffering);
    // Stops the stream (its buffered fragments are let go) and moves the
    // decoder to a frame.
    bool Reposition(uint64_t frame);
    void Settle();
    uint64_t Played();
    // MP3 only.
    void FillFragments();  // with mutex_ held
    void Feed();           // the feeding thread

    StreamFormat format_;
    bool loop_;
    Buffering buffering_;
    ALLEGRO_AUDIO_STREAM* stream_ = nullptr;
    ALLEGRO_MIXER* mixer_ = nullptr;
    bool attached_ = false;    // off the mixer while paused
    uint64_t startFrame_ = 0;  // where playing (re)began
    bool playing_ = false;
    uint64_t played_ = 0;  // frames taken by the mixer since playing began
    bool ended_ = false;   // played out (a stream that does not loop)

    std::unique_ptr<Mp3Decoder> decoder_;
    std::mutex mutex_;           // the decoder and the fragments
    bool decoderEnded_ = false;  // a stream that does not loop has given all it has
    ALLEGRO_EVENT_QUEUE* queue_ = nullptr;
    struct QuitSource;
    std::unique_ptr<QuitSource> quit_;
    std::thread feeder_;
};

}  // namespace audio
