#include "core/media/ZLibStream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<uint8_t>(seed >> 16);
    }
    return bytes;
}

// Deflates into the zlib format with the given window, optionally with a
// preset dictionary.
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int windowBits = 15, const char* dictionary = nullptr) {
    z_stream s{};
    deflateInit2(&s, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    if (dictionary)
        deflateSetDictionary(&s, reinterpret_cast<const Bytef*>(dictionary),
                             static_cast<uInt>(std::string(dictionary).size()));
    std::vector<uint8_t> out(deflateBound(&s, data.size()) + 16);
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// Inflates with zlib's own inflate, the verdict to agree with: true when
// the stream ends with a matching checksum.
bool ZlibAccepts(const std::vector<uint8_t>& stream, std::vector<uint8_t>& out) {
    z_stream s{};
    inflateInit(&s);
    out.assign(1 << 20, 0);
    s.next_in = const_cast<Bytef*>(stream.data());
    s.avail_in = static_cast<uInt>(stream.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    int result = inflate(&s, Z_FINISH);
    out.resize(s.total_out);
    inflateEnd(&s);
    return result == Z_STREAM_END;
}

// Inflates through ZLibStream, `inStep` input bytes and `outStep` bytes of
// room at a time. The last result: Z_STREAM_END, or the error or
// Z_BUF_ERROR where it stopped.
int InflatePieces(const std::vector<uint8_t>& stream, size_t inStep, size_t outStep, std::vector<uint8_t>& out) {
    ZLibStream inflater;
    z_stream& s = inflater.Stream();
    out.clear();
    std::vector<uint8_t> room(outStep);
    size_t at = 0;
    for (;;) {
        const size_t give = std::min(inStep, stream.size() - at);
        s.next_in = const_cast<Bytef*>(stream.data() + at);
        s.avail_in = static_cast<uInt>(give);
        s.next_out = room.data();
        s.avail_out = static_cast<uInt>(room.size());
        int result = inflater.Inflate();
        at += give - s.avail_in;
        out.insert(out.end(), room.data(), room.data() + (room.size() - s.avail_out));
        if (result != Z_OK) return result;
    }
}

TEST(ZLibStreamTest, Adler32MatchesZlibAcrossRunsAndBlockEdges) {
    const std::vector<uint8_t> noise = Noise(1 << 20, 7);
    const std::vector<uint8_t> full(1 << 20, 0xFF);  // the largest sums
    struct Case {
        const std::vector<uint8_t>* bytes;
        size_t offset, size;
        uint32_t start;
    };
    const std::vector<Case> cases = {
        {&noise, 0, 0, 1},
        {&noise, 0, 1, 1},
        {&noise, 3, 15, 1},
        {&noise, 1, 16, 1},
        {&noise, 5, 17, 0x12345678},
        {&noise, 0, 16 * 344 - 1, 1},
        {&noise, 0, 16 * 344, 1},
        {&noise, 0, 16 * 344 + 1, 1},
        {&noise, 9, 5552, 0xFFF0FFF0},
        {&noise, 0, 5553, 1},
        {&noise, 0, noise.size(), 1},
        {&full, 0, full.size(), 1},
        {&full, 1, 16 * 344 * 3 + 7, 0xFFF0FFF0},
    };
    for (const Case& c : cases) {
        const uint8_t* data = c.bytes->data() + c.offset;
        const uint32_t expected = static_cast<uint32_t>(adler32(c.start, data, static_cast<uInt>(c.size)));
        EXPECT_EQ(ZLibStream::Adler32(c.start, data, c.size), expected) << c.size << " from " << c.offset;
    }
}

TEST(ZLibStreamTest, InflatesInAnyPiecesAsZlibDoes) {
    std::vector<uint8_t> text;
    for (int i = 0; i < 3000; ++i) text.push_back(static_cast<uint8_t>("lorem ipsum "[i % 12]));
    const std::vector<uint8_t> noise = Noise(70000, 3);
    const struct {
        const char* what;
        std::vector<uint8_t> stream;
        std::vector<uint8_t> original;
    } cases[] = {
        {"repeating text", Deflate(text), text},
        {"noise", Deflate(noise), noise},
        {"small window", Deflate(text, 9), text},
        {"nothing", Deflate({}), {}},
    };
    for (const auto& c : cases) {
        for (size_t inStep : {size_t{1}, size_t{7}, c.stream.size() + 1}) {
            for (size_t outStep : {size_t{1}, size_t{4096}, size_t{1} << 20}) {
                if (inStep == 1 && outStep == 1 && c.original.size() > 5000) continue;  // slow, and covered
                SCOPED_TRACE(std::string(c.what) + " in " + std::to_string(inStep) + " out " + std::to_string(outStep));
                std::vector<uint8_t> out;
                EXPECT_EQ(InflatePieces(c.stream, inStep, outStep, out), Z_STREAM_END);
                EXPECT_EQ(out, c.original);
            }
        }
    }
}

TEST(ZLibStreamTest, RefusesWhatZlibRefuses) {
    const std::vector<uint8_t> original = Noise(5000, 11);
    const std::vector<uint8_t> good = Deflate(original);
    auto with = [&good](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> stream;
        int result;
    } cases[] = {
        {"another method", with(0, static_cast<uint8_t>((good[0] & 0xF0) | 7)), Z_DATA_ERROR},
        {"header check", with(1, static_cast<uint8_t>(good[1] ^ 1)), Z_DATA_ERROR},
        {"window above 32 KiB", with(0, static_cast<uint8_t>(0x80 | 8)), Z_DATA_ERROR},
        {"preset dictionary", Deflate(original, 15, "dictionary"), Z_DATA_ERROR},
        {"checksum", with(good.size() - 1, static_cast<uint8_t>(good.back() ^ 0x40)), Z_DATA_ERROR},
        {"damaged data", with(good.size() / 2, static_cast<uint8_t>(good[good.size() / 2] ^ 0xFF)), Z_DATA_ERROR},
        {"trailer cut short", std::vector<uint8_t>(good.begin(), good.end() - 1), Z_BUF_ERROR},
        {"only a header", std::vector<uint8_t>(good.begin(), good.begin() + 2), Z_BUF_ERROR},
        {"empty", {}, Z_BUF_ERROR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> ours, theirs;
        EXPECT_FALSE(ZlibAccepts(c.stream, theirs));
        EXPECT_EQ(InflatePieces(c.stream, c.stream.size() + 1, 1 << 20, ours), c.result);
        // An error stays: the next call gives it again.
        ZLibStream inflater;
        inflater.Stream().next_in = const_cast<Bytef*>(c.stream.data());
        inflater.Stream().avail_in = static_cast<uInt>(c.stream.size());
        std::vector<uint8_t> room(1 << 20);
        inflater.Stream().next_out = room.data();
        inflater.Stream().avail_out = static_cast<uInt>(room.size());
        int first = inflater.Inflate();
        if (first == Z_DATA_ERROR) {
            EXPECT_EQ(inflater.Inflate(), Z_DATA_ERROR);
        }
    }
    std::vector<uint8_t> out;
    EXPECT_EQ(InflatePieces(good, good.size(), 1 << 20, out), Z_STREAM_END);
    EXPECT_EQ(out, original);
}

}  // namespace
