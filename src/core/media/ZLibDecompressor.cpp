#include "core/media/ZLibDecompressor.h"

#include <zlib.h>

#include <memory>

#include "core/media/ZLibStream.h"

int ZLibDecompressor::InflateFile(FILE* source, FILE* destination, uint64_t limit) {
    if (!source || !destination) return Z_ERRNO;

    ZLibStream inflater;
    if (!inflater.IsReady()) return Z_MEM_ERROR;
    z_stream& stream = inflater.Stream();

    // Every byte of both buffers is written before it is read, so neither
    // is cleared first.
    std::unique_ptr<unsigned char[]> input(new unsigned char[kChunkSize]);
    std::unique_ptr<unsigned char[]> output(new unsigned char[kChunkSize]);
    uint64_t written = 0;
    int result = Z_OK;

    do {
        stream.avail_in = static_cast<uInt>(fread(input.get(), 1, kChunkSize, source));
        if (ferror(source)) return Z_ERRNO;
        if (stream.avail_in == 0) break;
        stream.next_in = input.get();

        do {
            stream.avail_out = kChunkSize;
            stream.next_out = output.get();
            result = inflater.Inflate();
            if (result == Z_DATA_ERROR || result == Z_MEM_ERROR) return result;
            size_t produced = kChunkSize - stream.avail_out;
            if (produced > limit - written) return kTooLarge;
            written += produced;
            if (produced > 0 && (fwrite(output.get(), 1, produced, destination) != produced || ferror(destination)))
                return Z_ERRNO;
        } while (stream.avail_out == 0 && result != Z_STREAM_END);
    } while (result != Z_STREAM_END);

    return result == Z_STREAM_END ? Z_OK : Z_DATA_ERROR;
}
