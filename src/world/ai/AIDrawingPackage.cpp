#include "world/ai/AIDrawingPackage.h"

#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/RenderState.h"
#include "core/script/PropertyRouter.h"
#include "world/Animation.h"
#include "world/ai/AIManager.h"

AIDrawingPackage::AIDrawingPackage() { m_type = kTypeAIDrawingPackage; }

AIDrawingPackage::~AIDrawingPackage() {
    if (AIManager* manager = GetGlobalState()->aiManager) manager->ForgetObject(this);
    PropertyRouter::ForgetOwner(this);
}

void AIDrawingPackage::AllocateSpace(int32_t n) {
    if (n > kMaxAnimations) {
        std::fprintf(stderr, "AIDP_AllocateSpace:  Failed, %i animations is too many\n", n);
        return;
    }
    m_animations.assign(static_cast<size_t>(n > 0 ? n : 0), nullptr);
}

void AIDrawingPackage::SetAnimation(int32_t index, const char* name) {
    if (index < 0 || index >= GetCount() || !name) return;
    AIManager* manager = GetGlobalState()->aiManager;
    SetAnimation(index, manager ? manager->GetAnimation(name) : nullptr);
}

void AIDrawingPackage::SetAnimation(int32_t index, Animation* animation) {
    if (index < 0 || index >= GetCount()) return;
    m_animations[static_cast<size_t>(index)] = animation;
}

Animation* AIDrawingPackage::GetAnimation(int32_t index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_animations[static_cast<size_t>(index)];
}

BitmapWrapper* AIDrawingPackage::GetFrame(int32_t index, int32_t direction, int32_t frame) const {
    Animation* animation = GetAnimation(index);
    return animation ? animation->GetFrame(direction, frame) : nullptr;
}

void AIDrawingPackage::DrawToImage(BitmapWrapper* target, int32_t index, int32_t palette, int32_t timer,
                                   int32_t direction, int32_t x, int32_t y, int32_t flags) {
    if (index < 0 || index >= GetCount()) {
        std::fprintf(stderr, "AIDP_DrawToImage:  Failed, %i Animation is out of range\n", index);
        return;
    }
    Animation* animation = m_animations[static_cast<size_t>(index)];
    if (!animation) {
        std::fprintf(stderr, "AIDP_DrawToImage:  Failed, Animation %i is not valid\n", index);
        return;
    }
    BitmapWrapper* frame = animation->GetFrameByTime(direction, timer);
    if (!frame) {
        std::fprintf(stderr, "AIDP_DrawToImage:  Failed, GetFrameByTime(%i, %i) returned NULL\n", direction, timer);
        return;
    }
    if (!target) return;
    SetPaletteIndex(palette);
    target->SetAsTarget();
    frame->Draw(x, y, flags);
}
