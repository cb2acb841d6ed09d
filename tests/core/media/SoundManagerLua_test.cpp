// SM_SetLoopPositions, SM_SetAutoSuppress, DL_RegisterSound, DL_RegisterMusic.
#include <gtest/gtest.h>

#include <cmath>

#include "core/base/GlobalState.h"
#include "core/media/DataLibrarySoundLua.h"
#include "core/media/SoundManager.h"
#include "core/script/DataLibrary.h"
#include "support/FakeAudioBackend.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"

namespace {

class SoundScriptTest : public ::testing::Test {
protected:
    SoundScriptTest() : sound([] { return 0.0; }), L(luaL_newstate()) {
        SoundManager::RegisterLuaFunctions(L);
        RegisterDataLibrarySoundLuaFunctions(L);
        GlobalState* state = GetGlobalState();
        state->dataLibrary = &library;
        state->soundManager = &sound;
        state->noMusic = 0;
        library.AddSection("Audio");
        library.AddCatalogue("Audio", "Tracks");
        library.AddHeading("Audio", "Tracks", "All");
        dir.WriteFile("Data/Click.wav", "RIFF");
        dir.WriteFile("Data/corrupt.wav", "junk");
    }
    ~SoundScriptTest() override {
        GlobalState* state = GetGlobalState();
        state->dataLibrary = nullptr;
        state->soundManager = nullptr;
        state->noMusic = 0;
        lua_close(L);
    }

    // Runs the chunk and returns what it printed.
    std::string Run(const std::string& chunk) {
        testsupport::StderrCapture cap;
        EXPECT_EQ(luaL_dostring(L, chunk.c_str()), 0);
        lua_settop(L, 0);
        return cap.Take();
    }
    AudioRecord* Active() { return static_cast<AudioRecord*>(library.GetActiveObject(DataKind::SoundRecord)); }

    testsupport::TempDir dir;
    FakeAudioBackend fake;
    DataLibrary library;
    SoundManager sound;
    lua_State* L;
};

TEST_F(SoundScriptTest, RegisterAndConfigure) {
    EXPECT_EQ(Run("DL_RegisterSound('Audio', 'Tracks', 'All', 'Click', 'Data\\\\Click.wav')\n"
                  "SM_SetAutoSuppress(0.5)\n"
                  "DL_RegisterMusic('Audio', 'Tracks', 'All', 'Theme', 'Data/Click.wav')\n"
                  "SM_SetLoopPositions(-2, 9.5)"),
              "");
    AudioRecord* click = sound.FindSound("Click");
    AudioRecord* theme = sound.FindMusic("Theme");
    ASSERT_TRUE(click && theme);
    EXPECT_EQ(Active(), theme);
    EXPECT_FLOAT_EQ(click->autoSuppressTime, 0.5f);
    EXPECT_FLOAT_EQ(theme->loopStart, 0.0f);
    EXPECT_FLOAT_EQ(theme->loopEnd, 9.5f);
    // The library entries are the cells the records play; music is prescanned.
    EXPECT_EQ(library.GetPointer("Audio", "Tracks", "All", "Click", DataKind::Sound), click->handle);
    EXPECT_EQ(library.GetPointer("Audio", "Tracks", "All", "Theme", DataKind::Music), theme->handle);
    EXPECT_EQ(fake[*click->handle].path, "Data/Click.wav");
    EXPECT_EQ(fake[*click->handle].flags, 0u);
    EXPECT_EQ(fake[*theme->handle].flags, audio::kStreamPrescan);

    // Odd numbers: not a number loops from the start, huge ones stay finite.
    EXPECT_EQ(Run("SM_SetLoopPositions(0/0, 1e300)\nSM_SetAutoSuppress({})"), "");
    EXPECT_FLOAT_EQ(theme->loopStart, 0.0f);
    EXPECT_TRUE(std::isfinite(theme->loopEnd));
    EXPECT_FLOAT_EQ(theme->autoSuppressTime, 0.0f);

    // Without music: no record, no active object, loop points skipped
    // quietly, and no stream opened (even of a file that would not open).
    GetGlobalState()->noMusic = 1;
    const size_t streams = fake.channels.size();
    EXPECT_EQ(Run("DL_RegisterMusic('Audio', 'Tracks', 'All', 'Quiet', 'Data/Click.wav')\n"
                  "DL_RegisterMusic('Audio', 'Tracks', 'All', 'Bad', 'Data/corrupt.wav')\n"
                  "SM_SetLoopPositions(4, 20)"),
              "");
    EXPECT_EQ(sound.FindMusic("Quiet"), nullptr);
    EXPECT_EQ(library.GetActiveObject(DataKind::Any), nullptr);
    EXPECT_EQ(fake.channels.size(), streams);
    auto* quiet = static_cast<uint32_t*>(library.GetPointer("Audio", "Tracks", "All", "Quiet", DataKind::Music));
    ASSERT_NE(quiet, nullptr);
    EXPECT_EQ(*quiet, 0u);
}

TEST_F(SoundScriptTest, FailuresRegisterNothingAndLeaveNoActiveObject) {
    EXPECT_EQ(Run("DL_RegisterSound('Audio', 'Tracks', 'All', 'Click')\n"
                  "DL_RegisterMusic('Audio', 'Tracks', nil, 'Theme', 'Data/Click.wav')\n"
                  "SM_SetLoopPositions(1)\n"
                  "SM_SetAutoSuppress(1, 2)\n"
                  "SM_SetLoopPositions(1, 2)"),
              "DL_RegisterSound:  Failed, invalid argument list\n"
              "DL_RegisterMusic:  Failed, invalid argument list\n"
              "SM_SetLoopPositions:  Failed, invalid argument list\n"
              "SM_SetAutoSuppress:  Failed, invalid argument list\n"
              "SM_SetLoopPositions:  Failed, no active object\n");

    // A failed registration does not leave the older record to be configured.
    Run("DL_RegisterSound('Audio', 'Tracks', 'All', 'Click', 'Data/Click.wav')");
    EXPECT_EQ(Run("DL_RegisterMusic('Audio', 'Tracks', 'All', 'Lost', 'Data/Lost\\27.wav')\n"
                  "SM_SetLoopPositions(1, 2)\n"
                  "DL_RegisterSound('Audio', 'Tracks', 'All', 'Bad', 'Data/corrupt.wav')\n"
                  "DL_RegisterMusic('Audio', 'Tracks', 'All', 'Bad', 'Data/corrupt.wav')\n"
                  "SM_SetAutoSuppress(1)"),
              "DL_RegisterMusic:  Failed, file Data/Lost\\x1b.wav not found\n"
              "SM_SetLoopPositions:  Failed, no active object\n"
              "DL_RegisterSound:  Failed, Bass error 5\n"
              "DL_RegisterMusic:  Failed, Bass error 5\n"
              "SM_SetAutoSuppress:  Failed, no active object\n");
    EXPECT_EQ(sound.CountLooping(sound.FindSound("Click")), 0u);
    EXPECT_EQ(sound.GetSoundCount() + sound.GetMusicCount(), 1u);

    // An active object of another kind is not taken for a sound record.
    int notASound = 0;
    library.SetActiveObject(&notASound, DataKind::TextureFile);
    EXPECT_EQ(Run("SM_SetAutoSuppress(1)"), "SM_SetAutoSuppress:  Failed, no active object\n");

    GetGlobalState()->soundManager = nullptr;
    EXPECT_EQ(Run("DL_RegisterSound('Audio', 'Tracks', 'All', 'Click', 'Data/Click.wav')\n"
                  "SM_SetLoopPositions(1, 2)"),
              "DL_RegisterSound:  Failed, SoundManager does not exist\n"
              "SM_SetLoopPositions:  Failed, SoundManager does not exist\n");
    GetGlobalState()->dataLibrary = nullptr;
    EXPECT_EQ(Run("DL_RegisterMusic('Audio', 'Tracks', 'All', 'Theme', 'Data/Click.wav')\n"
                  "SM_SetAutoSuppress(1)"),
              "DL_RegisterMusic:  Failed, DataLibrary does not exist\n"
              "SM_SetAutoSuppress:  Failed, DataLibrary does not exist\n");
}

}  // namespace
