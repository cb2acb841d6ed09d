// The sample game's music and sounds, as its start-up script registers
// them, play on the silent audio back end without a single error line.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/base/GlobalState.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"
#include "platform/audio/Audio.h"
#include "support/AllegroTestEnv.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"

namespace {

const std::filesystem::path kGame = std::filesystem::path(QEL_SOURCE_DIR) / "game";

TEST(GameSounds, RoutingRegistersMusicThatPlaysAndLoops) {
    ASSERT_TRUE(std::filesystem::exists(kGame / "Data/Music/Title.wav")) << "build the game_sounds target";
    testsupport::EnsureAllegro();
    audio::Init(audio::kSilentDevice);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(kGame);
    {
        testsupport::LuaTestState lua;
        // Pictures are not this test's business, and the library would keep
        // every one the script takes out.
        GetGlobalState()->imageManager = nullptr;
        SoundManager sound;
        GetGlobalState()->soundManager = &sound;

        testsupport::StderrCapture capture;
        lua.Manager().RunFile("Paths.lua", -1);
        lua.Manager().RunFile("Data/Scripts/System/Loading/Routing.lua", -1);
        AudioRecord* theme = sound.FindMusic("TitleTheme");
        ASSERT_NE(theme, nullptr);
        for (const char* name : {"Click", "Chime", "TextTick"}) EXPECT_NE(sound.FindSound(name), nullptr) << name;
        EXPECT_NE(sound.FindMusic("StratumOne"), nullptr);  // the dungeon floors' music
        // The texture archive's entry is not this test's either.
        delete static_cast<TextureFile*>(
            lua.Library().RemovePointer("Images", "Maps", "Textures", "StandardTextures", DataKind::TextureFile));
        sound.PlayMusic("TitleTheme");
        EXPECT_TRUE(audio::ChannelIsActive(*theme->handle));
        // A position past the loop end is brought back to the loop start.
        uint32_t handle = *theme->handle;
        ASSERT_TRUE(audio::ChannelSetPosition(handle, audio::ChannelSeconds2Bytes(handle, 20.5)));
        sound.Update();
        EXPECT_LT(audio::ChannelBytes2Seconds(handle, audio::ChannelGetPosition(handle)), 5.0);
        sound.StopAll();
        EXPECT_FALSE(audio::ChannelIsActive(handle));
        std::string printed = capture.Take();
        for (const char* word : {"Sound", "Music", "SM_", "Audio", "Lua Error"})
            EXPECT_EQ(printed.find(word), std::string::npos) << printed;
        GetGlobalState()->soundManager = nullptr;
    }
    std::filesystem::current_path(previous);
    audio::Free();
}

}  // namespace
