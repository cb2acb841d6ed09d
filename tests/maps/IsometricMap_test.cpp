#include "maps/IsometricMap.h"

#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "IsoMapWriter.h"
#include "core/base/GlobalState.h"
#include "core/base/Random.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/IsoTexture.h"
#include "support/AllegroTestEnv.h"
#include "support/StderrCapture.h"
#include "world/Camera.h"

using testsupport::StderrCapture;

namespace {

// Reads bytes into a fresh map; returns the result and what was printed.
std::pair<int32_t, std::string> Read(IsometricMap& map, const std::string& bytes) {
    StderrCapture cap;
    const int32_t result = map.ReadData(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return {result, cap.Take()};
}

// A 3 x 2 x 2 map: ground everywhere except column (2, 1); a block on layer
// 1 at (1, 0).
slf::IsoMapWriter SmallMap() {
    slf::IsoMapWriter writer(3, 2, 2);
    writer.AddTexture("Grass");
    writer.SetFreeBytes("abcd", "free text");
    for (uint32_t x = 0; x < 3; ++x)
        for (uint32_t y = 0; y < 2; ++y)
            if (!(x == 2 && y == 1)) writer.SetBlock(x, y, 0, 0, -1, 5);
    writer.SetBlock(1, 0, 1, 0, 0, 0);
    return writer;
}

}  // namespace

TEST(IsometricMapTest, ReadsCellsInFileOrder) {
    IsometricMap map;
    EXPECT_FALSE(map.IsAllocated());
    auto [result, printed] = Read(map, SmallMap().Bytes());
    ASSERT_EQ(result, 0);
    EXPECT_EQ(printed, "");
    EXPECT_TRUE(map.IsAllocated());
    EXPECT_EQ(map.GetSizeX(), 3);
    EXPECT_EQ(map.GetSizeY(), 2);
    EXPECT_EQ(map.GetSizeZ(), 2);
    // Empty cells carry no texture indices, so the records after them are
    // still read in step.
    EXPECT_NE(map.GetBlock(0, 0, 0), nullptr);
    EXPECT_EQ(map.GetBlock(0, 0, 1), nullptr);
    EXPECT_NE(map.GetBlock(1, 0, 1), nullptr);
    EXPECT_EQ(map.GetBlock(2, 1, 0), nullptr);
    EXPECT_NE(map.GetBlock(2, 0, 0), nullptr);
    EXPECT_EQ(map.GetBlock(3, 0, 0), nullptr);
    EXPECT_EQ(map.GetBlock(0, 0, -1), nullptr);
    // Without a map manager there are no textures: every face is empty.
    EXPECT_TRUE(map.GetBlock(0, 0, 0)->GetFloor().empty());
    EXPECT_TRUE(map.GetBlock(0, 0, 0)->IsPresent());

    // Reading again replaces the grid.
    slf::IsoMapWriter empty(1, 1, 1);
    EXPECT_EQ(Read(map, empty.Bytes()).first, 0);
    EXPECT_EQ(map.GetSizeX(), 1);
    EXPECT_EQ(map.GetBlock(0, 0, 0), nullptr);
}

TEST(IsometricMapTest, DamagedOrForeignFilesAreRefusedAndChangeNothing) {
    IsometricMap map;
    ASSERT_EQ(Read(map, SmallMap().Bytes()).first, 0);

    EXPECT_EQ(map.ReadFile(nullptr), 1);
    // A foreign file's version bytes are printed as text, up to a zero byte,
    // with what a terminal would take as control written as escapes.
    const std::pair<std::string, std::string> foreign[] = {
        {"TamskLevel0001rest of it", "TamskLevel0001"},
        {std::string("\x1b[31mTamsk\x7f\xff\0M", 14) + "rest", "\\x1b[31mTamsk\\x7f\\xff"},
    };
    for (const auto& [bytes, shown] : foreign) {
        auto [result, printed] = Read(map, bytes);
        EXPECT_NE(result, 0);
        EXPECT_EQ(printed, "ReadFile:  FAILURE, " + shown + " it the wrong file version\n");
    }

    // Every cut of a good file is refused with one line, and the map read
    // before stays as it was.
    const std::string good = SmallMap().Bytes();
    for (size_t length = 0; length < good.size(); ++length) {
        auto [cutResult, cutPrinted] = Read(map, good.substr(0, length));
        EXPECT_NE(cutResult, 0) << length;
        EXPECT_NE(cutPrinted, "") << length;
        EXPECT_EQ(std::count(cutPrinted.begin(), cutPrinted.end(), '\n'), 1) << length;
    }
    EXPECT_EQ(map.GetSizeX(), 3);
    EXPECT_NE(map.GetBlock(1, 0, 1), nullptr);

    // Sizes that promise more cells than the file holds are refused before
    // anything is allocated, including products that would wrap.
    auto header = [] {
        std::string bytes = "TamskIsoMap1.0";
        bytes += std::string(4, '\0') + '\0';
        slf::IsoMapWriter::PutU32(bytes, 0);
        return bytes;
    };
    for (auto [x, y, z] : std::vector<std::array<uint32_t, 3>>{
             {0x10000, 0x10000, 0x10000}, {0xffffffff, 1, 1}, {2, 2, 2}, {65536, 65536, 1}}) {
        std::string bytes = header();
        slf::IsoMapWriter::PutU32(bytes, x);
        slf::IsoMapWriter::PutU32(bytes, y);
        slf::IsoMapWriter::PutU32(bytes, z);
        bytes += std::string(4, '\0');
        EXPECT_NE(Read(map, bytes).first, 0) << x << " " << y << " " << z;
    }
    // A texture count far beyond the file.
    std::string bytes = "TamskIsoMap1.0" + std::string(5, '\0');
    slf::IsoMapWriter::PutU32(bytes, 0xfffffff0);
    EXPECT_EQ(Read(map, bytes).second, "ReadFile:  FAILURE, damaged isometric map (texture count beyond the file)\n");
    EXPECT_EQ(map.GetSizeX(), 3);

    // A map without cells is refused: its empty sides would still be walked
    // on every frame.
    const std::pair<std::array<uint32_t, 3>, const char*> refused[] = {
        {{0, 4, 2}, "map without cells"}, {{0, 1, 0x7fffffff}, "map without cells"},
        {{4, 0, 2}, "map without cells"}, {{0x7fffffff, 0x7fffffff, 0}, "map without cells"},
        {{1, 1, 0}, "map without cells"},
    };
    for (const auto& [size, why] : refused) {
        auto [code, line] = Read(map, slf::IsoMapWriter(size[0], size[1], size[2]).Bytes());
        EXPECT_NE(code, 0) << why;
        EXPECT_EQ(line, std::string("ReadFile:  FAILURE, damaged isometric map (") + why + ")\n");
    }
    EXPECT_EQ(map.GetSizeX(), 3);

    // Randomly damaged files (bytes changed past the magic) are either read
    // into a consistent grid or refused; the sanitizer builds watch for
    // reads past the end.
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 8; };
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = good;
        for (int changes = 1 + next() % 4; changes > 0; --changes)
            damaged[14 + next() % (damaged.size() - 14)] = static_cast<char>(next());
        IsometricMap fuzzed;
        if (Read(fuzzed, damaged).first != 0) continue;
        const int64_t cells = int64_t{fuzzed.GetSizeX()} * fuzzed.GetSizeY() * fuzzed.GetSizeZ();
        EXPECT_LE(cells, static_cast<int64_t>(damaged.size())) << round;
        if (cells == 0) continue;  // a grid without layers may have any number of columns
        for (int32_t x = 0; x < fuzzed.GetSizeX(); ++x)
            for (int32_t y = 0; y < fuzzed.GetSizeY(); ++y) fuzzed.IsBlocked(x * 30, y * 30, -30, true);
    }

    // Grids whose cell count would wrap or exceed the limit are made empty
    // rather than allocated short.
    {
        StderrCapture cap;
        map.SetSize(0x40000000, 0x40000000, 16);
        EXPECT_EQ(cap.Take(), "IsometricMap::SetSize:  Failed, 1073741824 x 1073741824 x 16 cells is too large\n");
    }
    EXPECT_TRUE(map.IsAllocated());
    EXPECT_EQ(map.GetSizeX(), 0);
    EXPECT_EQ(map.GetBlock(0, 0, 0), nullptr);
    EXPECT_EQ(map.CreateBlock(5, 5, 5), nullptr);
    map.SetSize(4, 3, 2);
    EXPECT_NE(map.CreateBlock(3, 2, 1), nullptr);
}

TEST(IsometricMapTest, CollisionFollowsBlocksGroundAndTheTopLayer) {
    IsometricMap map;
    ASSERT_EQ(Read(map, SmallMap().Bytes()).first, 0);
    // Layer 0 holds the ground: standing in it is blocked, above it free.
    EXPECT_TRUE(map.IsBlocked(10, 10, 0, false));
    EXPECT_FALSE(map.IsBlocked(10, 10, -30, false));
    EXPECT_FALSE(map.IsBlocked(10, 10, -59, false));
    // Points -5 to -1 fall into column 0; further out is blocked.
    EXPECT_FALSE(map.IsBlocked(-3, 10, -30, false));
    EXPECT_FALSE(map.IsBlocked(10, -5, -30, false));
    EXPECT_TRUE(map.IsBlocked(-6, 10, -30, false));
    EXPECT_TRUE(map.IsBlocked(10, -6, -30, false));
    // Below the ground, past the grid.
    EXPECT_TRUE(map.IsBlocked(10, 10, 1, false));
    EXPECT_TRUE(map.IsBlocked(90, 10, -30, false));
    EXPECT_TRUE(map.IsBlocked(10, 60, -30, false));
    // The block on layer 1 at column (1, 0).
    EXPECT_TRUE(map.IsBlocked(35, 10, -30, false));
    EXPECT_FALSE(map.IsBlocked(35, 10, -60, false));
    // Column (2, 1) has no ground: blocked, except above the top layer
    // when open above.
    EXPECT_TRUE(map.IsBlocked(65, 35, -30, false));
    EXPECT_TRUE(map.IsBlocked(65, 35, -60, false));
    EXPECT_FALSE(map.IsBlocked(65, 35, -60, true));
    EXPECT_FALSE(map.IsBlocked(10, 10, -60, true));
    EXPECT_FALSE(map.IsBlocked(10, 10, INT32_MIN, false));
    EXPECT_FALSE(map.IsBlocked(10, 10, INT32_MIN, true));
    // An empty map has no ground anywhere.
    IsometricMap empty;
    EXPECT_TRUE(empty.IsBlocked(0, 0, -30, false));
}

TEST(IsometricMapTest, RandomLevelConfiguration) {
    IsometricMap map;
    EXPECT_EQ(map.GetMinimumSize(), 40);
    EXPECT_EQ(map.GetMaximumSize(), 80);
    EXPECT_EQ(map.GetLayers(), 3);
    map.SetSizes(10, 5, 9);
    EXPECT_EQ(map.GetMinimumSize(), 10);
    EXPECT_EQ(map.GetMaximumSize(), 5);
    EXPECT_EQ(map.GetLayers(), 5);
    map.SetSizes(40, 80, 0);
    EXPECT_EQ(map.GetLayers(), 1);

    RoomDefinition* initial = map.GetActiveDefinition();
    ASSERT_NE(initial, nullptr);
    map.QueueTexture("Stone");
    map.QueueTexture("Moss");
    map.QueueTexture("Stone");
    RoomDefinition* hall = map.AddRoomDefinition("Hall", std::make_unique<RoomDefinition>());
    map.AddFloorTexture(hall, "Moss");
    map.AddFloorTexture(hall, "Stone");  // the first queued position
    map.AddFloorTexture(hall, "stone");  // exact comparison: not queued
    map.AddWallLTexture(hall, "Moss");
    map.AddWallRTexture(nullptr, "Moss");
    EXPECT_EQ(hall->Floor(), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(hall->WallL(), (std::vector<int32_t>{1}));
    EXPECT_TRUE(hall->WallR().empty());
    EXPECT_EQ(map.FindRoomDefinition("Hall"), hall);
    EXPECT_EQ(map.FindRoomDefinition("Cave"), nullptr);

    // Picks use the engine's random source; empty lists give no texture
    // rather than dividing by zero.
    SetRandomSource([] { return 3; });
    EXPECT_EQ(IsometricMap::PickFloor(hall), 0);
    EXPECT_EQ(IsometricMap::PickWallL(hall), 1);
    EXPECT_EQ(IsometricMap::PickWallR(hall), IsometricMap::kNoTexture);
    EXPECT_EQ(IsometricMap::PickFloor(nullptr), 0);
    SetRandomSource({});
}

TEST(IsometricMapTest, SoftwareViewDrawsWallsThenFloorsAroundTheCamera) {
    testsupport::EnsureAllegro();
    uint8_t savedGL = GetGlobalState()->openGLMode;
    GetGlobalState()->openGLMode = 0;
    auto solid = [](uint8_t r, uint8_t g, uint8_t b) {
        auto bitmap = std::make_unique<BitmapWrapper>(32, 32, nullptr);
        bitmap->ClearToRGBA(r, g, b, 255);
        auto texture = std::make_unique<IsoTexture>(nullptr);
        texture->Build(bitmap.get());
        return texture;
    };
    auto red = solid(255, 0, 0), blue = solid(0, 0, 255);
    IsometricMap map;
    BitmapWrapper target(640, 480, nullptr);
    target.ClearToBlack();
    map.Draw(&target, nullptr);  // no grid yet: nothing
    map.SetSize(2, 2, 1);
    IsoBlock* block = map.CreateBlock(0, 0, 0);
    block->AddTexture(0, red.get());
    block->AddTexture(1, blue.get());
    block->AddTexture(2, blue.get());
    block->AddTexture(7, red.get());
    block->AddTexture(0, nullptr);
    EXPECT_EQ(block->GetFloor().size(), 1u);
    EXPECT_EQ(block->GetWallL().size(), 1u);
    map.Draw(&target, nullptr);

    auto colour = [&](int x, int y) {
        unsigned char r, g, b;
        al_unmap_rgb(al_get_pixel(target.GetBitmap(), x, y), &r, &g, &b);
        return std::array<int, 3>{r, g, b};
    };
    // Cell (0, 0, 0) sits at (300, 200): the floor diamond at (269, 169),
    // the left wall at (268, 185), the right wall at (299, 185).
    EXPECT_EQ(colour(298, 170), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(colour(268, 185 + 20), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(colour(329, 185 + 20), (std::array<int, 3>{0, 0, 255}));
    // The floor is drawn over the walls where they meet.
    EXPECT_EQ(colour(299, 192), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(colour(200, 100), (std::array<int, 3>{0, 0, 0}));

    // The camera shifts the view; a later cell is drawn over an earlier one.
    Camera camera(100, 50, 640, 480);
    target.ClearToBlack();
    map.CreateBlock(1, 1, 0)->AddTexture(0, blue.get());
    map.Draw(&target, &camera);
    EXPECT_EQ(map.GetCameraX(), 100);
    EXPECT_EQ(map.GetCameraY(), 50);
    // Cell (0, 0, 0) now at (200, 150), cell (1, 1, 0) at (200, 180).
    EXPECT_EQ(colour(198, 120), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(colour(198, 150), (std::array<int, 3>{0, 0, 255}));
    EXPECT_EQ(colour(298, 170), (std::array<int, 3>{0, 0, 0}));

    // Cameras at the ends of the integer range: the positions are worked out
    // without overflow (the sanitizer build checks) and nothing lands on the view.
    for (int32_t edge : {INT32_MIN, INT32_MAX, INT32_MIN + 1}) {
        Camera far(edge, edge, 640, 480);
        target.ClearToBlack();
        map.Draw(&target, &far);
        EXPECT_EQ(map.GetCameraX(), edge);
        EXPECT_EQ(colour(320, 240), (std::array<int, 3>{0, 0, 0})) << edge;
        EXPECT_EQ(colour(0, 0), (std::array<int, 3>{0, 0, 0})) << edge;
    }
    GetGlobalState()->openGLMode = savedGL;
}

TEST(IsometricMapTest, AGridWithoutColumnsDrawsNothingHoweverManyLayersItClaims) {
    // Found by fuzzing: 9216 x 0 columns of 705 million layers, and drawing
    // walked every layer. Such a file is refused; a grid given that size
    // draws nothing at once.
    testsupport::EnsureAllegro();
    IsometricMap map;
    EXPECT_NE(Read(map, slf::IsoMapWriter(9216, 0, 705000000).Bytes()).first, 0);
    map.SetSize(9216, 0, 705000000);
    BitmapWrapper target(64, 48, nullptr);
    target.ClearToBlack();
    map.Draw(&target, nullptr);
    unsigned char r, g, b;
    al_unmap_rgb(al_get_pixel(target.GetBitmap(), 10, 10), &r, &g, &b);
    EXPECT_EQ(r + g + b, 0);
}

TEST(IsometricMapTest, DescriptionsPackIntoReadableMaps) {
    std::string error;
    auto writer = slf::ParseDescription(
        "textures Grass Rock\n"
        "size 4 3 2  # columns and layers\n"
        "fill 0 0 3 2 0 0 1 1\n"
        "block 1 1 1 1 1 1\n",
        error);
    ASSERT_TRUE(writer) << error;
    IsometricMap map;
    ASSERT_EQ(Read(map, writer->Bytes()).first, 0);
    EXPECT_NE(map.GetBlock(3, 2, 0), nullptr);
    EXPECT_NE(map.GetBlock(1, 1, 1), nullptr);
    EXPECT_EQ(map.GetBlock(2, 1, 1), nullptr);

    EXPECT_FALSE(slf::ParseDescription("block 0 0 0 0 0 0\n", error));
    EXPECT_EQ(error, "line 1: size must come first");
    EXPECT_FALSE(slf::ParseDescription("size 2 2 1\nfill 0 0 2 1 0 0 0 0\n", error));
    EXPECT_EQ(error, "line 2: cells outside the map");
    EXPECT_FALSE(slf::ParseDescription("size 70000 70000 9\n", error));
    EXPECT_EQ(error, "line 1: map too large");
}
