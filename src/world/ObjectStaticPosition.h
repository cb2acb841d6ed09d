#pragma once
// An invisible marker: a named place on the map, for instance where a
// transition drops the player (entity-mode transitions look it up by name).
#include "world/ObjectStaticBase.h"

class ObjectStaticPosition : public ObjectStaticBase {
public:
    ObjectStaticPosition();
    ~ObjectStaticPosition() override;

    // Never drawn.
    int GetDrawOrderKey() override { return -1; }
    void DrawAtCamera(BitmapWrapper*, Camera*) override {}
    void DrawAt(BitmapWrapper*, int32_t, int32_t) override {}
};
