#pragma once
// One 256 x 256 tile square of a chunked level: three cell layers read from
// the level's working file and the two bitmaps built from them.
//
//   colour layer   the colour of each tile
//   clip layer     non-zero: the tile is blocked for movers
//   drawing layer  below 128: drawn under the entities (background bitmap);
//                  128 and up: drawn over them (foreground bitmap)
//
// The foreground bitmap also marks every blocked tile in opaque blue. A chunk
// is drawn only once both bitmaps are built (IsReady).
#include <allegro5/allegro.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

class BitmapWrapper;

class Chunk {
public:
    static constexpr int kSize = 256;  // tiles per side
    static constexpr int kCells = kSize * kSize;
    // Layout of one chunk record in the working file, cells x outer, y inner:
    // colour as 4 bytes (alpha, blue, green, red), clip as u16 little-endian,
    // drawing layer as one byte.
    static constexpr uint32_t kColourBytes = kCells * 4;
    static constexpr uint32_t kClipBytes = kCells * 2;
    static constexpr uint32_t kLayerBytes = kCells;
    static constexpr uint32_t kRecordBytes = kColourBytes + kClipBytes + kLayerBytes;  // 458,752
    static constexpr int32_t kStageCount = 11;

    // Both bitmaps made (transparent), every cell transparent black, free and
    // on the background layer; not ready.
    Chunk();
    // Takes the chunk's pending staged-load jobs off the deferred job queue.
    ~Chunk();
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;

    // Whether tile (tx, ty) is blocked. Outside 0..255 prints "Clip was out
    // of the Chunk's range" and answers false.
    bool IsClipped(int32_t tx, int32_t ty) const;

    // Reads the whole record at the offset and builds both bitmaps. A null
    // file does nothing. A record that ends early prints a line and leaves
    // the chunk as it was; returns false then.
    bool LoadWhole(FILE* file, uint64_t offset);

    // Reads only the clip layer of the record at the offset (the chunk stays
    // not ready). False, with the same line as LoadWhole, when the record
    // ends early; a null file does nothing.
    bool LoadClip(FILE* file, uint64_t offset);

    // Staged loading: stores the offset, restarts at stage 0 and queues one
    // job per stage on the deferred job queue (when it exists). Each job runs
    // LoadStage, so the record is read a part at a time over several frames.
    void QueueLoad(uint32_t offset);
    // Runs the next stage, reading from the working file of the map
    // manager's current level (nothing happens without one), and advances
    // the stage counter.
    void LoadStage();
    // The same from a given file. Stages 0-3 read a quarter of the colour
    // layer each, 4 the clip layer, 5-8 a quarter of the drawing layer each,
    // 9 builds the background bitmap and 10 the foreground bitmap. A read
    // that comes up short prints a line and ends the staged load.
    void LoadStageFrom(FILE* file);

    // Left from the level editor's chunk type: both only say so.
    void ProcessBitmaps();
    void WriteChunk();

    bool IsReady() const { return m_ready != 0; }
    // Whether the two bitmaps together are opaque at every tile (each tile
    // opaque in one of them), so nothing drawn under the chunk shows.
    bool IsOpaque() const { return m_opaque != 0; }
    int32_t GetStage() const { return m_stage; }
    uint32_t GetFileOffset() const { return m_fileOffset; }
    // Cell accessors; (tx, ty) must lie in 0..255.
    ALLEGRO_COLOR GetColour(int tx, int ty) const;
    uint16_t GetClip(int tx, int ty) const { return m_clip[Index(tx, ty)]; }
    uint8_t GetLayer(int tx, int ty) const { return m_layer[Index(tx, ty)]; }
    BitmapWrapper* GetBackground() const { return m_background.get(); }
    BitmapWrapper* GetForeground() const { return m_foreground.get(); }

    // Cells of drawing-layer value kForegroundLayer and up are foreground.
    static constexpr uint8_t kForegroundLayer = 128;

private:
    static int Index(int tx, int ty) { return tx * kSize + ty; }
    // Decoders of record bytes into the layers, for columns [first, first +
    // count).
    void DecodeColour(const uint8_t* bytes, int firstColumn, int columns);
    void DecodeClip(const uint8_t* bytes);
    void DecodeLayer(const uint8_t* bytes, int firstColumn, int columns);
    void BuildBackground();
    void BuildForeground();

    std::unique_ptr<BitmapWrapper> m_foreground;
    std::unique_ptr<BitmapWrapper> m_background;
    // Bytes R, G, B, A in memory order, as the bitmaps are written.
    std::vector<uint32_t> m_colour;
    std::vector<uint16_t> m_clip;
    std::vector<uint8_t> m_layer;
    uint8_t m_ready = 0;
    uint8_t m_opaque = 0;
    uint32_t m_fileOffset = 0;
    int32_t m_stage = 0;
    int32_t m_stageCount = kStageCount;
};
