#pragma once
// "CombatCommandWindow": the active party member's command buttons. The
// member's class clears it and adds one button per command.
//
// The window is steered from the keyboard as well: it joins the control
// stack when shown, every button is an option that the confirm key clicks,
// and a new fill starts on its first command. It holds the keys for the
// whole command phase: the back key has nothing to go back to here, so it
// does not let go of the stack (that would leave the battle waiting with no
// key able to reach it). The left and right keys turn to the previous and
// the next page of commands, as the two page buttons beside the window do.
#include <allegro5/allegro.h>

#include <cstdint>
#include <string>

#include "gui/GUIBaseObject.h"

class GUIButton;

class GUICombatCommandWindow : public GUIBaseObject {
public:
    GUICombatCommandWindow();
    ~GUICombatCommandWindow() override;

    // The three colours the member's class chose; nothing draws with them.
    void SetColours(ALLEGRO_COLOR first, ALLEGRO_COLOR second, ALLEGRO_COLOR third);
    ALLEGRO_COLOR GetColour(int index) const { return m_colours[index < 0 ? 0 : index > 2 ? 2 : index]; }
    // A button of that size with the combat button images and the caption
    // in the system font, appended under "X", and its keyboard option. The
    // first button added to an empty window starts a new list of options,
    // with the cursor on it. The caller sets its callback, click sound and
    // data.
    GUIButton* AddCommandButton(int x, int y, int width, int height, const std::string& caption);

    // Moves and chooses as every navigating object does, but keeps its place
    // on the control stack on "Cancel"; "Left" and "Right" turn the page.
    bool HandleNavigation() override;
    // One page back (-1) or on (+1) through the combat manager, as the page
    // buttons do; nothing past the first or the last page, or when the
    // combat manager steers another window.
    void TurnPage(int step);

    bool OnEvent(int event, int x, int y) override { return false; }
    // Clears to transparent and draws the buttons.
    void Render() override;
    void* GetProperty(const std::string& name) override { return nullptr; }

private:
    ALLEGRO_COLOR m_colours[3];
};
