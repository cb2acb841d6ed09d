// A character on an isometric map: where it is drawn and how high its
// shadow stands.
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "IsoMapWriter.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/PathManager.h"
#include "maps/MapManager.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/TempDir.h"
#include "world/Camera.h"
#include "world/NonPlayingCharacter.h"

using testsupport::LuaTestState;

TEST(NonPlayingCharacter, IsometricDrawPositionAndShadowHeight) {
    testsupport::EnsureAllegro();
    testsupport::TempDir dir;
    LuaTestState lua;
    lua.Paths().AddPath("Maps", "Maps/");
    lua.Paths().AddPath("MapScripts", "Scripts/Maps/");
    // Ground only under cell (1, 1); three layers.
    slf::IsoMapWriter writer(3, 3, 3);
    writer.SetBlock(1, 1, 0, -1, -1, -1);
    std::string error;
    std::filesystem::create_directories("Maps");
    ASSERT_TRUE(writer.WriteFile("Maps/Ledge.slf", error)) << error;
    dir.WriteFile("Scripts/Maps/Ledge.lua", "");
    ASSERT_TRUE(lua.Maps().LoadIsometricFile("Ledge.slf"));
    ASSERT_TRUE(lua.Maps().IsIsometric());

    // One colour per shadow size.
    const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    std::vector<std::unique_ptr<BitmapWrapper>> owned;
    BitmapWrapper* shadows[4];
    for (int i = 0; i < 4; ++i) {
        owned.push_back(std::make_unique<BitmapWrapper>(3, 3, nullptr));
        owned.back()->ClearToRGBA(colours[i][0], colours[i][1], colours[i][2], 255);
        shadows[i] = owned.back().get();
    }
    auto pixel = [](BitmapWrapper& target, int x, int y) {
        unsigned char r, g, b;
        al_unmap_rgb(al_get_pixel(target.GetBitmap(), x, y), &r, &g, &b);
        return std::vector<int>{r, g, b};
    };
    NonPlayingCharacter npc;
    npc.SetShadowSet(shadows);
    npc.SetBoundaryOffsets(-5, 5, -5, 5, -28, 0);
    npc.SetDisplayData(8, 16, 16, 20);
    Camera camera(-100, -100, 640, 480);
    camera.SetIsometric(true);
    BitmapWrapper target(640, 480, nullptr);

    // Table: feet height Z and the shadow size. Layer 0 ends at z = -29, so
    // the height over the ground is h = -29 - Z - 1; sizes change past 7, 15
    // and 23 (never below the minimum of 1). The shadow stays on the ground:
    // (X - Y + 286, (X + Y) / 2 + 195 + h + Z) less the camera.
    struct Case {
        int z, size;
    };
    for (const Case& c : {Case{-60, 3}, Case{-54, 3}, Case{-53, 2}, Case{-46, 2}, Case{-45, 1}, Case{-30, 1}}) {
        const int shadowX = 0 + 286 + 100, shadowY = 45 + 195 - 30 + 100;
        npc.SetCoordinates(45, 45, c.z);
        target.ClearToRGBA(0, 0, 0, 255);
        npc.Draw(&target, &camera);
        // px = 45 - 8 = 37, py = 45 - 16 = 29: x = 37 - 29 + 225 + 100,
        // y = (37 + 29) / 2 + 200 + Z - 17 + 100.
        EXPECT_EQ(npc.GetScreenX(), 333) << c.z;
        EXPECT_EQ(npc.GetScreenY(), 33 + 200 + c.z - 17 + 100) << c.z;
        std::vector<int> want(colours[c.size], colours[c.size] + 3);
        EXPECT_EQ(pixel(target, shadowX + 1, shadowY + 1), want) << c.z;
    }
}
