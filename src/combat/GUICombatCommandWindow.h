#pragma once
// "CombatCommandWindow": the active party member's command buttons. The
// member's class clears it and adds one button per command.
#include <allegro5/allegro.h>

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
    // in the system font, appended under "X". The caller sets its callback,
    // click sound and data.
    GUIButton* AddCommandButton(int x, int y, int width, int height, const std::string& caption);

    bool OnEvent(int event, int x, int y) override { return false; }
    // Clears to transparent and draws the buttons.
    void Render() override;
    void* GetProperty(const std::string& name) override { return nullptr; }

private:
    ALLEGRO_COLOR m_colours[3];
};
