#include "maps/ChunkStreamer.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/base/FileNames.h"
#include "core/base/GlobalState.h"
#include "core/base/TextUtils.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ZLibDecompressor.h"
#include "maps/Chunk.h"
#include "world/Camera.h"

namespace {

// The working files' names: "ActiveChunks.<tag>.pcf", built here alone.
constexpr const char* kWorkingFilePrefix = "ActiveChunks.";
constexpr const char* kWorkingFileSuffix = ".pcf";

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool ChunkStreamer::IsWorkingFileName(const std::string& fileName) {
    return ClaimedFile::IsClaimedName(fileName, kWorkingFilePrefix, kWorkingFileSuffix);
}

int ChunkStreamer::RemoveLeftoverWorkingFiles() {
    return ClaimedFile::RemoveUnclaimed("", kWorkingFilePrefix, kWorkingFileSuffix);
}

ChunkStreamer::ChunkStreamer() = default;

ChunkStreamer::~ChunkStreamer() { Close(); }

int32_t ChunkStreamer::Open(const std::string& levelPath) {
    if (m_open) return -1;
    const std::string shown = PrintableText(levelPath.c_str());
    // The level is only read, so a read-only level file opens as well.
    FILE* level = OpenFile(levelPath, "rb");
    if (!level) {
        std::fprintf(stderr, "Warning:  Couldn't open level %s, file not found\n", shown.c_str());
        return -2;
    }
    // A working file of this level's own, made new (never one that another
    // game reads) and removed again on any failure, so a refused or damaged
    // level leaves nothing behind.
    FILE* inflated =
        m_working.Create("", kWorkingFilePrefix, kWorkingFileSuffix) ? m_working.OpenStream("wb") : nullptr;
    int result = inflated ? ZLibDecompressor::InflateFile(level, inflated, kMaxInflatedSize) : Z_ERRNO;
    int error = inflated ? errno : m_working.Error();
    // What could not be written is told apart from what could not be read.
    bool unwritten = !inflated || std::ferror(inflated);
    const bool unread = std::ferror(level);
    std::fclose(level);
    if (inflated && std::fclose(inflated) != 0 && !unwritten) {
        unwritten = true;
        error = errno;
    }
    if (result != 0 || unwritten) {
        DiscardWorkingFile();
        if (unwritten)
            std::fprintf(stderr, "Warning:  Couldn't open level %s, cannot write the working file (%s)\n",
                         shown.c_str(), std::strerror(error));
        else if (unread)
            std::fprintf(stderr, "Warning:  Couldn't open level %s, cannot read it (%s)\n", shown.c_str(),
                         std::strerror(error));
        else if (result == ZLibDecompressor::kTooLarge)
            std::fprintf(stderr, "Warning:  Couldn't open level %s, the level data inflates past %llu bytes\n",
                         shown.c_str(), static_cast<unsigned long long>(kMaxInflatedSize));
        else
            std::fprintf(stderr, "Warning:  Couldn't open level %s, the level data is damaged\n", shown.c_str());
        return -2;
    }
    m_workingFile = m_working.OpenStream("rb");
    if (!m_workingFile) {
        std::fprintf(stderr, "Warning:  Couldn't open level %s, cannot read the working file (%s)\n", shown.c_str(),
                     std::strerror(m_working.Error()));
        DiscardWorkingFile();
        return -2;
    }
    if (!ReadHeader(shown)) {
        DiscardWorkingFile();
        return -2;
    }
    m_levelPath = levelPath;
    m_dataOffset = kDataOffset;
    m_grid.clear();
    m_grid.resize(static_cast<size_t>(m_countX) * static_cast<size_t>(m_countY));
    m_open = 1;
    return 0;
}

bool ChunkStreamer::ReadHeader(const std::string& shownPath) {
    uint8_t header[kDataOffset];
    int64_t size = -1;
    if (fseeko(m_workingFile, 0, SEEK_END) == 0) size = ftello(m_workingFile);
    std::rewind(m_workingFile);
    if (size < kDataOffset || std::fread(header, 1, sizeof header, m_workingFile) != sizeof header) {
        std::fprintf(stderr, "Warning:  Couldn't open level %s, the level header is incomplete\n", shownPath.c_str());
        return false;
    }
    const uint64_t chunkSize = ReadU32(header + 10), countX = ReadU32(header + 14), countY = ReadU32(header + 18);
    // Every chunk record must lie whole within the file, and records must
    // not overlap; this also bounds the grid by the size of the file.
    bool valid = countX <= INT32_MAX && countY <= INT32_MAX;
    const uint64_t chunks = countX * countY;
    if (valid && chunks > 0) {
        const uint64_t room = static_cast<uint64_t>(size) - kDataOffset;
        valid = chunkSize >= Chunk::kRecordBytes && room >= Chunk::kRecordBytes &&
                chunks - 1 <= (room - Chunk::kRecordBytes) / chunkSize;
    }
    if (!valid) {
        std::fprintf(stderr,
                     "Warning:  Couldn't open level %s, its header gives %llu x %llu chunks of %llu bytes, which "
                     "the level data does not hold\n",
                     shownPath.c_str(), static_cast<unsigned long long>(countX),
                     static_cast<unsigned long long>(countY), static_cast<unsigned long long>(chunkSize));
        return false;
    }
    m_chunkSize = static_cast<uint32_t>(chunkSize);
    m_countX = static_cast<int32_t>(countX);
    m_countY = static_cast<int32_t>(countY);
    return true;
}

void ChunkStreamer::DiscardWorkingFile() {
    if (m_workingFile) std::fclose(m_workingFile);
    m_workingFile = nullptr;
    m_working.Remove();
    m_chunkSize = 0;
    m_countX = m_countY = 0;
}

void ChunkStreamer::Close() {
    FreeAll();
    DiscardWorkingFile();
    m_levelPath.clear();
    m_open = 0;
}

void ChunkStreamer::FreeAll() { m_grid.clear(); }

ChunkStreamer::Slot* ChunkStreamer::SlotAt(int32_t cx, int32_t cy) {
    if (cx < 0 || cy < 0 || cx >= m_countX || cy >= m_countY || m_grid.empty()) return nullptr;
    return &m_grid[static_cast<size_t>(cx) * static_cast<size_t>(m_countY) + static_cast<size_t>(cy)];
}

const ChunkStreamer::Slot* ChunkStreamer::SlotAt(int32_t cx, int32_t cy) const {
    return const_cast<ChunkStreamer*>(this)->SlotAt(cx, cy);
}

Chunk* ChunkStreamer::GetChunkAt(int32_t x, int32_t y) const {
    const Slot* slot = SlotAt(x >> 8, y >> 8);
    return slot ? slot->chunk.get() : nullptr;
}

bool ChunkStreamer::IsBlocked(int32_t x, int32_t y) const {
    Chunk* chunk = GetChunkAt(x, y);
    return chunk && chunk->IsClipped(x & 255, y & 255);
}

void ChunkStreamer::SetCentre(int32_t cx, int32_t cy) {
    // An empty grid has nothing to mark; a header of 0 x N chunks must not
    // cost N steps every tick.
    if (m_grid.empty()) return;
    // 64-bit: the clamps and the window edges never overflow.
    const int64_t x = std::min<int64_t>(std::max<int64_t>(cx, kWindowRadius), int64_t{m_countX} - 1 - kWindowRadius);
    const int64_t y = std::min<int64_t>(std::max<int64_t>(cy, kWindowRadius), int64_t{m_countY} - 1 - kWindowRadius);
    const int64_t left = std::max<int64_t>(x - kWindowRadius, 0),
                  right = std::min<int64_t>(x + kWindowRadius, m_countX - 1);
    const int64_t top = std::max<int64_t>(y - kWindowRadius, 0),
                  bottom = std::min<int64_t>(y + kWindowRadius, m_countY - 1);
    for (int32_t i = 0; i < m_countX; ++i)
        for (int32_t j = 0; j < m_countY; ++j)
            if (Slot* slot = SlotAt(i, j)) slot->active = (i >= left && i <= right && j >= top && j <= bottom) ? 1 : 0;
}

bool ChunkStreamer::IsActive(int32_t cx, int32_t cy) const {
    const Slot* slot = SlotAt(cx, cy);
    return slot && slot->active;
}

uint64_t ChunkStreamer::RecordOffset(int32_t cx, int32_t cy) const {
    return static_cast<uint64_t>(m_dataOffset) +
           uint64_t{m_chunkSize} *
               (static_cast<uint64_t>(cx) * static_cast<uint64_t>(m_countY) + static_cast<uint64_t>(cy));
}

void ChunkStreamer::LoadPass(const std::vector<ShownArea>& shown) {
    if (m_grid.empty()) return;
    // How far chunk (x, y) lies from the shown areas, in chunks; 0 when one
    // of them touches it.
    auto distance = [&shown](int64_t x, int64_t y) {
        int64_t nearest = INT64_MAX;
        for (const ShownArea& area : shown) {
            const int64_t left = area.left >> 8, right = area.right >> 8;
            const int64_t top = area.top >> 8, bottom = area.bottom >> 8;
            const int64_t dx = x < left ? left - x : x > right ? x - right : 0;
            const int64_t dy = y < top ? top - y : y > bottom ? y - bottom : 0;
            nearest = std::min(nearest, std::max(dx, dy));
        }
        return nearest;
    };
    // A chunk of the window not in sight is read in two steps: its clip
    // layer at once when it enters the window, so that characters off screen
    // are blocked by its walls from the first pass on, and its pictures
    // later, a stage at a time.
    auto readWhole = [this](Slot* slot, int32_t x, int32_t y) {
        slot->chunk = std::make_unique<Chunk>();
        slot->readWhole = 1;
        LoadChunk(slot->chunk.get(), x, y);
    };
    int32_t nextX = -1, nextY = -1;
    int64_t nextDistance = INT64_MAX;
    bool anyStaging = false;
    for (int32_t x = 0; x < m_countX; ++x) {
        for (int32_t y = 0; y < m_countY; ++y) {
            Slot* slot = SlotAt(x, y);
            if (!slot) continue;
            if (!slot->active) {
                slot->chunk.reset();
                slot->readWhole = 0;
                continue;
            }
            const bool inSight = shown.empty() || distance(x, y) == 0;
            if (!slot->chunk) {
                if (inSight) {
                    // Ready within this pass.
                    readWhole(slot, x, y);
                } else {
                    slot->chunk = std::make_unique<Chunk>();
                    LoadClip(slot->chunk.get(), x, y);
                }
            } else if (inSight && !slot->readWhole && !slot->chunk->IsReady()) {
                // Still waiting or in its stages when it comes into sight:
                // built whole at once (its pending jobs go with the old one).
                readWhole(slot, x, y);
            }
            const Chunk* chunk = slot->chunk.get();
            if (chunk->IsReady() || slot->readWhole) continue;
            if (chunk->GetFileOffset() != 0) {
                // Its stages were queued; a staged load that failed has
                // gone through all of them.
                anyStaging = anyStaging || chunk->GetStage() < Chunk::kStageCount;
            } else if (const int64_t away = distance(x, y); away < nextDistance) {
                nextDistance = away;
                nextX = x;
                nextY = y;
            }
        }
    }
    if (nextX < 0) return;
    // The pictures of the waiting chunk nearest to sight: built a stage at a
    // time by the deferred job queue, where the queue exists and the record
    // lies within the 32-bit offsets the stages read from, one chunk at a
    // time, so that the stages of several never pile into one frame; else
    // read whole, one chunk a pass.
    const uint64_t offset = RecordOffset(nextX, nextY);
    const bool staged = GetGlobalState()->deferredJobs && offset + Chunk::kRecordBytes <= UINT32_MAX;
    Slot* slot = SlotAt(nextX, nextY);
    if (!staged)
        readWhole(slot, nextX, nextY);
    else if (!anyStaging)
        slot->chunk->QueueLoad(static_cast<uint32_t>(offset));
}

bool ChunkStreamer::CoversArea(const ShownArea& area) const {
    if (area.left > area.right || area.top > area.bottom || area.left < 0 || area.top < 0) return false;
    if ((area.right >> 8) >= m_countX || (area.bottom >> 8) >= m_countY) return false;
    for (int64_t x = area.left >> 8; x <= area.right >> 8; ++x) {
        for (int64_t y = area.top >> 8; y <= area.bottom >> 8; ++y) {
            const Slot* slot = SlotAt(static_cast<int32_t>(x), static_cast<int32_t>(y));
            if (!slot || !slot->chunk || !slot->chunk->IsReady() || !slot->chunk->IsOpaque()) return false;
        }
    }
    return true;
}

int32_t ChunkStreamer::CountPending() const {
    int32_t pending = 0;
    for (const Slot& slot : m_grid) pending += (slot.active && (!slot.chunk || !slot.chunk->IsReady())) ? 1 : 0;
    return pending;
}

int32_t ChunkStreamer::LoadChunk(Chunk* chunk, int32_t cx, int32_t cy) {
    if (!chunk) {
        std::fputs("LoadChunk:  Failed, passed invalid Chunk to read into\n", stderr);
        return -1;
    }
    if (!m_open || !m_workingFile) {
        std::fputs("LoadChunk:  Failed, file is not ready yet\n", stderr);
        return -1;
    }
    if (cx < 0 || cy < 0 || cx >= m_countX || cy >= m_countY) {
        std::fputs("LoadChunk:  Failed, position out of range\n", stderr);
        return -1;
    }
    return chunk->LoadWhole(m_workingFile, RecordOffset(cx, cy)) ? 0 : -1;
}

int32_t ChunkStreamer::LoadClip(Chunk* chunk, int32_t cx, int32_t cy) {
    if (!chunk || !m_open || !m_workingFile || cx < 0 || cy < 0 || cx >= m_countX || cy >= m_countY) return -1;
    return chunk->LoadClip(m_workingFile, RecordOffset(cx, cy)) ? 0 : -1;
}

void ChunkStreamer::LoadChunkPart(Chunk* chunk) {
    if (!chunk) {
        std::fputs("Load Chunk Part:  Failed, invalid Chunk Address\n", stderr);
        return;
    }
    chunk->LoadStage();
}

void ChunkStreamer::LoadChunkPartJob(uintptr_t chunk, uintptr_t, uintptr_t) {
    LoadChunkPart(reinterpret_cast<Chunk*>(chunk));
}

void ChunkStreamer::Draw(const Camera* camera, bool foreground) const {
    if (!camera || m_grid.empty()) return;
    for (int32_t x = 0; x < m_countX; ++x) {
        for (int32_t y = 0; y < m_countY; ++y) {
            const Slot* slot = SlotAt(x, y);
            if (!slot || !slot->chunk || !slot->chunk->IsReady()) continue;
            BitmapWrapper* bitmap = foreground ? slot->chunk->GetForeground() : slot->chunk->GetBackground();
            // 64-bit, then held to the int range of the drawing call.
            int64_t dx = int64_t{x} * Chunk::kSize - camera->GetX();
            int64_t dy = int64_t{y} * Chunk::kSize - camera->GetY();
            dx = std::clamp<int64_t>(dx, INT32_MIN, INT32_MAX);
            dy = std::clamp<int64_t>(dy, INT32_MIN, INT32_MAX);
            bitmap->DrawDefault(static_cast<int>(dx), static_cast<int>(dy));
        }
    }
}

void ChunkStreamer::DrawBackground(const Camera* camera) const { Draw(camera, false); }

void ChunkStreamer::DrawForeground(const Camera* camera) const { Draw(camera, true); }
