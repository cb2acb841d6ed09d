#pragma once
#include <allegro5/allegro.h>

#include <cstdint>

class BitmapWrapper;

// Owns the game window and the presentation of each frame, with the frame
// snapshot that transitions show and the fade that darkens the frame.
class DisplayManager {
public:
    // The largest window side the program asks for: the frame, the camera
    // and the snapshot are bitmaps of the window's size, and drivers hold
    // no larger ones.
    static constexpr int kMaxSide = 16384;
    // False, with a line, for a size above kMaxSide; start-up then ends.
    static bool SizeFits(int width, int height);

    DisplayManager(int width, int height);
    ~DisplayManager();
    DisplayManager(const DisplayManager&) = delete;
    DisplayManager& operator=(const DisplayManager&) = delete;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    // False when the window could not be created.
    bool HasDisplay() const;

    // A close request made while start-up still runs, before the event
    // queue is read: the window's events are also watched on a queue of
    // their own from its creation, so a long start-up wait can end when the
    // window is closed. True once one came (the quit flag is then set), or
    // when the program is to end anyway.
    bool PollCloseRequest();
    // Start-up is over: the main loop reads the window's events from now on.
    void StopWatchingClose();

    void Render();

    void RequestSnapshot();
    uint8_t HasSnapshot() const { return m_snapshotCaptured; }
    uint8_t IsSnapshotRequested() const { return m_snapshotRequested; }
    BitmapWrapper* GetSnapshot() const { return m_snapshot; }
    void SetSnapshotSource(BitmapWrapper* source);
    void CaptureSnapshot();
    void ReleaseSnapshot();

    void StartFade(int level, int step);
    void UpdateFade();
    bool IsFading() const { return m_fading != 0; }
    int GetFadeLevel() const { return m_fadeLevel; }
    float GetFadeAlpha() const { return m_fadeAlpha; }
    BitmapWrapper* GetFadeBitmap() const { return m_fadeBitmap; }
    BitmapWrapper* GetBackBuffer() const { return m_backBuffer; }

    void SetTarget(BitmapWrapper* wrapper);

private:
    // Draws every visible window into the given bitmap.
    void DrawFrameInto(BitmapWrapper* target);

    uint8_t m_snapshotRequested;
    uint8_t m_snapshotCaptured;
    ALLEGRO_EVENT_QUEUE* m_closeWatch = nullptr;
    int m_width;
    int m_height;
    BitmapWrapper* m_backBuffer;
    BitmapWrapper* m_snapshot;
    BitmapWrapper* m_snapshotSource;
    BitmapWrapper* m_fadeBitmap;
    uint8_t m_fading;
    int m_fadeLevel;
    int m_fadeStep;
    float m_fadeAlpha;
};
