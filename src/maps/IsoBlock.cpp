#include "maps/IsoBlock.h"

#include "core/media/IsoTexture.h"

void IsoBlock::AddTexture(int kind, IsoTexture* texture) {
    if (!texture) return;
    BitmapWrapper* face = texture->GetFace(kind);
    if (!face) return;
    switch (kind) {
        case 0: m_floor.push_back(face); break;
        case 1: m_wallL.push_back(face); break;
        case 2: m_wallR.push_back(face); break;
        default: break;
    }
}
