#include "combat/GUICombatCommandWindow.h"

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/CombatWindows.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIButton.h"
#include "gui/GUIControlStack.h"

GUICombatCommandWindow::GUICombatCommandWindow()
    : m_colours{al_map_rgb(195, 150, 210), al_map_rgb(168, 124, 183), al_map_rgb(154, 113, 169)} {
    m_type = kTypeGUICombatCommandWindow;
    SetNavigationOn(true);
    SetControlStackOnShow(true);
}

GUICombatCommandWindow::~GUICombatCommandWindow() = default;

void GUICombatCommandWindow::SetColours(ALLEGRO_COLOR first, ALLEGRO_COLOR second, ALLEGRO_COLOR third) {
    m_colours[0] = first;
    m_colours[1] = second;
    m_colours[2] = third;
}

GUIButton* GUICombatCommandWindow::AddCommandButton(int x, int y, int width, int height, const std::string& caption) {
    auto* button = new GUIButton;
    button->SetDimensions(x, y, width, height);
    button->SetDisplayData(0.0f, 0);
    button->SetParent(this);
    // The member's class empties the window before it fills it: the options
    // of the deleted buttons go with them, and the new list starts here.
    const bool firstOfFill = m_children.IsEmpty();
    if (firstOfFill) ClearNavEntries();
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (library) {
        auto image = [library](const char* name) {
            return library->Get<BitmapWrapper>("Images", "GUI", "Combat", name, DataKind::Bitmap);
        };
        button->SetImages(image("ButtonN"), image("ButtonL"), image("ButtonD"));
        ALLEGRO_FONT* font = library->Get<ALLEGRO_FONT>("Fonts", "General", "System", "SystemFont", DataKind::Font);
        button->SetCaption(font, 54, 8, al_map_rgb(255, 255, 255), caption.c_str());
    }
    AddChild("X", button);
    // The first entry of an empty list becomes current.
    AddNavEntry(button, false, GUINavEntry::kOutlineHighlight, GUINavEntry::kForceCall);
    return button;
}

bool GUICombatCommandWindow::HandleNavigation() {
    // Hidden or without navigation, the window lets go as any object does.
    if (!IsVisible() || !IsNavigationOn()) return GUIBaseObject::HandleNavigation();
    const int32_t action = GUIControlStack::ReadNavigationAction();
    if (action == kNavLeft || action == kNavRight) {
        TurnPage(action == kNavRight ? 1 : -1);
        return false;
    }
    // A chosen command may close this window (Attack opens the targets in
    // its place); Hide has then taken it off the stack, and nothing here
    // touches it afterwards.
    GUIBaseObject::HandleNavigation();
    return false;
}

void GUICombatCommandWindow::TurnPage(int step) {
    CombatManager* manager = GetCombatRegistry().combatManager;
    if (!manager || manager->GetCommandWindow() != this) return;
    // At the first or the last page there is nothing that way: the list
    // stays as it is, with its highlight.
    const int64_t page = int64_t{manager->GetPage()} + step;
    if (page < 0 || page > manager->GetLastPage()) return;
    // What the page buttons do when clicked: the member's class refills
    // this window, and the new page starts on its first command.
    if (step > 0)
        CombatButton_IncrementPage(nullptr);
    else
        CombatButton_DecrementPage(nullptr);
    SetDirty(true);
}

void GUICombatCommandWindow::Render() {
    if (Backing()) Backing()->ClearToTransparent();
    DrawChildren(Backing());
    m_dirty = false;
}
