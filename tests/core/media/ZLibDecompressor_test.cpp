#include "core/media/ZLibDecompressor.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <vector>

#include "ArchiveWriter.h"

namespace {

// Inflates the bytes from one temporary file into another; `out` receives
// whatever was written.
int Inflate(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& out, uint64_t limit = UINT64_MAX) {
    FILE* source = std::tmpfile();
    FILE* destination = std::tmpfile();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), source);
    std::rewind(source);
    int result = ZLibDecompressor::InflateFile(source, destination, limit);
    out.clear();
    std::rewind(destination);
    for (int c; (c = std::fgetc(destination)) != EOF;) out.push_back(static_cast<uint8_t>(c));
    std::fclose(source);
    std::fclose(destination);
    return result;
}

// Bytes that do not compress to nothing.
std::vector<uint8_t> SampleBytes(size_t size) {
    std::vector<uint8_t> bytes(size);
    uint32_t seed = 12345;
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<uint8_t>((seed >> 16) % 7 + (i / 4096) % 13);
    }
    return bytes;
}

TEST(ZLibDecompressorTest, InflatesWholeStreamsAcrossSeveralBuffers) {
    std::vector<uint8_t> out;
    // More output than two buffers.
    std::vector<uint8_t> original = SampleBytes(ZLibDecompressor::kChunkSize * 2 + 777);
    EXPECT_EQ(Inflate(sif::Compress(original), out), 0);
    EXPECT_EQ(out, original);

    // Stored blocks: the input itself spans several reads.
    std::vector<uint8_t> stored = sif::Compress(original, Z_NO_COMPRESSION);
    ASSERT_GT(stored.size(), ZLibDecompressor::kChunkSize);
    EXPECT_EQ(Inflate(stored, out), 0);
    EXPECT_EQ(out, original);
}

TEST(ZLibDecompressorTest, TruncatedEmptyAndDamagedStreamsAreDataErrors) {
    std::vector<uint8_t> original = SampleBytes(200000);
    std::vector<uint8_t> stream = sif::Compress(original);
    std::vector<uint8_t> out;

    // Cut short: what was inflated so far stays in the destination.
    EXPECT_EQ(Inflate(std::vector<uint8_t>(stream.begin(), stream.begin() + stream.size() / 2), out), Z_DATA_ERROR);
    EXPECT_GT(out.size(), 0u);
    EXPECT_LT(out.size(), original.size());
    EXPECT_TRUE(std::equal(out.begin(), out.end(), original.begin()));

    EXPECT_EQ(Inflate({}, out), Z_DATA_ERROR);
    EXPECT_TRUE(out.empty());

    std::vector<uint8_t> damaged = stream;
    damaged[damaged.size() - 2] ^= 0xFF;
    EXPECT_EQ(Inflate(damaged, out), Z_DATA_ERROR);

    EXPECT_EQ(ZLibDecompressor::InflateFile(nullptr, nullptr), Z_ERRNO);
}

TEST(ZLibDecompressorTest, OutputPastTheLimitIsRefused) {
    // A small stream of zeros asks for far more than it weighs.
    const std::vector<uint8_t> zeros(ZLibDecompressor::kChunkSize * 3, 0);
    const std::vector<uint8_t> stream = sif::Compress(zeros);
    ASSERT_LT(stream.size(), 10000u);
    std::vector<uint8_t> out;
    const struct {
        uint64_t limit;
        int result;
    } cases[] = {
        {zeros.size(), Z_OK},
        {zeros.size() - 1, ZLibDecompressor::kTooLarge},
        {1000, ZLibDecompressor::kTooLarge},
        {0, ZLibDecompressor::kTooLarge},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Inflate(stream, out, c.limit), c.result) << c.limit;
        EXPECT_LE(out.size(), c.limit) << c.limit;
    }
}

}  // namespace
