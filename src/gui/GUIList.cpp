#include "gui/GUIList.h"

#include <allegro5/allegro_primitives.h>

#include <algorithm>
#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/OptionalMedia.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIScrollBar.h"

namespace {

constexpr int kMargin = 2;     // around the rows, in pixels
constexpr int kBarInset = 10;  // the bar's left edge from the list's right edge

}  // namespace

GUIList::GUIList() : m_textColour(al_map_rgb(255, 255, 255)), m_font(SystemFont()) {
    m_type = kTypeGUIList;
    m_redrawEveryPulse = false;
    auto* bar = new GUIScrollBar;
    bar->SetStep(1);
    bar->SetValue(0);
    bar->SetScrollData(0, 0, 1, 1, true);
    AddChild("ListBar", bar);
    m_bar = bar;
    m_barLife = bar->GetLifeToken();
}

GUIList::~GUIList() = default;

GUIScrollBar* GUIList::GetListBar() const { return m_barLife.expired() ? nullptr : m_bar; }

void GUIList::SetListSize(int32_t count) {
    if (count < 0) return;
    m_entries.clear();
    m_selected = -1;
    m_count = count;
    MarkDirty();
    const int32_t shown = std::min(count, m_visibleRows);
    GUIBaseObject::SetDimensions(m_x1, m_y1, m_width, SaturateToInt32(int64_t{m_rowHeight} * shown + 2 * kMargin));
    GUIScrollBar* bar = GetListBar();
    if (!bar) return;
    bar->SetValue(0);
    bar->SetScrollData(SaturateToInt32(int64_t{m_width} - kBarInset), kMargin,
                       SaturateToInt32(int64_t{m_width} - kMargin), SaturateToInt32(int64_t{m_height} - kMargin), true);
    int64_t step = 1;
    if (count >= m_visibleRows) step = (int64_t{m_height} - 20) / (int64_t{count} - m_visibleRows + 1);
    // More entries than the bar has pixels would give a step of 0, which the
    // bar refuses and so would keep a step sized for an earlier count; one
    // entry per pixel is the finest it can go.
    bar->SetStep(static_cast<int32_t>(std::max<int64_t>(step, 1)));
    m_firstShown = 0;
    MarkDirty();
}

void GUIList::SetListEntry(int32_t index, const std::string& nameKind, const std::string& nameOwner,
                           const std::string& nameProperty, const std::string& objectKind,
                           const std::string& objectOwner, const std::string& objectProperty) {
    if (index < 0 || index >= m_count) return;
    auto entry = std::make_unique<Entry>();
    if (!entry->name.Bind(nameKind, nameOwner, nameProperty) || entry->name.GetValueType() != PropertyRouter::kString) {
        std::fprintf(stderr, "GUIList SetListEntry:  Failed, did not find name in %s %s %s\n", nameKind.c_str(),
                     nameOwner.c_str(), nameProperty.c_str());
        return;
    }
    if (!entry->object.Bind(objectKind, objectOwner, objectProperty)) {
        std::fprintf(stderr, "GUIList SetListEntry:  Failed, did not find object in %s %s %s\n", objectKind.c_str(),
                     objectOwner.c_str(), objectProperty.c_str());
        return;
    }
    std::fprintf(stderr, "Name is %s, points to %p\n", entry->name.AsString()->c_str(), entry->object.Get());
    m_entries[index] = std::move(entry);
    MarkDirty();
}

const GUIList::Entry* GUIList::FindEntry(int32_t index) const {
    auto it = m_entries.find(index);
    return it == m_entries.end() ? nullptr : it->second.get();
}

const std::string* GUIList::GetEntryName(int32_t index) const {
    const Entry* entry = FindEntry(index);
    return entry ? entry->name.AsString() : nullptr;
}

void* GUIList::GetEntryObject(int32_t index) const {
    const Entry* entry = FindEntry(index);
    return entry ? entry->object.Get() : nullptr;
}

int32_t GUIList::GetEntryValueType(int32_t index) const {
    const Entry* entry = FindEntry(index);
    return entry ? entry->object.GetValueType() : PropertyRouter::kNone;
}

void GUIList::SelectRow(int32_t row) {
    const int32_t selected = row >= 0 && row < m_count ? row : -1;
    if (selected == m_selected) return;
    m_selected = selected;
    MarkDirty();
}

int32_t GUIList::RowAt(int y) const {
    if (m_rowHeight <= 0) return -1;
    return SaturateToInt32((int64_t{y} - m_y1) / m_rowHeight);
}

bool GUIList::OnEvent(int event, int, int y) {
    const bool inside = IsMouseInside();
    if (event == kGUIEventPress) {
        m_pressed = false;
        m_row = -1;
        if (inside) {
            m_row = RowAt(y);
            m_pressed = true;
        }
    } else if (event == kGUIEventRelease) {
        if (inside) m_row = RowAt(y);
        m_pressed = false;
    } else if (event == kGUIEventPulse) {
        if (inside && m_pressed) m_row = RowAt(y);
    }
    if (m_row != m_previousRow && m_row < m_visibleRows) {
        // A row counts from the first entry shown, so a scrolled list picks
        // the entry the player sees under the mouse.
        SelectRow(m_row < 0 ? -1 : SaturateToInt32(int64_t{m_firstShown} + m_row));
    }
    m_previousRow = m_row;
    if (GUIScrollBar* bar = GetListBar()) {
        const int64_t last = std::max<int64_t>(int64_t{m_count} - m_visibleRows, 0);
        const int32_t first = static_cast<int32_t>(std::clamp<int64_t>(bar->GetFirstShownIndex(), 0, last));
        if (first != m_firstShown) {
            m_firstShown = first;
            MarkDirty();
        }
    }
    // The list never takes an event: a press on it reaches what lies below.
    return false;
}

void GUIList::Render() {
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    // Rows past the backing bitmap's bottom would be clipped away.
    const int64_t bottom = Backing() ? Backing()->GetHeight() : 0;
    m_drawnNames.clear();
    for (int64_t i = m_firstShown; i < m_count; ++i) {
        const int64_t y1 = int64_t{m_rowHeight} * (i - m_firstShown) + kMargin;
        if (y1 >= bottom) break;
        const int64_t y2 = y1 + m_rowHeight;
        const int32_t index = static_cast<int32_t>(i);
        // In 64 bits: the draw position may be set to anything.
        const float left = static_cast<float>(int64_t{m_drawX} + kMargin);
        const float top = static_cast<float>(m_drawY + y1);
        if (index == m_selected)
            al_draw_filled_rectangle(left, top, static_cast<float>(int64_t{m_drawX} + m_width - kMargin),
                                     static_cast<float>(m_drawY + y2), al_map_rgba(128, 0, 0, 255));
        const std::string* name = GetEntryName(index);
        m_drawnNames.push_back(name ? std::optional<std::string>(*name) : std::nullopt);
        if (name && m_font) al_draw_text(m_font, m_textColour, left, top, 0, name->c_str());
    }
    m_dirty = false;
    DrawChildren(Backing());
}

bool GUIList::ShownStateChanged() const {
    for (size_t row = 0; row < m_drawnNames.size(); ++row) {
        const std::string* name = GetEntryName(SaturateToInt32(int64_t{m_firstShown} + static_cast<int64_t>(row)));
        const std::optional<std::string>& drawn = m_drawnNames[row];
        if (name ? !drawn || *drawn != *name : drawn.has_value()) return true;
    }
    return false;
}

void* GUIList::GetProperty(const std::string&) { return nullptr; }
