#include "core/media/DisplayManager.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_opengl.h>

#include <cstdio>

#include "core/base/FramePhases.h"
#include "core/base/GlobalState.h"
#include "core/base/LayerHooks.h"
#include "core/media/BitmapWrapper.h"

DisplayManager::DisplayManager(int width, int height)
    : m_snapshotRequested(0),
      m_snapshotCaptured(0),
      m_width(width),
      m_height(height),
      m_backBuffer(nullptr),
      m_snapshot(nullptr),
      m_snapshotSource(nullptr),
      m_fadeBitmap(nullptr),
      m_fading(0),
      m_fadeLevel(0),
      m_fadeStep(0),
      m_fadeAlpha(1.0f) {
    GlobalState* state = GetGlobalState();
    int flags = ALLEGRO_WINDOWED;
    if (state->openGLMode) flags |= ALLEGRO_OPENGL;
    if (state->direct3DMode) flags |= ALLEGRO_DIRECT3D_INTERNAL;
    al_set_new_display_flags(flags);
    if (state->memoryMode) al_set_new_bitmap_flags(al_get_new_bitmap_flags() | ALLEGRO_MEMORY_BITMAP);

    state->display = (width > 0 && height > 0) ? al_create_display(width, height) : nullptr;
    if (!state->display) {
        std::fprintf(stderr, "Display of size %i by %i failed to create.\n", width, height);
        std::fprintf(stderr, "With no display, the program will now exit\n");
        state->quit = 1;
        return;
    }
    // The driver may hold less than kMaxSide: a window whose bitmaps it
    // cannot hold is closed again rather than failing on the first frame.
    const int driverMax = al_get_display_option(state->display, ALLEGRO_MAX_BITMAP_SIZE);
    if (driverMax > 0 && (width > driverMax || height > driverMax)) {
        std::fprintf(stderr, "Display of size %i by %i is larger than the display can hold (%i).\n", width, height,
                     driverMax);
        std::fprintf(stderr, "With no display, the program will now exit\n");
        al_destroy_display(state->display);
        state->display = nullptr;
        state->quit = 1;
        return;
    }
    m_closeWatch = al_create_event_queue();
    if (m_closeWatch) al_register_event_source(m_closeWatch, al_get_display_event_source(state->display));
    al_set_target_backbuffer(state->display);
    al_clear_to_color(al_map_rgb(0, 0, 0));
    m_snapshot = new BitmapWrapper(m_width, m_height, &state->openGLMode);
    al_set_window_title(state->display, "Qel:Online");
    if (state->openGLMode) {
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
    }
}

bool DisplayManager::SizeFits(int width, int height) {
    if (width <= kMaxSide && height <= kMaxSide) return true;
    std::fprintf(stderr, "Display of size %i by %i is larger than the display can hold (%i).\n", width, height,
                 kMaxSide);
    return false;
}

DisplayManager::~DisplayManager() {
    StopWatchingClose();
    delete m_backBuffer;
    delete m_snapshot;
    delete m_fadeBitmap;
}

bool DisplayManager::HasDisplay() const { return GetGlobalState()->display != nullptr; }

bool DisplayManager::PollCloseRequest() {
    GlobalState* state = GetGlobalState();
    ALLEGRO_EVENT event;
    while (m_closeWatch && al_get_next_event(m_closeWatch, &event)) {
        if (event.type == ALLEGRO_EVENT_DISPLAY_CLOSE) state->quit = 1;
    }
    return state->quit != 0;
}

void DisplayManager::StopWatchingClose() {
    if (!m_closeWatch) return;
    al_destroy_event_queue(m_closeWatch);
    m_closeWatch = nullptr;
}

void DisplayManager::DrawFrameInto(BitmapWrapper* target) {
    if (!target) return;
    PhaseScope phase(FramePhase::Gui);
    if (auto drawInterface = GetLayerHooks().drawInterface) {
        if (drawInterface(target)) return;
    }
    // Without a GUI the frame is a cleared screen.
    target->SetAsTarget();
    al_clear_to_color(al_map_rgb(0, 0, 0));
}

void DisplayManager::Render() {
    GlobalState* state = GetGlobalState();
    if (!state->display) return;
    if (!m_backBuffer) {
        m_backBuffer = BitmapWrapper::WrapBitmap(al_get_backbuffer(state->display), &state->openGLMode);
    }
    if (state->holdDrawing) return;

    DrawFrameInto(m_fading && m_fadeBitmap ? m_fadeBitmap : m_backBuffer);
    if (m_snapshotRequested) CaptureSnapshot();

    if (m_fading && m_fadeBitmap) {
        m_backBuffer->SetAsTarget();
        al_clear_to_color(al_map_rgba(0, 0, 0, 255));
        al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_ONE);
        m_fadeBitmap->DrawTinted(al_map_rgba_f(m_fadeAlpha, m_fadeAlpha, m_fadeAlpha, 1.0f), 0, 0, 0);
        al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_INVERSE_ALPHA);
    }
    {
        PhaseScope phase(FramePhase::Flip);
        al_flip_display();
    }
    GetFramePhases().EndFrame();
}

void DisplayManager::RequestSnapshot() {
    m_snapshotRequested = 1;
    m_snapshotCaptured = 0;
}

void DisplayManager::SetSnapshotSource(BitmapWrapper* source) {
    if (source) m_snapshotSource = source;
}

void DisplayManager::CaptureSnapshot() {
    m_snapshotRequested = 0;
    m_snapshotCaptured = 1;
    if (!m_snapshot) m_snapshot = new BitmapWrapper(m_width, m_height, &GetGlobalState()->openGLMode);
    if (m_snapshotSource) {
        m_snapshot->SetAsTarget();
        m_snapshotSource->DrawDefault(0, 0);
        m_snapshotSource = nullptr;
    } else {
        DrawFrameInto(m_snapshot);
    }
}

void DisplayManager::ReleaseSnapshot() {
    delete m_snapshot;
    m_snapshot = nullptr;
    m_snapshotRequested = 0;
    m_snapshotCaptured = 0;
}

void DisplayManager::StartFade(int level, int step) {
    // A fade already running is replaced; its bitmap is freed first.
    delete m_fadeBitmap;
    m_fading = 1;
    m_fadeLevel = level;
    m_fadeStep = step;
    m_fadeAlpha = static_cast<float>(level) / 256.0f;
    m_fadeBitmap = new BitmapWrapper(m_width, m_height, &GetGlobalState()->openGLMode);
    m_fadeBitmap->ClearToBlack();
}

void DisplayManager::UpdateFade() {
    if (!m_fading) return;
    m_fadeLevel += m_fadeStep;
    m_fadeAlpha = static_cast<float>(m_fadeLevel) / 256.0f;
    if (m_fadeLevel > 0 && m_fadeLevel < 256) return;
    m_fading = 0;
    m_fadeLevel = 0;
    m_fadeAlpha = 1.0f;
    delete m_fadeBitmap;
    m_fadeBitmap = nullptr;
}

void DisplayManager::SetTarget(BitmapWrapper* wrapper) {
    if (wrapper) wrapper->SetAsTarget();
}
