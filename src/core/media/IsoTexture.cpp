#include "core/media/IsoTexture.h"

#include <allegro5/allegro.h>

#include <cstdio>

#include "core/media/BitmapWrapper.h"

namespace {

// Reads pixels of a locked source; outside the bitmap reads transparent.
class SourcePixels {
public:
    explicit SourcePixels(ALLEGRO_BITMAP* bitmap)
        : m_bitmap(bitmap), m_width(al_get_bitmap_width(bitmap)), m_height(al_get_bitmap_height(bitmap)) {}
    ALLEGRO_COLOR Get(int x, int y) const {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return al_map_rgba(0, 0, 0, 0);
        return al_get_pixel(m_bitmap, x, y);
    }

private:
    ALLEGRO_BITMAP* m_bitmap;
    int m_width, m_height;
};

// Writes to the current target; writes outside it are dropped.
void Put(int x, int y, int width, int height, ALLEGRO_COLOR colour) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    al_put_pixel(x, y, colour);
}

// Makes the projection the target, clears it transparent and locks it
// read-write; false when it cannot be locked. The projections leave pixels
// unwritten, and a write-only lock of a video bitmap gives those whatever
// the lock buffer held rather than the cleared transparent.
bool BeginProjection(BitmapWrapper* projection) {
    projection->SetAsTarget();
    projection->ClearToTransparent();
    return projection->Lock(ALLEGRO_PIXEL_FORMAT_ARGB_8888, ALLEGRO_LOCK_READWRITE) != nullptr;
}

void BuildFloor(const SourcePixels& src, BitmapWrapper* floor) {
    if (!BeginProjection(floor)) return;
    const int w = floor->GetWidth(), h = floor->GetHeight();
    // x outermost: where source pixels share a destination the last stays.
    for (float fx = 1; fx <= 30; fx += 1) {
        for (float fy = 1; fy <= 30; fy += 1) {
            const int x = static_cast<int>(fx), y = static_cast<int>(fy);
            Put(x - y + 29, static_cast<int>((fx + fy) / 2.0f), w, h, src.Get(x, y));
        }
    }
    for (int k = 0; k <= 30; ++k) {
        Put(k + 29, k / 2, w, h, src.Get(k, 0));
        Put(k, k / 2 + 15, w, h, src.Get(k, 31));
    }
    for (int k = 0; k <= 30; ++k) {
        Put(30 - k, k / 2, w, h, src.Get(0, k));
        Put(60 - k, k / 2 + 15, w, h, src.Get(31, k));
    }
    floor->Unlock();
}

void BuildWallL(const SourcePixels& src, BitmapWrapper* wall) {
    if (!BeginProjection(wall)) return;
    const int w = wall->GetWidth(), h = wall->GetHeight();
    for (int x = 0; x <= 30; ++x)
        for (int y = 0; y <= 30; ++y) Put(x, y + x / 2, w, h, src.Get(x, y));
    wall->Unlock();
}

void BuildWallR(const SourcePixels& src, BitmapWrapper* wall) {
    if (!BeginProjection(wall)) return;
    const int w = wall->GetWidth(), h = wall->GetHeight();
    for (int x = 0; x <= 30; ++x) {
        for (int y = 0; y <= 30; ++y) {
            int t = static_cast<int>(static_cast<double>(15 - x / 2 + y) - 0.5);
            if (t < 0) t = 0;
            Put(x, t, w, h, src.Get(x, y));
        }
    }
    wall->Unlock();
}

}  // namespace

IsoTexture::IsoTexture(uint8_t* openGLFlag) {
    m_flat = new BitmapWrapper(kFlatSize, kFlatSize, openGLFlag);
    m_floor = new BitmapWrapper(kFloorWidth, kFloorHeight, openGLFlag);
    m_wallL = new BitmapWrapper(kWallWidth, kWallHeight, openGLFlag);
    m_wallR = new BitmapWrapper(kWallWidth, kWallHeight, openGLFlag);
}

IsoTexture::~IsoTexture() {
    delete m_flat;
    delete m_floor;
    delete m_wallL;
    delete m_wallR;
}

BitmapWrapper* IsoTexture::GetFace(int kind) const {
    switch (kind) {
        case 0: return GetFloor();
        case 1: return GetWallL();
        case 2: return GetWallR();
        default: return nullptr;
    }
}

void IsoTexture::Build(BitmapWrapper* source) {
    if (!source || !source->GetBitmap()) {
        std::fputs("Failed to create texture, bitmap was NULL\n", stderr);
        return;
    }
    ALLEGRO_BITMAP* previous = al_get_target_bitmap();
    ALLEGRO_BITMAP* bitmap = source->GetBitmap();
    const SourcePixels src(bitmap);

    if (m_flat->GetBitmap()) {
        m_flat->SetAsTarget();
        if (al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ARGB_8888, ALLEGRO_LOCK_READONLY)) {
            if (m_flat->Lock(ALLEGRO_PIXEL_FORMAT_ARGB_8888, ALLEGRO_LOCK_WRITEONLY)) {
                for (int x = 0; x < kFlatSize; ++x)
                    for (int y = 0; y < kFlatSize; ++y) Put(x, y, kFlatSize, kFlatSize, src.Get(x, y));
                m_flat->Unlock();
            }
            al_unlock_bitmap(bitmap);
        }
    }
    if (al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ARGB_8888, ALLEGRO_LOCK_READONLY)) {
        if (m_floor->GetBitmap()) BuildFloor(src, m_floor);
        if (m_wallL->GetBitmap()) BuildWallL(src, m_wallL);
        if (m_wallR->GetBitmap()) BuildWallR(src, m_wallR);
        al_unlock_bitmap(bitmap);
    }
    if (previous) al_set_target_bitmap(previous);
}
