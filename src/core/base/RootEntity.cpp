#include "core/base/RootEntity.h"

#include <allegro5/allegro.h>

#include <cstdio>

RootEntity::RootEntity() : m_active(1) {}

// Calls only the base's own (empty) release: subclasses free their own data.
RootEntity::~RootEntity() { RootEntity::Release(); }

void RootEntity::Release() {}

void RootEntity::GetPosition(float* x, float* y, float* z) {
    std::fprintf(stderr, "Warning:  Entity of type %i does not have a position function\n", m_type);
    if (x) *x = 0;
    if (y) *y = 0;
    if (z) *z = 0;
}

void RootEntity::Update() {}

int RootEntity::GetDrawOrderKey() { return -1; }

void RootEntity::Draw(BitmapWrapper*, Camera*) {}

void RootEntity::DrawSecondPass(BitmapWrapper*, Camera*) {}

void RootEntity::SafeGetPosition(float* x, float* y, float* z) {
    if (x && y && z) GetPosition(x, y, z);
}

void RootEntity::SafeUpdate() {
    if (m_active == 1) Update();
}

void RootEntity::SafeDraw(BitmapWrapper* target, Camera* camera) {
    if (m_active == 1) Draw(target, camera);
}

void RootEntity::SafeDrawSecondPass(BitmapWrapper* target, Camera* camera) {
    if (m_active == 1) DrawSecondPass(target, camera);
}

void DeletePointer(void* pointer, int32_t type) {
    if (!pointer) return;
    switch (type) {
        case kTypeAllegroBitmap: al_destroy_bitmap(static_cast<ALLEGRO_BITMAP*>(pointer)); return;
        // The classes of the other ids are added here as they are built.
        default: std::fprintf(stderr, "DeletePointer:  Failed, could not find a pointer of type %i\n", type); return;
    }
}
