#include "platform/audio/Mp3Decoder.h"

#include <mpg123.h>

#include <cstring>
#include <memory>

#include "platform/audio/Audio.h"

namespace audio {
namespace {

bool LibraryReady() {
    // mpg123_init is a no-op in recent versions but required by older ones.
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

struct HandleDeleter {
    void operator()(mpg123_handle* h) const {
        mpg123_close(h);
        mpg123_delete(h);
    }
};

}  // namespace

int Mp3Decoder::Decode(const std::string& data, DecodedPcm& out) {
    out = DecodedPcm{};
    if (!LibraryReady() || data.empty()) return kErrorFileFormat;
    int err = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleDeleter> mh(mpg123_new(nullptr, &err));
    if (!mh) return kErrorFileFormat;
    mpg123_param(mh.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);

    // Signed 16-bit output at whatever rate and channel count the file has.
    mpg123_format_none(mh.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);

    if (mpg123_open_feed(mh.get()) != MPG123_OK) return kErrorFileFormat;
    if (mpg123_feed(mh.get(), reinterpret_cast<const unsigned char*>(data.data()), data.size()) != MPG123_OK)
        return kErrorFileFormat;

    DecodedPcm pcm;
    std::vector<unsigned char> buffer(64 * 1024);
    bool haveFormat = false;
    for (;;) {
        size_t done = 0;
        const int rc = mpg123_read(mh.get(), buffer.data(), buffer.size(), &done);
        if (rc == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            if (mpg123_getformat(mh.get(), &rate, &channels, &encoding) != MPG123_OK) return kErrorFileFormat;
            if (encoding != MPG123_ENC_SIGNED_16 || rate <= 0 || channels < 1 || channels > 2)
                return kErrorFileFormat;
            if (haveFormat && (pcm.frequency != uint32_t(rate) || pcm.channels != uint32_t(channels)))
                return kErrorFileFormat;
            pcm.frequency = uint32_t(rate);
            pcm.channels = uint32_t(channels);
            haveFormat = true;
        } else if (rc != MPG123_OK && rc != MPG123_DONE && rc != MPG123_NEED_MORE) {
            return kErrorFileFormat;
        }
        if (done > 0) {
            if (!haveFormat) return kErrorFileFormat;
            if ((pcm.samples.size() * 2 + done) > kMaxDecodedBytes) return kErrorFileFormat;
            const size_t count = done / 2;
            const size_t old = pcm.samples.size();
            pcm.samples.resize(old + count);
            std::memcpy(pcm.samples.data() + old, buffer.data(), count * 2);
        }
        // In feed mode the end of the data shows as a request for more.
        if (rc == MPG123_DONE || rc == MPG123_NEED_MORE) break;
    }
    if (!haveFormat || pcm.Frames() == 0) return kErrorFileFormat;
    pcm.samples.resize(pcm.Frames() * pcm.channels);
    out = std::move(pcm);
    return kOk;
}

}  // namespace audio
