#include "platform/audio/Mp3Decoder.h"

#include <mpg123.h>
#include <sys/types.h>

#include <algorithm>
#include <cstring>

#include "platform/audio/Audio.h"
#include "platform/audio/AudioFile.h"

namespace audio {
namespace {

bool LibraryReady() {
    // mpg123_init is a no-op in recent versions but required by older ones.
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

// libmpg123 reads the file through these, with the AudioFile as its handle.
ssize_t ReadCallback(void* handle, void* buffer, size_t bytes) {
    return ssize_t(static_cast<AudioFile*>(handle)->Read(buffer, bytes));
}
off_t SeekCallback(void* handle, off_t offset, int whence) {
    return off_t(static_cast<AudioFile*>(handle)->Seek(int64_t(offset), whence));
}

}  // namespace

struct Mp3Decoder::Handle {
    mpg123_handle* mh = nullptr;
    std::unique_ptr<AudioFile> file;
    ~Handle() {
        if (mh) {
            mpg123_close(mh);
            mpg123_delete(mh);
        }
    }
};

Mp3Decoder::Mp3Decoder() = default;
Mp3Decoder::~Mp3Decoder() = default;

int Mp3Decoder::Open(std::unique_ptr<AudioFile> file) {
    handle_.reset();
    frequency_ = channels_ = 0;
    frames_ = position_ = 0;
    measured_ = atEnd_ = failed_ = false;
    if (!LibraryReady() || !file || file->Size() == 0) return kErrorFileFormat;
    auto h = std::make_unique<Handle>();
    int err = MPG123_OK;
    h->mh = mpg123_new(nullptr, &err);
    if (!h->mh) return kErrorFileFormat;
    h->file = std::move(file);
    mpg123_param(h->mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);

    // Signed 16-bit output at whatever rate and channel count the file has.
    mpg123_format_none(h->mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(h->mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

    if (mpg123_replace_reader_handle(h->mh, ReadCallback, SeekCallback, nullptr) != MPG123_OK ||
        mpg123_open_handle(h->mh, h->file.get()) != MPG123_OK)
        return kErrorFileFormat;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(h->mh, &rate, &channels, &encoding) != MPG123_OK) return kErrorFileFormat;
    if (encoding != MPG123_ENC_SIGNED_16 || rate <= 0 || channels < 1 || channels > 2) return kErrorFileFormat;
    frequency_ = uint32_t(rate);
    channels_ = uint32_t(channels);
    handle_ = std::move(h);
    return kOk;
}

int Mp3Decoder::MeasureLength() {
    if (!handle_ || failed_) return kErrorFileFormat;
    if (mpg123_scan(handle_->mh) != MPG123_OK) return kErrorFileFormat;
    const off_t length = mpg123_length(handle_->mh);
    if (length <= 0) return kErrorFileFormat;
    frames_ = uint64_t(length);
    measured_ = true;
    return kOk;
}

// Decodes into out; the number of bytes written. Sets atEnd_ or failed_
// when the decoder has no more to give.
size_t Mp3Decoder::Decode(unsigned char* out, size_t bytes) {
    size_t written = 0;
    while (written < bytes && !atEnd_ && !failed_) {
        size_t done = 0;
        const int rc = mpg123_read(handle_->mh, out + written, bytes - written, &done);
        written += done;
        if (rc == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            if (mpg123_getformat(handle_->mh, &rate, &channels, &encoding) != MPG123_OK ||
                uint32_t(rate) != frequency_ || uint32_t(channels) != channels_ || encoding != MPG123_ENC_SIGNED_16)
                failed_ = true;
        } else if (rc == MPG123_DONE) {
            atEnd_ = true;
        } else if (rc != MPG123_OK) {
            failed_ = true;
        } else if (done == 0) {
            atEnd_ = true;  // no progress: nothing more in the file
        }
    }
    return written;
}

size_t Mp3Decoder::Read(int16_t* out, size_t frames) {
    if (!handle_ || failed_ || frames == 0) return 0;
    if (measured_) frames = size_t(std::min<uint64_t>(frames, frames_ - std::min(frames_, position_)));
    const size_t frameBytes = size_t(channels_) * 2;
    size_t got = Decode(reinterpret_cast<unsigned char*>(out), frames * frameBytes) / frameBytes;
    if (failed_) return 0;
    if (measured_ && got < frames) {
        // Frames that decode short of the measured length end in silence,
        // so the stream keeps the length it was measured at.
        std::memset(out + got * channels_, 0, (frames - got) * frameBytes);
        got = frames;
    }
    position_ += got;
    return got;
}

bool Mp3Decoder::Seek(uint64_t frame) {
    if (!handle_ || failed_) return false;
    if (measured_) frame = std::min(frame, frames_);
    const off_t at = mpg123_seek(handle_->mh, off_t(frame), SEEK_SET);
    if (at < 0) return false;
    position_ = frame;
    atEnd_ = false;
    return true;
}

int Mp3Decoder::Decode(const std::string& data, DecodedPcm& out) {
    out = DecodedPcm{};
    Mp3Decoder decoder;
    if (data.empty() || decoder.Open(AudioFile::FromBytes(data)) != kOk) return kErrorFileFormat;
    DecodedPcm pcm;
    pcm.frequency = decoder.Frequency();
    pcm.channels = decoder.Channels();
    std::vector<int16_t> block(size_t(16384) * pcm.channels);
    for (;;) {
        const size_t got = decoder.Read(block.data(), 16384);
        if (decoder.Failed()) return kErrorFileFormat;
        if (got == 0) break;
        if ((pcm.samples.size() + got * pcm.channels) * 2 > kMaxDecodedBytes) return kErrorFileFormat;
        pcm.samples.insert(pcm.samples.end(), block.begin(), block.begin() + std::ptrdiff_t(got * pcm.channels));
    }
    if (pcm.Frames() == 0) return kErrorFileFormat;
    out = std::move(pcm);
    return kOk;
}

}  // namespace audio
