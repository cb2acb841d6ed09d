#include "app/StandardWindows.h"

#include <allegro5/allegro.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/OptionalMedia.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIButton.h"
#include "gui/GUIImage.h"
#include "gui/GUIManager.h"
#include "gui/GUITextLine.h"
#include "gui/GUIWindow.h"
#include "network/GUIChatWindow.h"
#include "world/items/InventoryWindows.h"

namespace {

constexpr const char* kTitleScreen = "TitleScreen";
constexpr const char* kTitleImage = "Background";

// The faces of the menus' text buttons: frame, fill and inner line.
const ALLEGRO_COLOR kTextButtonFrame = al_map_rgb(195, 150, 210);
const ALLEGRO_COLOR kTextButtonFill = al_map_rgb(168, 124, 183);
const ALLEGRO_COLOR kTextButtonInner = al_map_rgb(154, 113, 169);

// The game window's size from the global state (800 x 600 when unset).
int WindowWidth() {
    const int32_t w = GetGlobalState()->windowWidth;
    return w > 0 ? w : 800;
}
int WindowHeight() {
    const int32_t h = GetGlobalState()->windowHeight;
    return h > 0 ? h : 600;
}

// A black window of that rectangle.
std::unique_ptr<GUIWindow> NewWindow(int x, int y, int w, int h) {
    auto window = std::make_unique<GUIWindow>();
    window->SetDimensions(x, y, w, h);
    window->SetBackgroundColor(0, 0, 0);
    return window;
}

void UseMoonBorder(GUIBaseObject* window) {
    window->SetBorderImages(OptionalImage("GUI", "Windows", "MoonCorner"),
                            OptionalImage("GUI", "Windows", "MoonHorizontal"),
                            OptionalImage("GUI", "Windows", "MoonVertical"));
}

void AddTextLine(GUIBaseObject* parent, const char* name, int x, int y, const char* text) {
    auto line = std::make_unique<GUITextLine>();
    line->SetDimensions(x, y, 1, 16);
    line->SetString(text);
    parent->AddChild(name, line.release());
}

// A 69 x 29 button showing Images/GUI/Buttons/<stem>0, 1 and 2.
GUIButton* AddImageButton(GUIBaseObject* parent, const char* name, int x, int y, const char* stem,
                          const char* callback) {
    auto button = std::make_unique<GUIButton>();
    button->SetDimensions(x, y, 69, 29);
    const std::string base = stem;
    button->SetImages(OptionalImage("GUI", "Buttons", (base + "0").c_str()),
                      OptionalImage("GUI", "Buttons", (base + "1").c_str()),
                      OptionalImage("GUI", "Buttons", (base + "2").c_str()));
    button->SetFunction(callback);
    GUIButton* added = button.get();
    parent->AddChild(name, button.release());
    return added;
}

GUIButton* AddTextButton(GUIBaseObject* parent, const char* name, int x, int y, int w, int h, const char* text,
                         const char* callback) {
    auto button = std::make_unique<GUIButton>();
    button->SetDimensions(x, y, w, h);
    button->BuildTextImages(kTextButtonFrame, kTextButtonFill, kTextButtonInner, text);
    button->SetFunction(callback);
    GUIButton* added = button.get();
    parent->AddChild(name, button.release());
    return added;
}

// The keyboard steers a menu while it is open: it takes the keys (the player
// stands still meanwhile), the arrows move the highlight over the buttons
// in the given order, the confirm key clicks the highlighted one, and the
// back key closes the menu. Each opening starts on the first button.
void SteerFromKeyboard(GUIBaseObject* menu, std::initializer_list<GUIButton*> buttons) {
    menu->SetNavigationOn(true);
    menu->SetControlStackOnShow(true);
    menu->SetClosesOnLeavingStack(true);
    for (GUIButton* button : buttons)
        menu->AddNavEntry(button, true, GUINavEntry::kMenuHighlight, GUINavEntry::kForceCall);
}

// A menu joins the top level as the GUI manager's active object, at the
// front, and waits closed until a hot key or a button opens it.
GUIBaseObject* AddClosedMenu(GUIManager* manager, const char* name, std::unique_ptr<GUIWindow> menu) {
    GUIWindow* window = menu.release();
    manager->ResetActiveObjectList();
    manager->AddActiveObject(name, window);
    manager->BringToFront(nullptr, window);
    window->Close();
    return window;
}

// The data library's title-screen heading, looked up without a warning.
NamedList* TitleHeading(DataLibrary* library) {
    QuietLookups quiet(*library);
    return library->GetHeading("Images", "TitleScreen", "General");
}

// Takes the library's entry of exactly this image out, leaving every other
// "Background" where it was. The library removes entries of one name head
// first, then tail first, so entries of others that come off the tail
// before this one are put back in their order.
void UnfileTitleImage(BitmapWrapper* image) {
    DataLibrary* library = GetGlobalState()->dataLibrary;
    if (!library || !image) return;
    NamedList* heading = TitleHeading(library);
    if (!heading) return;
    bool filed = false;
    for (NamedList::Node* node = heading->GetHead(); node && !filed; node = node->next) {
        const auto* entry = static_cast<const DataLibrary::Entry*>(node->value);
        filed = node->name == kTitleImage && entry && entry->pointer == image;
    }
    if (!filed) return;
    std::vector<void*> others;
    while (void* taken = library->RemovePointer("Images", "TitleScreen", "General", kTitleImage, DataKind::Bitmap)) {
        if (taken == image) break;
        others.push_back(taken);
    }
    for (auto it = others.rbegin(); it != others.rend(); ++it)
        library->Register("Images", "TitleScreen", "General", kTitleImage, *it, DataKind::Bitmap);
}

// The title screen owns its image: whatever deletes the screen also takes
// the image out of the library, so no entry is left pointing at it.
void DeleteTitleImage(void* bitmap) {
    auto* image = static_cast<BitmapWrapper*>(bitmap);
    UnfileTitleImage(image);
    delete image;
}

}  // namespace

GUIBaseObject* BuildPauseMenu() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    if (GUIBaseObject* existing = manager->FindObject("PauseMenu")) return existing;
    const int w = 200, h = 300;
    std::unique_ptr<GUIWindow> menu = NewWindow(WindowWidth() / 2 - 100, WindowHeight() / 2 - 150, w, h);
    UseMoonBorder(menu.get());
    menu->SetJoinsActiveWindows(true);
    AddTextLine(menu.get(), "GUIPauseMenu_NameLine", 13, 13, "Pause Menu");
    GUIButton* options =
        AddImageButton(menu.get(), "GUIPauseMenu_Button_OpenOptionsMenu", 13, 29, "ButtonOptn", "Button_Open_Menu");
    options->SetTargetName("OptionsMenu");
    GUIButton* quit =
        AddTextButton(menu.get(), "GUIPauseMenu_Button_QuitGame", 13, 58, 90, 29, "Exit Game", "Button_QuitGame");
    GUIButton* close =
        AddImageButton(menu.get(), "GUIPauseMenu_Button_CloseMenu", 13, h - 42, "ButtonExit", "Button_Hide_Parent");
    SteerFromKeyboard(menu.get(), {options, quit, close});
    return AddClosedMenu(manager, "PauseMenu", std::move(menu));
}

GUIBaseObject* BuildOptionsMenu() {
    GUIManager* manager = GetGlobalState()->guiManager;
    if (!manager) return nullptr;
    if (GUIBaseObject* existing = manager->FindObject("OptionsMenu")) return existing;
    std::unique_ptr<GUIWindow> menu = NewWindow(WindowWidth() / 2 - 200, WindowHeight() / 2 - 100, 400, 200);
    UseMoonBorder(menu.get());
    menu->SetJoinsActiveWindows(true);
    AddTextLine(menu.get(), "GUIOptionsMenu NameLine", 13, 13, "OptionsMenu");
    GUIButton* close = AddImageButton(menu.get(), "Close_Menu_Button", 13, 158, "ButtonExit", "Button_Hide_Parent");
    SteerFromKeyboard(menu.get(), {close});
    return AddClosedMenu(manager, "OptionsMenu", std::move(menu));
}

void BuildDefaultWindows() {
    BuildPauseMenu();
    BuildOptionsMenu();
    BuildInventoryWindow();
    BuildDefaultChatWindow();
}

GUIBaseObject* BuildTitleScreen() {
    GlobalState* state = GetGlobalState();
    GUIManager* manager = state->guiManager;
    if (!manager) return nullptr;
    std::fputs("Building TitleScreen - ", stderr);
    if (GUIBaseObject* existing = manager->FindObject(kTitleScreen)) return existing;

    ExternalImageManager* archives = state->imageManager;
    BitmapWrapper* background = nullptr;
    if (archives) {
        archives->OpenFile("Data/TitleScreen.sif");
        background = archives->GetBitmapFromActiveFile(kTitleImage);
    }

    std::unique_ptr<GUIWindow> screen = NewWindow(0, 0, 800, 600);
    screen->Open();
    auto image = std::make_unique<GUIImage>();
    image->SetDimensions(0, 0, 800, 600);
    DataLibrary* library = state->dataLibrary;
    if (background) {
        // The screen owns its image; the data library lists it while the
        // screen exists. An entry of that name filed by a script keeps its
        // place (the screen's image would sit behind it, unreachable), so
        // the screen's own entry is always the first of its name.
        screen->AddPointerWithDeleter(background, DeleteTitleImage);
        NamedList* heading = library ? TitleHeading(library) : nullptr;
        if (library && (!heading || !library->FindPointerInHeading(heading, kTitleImage, DataKind::Bitmap)))
            library->Register("Images", "TitleScreen", "General", kTitleImage, background, DataKind::Bitmap);
        image->SetImage(background);
    } else if (library) {
        // Nothing to file: the library says so, and the screen shows no image.
        library->Register("Images", "TitleScreen", "General", kTitleImage, nullptr, DataKind::Bitmap);
    }
    image->Open();
    screen->AddChild("TS_BGImage", image.release());

    GUIWindow* added = screen.release();
    manager->ResetActiveObjectList();
    manager->AddObject(kTitleScreen, added);
    manager->BringToFront(nullptr, added);
    if (archives) archives->CloseFile();
    std::fputs("Done\n", stderr);
    return added;
}

void DestroyTitleScreen() {
    GlobalState* state = GetGlobalState();
    GUIManager* manager = state->guiManager;
    if (!manager) return;
    GUIBaseObject* screen = manager->FindObject(kTitleScreen);
    if (!screen || screen->GetParent()) return;
    // The screen's image leaves the library with the screen (its deleter),
    // and the destructor takes the screen off the top-level list.
    delete screen;
}
