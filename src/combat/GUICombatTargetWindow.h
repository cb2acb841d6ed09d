#pragma once
// "CombatTargetWindow": one button per possible target of the chosen
// command; a click hands the target's combatant id to the combat manager.
//
// From the keyboard: the window joins the control stack when shown, each
// target is an option the confirm key clicks, every fill starts on the
// first target listed, and the back key closes the window and brings the
// command window back, so another command can be chosen.
#include <allegro5/allegro.h>

#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class GUICombatTargetWindow : public GUIBaseObject {
public:
    // What FillTargets lists.
    enum Mode : int32_t {
        kParty = 0,
        kAllFriendlies = 1,
        kEnemies = 2,
        kAllEnemies = 3,
        kYourself = 4,
        kEveryone = 5,
    };

    GUICombatTargetWindow();
    ~GUICombatTargetWindow() override;

    // Deletes the buttons and their options.
    void ClearTargets();
    // For n >= 0: 144 by 16 + 29 n.
    void ResizeForTargets(int32_t count);
    // Rebuilds the buttons for the mode; a and b go on to the target
    // listings of the party and the enemies.
    void FillTargets(int32_t mode, int32_t a, int32_t b);

    // "Cancel" goes back to the commands (when there is a command window to
    // go back to; otherwise the window stays and keeps the keys).
    bool HandleNavigation() override;
    bool OnEvent(int event, int x, int y) override;
    // Clears to black and draws the buttons.
    void Render() override;
    void* GetProperty(const std::string& name) override { return nullptr; }

private:
    int32_t m_width = 144;
    int32_t m_marginTotal = 16;
    int32_t m_buttonX = 8;
    int32_t m_buttonY = 8;
    int32_t m_buttonWidth = 128;
    int32_t m_rowHeight = 29;
    ALLEGRO_COLOR m_colours[3];
};
