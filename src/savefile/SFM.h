#pragma once
// The save-file manager: writes the party and the player's inventory into
// one save file of typed records and reads them back.
//
// File: the 18 bytes "TamskCube Savefile", the record count (u32), then the
// records back to back; every number little-endian, no padding. A save goes
// to a temporary file that replaces the old save only once it is whole. A
// load reads and checks the whole file before anything in the game changes.
#include <lua5.1/lua.hpp>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/base/FileBuffer.h"
#include "savefile/SavefileModule.h"

class SFM {
public:
    static constexpr const char* kMagic = "TamskCube Savefile";
    static constexpr size_t kMagicSize = 18;

    SFM();
    ~SFM();
    SFM(const SFM&) = delete;
    SFM& operator=(const SFM&) = delete;

    // The records of the modules that have a name and data, through a
    // temporary file renamed over the path (WriteFileWhole). False, with any
    // old file left as it was and `error`, when given, the errno of what
    // failed, when the path is empty or anything fails.
    bool WriteFile(const std::string& path, int* error = nullptr);
    // Reads and checks the whole file; on success the module list holds its
    // records. False, with the list as it was, for a missing file, a wrong
    // magic, a record that runs past the end, a payload of the wrong size,
    // or bytes left after the last record.
    bool ReadFile(const std::string& path);
    void ClearFileBuffer() { m_fileBuffer.reset(); }

    void AddModule(std::unique_ptr<SavefileModule> module);
    void AddModuleNamed(const std::string& name, std::unique_ptr<SavefileModule> module);
    void RemoveModule(const std::string& name);
    SavefileModule* FindModule(const std::string& name) const;
    void ClearModules() { m_modules.clear(); }
    size_t GetModuleCount() const { return m_modules.size(); }
    SavefileModule* GetModuleAt(size_t index) const;

    // Type 1 a character module, 2 an inventory module; any other type is
    // reported and gives a base module.
    static std::unique_ptr<SavefileModule> GetModuleSubtype(uint32_t type);

    // Saves every party member in party order, then the inventory: true
    // when the save was written. A failure prints "Problem saving <path>
    // (<why>)." and leaves the old save as it was.
    bool IssueSave(const std::string& path);
    // A good file replaces the party and refills the inventory; a bad one
    // gives "Problem opening <path>." and changes nothing.
    void IssueLoad(const std::string& path);

    // SFM_IssueSave (which answers whether the save was written) and
    // SFM_IssueLoad.
    static void RegisterLuaFunctions(lua_State* L);

private:
    std::unique_ptr<FileBuffer> m_fileBuffer;
    std::vector<std::pair<std::string, std::unique_ptr<SavefileModule>>> m_modules;
};
