#pragma once
// A column of named rows, each bound through the property router to a
// string field that names it and to a field of some object of the world it
// stands for. A press picks a row; the list's own vertical scroll bar
// ("ListBar") chooses the first row shown.
//
// Entries keep router-kept addresses, not raw pointers: when the object a
// name or a field lives in goes, the entry shows nothing and selects
// nothing instead of reading freed memory.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/script/PropertyRouter.h"
#include "gui/GUIBaseObject.h"

class GUIScrollBar;

class GUIList : public GUIBaseObject {
public:
    // Makes the "ListBar" child; the font is Fonts/General/System/"SystemFont".
    GUIList();
    ~GUIList() override;

    // n entries, all empty; the height fits the rows shown (at most the
    // visible rows) and the bar is laid out and stepped for the count.
    // Negative sizes are ignored.
    void SetListSize(int32_t count);
    // Binds entry `index` to the routed name (a string field) and object;
    // out-of-range indexes are ignored. A failed route prints its line and
    // leaves the entry as it was.
    void SetListEntry(int32_t index, const std::string& nameKind, const std::string& nameOwner,
                      const std::string& nameProperty, const std::string& objectKind, const std::string& objectOwner,
                      const std::string& objectProperty);
    // Selects entry r (nothing when out of range).
    void SelectRow(int32_t row);

    int32_t GetCount() const { return m_count; }
    int32_t GetFirstShown() const { return m_firstShown; }
    int32_t GetRowHeight() const { return m_rowHeight; }
    int32_t GetVisibleRows() const { return m_visibleRows; }
    int32_t GetRowUnderMouse() const { return m_row; }
    bool IsPressed() const { return m_pressed; }
    // The entry's name, or null when it has none or its owner has gone.
    const std::string* GetEntryName(int32_t index) const;
    void* GetEntryObject(int32_t index) const;
    int32_t GetEntryValueType(int32_t index) const;
    int32_t GetSelectedIndex() const { return m_selected; }
    // The selected entry's object and its value type (null and 0 when none).
    void* GetSelectedObject() const { return GetEntryObject(m_selected); }
    int32_t GetSelectedValueType() const { return GetEntryValueType(m_selected); }
    GUIScrollBar* GetListBar() const;

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // GUIL_SetListSize, GUIL_SetListEntry.
    static void RegisterLuaFunctions(lua_State* L);

private:
    struct Entry {
        PropertyRouter::SyncPointer name;
        PropertyRouter::SyncPointer object;
    };

    const Entry* FindEntry(int32_t index) const;
    int32_t RowAt(int y) const;
    // The names shown are other objects' fields: true when one of the rows
    // the last Render drew now reads differently.
    bool ShownStateChanged() const override;

    int32_t m_firstShown = 0;
    // Only bound entries are stored, so a large count costs nothing.
    std::map<int32_t, std::unique_ptr<Entry>> m_entries;
    int32_t m_count = 0;
    ALLEGRO_COLOR m_textColour;
    ALLEGRO_FONT* m_font = nullptr;
    int32_t m_rowHeight = 16;
    int32_t m_visibleRows = 10;
    bool m_pressed = false;
    int32_t m_row = -1;
    int32_t m_previousRow = -1;
    int32_t m_selected = -1;
    std::weak_ptr<char> m_barLife;
    GUIScrollBar* m_bar = nullptr;
    // The name of each row the last Render drew (absent: no name).
    std::vector<std::optional<std::string>> m_drawnNames;
};
