#pragma once
#include <cstdint>

#include "core/base/RootObject.h"

class BitmapWrapper;
class Camera;

// A RootObject with an active flag and the per-frame operations the
// managers call through the guarded callers below.
class RootEntity : public RootObject {
public:
    RootEntity();
    virtual ~RootEntity();

    virtual void Release();
    virtual void GetPosition(float* x, float* y, float* z);
    virtual void Update();
    // -1 means the entity is not drawn.
    virtual int GetDrawOrderKey();
    virtual void Draw(BitmapWrapper* target, Camera* camera);
    virtual void DrawSecondPass(BitmapWrapper* target, Camera* camera);

    void Enable() { m_active = 1; }
    void Disable() { m_active = 0; }
    RootEntity* SetActive(uint8_t active) {
        m_active = active;
        return this;
    }
    uint8_t IsActive() const { return m_active; }

    // Position only when all three out-pointers are given.
    void SafeGetPosition(float* x, float* y, float* z);
    // Update and draw only when the active flag is exactly 1.
    void SafeUpdate();
    void SafeDraw(BitmapWrapper* target, Camera* camera);
    void SafeDrawSecondPass(BitmapWrapper* target, Camera* camera);

protected:
    uint8_t m_active;
};

// Destroys an object of one of the known type ids; prints a line for others.
void DeletePointer(void* pointer, int32_t type);
