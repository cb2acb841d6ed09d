// Menu keys struck faster than the frames: a burst of arrows in the open
// inventory moves its highlight once per key, in order, and Escape, Escape
// as fast then closes it and opens the pause menu, which stays open.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/GameSessionPlay.h"

using testsupport::GameSession;
using testsupport::Share;
using testsupport::WaitFor;

namespace {

constexpr double kStepTimeout = 30.0;

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool IsGridNavy(uint32_t p) { return testsupport::Near(p, 14, 17, 42, 12); }
bool IsWhite(uint32_t p) {
    return testsupport::Red(p) > 230 && testsupport::Green(p) > 230 && testsupport::Blue(p) > 230;
}
bool IsBlack(uint32_t p) { return testsupport::Near(p, 0, 0, 0, 8); }

// The grid cell (10 columns of 32-pixel cells from (13, 47)) with the white
// outline of the highlight; -1 when none shows.
int HighlightedCell(GameSession& game) {
    const testsupport::Screenshot shot = game.Driver().Capture(13, 47, 320, 160);
    if (shot.width < 320 || shot.height < 160) return -1;
    int best = -1;
    size_t most = 120;
    for (int cell = 0; cell < 50; ++cell) {
        // The outline runs along the cell's edge.
        size_t count = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (x < 3 || x > 28 || y < 3 || y > 28)
                    count += IsWhite(shot.At(cell % 10 * 32 + x, cell / 10 * 32 + y)) ? 1 : 0;
        if (count > most) {
            most = count;
            best = cell;
        }
    }
    return best;
}

}  // namespace

TEST(KeyBurst, ABurstOfArrowsInTheInventoryEndsWhereItsKeysLead) {
    GameSession game;
    ASSERT_TRUE(game.Start({"-skiptitle", "-nonetwork"})) << game.Failure();
    testsupport::WindowDriver& player = game.Driver();
    ASSERT_TRUE(testsupport::PlayerPosition(game, kStepTimeout).Known()) << game.Output();
    player.Tap("i");
    ASSERT_TRUE(WaitFor([&] { return Share(player.Capture(13, 79, 320, 128), IsGridNavy) > 0.6; }, kStepTimeout));
    ASSERT_TRUE(WaitFor([&] { return HighlightedCell(game) == 0; }, kStepTimeout)) << HighlightedCell(game);

    // 25 ms a key: several keys fall into one frame.
    for (const char* key : {"Down", "Right", "Down", "Down", "Left", "Right", "Right"}) {
        player.KeyDown(key);
        Pause(12);
        player.KeyUp(key);
        Pause(13);
    }
    // Down, Right, Down, Down: 10, 11, 21, 31; Left, Right, Right: 30, 31, 32.
    EXPECT_TRUE(WaitFor([&] { return HighlightedCell(game) == 32; }, 5.0)) << HighlightedCell(game);
    Pause(500);
    EXPECT_EQ(HighlightedCell(game), 32);

    // Escape, Escape as fast: the first closes the inventory, the second
    // opens the pause menu, which stays open.
    auto pauseShown = [&] { return Share(player.Capture(390, 150, 95, 30), IsBlack) > 0.95; };
    for (int i = 0; i < 2; ++i) {
        player.KeyDown("Escape");
        Pause(12);
        player.KeyUp("Escape");
        Pause(13);
    }
    EXPECT_TRUE(WaitFor(pauseShown, kStepTimeout));
    Pause(1000);
    EXPECT_TRUE(pauseShown());
    EXPECT_LT(Share(player.Capture(13, 79, 320, 128), IsGridNavy), 0.1);
    EXPECT_EQ(game.Close(), 0);
}
