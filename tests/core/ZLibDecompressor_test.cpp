#include "core/ZLibDecompressor.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ArchiveWriter.h"

namespace {

// A temporary file holding the bytes, rewound for reading.
FILE* FileOf(const std::vector<uint8_t>& bytes) {
    FILE* file = std::tmpfile();
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

std::vector<uint8_t> ContentsOf(FILE* file) {
    std::vector<uint8_t> out;
    std::rewind(file);
    int c;
    while ((c = std::fgetc(file)) != EOF) out.push_back(static_cast<uint8_t>(c));
    return out;
}

// Bytes that do not compress to nothing, larger than two buffers so that the
// inflate loop runs through several rounds of input and output.
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
    std::vector<uint8_t> original = SampleBytes(ZLibDecompressor::kChunkSize * 2 + 777);
    std::vector<uint8_t> stream = sif::Compress(original);
    FILE* source = FileOf(stream);
    FILE* destination = std::tmpfile();
    EXPECT_EQ(ZLibDecompressor::InflateFile(source, destination), 0);
    EXPECT_EQ(ContentsOf(destination), original);
    std::fclose(source);
    std::fclose(destination);

    // Incompressible input: the compressed stream itself spans several input reads.
    std::vector<uint8_t> noise(ZLibDecompressor::kChunkSize + 1000);
    uint32_t seed = 99;
    for (auto& b : noise) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    std::vector<uint8_t> noiseStream = sif::Compress(noise, Z_NO_COMPRESSION);
    ASSERT_GT(noiseStream.size(), ZLibDecompressor::kChunkSize);
    source = FileOf(noiseStream);
    destination = std::tmpfile();
    EXPECT_EQ(ZLibDecompressor::InflateFile(source, destination), 0);
    EXPECT_EQ(ContentsOf(destination), noise);
    std::fclose(source);
    std::fclose(destination);
}

TEST(ZLibDecompressorTest, TruncatedEmptyAndDamagedStreamsAreDataErrors) {
    std::vector<uint8_t> original = SampleBytes(200000);
    std::vector<uint8_t> stream = sif::Compress(original);

    // Cut short: -3, and what was inflated so far stays in the destination.
    std::vector<uint8_t> cut(stream.begin(), stream.begin() + static_cast<ptrdiff_t>(stream.size() / 2));
    FILE* source = FileOf(cut);
    FILE* destination = std::tmpfile();
    EXPECT_EQ(ZLibDecompressor::InflateFile(source, destination), Z_DATA_ERROR);
    std::vector<uint8_t> partial = ContentsOf(destination);
    EXPECT_GT(partial.size(), 0u);
    EXPECT_LT(partial.size(), original.size());
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), original.begin()));
    std::fclose(source);
    std::fclose(destination);

    // Empty source.
    source = FileOf({});
    destination = std::tmpfile();
    EXPECT_EQ(ZLibDecompressor::InflateFile(source, destination), Z_DATA_ERROR);
    EXPECT_TRUE(ContentsOf(destination).empty());
    std::fclose(source);
    std::fclose(destination);

    // A flipped byte inside the data (the checksum or the codes no longer fit).
    std::vector<uint8_t> damaged = stream;
    damaged[damaged.size() - 2] ^= 0xFF;
    source = FileOf(damaged);
    destination = std::tmpfile();
    EXPECT_EQ(ZLibDecompressor::InflateFile(source, destination), Z_DATA_ERROR);
    std::fclose(source);
    std::fclose(destination);

    EXPECT_EQ(ZLibDecompressor::InflateFile(nullptr, nullptr), Z_ERRNO);
}

}  // namespace
