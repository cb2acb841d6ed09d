#include "maps/ChunkStreamer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "LevelFiles.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "maps/Chunk.h"
#include "maps/DeferredJobQueue.h"
#include "support/AllegroTestEnv.h"
#include "support/PixelRead.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/Camera.h"

using testsupport::ColourOf;
using testsupport::PixelAt;
using testsupport::Rgba;
using testsupport::StderrCapture;

namespace {

std::string Activity(const ChunkStreamer& streamer) {
    std::string rows;
    for (int y = 0; y < streamer.GetCountY(); ++y) {
        for (int x = 0; x < streamer.GetCountX(); ++x) rows += streamer.IsActive(x, y) ? '#' : '.';
        rows += '/';
    }
    return rows;
}

// The working files in the current folder, by name.
std::set<std::string> WorkingFiles() {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (ChunkStreamer::IsWorkingFileName(entry.path().filename().string()))
            names.insert(entry.path().filename().string());
    return names;
}

class ChunkStreamerTest : public ::testing::Test {
protected:
    ChunkStreamerTest() { testsupport::EnsureAllegro(); }
    // Opens a level file written from the writer; what it printed.
    std::string OpenLevel(ChunkStreamer& streamer, const std::string& bytes, int32_t expected = 0) {
        dir.WriteFile("Level.plf", bytes);
        StderrCapture cap;
        EXPECT_EQ(streamer.Open("Level.plf"), expected);
        return cap.Take();
    }
    testsupport::TempDir dir;
};

TEST_F(ChunkStreamerTest, WindowFollowsTheCentreAndShiftsInwardAtEdges) {
    ChunkStreamer streamer;
    ASSERT_EQ(OpenLevel(streamer, testlevels::LevelFile(plf::LevelWriter(10, 10))), "");
    EXPECT_EQ(streamer.GetCountX(), 10);
    EXPECT_EQ(streamer.GetChunkSize(), Chunk::kRecordBytes);
    EXPECT_EQ(WorkingFiles(), std::set<std::string>{streamer.GetWorkingFileName()});

    auto window = [&](int cx, int cy, int x0, int y0) {
        streamer.SetCentre(cx, cy);
        for (int x = 0; x < 10; ++x)
            for (int y = 0; y < 10; ++y)
                ASSERT_EQ(streamer.IsActive(x, y), x >= x0 && x < x0 + 5 && y >= y0 && y < y0 + 5)
                    << "centre " << cx << "," << cy << " slot " << x << "," << y;
    };
    window(0, 0, 0, 0);
    window(9, 9, 5, 5);
    window(5, 5, 3, 3);
    window(-40, 70, 0, 5);

    // The load pass holds exactly the window's chunks, ready at once.
    streamer.SetCentre(0, 0);
    streamer.LoadPass();
    ASSERT_NE(streamer.GetChunkAt(4 * 256 + 255, 4 * 256), nullptr);
    EXPECT_TRUE(streamer.GetChunkAt(0, 0)->IsReady());
    EXPECT_EQ(streamer.GetChunkAt(5 * 256, 0), nullptr);
    // Negative coordinates lie in no chunk; every point there is free.
    EXPECT_EQ(streamer.GetChunkAt(-1, 0), nullptr);
    EXPECT_FALSE(streamer.IsBlocked(-1, -300));
    streamer.SetCentre(9, 9);
    streamer.LoadPass();
    EXPECT_EQ(streamer.GetChunkAt(0, 0), nullptr);
    EXPECT_NE(streamer.GetChunkAt(9 * 256, 9 * 256), nullptr);

    // A second level on an open streamer changes nothing.
    EXPECT_EQ(OpenLevel(streamer, testlevels::TinyLevel(), -1), "");
    EXPECT_EQ(streamer.GetCountX(), 10);

    streamer.Close();
    EXPECT_TRUE(WorkingFiles().empty());
    EXPECT_EQ(streamer.GetChunkAt(9 * 256, 9 * 256), nullptr);

    // A level of one chunk: that chunk, wherever the centre is; smaller
    // levels are covered whole. Two levels open at once, as two games in
    // one folder, each have a working file of their own, and closing one
    // leaves the other's.
    ChunkStreamer tiny;
    OpenLevel(tiny, testlevels::TinyLevel());
    tiny.SetCentre(100, -100);
    EXPECT_EQ(Activity(tiny), "#/");
    ChunkStreamer small;
    OpenLevel(small, testlevels::LevelFile(plf::LevelWriter(3, 2)));
    EXPECT_EQ(WorkingFiles().size(), 2u);
    tiny.Close();
    EXPECT_EQ(WorkingFiles().size(), 1u);
    small.SetCentre(2, 0);
    EXPECT_EQ(Activity(small), "###/###/");

    // A leftover is a working file that no open level claims, whatever its
    // name holds (a running process's id once kept one); the one a game
    // claims stays, as `small`'s does here. Other names are no working files.
    for (const char* name :
         {"ActiveChunks.abcdef.pcf", "ActiveChunks.1.abcdef.pcf", "ActiveChunks.pcf", "ActiveChunks.a-b.pcf"})
        dir.WriteFile(name, "");
    EXPECT_EQ(ChunkStreamer::RemoveLeftoverWorkingFiles(), 2);
    EXPECT_EQ(WorkingFiles(), std::set<std::string>{small.GetWorkingFileName()});
    EXPECT_TRUE(std::filesystem::exists("ActiveChunks.pcf") && std::filesystem::exists("ActiveChunks.a-b.pcf"));
}

TEST_F(ChunkStreamerTest, CellsLandInTheirChunkTileAndLayer) {
    plf::LevelWriter level(2, 2);
    // Transposing x and y, or the chunk order, moves these apart.
    level.SetTile(256 + 1, 0, plf::Tile{10, 20, 30, 255, 0, 127});    // chunk (1, 0), tile (1, 0)
    level.SetTile(256, 1, plf::Tile{40, 50, 60, 255, 0, 128});        // chunk (1, 0), tile (0, 1)
    level.SetTile(3, 256 + 2, plf::Tile{0, 0, 0, 0, 1, 0});           // chunk (0, 1), tile (3, 2): blocked
    level.SetTile(511, 511, plf::Tile{200, 100, 50, 128, 0x100, 0});  // high byte of the clip value
    ChunkStreamer streamer;
    ASSERT_EQ(OpenLevel(streamer, testlevels::LevelFile(level)), "");
    streamer.SetCentre(0, 0);
    streamer.LoadPass();

    Chunk* east = streamer.GetChunkAt(256, 0);
    ASSERT_NE(east, nullptr);
    EXPECT_EQ(east->GetLayer(1, 0), 127);
    EXPECT_EQ(east->GetLayer(0, 1), 128);
    // Layer 127 is drawn under the entities, 128 over them.
    EXPECT_EQ(PixelAt(east->GetBackground(), 1, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(PixelAt(east->GetForeground(), 1, 0), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(PixelAt(east->GetForeground(), 0, 1), (Rgba{40, 50, 60, 255}));
    EXPECT_EQ(PixelAt(east->GetBackground(), 0, 1), (Rgba{0, 0, 0, 0}));

    // A blocked tile shows as an opaque blue square over everything.
    EXPECT_TRUE(streamer.IsBlocked(3, 256 + 2));
    EXPECT_FALSE(streamer.IsBlocked(2, 256 + 3));
    EXPECT_EQ(PixelAt(streamer.GetChunkAt(0, 256)->GetForeground(), 3, 2), (Rgba{0, 0, 255, 255}));
    EXPECT_TRUE(streamer.IsBlocked(511, 511));
    ALLEGRO_COLOR colour = streamer.GetChunkAt(511, 511)->GetColour(255, 255);
    EXPECT_EQ(ColourOf(colour), (Rgba{200, 100, 50, 128}));

    // Drawing puts each chunk at its world position less the camera's.
    Camera camera(250, 0, 16, 16);
    BitmapWrapper target(16, 16, nullptr);
    target.ClearToTransparent();
    target.SetAsTarget();
    streamer.DrawBackground(&camera);
    EXPECT_EQ(PixelAt(&target, 7, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(PixelAt(&target, 6, 1), (Rgba{0, 0, 0, 0}));
    streamer.DrawForeground(&camera);
    EXPECT_EQ(PixelAt(&target, 6, 1), (Rgba{40, 50, 60, 255}));

    StderrCapture cap;
    EXPECT_FALSE(east->IsClipped(256, 0));
    EXPECT_FALSE(east->IsClipped(0, -1));
    EXPECT_EQ(cap.Take(), "Clip was out of the Chunk's range\nClip was out of the Chunk's range\n");
}

TEST_F(ChunkStreamerTest, BadLevelsAreRefusedAndLeaveNothingBehind) {
    const std::string good = testlevels::LevelFile(plf::LevelWriter(1, 2));
    {
        ChunkStreamer streamer;
        StderrCapture cap;
        EXPECT_EQ(streamer.Open("Missing\x1b[2J.plf"), -2);
        EXPECT_EQ(cap.Take(), "Warning:  Couldn't open level Missing\\x1b[2J.plf, file not found\n");
    }
    // A refused level leaves no working file, and another game's untouched.
    auto refused = [&](const std::string& bytes, const std::string& why, rlim_t diskFullAt = RLIM_INFINITY) {
        ChunkStreamer streamer;
        testsupport::FileSizeLimit full(diskFullAt);
        dir.WriteFile("ActiveChunks.1.abcdef.pcf", "before");
        std::string out = OpenLevel(streamer, bytes, -2);
        EXPECT_EQ(out, "Warning:  Couldn't open level Level.plf, " + why + "\n");
        EXPECT_FALSE(streamer.IsOpen());
        EXPECT_EQ(streamer.GetCountX(), 0);
        EXPECT_EQ(testsupport::ReadFile("ActiveChunks.1.abcdef.pcf"), "before");
        EXPECT_EQ(WorkingFiles(), std::set<std::string>{"ActiveChunks.1.abcdef.pcf"});
        streamer.SetCentre(0, 0);
        streamer.LoadPass();
        EXPECT_FALSE(streamer.IsBlocked(0, 0));
    };
    refused(good.substr(0, good.size() / 2), "the level data is damaged");
    refused(good, std::string("cannot write the working file (") + std::strerror(EFBIG) + ")", 64 * 1024);
    refused("not a zlib stream", "the level data is damaged");
    refused(testlevels::Bytes(plf::LevelWriter::Compress(std::vector<uint8_t>(21, 0))),
            "the level header is incomplete");

    // Headers that promise more than the data holds.
    std::vector<uint8_t> working = plf::LevelWriter(1, 2).BuildWorkingFile();
    auto withHeader = [&](uint32_t chunkSize, uint32_t x, uint32_t y) {
        std::vector<uint8_t> bytes = working;
        for (int i = 0; i < 4; ++i) {
            bytes[10 + i] = static_cast<uint8_t>(chunkSize >> (8 * i));
            bytes[14 + i] = static_cast<uint8_t>(x >> (8 * i));
            bytes[18 + i] = static_cast<uint8_t>(y >> (8 * i));
        }
        return testlevels::Bytes(plf::LevelWriter::Compress(bytes));
    };
    refused(withHeader(Chunk::kRecordBytes, 1, 3),
            "its header gives 1 x 3 chunks of 458752 bytes, which the level data does not hold");
    refused(withHeader(0, 65536, 65536),
            "its header gives 65536 x 65536 chunks of 0 bytes, which the level data does not hold");
    refused(withHeader(0xFFFFFFFFu, 0xFFFFFFFFu, 1),
            "its header gives 4294967295 x 1 chunks of 4294967295 bytes, which the level data does not hold");
    // The same header with counts the data holds opens.
    {
        ChunkStreamer streamer;
        EXPECT_EQ(OpenLevel(streamer, withHeader(Chunk::kRecordBytes, 2, 1)), "");
        EXPECT_EQ(streamer.GetCountX(), 2);
        EXPECT_EQ(streamer.RecordOffset(1, 0), 22u + Chunk::kRecordBytes);
    }
    // No chunks one way and a huge count the other: the level is empty, and
    // a tick must not walk two billion empty columns.
    ChunkStreamer empty;
    EXPECT_EQ(OpenLevel(empty, withHeader(Chunk::kRecordBytes, 0x7FFFFFFF, 0)), "");
    Camera camera(0, 0, 16, 16);
    empty.SetCentre(0, 0);
    empty.LoadPass();
    empty.DrawBackground(&camera);
    EXPECT_FALSE(empty.IsBlocked(0, 0));
}

TEST_F(ChunkStreamerTest, LoadChunkChecksItsInputs) {
    ChunkStreamer streamer;
    Chunk chunk;
    StderrCapture cap;
    EXPECT_EQ(streamer.LoadChunk(nullptr, 0, 0), -1);
    EXPECT_EQ(streamer.LoadChunk(&chunk, 0, 0), -1);
    EXPECT_EQ(cap.Take(),
              "LoadChunk:  Failed, passed invalid Chunk to read into\nLoadChunk:  Failed, file is not ready yet\n");
    ASSERT_EQ(OpenLevel(streamer, testlevels::TinyLevel()), "");
    StderrCapture again;
    EXPECT_EQ(streamer.LoadChunk(&chunk, 1, 0), -1);
    EXPECT_EQ(streamer.LoadChunk(&chunk, 0, -1), -1);
    EXPECT_FALSE(chunk.IsReady());
    EXPECT_EQ(streamer.LoadChunk(&chunk, 0, 0), 0);
    EXPECT_TRUE(chunk.IsReady());
    ChunkStreamer::LoadChunkPart(nullptr);
    EXPECT_EQ(again.Take(),
              "LoadChunk:  Failed, position out of range\nLoadChunk:  Failed, position out of range\n"
              "Load Chunk Part:  Failed, invalid Chunk Address\n");
}

TEST_F(ChunkStreamerTest, StagedLoadBuildsTheSameChunkAndDiesWithIt) {
    plf::LevelWriter level(1, 1);
    for (uint32_t x = 0; x < 256; x += 17)
        for (uint32_t y = 0; y < 256; y += 13)
            level.SetTile(
                x, y,
                plf::Tile{uint8_t(x), uint8_t(y), uint8_t(x ^ y), 255, uint16_t(x % 3 == 0), uint8_t((x + y) % 256)});
    ChunkStreamer streamer;
    ASSERT_EQ(OpenLevel(streamer, testlevels::LevelFile(level)), "");
    Chunk whole;
    ASSERT_EQ(streamer.LoadChunk(&whole, 0, 0), 0);

    GlobalState* state = GetGlobalState();
    DeferredJobQueue* saved = state->deferredJobs;
    DeferredJobQueue jobs;
    state->deferredJobs = &jobs;
    {
        Chunk staged;
        staged.QueueLoad(22);
        EXPECT_EQ(jobs.GetCount(), Chunk::kStageCount);
        for (int stage = 0; stage < Chunk::kStageCount; ++stage) {
            EXPECT_FALSE(staged.IsReady());
            staged.LoadStageFrom(streamer.GetWorkingFile());
        }
        EXPECT_TRUE(staged.IsReady());
        EXPECT_EQ(staged.GetFileOffset(), 22u + Chunk::kRecordBytes);
        for (int x = 0; x < 256; ++x) {
            for (int y = 0; y < 256; ++y) {
                ASSERT_EQ(staged.GetClip(x, y), whole.GetClip(x, y));
                ASSERT_EQ(staged.GetLayer(x, y), whole.GetLayer(x, y));
                ASSERT_TRUE(ColorsEqual(staged.GetColour(x, y), whole.GetColour(x, y)));
            }
        }
        EXPECT_EQ(PixelAt(staged.GetForeground(), 51, 26), PixelAt(whole.GetForeground(), 51, 26));
        EXPECT_EQ(PixelAt(staged.GetBackground(), 17, 13), PixelAt(whole.GetBackground(), 17, 13));
    }
    // The deleted chunk's jobs went with it.
    EXPECT_EQ(jobs.GetCount(), 0);

    // A record cut short ends the staged load with a line.
    Chunk late;
    late.QueueLoad(22 + 300000);
    jobs.Clear();
    StderrCapture cap;
    for (int stage = 0; stage < Chunk::kStageCount; ++stage) late.LoadStageFrom(streamer.GetWorkingFile());
    EXPECT_EQ(cap.Take(), "LoadChunk:  Failed, the level data ends inside the chunk\n");
    EXPECT_FALSE(late.IsReady());
    state->deferredJobs = saved;
}

}  // namespace

// With the shown areas given, the chunks they touch are read in the same
// pass and the rest of the window one per pass, nearest first; the level
// covers an area only where its chunks are built and opaque.
TEST_F(ChunkStreamerTest, ChunksOutOfSightAreBuiltOnePerPassNearestFirst) {
    plf::LevelWriter level(8, 8);
    plf::Tile opaque;
    opaque.r = 90;
    opaque.a = 255;
    for (uint32_t x = 0; x < level.Width(); ++x)
        for (uint32_t y = 0; y < level.Height(); ++y) level.SetTile(x, y, opaque);
    // One see-through tile in chunk (6, 6).
    level.SetTile(6 * 256 + 10, 6 * 256 + 10, plf::Tile{});
    ChunkStreamer streamer;
    ASSERT_EQ(OpenLevel(streamer, testlevels::LevelFile(level)), "");

    // The window is chunks 1..5 x 1..5; the area touches chunks 2..3 x 3.
    const std::vector<ChunkStreamer::ShownArea> shown = {{600, 800, 900, 1000}};
    streamer.SetCentre(3, 3);
    streamer.LoadPass(shown);
    for (int x = 2; x <= 3; ++x) ASSERT_NE(streamer.GetChunkAt(x * 256, 3 * 256), nullptr);
    EXPECT_EQ(streamer.CountPending(), 25 - 2 - 1);
    EXPECT_TRUE(streamer.CoversArea(shown[0]));
    EXPECT_FALSE(streamer.CoversArea({0, 0, 900, 1000}));  // chunk (0, 0) is not held
    // The one extra chunk of the first pass is next to the area.
    int nearby = 0;
    for (int x = 1; x <= 4; ++x)
        for (int y = 2; y <= 4; ++y) {
            const Chunk* chunk = streamer.GetChunkAt(x * 256, y * 256);
            nearby += chunk && chunk->IsReady() ? 1 : 0;
        }
    EXPECT_EQ(nearby, 3);

    int passes = 1;
    while (streamer.CountPending() > 0 && passes < 100) {
        const int before = streamer.CountPending();
        streamer.LoadPass(shown);
        ASSERT_EQ(streamer.CountPending(), before - 1);
        ++passes;
    }
    EXPECT_EQ(passes, 23);
    // The far corner of the window came last.
    for (int x = 1; x <= 5; ++x)
        for (int y = 1; y <= 5; ++y) EXPECT_TRUE(streamer.GetChunkAt(x * 256, y * 256)->IsReady());

    // Moving on: what left the window goes in the same pass, and an area
    // over a see-through tile is not covered.
    const std::vector<ChunkStreamer::ShownArea> corner = {{1500, 1500, 1700, 1700}};
    streamer.SetCentre(6, 6);
    streamer.LoadPass(corner);
    EXPECT_EQ(streamer.GetChunkAt(256, 256), nullptr);
    ASSERT_NE(streamer.GetChunkAt(6 * 256, 6 * 256), nullptr);
    EXPECT_FALSE(streamer.CoversArea(corner[0]));
    EXPECT_TRUE(streamer.CoversArea({1500, 1500, 1535, 1535}));
}
