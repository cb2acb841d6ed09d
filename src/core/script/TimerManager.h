#pragma once
// Named tick counters for scripts: a script starts a counter, reads how many
// main-game ticks have passed, and deletes it. Names may repeat; lookups and
// deletions take the first counter of a name.
#include <lua5.1/lua.hpp>

#include <cstdint>
#include <memory>
#include <string>

class NamedList;

class TimerManager {
public:
    // Registers the TimerManager_ functions on the script host's state
    // (when it exists).
    TimerManager();
    ~TimerManager();
    TimerManager(const TimerManager&) = delete;
    TimerManager& operator=(const TimerManager&) = delete;

    // Appends a counter (an existing one of the same name stays first).
    void AddTimer(const std::string& name, int32_t start);
    // The first counter of that name, or -700 when there is none.
    int32_t GetTimer(const std::string& name) const;
    // Removes the first counter of that name.
    void DelTimer(const std::string& name);
    // One main-game tick: every counter goes up by 1.
    void Tick();

    static void RegisterLuaFunctions(lua_State* L);

private:
    std::unique_ptr<NamedList> m_timers;
};
