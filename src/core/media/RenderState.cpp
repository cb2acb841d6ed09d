#include "core/media/RenderState.h"

#include <allegro5/allegro.h>

#include "core/base/GlobalState.h"

void SetPaletteIndex(int32_t index) {
    if (index >= 0) GetGlobalState()->paletteIndex = index;
}

int32_t GetPaletteIndex() { return GetGlobalState()->paletteIndex; }

void SetBlender(int operation, int source, int destination) { al_set_blender(operation, source, destination); }

void ResetBlender() { al_set_blender(ALLEGRO_ADD, ALLEGRO_ONE, ALLEGRO_INVERSE_ALPHA); }
