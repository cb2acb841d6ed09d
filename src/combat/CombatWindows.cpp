#include "combat/CombatWindows.h"

#include <cstring>

#include "combat/CombatManager.h"
#include "combat/CombatRegistry.h"
#include "combat/GUICombatCharDisplay.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatMessageWindow.h"
#include "combat/GUICombatTargetWindow.h"
#include "core/base/ByteBuffer.h"
#include "core/base/GlobalState.h"
#include "core/base/NamedList.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIButton.h"
#include "gui/GUIImage.h"
#include "gui/GUIManager.h"
#include "gui/GUIWindow.h"

namespace {

BitmapWrapper* CombatImage(const char* name) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    return library ? library->Get<BitmapWrapper>("Images", "GUI", "Combat", name, DataKind::Bitmap) : nullptr;
}

// The object of that name when it exists: of the wanted type, else null
// (nothing is built over a foreign object of the name).
template <class T> bool FindExisting(GUIManager* manager, const char* name, int32_t type, T** found) {
    GUIBaseObject* object = manager->FindObject(name);
    if (!object) return false;
    *found = object->GetType() == type ? static_cast<T*>(object) : nullptr;
    return true;
}

void AddTopLevel(GUIManager* manager, const char* name, GUIBaseObject* object) {
    manager->ResetActiveObjectList();
    manager->AddObject(name, object);
    manager->BringToFront(nullptr, object);
}

CombatManager* Manager() { return GetCombatRegistry().combatManager; }

// The button's 4-byte number; false for a missing buffer, or when the
// button handed over itself because it has none.
bool ReadButtonNumber(void* argument, int32_t* out) {
    if (!argument) return false;
    GUIManager* gui = GetGlobalState()->guiManager;
    GUIBaseObject* clicked = gui ? gui->GetClickedButton() : nullptr;
    if (clicked && clicked->GetType() == kTypeGUIButton) {
        auto* button = static_cast<GUIButton*>(clicked);
        if (argument == button) return false;
        if (argument == button->GetData()) {
            uint32_t cursor = 0;
            return BufferReadInt32BEChecked(&cursor, button->GetData(), static_cast<uint32_t>(button->GetDataSize()),
                                            out);
        }
    }
    uint32_t cursor = 0;
    *out = BufferReadInt32BE(&cursor, static_cast<const uint8_t*>(argument));
    return true;
}

}  // namespace

GUIBaseObject* BuildCombatOverlay() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    GUIWindow* overlay = nullptr;
    if (FindExisting(manager, "CombatOverlay", kTypeGUIWindow, &overlay)) return overlay;
    overlay = new GUIWindow;
    overlay->SetDimensions(0, 0, 800, 600);
    overlay->SetTransparent();
    if (BitmapWrapper* base = CombatImage("Base")) {
        auto* image = new GUIImage;
        image->SetDimensions(0, 0, 800, 600);
        image->SetImage(base);
        overlay->AddChild("OverlayImage", image);
    }
    AddTopLevel(manager, "CombatOverlay", overlay);
    return overlay;
}

void BuildCombatCharDisplays(NamedList* displays) {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (displays) displays->Clear();
    if (!manager) return;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "CombatCharDisplay" + std::to_string(i);
        GUICombatCharDisplay* display = nullptr;
        if (!FindExisting(manager, name.c_str(), kTypeGUICombatCharDisplay, &display)) {
            display = new GUICombatCharDisplay;
            display->SetDimensions(0, 147 + 65 * i, 113, 66);
            AddTopLevel(manager, name.c_str(), display);
        }
        if (!display) continue;
        display->Open();
        if (displays) displays->Add(name, display);
    }
}

GUICombatMessageWindow* BuildMessageWindow() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    GUICombatMessageWindow* window = nullptr;
    if (FindExisting(manager, "CombatMessageWindow", kTypeGUICombatMessageWindow, &window)) return window;
    window = new GUICombatMessageWindow;
    window->SetDimensions(0, 0, 800, 136);
    AddTopLevel(manager, "CombatMessageWindow", window);
    return window;
}

GUICombatCommandWindow* BuildCommandWindow() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    GUICombatCommandWindow* window = nullptr;
    if (FindExisting(manager, "CombatCommandWindow", kTypeGUICombatCommandWindow, &window)) return window;
    window = new GUICombatCommandWindow;
    window->SetDimensions(654, 429, 109, 151);
    AddTopLevel(manager, "CombatCommandWindow", window);
    return window;
}

namespace {

GUIButton* BuildPageButton(const char* name, int y, const char* callback, const char* normal, const char* hover,
                           const char* pressed) {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    GUIButton* button = nullptr;
    if (FindExisting(manager, name, kTypeGUIButton, &button)) return button;
    button = new GUIButton;
    button->SetDimensions(769, y, 11, 11);
    button->SetFunction(callback);
    button->SetImages(CombatImage(normal), CombatImage(hover), CombatImage(pressed));
    AddTopLevel(manager, name, button);
    return button;
}

}  // namespace

GUIButton* BuildIncrementPageButton() {
    return BuildPageButton("CombatIncrementPageButton", 556, "CombatButton_IncrementPage", "PageButtonDnN",
                           "PageButtonDnL", "PageButtonDnD");
}

GUIButton* BuildDecrementPageButton() {
    return BuildPageButton("CombatDecrementPageButton", 431, "CombatButton_DecrementPage", "PageButtonUpN",
                           "PageButtonUpL", "PageButtonUpD");
}

GUICombatTargetWindow* BuildTargetWindow() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    GUICombatTargetWindow* window = nullptr;
    if (FindExisting(manager, "CombatTargetWindow", kTypeGUICombatTargetWindow, &window)) return window;
    window = new GUICombatTargetWindow;
    window->SetDimensions(500, 429, 16, 16);
    AddTopLevel(manager, "CombatTargetWindow", window);
    return window;
}

// ---- Button callbacks ------------------------------------------------------------------

ButtonCallback GetCombatButtonCallback(const std::string& name) {
    if (name == "CombatButton_OrderCommand") return &CombatButton_OrderCommand;
    if (name == "CombatButton_OrderTarget") return &CombatButton_OrderTarget;
    if (name == "CombatButton_IncrementPage") return &CombatButton_IncrementPage;
    if (name == "CombatButton_DecrementPage") return &CombatButton_DecrementPage;
    return nullptr;
}

bool CombatButton_OrderCommand(void* argument) {
    int32_t command = 0;
    if (!ReadButtonNumber(argument, &command)) return false;
    if (CombatManager* manager = Manager()) manager->OrderCommand(command);
    return true;
}

bool CombatButton_OrderTarget(void* argument) {
    int32_t target = 0;
    if (!ReadButtonNumber(argument, &target)) return false;
    if (CombatManager* manager = Manager()) manager->OrderTarget(target);
    return true;
}

bool CombatButton_IncrementPage(void*) {
    if (CombatManager* manager = Manager()) manager->NextCommandPage();
    return true;
}

bool CombatButton_DecrementPage(void*) {
    if (CombatManager* manager = Manager()) manager->PreviousCommandPage();
    return true;
}
