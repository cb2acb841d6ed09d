// Key ticks for tests of the GUI and above: each tick hands the strokes out
// (GUIManager::HandleHotkeys) and runs the GUI's pulse, as the title and
// main-game states' timer does.
#pragma once

#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "support/KeyTicks.h"

namespace testsupport {

class GuiKeyTicks : public KeyTicks {
public:
    GuiKeyTicks(KeyboardManager& keyboard, GUIManager& gui)
        : KeyTicks(keyboard, [&gui] {
              gui.HandleHotkeys();
              gui.HandleMouseEvent(kGUIEventPulse);
          }) {}
};

}  // namespace testsupport
