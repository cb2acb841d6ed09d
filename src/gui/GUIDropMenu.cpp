#include "gui/GUIDropMenu.h"

#include <allegro5/allegro_primitives.h>

#include <cstdio>

#include "core/base/GlobalState.h"
#include "core/base/Int32Range.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/OptionalMedia.h"
#include "core/script/DataLibrary.h"
#include "core/script/LuaManager.h"

namespace {

constexpr int kBarHeight = 20;    // the strip of field names
constexpr int kEntryStep = 16;    // from one entry to the next
constexpr int kEntryHeight = 20;  // an entry's backdrop
constexpr int kCharWidth = 8;     // a field's width per letter of its name

}  // namespace

GUIDropMenu::GUIDropMenu() : m_font(SystemFont()), m_colour(al_map_rgba(0, 0, 0, 255)) {
    m_type = kTypeGUIDropMenu;
    m_redrawEveryPulse = false;
}

GUIDropMenu::~GUIDropMenu() = default;

GUIDropMenu::Field* GUIDropMenu::FindField(const std::string& name) {
    for (Field& field : m_fields)
        if (field.name == name) return &field;
    return nullptr;
}

const GUIDropMenu::Field* GUIDropMenu::FindField(const std::string& name) const {
    return const_cast<GUIDropMenu*>(this)->FindField(name);
}

const GUIDropMenu::Entry* GUIDropMenu::FindEntry(const std::string& field, const std::string& entryName) const {
    const Field* found = FindField(field);
    if (!found) return nullptr;
    for (const auto& [name, entry] : found->entries)
        if (name == entryName) return entry.get();
    return nullptr;
}

int GUIDropMenu::GetEntryCount(const std::string& field) const {
    const Field* found = FindField(field);
    return found ? static_cast<int>(found->entries.size()) : 0;
}

void GUIDropMenu::AddField(const std::string& name) {
    m_fields.push_back({name, {}});
    MarkDirty();
}

void GUIDropMenu::AddEntry(const std::string& field, const std::string& entryName, const std::string& label,
                           const std::string& scriptPath, int32_t scriptArgument, bool marked) {
    Field* found = FindField(field);
    if (!found) {
        std::fprintf(stderr, "GUIDropMenu AddEntry:  Failed, did not find field %s\n", field.c_str());
        return;
    }
    auto entry = std::make_unique<Entry>();
    entry->label = label;
    entry->scriptPath = scriptPath;
    entry->scriptArgument = scriptArgument;
    entry->font = SystemFont();
    entry->colour = al_map_rgba(0, 0, 0, 255);
    if (marked) entry->marker = &m_markerCount;
    found->entries.emplace_back(entryName, std::move(entry));
    const int64_t count = static_cast<int64_t>(found->entries.size());
    if (count > m_mostEntries) {
        m_mostEntries = SaturateToInt32(count);
        GUIBaseObject::SetDimensions(m_x1, m_y1, m_width, SaturateToInt32((count + 1) * kEntryStep + 4));
    }
    MarkDirty();
}

void GUIDropMenu::ModifyEntry(const std::string& field, const std::string& entryName, const std::string& label,
                              const std::string& scriptPath, int32_t scriptArgument, bool marked) {
    Field* found = FindField(field);
    if (!found) {
        std::fprintf(stderr, "GUIDropMenu ModifyEntry:  Failed, did not find field %s\n", field.c_str());
        return;
    }
    Entry* entry = nullptr;
    for (auto& [name, candidate] : found->entries)
        if (name == entryName) {
            entry = candidate.get();
            break;
        }
    if (!entry) {
        std::fprintf(stderr, "GUIDropMenu ModifyEntry:  Failed, did not find entry %s\n", entryName.c_str());
        return;
    }
    entry->label = label;
    entry->scriptPath = scriptPath;
    entry->scriptArgument = scriptArgument;
    if (marked) entry->marker = &m_markerCount;
    MarkDirty();
}

void GUIDropMenu::RunEntry(const Entry& entry) {
    if (entry.scriptPath.empty()) return;
    // Copies: the script may take the menu, and the entry with it, away.
    const std::string path = entry.scriptPath;
    const int32_t argument = entry.scriptArgument;
    if (LuaManager* lua = GetGlobalState()->luaManager) lua->RunFile(path, argument);
}

// Events change nothing the menu shows.
bool GUIDropMenu::OnEvent(int, int, int) { return false; }

void GUIDropMenu::DrawEntry(const Entry& entry, int64_t x, int64_t y) const {
    if (!entry.font) return;
    if (entry.marked && entry.marker) {
        for (int64_t k = 0; k < *entry.marker; ++k)
            al_draw_text(entry.font, entry.colour, static_cast<float>(x + kCharWidth * k), static_cast<float>(y), 0,
                         "-");
        return;
    }
    al_draw_text(entry.font, entry.colour, static_cast<float>(x), static_cast<float>(y), 0, entry.label.c_str());
}

void GUIDropMenu::Render() {
    if (Backing() && Backing()->GetBitmap()) Backing()->SetAsTarget();
    // Coordinates in 64 bits: the draw position may be set to anything.
    const int64_t ox = m_drawX;
    const int64_t oy = m_drawY;
    al_draw_filled_rectangle(static_cast<float>(ox), static_cast<float>(oy), static_cast<float>(ox + m_width),
                             static_cast<float>(oy + kBarHeight), al_map_rgba(214, 221, 239, 255));
    int64_t x = 0;
    int32_t index = 0;
    for (const Field& field : m_fields) {
        const int64_t fieldWidth = static_cast<int64_t>(field.name.size()) * kCharWidth + 4;
        const int64_t fx = ox + x;
        if (m_font)
            al_draw_text(m_font, m_colour, static_cast<float>(fx + 2), static_cast<float>(oy + 2), 0,
                         field.name.c_str());
        // With no way yet to open one field, every field shows its column.
        m_openField = index;
        int64_t fy = oy + kBarHeight;
        for (const auto& [name, entry] : field.entries) {
            // Each backdrop spans its own field's column.
            al_draw_filled_rectangle(static_cast<float>(fx), static_cast<float>(fy),
                                     static_cast<float>(fx + fieldWidth), static_cast<float>(fy + kEntryHeight),
                                     al_map_rgba(196, 196, 196, 255));
            DrawEntry(*entry, fx, fy);
            fy += kEntryStep;
        }
        x += fieldWidth;
        ++index;
    }
    m_dirty = false;
    DrawChildren(Backing());
}

void* GUIDropMenu::GetProperty(const std::string&) { return nullptr; }
