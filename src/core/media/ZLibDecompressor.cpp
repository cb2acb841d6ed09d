#include "core/media/ZLibDecompressor.h"

#include <zlib.h>

#include <vector>

int ZLibDecompressor::InflateFile(FILE* source, FILE* destination, uint64_t limit) {
    if (!source || !destination) return Z_ERRNO;

    z_stream stream{};
    stream.zalloc = Z_NULL;
    stream.zfree = Z_NULL;
    stream.opaque = Z_NULL;
    stream.avail_in = 0;
    stream.next_in = Z_NULL;
    int result = inflateInit(&stream);
    if (result != Z_OK) return result;

    std::vector<unsigned char> input(kChunkSize);
    std::vector<unsigned char> output(kChunkSize);
    uint64_t written = 0;

    do {
        stream.avail_in = static_cast<uInt>(fread(input.data(), 1, kChunkSize, source));
        if (ferror(source)) {
            inflateEnd(&stream);
            return Z_ERRNO;
        }
        if (stream.avail_in == 0) break;
        stream.next_in = input.data();

        do {
            stream.avail_out = kChunkSize;
            stream.next_out = output.data();
            result = inflate(&stream, Z_NO_FLUSH);
            if (result == Z_STREAM_ERROR) {
                inflateEnd(&stream);
                return Z_STREAM_ERROR;
            }
            if (result == Z_NEED_DICT) result = Z_DATA_ERROR;
            if (result == Z_DATA_ERROR || result == Z_MEM_ERROR) {
                inflateEnd(&stream);
                return result;
            }
            size_t produced = kChunkSize - stream.avail_out;
            if (produced > limit - written) {
                inflateEnd(&stream);
                return kTooLarge;
            }
            written += produced;
            if (produced > 0 && (fwrite(output.data(), 1, produced, destination) != produced || ferror(destination))) {
                inflateEnd(&stream);
                return Z_ERRNO;
            }
        } while (stream.avail_out == 0);
    } while (result != Z_STREAM_END);

    inflateEnd(&stream);
    return result == Z_STREAM_END ? Z_OK : Z_DATA_ERROR;
}
