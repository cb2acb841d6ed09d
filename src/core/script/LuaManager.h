#pragma once
// Owner of the program's one Lua state. Runs script files and carries the
// small context a running script can query: the script code, the script
// string, the pending arguments and the entity that runs the script.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

class RootEntity;

class LuaManager {
public:
    // Creates the state, opens the standard libraries and registers the
    // script host's own families.
    LuaManager();
    ~LuaManager();
    LuaManager(const LuaManager&) = delete;
    LuaManager& operator=(const LuaManager&) = delete;

    lua_State* GetLuaState() const { return m_state; }

    // Loads the base path + path and runs it with the given script code.
    // Load and run-time errors are reported on stderr; false then.
    // A run started while another script is running keeps the outer
    // script's context (code, string, caller, arguments) intact.
    bool RunFile(const std::string& path, int32_t scriptCode);
    // Loads base path + path as a chunk on top of the stack. A file is
    // compiled once and kept by its path; it is compiled again when its
    // modification time, size or inode changes. A file changed in the last
    // two seconds is read every time, since a second change within the
    // clock's granularity could keep its time and size.
    bool LoadFile(const std::string& path);
    // Compiled scripts kept.
    size_t GetCompiledCount() const { return m_compiled.size(); }
    // Runs the chunk loaded by LoadFile; its results are dropped.
    bool Execute();

    // "NULL" clears the base path; anything else replaces it.
    void SetBasePath(const std::string& text);
    const std::string& GetBasePath() const { return m_basePath; }

    void SetScriptCode(int32_t code) { m_scriptCode = code; }
    int32_t GetScriptCode() const { return m_scriptCode; }
    void SetScriptString(const std::string& text) { m_scriptString = text; }
    void ClearScriptString() { m_scriptString.reset(); }
    const std::optional<std::string>& GetScriptString() const { return m_scriptString; }

    void SetCallerEntity(RootEntity* entity) { m_caller = entity; }
    RootEntity* GetCallerEntity() const { return m_caller; }
    // Forgets an entity that is going away: the current caller and every
    // saved outer caller that point at it are cleared.
    void ForgetEntity(RootEntity* entity);

    void SetDebugMode(bool on) { m_debugMode = on ? 1 : 0; }
    bool IsDebugMode() const { return m_debugMode != 0; }
    int32_t GetLastStatus() const { return m_lastStatus; }

    // Pending arguments handed to a script run with arguments.
    void ClearArguments();
    void AllocateArguments(int32_t count);
    void PushArgumentNumber(float value);
    void PushArgumentString(const std::string& value);
    int32_t GetArgumentCapacity() const { return m_capacity; }
    // 0.0 out of range, for an empty slot and for a text slot.
    float GetArgumentNumber(int32_t index) const;
    // The text of slot i; nullopt for an empty or number slot; out of range
    // the text "ARGUMENT WAS OUT OF RANGE".
    std::optional<std::string> GetArgumentString(int32_t index) const;

    // Saves the running script's context before a nested run and puts it
    // back afterwards. Calls pair up; RunFile uses them for nested runs.
    // Code that changes the caller entity or the arguments for a run it
    // starts saves first (ContextGuard), so the script that was running
    // finds its own context again afterwards.
    void SaveContext();
    void RestoreContext();

    class ContextGuard {
    public:
        explicit ContextGuard(LuaManager& manager) : m_manager(manager) { m_manager.SaveContext(); }
        ~ContextGuard() { m_manager.RestoreContext(); }
        ContextGuard(const ContextGuard&) = delete;
        ContextGuard& operator=(const ContextGuard&) = delete;

    private:
        LuaManager& m_manager;
    };

    // Closes the state; later runs fail with a line.
    void Close();

private:
    using Argument = std::variant<std::monostate, float, std::string>;
    struct Context {
        int32_t scriptCode;
        std::optional<std::string> scriptString;
        RootEntity* caller;
        std::vector<Argument> arguments;
        int32_t capacity;
    };

    lua_State* m_state = nullptr;
    std::string m_basePath;
    uint8_t m_debugMode = 0;
    int32_t m_lastStatus = 0;
    // Slots are filled in order, so only the filled ones are stored: a slot
    // at or past their end and below the capacity is empty. A script asking
    // for a huge capacity therefore allocates nothing.
    std::vector<Argument> m_arguments;
    int32_t m_capacity = 0;
    RootEntity* m_caller = nullptr;
    int32_t m_scriptCode = 0;
    std::optional<std::string> m_scriptString;
    // Depth of RunFile calls in progress, and the contexts saved around
    // nested runs (innermost last).
    int32_t m_runDepth = 0;
    std::vector<Context> m_saved;
    // Stack top before the last LoadFile, so Execute can drop results.
    int m_loadTop = -1;

    // A compiled script: the chunk, held in the registry, and what the file
    // looked like when it was read.
    struct Compiled {
        int reference;
        int64_t modifiedNs;
        int64_t size;
        uint64_t inode;
    };
    std::unordered_map<std::string, Compiled> m_compiled;
    void ForgetCompiled(const std::string& fullPath);
};

// Registers the script host's own functions (GetScriptCode ... LM_...).
void RegisterLuaManagerFunctions(lua_State* L);
// Registers GN_IsPointWithinRect.
void RegisterGeneralFunctions(lua_State* L);
