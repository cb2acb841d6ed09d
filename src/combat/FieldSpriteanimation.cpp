#include "combat/FieldSpriteanimation.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"

namespace {

// Never destroyed, so animations freed during the process's exit can still
// take themselves off.
std::unordered_set<FieldSpriteanimation*>& Live() {
    static auto* live = new std::unordered_set<FieldSpriteanimation*>();
    return *live;
}

std::vector<FieldSpriteanimation*>& Hot() {
    static auto* hot = new std::vector<FieldSpriteanimation*>();
    return *hot;
}

}  // namespace

FieldSpriteanimation::FieldSpriteanimation() { Live().insert(this); }

FieldSpriteanimation::~FieldSpriteanimation() {
    Live().erase(this);
    auto& hot = Hot();
    hot.erase(std::remove(hot.begin(), hot.end(), this), hot.end());
    if (DataLibrary* library = GetGlobalState()->dataLibrary) library->ForgetObject(this);
}

void FieldSpriteanimation::Delete(void* animation) { delete static_cast<FieldSpriteanimation*>(animation); }

bool FieldSpriteanimation::SetFrameData(int32_t count, int32_t second) {
    if (m_locked) return false;
    if (count < 0 || count > kMaxFrames) return false;
    m_frames.assign(static_cast<size_t>(count), Frame{});
    m_frameCount = count;
    m_second = second < 0 ? 1 : second;
    return true;
}

void FieldSpriteanimation::SetFrame(int32_t index, BitmapWrapper* image, int32_t duration, int32_t third) {
    if (m_locked || index < 0 || index >= m_frameCount) return;
    m_frames[static_cast<size_t>(index)] = Frame{image, duration, third};
}

void FieldSpriteanimation::FinishCalcsAndLock() {
    if (m_locked) return;
    int64_t cycle = 0;
    for (int32_t i = 0; i < m_frameCount; ++i) {
        const Frame& frame = m_frames[static_cast<size_t>(i)];
        if (!frame.image || frame.duration == -1) {
            std::fprintf(stderr, "FieldSpriteanimation::FinishCalcsAndLock:  Warning, Frame %i not set\n", i);
            return;
        }
        cycle += frame.duration;
    }
    // Durations are script numbers; keep the sum within 32 bits.
    m_cycleLength = static_cast<int32_t>(std::clamp<int64_t>(cycle, INT32_MIN, INT32_MAX));
    m_locked = 1;
}

void FieldSpriteanimation::SetOscillation() {
    if (m_locked) return;
    m_oscillate = 1;
    m_playOnce = 0;
}

void FieldSpriteanimation::SetPlayOnce() {
    if (m_locked) return;
    m_playOnce = 1;
    m_oscillate = 0;
}

void FieldSpriteanimation::SetFrameIndex(int32_t index) {
    if (index >= 0 && index < m_frameCount) {
        m_selectedFrame = index;
        m_tick = 0;
        m_ticksSinceRestart = 0;
    } else {
        m_selectedFrame = 0;
    }
}

void FieldSpriteanimation::Restart() {
    m_tick = 0;
    m_ticksSinceRestart = 0;
    m_reversing = 0;
}

void FieldSpriteanimation::Advance() {
    if (!m_autoUpdate || !m_locked) return;
    ++m_ticksSinceRestart;
    if (m_oscillate) {
        if (m_reversing) {
            --m_tick;
            if (m_tick < 1) m_reversing = 0;
        } else {
            ++m_tick;
            if (m_tick >= m_cycleLength - 1) m_reversing = 1;
        }
    } else if (m_playOnce) {
        if (m_tick < m_cycleLength - 1) ++m_tick;
    } else {
        ++m_tick;
        if (m_tick >= m_cycleLength) m_tick = 0;
    }
}

int32_t FieldSpriteanimation::GetCurrentFrame() const {
    if (!m_locked) return -1;
    if (!m_autoUpdate) return m_selectedFrame < m_frameCount ? m_selectedFrame : -1;
    int64_t rest = m_tick;
    for (int32_t i = 0; i < m_frameCount; ++i) {
        rest -= m_frames[static_cast<size_t>(i)].duration;
        if (rest < 0) return i;
    }
    return -1;
}

const FieldSpriteanimation::Frame* FieldSpriteanimation::GetFrame(int32_t index) const {
    if (index < 0 || index >= m_frameCount) return nullptr;
    return &m_frames[static_cast<size_t>(index)];
}

BitmapWrapper* FieldSpriteanimation::CurrentImage() const {
    const Frame* frame = GetFrame(GetCurrentFrame());
    return frame ? frame->image : nullptr;
}

void FieldSpriteanimation::WarnIfForgotten() {
    if (m_warnedForgotten) return;
    int32_t index = -1;
    if (m_locked) {
        const Frame* frame = GetFrame(GetCurrentFrame());
        if (frame && frame->forgotten) index = GetCurrentFrame();
    } else {
        for (int32_t i = 0; i < m_frameCount && index < 0; ++i)
            if (m_frames[static_cast<size_t>(i)].forgotten) index = i;
    }
    if (index < 0) return;
    m_warnedForgotten = 1;
    std::fprintf(stderr,
                 "FieldSpriteanimation::DrawCurrentFrame:  Warning, Frame %i lost its image when the battle's "
                 "images were cleared\n",
                 index);
}

void FieldSpriteanimation::DrawCurrentFrame(int x, int y) {
    if (BitmapWrapper* image = CurrentImage())
        image->DrawDefault(x, y);
    else
        WarnIfForgotten();
}

void FieldSpriteanimation::DrawCurrentFrameWithFlags(int x, int y, int flags) {
    if (BitmapWrapper* image = CurrentImage())
        image->Draw(x, y, flags);
    else
        WarnIfForgotten();
}

FieldSpriteanimation* FieldSpriteanimation::Clone() const {
    auto* copy = new FieldSpriteanimation();
    copy->m_autoUpdate = m_autoUpdate;
    copy->m_frameCount = m_frameCount;
    copy->m_second = m_second;
    copy->m_frames = m_frames;
    copy->m_oscillate = m_oscillate;
    copy->m_playOnce = m_playOnce;
    copy->FinishCalcsAndLock();
    return copy;
}

void FieldSpriteanimation::ForgetImage(const BitmapWrapper* image) {
    if (!image) return;
    for (FieldSpriteanimation* animation : Live()) {
        for (Frame& frame : animation->m_frames) {
            if (frame.image == image) frame = Frame{nullptr, frame.duration, frame.third, true};
        }
    }
}

FieldSpriteanimation* FieldSpriteanimation::KeepForever(std::unique_ptr<FieldSpriteanimation> animation) {
    // Never destroyed: registered animations stay valid to the very end.
    static auto* kept = new std::vector<std::unique_ptr<FieldSpriteanimation>>();
    kept->push_back(std::move(animation));
    return kept->back().get();
}

FieldSpriteanimation* FieldSpriteanimation::CreateHot() {
    auto* animation = new FieldSpriteanimation();
    Hot().push_back(animation);
    return animation;
}

bool FieldSpriteanimation::IsHot(const FieldSpriteanimation* animation) {
    const auto& hot = Hot();
    return animation && std::find(hot.begin(), hot.end(), animation) != hot.end();
}

bool FieldSpriteanimation::ReleaseHot(FieldSpriteanimation* animation) {
    if (!IsHot(animation)) return false;
    delete animation;  // the destructor takes it off the hot list
    return true;
}

void FieldSpriteanimation::ReleaseAllHot() {
    while (!Hot().empty()) delete Hot().back();
}
