#pragma once
// Inflation of one zlib-format stream (a two-byte header, deflate data, a
// big-endian Adler-32 of the inflated bytes) a piece at a time. zlib
// inflates the deflate data raw; the header and the checksum are checked
// here, the checksum with a vectorised Adler-32 that runs several times
// faster than zlib's own (which took about a third of zlib's time to
// inflate the game's archives). What is accepted and refused is what zlib's
// own inflate accepts and refuses.
#include <zlib.h>

#include <cstddef>
#include <cstdint>

class ZLibStream {
public:
    ZLibStream();
    ~ZLibStream();
    ZLibStream(const ZLibStream&) = delete;
    ZLibStream& operator=(const ZLibStream&) = delete;

    // False when zlib could not start (no memory).
    bool IsReady() const { return m_ready; }

    // The input and output, as for zlib's inflate: set next_in/avail_in and
    // next_out/avail_out before each call to Inflate.
    z_stream& Stream() { return m_stream; }

    // One step, as inflate with Z_NO_FLUSH: Z_OK (progress made),
    // Z_STREAM_END (the stream ended and its checksum matches; later calls
    // return it again), Z_BUF_ERROR (no progress possible: more input or
    // more room is needed), Z_DATA_ERROR (a bad header, a preset
    // dictionary, damaged data or a checksum that does not match),
    // Z_MEM_ERROR.
    int Inflate();

    // The Adler-32 checksum of `size` bytes continued from `adler` (1 to
    // start), the same value as zlib's adler32.
    static uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size);

private:
    enum class Phase { Header, Body, Trailer, Done, Failed };

    // Takes up to `wanted` bytes of input into m_pending; true once it
    // holds them all.
    bool TakeInput(unsigned wanted, bool& progress);

    z_stream m_stream{};
    bool m_ready = false;
    Phase m_phase = Phase::Header;
    int m_failure = Z_DATA_ERROR;
    uint32_t m_adler = 1;
    uint8_t m_pending[4] = {0, 0, 0, 0};
    unsigned m_pendingCount = 0;
};
