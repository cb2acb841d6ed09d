#pragma once
// A scope of script variables (a character's, the map environment's or the
// global one). Names may repeat: adding never checks, and every lookup,
// change and deletion takes the first variable of a name.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>

class NamedNodeList;
class ScriptVariable;

class ScriptVariableSet {
public:
    ScriptVariableSet();
    ~ScriptVariableSet();
    ScriptVariableSet(const ScriptVariableSet&) = delete;
    ScriptVariableSet& operator=(const ScriptVariableSet&) = delete;

    void AddNumber(const std::string& name, float number);
    void AddString(const std::string& name, const std::string& text);
    // Removes the first variable of that name; nothing when absent.
    void Delete(const std::string& name);
    void Clear();

    // The first variable's integer value; -100 when the name is absent
    // (0 for a text variable).
    int32_t GetNumber(const std::string& name) const;
    // The first variable's text; null when absent or a number variable.
    const std::string* GetString(const std::string& name) const;
    // Change the first variable of that name; false (nothing added) when
    // the name is absent.
    bool SetNumber(const std::string& name, float number);
    bool SetString(const std::string& name, const std::string& text);

    int32_t GetCount() const;
    // By position; out of range gives null or 0.
    const std::string* GetStringAt(int32_t index) const;
    int32_t GetNumberAt(int32_t index) const;

private:
    ScriptVariable* FindFirst(const std::string& name) const;

    std::unique_ptr<NamedNodeList> m_list;
};
