#include "world/ObjectStaticAnimation.h"

#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/RenderState.h"
#include "world/Animation.h"
#include "world/Camera.h"
#include "world/ai/AIManager.h"

ObjectStaticAnimation::ObjectStaticAnimation() { m_type = kTypeObjectStaticAnimation; }

ObjectStaticAnimation::~ObjectStaticAnimation() = default;

void ObjectStaticAnimation::Update() {
    if (!m_dataSet) return;
    // Saturating: a finished animation keeps being updated for as long as
    // the map lives.
    m_timer = SaturateToInt32(int64_t{m_timer} + 1);
    m_remaining = SaturateToInt32(int64_t{m_remaining} - 1);
    if (m_remaining <= 0) m_removed = 1;
}

void ObjectStaticAnimation::DrawAtCamera(BitmapWrapper* target, Camera* camera) {
    if (!camera) return;
    DrawAt(target, SaturateToInt32(int64_t{m_box.X} - m_box.XDim / 2 - camera->GetX()),
           SaturateToInt32(int64_t{m_box.Y} - m_box.YDim / 2 - camera->GetY()));
}

void ObjectStaticAnimation::DrawAt(BitmapWrapper* target, int32_t x, int32_t y) {
    if (!target || !m_dataSet || !m_animation) return;
    // The AI manager owns the animation; draw only while it still holds it.
    AIManager* ai = GetGlobalState()->aiManager;
    if (!ai || !ai->HoldsAnimation(m_animation)) return;
    BitmapWrapper* frame = m_animation->GetFrameByTime(m_direction, m_timer);
    if (!frame) return;
    SetPaletteIndex(0);
    target->SetAsTarget();
    frame->Draw(x, y, 0);
}

void ObjectStaticAnimation::SetAnimationData(const std::string& animation, int32_t direction, int32_t timer,
                                             int32_t count) {
    AIManager* ai = GetGlobalState()->aiManager;
    m_animation = ai ? ai->GetAnimation(animation) : nullptr;
    if (!m_animation)
        std::fprintf(stderr, "ObjectStaticAnimation SetAnimationData:  Warning, animation %s not found\n",
                     animation.c_str());
    m_direction = direction;
    m_timer = timer;
    m_remaining = count;
    m_dataSet = 1;
}
