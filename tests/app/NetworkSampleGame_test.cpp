// Other players made by the network manager run the sample game's character
// constructor, which keeps its state in script variables.
#include <gtest/gtest.h>

#include <string>

#include "network/NetworkManagerFixture.h"

namespace {

using namespace nettest;

TEST_F(NetworkManagerTest, TheSampleGameConstructorKeepsTheServersPosition) {
    dir.WriteFile(kScript, testsupport::ReadFile(std::string(QEL_SOURCE_DIR) + "/game/" + kScript));
    auto client = ConnectClient();
    const double positions[][3] = {{100, 200, 0}, {130, 210, 4}, {-20, 5, 0}};
    for (const auto& at : positions) {
        net::NetPacket packet = WorldState(1).Record("Max", at[0], at[1], at[2], 2, 10, 1).Packet();
        client->ApplyWorldState(&packet);
        // A few game ticks: the character's default script runs on each.
        for (int tick = 0; tick < 5; ++tick) lua.Entities().UpdateAll();
        NonPlayingCharacter* max = Npc("Max");
        ASSERT_NE(max, nullptr);
        const Dimensions d = max->GetDimensions();
        EXPECT_EQ(d.X, at[0]);
        EXPECT_EQ(d.Y, at[1]);
        EXPECT_EQ(d.Z, at[2]);
        EXPECT_EQ(max->GetActiveState(), 1);
        EXPECT_EQ(max->GetDefaultScript(), kScript);
    }
}

}  // namespace
