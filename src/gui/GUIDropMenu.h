#pragma once
// A menu bar of named fields, each with a column of entries that carry a Lua
// script and an argument. The bar draws every field's name with its column
// of entries beneath it; it takes no input of its own.
#include <allegro5/allegro.h>
#include <allegro5/allegro_font.h>
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/GUIBaseObject.h"

class GUIDropMenu : public GUIBaseObject {
public:
    // One entry of a field's column.
    struct Entry {
        std::string label;
        std::string scriptPath;
        int32_t scriptArgument = -1;
        ALLEGRO_FONT* font = nullptr;
        ALLEGRO_COLOR colour{0, 0, 0, 1};
        // The menu's marker count, for an entry added or changed as marked.
        const int32_t* marker = nullptr;
        bool marked = false;
    };

    // The font is Fonts/General/System/"SystemFont"; the text is black.
    GUIDropMenu();
    ~GUIDropMenu() override;

    // Appends an empty field under the name.
    void AddField(const std::string& name);
    // Appends an entry to the field (a line when there is no such field). The
    // menu grows to fit the longest column.
    void AddEntry(const std::string& field, const std::string& entryName, const std::string& label,
                  const std::string& scriptPath, int32_t scriptArgument, bool marked);
    // Replaces the label, script and argument of an existing entry.
    void ModifyEntry(const std::string& field, const std::string& entryName, const std::string& label,
                     const std::string& scriptPath, int32_t scriptArgument, bool marked);
    // Runs the entry's script with its argument, when it has one.
    static void RunEntry(const Entry& entry);

    // The first field / entry of that name, or null.
    const Entry* FindEntry(const std::string& field, const std::string& entryName) const;
    int GetFieldCount() const { return static_cast<int>(m_fields.size()); }
    int GetEntryCount(const std::string& field) const;
    int32_t GetMostEntries() const { return m_mostEntries; }
    int32_t GetOpenField() const { return m_openField; }
    const int32_t* GetMarkerCount() const { return &m_markerCount; }

    bool OnEvent(int event, int x, int y) override;
    void Render() override;
    void* GetProperty(const std::string& name) override;

    // GUIDM_AddField, GUIDM_AddEntry, GUIDM_ModifyEntry.
    static void RegisterLuaFunctions(lua_State* L);

private:
    using EntryList = std::vector<std::pair<std::string, std::unique_ptr<Entry>>>;
    struct Field {
        std::string name;
        EntryList entries;
    };

    Field* FindField(const std::string& name);
    const Field* FindField(const std::string& name) const;
    void DrawEntry(const Entry& entry, int64_t x, int64_t y) const;

    std::vector<Field> m_fields;
    int32_t m_markerCount = 0;
    int32_t m_openField = -1;
    int32_t m_mostEntries = 0;
    ALLEGRO_FONT* m_font = nullptr;
    ALLEGRO_COLOR m_colour;
};
