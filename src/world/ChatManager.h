#pragma once
// Keeps the log of the lines typed into a watched input box and offers the
// ten newest as router properties ("ChatLog" owner kind, "Log|00" the newest
// to "Log|09"), so that text widgets can show them. Created once at start-up
// into GlobalState::chatManager; Update runs once per main-game tick.
#include <lua5.1/lua.hpp>

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "core/base/RootObject.h"

class GUIBaseObject;

class ChatManager : public RootObject {
public:
    static constexpr int kNewestLines = 10;
    // The log keeps this many lines; older ones are dropped.
    static constexpr size_t kMaxLogLines = 1000;

    ChatManager();
    // Drops every kept address of its lines (PropertyRouter::ForgetOwner).
    virtual ~ChatManager();
    ChatManager(const ChatManager&) = delete;
    ChatManager& operator=(const ChatManager&) = delete;

    // The address of a newest-line slot for "Log|NN", NN read as a decimal
    // number (up to the first non-digit of the two characters) in 0..9,
    // reported with value type 3 (std::string); null and no type otherwise.
    // The owner name is not used: there is one log.
    virtual void* RoutePointer(const std::string& owner, const std::string& property);

    // The input box whose submitted lines are logged: null, or a GUI object
    // of the input-box type (3201). False (nothing changed) for any other
    // object. The watch ends by itself when the box is destroyed.
    bool SetWatchedBox(GUIBaseObject* box);
    // Null when none is set or the box has gone.
    GUIBaseObject* GetWatchedBox() const;

    // Once per main-game tick: takes the watched box's submitted line into
    // the log.
    void Update();

    // Puts a line at the head of the log and refreshes the newest lines.
    void AddLine(const std::string& line);

    // Lines taken in so far, dropped ones included.
    int32_t GetCount() const { return m_count; }
    size_t GetKeptLineCount() const { return m_log.size(); }
    // The index-th newest line (0 the newest), or null past the log's end.
    const std::string* GetNewestLine(int index) const;

    // Registers ChatManager_WatchProperty.
    static void RegisterLuaFunctions(lua_State* L);

private:
    GUIBaseObject* m_watchedBox = nullptr;
    std::weak_ptr<char> m_watchedLife;
    std::deque<std::string> m_log;  // newest first, at most kMaxLogLines
    // Stable addresses handed out by RoutePointer; an empty slot past the
    // log's end.
    std::array<std::string, kNewestLines> m_newest;
    int32_t m_count = 0;
};
