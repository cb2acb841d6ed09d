#pragma once
// Writer of isometric map files (".slf"), and the reader of the plain-text
// map descriptions that slfpack turns into them.
//
// A map file is uncompressed, every number little-endian:
//   "TamskIsoMap1.0" (14 bytes), 4 free bytes, u8 n and n free bytes,
//   u32 texture count, per texture u8 length and the name's bytes,
//   u32 X, u32 Y, u32 Z, then X x Y x Z cells (x outermost, z innermost):
//   u8 present, and for a present cell three int32 texture indices
//   (floor, left wall, right wall; -1 for none).
//
// Description format (one command a line, '#' starts a comment):
//   textures NAME...                  texture names, index 0 upward
//   size X Y Z                        columns in x and y, layers (first)
//   block X Y Z FLOOR LEFT RIGHT      one block with its texture indices
//   fill X0 Y0 X1 Y1 Z FLOOR LEFT RIGHT   blocks over a rectangle of a
//                                     layer, corners included
//
// Header-only so that the packing tool and the tests share it.
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace slf {

// Descriptions larger than this many cells are refused.
inline constexpr uint64_t kMaxCells = 1u << 22;

class IsoMapWriter {
public:
    IsoMapWriter(uint32_t x, uint32_t y, uint32_t z) : m_x(x), m_y(y), m_z(z), m_cells(uint64_t{x} * y * z) {}

    void AddTexture(const std::string& name) { m_textures.push_back(name); }
    const std::vector<std::string>& Textures() const { return m_textures; }
    // Bytes put between the magic and the texture list (the free fields).
    void SetFreeBytes(const std::string& four, const std::string& skipped) {
        m_four = four;
        m_skipped = skipped;
    }
    bool SetBlock(uint32_t x, uint32_t y, uint32_t z, int32_t floor, int32_t left, int32_t right) {
        if (x >= m_x || y >= m_y || z >= m_z) return false;
        Cell& cell = m_cells[(uint64_t{x} * m_y + y) * m_z + z];
        cell.present = 1;
        cell.faces = {floor, left, right};
        return true;
    }
    uint32_t X() const { return m_x; }
    uint32_t Y() const { return m_y; }
    uint32_t Z() const { return m_z; }

    std::string Bytes() const {
        std::string out = "TamskIsoMap1.0";
        std::string four = m_four;
        four.resize(4, '\0');
        out += four;
        out += static_cast<char>(static_cast<uint8_t>(m_skipped.size() > 255 ? 255 : m_skipped.size()));
        out += m_skipped.substr(0, 255);
        PutU32(out, static_cast<uint32_t>(m_textures.size()));
        for (const std::string& name : m_textures) {
            const std::string cut = name.substr(0, 255);
            out += static_cast<char>(static_cast<uint8_t>(cut.size()));
            out += cut;
        }
        PutU32(out, m_x);
        PutU32(out, m_y);
        PutU32(out, m_z);
        for (const Cell& cell : m_cells) {
            out += static_cast<char>(cell.present);
            if (!cell.present) continue;
            for (int32_t face : cell.faces) PutU32(out, static_cast<uint32_t>(face));
        }
        return out;
    }

    // Written under a temporary name and renamed into place.
    bool WriteFile(const std::string& path, std::string& error) const {
        const std::string bytes = Bytes();
        const std::string temp = path + ".tmp";
        FILE* file = std::fopen(temp.c_str(), "wb");
        if (!file) {
            error = "cannot write " + temp;
            return false;
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (std::fclose(file) != 0 || !written) {
            std::remove(temp.c_str());
            error = "cannot write " + temp;
            return false;
        }
        if (std::rename(temp.c_str(), path.c_str()) != 0) {
            std::remove(temp.c_str());
            error = "cannot rename " + temp + " to " + path;
            return false;
        }
        return true;
    }

    static void PutU32(std::string& out, uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
    }

private:
    struct Cell {
        uint8_t present = 0;
        std::array<int32_t, 3> faces{};
    };
    uint32_t m_x, m_y, m_z;
    std::vector<Cell> m_cells;
    std::vector<std::string> m_textures;
    std::string m_four;
    std::string m_skipped;
};

// Parses a description; null with the reason (and its line) on error.
inline std::unique_ptr<IsoMapWriter> ParseDescription(const std::string& text, std::string& error) {
    std::unique_ptr<IsoMapWriter> map;
    std::vector<std::string> names;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        error = "line " + std::to_string(number) + ": " + why;
        return nullptr;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string command;
        if (!(words >> command)) continue;
        if (command == "textures") {
            std::string name;
            while (words >> name) {
                if (name.size() > 255) return fail("texture name longer than 255 bytes");
                names.push_back(name);
                if (map) map->AddTexture(name);
            }
        } else if (command == "size") {
            int64_t x, y, z;
            if (map) return fail("size given twice");
            if (!(words >> x >> y >> z) || x < 0 || y < 0 || z < 0) return fail("size needs three counts");
            if (x > 0xffff || y > 0xffff || z > 0xffff || static_cast<uint64_t>(x * y * z) > kMaxCells)
                return fail("map too large");
            map = std::make_unique<IsoMapWriter>(static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                                 static_cast<uint32_t>(z));
            for (const std::string& name : names) map->AddTexture(name);
        } else if (command == "block" || command == "fill") {
            if (!map) return fail("size must come first");
            int64_t x0, y0, x1, y1, z;
            int32_t f, l, r;
            if (command == "block") {
                if (!(words >> x0 >> y0 >> z >> f >> l >> r)) return fail("block needs X Y Z FLOOR LEFT RIGHT");
                x1 = x0;
                y1 = y0;
            } else if (!(words >> x0 >> y0 >> x1 >> y1 >> z >> f >> l >> r)) {
                return fail("fill needs X0 Y0 X1 Y1 Z FLOOR LEFT RIGHT");
            }
            if (x0 < 0 || y0 < 0 || z < 0 || x1 >= map->X() || y1 >= map->Y() || z >= map->Z() || x0 > x1 || y0 > y1)
                return fail("cells outside the map");
            for (int64_t x = x0; x <= x1; ++x)
                for (int64_t y = y0; y <= y1; ++y)
                    map->SetBlock(static_cast<uint32_t>(x), static_cast<uint32_t>(y), static_cast<uint32_t>(z), f, l,
                                  r);
        } else {
            return fail("unknown command " + command);
        }
    }
    if (!map) {
        error = "no size given";
        return nullptr;
    }
    return map;
}

}  // namespace slf
