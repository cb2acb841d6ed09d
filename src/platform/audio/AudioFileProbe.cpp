#include "platform/audio/AudioFileProbe.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/audio/Audio.h"
#include "platform/audio/AudioFile.h"

namespace audio {
namespace {

uint32_t Le16(const std::string& d, uint64_t at) {
    return uint32_t(uint8_t(d[at])) | uint32_t(uint8_t(d[at + 1])) << 8;
}
uint32_t Le32(const std::string& d, uint64_t at) { return Le16(d, at) | Le16(d, at + 2) << 16; }
uint64_t Le64(const std::string& d, uint64_t at) { return uint64_t(Le32(d, at)) | uint64_t(Le32(d, at + 4)) << 32; }
uint32_t Be24(const std::string& d, uint64_t at) {
    return uint32_t(uint8_t(d[at])) << 16 | uint32_t(uint8_t(d[at + 1])) << 8 | uint8_t(d[at + 2]);
}
bool StartsWith(const std::string& d, uint64_t at, const char* magic, uint64_t n) {
    return at + n <= d.size() && d.compare(at, n, magic, n) == 0;
}

// RIFF/WAVE with 8- or 16-bit PCM: the format chunk and the data chunk must
// both lie inside the file. Only the chunk headers and the format are read.
int ProbeWav(AudioFile& file, StreamFormat& out) {
    const uint64_t size = file.Size();
    uint64_t at = 12;
    bool haveFormat = false;
    uint32_t channels = 0, rate = 0, blockAlign = 0;
    std::string head, d;
    while (at + 8 <= size) {
        if (!file.ReadAt(at, 8, head) || head.size() < 8) return kErrorFileFormat;
        const uint64_t chunkSize = Le32(head, 4);
        const uint64_t body = at + 8;
        if (chunkSize > size - body) return kErrorFileFormat;
        if (StartsWith(head, 0, "fmt ", 4)) {
            if (chunkSize < 16) return kErrorFileFormat;
            if (!file.ReadAt(body, 16, d) || d.size() < 16) return kErrorFileFormat;
            const uint32_t tag = Le16(d, 0);
            channels = Le16(d, 2);
            rate = Le32(d, 4);
            blockAlign = Le16(d, 12);
            const uint32_t bits = Le16(d, 14);
            if (tag != 1 || (bits != 8 && bits != 16)) return kErrorFileFormat;
            if (channels < 1 || channels > 8 || rate == 0) return kErrorFileFormat;
            if (blockAlign != channels * (bits / 8)) return kErrorFileFormat;
            haveFormat = true;
        } else if (StartsWith(head, 0, "data", 4)) {
            if (!haveFormat) return kErrorFileFormat;
            out.codec = Codec::Wav;
            out.frequency = rate;
            out.channels = channels;
            out.frames = chunkSize / blockAlign;
            return out.frames > 0 ? kOk : kErrorFileFormat;
        }
        at = body + chunkSize + (chunkSize & 1);
    }
    return kErrorFileFormat;
}

// The checksum of an Ogg page: CRC-32 with polynomial 0x04c11db7, most
// significant bit first, starting from 0, with the page's own checksum field
// counted as zeros.
uint32_t OggCrc(const std::string& page) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < page.size(); ++i) {
        const uint8_t byte = (i >= 22 && i < 26) ? 0 : uint8_t(page[i]);
        crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xff];
    }
    return crc;
}

// Ogg Vorbis: every page must be whole with a correct checksum; the first
// page opens a Vorbis stream with its identification header; the length is
// the granule position of that stream's last page that carries one. The
// file is read one page at a time.
int ProbeOgg(AudioFile& file, StreamFormat& out) {
    const uint64_t size = file.Size();
    uint64_t at = 0;
    bool first = true;
    uint32_t serial = 0;
    uint64_t lastGranule = 0;
    std::string page, rest;
    while (at < size) {
        if (size - at < 27 || !file.ReadAt(at, 27, page) || page.size() < 27) return kErrorFileFormat;
        if (!StartsWith(page, 0, "OggS", 4) || page[4] != 0) return kErrorFileFormat;
        const uint8_t type = uint8_t(page[5]);
        const uint64_t granule = Le64(page, 6);
        const uint32_t pageSerial = Le32(page, 14);
        const uint32_t storedCrc = Le32(page, 22);
        const uint64_t segments = uint8_t(page[26]);
        if (size - at - 27 < segments) return kErrorFileFormat;
        if (!file.ReadAt(at + 27, size_t(segments), rest) || rest.size() != segments) return kErrorFileFormat;
        page += rest;
        uint64_t bodySize = 0;
        for (uint64_t s = 0; s < segments; ++s) bodySize += uint8_t(page[27 + s]);
        const uint64_t body = at + 27 + segments;
        if (bodySize > size - body) return kErrorFileFormat;
        if (!file.ReadAt(body, size_t(bodySize), rest) || rest.size() != bodySize) return kErrorFileFormat;
        page += rest;
        if (OggCrc(page) != storedCrc) return kErrorFileFormat;
        if (first) {
            // Identification header: 0x01 "vorbis", version 0, channels,
            // rate, three bit rates, block sizes and the framing bit.
            const uint64_t b = 27 + segments;
            if (!(type & 2) || bodySize < 30 || !StartsWith(page, b, "\x01vorbis", 7)) return kErrorFileFormat;
            if (Le32(page, b + 7) != 0) return kErrorFileFormat;
            out.channels = uint8_t(page[b + 11]);
            out.frequency = Le32(page, b + 12);
            if (out.channels == 0 || out.frequency == 0 || !(uint8_t(page[b + 29]) & 1)) return kErrorFileFormat;
            serial = pageSerial;
            first = false;
        } else if (pageSerial == serial && granule != ~uint64_t(0)) {
            lastGranule = granule;
        }
        at = body + bodySize;
    }
    if (first || lastGranule == 0) return kErrorFileFormat;
    out.codec = Codec::OggVorbis;
    out.frames = lastGranule;
    return kOk;
}

// FLAC: the stream-info block first, every metadata block inside the file,
// then the sync code of the first audio frame.
int ProbeFlac(AudioFile& file, StreamFormat& out) {
    const uint64_t size = file.Size();
    uint64_t at = 4;
    bool last = false;
    bool first = true;
    std::string d;
    while (!last) {
        if (size - at < 4 || !file.ReadAt(at, 4, d) || d.size() < 4) return kErrorFileFormat;
        const uint8_t head = uint8_t(d[0]);
        last = head & 0x80;
        const uint64_t length = Be24(d, 1);
        const uint64_t body = at + 4;
        if (length > size - body) return kErrorFileFormat;
        if (first) {
            if ((head & 0x7f) != 0 || length < 34) return kErrorFileFormat;
            if (!file.ReadAt(body, 18, d) || d.size() < 18) return kErrorFileFormat;
            uint64_t bits = 0;
            for (int i = 10; i < 18; ++i) bits = bits << 8 | uint8_t(d[i]);
            out.frequency = uint32_t(bits >> 44);
            out.channels = uint32_t((bits >> 41) & 7) + 1;
            out.frames = bits & 0xFFFFFFFFFull;
            if (out.frequency == 0) return kErrorFileFormat;
            first = false;
        }
        at = body + length;
    }
    if (size - at < 2 || !file.ReadAt(at, 2, d) || d.size() < 2) return kErrorFileFormat;
    if (uint8_t(d[0]) != 0xFF || (uint8_t(d[1]) & 0xFE) != 0xF8) return kErrorFileFormat;
    out.codec = Codec::Flac;
    return kOk;
}

bool EndsWithMp3(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return tail == ".mp3";
}

}  // namespace

int ProbeAudioFile(AudioFile& file, const std::string& path, StreamFormat& out) {
    out = StreamFormat{};
    std::string head;
    if (!file.ReadAt(0, 12, head)) return kErrorFileFormat;
    if (StartsWith(head, 0, "RIFF", 4) && StartsWith(head, 8, "WAVE", 4)) return ProbeWav(file, out);
    if (StartsWith(head, 0, "OggS", 4)) return ProbeOgg(file, out);
    if (StartsWith(head, 0, "fLaC", 4)) return ProbeFlac(file, out);
    const bool frameSync = head.size() >= 2 && uint8_t(head[0]) == 0xFF && (uint8_t(head[1]) & 0xE0) == 0xE0;
    if (StartsWith(head, 0, "ID3", 3) || frameSync || EndsWithMp3(path)) {
        out.codec = Codec::Mp3;  // measured by Mp3Decoder
        return kOk;
    }
    return kErrorFileFormat;
}

int ProbeAudioData(const std::string& data, const std::string& path, StreamFormat& out) {
    return ProbeAudioFile(*AudioFile::FromBytes(data), path, out);
}

}  // namespace audio
