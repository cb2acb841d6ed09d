#pragma once
// The conventions every script function follows:
//
//   static int DL_AddSection(lua_State* L) {
//       if (!script::HasArgs(L, 1)) return script::Fail("DL_AddSection:  Failed, invalid argument list\n");
//       std::string name;
//       if (!script::GetText(L, 1, name)) return script::Fail("DL_AddSection:  Failed, invalid argument list\n");
//       DataLibrary* library = GetGlobalState()->dataLibrary;
//       if (!library) return script::Fail("DL_AddSection:  Failed, DataLibrary does not exist\n");
//       ...
//       return 0;                        // setters push nothing
//   }
//
// The argument count is checked first, then the active object and its kind;
// a failure prints the function's own line and returns no results. Script
// functions never raise Lua errors. Managers are fetched from the global
// state at call time, because scripts run before every manager exists.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <functional>
#include <string>

namespace script {

// One registered function: its global name and its C entry point.
struct Function {
    const char* name;
    lua_CFunction function;
};

// Registers each function of a null-terminated table as a global.
void Register(lua_State* L, const Function* table);

// Prints the line on stderr as it stands and returns 0 (no results).
int Fail(const char* line);
int Fail(const std::string& line);

// Number of arguments checks.
inline bool HasArgs(lua_State* L, int count) { return lua_gettop(L) == count; }
inline bool HasArgsBetween(lua_State* L, int low, int high) {
    int n = lua_gettop(L);
    return n >= low && n <= high;
}

// A text argument: a string, or a number in its text form. Nil, booleans,
// tables, functions and missing arguments are refused (returns false).
bool GetText(lua_State* L, int index, std::string& out);
// True when the argument is acceptable as text (see GetText).
bool IsText(lua_State* L, int index);

// A number argument; anything that is not a number reads as 0.
double GetNumber(lua_State* L, int index);
// A number truncated toward zero, clamped into the 32-bit range (NaN reads 0).
int32_t GetInt(lua_State* L, int index);
// A flag: nil, false and 0 are false; everything else is true.
bool GetFlag(lua_State* L, int index);

// Results.
inline int PushNumber(lua_State* L, double value) {
    lua_pushnumber(L, value);
    return 1;
}
inline int PushText(lua_State* L, const std::string& value) {
    lua_pushlstring(L, value.data(), value.size());
    return 1;
}

// The failure lines of one script function: "<name><gap>Failed, <reason>\n".
// Most functions put two blanks after the colon; some put one.
struct Lines {
    std::string name;
    const char* gap = ":  ";

    std::string Line(const std::string& reason) const { return name + gap + "Failed, " + reason + "\n"; }
    std::string Invalid() const { return Line("invalid argument list"); }
    // Prints the line of that reason; returns 0 (no results).
    int Fail(const std::string& reason) const { return script::Fail(Line(reason)); }
};

// The reasons an active-object lookup gives: the missing manager (as in
// "EntityManager does not exist"), nothing active, and an active object of
// another kind (null: the same reason as nothing active).
struct ActiveReasons {
    const char* noManager;
    const char* notSet;
    const char* wrongKind = nullptr;
};

// A family's active object: `getActive` asks the manager for it, `asKind`
// turns it into a T or gives null when it is of another kind. Null after
// the function's line when the manager is missing (scripts run before every
// manager exists), nothing is active, or the kind is wrong.
template <class T, class Manager, class GetActive, class AsKind>
T* ActiveObject(const Lines& lines, Manager* manager, GetActive getActive, AsKind asKind,
                const ActiveReasons& reasons) {
    if (!manager) {
        lines.Fail(reasons.noManager);
        return nullptr;
    }
    auto* object = std::invoke(getActive, manager);
    if (!object) {
        lines.Fail(reasons.notSet);
        return nullptr;
    }
    T* typed = asKind(object);
    if (!typed) lines.Fail(reasons.wrongKind ? reasons.wrongKind : reasons.notSet);
    return typed;
}

// The same, where the kind is the object's class.
template <class T, class Manager, class GetActive>
T* ActiveObject(const Lines& lines, Manager* manager, GetActive getActive, const ActiveReasons& reasons) {
    return ActiveObject<T>(
        lines, manager, getActive, [](auto* object) { return dynamic_cast<T*>(object); }, reasons);
}

}  // namespace script
