#include "maps/Chunk.h"

#include <sys/types.h>

#include <cstdio>
#include <cstring>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "maps/ChunkStreamer.h"
#include "maps/DeferredJobQueue.h"
#include "maps/MapManager.h"

namespace {

// Reads size bytes at the offset; false when the file ends first.
bool ReadAt(FILE* file, uint64_t offset, void* buffer, size_t size) {
    if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
    if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    return std::fread(buffer, 1, size, file) == size;
}

// R, G, B, A as they lie in memory in a 32-bit value.
uint32_t PackBytes(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    const uint8_t bytes[4] = {r, g, b, a};
    uint32_t value;
    std::memcpy(&value, bytes, 4);
    return value;
}

// Writes every cell of a 256 x 256 bitmap, locked write-only in R, G, B, A
// byte order, from a function of the cell giving packed bytes.
template <typename CellColour> void FillBitmap(BitmapWrapper* bitmap, CellColour colourOf) {
    if (!bitmap || !bitmap->GetBitmap()) return;
    ALLEGRO_LOCKED_REGION* region = bitmap->Lock(ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    if (!region) {
        // Not written: at least it shows nothing rather than what the new
        // bitmap happened to hold.
        ALLEGRO_BITMAP* previousTarget = al_get_target_bitmap();
        bitmap->ClearToTransparent();
        al_set_target_bitmap(previousTarget);
        return;
    }
    // The cells lie column by column and the bitmap row by row: walking
    // square blocks keeps both the cells read and the rows written in the
    // cache.
    constexpr int kBlock = 16;
    static_assert(Chunk::kSize % kBlock == 0);
    uint8_t* pixels = static_cast<uint8_t*>(region->data);
    for (int blockX = 0; blockX < Chunk::kSize; blockX += kBlock) {
        for (int blockY = 0; blockY < Chunk::kSize; blockY += kBlock) {
            for (int x = blockX; x < blockX + kBlock; ++x) {
                uint8_t* column = pixels + static_cast<size_t>(x) * 4;
                for (int y = blockY; y < blockY + kBlock; ++y) {
                    const uint32_t value = colourOf(x, y);
                    std::memcpy(column + static_cast<ptrdiff_t>(y) * region->pitch, &value, 4);
                }
            }
        }
    }
    bitmap->Unlock();
}

}  // namespace

Chunk::Chunk() : m_colour(kCells, 0), m_clip(kCells, 0), m_layer(kCells, 0) {
    uint8_t* openGL = &GetGlobalState()->openGLMode;
    // A new bitmap's content is undefined; nothing shows it before it is
    // built (a chunk is drawn only once ready), and building writes every
    // pixel, so it is not cleared first. Both are rebuilt from the cells
    // whenever the chunk is read, so Allegro need not keep a copy of their
    // pixels against a lost texture (which costs a cleared buffer each).
    const int flags = al_get_new_bitmap_flags();
    al_set_new_bitmap_flags(flags | ALLEGRO_NO_PRESERVE_TEXTURE);
    m_foreground = std::make_unique<BitmapWrapper>(kSize, kSize, openGL);
    m_background = std::make_unique<BitmapWrapper>(kSize, kSize, openGL);
    al_set_new_bitmap_flags(flags);
}

Chunk::~Chunk() {
    if (DeferredJobQueue* jobs = GetGlobalState()->deferredJobs)
        jobs->CancelJobs(&ChunkStreamer::LoadChunkPartJob, reinterpret_cast<uintptr_t>(this));
}

bool Chunk::IsClipped(int32_t tx, int32_t ty) const {
    if (tx < 0 || ty < 0 || tx >= kSize || ty >= kSize) {
        std::fputs("Clip was out of the Chunk's range\n", stderr);
        return false;
    }
    return m_clip[Index(tx, ty)] != 0;
}

void Chunk::DecodeColour(const uint8_t* bytes, int firstColumn, int columns) {
    for (int x = firstColumn; x < firstColumn + columns; ++x) {
        for (int y = 0; y < kSize; ++y, bytes += 4)
            m_colour[Index(x, y)] = PackBytes(bytes[3], bytes[2], bytes[1], bytes[0]);
    }
}

void Chunk::DecodeClip(const uint8_t* bytes) {
    for (int i = 0; i < kCells; ++i) m_clip[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

void Chunk::DecodeLayer(const uint8_t* bytes, int firstColumn, int columns) {
    for (int i = 0; i < columns * kSize; ++i) m_layer[firstColumn * kSize + i] = bytes[i];
}

bool Chunk::LoadWhole(FILE* file, uint64_t offset) {
    if (!file) return false;
    // The whole record is read before any layer changes, into one buffer
    // kept for every load (a fresh one would be cleared and faulted in for
    // each chunk).
    static std::vector<uint8_t> record;
    record.resize(kRecordBytes);
    if (!ReadAt(file, offset, record.data(), record.size())) {
        std::fputs("LoadChunk:  Failed, the level data ends inside the chunk\n", stderr);
        return false;
    }
    DecodeColour(record.data(), 0, kSize);
    DecodeClip(record.data() + kColourBytes);
    DecodeLayer(record.data() + kColourBytes + kClipBytes, 0, kSize);
    BuildBackground();
    BuildForeground();
    return true;
}

bool Chunk::LoadClip(FILE* file, uint64_t offset) {
    if (!file) return false;
    static std::vector<uint8_t> clip;
    clip.resize(kClipBytes);
    if (!ReadAt(file, offset + kColourBytes, clip.data(), clip.size())) {
        std::fputs("LoadChunk:  Failed, the level data ends inside the chunk\n", stderr);
        return false;
    }
    DecodeClip(clip.data());
    return true;
}

ALLEGRO_COLOR Chunk::GetColour(int tx, int ty) const {
    uint8_t bytes[4];
    std::memcpy(bytes, &m_colour[Index(tx, ty)], 4);
    return al_map_rgba(bytes[0], bytes[1], bytes[2], bytes[3]);
}

void Chunk::BuildBackground() {
    const uint32_t clear = 0;
    FillBitmap(m_background.get(), [&](int x, int y) {
        int i = Index(x, y);
        return m_layer[i] < kForegroundLayer ? m_colour[i] : clear;
    });
}

void Chunk::BuildForeground() {
    const uint32_t clear = 0;
    const uint32_t blocked = PackBytes(0, 0, 255, 255);
    FillBitmap(m_foreground.get(), [&](int x, int y) {
        int i = Index(x, y);
        if (m_clip[i] != 0) return blocked;
        return m_layer[i] >= kForegroundLayer ? m_colour[i] : clear;
    });
    // A blocked tile is opaque blue in the foreground; any other tile shows
    // its colour in one of the two bitmaps.
    bool opaque = true;
    for (int i = 0; i < kCells && opaque; ++i) {
        uint8_t bytes[4];
        std::memcpy(bytes, &m_colour[i], 4);
        opaque = m_clip[i] != 0 || bytes[3] == 255;
    }
    m_opaque = opaque ? 1 : 0;
    m_ready = 1;
}

void Chunk::QueueLoad(uint32_t offset) {
    m_fileOffset = offset;
    m_stage = 0;
    DeferredJobQueue* jobs = GetGlobalState()->deferredJobs;
    if (!jobs) return;
    for (int32_t i = 0; i < m_stageCount; ++i)
        jobs->Push(0.001f, &ChunkStreamer::LoadChunkPartJob, reinterpret_cast<uintptr_t>(this), 0, 0);
}

void Chunk::LoadStage() {
    MapManager* maps = GetGlobalState()->mapManager;
    ChunkStreamer* streamer = maps ? maps->GetChunkStreamer() : nullptr;
    FILE* file = streamer ? streamer->GetWorkingFile() : nullptr;
    if (!file) return;
    LoadStageFrom(file);
}

void Chunk::LoadStageFrom(FILE* file) {
    if (!file || m_stage < 0 || m_stage >= m_stageCount) return;
    const int stage = m_stage;
    std::vector<uint8_t> bytes;
    int quarter = 0;
    if (stage <= 3) {
        bytes.resize(kColourBytes / 4);
        quarter = stage;
    } else if (stage == 4) {
        bytes.resize(kClipBytes);
    } else if (stage <= 8) {
        bytes.resize(kLayerBytes / 4);
        quarter = stage - 5;
    }
    if (!bytes.empty()) {
        if (!ReadAt(file, m_fileOffset, bytes.data(), bytes.size())) {
            std::fputs("LoadChunk:  Failed, the level data ends inside the chunk\n", stderr);
            m_stage = m_stageCount;  // the remaining stages have nothing to build from
            return;
        }
        m_fileOffset += static_cast<uint32_t>(bytes.size());
        const int columns = kSize / 4;
        if (stage <= 3)
            DecodeColour(bytes.data(), quarter * columns, columns);
        else if (stage == 4)
            DecodeClip(bytes.data());
        else
            DecodeLayer(bytes.data(), quarter * columns, columns);
    } else if (stage == 9) {
        BuildBackground();
    } else {
        BuildForeground();
    }
    ++m_stage;
}

void Chunk::ProcessBitmaps() { std::fputs("Do not call ProcessBitmaps from this program...\n", stderr); }

void Chunk::WriteChunk() { std::fputs("Do not call WriteChunk from this program...\n", stderr); }
