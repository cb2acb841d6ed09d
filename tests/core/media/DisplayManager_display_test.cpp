// The display manager against a real window (run under Xvfb).
#include <allegro5/allegro.h>
#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "core/base/TransitionState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/DisplayManager.h"
#include "support/AllegroTestEnv.h"

namespace {

class DisplayManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EnsureAllegro();
        al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
        GlobalState* state = GetGlobalState();
        state->holdDrawing = 0;
        state->quit = 0;
        state->memoryMode = 0;
    }
    void TearDown() override {
        delete m_manager;
        GlobalState* state = GetGlobalState();
        if (state->display) al_destroy_display(state->display);
        state->display = nullptr;
        state->holdDrawing = 0;
        al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
    }
    DisplayManager* Make(int width, int height) {
        m_manager = new DisplayManager(width, height);
        return m_manager;
    }
    static bool SameColour(ALLEGRO_COLOR pixel, unsigned char r, unsigned char g, unsigned char b) {
        unsigned char pr, pg, pb;
        al_unmap_rgb(pixel, &pr, &pg, &pb);
        return pr == r && pg == g && pb == b;
    }
    DisplayManager* m_manager = nullptr;
};

TEST_F(DisplayManagerTest, OpensTitledWindowOfTheGivenSize) {
    DisplayManager* manager = Make(1024, 768);
    ALLEGRO_DISPLAY* display = GetGlobalState()->display;
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(manager->HasDisplay());
    EXPECT_EQ(al_get_display_width(display), 1024);
    EXPECT_EQ(al_get_display_height(display), 768);
    ASSERT_NE(manager->GetSnapshot(), nullptr);
    EXPECT_EQ(manager->GetSnapshot()->GetWidth(), 1024);
    EXPECT_EQ(manager->GetSnapshot()->GetHeight(), 768);
    manager->StartFade(256, -16);
    ASSERT_NE(manager->GetFadeBitmap(), nullptr);
    EXPECT_EQ(manager->GetFadeBitmap()->GetWidth(), 1024);
    EXPECT_EQ(manager->GetFadeBitmap()->GetHeight(), 768);
    EXPECT_EQ(GetGlobalState()->quit, 0);
}

TEST_F(DisplayManagerTest, FadeArithmetic) {
    DisplayManager* manager = Make(320, 240);
    // From 0 up by 16: sixteen ticks, then back to idle.
    manager->StartFade(0, 16);
    EXPECT_FLOAT_EQ(manager->GetFadeAlpha(), 0.0f);
    for (int tick = 1; tick < 16; ++tick) {
        manager->UpdateFade();
        EXPECT_TRUE(manager->IsFading()) << tick;
        EXPECT_FLOAT_EQ(manager->GetFadeAlpha(), tick * 16 / 256.0f);
    }
    manager->UpdateFade();
    EXPECT_FALSE(manager->IsFading());
    EXPECT_FLOAT_EQ(manager->GetFadeAlpha(), 1.0f);
    EXPECT_EQ(manager->GetFadeLevel(), 0);
    EXPECT_EQ(manager->GetFadeBitmap(), nullptr);

    // From 256 down by 16: also sixteen ticks.
    manager->StartFade(256, -16);
    int ticks = 0;
    while (manager->IsFading() && ticks < 100) {
        manager->UpdateFade();
        ++ticks;
    }
    EXPECT_EQ(ticks, 16);

    // A step of 0 from 256 ends at the first tick.
    manager->StartFade(256, 0);
    manager->UpdateFade();
    EXPECT_FALSE(manager->IsFading());

    // A fade started while one runs replaces it (and its bitmap).
    manager->StartFade(256, -16);
    manager->UpdateFade();
    manager->StartFade(0, 16);
    EXPECT_EQ(manager->GetFadeLevel(), 0);
    manager->UpdateFade();
    EXPECT_EQ(manager->GetFadeLevel(), 16);
}

TEST_F(DisplayManagerTest, HoldDrawingNeitherDrawsNorFlips) {
    DisplayManager* manager = Make(320, 240);
    manager->Render();  // wraps the back buffer
    ALLEGRO_DISPLAY* display = GetGlobalState()->display;
    al_set_target_backbuffer(display);
    al_clear_to_color(al_map_rgb(200, 10, 10));
    GetGlobalState()->holdDrawing = 1;
    manager->Render();
    al_set_target_backbuffer(display);
    EXPECT_TRUE(SameColour(al_get_pixel(al_get_backbuffer(display), 5, 5), 200, 10, 10));

    // Without the hold the frame is drawn again.
    GetGlobalState()->holdDrawing = 0;
    manager->Render();
    manager->Render();
    al_set_target_backbuffer(display);
    EXPECT_TRUE(SameColour(al_get_pixel(al_get_backbuffer(display), 5, 5), 0, 0, 0));
}

TEST_F(DisplayManagerTest, SnapshotCopiesTheSourceOnceThenTheFrame) {
    DisplayManager* manager = Make(64, 48);
    BitmapWrapper source(64, 48, &GetGlobalState()->openGLMode);
    source.ClearToRGBA(10, 200, 30, 255);

    manager->SetSnapshotSource(&source);
    manager->RequestSnapshot();
    EXPECT_FALSE(manager->HasSnapshot());
    manager->Render();
    EXPECT_TRUE(manager->HasSnapshot());
    EXPECT_FALSE(manager->IsSnapshotRequested());
    EXPECT_TRUE(SameColour(al_get_pixel(manager->GetSnapshot()->GetBitmap(), 3, 3), 10, 200, 30));

    // The source was cleared: the next capture draws the frame again.
    manager->CaptureSnapshot();
    EXPECT_TRUE(SameColour(al_get_pixel(manager->GetSnapshot()->GetBitmap(), 3, 3), 0, 0, 0));

    // A release frees the snapshot until the next capture makes a new one.
    manager->ReleaseSnapshot();
    EXPECT_EQ(manager->GetSnapshot(), nullptr);
    EXPECT_FALSE(manager->HasSnapshot());
    manager->CaptureSnapshot();
    ASSERT_NE(manager->GetSnapshot(), nullptr);
    EXPECT_EQ(manager->GetSnapshot()->GetWidth(), 64);
}

TEST_F(DisplayManagerTest, ATransitionRequestAsksForASnapshotOfTheNextFrame) {
    DisplayManager* manager = Make(64, 48);
    GetGlobalState()->displayManager = manager;
    RequestTitleTransition();
    EXPECT_TRUE(manager->IsSnapshotRequested());
    GetGlobalState()->displayManager = nullptr;
    GetGlobalState()->stateSwitchRequest = 0;
    ClearTransitionState();
}

TEST_F(DisplayManagerTest, FailedWindowSetsQuitAndRendersNothing) {
    DisplayManager* manager = Make(0, 0);
    EXPECT_EQ(GetGlobalState()->display, nullptr);
    EXPECT_EQ(GetGlobalState()->quit, 1);
    EXPECT_FALSE(manager->HasDisplay());
    manager->Render();  // returns at once
    EXPECT_EQ(manager->GetBackBuffer(), nullptr);
}

}  // namespace
