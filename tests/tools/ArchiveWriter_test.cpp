#include "ArchiveWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "PictureFiles.h"
#include "support/AllegroTestEnv.h"
#include "support/TempDir.h"

namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

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
        size_t at = compressed ? 17 : 19;
        ASSERT_EQ(U32At(bytes, at), 2u);
        at += 4;
        ASSERT_EQ(bytes[at], 3);
        EXPECT_EQ(std::string(bytes.begin() + at + 1, bytes.begin() + at + 4), "Img");
        uint32_t imageOffset = U32At(bytes, at + 4);
        at += 8;
        ASSERT_EQ(bytes[at], 1);
        EXPECT_EQ(bytes[at + 1], 'P');
        uint32_t paletteOffset = U32At(bytes, at + 2);
        at += 6;
        // Records follow the table directly, in entry order.
        EXPECT_EQ(imageOffset, at);
        EXPECT_EQ(U32At(bytes, imageOffset), 2u);
        EXPECT_EQ(U32At(bytes, imageOffset + 4), 1u);
        EXPECT_EQ(bytes[imageOffset + 8], 0);
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + imageOffset + 13, bytes.begin() + imageOffset + 17),
                  (std::vector<uint8_t>{10, 20, 30, 40}));
        EXPECT_EQ(paletteOffset, imageOffset + 9 + 8);
        EXPECT_EQ(U32At(bytes, paletteOffset), 1u);
        EXPECT_EQ(U32At(bytes, paletteOffset + 4), 1u);
        // Colours are stored A, B, G, R.
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + paletteOffset + 8, bytes.end()),
                  (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44}));
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
