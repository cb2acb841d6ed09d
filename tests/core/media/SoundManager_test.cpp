#include "core/media/SoundManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "core/base/GlobalState.h"
#include "support/FakeAudioBackend.h"
#include "support/StderrCapture.h"

namespace {

constexpr uint64_t kSecond = 176400;

class SoundManagerTest : public ::testing::Test {
protected:
    SoundManagerTest() : sound([this] { return now; }) { GetGlobalState()->noMusic = 0; }
    ~SoundManagerTest() override { GetGlobalState()->noMusic = 0; }

    AudioRecord* Music(const char* name) {
        return sound.RegisterMusic(name, sound.CreateHandleCell(fake.StreamCreateFile("m.wav", 0)));
    }
    AudioRecord* Sound(const char* name) {
        return sound.RegisterSound(name, sound.CreateHandleCell(fake.StreamCreateFile("s.wav", 0)));
    }
    void Tick(double seconds) {
        now += seconds;
        sound.Update();
    }
    FakeAudioBackend::Channel& Ch(const AudioRecord* record) { return fake[*record->handle]; }

    FakeAudioBackend fake;
    double now = 100.0;
    SoundManager sound;
};

TEST_F(SoundManagerTest, LookupsPlaysAndStops) {
    AudioRecord* theme = Music("Theme");
    AudioRecord* click = Sound("Click");
    Music("Theme");
    Sound("Theme");
    EXPECT_EQ(sound.GetAudioPointer("Theme"), theme);  // first of the name, music before sounds
    EXPECT_EQ(sound.FindMusic("theme"), nullptr);
    EXPECT_EQ(sound.RegisterSound("Null", nullptr), nullptr);

    // Music resumes where it was paused; sounds start over.
    sound.PlayMusic("Theme");
    Ch(theme).position = 3 * kSecond;
    sound.PauseStream(theme);
    sound.PlayMusic("Theme");
    EXPECT_EQ(Ch(theme).position, 3 * kSecond);
    Ch(click).position = 1000;
    sound.PlaySound("Click");
    EXPECT_EQ(Ch(click).position, 0u);
    sound.SetSoundSuppressed("Click", 1);
    sound.PlaySound("Click");
    EXPECT_EQ(Ch(click).plays, 1);

    // StopAll stops and rewinds the music first, then the sounds.
    fake.log.clear();
    sound.StopAll();
    EXPECT_EQ(fake.log, (std::vector<std::string>{"stop 1", "seek 1", "stop 3", "seek 3", "stop 2", "seek 2", "stop 4",
                                                  "seek 4"}));
    EXPECT_EQ(Ch(theme).position, 0u);

    // Misses: silent by kind, a line for the lookup across both lists.
    testsupport::StderrCapture cap;
    sound.PlayMusic("Nope");
    sound.StopSound("Nope");
    sound.PlayAudio("Gone");
    EXPECT_EQ(cap.Take(), "SoundManager::GetAudioPointer:  Failed, Gone not found\n");
}

TEST_F(SoundManagerTest, FailedPlayReportsAndStillCountsAsPlayed) {
    AudioRecord* click = Sound("Click");
    click->autoSuppressTime = 1.0f;
    sound.FadeOut(click, 1.0f, 0.5f);
    fake.failPlays = true;
    testsupport::StderrCapture cap;
    sound.PlayStream(click);
    char address[64];
    std::snprintf(address, sizeof address, "Address was %p\n", static_cast<void*>(click->handle));
    EXPECT_EQ(cap.Take(), std::string("SoundManager::PlayStream:  Failed, Bass error -9-\n") + address);
    EXPECT_EQ(click->suppressed, 1);
    EXPECT_EQ(sound.CountFadingOut(click), 0u);
}

TEST_F(SoundManagerTest, FadeOutEndsInPauseOrInStopAndIsHeardAgain) {
    AudioRecord* theme = Music("Theme");
    sound.PlayStream(theme);
    Ch(theme).position = 3 * kSecond;
    sound.FadeOutAndPause(theme, 1.0f, 0.5f);
    Tick(1.0);
    EXPECT_FLOAT_EQ(Ch(theme).volume, 0.5f);
    Tick(1.0);  // exactly 0: still fading
    EXPECT_TRUE(Ch(theme).playing);
    Tick(0.5);  // below 0: paused, the channel's volume back at full, never negative
    EXPECT_FALSE(Ch(theme).playing);
    EXPECT_EQ(sound.CountFadingOut(theme), 0u);
    EXPECT_EQ(Ch(theme).position, 3 * kSecond);
    EXPECT_FLOAT_EQ(theme->volume, 1.0f);
    EXPECT_FLOAT_EQ(Ch(theme).volume, 1.0f);
    sound.PlayStream(theme);
    EXPECT_EQ(Ch(theme).position, 3 * kSecond);

    // A plain fade-out stops and rewinds, even after a fade-and-pause that a
    // play cut short.
    sound.FadeOutAndPause(theme, 1.0f, 1.0f);
    sound.PlayStream(theme);
    sound.FadeOut(theme, 0.5f, 1.0f);
    Tick(0.25);
    EXPECT_FLOAT_EQ(Ch(theme).volume, 0.25f);
    Tick(0.5);
    EXPECT_FALSE(Ch(theme).playing);
    EXPECT_EQ(Ch(theme).position, 0u);
    EXPECT_FLOAT_EQ(Ch(theme).volume, 1.0f);
}

TEST_F(SoundManagerTest, FadeListsHoldEachRecordOnce) {
    AudioRecord* theme = Music("Theme");
    sound.PlayStream(theme);
    sound.FadeOut(theme, -0.1f, 1.0f);
    sound.PlayWithFadeIn(theme, 0.0f, -1.0f);
    sound.FadeOut(theme, std::nanf(""), 1.0f);
    EXPECT_EQ(sound.CountFadingOut(theme) + sound.CountFadingIn(theme), 0u);

    // A second fade replaces the first instead of running twice as fast.
    sound.FadeOut(theme, 1.0f, 0.25f);
    sound.FadeOut(theme, 1.0f, 0.25f);
    Tick(1.0);
    EXPECT_FLOAT_EQ(theme->volume, 0.75f);
    // Playing takes it off the fade-out list at the volume the fade left.
    sound.PlayStream(theme);
    Tick(1.0);
    EXPECT_EQ(sound.CountFadingOut(theme), 0u);
    EXPECT_FLOAT_EQ(Ch(theme).volume, 0.75f);
    // Rate 0 holds the volume.
    sound.FadeOut(theme, 0.6f, 0.0f);
    Tick(5.0);
    EXPECT_EQ(sound.CountFadingOut(theme), 1u);
    // Fade-in and fade-out take each other's place.
    sound.PlayWithFadeIn(theme, 0.5f, 0.5f);
    sound.PlayWithFadeIn(theme, 0.5f, 0.5f);
    EXPECT_EQ(sound.CountFadingOut(theme), 0u);
    EXPECT_EQ(sound.CountFadingIn(theme), 1u);
    sound.FadeOut(theme, 1.0f, 0.5f);
    EXPECT_EQ(sound.CountFadingIn(theme), 0u);
}

TEST_F(SoundManagerTest, FadeInStartsQuietAndStopsAtFull) {
    AudioRecord* theme = Music("Theme");
    sound.PlayWithFadeIn(theme, 0.0f, 0.4f);
    ASSERT_GE(fake.log.size(), 2u);
    EXPECT_EQ(fake.log[0], "volume 1");  // before it plays
    EXPECT_EQ(fake.log[1], "play 1");
    Tick(2.0);
    EXPECT_FLOAT_EQ(Ch(theme).volume, 0.8f);
    Tick(1.0);  // 1.2: ends at full volume
    EXPECT_EQ(sound.CountFadingIn(theme), 0u);
    EXPECT_FLOAT_EQ(theme->volume, 1.0f);
    EXPECT_FLOAT_EQ(Ch(theme).volume, 1.0f);

    sound.SetVolume(theme, -0.5f, 0);
    EXPECT_FLOAT_EQ(Ch(theme).volume, 0.0f);
    EXPECT_FALSE(Ch(theme).loop);
    sound.SetVolume(theme, 3.0f, 1);
    EXPECT_FLOAT_EQ(theme->volume, 1.0f);
    EXPECT_TRUE(Ch(theme).loop);
}

TEST_F(SoundManagerTest, LoopPointsAndRecordsWithoutHandle) {
    AudioRecord* theme = Music("Theme");
    sound.SetLoopPositions(theme, -3.0f, 60.0f);
    sound.SetLoopPositions(theme, -3.0f, 60.0f);
    EXPECT_EQ(sound.CountLooping(theme), 1u);
    Ch(theme).position = 60 * kSecond;  // at the end itself: not yet
    Tick(1.0 / 60);
    EXPECT_EQ(Ch(theme).position, 60 * kSecond);
    Ch(theme).position += 4;
    Tick(1.0 / 60);
    EXPECT_EQ(Ch(theme).position, 0u);
    sound.SetLoopPositions(theme, 4.0f, 20.0f);
    Ch(theme).position = 21 * kSecond;
    Tick(1.0 / 60);
    EXPECT_EQ(Ch(theme).position, 4 * kSecond);

    AudioRecord loose;  // no handle: every operation leaves the channels alone
    fake.log.clear();
    sound.PlayWithFadeIn(&loose, 0.0f, 1.0f);
    sound.FadeOut(&loose, 1.0f, 2.0f);
    sound.SetLoopPositions(&loose, 0.0f, 1.0f);
    Tick(1.0);
    sound.PlayStream(nullptr);
    EXPECT_TRUE(fake.log.empty());
}

TEST_F(SoundManagerTest, AutoSuppressionPlaysOnceThenRestarts) {
    AudioRecord* theme = Music("Theme");
    theme->autoSuppressTime = 0.5f;
    sound.PlayStream(theme);
    EXPECT_EQ(theme->restart, 1);  // from now on it starts over
    Tick(0.25);
    sound.PlayStream(theme);
    EXPECT_EQ(Ch(theme).plays, 1);
    sound.SetSuppressed(theme, 0);  // lifted by hand: still on the list once
    sound.PlayStream(theme);
    EXPECT_EQ(sound.CountAutoSuppressed(theme), 1u);
    Tick(0.5);
    EXPECT_EQ(theme->suppressed, 0);
    Ch(theme).position = 100;
    sound.PlayStream(theme);
    EXPECT_EQ(Ch(theme).plays, 3);
    EXPECT_EQ(Ch(theme).position, 0u);
}

TEST_F(SoundManagerTest, NoMusicOption) {
    AudioRecord* theme = Music("Theme");
    GetGlobalState()->noMusic = 1;
    EXPECT_EQ(Music("Other"), nullptr);
    sound.PlayMusic("Theme");
    EXPECT_EQ(Ch(theme).plays, 0);
    AudioRecord* click = Sound("Click");
    ASSERT_NE(click, nullptr);
    sound.PlaySound("Click");
    EXPECT_EQ(Ch(click).plays, 1);
}

}  // namespace
