#include "world/Animation.h"

#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/script/DataLibrary.h"
#include "core/script/PropertyRouter.h"
#include "world/ai/AIManager.h"

Animation::Animation() { m_type = kTypeAnimation; }

Animation::~Animation() {
    if (AIManager* manager = GetGlobalState()->aiManager) manager->ForgetObject(this);
    PropertyRouter::ForgetOwner(this);
}

void Animation::SetDirections(int32_t n) {
    if (n > 0) m_directions = n;
}

void Animation::SetFrames(int32_t n) {
    if (n > 0) m_frames = n;
}

void Animation::AllocateTable() {
    if (m_frames <= 0) return;
    if (static_cast<int64_t>(m_directions) * m_frames > kMaxTableEntries) {
        std::fprintf(stderr, "Animation::AllocateTable:  Failed, %i x %i frames is too large\n", m_directions,
                     m_frames);
        return;
    }
    m_table.assign(static_cast<size_t>(m_directions), std::vector<BitmapWrapper*>(static_cast<size_t>(m_frames)));
}

void Animation::SetActiveHeading(const char* section, const char* catalogue, const char* heading) {
    if (!section || !catalogue || !heading) return;
    DataLibrary* library = GetGlobalState()->dataLibrary;
    m_library = library;
    m_heading = library ? library->GetHeading(section, catalogue, heading) : nullptr;
}

BitmapWrapper* const* Animation::Entry(int32_t direction, int32_t frame) const {
    if (direction < 0 || direction >= m_directions || frame < 0 || frame >= m_frames) return nullptr;
    // The declared sizes may run ahead of the table until AllocateTable.
    if (static_cast<size_t>(direction) >= m_table.size()) return nullptr;
    const std::vector<BitmapWrapper*>& row = m_table[static_cast<size_t>(direction)];
    if (static_cast<size_t>(frame) >= row.size()) return nullptr;
    return &row[static_cast<size_t>(frame)];
}

void Animation::SetAnimationFrame(int32_t direction, int32_t frame, const char* name) {
    BitmapWrapper* const* entry = Entry(direction, frame);
    if (!entry || !name) return;
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!m_heading || !library || library != m_library) {
        std::fputs("Animation::SetAnimationFrame:  Failed, rActiveHeading was not set\n", stderr);
        return;
    }
    BitmapWrapper* image =
        static_cast<BitmapWrapper*>(library->FindPointerInHeading(m_heading, name, DataKind::Bitmap));
    m_table[static_cast<size_t>(direction)][static_cast<size_t>(frame)] = image;
    if (!image)
        std::fprintf(stderr, "Animation::SetAnimationFrame: Warning, %i %i %s not found\n", direction, frame, name);
}

void Animation::SetDuration(int32_t duration) {
    m_duration = duration;
    m_cycle = static_cast<int64_t>(m_frames) * duration;
}

BitmapWrapper* Animation::GetFrame(int32_t direction, int32_t frame) const {
    if (m_cycle == 0) return nullptr;
    BitmapWrapper* const* entry = Entry(direction, frame);
    return entry ? *entry : nullptr;
}

BitmapWrapper* Animation::GetFrameByTime(int32_t direction, int32_t time) const {
    if (direction < 0 || direction >= m_directions || m_cycle == 0 || m_duration == 0 || time < 0) return nullptr;
    const int64_t frame = (time % m_cycle) / m_duration;
    // A cycle computed before the frame count changed (or a negative
    // duration) can point outside the frames.
    if (frame < 0 || frame >= m_frames) return nullptr;
    BitmapWrapper* const* entry = Entry(direction, static_cast<int32_t>(frame));
    if (!entry) return nullptr;
    if (!*entry)
        std::fprintf(stderr, "Animation::GetFrameByTime: Warning, Direction/Frame %i/%i was NULL\n", direction,
                     static_cast<int32_t>(frame));
    return *entry;
}
