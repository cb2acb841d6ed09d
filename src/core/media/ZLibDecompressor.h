#pragma once
// File-to-file inflation of zlib streams (image archives, level files).
#include <cstdint>
#include <cstdio>

class ZLibDecompressor {
public:
    // Inflates the zlib stream read from `source` into `destination`, both
    // open files, from their current positions. Returns 0 when the stream
    // reached its end, Z_DATA_ERROR (-3) for damaged data or input that ends
    // before the stream does (an empty source included), Z_MEM_ERROR (-4),
    // or Z_ERRNO (-1) for a read or write error. Whatever was inflated
    // before a failure stays written to the destination.
    // With a limit, inflating stops with kTooLarge once the output would pass
    // `limit` bytes; what fits stays written.
    static int InflateFile(FILE* source, FILE* destination, uint64_t limit = UINT64_MAX);
    static constexpr int kTooLarge = -100;

    // Size of the input and output buffers.
    static constexpr unsigned kChunkSize = 524288;
};
