// Image archives (".sif") under damage. The first byte chooses the kind of
// file: an uncompressed archive (the rest as the file), a compressed one
// whose inflated layout is the rest, or a compressed one whose file is the
// rest as it stands (a damaged stream). The archive is opened as the data
// library opens it, and every image and palette of its table is taken out.
//
// Promises: a refused archive is not open, has no entries and leaves no
// cache copy behind; every image taken out, written again by the archive
// writer, reads back with the same size and pixels.
#include <allegro5/allegro.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/Palette.h"
#include "support/FuzzSupport.h"
#include "support/StartsAllegro.h"

using fuzzsupport::Check;

namespace {

constexpr const char* kArchive = "in/Fuzz.sif";
constexpr const char* kRewritten = "in/Again.sif";

// The pixels of a bitmap as R, G, B, A bytes, rows from the top.
sif::Picture PictureOf(BitmapWrapper& bitmap) {
    sif::Picture picture;
    ALLEGRO_BITMAP* b = bitmap.GetBitmap();
    picture.width = static_cast<uint32_t>(al_get_bitmap_width(b));
    picture.height = static_cast<uint32_t>(al_get_bitmap_height(b));
    picture.rgba.reserve(size_t{picture.width} * picture.height * 4);
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x) {
            unsigned char r, g, bl, a;
            al_unmap_rgba(al_get_pixel(b, static_cast<int>(x), static_cast<int>(y)), &r, &g, &bl, &a);
            picture.rgba.insert(picture.rgba.end(), {r, g, bl, a});
        }
    return picture;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::EnterWorkFolder();
    fuzzsupport::InputReader input(data, size);
    const uint8_t kind = input.Byte() % 3;
    const std::string cache = ExternalImageManager::CachePath(kArchive);
    fuzzsupport::RemoveFile(cache);
    fuzzsupport::WriteWholeFile(kArchive, fuzzsupport::Payload(input, kind == 1));

    ExternalImageManager archives;
    const bool opened = kind == 0 ? archives.OpenFileUncompressed(kArchive) : archives.OpenFile(kArchive);
    if (!opened) {
        Check(!archives.IsOpen() && archives.GetEntryCount() == 0, "a refused archive is open");
        if (kind != 0) Check(!fuzzsupport::FileExists(cache), "a refused archive left a cache copy");
        return 0;
    }
    if (kind != 0) Check(fuzzsupport::FileExists(cache), "an opened compressed archive has no cache copy");

    // Every entry, by name and by data offset; the first of each name is
    // kept for the round trip.
    sif::ArchiveWriter writer;
    std::vector<std::pair<std::string, sif::Picture>> kept;
    std::set<std::string> seen;
    const std::vector<ArchiveEntry> entries = archives.GetEntryTable();
    for (const ArchiveEntry& entry : entries) {
        std::unique_ptr<BitmapWrapper> image(archives.GetBitmapFromActiveFile(entry.name));
        std::unique_ptr<BitmapWrapper> byOffset(archives.GetBitmapFromActiveFileL(entry.dataOffset));
        std::unique_ptr<Palette> palette(archives.GetPaletteFromActiveFile(entry.name));
        if (palette) {
            Check(palette->variants.size() == palette->variantCount, "a palette's variant count is wrong");
            for (const auto& variant : palette->variants)
                Check(variant.size() == palette->colourCount, "a palette's colour count is wrong");
        }
        if (!image || !seen.insert(entry.name).second || entry.name.empty() || entry.name.size() > 255) continue;
        sif::Picture picture = PictureOf(*image);
        if (picture.rgba.size() > (1u << 20)) continue;
        if (writer.AddImage(entry.name, picture)) kept.emplace_back(entry.name, std::move(picture));
    }
    archives.CloseFile();
    Check(!archives.IsOpen() && archives.GetEntryCount() == 0, "a closed archive still has entries");
    if (kept.empty()) return 0;

    std::string error;
    Check(sif::WriteWholeFile(kRewritten, writer.Build(false), error), "the rewritten archive cannot be written");
    Check(archives.OpenFileUncompressed(kRewritten), "the rewritten archive is refused");
    for (const auto& [name, picture] : kept) {
        std::unique_ptr<BitmapWrapper> again(archives.GetBitmapFromActiveFile(name));
        Check(again != nullptr, "an image of the rewritten archive is missing");
        const sif::Picture back = PictureOf(*again);
        Check(back.width == picture.width && back.height == picture.height && back.rgba == picture.rgba,
              "an image reads back differently after rewriting");
    }
    return 0;
}
