#include "ArchiveWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PictureFiles.h"
#include "support/AllegroTestEnv.h"
#include "support/TempDir.h"

namespace {

sif::Picture Blank(uint32_t width, uint32_t height) {
    sif::Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    return picture;
}

void Put(sif::Picture& picture, uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
    p[0] = r, p[1] = g, p[2] = b, p[3] = a;
}

TEST(ArchiveWriterTest, LayoutHasHeaderTableAndRecordsAtTheirOffsets) {
    sif::ArchiveWriter writer;
    sif::Picture picture = Blank(2, 1);
    Put(picture, 1, 0, 10, 20, 30, 40);
    ASSERT_TRUE(writer.AddImage("Img", picture));
    ASSERT_TRUE(writer.AddPalette("P", {{sif::Colour{0x44, 0x33, 0x22, 0x11}}}));

    for (bool compressed : {true, false}) {
        std::vector<uint8_t> bytes = writer.BuildLayout(compressed);
        size_t header = compressed ? 17 : 19;
        // Count, then "Img" and "P" with their offsets: the records follow the
        // table directly, in entry order.
        uint32_t image = static_cast<uint32_t>(header + 4 + 8 + 6), palette = image + 9 + 8;
        std::vector<uint8_t> expected(bytes.begin(), bytes.begin() + header);
        sif::AppendU32(expected, 2);
        expected.insert(expected.end(), {3, 'I', 'm', 'g'});
        sif::AppendU32(expected, image);
        expected.insert(expected.end(), {1, 'P'});
        sif::AppendU32(expected, palette);
        for (uint32_t v : {2u, 1u}) sif::AppendU32(expected, v);
        expected.insert(expected.end(), {0, 0, 0, 0, 0, 10, 20, 30, 40});
        for (uint32_t v : {1u, 1u}) sif::AppendU32(expected, v);
        expected.insert(expected.end(), {0x11, 0x22, 0x33, 0x44});  // colours stored A, B, G, R
        EXPECT_EQ(bytes, expected);
    }
    // A compressed archive is the same layout as one zlib stream.
    std::vector<uint8_t> stream = writer.Build(true);
    std::vector<uint8_t> layout = writer.BuildLayout(true);
    std::vector<uint8_t> inflated(layout.size());
    uLongf size = inflated.size();
    ASSERT_EQ(uncompress(inflated.data(), &size, stream.data(), stream.size()), Z_OK);
    EXPECT_EQ(inflated, layout);
}

TEST(ArchiveWriterTest, TrimmingKeepsTheVisibleRectangleAndItsPlace) {
    sif::Picture picture = Blank(16, 12);
    Put(picture, 3, 4, 1, 2, 3, 255);
    Put(picture, 9, 7, 4, 5, 6, 1);
    sif::TrimRect rect = sif::FindTrimRect(picture);
    EXPECT_EQ(rect.x, 3u);
    EXPECT_EQ(rect.y, 4u);
    EXPECT_EQ(rect.width, 7u);
    EXPECT_EQ(rect.height, 4u);
    std::vector<uint8_t> cropped = sif::CropPixels(picture, rect);
    ASSERT_EQ(cropped.size(), 7u * 4u * 4u);
    EXPECT_EQ(cropped[0], 1);
    EXPECT_EQ(cropped[(3 * 7 + 6) * 4 + 2], 6);

    sif::TrimRect none = sif::FindTrimRect(Blank(5, 5));
    EXPECT_EQ(none.width, 1u);
    EXPECT_EQ(none.height, 1u);
}

TEST(ArchiveWriterTest, RefusesOverlongNamesAndWritesAtomically) {
    sif::ArchiveWriter writer;
    EXPECT_FALSE(writer.AddImage(std::string(256, 'n'), Blank(1, 1)));  // the length byte cannot hold it
    EXPECT_TRUE(writer.AddImage(std::string(255, 'n'), Blank(1, 1)));
    EXPECT_FALSE(writer.AddPalette("Empty", {{}}));  // the reader refuses palettes without colours
    testsupport::TempDir dir;
    ASSERT_TRUE(writer.WriteFile("Out.sif", true));
    EXPECT_FALSE(std::filesystem::exists("Out.sif.part"));
    EXPECT_FALSE(writer.WriteFile("Missing/Out.sif", true));
    EXPECT_NE(writer.GetLastError().find("Missing/Out.sif"), std::string::npos);
}

TEST(ArchiveWriterTest, PicturesSurviveThePngRoundTrip) {
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    sif::Picture picture = Blank(3, 2);
    Put(picture, 0, 0, 200, 100, 50, 255);
    Put(picture, 2, 1, 200, 100, 50, 128);
    std::string error;
    ASSERT_TRUE(sif::SavePicture("p.png", picture, error)) << error;
    sif::Picture loaded;
    ASSERT_TRUE(sif::LoadPicture("p.png", loaded, error)) << error;
    ASSERT_EQ(loaded.width, 3u);
    ASSERT_EQ(loaded.height, 2u);
    EXPECT_EQ(std::vector<uint8_t>(loaded.rgba.begin(), loaded.rgba.begin() + 4),
              (std::vector<uint8_t>{200, 100, 50, 255}));
    // Loaded pictures carry premultiplied alpha, as the engine draws them.
    const uint8_t* half = &loaded.rgba[(1 * 3 + 2) * 4];
    EXPECT_NEAR(half[0], 100, 1);
    EXPECT_NEAR(half[1], 50, 1);
    EXPECT_EQ(half[3], 128);
    EXPECT_EQ(loaded.rgba[4 + 3], 0);
    EXPECT_FALSE(sif::LoadPicture("nothing.png", loaded, error));
    EXPECT_NE(error.find("nothing.png"), std::string::npos);
}

}  // namespace
