#pragma once
// The registry through which named resources and script objects are found.
//
// Entries live four levels deep: Root -> Section -> Catalogue -> Heading ->
// entry, and are addressed by four names (written in messages as
// Root/Section/Catalogue/Heading/Name). Every entry carries its kind, and a
// lookup that expects another kind finds nothing.
//
// The library owns its level lists and its entry records, never what an
// entry points to.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class NamedList;

// What a registered pointer points to.
enum class DataKind : int32_t {
    Any = 0,  // in a lookup: matches every entry
    Bitmap,
    Portrait,
    Palette,
    Font,
    TextureFile,
    Sound,
    SoundRecord,
    Music,
    ItemPrototype,
    EnemyPrototype,
    FieldSpriteAnimation,
    ConsoleCommand,
    FieldSprite,            // only ever the active object, never registered
    FieldSpriteDisplayList  // the same
};

// What a texture-file entry points to: the file name as the script gave it.
struct TextureFile {
    std::string fileName;
};

class DataLibrary {
public:
    // One registered pointer with its kind (the value of a Heading list).
    struct Entry {
        void* pointer;
        DataKind kind;
    };

    DataLibrary();
    ~DataLibrary();
    DataLibrary(const DataLibrary&) = delete;
    DataLibrary& operator=(const DataLibrary&) = delete;

    // Lookups. Warnings go to stderr while warn-on-miss is set; the first
    // level that fails ends the lookup, so only its warning is printed.
    NamedList* GetSection(const char* section);
    NamedList* GetCatalogueB(NamedList* sectionList, const char* catalogue);
    NamedList* GetHeadingB(NamedList* catalogueList, const char* heading);
    NamedList* GetCatalogue(const char* section, const char* catalogue);
    NamedList* GetHeading(const char* section, const char* catalogue, const char* heading);
    // In the active Section / Catalogue; with none a line is always printed.
    NamedList* GetCatalogueA(const char* catalogue);
    NamedList* GetHeadingA(const char* heading);

    // The first entry of that name and kind (Any matches every entry), or
    // null with "DataLibrary:  Warning, Root/s/c/h/n does not exist"; when
    // the name is there with another kind only, the line says so instead:
    // "DataLibrary:  Warning, Root/s/c/h/n is a Portrait, not a Bitmap".
    void* GetPointer(const char* section, const char* catalogue, const char* heading, const char* name, DataKind kind);
    template <class T>
    T* Get(const char* section, const char* catalogue, const char* heading, const char* name, DataKind kind) {
        return static_cast<T*>(GetPointer(section, catalogue, heading, name, kind));
    }

    // The same lookup without any warning line, for entries a game may
    // leave out; warn-on-miss is as before afterwards.
    void* GetPointerQuietly(const char* section, const char* catalogue, const char* heading, const char* name,
                            DataKind kind);
    template <class T>
    T* GetQuietly(const char* section, const char* catalogue, const char* heading, const char* name, DataKind kind) {
        return static_cast<T*>(GetPointerQuietly(section, catalogue, heading, name, kind));
    }

    // Silent searches without a path; null when absent.
    void* FindPointerAnywhere(const char* name, DataKind kind = DataKind::Any);
    void* FindPointerInSection(NamedList* sectionList, const char* name, DataKind kind = DataKind::Any);
    void* FindPointerInCatalogue(NamedList* catalogueList, const char* name, DataKind kind = DataKind::Any);
    void* FindPointerInHeading(NamedList* headingList, const char* name, DataKind kind = DataKind::Any);

    // Building. Adding a level whose name already exists makes the existing
    // one active (so later registrations are found by their path).
    NamedList* AddSection(const char* section);
    NamedList* AddCatalogue(const char* section, const char* catalogue);
    NamedList* AddHeading(const char* section, const char* catalogue, const char* heading);

    // Appends the pointer under the name (duplicates are kept; lookups take
    // the first). A null pointer only warns. Returns true when registered.
    bool Register(const char* section, const char* catalogue, const char* heading, const char* name, void* pointer,
                  DataKind kind);
    bool RegisterInActiveHeading(const char* name, void* pointer, DataKind kind);
    // For what a script function has just made: registers it at the four
    // names (section, catalogue, heading, name), or with one name in the
    // active Heading, and deletes it when it finds no place, because nothing
    // else would ever free it. `names` holds `count` (4 or 1) names.
    template <class T> void RegisterOrDelete(const std::string* names, int count, T* made, DataKind kind) {
        bool registered =
            count == 4 ? Register(names[0].c_str(), names[1].c_str(), names[2].c_str(), names[3].c_str(), made, kind)
                       : RegisterInActiveHeading(names[0].c_str(), made, kind);
        if (!registered) delete made;
    }

    // Takes an entry of that name and kind out (with duplicates: the head,
    // else the tail, else the first inner one, as NamedList::Remove does) and
    // returns its pointer, which the caller now owns; null with a line when
    // absent (the same lines as GetPointer).
    void* RemovePointer(const char* section, const char* catalogue, const char* heading, const char* name,
                        DataKind kind);

    // The active object: the entry the script families configure.
    void SetActiveObject(void* object, DataKind kind);
    // The object registered at the path (null on a miss, with the warnings).
    void SetActiveObject(const char* section, const char* catalogue, const char* heading, const char* name);
    // Null when the active object is of another kind (Any: whatever it is).
    void* GetActiveObject(DataKind expected);
    DataKind GetActiveKind() const { return activeKind_; }
    void PushActiveEntity();
    void* PopActiveEntity();
    size_t GetStackDepth() const { return stack_.size(); }
    // An object about to be deleted: it stops being the active object and
    // leaves the active-entity stack (its slots there read as null).
    void ForgetObject(const void* object);

    void SetWarnOnMiss(uint8_t value) { warnOnMiss_ = value; }
    uint8_t GetWarnOnMiss() const { return warnOnMiss_; }
    void SetVerbose(uint8_t value) { verbose_ = value; }
    uint8_t GetVerbose() const { return verbose_; }

    NamedList* GetRoot() { return root_; }
    NamedList* GetActiveSection() { return activeSection_; }
    NamedList* GetActiveCatalogue() { return activeCatalogue_; }
    NamedList* GetActiveHeading() { return activeHeading_; }
    const std::string& GetActiveSectionName() const { return activeSectionName_; }
    const std::string& GetActiveCatalogueName() const { return activeCatalogueName_; }
    const std::string& GetActiveHeadingName() const { return activeHeadingName_; }

    // Registers the DL_ script functions of this file family.
    static void RegisterLuaFunctions(lua_State* L);

private:
    Entry* FindEntry(NamedList* headingList, const char* name, DataKind kind);
    // The line for a name not found with that kind in the heading list.
    void ReportMiss(NamedList* headingList, const char* section, const char* catalogue, const char* heading,
                    const char* name, DataKind kind);
    NamedList* NewList();
    void Append(NamedList* headingList, const char* name, void* pointer, DataKind kind);

    uint8_t verbose_ = 0;
    uint8_t warnOnMiss_ = 1;
    NamedList* root_ = nullptr;
    std::vector<std::pair<void*, DataKind>> stack_;
    void* activeObject_ = nullptr;
    DataKind activeKind_ = DataKind::Any;
    NamedList* activeSection_ = nullptr;
    NamedList* activeCatalogue_ = nullptr;
    NamedList* activeHeading_ = nullptr;
    std::string activeSectionName_;
    std::string activeCatalogueName_;
    std::string activeHeadingName_;
    // Everything the library made, freed by the destructor.
    std::vector<NamedList*> lists_;
    std::vector<Entry*> entries_;
};

// Turns a library's warn-on-miss off for its lifetime and then restores
// what it was, for a run of lookups that may miss without a fault.
class QuietLookups {
public:
    explicit QuietLookups(DataLibrary& library) : library_(library), saved_(library.GetWarnOnMiss()) {
        library_.SetWarnOnMiss(0);
    }
    ~QuietLookups() { library_.SetWarnOnMiss(saved_); }
    QuietLookups(const QuietLookups&) = delete;
    QuietLookups& operator=(const QuietLookups&) = delete;

private:
    DataLibrary& library_;
    uint8_t saved_;
};
