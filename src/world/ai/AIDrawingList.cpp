#include "world/ai/AIDrawingList.h"

#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/RenderState.h"
#include "core/script/PropertyRouter.h"
#include "world/Animation.h"
#include "world/ai/AIDrawingPackage.h"
#include "world/ai/AIManager.h"

AIDrawingList::AIDrawingList(int32_t* timer, int32_t* direction) : m_timer(timer), m_direction(direction) {
    m_type = kTypeAIDrawingList;
}

AIDrawingList::~AIDrawingList() {
    if (AIManager* manager = GetGlobalState()->aiManager) manager->ForgetDrawingList(this);
    PropertyRouter::ForgetOwner(this);
}

AIDrawingList::Entry* AIDrawingList::FindEntry(const std::string& name) {
    for (Entry& entry : m_entries)
        if (entry.name == name) return &entry;
    return nullptr;
}

void AIDrawingList::AddAI(const std::string& name, AIDrawingPackage* package) {
    if (!package) return;
    m_entries.push_back({name, package, 0, 1});
}

void AIDrawingList::SwitchAI(const std::string& name, AIDrawingPackage* package) {
    if (!package) return;
    if (Entry* entry = FindEntry(name)) entry->package = package;
}

void AIDrawingList::SetAIPalette(const std::string& name, int32_t palette) {
    if (Entry* entry = FindEntry(name)) entry->palette = palette;
}

void AIDrawingList::EnableAI(const std::string& name) {
    if (Entry* entry = FindEntry(name)) entry->enabled = 1;
}

void AIDrawingList::DisableAI(const std::string& name) {
    if (Entry* entry = FindEntry(name)) entry->enabled = 0;
}

void AIDrawingList::RemoveAI(const std::string& name) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->name == name) {
            m_entries.erase(it);
            return;
        }
    }
}

void AIDrawingList::ClearAIList() { m_entries.clear(); }

int32_t AIDrawingList::ChooseAnimation() const { return m_states.Evaluate(); }

void AIDrawingList::Draw(BitmapWrapper* target, int32_t x, int32_t y, int32_t flags) {
    if (!target || !m_timer || !m_direction) return;
    target->SetAsTarget();
    const int32_t index = ChooseAnimation();
    for (const Entry& entry : m_entries) {
        if (!entry.enabled) continue;
        if (!entry.package) continue;  // never stored, kept for safety
        if (m_verbose) std::fprintf(stderr, "List wrapper used %s\n", entry.name.c_str());
        const int32_t palette = m_paletteOverride != -1 ? m_paletteOverride : entry.palette;
        entry.package->DrawToImage(target, index, palette, *m_timer, *m_direction, x, y, flags);
    }
}

void AIDrawingList::AppendAppearanceKey(std::vector<uintptr_t>& key, int32_t flags) const {
    const int32_t index = ChooseAnimation();
    const int32_t timer = m_timer ? *m_timer : 0;
    const int32_t direction = m_direction ? *m_direction : 0;
    key.insert(key.end(), {static_cast<uintptr_t>(static_cast<uint32_t>(index)),
                           static_cast<uintptr_t>(static_cast<uint32_t>(direction)),
                           static_cast<uintptr_t>(static_cast<uint32_t>(flags))});
    for (const Entry& entry : m_entries) {
        if (!entry.enabled || !entry.package) continue;
        int32_t palette = m_paletteOverride != -1 ? m_paletteOverride : entry.palette;
        // A negative palette draws with the selection left by the last draw.
        if (palette < 0) palette = GetPaletteIndex();
        Animation* animation = entry.package->GetAnimation(index);
        BitmapWrapper* frame = animation ? animation->GetFrameByTime(direction, timer) : nullptr;
        key.insert(key.end(),
                   {reinterpret_cast<uintptr_t>(entry.package), static_cast<uintptr_t>(static_cast<uint32_t>(palette)),
                    reinterpret_cast<uintptr_t>(frame)});
    }
}

void AIDrawingList::SelectPalettes() const {
    if (!m_timer || !m_direction) return;
    const int32_t index = ChooseAnimation();
    for (const Entry& entry : m_entries) {
        if (!entry.enabled || !entry.package) continue;
        // Draw selects an entry's palette only when it has a frame to draw.
        Animation* animation = entry.package->GetAnimation(index);
        if (!animation || !animation->GetFrameByTime(*m_direction, *m_timer)) continue;
        SetPaletteIndex(m_paletteOverride != -1 ? m_paletteOverride : entry.palette);
    }
}

BitmapWrapper* AIDrawingList::SingleFrame(int32_t width, int32_t height, int32_t* palette) const {
    if (m_verbose || !m_timer || !m_direction) return nullptr;
    const Entry* only = nullptr;
    for (const Entry& entry : m_entries) {
        if (!entry.enabled || !entry.package) continue;
        if (only) return nullptr;
        only = &entry;
    }
    if (!only) return nullptr;
    Animation* animation = only->package->GetAnimation(ChooseAnimation());
    BitmapWrapper* frame = animation ? animation->GetFrameByTime(*m_direction, *m_timer) : nullptr;
    if (!frame || !frame->GetBitmap() || frame->HasPaletteMap()) return nullptr;
    const int64_t left = frame->GetOffsetX(), top = frame->GetOffsetY();
    if (left < 0 || top < 0 || left + frame->GetWidth() > width || top + frame->GetHeight() > height) return nullptr;
    if (palette) *palette = m_paletteOverride != -1 ? m_paletteOverride : only->palette;
    return frame;
}

void* AIDrawingList::GetPropertyAddress(const std::string&) {
    PropertyRouter::Report(PropertyRouter::kNone);
    return nullptr;
}
