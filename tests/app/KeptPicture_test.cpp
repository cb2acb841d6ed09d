// GUI objects keep the picture they drew until something they show changes.
// Each scene is played twice from scratch over the same frames of input:
// once with every object forced to render on every frame, and once as the
// GUI draws by itself; the two must match pixel for pixel, frame by frame.
#include <allegro5/allegro_font.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/StandardWindows.h"
#include "core/base/GlobalState.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"
#include "core/media/Portrait.h"
#include "core/script/DataLibrary.h"
#include "core/script/KeyboardManager.h"
#include "core/script/LuaManager.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIButton.h"
#include "gui/GUIColorBox.h"
#include "gui/GUIInputTextBox.h"
#include "gui/GUIList.h"
#include "gui/GUIManager.h"
#include "gui/GUIScrollBar.h"
#include "gui/GUISmartTextLine.h"
#include "gui/GUIWindow.h"
#include "gui/PixelProbe.h"
#include "support/AllegroTestEnv.h"
#include "support/GuiKeyTicks.h"
#include "support/LuaTestState.h"
#include "support/StderrCapture.h"
#include "support/TempDir.h"
#include "world/GUIDialogueManager.h"
#include "world/PlayerVorn.h"
#include "world/items/ItemPrototype.h"
#include "world/items/PlayerInventory.h"

namespace {

using Frame = std::vector<uint32_t>;

// The engine's state for one playing: fonts and images in the library, the
// standard windows, the dialogue box and a player; all put back afterwards.
struct Stage {
    Stage() : saved((testsupport::EnsureAllegro(), *GetGlobalState())) {
        GetGlobalState()->windowWidth = 800;
        GetGlobalState()->windowHeight = 600;
        GetGlobalState()->player = player;
        auto image = [this](const char* c, const char* h, const char* n, int w, int hgt, int r, int g, int b) {
            images.push_back(std::make_unique<BitmapWrapper>(w, hgt, &GetGlobalState()->openGLMode));
            images.back()->ClearToRGBA(r, g, b, 255);
            Put("Images", c, h, n, images.back().get(), DataKind::Bitmap);
        };
        image("GUI", "Windows", "MoonCorner", 8, 8, 250, 240, 170);
        image("GUI", "Windows", "MoonHorizontal", 8, 8, 90, 90, 200);
        image("GUI", "Windows", "MoonVertical", 8, 8, 200, 90, 90);
        image("GUI", "Chat", "ChatPane", 800, 220, 30, 40, 70);
        image("GUI", "Misc", "ScrollBarBlank", 8, 8, 60, 60, 60);
        image("GUI", "Misc", "ScrollBarBox", 8, 8, 240, 240, 0);
        image("GUI", "Bubbles", "ResponseBubble", 12, 12, 0, 160, 255);
        image("Misc", "ItemIcons", "Potion", 32, 32, 220, 40, 60);
        portrait.SetBitmap(new BitmapWrapper(64, 64, &GetGlobalState()->openGLMode));
        portrait.GetBitmap()->ClearToRGBA(170, 120, 60, 255);
        Put("Images", "Portraits", "Faces", "Sage", &portrait, DataKind::Portrait);
        Put("Fonts", "General", "System", "SystemFont", font, DataKind::Font);
        Put("Fonts", "General", "Dialogue", "DialogueFont", font, DataKind::Font);
        testsupport::StderrCapture quiet;
        lua->Gui().LoadDefaultBorderImages();
        BuildDefaultWindows();
        box = static_cast<GUIDialogueManager*>(GUIDialogueManager::Create(lua->Gui()));
    }
    ~Stage() {
        delete player;
        delete lua;
        al_destroy_font(font);
        *GetGlobalState() = saved;
    }
    void Put(const char* s, const char* c, const char* h, const char* n, void* pointer, DataKind kind) {
        DataLibrary& library = lua->Library();
        library.AddSection(s);
        library.AddCatalogue(s, c);
        library.AddHeading(s, c, h);
        library.Register(s, c, h, n, pointer, kind);
    }
    GUIManager& Gui() { return lua->Gui(); }
    GUIBaseObject* Find(const char* name) { return Gui().FindObject(name); }
    void Mouse(int x, int y, int event = kGUIEventPulse) {
        Gui().SetMousePosition(static_cast<float>(x), static_cast<float>(y));
        if (event != kGUIEventPulse) Gui().HandleMouseEvent(event);
    }
    // A binding or key struck before the coming tick.
    void Key(const char* name) {
        if (name && *name) keys.Strike(name);
    }
    // One tick and one frame.
    Frame Play(bool forced) {
        keys.Tick();
        if (forced)
            for (NamedList::Node* node = Gui().GetTopLevelList()->GetHead(); node; node = node->next)
                static_cast<GUIBaseObject*>(node->value)->SetDirtyRecursive();
        Gui().Draw(&screen);
        Frame frame(800 * 600);
        ALLEGRO_LOCKED_REGION* region =
            al_lock_bitmap(screen.GetBitmap(), ALLEGRO_PIXEL_FORMAT_ABGR_8888, ALLEGRO_LOCK_READONLY);
        for (int y = 0; y < 600; ++y)
            std::memcpy(&frame[static_cast<size_t>(y) * 800], static_cast<char*>(region->data) + y * region->pitch,
                        800 * 4);
        al_unlock_bitmap(screen.GetBitmap());
        return frame;
    }

    GlobalState saved;
    testsupport::TempDir dir;
    testsupport::LuaTestState* lua = new testsupport::LuaTestState;
    ALLEGRO_FONT* font = al_create_builtin_font();
    PlayerVorn* player = new PlayerVorn;
    std::vector<std::unique_ptr<BitmapWrapper>> images;
    Portrait portrait;
    GUIDialogueManager* box = nullptr;
    BitmapWrapper screen{800, 600, &GetGlobalState()->openGLMode};
    testsupport::GuiKeyTicks keys{lua->Keyboard(), lua->Gui()};
};

struct Scene {
    const char* name;
    int frames;
    std::function<void(Stage&)> build;
    std::function<void(Stage&, int frame)> step;
};

std::vector<Frame> PlayScene(const Scene& scene, bool forced) {
    Stage stage;
    testsupport::StderrCapture quiet;
    scene.build(stage);
    std::vector<Frame> frames;
    for (int i = 0; i < scene.frames; ++i) {
        scene.step(stage, i);
        frames.push_back(stage.Play(forced));
    }
    return frames;
}

// The sample game's welcome window, built by its own script.
void BuildWelcome(Stage& stage) {
    const std::string game = std::string(QEL_SOURCE_DIR) + "/game/";
    ExternalImageManager::RegisterLuaFunctions(stage.lua->L());
    stage.lua->Manager().SetBasePath(game);
    stage.lua->Manager().RunFile("Paths.lua", -1);
    std::filesystem::create_directories("Data");
    std::filesystem::copy_file(game + "Data/TitleScreen.sif", "Data/TitleScreen.sif");
    stage.lua->Library().AddCatalogue("Images", "Background");
    stage.lua->Library().AddHeading("Images", "Background", "Scenery");
    stage.lua->Manager().RunFile("Data/Scripts/System/Windows/Welcome.lua", -1);
    // The library does not own the picture: it goes with the stage.
    stage.images.emplace_back(static_cast<BitmapWrapper*>(
        stage.lua->Library().RemovePointer("Images", "Background", "Scenery", "TitleBackground", DataKind::Bitmap)));
}

void StepWelcome(Stage& stage, int frame) {
    switch (frame) {
        case 3: stage.Mouse(290, 260); break;                  // over the close button
        case 5: stage.Mouse(150, 150, kGUIEventPress); break;  // inside the view: drags it
        case 6: stage.Mouse(140, 135); break;
        case 7: stage.Mouse(120, 140, kGUIEventRelease); break;
        case 9: stage.lua->Run("GUI_SetActiveObjectAndListFromBase('WelcomeTitle') GUIT_SetString('Farewell')"); break;
        case 10:
            stage.lua->Run(
                "GUI_SetActiveObjectAndListFromBase('WelcomeCloseFace') GUIColB_SetColorData(200, 60, 60, 255)");
            break;
        case 11: stage.lua->Router().SetPropertyPointerInt(30, "GUI", "WelcomeCloseFace", "Green"); break;
        case 13: stage.Mouse(42, 100, kGUIEventPress); break;  // on the frame: drags the window
        case 14: stage.Gui().SetMousePosition(90, 130); break;
        case 15: stage.Mouse(90, 130, kGUIEventRelease); break;
        case 17: stage.Mouse(340, 290, kGUIEventPress); break;  // the close button closes it
        case 18: stage.Mouse(340, 290, kGUIEventRelease); break;
        default: break;
    }
}

void StepDialogue(Stage& stage, int frame) {
    GUIDialogueManager* box = stage.box;
    if (frame == 1) {
        box->Open();
        box->QueuePortrait("Images", "Portraits", "Faces", "Sage");
        box->AddText("Well met. The road north is washed out.");
        box->BreakLine();
        box->AddResponse("Thank you", 1);
        box->AddResponse("Goodbye", GUIDialogueManager::kCloseResponse);
    }
    if (frame == 30) stage.Mouse(300, 420, kGUIEventPress);  // a click types the rest at once
    if (frame == 31) stage.Mouse(300, 420, kGUIEventRelease);
    if (frame == 36) box->SetLineText(3, "A line set by a script");
}

void BuildInventory(Stage& stage) {
    static ItemPrototype potion;
    potion.SetName("Potion");
    potion.SetImage(static_cast<BitmapWrapper*>(
        stage.lua->Library().Get<BitmapWrapper>("Images", "Misc", "ItemIcons", "Potion", DataKind::Bitmap)));
    potion.SetFlavourText(0, "Restores 30 HP.");
    for (int i = 0; i < 3; ++i) stage.player->GetInventory()->AddItem("Potion", &potion, true);
}

void StepInventory(Stage& stage, int frame) {
    const char* keys[] = {"Inventory", "",       "Right", "",     "Down", "Down",   "Left", "",          "Up",
                          "Up",        "Accept", "",      "Down", "",     "Cancel", "",     "Inventory", ""};
    stage.Key(keys[frame]);
}

// A class that does not mark its own changes (as the combat windows): what
// it shows follows a count that changes behind its back.
int g_unmarkedCount = 0;
struct Unmarked : GUIBaseObject {
    void Render() override { Backing()->ClearToRGBA(static_cast<uint8_t>(g_unmarkedCount * 40), 0, 90, 255); }
};

// A window whose lines change between frames, some through its setters and
// some through properties other code writes.
void BuildChanging(Stage& stage) {
    auto* window = new GUIWindow;
    window->SetDimensions(100, 100, 300, 200);
    window->SetBackgroundColor(20, 60, 20);
    window->UseDefaultBorder();
    stage.Gui().ResetActiveObjectList();
    stage.Gui().AddObject("Changing", window);
    auto* inner = new GUIWindow;  // a window within the window
    inner->SetDimensions(10, 10, 200, 100);
    inner->SetBackgroundColor(40, 40, 80);
    window->AddChild("Inner", inner);
    auto add = [](GUIBaseObject* parent, const char* name, GUIBaseObject* child, int x, int y, int w, int h) {
        parent->AddChild(name, child);
        child->SetDimensions(x, y, w, h);
        return child;
    };
    static_cast<GUITextLine*>(add(inner, "Text", new GUITextLine, 4, 4, 120, 16))->SetString("Score 0");
    add(inner, "Input", new GUIInputTextBox, 4, 30, 150, 24);
    auto* watch = static_cast<GUISmartTextLine*>(add(inner, "Watch", new GUISmartTextLine, 4, 60, 60, 16));
    static_cast<GUIScrollBar*>(add(window, "Bar", new GUIScrollBar, 0, 0, 1, 1))->SetScrollData(260, 10, 8, 150, true);
    watch->Watch("GUI", "Bar", "mBoxCurrentValue");
    static_cast<GUIColorBox*>(add(window, "Swatch", new GUIColorBox, 10, 150, 30, 20))->SetColor(90, 0, 0, 255);
    auto* list = static_cast<GUIList*>(add(window, "List", new GUIList, 60, 120, 150, 60));
    list->SetListSize(2);
    list->SetListEntry(1, "GUI", "Input", "String", "GUI", "Input", "Length");
    g_unmarkedCount = 0;
    add(inner, "Unmarked", new Unmarked, 150, 60, 20, 20);
}

void StepChanging(Stage& stage, int frame) {
    auto* text = static_cast<GUITextLine*>(stage.Find("Text"));
    const char* scores[] = {"Score 0", "Score 0", "Score 12", "Score 12", "Score 34"};
    if (frame < 5) text->SetString(scores[frame]);
    if (frame % 3 == 0) ++g_unmarkedCount;
    if (frame == 5) text->SetColor(al_map_rgb(255, 200, 0));
    if (frame == 6) static_cast<GUIInputTextBox*>(stage.Find("Input"))->SetFocus(true);
    if (frame >= 8 && frame < 12) stage.Key(std::string(1, static_cast<char>('A' + frame - 8)).c_str());
    if (frame == 14) stage.lua->Router().SetPropertyPointerInt(40, "GUI", "Bar", "mBoxCurrentValue");
    if (frame == 16) stage.lua->Router().SetPropertyPointerInt(255, "GUI", "Swatch", "Blue");
    if (frame == 18) stage.Find("Inner")->MoveBy(20, 30);
    if (frame == 20) stage.Find("Watch")->Close();
    if (frame == 22) delete stage.Find("Swatch");
}

void BuildButton(Stage& stage) {
    auto* window = new GUIWindow;
    window->SetDimensions(200, 200, 200, 120);
    window->SetBackgroundColor(10, 10, 10);
    stage.Gui().ResetActiveObjectList();
    stage.Gui().AddObject("ButtonWindow", window);
    auto* button = new GUIButton;
    button->SetDimensions(30, 40, 128, 32);
    button->BuildTextImages(al_map_rgb(195, 150, 210), al_map_rgb(168, 124, 183), al_map_rgb(154, 113, 169), "Go");
    window->AddChild("Button", button);
}

void StepButton(Stage& stage, int frame) {
    const int moves[][3] = {{2, 250, 250},  {4, 300, 260},  {6, 500, 500},  {8, 260, 255}, {9, 260, 255},
                            {11, 500, 100}, {12, 500, 100}, {14, 260, 255}, {16, 10, 10}};
    const int events[] = {kGUIEventPulse, kGUIEventPulse,   kGUIEventPulse, kGUIEventPulse, kGUIEventPress,
                          kGUIEventPulse, kGUIEventRelease, kGUIEventPulse, kGUIEventPulse};
    for (size_t i = 0; i < std::size(moves); ++i)
        if (moves[i][0] == frame) stage.Mouse(moves[i][1], moves[i][2], events[i]);
}

const Scene kScenes[] = {
    {"welcome window", 20, BuildWelcome, StepWelcome}, {"dialogue box", 40, [](Stage&) {}, StepDialogue},
    {"inventory", 18, BuildInventory, StepInventory},  {"changing window", 24, BuildChanging, StepChanging},
    {"hovered button", 18, BuildButton, StepButton},
};

}  // namespace

TEST(KeptPicture, EveryFrameLooksAsWhenEveryObjectWasRenderedAgain) {
    for (const Scene& scene : kScenes) {
        const std::vector<Frame> forced = PlayScene(scene, true);
        const std::vector<Frame> kept = PlayScene(scene, false);
        // The scene shows change, or the comparison would prove nothing.
        EXPECT_GE(std::set<Frame>(forced.begin(), forced.end()).size(), 3u) << scene.name;
        for (size_t f = 0; f < forced.size(); ++f) {
            if (forced[f] == kept[f]) continue;
            size_t i = 0;
            while (forced[f][i] == kept[f][i]) ++i;
            ADD_FAILURE() << scene.name << ", frame " << f << ": first difference at (" << i % 800 << ", " << i / 800
                          << ")";
            break;
        }
    }
}

TEST(KeptPicture, APictureIsKeptUntilSomethingShownChanges) {
    testsupport::EnsureAllegro();
    GUIWindow window;
    window.SetDimensions(0, 0, 40, 20);
    window.SetBackgroundColor(0, 0, 255);
    BitmapWrapper target(40, 20, &GetGlobalState()->openGLMode);
    window.Draw(&target);
    window.GetBackingBitmap()->ClearToRGBA(255, 0, 0, 255);  // paint over the kept picture
    window.Draw(&target);
    EXPECT_EQ(Px(&target, 5, 5), 0xff0000ffu);
    window.SetBackgroundColor(0, 255, 255);
    window.Draw(&target);
    EXPECT_EQ(Px(&target, 5, 5), 0x00ffffffu);
}
