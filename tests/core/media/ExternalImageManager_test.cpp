#include "core/media/ExternalImageManager.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/Palette.h"
#include "core/script/PathManager.h"
#include "support/AllegroTestEnv.h"
#include "support/PixelRead.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

using testsupport::ColourOf;
using testsupport::PixelAt;
using testsupport::Rgba;

// A picture whose pixel (x, y) has the bytes (x, y, x + y, 200).
sif::Picture Gradient(uint32_t width, uint32_t height) {
    sif::Picture picture;
    picture.width = width;
    picture.height = height;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            picture.rgba.insert(picture.rgba.end(),
                                {static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x + y), 200});
    return picture;
}

sif::Picture Solid(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    sif::Picture picture;
    picture.width = picture.height = 1;
    picture.rgba = {r, g, b, a};
    return picture;
}

std::string AsText(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::vector<uint8_t> U32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

class ExternalImageManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        paths_ = std::make_unique<PathManager>();
        paths_->AddPath("Decompress", "Cache/");
        GetGlobalState()->pathManager = paths_.get();
    }
    void TearDown() override { GetGlobalState()->pathManager = nullptr; }

    testsupport::TempDir dir_;
    std::unique_ptr<PathManager> paths_;
};

TEST_F(ExternalImageManagerTest, ImagesAndPalettesKeepSizesOffsetsAndByteOrders) {
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "uncompressed");
        sif::ArchiveWriter writer;
        // A 64 x 64 frame of which the 20 x 30 rectangle at (10, 12) is stored.
        sif::Picture stored = Gradient(20, 30);
        stored.rgba[0] = 0x11, stored.rgba[1] = 0x22, stored.rgba[2] = 0x33, stored.rgba[3] = 0x44;
        ASSERT_TRUE(writer.AddTrimmedImage("Trimmed", 64, 64, sif::TrimRect{10, 12, 20, 30}, stored.rgba));
        // A trimmed byte other than 1 means a whole image.
        ASSERT_TRUE(writer.AddImage("Whole", Gradient(5, 3), 2));
        // One palette of two variants of one colour, bytes A, B, G, R.
        ASSERT_TRUE(writer.AddRawRecord("Pal", Cat({U32(2), U32(1), {0x11, 0x22, 0x33, 0x44}, {1, 2, 3, 4}})));
        std::string file = compressed ? "Data/Art.sif" : "Data/Plain.sif";
        fs::create_directories("Data");
        ASSERT_TRUE(writer.WriteFile(file, compressed));

        ExternalImageManager images;
        ASSERT_TRUE(compressed ? images.OpenFile(file) : images.OpenFileUncompressed(file));
        ASSERT_EQ(images.GetEntryCount(), 3);

        std::unique_ptr<BitmapWrapper> trimmed(images.GetBitmapFromActiveFile("Trimmed"));
        ASSERT_TRUE(trimmed);
        EXPECT_EQ(trimmed->GetWidth(), 20);
        EXPECT_EQ(trimmed->GetHeight(), 30);
        EXPECT_EQ(trimmed->GetOffsetX(), 10);
        EXPECT_EQ(trimmed->GetOffsetY(), 12);
        EXPECT_EQ(PixelAt(trimmed.get(), 0, 0), (Rgba{0x11, 0x22, 0x33, 0x44}));
        // Rows from the top, each left to right.
        EXPECT_EQ(PixelAt(trimmed.get(), 19, 29), (Rgba{19, 29, 48, 200}));

        std::unique_ptr<BitmapWrapper> whole(images.GetBitmapFromActiveFile("Whole"));
        ASSERT_TRUE(whole);
        EXPECT_EQ(whole->GetWidth(), 5);
        EXPECT_EQ(whole->GetHeight(), 3);
        EXPECT_EQ(whole->GetOffsetX(), 0);
        EXPECT_EQ(whole->GetOffsetY(), 0);
        EXPECT_EQ(PixelAt(whole.get(), 4, 2), (Rgba{4, 2, 6, 200}));

        std::unique_ptr<Palette> palette(images.GetPaletteFromActiveFile("Pal"));
        ASSERT_TRUE(palette);
        EXPECT_EQ(palette->variantCount, 2u);
        EXPECT_EQ(palette->colourCount, 1u);
        ASSERT_EQ(palette->variants.size(), 2u);
        EXPECT_EQ(ColourOf(palette->variants[0][0]), (Rgba{0x44, 0x33, 0x22, 0x11}));
        EXPECT_EQ(ColourOf(palette->variants[1][0]), (Rgba{4, 3, 2, 1}));

        // Images outlive the archive.
        images.CloseFile();
        EXPECT_EQ(PixelAt(trimmed.get(), 0, 0)[0], 0x11);
    }
}

TEST_F(ExternalImageManagerTest, DuplicateNamesAndLookupsByOffset) {
    sif::ArchiveWriter writer;
    writer.AddImage("Dup", Solid(255, 0, 0, 255));
    writer.AddImage("Other", Solid(0, 255, 0, 255));
    writer.AddImage("Dup", Solid(0, 0, 255, 255));
    ASSERT_TRUE(writer.WriteFile("Dups.sif", false));

    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFileUncompressed("Dups.sif"));
    const auto& table = images.GetEntryTable();
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[2].name, "Dup");

    std::unique_ptr<BitmapWrapper> byName(images.GetBitmapFromActiveFile("Dup"));
    ASSERT_TRUE(byName);
    EXPECT_EQ(PixelAt(byName.get(), 0, 0), (Rgba{255, 0, 0, 255}));
    // By the second entry's offset: read by name, so the first "Dup" again.
    std::unique_ptr<BitmapWrapper> byOffset(images.GetBitmapFromActiveFileL(table[2].dataOffset));
    ASSERT_TRUE(byOffset);
    EXPECT_EQ(PixelAt(byOffset.get(), 0, 0), (Rgba{255, 0, 0, 255}));
    std::unique_ptr<BitmapWrapper> other(images.GetBitmapFromActiveFileL(table[1].dataOffset));
    ASSERT_TRUE(other);
    EXPECT_EQ(PixelAt(other.get(), 0, 0), (Rgba{0, 255, 0, 255}));

    testsupport::StderrCapture capture;
    EXPECT_EQ(images.GetBitmapFromActiveFileL(7), nullptr);
    EXPECT_EQ(images.GetBitmapFromActiveFile("Missing"), nullptr);
    EXPECT_EQ(images.GetPaletteFromActiveFile("Missing"), nullptr);
    EXPECT_EQ(capture.Take(),
              "ExternalImageManager::GetBitmapFromActiveFile(L) - Warning, 7 not found\n"
              "ExternalImageManager::GetBitmapFromActiveFile - Warning, Missing not found\n"
              "ExternalImageManager::GetBitmapFromActiveFile - Warning, Missing not found\n");
    EXPECT_TRUE(images.IsOpen());
}

TEST_F(ExternalImageManagerTest, ClosingFailedOpensAndReplacingArchives) {
    sif::ArchiveWriter first, second;
    first.AddImage("A", Solid(1, 2, 3, 4));
    second.AddImage("B", Solid(5, 6, 7, 8));
    second.AddImage("C", Solid(5, 6, 7, 8));
    ASSERT_TRUE(first.WriteFile("First.sif", false));
    ASSERT_TRUE(second.WriteFile("Second.sif", true));

    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFileUncompressed("First.sif"));
    images.CloseFile();
    EXPECT_FALSE(images.IsOpen());
    EXPECT_EQ(images.GetEntryCount(), 0);
    {
        testsupport::StderrCapture capture;
        EXPECT_EQ(images.GetBitmapFromActiveFile("A"), nullptr);
        EXPECT_EQ(images.GetBitmapFromActiveFileL(0), nullptr);
        EXPECT_EQ(images.GetPaletteFromActiveFile("A"), nullptr);  // silent
        EXPECT_EQ(capture.Take(),
                  "ExternalImageManager::GetBitmapFromActiveFile - Warning, no file is open\n"
                  "ExternalImageManager::GetBitmapFromActiveFile(L) - Warning, 0 not found\n");
    }

    // Opening another archive replaces the first.
    ASSERT_TRUE(images.OpenFileUncompressed("First.sif"));
    ASSERT_TRUE(images.OpenFile("Second.sif"));
    EXPECT_EQ(images.GetEntryCount(), 2);
    EXPECT_EQ(images.GetEntryTable()[0].name, "B");

    // A missing archive: silent, and nothing stays open.
    testsupport::StderrCapture capture;
    EXPECT_FALSE(images.OpenFile("Nowhere.sif"));
    EXPECT_FALSE(images.IsOpen());
    ASSERT_TRUE(images.OpenFileUncompressed("First.sif"));
    EXPECT_FALSE(images.OpenFileUncompressed("Nowhere.sif"));
    EXPECT_FALSE(images.IsOpen());
    EXPECT_EQ(capture.Take(), "");
}

TEST_F(ExternalImageManagerTest, CacheCopyIsMadeOnceInItsFolderAndReused) {
    EXPECT_EQ(ExternalImageManager::BaseName("Data/Art.sif"), "Art.sif");
    EXPECT_EQ(ExternalImageManager::BaseName("Data\\Sub/Art.sif"), "Art.sif");
    EXPECT_EQ(ExternalImageManager::BaseName("Data/Sub\\Art.sif"), "Art.sif");
    EXPECT_EQ(ExternalImageManager::BaseName("Art.sif"), "Art.sif");
    EXPECT_EQ(ExternalImageManager::CachePath("Data\\Art.sif"), "Cache/Art.sif");

    sif::ArchiveWriter writer;
    writer.AddImage("Pic", Gradient(8, 8));
    fs::create_directories("Data");
    ASSERT_TRUE(writer.WriteFile("Data/Art.sif", true));
    ASSERT_FALSE(fs::exists("Cache"));

    ExternalImageManager images;
    // Backslashes in the archive path are taken as folder separators.
    ASSERT_TRUE(images.OpenFile("Data\\Art.sif"));
    ASSERT_TRUE(fs::exists("Cache/Art.sif"));
    EXPECT_EQ(testsupport::ReadFile("Cache/Art.sif"), AsText(writer.BuildLayout(true)));
    EXPECT_EQ(testsupport::FileNames("Cache"), std::set<std::string>{"Art.sif"});
    images.CloseFile();

    // The archive is gone: the cache copy still serves, in later opens too.
    fs::remove("Data/Art.sif");
    ASSERT_TRUE(images.OpenFile("Data/Art.sif"));
    std::unique_ptr<BitmapWrapper> pic(images.GetBitmapFromActiveFile("Pic"));
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->GetWidth(), 8);

    // Every phase was timed; the report has its five lines.
    testsupport::StderrCapture capture;
    images.PrintTimes(stderr);
    EXPECT_TRUE(testing::internal::RE::FullMatch(
        capture.Take(),
        "Read   : [0-9]+\\.[0-9]{6}\nProcess: [0-9.]+\nWrite  : [0-9.]+\nSearch : [0-9.]+\nClean  : [0-9.]+\n"));
    EXPECT_GT(images.GetTime(ExternalImageManager::ReadTime) + images.GetTime(ExternalImageManager::ProcessTime), 0.0);

    // Without a path manager the cache copy is the base name alone.
    GetGlobalState()->pathManager = nullptr;
    EXPECT_EQ(ExternalImageManager::CachePath("Data/Art.sif"), "Art.sif");
}

TEST_F(ExternalImageManagerTest, DamagedCompressedArchiveLeavesNoCacheAndNothingOpen) {
    sif::ArchiveWriter good, bad;
    good.AddImage("Pic", Solid(1, 1, 1, 1));
    ASSERT_TRUE(good.WriteFile("Good.sif", true));
    bad.AddImage("Pic", Gradient(100, 100));
    std::vector<uint8_t> stream = bad.Build(true);
    stream.resize(stream.size() / 2);
    dir_.WriteFile("Cut\x1b[2J.sif", AsText(stream));  // a name that holds an escape
    dir_.WriteFile("Empty.sif", "");

    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFile("Good.sif"));
    for (const auto& [name, shown] :
         {std::pair{"Cut\x1b[2J.sif", "Cut\\x1b[2J.sif"}, std::pair{"Empty.sif", "Empty.sif"}}) {
        testsupport::StderrCapture capture;
        EXPECT_FALSE(images.OpenFile(name));
        EXPECT_EQ(capture.Take(), std::string("ExternalImageManager::OpenFile - Warning, ") + shown +
                                      " is damaged (inflate error -3)\n");
        EXPECT_FALSE(images.IsOpen());
        EXPECT_EQ(testsupport::FileNames("Cache"), std::set<std::string>{"Good.sif"});
    }
    // A good archive still opens afterwards.
    EXPECT_TRUE(images.OpenFile("Good.sif"));
}

TEST_F(ExternalImageManagerTest, FoldersAndEmptyFilesInPlaceOfArchivesAreRefused) {
    sif::ArchiveWriter writer;
    writer.AddImage("Pic", Solid(1, 2, 3, 4));
    ASSERT_TRUE(writer.WriteFile("Good.sif", true));
    fs::create_directories("Folder.sif");
    fs::create_directories("Cache/Shadowed.sif");  // a folder where the cache copy would be
    ASSERT_TRUE(writer.WriteFile("Shadowed.sif", true));
    dir_.WriteFile("Empty.sif", "");
    struct Case {
        const char* what;
        bool compressed;
        const char* path;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"folder, uncompressed", false, "Folder.sif",
         "ExternalImageManager::OpenFileUncompressed - Warning, cannot read Folder.sif\n"},
        {"folder, compressed", true, "Folder.sif",
         "ExternalImageManager::OpenFile - Warning, cannot read Folder.sif\n"},
        {"folder as cache copy", true, "Shadowed.sif",
         "ExternalImageManager::OpenFile - Warning, cannot read Cache/Shadowed.sif\n"},
        {"empty, uncompressed", false, "Empty.sif",
         "ExternalImageManager::OpenFileUncompressed - Warning, Empty.sif is damaged (shorter than its header)\n"},
    };
    ExternalImageManager images;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(images.OpenFile("Good.sif"));
        testsupport::StderrCapture capture;
        EXPECT_FALSE(c.compressed ? images.OpenFile(c.path) : images.OpenFileUncompressed(c.path));
        EXPECT_EQ(capture.Take(), c.line);
        EXPECT_FALSE(images.IsOpen());
    }
}

TEST_F(ExternalImageManagerTest, ImagesOutliveTheArchiveAndItsReplacedCacheCopy) {
    sif::ArchiveWriter first, second;
    first.AddImage("Pic", Gradient(16, 4));
    second.AddImage("Pic", Solid(9, 8, 7, 6));
    ASSERT_TRUE(first.WriteFile("Art.sif", true));

    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFile("Art.sif"));  // inflated now
    std::unique_ptr<BitmapWrapper> fresh(images.GetBitmapFromActiveFile("Pic"));
    ASSERT_TRUE(images.OpenFile("Art.sif"));  // read from the cache copy
    std::unique_ptr<BitmapWrapper> cached(images.GetBitmapFromActiveFile("Pic"));
    // The cache copy is replaced on disk while the archive is open: what is
    // open stays as it was read.
    dir_.WriteFile("Cache/Art.sif.new", AsText(second.BuildLayout(true)));
    fs::rename("Cache/Art.sif.new", "Cache/Art.sif");
    std::unique_ptr<BitmapWrapper> stillOpen(images.GetBitmapFromActiveFile("Pic"));
    images.CloseFile();
    for (BitmapWrapper* picture : {fresh.get(), cached.get(), stillOpen.get()}) {
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->GetWidth(), 16);
        EXPECT_EQ(PixelAt(picture, 15, 3), (Rgba{15, 3, 18, 200}));
    }
    // The next open reads the new copy.
    ASSERT_TRUE(images.OpenFile("Art.sif"));
    std::unique_ptr<BitmapWrapper> replaced(images.GetBitmapFromActiveFile("Pic"));
    ASSERT_TRUE(replaced);
    EXPECT_EQ(PixelAt(replaced.get(), 0, 0), (Rgba{9, 8, 7, 6}));
}

TEST_F(ExternalImageManagerTest, DamagedTablesAreRefusedWhole) {
    const std::string header(ExternalImageManager::kUncompressedHeaderSize, 'h');
    struct Case {
        const char* what;
        std::vector<uint8_t> body;  // after the header
        const char* reason;
    };
    std::vector<Case> cases = {
        {"no count", {1, 2}, "shorter than its header"},
        {"huge count", Cat({U32(0xFFFFFFFF), {3, 'a', 'b', 'c'}, U32(0)}), "entry count larger than the file"},
        {"name past the end", Cat({U32(1), {200, 'a', 'b', 'c', 'd'}}), "entry table runs past the end"},
        {"offset past the end", Cat({U32(1), {1, 'a'}, U32(0x7FFFFFF0), U32(0), U32(0)}), "data offset past the end"},
        {"offset near 4 GiB", Cat({U32(1), {1, 'a'}, U32(0xFFFFFFFC), U32(0), U32(0)}), "data offset past the end"},
        {"second entry cut", Cat({U32(2), {1, 'a'}, U32(19), {9, 'b', 'c', 'd'}}), "entry table runs past the end"},
    };
    sif::ArchiveWriter goodWriter;
    goodWriter.AddImage("Pic", Solid(1, 1, 1, 1));
    ASSERT_TRUE(goodWriter.WriteFile("Good.sif", false));

    ExternalImageManager images;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dir_.WriteFile("Bad.sif", header + AsText(c.body));
        ASSERT_TRUE(images.OpenFileUncompressed("Good.sif"));
        testsupport::StderrCapture capture;
        EXPECT_FALSE(images.OpenFileUncompressed("Bad.sif"));
        EXPECT_EQ(capture.Take(),
                  std::string("ExternalImageManager::OpenFileUncompressed - Warning, Bad.sif is damaged (") + c.reason +
                      ")\n");
        EXPECT_FALSE(images.IsOpen());
        EXPECT_EQ(images.GetEntryCount(), 0);
    }
    // The same table checks hold for the inflated copy of a compressed archive.
    std::vector<uint8_t> layout = Cat({std::vector<uint8_t>(17, 'h'), U32(1000)});
    dir_.WriteFile("BadZ.sif", AsText(sif::Compress(layout)));
    testsupport::StderrCapture capture;
    EXPECT_FALSE(images.OpenFile("BadZ.sif"));
    EXPECT_EQ(capture.Take(),
              "ExternalImageManager::OpenFile - Warning, BadZ.sif is damaged (entry count larger than the file)\n");
    EXPECT_FALSE(images.IsOpen());
    // No cache copy is kept of it, so a mended archive is read next time.
    EXPECT_EQ(testsupport::FileNames("Cache"), std::set<std::string>{});
}

TEST_F(ExternalImageManagerTest, DamagedRecordsGiveNullAndKeepTheArchiveOpen) {
    sif::ArchiveWriter writer;
    writer.AddImage("Good", Solid(9, 9, 9, 9));
    // 2^31 x 2^31 pixels: 4 bytes each wraps 64 bits.
    writer.AddRawRecord("Wrap", Cat({U32(0x80000000), U32(0x80000000), {0}, U32(0)}));
    writer.AddRawRecord("Huge", Cat({U32(0xFFFFFFFF), U32(0xFFFFFFFF), {0}}));
    writer.AddRawRecord("ZeroWide", Cat({U32(0), U32(4), {0}}));
    writer.AddRawRecord("ZeroTrim", Cat({U32(4), U32(4), {1}, U32(0), U32(0), U32(0), U32(4)}));
    writer.AddRawRecord("PalHuge", Cat({U32(0x40000000), U32(0x40000000), U32(0)}));
    writer.AddRawRecord("PalEmpty", Cat({U32(0), U32(5)}));
    // The last record: an image header of 9 bytes that has only 8.
    writer.AddRawRecord("Tail", Cat({U32(1), U32(1)}));
    ASSERT_TRUE(writer.WriteFile("Damaged.sif", false));

    ExternalImageManager images;
    ASSERT_TRUE(images.OpenFileUncompressed("Damaged.sif"));
    struct Expect {
        const char* name;
        const char* reason;
    };
    for (const Expect& e : {Expect{"Wrap", "pixels past the end"}, Expect{"Huge", "pixels past the end"},
                            Expect{"ZeroWide", "empty image"}, Expect{"ZeroTrim", "empty image"},
                            Expect{"Tail", "image record past the end"}}) {
        testsupport::StderrCapture capture;
        EXPECT_EQ(images.GetBitmapFromActiveFile(e.name), nullptr) << e.name;
        EXPECT_EQ(capture.Take(), std::string("ExternalImageManager::GetBitmapFromActiveFile - Warning, ") + e.name +
                                      " is damaged (" + e.reason + ")\n");
    }
    {
        testsupport::StderrCapture capture;
        EXPECT_EQ(images.GetPaletteFromActiveFile("PalHuge"), nullptr);
        EXPECT_EQ(images.GetPaletteFromActiveFile("PalEmpty"), nullptr);
        EXPECT_EQ(
            capture.Take(),
            "ExternalImageManager::GetPaletteFromActiveFile - Warning, PalHuge is damaged (colours past the end)\n"
            "ExternalImageManager::GetPaletteFromActiveFile - Warning, PalEmpty is damaged (empty palette)\n");
    }
    EXPECT_TRUE(images.IsOpen());
    std::unique_ptr<BitmapWrapper> good(images.GetBitmapFromActiveFile("Good"));
    ASSERT_TRUE(good);
    EXPECT_EQ(PixelAt(good.get(), 0, 0)[0], 9);

    // Records at the end of a file: pixels one byte short; a trim rectangle cut.
    struct Last {
        const char* name;
        std::vector<uint8_t> record;
        const char* reason;
    };
    for (const Last& last :
         {Last{"Short", Cat({U32(2), U32(2), {0}, std::vector<uint8_t>(15, 0)}), "pixels past the end"},
          Last{"TrimCut", Cat({U32(2), U32(2), {1}, U32(0), U32(0)}), "image record past the end"}}) {
        sif::ArchiveWriter lastWriter;
        lastWriter.AddRawRecord(last.name, last.record);
        ASSERT_TRUE(lastWriter.WriteFile("Last.sif", false));
        ASSERT_TRUE(images.OpenFileUncompressed("Last.sif"));
        testsupport::StderrCapture capture;
        EXPECT_EQ(images.GetBitmapFromActiveFile(last.name), nullptr);
        EXPECT_EQ(capture.Take(), std::string("ExternalImageManager::GetBitmapFromActiveFile - Warning, ") + last.name +
                                      " is damaged (" + last.reason + ")\n");
    }
}

}  // namespace

namespace {

// While deferred, a fresh inflate leaves the disk alone: the archive opens
// from memory (again too, with its file gone) until the held copies are
// written, exactly as they would have been; then opens write at once again.
TEST_F(ExternalImageManagerTest, DeferredCacheCopiesAreWrittenLaterAndServeMeanwhile) {
    sif::ArchiveWriter first, second;
    first.AddImage("Pic", Gradient(6, 4));
    second.AddImage("Other", Solid(1, 2, 3, 4));
    fs::create_directories("Data");
    ASSERT_TRUE(first.WriteFile("Data/Art.sif", true));
    ASSERT_TRUE(second.WriteFile("Data/More.sif", true));

    ExternalImageManager images;
    images.DeferCacheCopies(true);
    testsupport::StderrCapture capture;
    ASSERT_TRUE(images.OpenFile("Data/Art.sif"));
    EXPECT_FALSE(fs::exists("Cache/Art.sif"));
    EXPECT_EQ(images.PendingCacheCopyCount(), 1u);
    images.CloseFile();

    fs::remove("Data/Art.sif");
    ASSERT_TRUE(images.OpenFile("Data\\Art.sif"));
    EXPECT_EQ(images.PendingCacheCopyCount(), 1u);
    std::unique_ptr<BitmapWrapper> pic(images.GetBitmapFromActiveFile("Pic"));
    ASSERT_TRUE(pic);
    EXPECT_EQ(PixelAt(pic.get(), 5, 3), (Rgba{5, 3, 8, 200}));
    images.CloseFile();

    EXPECT_EQ(images.WritePendingCacheCopies(), 1);
    EXPECT_EQ(images.PendingCacheCopyCount(), 0u);
    EXPECT_EQ(testsupport::ReadFile("Cache/Art.sif"), AsText(first.BuildLayout(true)));
    EXPECT_EQ(testsupport::FileNames("Cache"), std::set<std::string>{"Art.sif"});
    EXPECT_EQ(images.WritePendingCacheCopies(), 0);

    ASSERT_TRUE(images.OpenFile("Data/More.sif"));
    EXPECT_TRUE(fs::exists("Cache/More.sif"));
    EXPECT_EQ(images.PendingCacheCopyCount(), 0u);
    EXPECT_EQ(capture.Take(), "");
}

// A cache copy that cannot be written says why, held (a folder stands where
// it goes) or written at once (the disk is full: no file grows past 4 KiB);
// a held one's archive opened and read all the same, nothing is left in the
// cache folder, and the next run simply inflates it again.
TEST_F(ExternalImageManagerTest, CacheCopiesThatCannotBeWrittenSayWhy) {
    sif::ArchiveWriter writer;
    writer.AddImage("Pic", Gradient(64, 64));  // 16 KiB of pixels
    fs::create_directories("Data");
    ASSERT_TRUE(writer.WriteFile("Data/Art.sif", true));
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "held" : "written at once");
        ExternalImageManager images;
        images.DeferCacheCopies(held);
        testsupport::StderrCapture capture;
        testsupport::FileSizeLimit full(held ? RLIM_INFINITY : 4096);
        ASSERT_EQ(images.OpenFile("Data/Art.sif"), held);
        EXPECT_TRUE(!held || std::unique_ptr<BitmapWrapper>(images.GetBitmapFromActiveFile("Pic")));
        images.CloseFile();
        if (held) fs::create_directories("Cache/Art.sif/in-the-way");
        EXPECT_EQ(images.WritePendingCacheCopies(), 0);
        EXPECT_EQ(capture.Take(),
                  std::string("ExternalImageManager::OpenFile - Warning, cannot create Cache/Art.sif (") +
                      std::strerror(held ? EISDIR : EFBIG) + ")\n");
        EXPECT_EQ(images.PendingCacheCopyCount(), 0u);
        EXPECT_EQ(testsupport::FileNames("Cache"), held ? std::set<std::string>{"Art.sif"} : std::set<std::string>{});
    }
}

}  // namespace
