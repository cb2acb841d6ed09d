#pragma once
// Writer of image archives (".sif"): named RGBA images and palettes behind a
// table of names and data offsets, stored zlib-compressed or plain.
//
// Layout (all integers unsigned 32-bit little-endian, no padding):
//   header            17 bytes (compressed archives) or 19 (uncompressed)
//   entry count N     4
//   N entries         u8 name length L, L name bytes, u32 data offset
//   records           one per entry, at its data offset
// Image record: width, height, trimmed byte (1 = x, y, TW, TH follow), then
// the stored pixels row by row, bytes R, G, B, A.
// Palette record: variant count V, colour count C, then V x C colours, bytes
// A, B, G, R.
// A compressed archive is the whole layout above as one zlib stream.
//
// Header-only so that the packing tool, the tests and the benchmarks share it.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace sif {

inline constexpr size_t kCompressedHeaderSize = 17;
inline constexpr size_t kUncompressedHeaderSize = 19;

// One colour of a palette.
struct Colour {
    uint8_t r, g, b, a;
};

// An RGBA picture: width x height pixels, 4 bytes each (R, G, B, A), rows
// from the top.
struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;
};

// The smallest rectangle holding every pixel whose alpha is not zero. A
// fully transparent picture gives a 1 x 1 rectangle at (0, 0), so that no
// record has an empty size.
struct TrimRect {
    uint32_t x = 0, y = 0, width = 0, height = 0;
};

inline TrimRect FindTrimRect(const Picture& picture) {
    uint32_t minX = picture.width, minY = picture.height, maxX = 0, maxY = 0;
    bool any = false;
    for (uint32_t y = 0; y < picture.height; ++y) {
        for (uint32_t x = 0; x < picture.width; ++x) {
            size_t at = (static_cast<size_t>(y) * picture.width + x) * 4;
            if (picture.rgba[at + 3] == 0) continue;
            any = true;
            if (x < minX) minX = x;
            if (y < minY) minY = y;
            if (x > maxX) maxX = x;
            if (y > maxY) maxY = y;
        }
    }
    if (!any) return TrimRect{0, 0, 1, 1};
    return TrimRect{minX, minY, maxX - minX + 1, maxY - minY + 1};
}

// The pixels of a rectangle of the picture (which must lie inside it).
inline std::vector<uint8_t> CropPixels(const Picture& picture, const TrimRect& rect) {
    std::vector<uint8_t> out(static_cast<size_t>(rect.width) * rect.height * 4, 0);
    for (uint32_t row = 0; row < rect.height; ++row) {
        if (rect.y + row >= picture.height) break;
        for (uint32_t col = 0; col < rect.width; ++col) {
            if (rect.x + col >= picture.width) break;
            size_t from = ((static_cast<size_t>(rect.y) + row) * picture.width + rect.x + col) * 4;
            size_t to = (static_cast<size_t>(row) * rect.width + col) * 4;
            std::memcpy(&out[to], &picture.rgba[from], 4);
        }
    }
    return out;
}

inline void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 24));
}

inline void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
    out[at + 2] = static_cast<uint8_t>(value >> 16);
    out[at + 3] = static_cast<uint8_t>(value >> 24);
}

// zlib stream of the bytes (best compression).
inline std::vector<uint8_t> Compress(const std::vector<uint8_t>& bytes, int level = Z_BEST_COMPRESSION) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), level) != Z_OK) return {};
    out.resize(size);
    return out;
}

// Writes the bytes to a temporary name beside the path and renames it into
// place. On failure `error` says why and nothing is left behind.
inline bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::string temporary = path + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot create " + temporary;
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = (std::fclose(file) == 0) && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

class ArchiveWriter {
public:
    // An untrimmed image stored whole. `trimByte` is the value written in the
    // trimmed field; anything other than 1 means "untrimmed".
    bool AddImage(const std::string& name, const Picture& picture, uint8_t trimByte = 0) {
        if (!CheckName(name) || !CheckPicture(picture) || trimByte == 1) return Refuse(name, "bad image");
        std::vector<uint8_t> record;
        AppendU32(record, picture.width);
        AppendU32(record, picture.height);
        record.push_back(trimByte);
        record.insert(record.end(), picture.rgba.begin(), picture.rgba.end());
        entries_.push_back({name, std::move(record)});
        return true;
    }

    // A trimmed image: only the rectangle (x, y, tw, th) of a full frame of
    // fullWidth x fullHeight is stored; `pixels` holds tw x th pixels.
    bool AddTrimmedImage(const std::string& name, uint32_t fullWidth, uint32_t fullHeight, const TrimRect& rect,
                         const std::vector<uint8_t>& pixels) {
        if (!CheckName(name) || rect.width == 0 || rect.height == 0 ||
            pixels.size() != static_cast<uint64_t>(rect.width) * rect.height * 4)
            return Refuse(name, "bad trimmed image");
        std::vector<uint8_t> record;
        AppendU32(record, fullWidth);
        AppendU32(record, fullHeight);
        record.push_back(1);
        AppendU32(record, rect.x);
        AppendU32(record, rect.y);
        AppendU32(record, rect.width);
        AppendU32(record, rect.height);
        record.insert(record.end(), pixels.begin(), pixels.end());
        entries_.push_back({name, std::move(record)});
        return true;
    }

    // A picture trimmed to its visible pixels (alpha not zero).
    bool AddAutoTrimmedImage(const std::string& name, const Picture& picture) {
        if (!CheckPicture(picture)) return Refuse(name, "bad image");
        TrimRect rect = FindTrimRect(picture);
        return AddTrimmedImage(name, picture.width, picture.height, rect, CropPixels(picture, rect));
    }

    // A palette: variants[v][c] is colour c of variant v; every variant must
    // have the same number of colours.
    bool AddPalette(const std::string& name, const std::vector<std::vector<Colour>>& variants) {
        if (!CheckName(name) || variants.empty() || variants[0].empty()) return Refuse(name, "bad palette");
        size_t colours = variants[0].size();
        for (const auto& variant : variants)
            if (variant.size() != colours) return Refuse(name, "palette variants differ in size");
        std::vector<uint8_t> record;
        AppendU32(record, static_cast<uint32_t>(variants.size()));
        AppendU32(record, static_cast<uint32_t>(colours));
        for (const auto& variant : variants) {
            for (const Colour& c : variant) {
                record.push_back(c.a);
                record.push_back(c.b);
                record.push_back(c.g);
                record.push_back(c.r);
            }
        }
        entries_.push_back({name, std::move(record)});
        return true;
    }

    // An entry whose record is given byte for byte (for damaged archives).
    bool AddRawRecord(const std::string& name, const std::vector<uint8_t>& record) {
        if (!CheckName(name)) return Refuse(name, "bad name");
        entries_.push_back({name, record});
        return true;
    }

    size_t GetEntryCount() const { return entries_.size(); }
    const std::string& GetLastError() const { return error_; }

    // The archive's bytes before compression. The header is 17 bytes for an
    // archive that will be compressed, 19 for an uncompressed one.
    std::vector<uint8_t> BuildLayout(bool compressed) const {
        size_t headerSize = compressed ? kCompressedHeaderSize : kUncompressedHeaderSize;
        std::vector<uint8_t> out;
        const char* tag = compressed ? "QEL image archive" : "QEL image archive  ";
        out.insert(out.end(), tag, tag + headerSize);
        AppendU32(out, static_cast<uint32_t>(entries_.size()));
        std::vector<size_t> offsetFields;
        for (const Entry& entry : entries_) {
            out.push_back(static_cast<uint8_t>(entry.name.size()));
            out.insert(out.end(), entry.name.begin(), entry.name.end());
            offsetFields.push_back(out.size());
            AppendU32(out, 0);
        }
        for (size_t i = 0; i < entries_.size(); ++i) {
            PutU32(out, offsetFields[i], static_cast<uint32_t>(out.size()));
            out.insert(out.end(), entries_[i].record.begin(), entries_[i].record.end());
        }
        return out;
    }

    // The file's bytes: the layout, zlib-compressed when asked.
    std::vector<uint8_t> Build(bool compressed) const {
        std::vector<uint8_t> layout = BuildLayout(compressed);
        return compressed ? Compress(layout) : layout;
    }

    bool WriteFile(const std::string& path, bool compressed) {
        if (BuildLayout(compressed).size() > UINT32_MAX) return Refuse(path, "archive larger than 4 GiB");
        std::vector<uint8_t> bytes = Build(compressed);
        if (bytes.empty()) return Refuse(path, "cannot compress");
        return WriteWholeFile(path, bytes, error_);
    }

private:
    struct Entry {
        std::string name;
        std::vector<uint8_t> record;
    };

    bool CheckName(const std::string& name) const { return !name.empty() && name.size() <= 255; }
    static bool CheckPicture(const Picture& picture) {
        return picture.width > 0 && picture.height > 0 &&
               picture.rgba.size() == static_cast<uint64_t>(picture.width) * picture.height * 4;
    }
    bool Refuse(const std::string& name, const char* why) {
        error_ = std::string(why) + ": " + name;
        return false;
    }

    std::vector<Entry> entries_;
    std::string error_;
};

}  // namespace sif
