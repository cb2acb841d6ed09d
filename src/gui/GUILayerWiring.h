#pragma once
// The toolkit's part of start-up: it hands the ground its drawing and
// typed-key hooks and the GUI script families the script host opens with,
// and the property router its "GUI" owners. Calling it again changes
// nothing.
struct lua_State;

void InstallGUILayerHooks();
// The host families of the toolkit (GUI_, GUIOL_, GUIG_ and the widgets'),
// which the layers above register first in their own host-family hook.
void RegisterGUIHostFamilies(lua_State* L);
