// The combat windows: the target window's listings and layout, the
// builders' find-or-create, the button callbacks and the shared base image
// of the status displays.
#include "combat/CombatWindows.h"

#include <gtest/gtest.h>

#include "CombatTestDoubles.h"
#include "combat/GUICombatCharDisplay.h"
#include "combat/GUICombatCommandWindow.h"
#include "combat/GUICombatTargetWindow.h"
#include "core/base/ByteBuffer.h"
#include "core/media/BitmapWrapper.h"
#include "core/script/DataLibrary.h"
#include "gui/GUIButton.h"
#include "gui/GUIWindow.h"

using namespace combattest;
using testsupport::StderrCapture;

namespace {

class CombatWindowsTest : public CombatFixture {
protected:
    static int32_t Data(GUIButton* button) {
        uint32_t cursor = 0;
        return BufferReadInt32BE(&cursor, button->GetData());
    }
    static GUIButton* Button(GUIBaseObject* window, int index) {
        return static_cast<GUIButton*>(window->GetChildList()->GetAt(index));
    }
};

TEST_F(CombatWindowsTest, TargetListingsByModeAndTheirLayout) {
    party->Add("Ana", 40, 8, 8, 1);
    party->Add("Cid", 40, 8, 8, 1);
    party->Add("Eve", 0, 8, 8, 1);  // knocked out: no target
    party->Add("Gus", 40, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 8, 8, 2, 5}, {"Fen", 50, 8, 8, 2, 5}};
    Start();
    GUICombatTargetWindow* window = manager->GetTargetWindow();
    EXPECT_EQ(window->GetWidth(), 16);
    EXPECT_EQ(window->GetX1(), 500);

    window->FillTargets(GUICombatTargetWindow::kEveryone, 1, -1);
    ASSERT_EQ(window->GetChildList()->GetCount(), 5);
    EXPECT_EQ(window->GetWidth(), 144);
    EXPECT_EQ(window->GetHeight(), 161);
    const int ys[] = {8, 37, 66, 95, 124};
    const int32_t ids[] = {0, 1, 3, 4, 5};
    for (int i = 0; i < 5; ++i) {
        GUIButton* button = Button(window, i);
        EXPECT_EQ(button->GetX1(), 8);
        EXPECT_EQ(button->GetY1(), ys[i]);
        EXPECT_EQ(button->GetWidth(), 128);
        EXPECT_EQ(button->GetHeight(), 29);
        EXPECT_EQ(Data(button), ids[i]);
        EXPECT_EQ(button->GetCallback(), &CombatButton_OrderTarget);
    }

    struct Case {
        int32_t mode;
        int count;
        int32_t firstId;
    } cases[] = {{GUICombatTargetWindow::kParty, 3, 0},     {GUICombatTargetWindow::kAllFriendlies, 1, -1},
                 {GUICombatTargetWindow::kEnemies, 2, 4},   {GUICombatTargetWindow::kAllEnemies, 1, -1},
                 {GUICombatTargetWindow::kYourself, 1, -1}, {9, 0, 0}};
    for (const Case& c : cases) {
        window->FillTargets(c.mode, 1, -1);
        EXPECT_EQ(window->GetChildList()->GetCount(), c.count) << c.mode;
        EXPECT_EQ(window->GetHeight(), 16 + 29 * c.count) << c.mode;
        if (c.count) EXPECT_EQ(Data(Button(window, 0)), c.firstId) << c.mode;
    }
    window->ResizeForTargets(-1);
    EXPECT_EQ(window->GetHeight(), 16);
}

TEST_F(CombatWindowsTest, TargetNamesAreCutAndTerminated) {
    std::string longName(50, 'n');
    CombatTarget* record = CombatTarget::Make(longName.c_str(), 7);
    EXPECT_EQ(std::string(record->name), std::string(35, 'n'));
    EXPECT_EQ(record->combatantId, 7);
    CombatTarget::Delete(record);
    record = CombatTarget::Make(nullptr, 1);
    EXPECT_EQ(std::string(record->name), "");
    CombatTarget::Delete(record);
}

TEST_F(CombatWindowsTest, BuildersFindOrCreateByNameAndPlaceTheirWindows) {
    GUIManager& gui = lua->Gui();
    // A foreign object of the name is left alone and not used.
    auto* foreign = new GUIWindow;
    foreign->SetDimensions(0, 0, 10, 10);
    gui.ResetActiveObjectList();
    gui.AddObject("CombatTargetWindow", foreign);
    StderrCapture quiet;
    EXPECT_EQ(BuildTargetWindow(), nullptr);
    EXPECT_EQ(gui.FindObject("CombatTargetWindow"), foreign);

    struct Case {
        GUIBaseObject* object;
        const char* name;
        int x, y, w, h;
    } cases[] = {
        {BuildCombatOverlay(), "CombatOverlay", 0, 0, 800, 600},
        {BuildMessageWindow(), "CombatMessageWindow", 0, 0, 800, 136},
        {BuildCommandWindow(), "CombatCommandWindow", 654, 429, 109, 151},
        {BuildIncrementPageButton(), "CombatIncrementPageButton", 769, 556, 11, 11},
        {BuildDecrementPageButton(), "CombatDecrementPageButton", 769, 431, 11, 11},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.object, nullptr) << c.name;
        EXPECT_EQ(gui.FindObject(c.name), c.object) << c.name;
        EXPECT_EQ(c.object->GetX1(), c.x) << c.name;
        EXPECT_EQ(c.object->GetY1(), c.y) << c.name;
        EXPECT_EQ(c.object->GetWidth(), c.w) << c.name;
        EXPECT_EQ(c.object->GetHeight(), c.h) << c.name;
    }
    EXPECT_EQ(BuildCommandWindow(), cases[2].object);
    // Without the base image the overlay has no picture.
    EXPECT_EQ(cases[0].object->GetChildList()->GetCount(), 0);
    EXPECT_EQ(static_cast<GUIButton*>(cases[3].object)->GetCallback(), &CombatButton_IncrementPage);
    EXPECT_EQ(static_cast<GUIButton*>(cases[4].object)->GetCallback(), &CombatButton_DecrementPage);

    NamedList displays(false);
    displays.Add("stale", foreign);
    BuildCombatCharDisplays(&displays);
    ASSERT_EQ(displays.GetCount(), 6);
    for (int i = 0; i < 6; ++i) {
        auto* display = static_cast<GUIBaseObject*>(displays.GetAt(i));
        EXPECT_EQ(display->GetY1(), 147 + 65 * i);
        EXPECT_EQ(display->GetWidth(), 113);
        EXPECT_EQ(display->GetHeight(), 66);
        EXPECT_TRUE(display->IsSelfVisible());
        EXPECT_EQ(gui.FindObject("CombatCharDisplay" + std::to_string(i)), display);
    }
}

TEST_F(CombatWindowsTest, ButtonCallbacksHandTheirNumbersToTheManager) {
    EXPECT_EQ(FindButtonCallback("CombatButton_OrderCommand"), &CombatButton_OrderCommand);
    EXPECT_EQ(FindButtonCallback("CombatButton_OrderTarget"), &CombatButton_OrderTarget);
    EXPECT_EQ(FindButtonCallback("CombatButton_IncrementPage"), &CombatButton_IncrementPage);
    EXPECT_EQ(FindButtonCallback("CombatButton_DecrementPage"), &CombatButton_DecrementPage);
    EXPECT_EQ(FindButtonCallback("CombatButton_orderCommand"), nullptr);
    EXPECT_EQ(FindButtonCallback("Combat"), nullptr);

    party->Add("Ana", 40, 8, 8, 1);
    enemies->roster = {{"Bog", 50, 8, 8, 2, 5}};
    Start();
    EXPECT_FALSE(CombatButton_OrderCommand(nullptr));
    EXPECT_FALSE(manager->IsReady());
    uint8_t data[4];
    uint32_t cursor = 0;
    BufferWriteInt32BE(2, &cursor, data);
    EXPECT_TRUE(CombatButton_OrderCommand(data));
    EXPECT_TRUE(manager->IsReady());
    EXPECT_EQ(manager->GetChosenCommand(), 2);

    manager->ResetInput();
    cursor = 0;
    BufferWriteInt32BE(1, &cursor, data);
    EXPECT_TRUE(CombatButton_OrderTarget(data));
    EXPECT_EQ(manager->GetChosenTarget(), 1);
    EXPECT_TRUE(manager->IsReady());

    // A command button without data hands over itself: nothing happens.
    manager->ResetInput();
    GUIButton* button = manager->GetCommandWindow()->AddCommandButton(0, 0, 107, 33, "Bare");
    button->SetFunction("CombatButton_OrderCommand");
    lua->Gui().SetClickedButton(button);
    EXPECT_FALSE(CombatButton_OrderCommand(button));
    EXPECT_FALSE(manager->IsReady());
    button->AllocData(2);  // too short for a number
    EXPECT_FALSE(CombatButton_OrderCommand(button->GetData()));
    EXPECT_FALSE(manager->IsReady());

    StderrCapture quiet;
    EXPECT_TRUE(CombatButton_IncrementPage(nullptr));
    EXPECT_EQ(manager->GetPage(), 1);
    EXPECT_TRUE(CombatButton_DecrementPage(nullptr));
    EXPECT_EQ(manager->GetPage(), 0);
}

TEST_F(CombatWindowsTest, StatusDisplaysShareOneBaseImage) {
    DataLibrary& library = lua->Library();
    library.AddSection("Images");
    library.AddCatalogue("Images", "GUI");
    library.AddHeading("Images", "GUI", "Combat");
    BitmapWrapper base(113, 66, &GetGlobalState()->openGLMode);
    base.SetAsTarget();
    al_clear_to_color(al_map_rgb(10, 200, 30));
    library.Register("Images", "GUI", "Combat", "CharDisplay", &base, DataKind::Bitmap);

    ASSERT_TRUE(lua->Run("GUICCD_SetBaseImage('Images', 'GUI', 'Combat', 'CharDisplay')"));
    EXPECT_EQ(GUICombatCharDisplay::GetBaseImage(), &base);
    GUICombatCharDisplay display;
    display.SetDimensions(0, 0, 113, 66);
    EXPECT_TRUE(display.DrawBase());
    EXPECT_FALSE(display.IsDirty());
    unsigned char r, g, b;
    al_unmap_rgb(al_get_pixel(display.GetBackingBitmap()->GetBitmap(), 5, 5), &r, &g, &b);
    EXPECT_EQ(g, 200);

    StderrCapture cap;
    ASSERT_TRUE(lua->Run("GUICCD_SetBaseImage('Images', 'GUI', 'Combat', 'Missing')"));
    cap.Take();
    EXPECT_EQ(GUICombatCharDisplay::GetBaseImage(), nullptr);
}

}  // namespace
