#include "core/media/ZLibStream.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint32_t kAdlerBase = 65521;
// The most bytes the scalar sums take before s2 could pass 32 bits.
constexpr size_t kScalarRun = 5552;

#if defined(__SSE2__)
uint64_t SumLanes(__m128i v) {
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), v);
    return uint64_t{lanes[0]} + lanes[1] + lanes[2] + lanes[3];
}
#endif

}  // namespace

uint32_t ZLibStream::Adler32(uint32_t adler, const uint8_t* data, size_t size) {
    uint64_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    if (!data) return adler;
#if defined(__SSE2__)
    // Blocks of 16 bytes. Over a run of blocks, s2 grows by the run's length
    // times s1 at its start, 16 times the byte sums of every block before
    // each block, and each block's bytes weighted 16 down to 1. At most 344
    // blocks per run keep every 32-bit lane from overflowing.
    constexpr size_t kBlock = 16, kBlocksPerRun = 344;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsLow = _mm_set_epi16(9, 10, 11, 12, 13, 14, 15, 16);
    const __m128i weightsHigh = _mm_set_epi16(1, 2, 3, 4, 5, 6, 7, 8);
    while (size >= kBlock) {
        const size_t blocks = std::min(size / kBlock, kBlocksPerRun);
        size -= blocks * kBlock;
        __m128i sums = zero, earlier = zero, weighted = zero;
        for (size_t b = 0; b < blocks; ++b) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
            data += kBlock;
            earlier = _mm_add_epi32(earlier, sums);
            sums = _mm_add_epi32(sums, _mm_sad_epu8(bytes, zero));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(bytes, zero), weightsLow));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(bytes, zero), weightsHigh));
        }
        s2 += uint64_t{blocks * kBlock} * s1 + kBlock * SumLanes(earlier) + SumLanes(weighted);
        s1 += SumLanes(sums);
        s1 %= kAdlerBase;
        s2 %= kAdlerBase;
    }
#endif
    while (size > 0) {
        size_t run = std::min(size, kScalarRun);
        size -= run;
        while (run-- > 0) {
            s1 += *data++;
            s2 += s1;
        }
        s1 %= kAdlerBase;
        s2 %= kAdlerBase;
    }
    return static_cast<uint32_t>((s2 << 16) | s1);
}

ZLibStream::ZLibStream() {
    // Raw deflate data with the largest window: a header may ask for any
    // window up to 32 KiB, and a larger window reads every smaller one.
    m_ready = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK;
    if (!m_ready) {
        m_phase = Phase::Failed;
        m_failure = Z_MEM_ERROR;
    }
}

ZLibStream::~ZLibStream() {
    if (m_ready) inflateEnd(&m_stream);
}

bool ZLibStream::TakeInput(unsigned wanted, bool& progress) {
    while (m_pendingCount < wanted && m_stream.avail_in > 0) {
        m_pending[m_pendingCount++] = *m_stream.next_in++;
        --m_stream.avail_in;
        ++m_stream.total_in;
        progress = true;
    }
    return m_pendingCount == wanted;
}

int ZLibStream::Inflate() {
    bool progress = false;
    if (m_phase == Phase::Header) {
        if (!TakeInput(2, progress)) return progress ? Z_OK : Z_BUF_ERROR;
        const unsigned method = m_pending[0] & 0x0F, window = m_pending[0] >> 4;
        const bool checks = ((m_pending[0] << 8) | m_pending[1]) % 31 == 0;
        const bool dictionary = (m_pending[1] & 0x20) != 0;
        m_pendingCount = 0;
        // A preset dictionary is never given here, so a stream that needs
        // one cannot be read.
        if (method != Z_DEFLATED || window > 7 || !checks || dictionary) {
            m_phase = Phase::Failed;
            return m_failure = Z_DATA_ERROR;
        }
        m_phase = Phase::Body;
    }
    if (m_phase == Phase::Body) {
        uint8_t* outStart = m_stream.next_out;
        const uInt inBefore = m_stream.avail_in, outBefore = m_stream.avail_out;
        int result = inflate(&m_stream, Z_NO_FLUSH);
        const size_t produced = outBefore - m_stream.avail_out;
        if (produced > 0) m_adler = Adler32(m_adler, outStart, produced);
        progress = progress || produced > 0 || m_stream.avail_in != inBefore;
        if (result == Z_STREAM_END) {
            m_phase = Phase::Trailer;
        } else if (result == Z_OK || result == Z_BUF_ERROR) {
            return progress ? Z_OK : Z_BUF_ERROR;
        } else {
            m_phase = Phase::Failed;
            return m_failure = (result == Z_MEM_ERROR ? Z_MEM_ERROR : Z_DATA_ERROR);
        }
    }
    if (m_phase == Phase::Trailer) {
        if (!TakeInput(4, progress)) return progress ? Z_OK : Z_BUF_ERROR;
        const uint32_t stored = (uint32_t{m_pending[0]} << 24) | (uint32_t{m_pending[1]} << 16) |
                                (uint32_t{m_pending[2]} << 8) | m_pending[3];
        if (stored != m_adler) {
            m_phase = Phase::Failed;
            return m_failure = Z_DATA_ERROR;
        }
        m_phase = Phase::Done;
    }
    if (m_phase == Phase::Done) return Z_STREAM_END;
    return m_failure;
}
