#pragma once
// Writer of chunked level files (".plf"), and the reader of the plain-text
// level descriptions that plfpack turns into them.
//
// A level file is one zlib stream. Inflated, it is:
//   0    10 bytes   free (written as zeros)
//   10   u32 LE     chunk size: bytes per chunk record (458,752)
//   14   u32 LE     chunks in X
//   18   u32 LE     chunks in Y
//   22   records    chunk (cx, cy) at 22 + chunk size x (cx x chunks in Y + cy)
// A chunk record holds 256 x 256 cells three times over, x outer and y inner:
// the colour (bytes alpha, blue, green, red), the clip value (u16 LE,
// non-zero = blocked) and the drawing layer (u8; 128 and up is drawn over
// the entities).
//
// Header-only so that the packing tool and the tests share it.
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace plf {

inline constexpr uint32_t kChunkTiles = 256;
inline constexpr uint32_t kCellsPerChunk = kChunkTiles * kChunkTiles;
inline constexpr uint32_t kRecordBytes = kCellsPerChunk * 7;  // 4 colour + 2 clip + 1 layer
inline constexpr uint32_t kHeaderBytes = 22;
// Levels larger than this many chunks are refused (a typing slip in a
// description should not ask for gigabytes).
inline constexpr uint32_t kMaxChunks = 1024;

struct Tile {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    uint16_t clip = 0;
    uint8_t layer = 0;
};

class LevelWriter {
public:
    // Every tile transparent black, free, on layer 0. Sizes are clamped to
    // 0..kMaxChunks chunks in all.
    LevelWriter(uint32_t chunksX, uint32_t chunksY) {
        if (uint64_t{chunksX} * chunksY > kMaxChunks) chunksX = chunksY = 0;
        m_chunksX = chunksX;
        m_chunksY = chunksY;
        m_tiles.resize(static_cast<size_t>(Width()) * Height());
    }

    uint32_t ChunksX() const { return m_chunksX; }
    uint32_t ChunksY() const { return m_chunksY; }
    uint32_t Width() const { return m_chunksX * kChunkTiles; }
    uint32_t Height() const { return m_chunksY * kChunkTiles; }

    // False (nothing changes) outside the level.
    bool SetTile(uint32_t x, uint32_t y, const Tile& tile) {
        if (x >= Width() || y >= Height()) return false;
        m_tiles[static_cast<size_t>(x) * Height() + y] = tile;
        return true;
    }
    Tile GetTile(uint32_t x, uint32_t y) const {
        if (x >= Width() || y >= Height()) return Tile{};
        return m_tiles[static_cast<size_t>(x) * Height() + y];
    }

    // The inflated level: header and chunk records.
    std::vector<uint8_t> BuildWorkingFile() const {
        const size_t chunks = static_cast<size_t>(m_chunksX) * m_chunksY;
        std::vector<uint8_t> out(kHeaderBytes + chunks * kRecordBytes, 0);
        PutU32(out, 10, kRecordBytes);
        PutU32(out, 14, m_chunksX);
        PutU32(out, 18, m_chunksY);
        for (uint32_t cx = 0; cx < m_chunksX; ++cx) {
            for (uint32_t cy = 0; cy < m_chunksY; ++cy) {
                uint8_t* record = &out[kHeaderBytes + (static_cast<size_t>(cx) * m_chunksY + cy) * kRecordBytes];
                uint8_t* colour = record;
                uint8_t* clip = record + kCellsPerChunk * 4;
                uint8_t* layer = record + kCellsPerChunk * 6;
                for (uint32_t tx = 0; tx < kChunkTiles; ++tx) {
                    for (uint32_t ty = 0; ty < kChunkTiles; ++ty) {
                        const Tile t = GetTile(cx * kChunkTiles + tx, cy * kChunkTiles + ty);
                        const size_t cell = static_cast<size_t>(tx) * kChunkTiles + ty;
                        colour[cell * 4 + 0] = t.a;
                        colour[cell * 4 + 1] = t.b;
                        colour[cell * 4 + 2] = t.g;
                        colour[cell * 4 + 3] = t.r;
                        clip[cell * 2 + 0] = static_cast<uint8_t>(t.clip & 0xFF);
                        clip[cell * 2 + 1] = static_cast<uint8_t>(t.clip >> 8);
                        layer[cell] = t.layer;
                    }
                }
            }
        }
        return out;
    }

    // The level file: the working file as one zlib stream. Empty on failure.
    std::vector<uint8_t> BuildFile() const { return Compress(BuildWorkingFile()); }

    // Writes the level file under a temporary name and renames it into place.
    bool WriteFile(const std::string& path, std::string& error) const {
        std::vector<uint8_t> bytes = BuildFile();
        if (bytes.empty()) {
            error = "cannot compress the level";
            return false;
        }
        const std::string temp = path + ".tmp";
        FILE* file = std::fopen(temp.c_str(), "wb");
        if (!file) {
            error = "cannot write " + temp;
            return false;
        }
        bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok = (std::fclose(file) == 0) && ok;
        if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
            std::remove(temp.c_str());
            error = "cannot write " + path;
            return false;
        }
        return true;
    }

    static std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
        uLongf size = compressBound(static_cast<uLong>(data.size()));
        std::vector<uint8_t> out(size);
        if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) return {};
        out.resize(size);
        return out;
    }

private:
    static void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }

    uint32_t m_chunksX = 0;
    uint32_t m_chunksY = 0;
    std::vector<Tile> m_tiles;  // [x * Height() + y]
};

// ---- Text descriptions -------------------------------------------------------
//
//   # comment (also after any line's words)
//   chunks X Y           level size in chunks
//   scale N              each map character covers N x N tiles (default 1)
//   tile C R G B A free|blocked|rim LAYER PATTERN
//   map                  every later line is a row of map characters
//
// A "rim" tile is free except for a line one tile wide along its border
// with tiles of other kinds (diagonal neighbours included; the level's own
// edge is no border): nothing walks across the line, and the area inside it
// keeps its colour and its layer, where a blocked tile would show the
// engine's opaque blocked mark over the characters.
//
// Patterns give a tile kind its surface, computed per tile from its world
// position, so that large areas do not look flat: "flat", "speckle" (grain),
// "brick" (courses of bricks with mortar), "water" (ripples), "leaves"
// (dappled light), "crown" (leaves on every other tile like a screen, for a
// tree's crown on a layer over the characters: the tiles between are the
// crown's shade on layer 0, under the characters, so that one standing
// under the tree shows through). A character that has no tile kind is an error; cells the
// map rows do not reach stay transparent and free.

struct TileKind {
    Tile base;
    std::string pattern;
    bool rim = false;
};

namespace detail {

inline uint32_t Hash(uint32_t x, uint32_t y) {
    uint32_t h = x * 374761393u + y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

inline uint8_t Shade(uint8_t value, int delta) {
    int v = value + delta;
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

inline Tile Brighten(Tile t, int delta) {
    t.r = Shade(t.r, delta);
    t.g = Shade(t.g, delta);
    t.b = Shade(t.b, delta);
    return t;
}

}  // namespace detail

// The tile of a kind at world tile (x, y).
inline Tile PatternTile(const TileKind& kind, uint32_t x, uint32_t y) {
    const Tile& base = kind.base;
    const int grain = static_cast<int>(detail::Hash(x, y) % 25) - 12;
    if (kind.pattern == "speckle") return detail::Brighten(base, grain);
    if (kind.pattern == "brick") {
        const uint32_t row = y / 5, shift = (row % 2) * 5;
        const bool mortar = y % 5 == 4 || (x + shift) % 10 == 9;
        return detail::Brighten(base, mortar ? -45 : grain / 2);
    }
    if (kind.pattern == "water") {
        const double wave = std::sin(x * 0.35 + std::sin(y * 0.21) * 2.0) + std::sin(y * 0.5);
        return detail::Brighten(base, static_cast<int>(wave * 12.0));
    }
    if (kind.pattern == "leaves" || kind.pattern == "crown") {
        const uint32_t clump = detail::Hash(x / 3, y / 3) % 40;
        Tile leaves = detail::Brighten(base, static_cast<int>(clump) - 20 + grain / 3);
        if (kind.pattern == "crown" && (x + y) % 2 == 0) {
            leaves = detail::Brighten(leaves, -24);
            leaves.layer = 0;
        }
        return leaves;
    }
    return base;
}

// Reads a description into a new writer. On failure returns null and sets
// error to a line naming the description's line.
inline std::unique_ptr<LevelWriter> ParseDescription(const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    uint32_t chunksX = 0, chunksY = 0, scale = 1;
    bool haveSize = false;
    std::map<char, TileKind> kinds;
    std::unique_ptr<LevelWriter> level;
    std::vector<char> cellKinds;  // the map character of each tile, [x * height + y]
    uint32_t row = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return nullptr;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (level) {
            for (size_t col = 0; col < line.size(); ++col) {
                auto kind = kinds.find(line[col]);
                if (kind == kinds.end()) return fail(std::string("no tile kind for '") + line[col] + "'");
                for (uint32_t dx = 0; dx < scale; ++dx) {
                    for (uint32_t dy = 0; dy < scale; ++dy) {
                        const uint64_t x = uint64_t{col} * scale + dx, y = uint64_t{row} * scale + dy;
                        if (x >= level->Width() || y >= level->Height())
                            return fail("the map reaches outside the level");
                        level->SetTile(static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                       PatternTile(kind->second, static_cast<uint32_t>(x), static_cast<uint32_t>(y)));
                        cellKinds[x * level->Height() + y] = line[col];
                    }
                }
            }
            ++row;
            continue;
        }
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word;
        if (!(words >> word)) continue;
        if (word == "chunks") {
            long long x = -1, y = -1;
            // Each size is bounded before the product, which could overflow.
            if (!(words >> x >> y) || x < 1 || y < 1 || x > kMaxChunks || y > kMaxChunks || x * y > kMaxChunks)
                return fail("chunks needs two sizes of at least 1, at most " + std::to_string(kMaxChunks) +
                            " chunks in all");
            chunksX = static_cast<uint32_t>(x);
            chunksY = static_cast<uint32_t>(y);
            haveSize = true;
        } else if (word == "scale") {
            long long n = 0;
            if (!(words >> n) || n < 1 || n > 256) return fail("scale needs a number from 1 to 256");
            scale = static_cast<uint32_t>(n);
        } else if (word == "tile") {
            std::string name, clip, pattern;
            int r, g, b, a, layer;
            if (!(words >> name >> r >> g >> b >> a >> clip >> layer >> pattern) || name.size() != 1)
                return fail("tile needs a character, R G B A, free, blocked or rim, a layer and a pattern");
            for (int v : {r, g, b, a, layer})
                if (v < 0 || v > 255) return fail("colour and layer values run from 0 to 255");
            if (clip != "free" && clip != "blocked" && clip != "rim")
                return fail("a tile is free, blocked or rim, not " + clip);
            if (pattern != "flat" && pattern != "speckle" && pattern != "brick" && pattern != "water" &&
                pattern != "leaves" && pattern != "crown")
                return fail("unknown pattern " + pattern);
            TileKind kind;
            kind.base = Tile{static_cast<uint8_t>(r),
                             static_cast<uint8_t>(g),
                             static_cast<uint8_t>(b),
                             static_cast<uint8_t>(a),
                             static_cast<uint16_t>(clip == "blocked" ? 1 : 0),
                             static_cast<uint8_t>(layer)};
            kind.pattern = pattern;
            kind.rim = clip == "rim";
            kinds[name[0]] = kind;
        } else if (word == "map") {
            if (!haveSize) return fail("map comes after the chunks line");
            level = std::make_unique<LevelWriter>(chunksX, chunksY);
            cellKinds.assign(static_cast<size_t>(level->Width()) * level->Height(), '\0');
        } else {
            return fail("unknown word " + word);
        }
    }
    if (!level) {
        ++number;
        return fail("the description has no map");
    }
    const int64_t width = level->Width(), height = level->Height();
    auto kindAt = [&](int64_t x, int64_t y) { return cellKinds[static_cast<size_t>(x * height + y)]; };
    for (int64_t x = 0; x < width; ++x) {
        for (int64_t y = 0; y < height; ++y) {
            const char here = kindAt(x, y);
            auto kind = kinds.find(here);
            if (kind == kinds.end() || !kind->second.rim) continue;
            bool border = false;
            for (int64_t dx = -1; dx <= 1 && !border; ++dx)
                for (int64_t dy = -1; dy <= 1 && !border; ++dy) {
                    const int64_t nx = x + dx, ny = y + dy;
                    border = nx >= 0 && ny >= 0 && nx < width && ny < height && kindAt(nx, ny) != here;
                }
            if (!border) continue;
            Tile tile = level->GetTile(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
            tile.clip = 1;
            level->SetTile(static_cast<uint32_t>(x), static_cast<uint32_t>(y), tile);
        }
    }
    return level;
}

}  // namespace plf
