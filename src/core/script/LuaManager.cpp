#include "core/script/LuaManager.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/base/FileNames.h"
#include "core/base/LayerHooks.h"
#include "core/base/TextUtils.h"
#include "core/script/PathManager.h"

LuaManager::LuaManager() {
    m_state = luaL_newstate();
    if (!m_state) {
        std::fputs("LuaManager:  Failed, could not create the Lua state\n", stderr);
        return;
    }
    luaL_openlibs(m_state);
    // The script host's own families, then those of the subsystems it opens
    // with (cameras, GUI, chat log, script variables), which the top layer
    // hands down.
    RegisterLuaManagerFunctions(m_state);
    if (auto registerFamilies = GetLayerHooks().registerHostFamilies) registerFamilies(m_state);
    PathManager::RegisterLuaFunctions(m_state);
}

LuaManager::~LuaManager() { Close(); }

void LuaManager::Close() {
    if (m_state) lua_close(m_state);
    m_state = nullptr;
    m_compiled.clear();
    m_loadTop = -1;
}

bool LuaManager::LoadFile(const std::string& path) {
    if (!m_state) {
        std::fputs("Lua Error during Loading: no Lua state\n", stderr);
        return false;
    }
    std::string fullPath = NormalizePath(m_basePath + path);
    std::string source;
    int top = lua_gettop(m_state);

    // The compiled chunk is run again while the file is unchanged. Its
    // environment is set back to the globals, as a fresh chunk's would be.
    struct stat info {};
    const bool found = ::stat(fullPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    const int64_t modifiedNs = int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
    // File times come from the wall clock, so the wall clock tells their age.
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const int64_t nowNs = int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
    const bool settled = found && nowNs - modifiedNs > int64_t{2} * 1000000000;
    auto cached = m_compiled.find(fullPath);
    if (cached != m_compiled.end()) {
        const Compiled& entry = cached->second;
        if (settled && entry.modifiedNs == modifiedNs && entry.size == info.st_size && entry.inode == info.st_ino) {
            lua_rawgeti(m_state, LUA_REGISTRYINDEX, entry.reference);
            lua_pushvalue(m_state, LUA_GLOBALSINDEX);
            lua_setfenv(m_state, -2);
            m_lastStatus = 0;
            m_loadTop = top;
            return true;
        }
        ForgetCompiled(fullPath);
    }

    errno = 0;
    if (!ReadFileContents(fullPath, source)) {
        const char* reason = errno ? std::strerror(errno) : "read failed";
        // The whole path as text (a zero byte too), and the line end.
        const std::string line =
            "Lua Error during Loading: cannot open " + PrintableText(fullPath) + ": " + reason + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        m_lastStatus = 0;
        return false;
    }
    // A first line starting with '#' (a shell line) is skipped, keeping its
    // line end so that error lines keep their numbers.
    size_t start = 0;
    if (!source.empty() && source[0] == '#') {
        start = source.find('\n');
        if (start == std::string::npos) start = source.size();
    }
    std::string chunkName = "@" + fullPath;
    m_lastStatus = luaL_loadbuffer(m_state, source.data() + start, source.size() - start, chunkName.c_str());
    if (m_lastStatus != 0) {
        size_t length = 0;
        const char* message = lua_tolstring(m_state, -1, &length);
        // The message quotes the file's bytes near the fault: printed as text.
        const std::string line =
            "Lua Error during Loading: " + (message ? PrintableText({message, length}) : std::string("(no message)")) +
            "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        lua_settop(m_state, top);
        m_lastStatus = 0;
        return false;
    }
    // Kept only when the file was seen, settled, before it was read; a file
    // changed in between is compiled again on its next run.
    if (settled) {
        lua_pushvalue(m_state, -1);
        const int reference = luaL_ref(m_state, LUA_REGISTRYINDEX);
        m_compiled[fullPath] =
            Compiled{reference, modifiedNs, static_cast<int64_t>(info.st_size), static_cast<uint64_t>(info.st_ino)};
    }
    m_loadTop = top;
    return true;
}

void LuaManager::ForgetCompiled(const std::string& fullPath) {
    auto it = m_compiled.find(fullPath);
    if (it == m_compiled.end()) return;
    if (m_state) luaL_unref(m_state, LUA_REGISTRYINDEX, it->second.reference);
    m_compiled.erase(it);
}

bool LuaManager::Execute() {
    if (!m_state || m_loadTop < 0 || lua_gettop(m_state) != m_loadTop + 1 || !lua_isfunction(m_state, -1)) {
        std::fputs("Lua Error during Execution: no script loaded\n", stderr);
        return false;
    }
    int top = m_loadTop;
    m_loadTop = -1;
    m_lastStatus = lua_pcall(m_state, 0, LUA_MULTRET, 0);
    bool ok = m_lastStatus == 0;
    if (!ok) {
        size_t length = 0;
        const char* message = lua_tolstring(m_state, -1, &length);
        // The script's own message (error's argument): printed as text.
        const std::string line = "Lua Error during Execution: " +
                                 (message ? PrintableText({message, length}) : std::string("(no message)")) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        m_lastStatus = 0;
    }
    // Results (or the message) are dropped so repeated runs never grow the
    // stack of whoever called us.
    lua_settop(m_state, top);
    return ok;
}

bool LuaManager::RunFile(const std::string& path, int32_t scriptCode) {
    bool nested = m_runDepth > 0;
    if (nested) SaveContext();
    bool ok = false;
    if (LoadFile(path)) {
        m_scriptCode = scriptCode;
        ++m_runDepth;
        ok = Execute();
        --m_runDepth;
    }
    if (nested) RestoreContext();
    return ok;
}

void LuaManager::SetBasePath(const std::string& text) {
    if (text == "NULL")
        m_basePath.clear();
    else
        m_basePath = text;
}

void LuaManager::ForgetEntity(RootEntity* entity) {
    if (!entity) return;
    if (m_caller == entity) m_caller = nullptr;
    for (Context& context : m_saved)
        if (context.caller == entity) context.caller = nullptr;
}

void LuaManager::ClearArguments() {
    m_arguments.clear();
    m_capacity = 0;
}

void LuaManager::AllocateArguments(int32_t count) {
    m_arguments.clear();
    m_capacity = count > 0 ? count : 0;
}

void LuaManager::PushArgumentNumber(float value) {
    if (static_cast<int32_t>(m_arguments.size()) < m_capacity) m_arguments.emplace_back(value);
}

void LuaManager::PushArgumentString(const std::string& value) {
    if (static_cast<int32_t>(m_arguments.size()) < m_capacity) m_arguments.emplace_back(value);
}

float LuaManager::GetArgumentNumber(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(m_arguments.size())) return 0.0f;
    if (const float* value = std::get_if<float>(&m_arguments[index])) return *value;
    return 0.0f;
}

std::optional<std::string> LuaManager::GetArgumentString(int32_t index) const {
    if (index < 0 || index >= m_capacity) return std::string("ARGUMENT WAS OUT OF RANGE");
    if (index >= static_cast<int32_t>(m_arguments.size())) return std::nullopt;
    if (const std::string* value = std::get_if<std::string>(&m_arguments[index])) return *value;
    return std::nullopt;
}

void LuaManager::SaveContext() {
    m_saved.push_back(Context{m_scriptCode, m_scriptString, m_caller, m_arguments, m_capacity});
}

void LuaManager::RestoreContext() {
    if (m_saved.empty()) return;
    Context& context = m_saved.back();
    m_scriptCode = context.scriptCode;
    m_scriptString = std::move(context.scriptString);
    m_caller = context.caller;
    m_arguments = std::move(context.arguments);
    m_capacity = context.capacity;
    m_saved.pop_back();
}
