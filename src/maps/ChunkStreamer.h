#pragma once
// A chunked level: a grid of 256 x 256 tile chunks of which only a 5 x 5
// window around the player is held in memory.
//
// Opening a level inflates the whole level file (one zlib stream) into a
// working file, from which single chunks are read by position. The working
// file starts with a 22-byte header:
//   0   10 bytes  not interpreted
//   10  u32 LE    chunk size: bytes per chunk record
//   14  u32 LE    chunks in X
//   18  u32 LE    chunks in Y
// followed by the chunk records, column by column: chunk (cx, cy) starts at
// 22 + chunk size x (cx x chunks in Y + cy).
//
// World (x, y) lies in chunk (x >> 8, y >> 8), tile (x mod 256, y mod 256).
//
// Each open level has a working file of its own in the current folder,
// "ActiveChunks.<tag>.pcf", claimed while the level is open (ClaimedFile), so
// that games sharing a folder never write or remove each other's.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/base/ClaimedFile.h"

class Camera;
class Chunk;

class ChunkStreamer {
public:
    static constexpr int32_t kDataOffset = 22;
    // A level inflates to at most this many bytes; a small file asking for
    // more is refused rather than filling the disk.
    static constexpr uint64_t kMaxInflatedSize = uint64_t{512} << 20;
    static constexpr int32_t kWindowRadius = 2;  // the window is 5 x 5 chunks

    ChunkStreamer();
    // Closes the level (removing the working file).
    ~ChunkStreamer();
    ChunkStreamer(const ChunkStreamer&) = delete;
    ChunkStreamer& operator=(const ChunkStreamer&) = delete;

    // Opens a level file: 0 on success; -1 when a level is already open
    // (nothing changes); -2, with a "Couldn't open level" line that says
    // why, when the file is missing, its working file cannot be written or
    // its data is damaged, which leaves the streamer closed.
    int32_t Open(const std::string& levelPath);
    // Closes the working file and removes it, frees every chunk and the grid.
    void Close();
    bool IsOpen() const { return m_open != 0; }
    const std::string& GetLevelPath() const { return m_levelPath; }
    FILE* GetWorkingFile() const { return m_workingFile; }
    // The working file's name while a level is open, else empty.
    const std::string& GetWorkingFileName() const { return m_working.GetName(); }
    // Whether a file name (no folder) is that of a level's working file.
    static bool IsWorkingFileName(const std::string& fileName);
    // Removes the working files in the current folder that no open level
    // claims (a game that crashed leaves its own); returns how many went.
    static int RemoveLeftoverWorkingFiles();

    int32_t GetCountX() const { return m_countX; }
    int32_t GetCountY() const { return m_countY; }
    uint32_t GetChunkSize() const { return m_chunkSize; }

    // The loaded chunk holding world (x, y), or null.
    Chunk* GetChunkAt(int32_t x, int32_t y) const;
    // Whether world (x, y) is blocked; free where no chunk is loaded.
    bool IsBlocked(int32_t x, int32_t y) const;

    // Marks the 5 x 5 window of chunks around (cx, cy) active, shifted inward
    // at the edges, and every other slot inactive.
    void SetCentre(int32_t cx, int32_t cy);
    bool IsActive(int32_t cx, int32_t cy) const;
    // A rectangle of world space that must be on screen, for LoadPass.
    struct ShownArea {
        int64_t left, top, right, bottom;  // inclusive
    };
    // Frees the chunks that left the window and reads those that entered it.
    // Without shown areas every active slot holds a built chunk when it
    // returns. With them, the chunks they touch are read whole at once; every
    // other chunk of the window gets its clip layer at once, so collisions
    // hold in the whole window, and its pictures later: of those still
    // waiting, only the one nearest to the areas is started, built a stage
    // at a time by the deferred job queue when there is one and only while
    // no other is (a chunk still waiting or in its stages when it comes into
    // sight is built whole then), else read whole, one a pass.
    void LoadPass(const std::vector<ShownArea>& shown = {});
    // Whether built opaque chunks cover every point of the area, so that
    // nothing drawn under the level there can show.
    bool CoversArea(const ShownArea& area) const;
    // Active slots whose chunk is not built yet.
    int32_t CountPending() const;
    // Reads the whole record of chunk (cx, cy) into the chunk: 0 on success,
    // -1 with a "LoadChunk:" line when the chunk is null, no level is open,
    // the position is outside the grid or the record cannot be read.
    int32_t LoadChunk(Chunk* chunk, int32_t cx, int32_t cy);
    // Reads only the clip layer of chunk (cx, cy) into the chunk: 0 on
    // success, -1 (silently) where LoadChunk would fail.
    int32_t LoadClip(Chunk* chunk, int32_t cx, int32_t cy);
    // Where the record of chunk (cx, cy) starts in the working file.
    uint64_t RecordOffset(int32_t cx, int32_t cy) const;
    // Deletes every loaded chunk and empties the grid.
    void FreeAll();

    // One staged-load step of a chunk (Chunk::LoadStage); a null chunk
    // prints a line.
    static void LoadChunkPart(Chunk* chunk);
    // The same as a deferred job: arg0 holds the chunk's address.
    static void LoadChunkPartJob(uintptr_t chunk, uintptr_t, uintptr_t);

    // Draw every ready chunk's background (under the entities) or foreground
    // (over them) bitmap on the current drawing target, at its world position
    // less the camera's. Nothing without a camera.
    void DrawBackground(const Camera* camera) const;
    void DrawForeground(const Camera* camera) const;

private:
    struct Slot {
        std::unique_ptr<Chunk> chunk;
        uint8_t active = 0;
        // The whole record was read into the chunk (or tried: a record that
        // cannot be read is not tried again on every pass).
        uint8_t readWhole = 0;
    };
    Slot* SlotAt(int32_t cx, int32_t cy);
    const Slot* SlotAt(int32_t cx, int32_t cy) const;
    void Draw(const Camera* camera, bool foreground) const;
    // Checks the header against the working file's size; prints why not,
    // naming the level as shown.
    bool ReadHeader(const std::string& shownPath);
    // Closes the working file, removes it and forgets the counts.
    void DiscardWorkingFile();

    uint8_t m_open = 0;
    std::string m_levelPath;
    uint32_t m_chunkSize = 0;
    int32_t m_countX = 0;
    int32_t m_countY = 0;
    int32_t m_dataOffset = kDataOffset;
    std::vector<Slot> m_grid;  // [cx * countY + cy]
    ClaimedFile m_working;
    FILE* m_workingFile = nullptr;  // a stream on m_working
};
