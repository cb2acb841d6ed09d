#pragma once
// A text line that shows a watched property (an int, a float with one
// decimal, or a string) and refreshes it on every event it sees.
#include <lua5.1/lua.hpp>

#include <string>

#include "core/script/PropertyRouter.h"
#include "gui/GUITextLine.h"

class GUISmartTextLine : public GUITextLine {
public:
    GUISmartTextLine();
    ~GUISmartTextLine() override;

    // Routes the property; an int, float or string is watched from then on,
    // any other kind (or nothing found) shows nothing. The watch ends by
    // itself when the owner goes.
    void Watch(const std::string& kind, const std::string& owner, const std::string& property);
    int32_t GetWatchedType() const { return m_watch.GetValueType(); }

    // Refreshes the text from the watched value; never takes the event.
    bool OnEvent(int event, int x, int y) override;

    // GUISTL_WatchProperty.
    static void RegisterLuaFunctions(lua_State* L);

private:
    PropertyRouter::SyncPointer m_watch;
};
