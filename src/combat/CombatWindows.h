#pragma once
// The builders of the battle screen (find-or-create: an object already
// known to the GUI manager under the name is used as it is) and the C
// callbacks of the combat buttons.
#include <string>

#include "gui/GUIButtonCallbacks.h"

class GUIBaseObject;
class GUIButton;
class GUICombatCommandWindow;
class GUICombatMessageWindow;
class GUICombatTargetWindow;
class NamedList;

GUIBaseObject* BuildCombatOverlay();
// Empties the list, then finds or makes the six displays, opens each and
// appends it to the list.
void BuildCombatCharDisplays(NamedList* displays);
GUICombatMessageWindow* BuildMessageWindow();
GUICombatCommandWindow* BuildCommandWindow();
GUIButton* BuildIncrementPageButton();
GUIButton* BuildDecrementPageButton();
GUICombatTargetWindow* BuildTargetWindow();

// "CombatButton_OrderCommand", "CombatButton_OrderTarget",
// "CombatButton_IncrementPage", "CombatButton_DecrementPage"; null for any
// other name.
ButtonCallback GetCombatButtonCallback(const std::string& name);

bool CombatButton_OrderCommand(void* argument);
bool CombatButton_OrderTarget(void* argument);
bool CombatButton_IncrementPage(void* argument);
bool CombatButton_DecrementPage(void* argument);
