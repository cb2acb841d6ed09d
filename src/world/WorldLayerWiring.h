#pragma once
// The world's part of start-up: its script families, in their fixed order,
// and what it hands the layers below (the property router's world owners,
// the inventory windows' "Inv" button callbacks, and the camera and chat-log
// families the script host opens with). Calling either again changes
// nothing.
struct lua_State;

void RegisterWorldLayerFamilies(lua_State* L);
void InstallWorldLayerHooks();
// The toolkit's host families, then the world's (CM_, the chat log's); the
// top layer registers these first in its own host-family hook.
void RegisterWorldHostFamilies(lua_State* L);
