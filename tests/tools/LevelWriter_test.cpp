#include "LevelWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace {

TEST(LevelWriterTest, WorkingFileLayout) {
    plf::LevelWriter level(2, 3);
    ASSERT_TRUE(level.SetTile(256 + 1, 2 * 256 + 2, plf::Tile{0x11, 0x22, 0x33, 0x44, 0xABCD, 200}));
    EXPECT_FALSE(level.SetTile(512, 0, plf::Tile{}));
    std::vector<uint8_t> bytes = level.BuildWorkingFile();
    ASSERT_EQ(bytes.size(), 22u + 6u * plf::kRecordBytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 10, bytes.begin() + 22),
              (std::vector<uint8_t>{0x00, 0x00, 0x07, 0x00, 2, 0, 0, 0, 3, 0, 0, 0}));
    // Chunk (1, 2) is the sixth record (column by column); tile (1, 2) is
    // cell 1 x 256 + 2 (x outer).
    const size_t record = 22 + (1 * 3 + 2) * size_t{plf::kRecordBytes}, cell = 1 * 256 + 2;
    EXPECT_EQ(bytes[record + cell * 4 + 0], 0x44);  // alpha, blue, green, red
    EXPECT_EQ(bytes[record + cell * 4 + 1], 0x33);
    EXPECT_EQ(bytes[record + cell * 4 + 2], 0x22);
    EXPECT_EQ(bytes[record + cell * 4 + 3], 0x11);
    EXPECT_EQ(bytes[record + 262144 + cell * 2], 0xCD);
    EXPECT_EQ(bytes[record + 262144 + cell * 2 + 1], 0xAB);
    EXPECT_EQ(bytes[record + 393216 + cell], 200);
    size_t nonZero = 0;
    for (size_t i = 22; i < bytes.size(); ++i) nonZero += bytes[i] != 0;
    EXPECT_EQ(nonZero, 7u);
    // Oversized levels are refused as empty rather than allocated.
    EXPECT_EQ(plf::LevelWriter(100000, 100000).Width(), 0u);
}

TEST(LevelWriterTest, DescriptionsScaleTheMapAndReportTheirLine) {
    std::string error;
    auto level = plf::ParseDescription(
        "# two tiles\nchunks 1 1\nscale 4\ntile . 1 2 3 255 free 0 flat\n"
        "tile W 9 9 9 255 blocked 130 brick # a wall\nmap\n.W\n\nW\n",
        error);
    ASSERT_TRUE(level) << error;
    EXPECT_EQ(level->GetTile(3, 3).r, 1);
    EXPECT_EQ(level->GetTile(4, 0).clip, 1);
    EXPECT_EQ(level->GetTile(7, 3).layer, 130);
    EXPECT_EQ(level->GetTile(8, 0).a, 0);  // past the row's end: untouched
    EXPECT_EQ(level->GetTile(0, 4).a, 0);  // the empty row
    EXPECT_EQ(level->GetTile(3, 11).clip, 1);

    auto fails = [](const std::string& text) {
        std::string why;
        EXPECT_FALSE(plf::ParseDescription(text, why)) << text;
        return why;
    };
    EXPECT_EQ(fails("chunks 1 1\nmap\n.\n"), "line 3: no tile kind for '.'");
    EXPECT_EQ(fails("map\n"), "line 1: map comes after the chunks line");
    EXPECT_EQ(fails("chunks 1 1\n"), "line 2: the description has no map");
    EXPECT_EQ(fails("chunks 0 1\n"), "line 1: chunks needs two sizes of at least 1, at most 1024 chunks in all");
    // Sizes whose product wraps around must not pass as a small level.
    EXPECT_EQ(fails("chunks 9223372036854775807 2\nmap\n"),
              "line 1: chunks needs two sizes of at least 1, at most 1024 chunks in all");
    EXPECT_EQ(fails("chunks 1 1\nscale 200\ntile . 0 0 0 0 free 0 flat\nmap\n..\n"),
              "line 5: the map reaches outside the level");
    EXPECT_EQ(fails("tile . 0 0 0 256 free 0 flat\n"), "line 1: colour and layer values run from 0 to 255");
    EXPECT_EQ(fails("tile . 0 0 0 0 solid 0 flat\n"), "line 1: a tile is free, blocked or rim, not solid");
    EXPECT_EQ(fails("tile . 0 0 0 0 free 0 plaid\n"), "line 1: unknown pattern plaid");
    EXPECT_EQ(fails("tiles\n"), "line 1: unknown word tiles");
}

// A rim tile blocks only the line of tiles along its border with other
// kinds, diagonal neighbours included; the level's edge is no border.
TEST(LevelWriterTest, RimTilesBlockOnlyTheirBorder) {
    std::string error;
    auto level = plf::ParseDescription(
        "chunks 1 1\nscale 4\ntile . 1 1 1 255 free 0 flat\ntile ~ 2 2 2 255 rim 0 flat\nmap\n~~.\n~~~\n", error);
    ASSERT_TRUE(level) << error;
    auto blockedRow = [&](uint32_t y) {
        std::string row;
        for (uint32_t x = 0; x < 12; ++x) row += level->GetTile(x, y).clip ? '#' : '-';
        return row;
    };
    EXPECT_EQ(blockedRow(0), "-------#----");
    EXPECT_EQ(blockedRow(3), "-------#----");
    EXPECT_EQ(blockedRow(4), "-------#####");
    EXPECT_EQ(blockedRow(5), "-----------#");  // column 12 holds no map
    EXPECT_EQ(blockedRow(7), "############");  // row 8 onwards holds no map: a border
    EXPECT_EQ(level->GetTile(1, 1).r, 2);
}

TEST(LevelWriterTest, FilesAreWrittenWhole) {
    testsupport::TempDir dir;
    plf::LevelWriter level(1, 1);
    level.SetTile(9, 8, plf::Tile{1, 2, 3, 4, 1, 0});
    std::string error;
    ASSERT_TRUE(level.WriteFile("Out.plf", error)) << error;
    EXPECT_FALSE(std::filesystem::exists("Out.plf.tmp"));
    const std::vector<uint8_t> bytes = level.BuildFile();
    EXPECT_EQ(testsupport::ReadFile("Out.plf"), std::string(bytes.begin(), bytes.end()));
    EXPECT_FALSE(level.WriteFile("NoFolder/Out.plf", error));
    EXPECT_EQ(error, "cannot write NoFolder/Out.plf.tmp");
}

// The sample game's level: its description packs, the lake blocks and the
// tree canopies stand over the entities.
TEST(LevelWriterTest, SampleLevelDescription) {
    const std::string text = testsupport::ReadFile(QEL_SOURCE_DIR "/tools/levels/DebugRoom.txt");
    ASSERT_FALSE(text.empty());
    std::string error;
    auto level = plf::ParseDescription(text, error);
    ASSERT_TRUE(level) << error;
    EXPECT_EQ(level->ChunksX(), 4u);
    EXPECT_EQ(level->ChunksY(), 4u);
    size_t blocked = 0, over = 0, empty = 0;
    for (uint32_t x = 0; x < level->Width(); ++x) {
        for (uint32_t y = 0; y < level->Height(); ++y) {
            plf::Tile tile = level->GetTile(x, y);
            blocked += tile.clip != 0;
            over += tile.layer >= 128;
            empty += tile.a == 0;
        }
    }
    EXPECT_GT(blocked, 2000u);
    EXPECT_GT(over, 5000u);
    EXPECT_EQ(empty, 0u);  // the map covers the whole level
    // The middle of the lake: free water under the entities, inside its rim.
    EXPECT_FALSE(level->GetTile(92 * 8, 26 * 8).clip);
    EXPECT_LT(level->GetTile(92 * 8, 26 * 8).layer, 128);
}

}  // namespace
