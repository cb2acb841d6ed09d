// Keyboard navigation of a GUI object's options: cursor moves in lists and
// grids, entries and their targets, and the highlight (the control stack with
// the player in the game is in tests/world/GUINavigationStack_test.cpp).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/base/GlobalState.h"
#include "core/script/KeyboardManager.h"
#include "gui/GUIButton.h"
#include "gui/GUIControlStack.h"
#include "gui/GUICoreTestObjects.h"
#include "gui/GUIManager.h"
#include "support/GuiKeyTicks.h"

namespace {

// A test widget that navigates as every GUI object does, noting every cell
// its cursor visits.
struct NavigatingWidget : guitest::Widget {
    bool HandleNavigation() override {
        const bool letGo = GUIBaseObject::HandleNavigation();
        const std::string at = std::to_string(GetNavCursor());
        if (visited.substr(visited.rfind(' ') + 1) != at) visited += " " + at;
        return letGo;
    }
    std::string visited = "0";
};

// An object with n entries, one per child button.
struct Menu {
    explicit Menu(int n, bool wrap, int columns, int rowStep) {
        object.SetDimensions(0, 0, 400, 200);
        object.SetNavigationOn(true);
        object.SetNavigationWrap(wrap);
        object.SetNavigationColumns(columns);
        object.SetNavigationRowStep(rowStep);
        for (int i = 0; i < n; ++i) {
            auto* button = new GUIButton;
            button->SetDimensions(i * 4, 0, 4, 4);
            object.AddChild("B" + std::to_string(i), button);
            object.AddNavEntry(button, true, al_map_rgb(255, 255, 255), nullptr);
        }
    }
    // Puts the cursor on an entry, then moves it as the key does.
    int Move(int from, const char* key) {
        object.ResetNavCursor();
        object.MoveNavCursor(from, true);
        const bool grid = object.GetNavigationColumns() > 0;
        const int step = object.GetNavigationRowStep();
        const std::string k = key;
        if (k == "Up") grid ? object.MoveNavCursor(-step, true) : object.MoveNavCursor(-1, false);
        if (k == "Down") grid ? object.MoveNavCursor(step, true) : object.MoveNavCursor(1, false);
        if (k == "Left") grid ? object.MoveNavCursor(-1, false) : object.MoveNavCursor(-step, true);
        if (k == "Right") grid ? object.MoveNavCursor(1, false) : object.MoveNavCursor(step, true);
        return object.GetNavCursor();
    }
    NavigatingWidget object;
};

}  // namespace

TEST(GUINavigation, CursorMovesInGridsAndLists) {
    testsupport::EnsureAllegro();
    struct Case {
        int entries;
        bool wrap;
        int columns;
        int rowStep;
        int from;
        const char* key;
        int to;
    };
    const Case cases[] = {
        // The inventory grid: 10 columns of 50 with wrap.
        {50, true, 10, 10, 49, "Right", 40},
        {50, true, 10, 10, 40, "Left", 49},
        {50, true, 10, 10, 5, "Up", 45},
        {50, true, 10, 10, 45, "Down", 5},
        {50, true, 10, 10, 23, "Right", 24},
        {50, true, 10, 10, 23, "Down", 33},
        // The same grid without wrap.
        {50, false, 10, 10, 5, "Up", 0},
        {50, false, 10, 10, 9, "Right", 0},
        {50, false, 10, 10, 45, "Down", 49},
        {50, false, 10, 10, 0, "Left", 0},
        // A list of three with row step 3 (the item submenu).
        {3, false, 0, 3, 2, "Down", 2},
        {3, false, 0, 3, 0, "Right", 2},
        {3, false, 0, 3, 2, "Left", 0},
        {3, false, 0, 3, 0, "Up", 0},
        {3, true, 0, 3, 0, "Up", 2},
        // Row step 0: Left and Right do nothing.
        {3, false, 0, 0, 1, "Left", 1},
        {3, true, 0, 0, 1, "Right", 1},
    };
    for (const Case& c : cases) {
        Menu menu(c.entries, c.wrap, c.columns, c.rowStep);
        EXPECT_EQ(menu.Move(c.from, c.key), c.to)
            << c.entries << " wrap " << c.wrap << " columns " << c.columns << " from " << c.from << " " << c.key;
    }

    // An empty list stays empty whatever moves, with or without wrap.
    for (bool wrap : {false, true}) {
        Menu empty(0, wrap, 10, 10);
        for (int n : {1, -1, 10, -10}) empty.object.MoveNavCursor(n, false);
        EXPECT_EQ(empty.object.GetNavCursor(), -1);
        EXPECT_EQ(empty.object.GetNavTarget(), nullptr);
    }
}

TEST(GUINavigation, EntriesTakeTheTargetRectangleAndTheirScript) {
    testsupport::EnsureAllegro();
    GUIButton button;
    button.SetDimensions(13, 13, 32, 32);
    const ALLEGRO_COLOR white = al_map_rgb(255, 255, 255);

    std::unique_ptr<GUINavEntry> outlined = GUIBaseObject::MakeNavEntry(&button, false, white, "FORCECALL");
    ASSERT_NE(outlined, nullptr);
    EXPECT_EQ((std::vector<int>{outlined->x1, outlined->y1, outlined->x2, outlined->y2}),
              (std::vector<int>{14, 14, 44, 44}));
    EXPECT_TRUE(outlined->forceCall);
    EXPECT_TRUE(outlined->scriptPath.empty());
    EXPECT_FLOAT_EQ(outlined->lineWidth, 2.0f);

    std::unique_ptr<GUINavEntry> filled = GUIBaseObject::MakeNavEntry(&button, true, white, nullptr);
    EXPECT_EQ((std::vector<int>{filled->x1, filled->y1, filled->x2, filled->y2}), (std::vector<int>{13, 13, 45, 45}));
    EXPECT_EQ(filled->scriptPath, "Data/Scripts/VoidScript.lua");
    EXPECT_FALSE(filled->forceCall);

    std::unique_ptr<GUINavEntry> cursor = GUIBaseObject::MakeNavCursorEntry(3, 4, &button, "Data/Pick.lua");
    EXPECT_FALSE(cursor->rectangle);
    EXPECT_EQ(cursor->x1, 3);
    EXPECT_EQ(cursor->scriptPath, "Data/Pick.lua");
    EXPECT_EQ(GUIBaseObject::MakeNavEntry(nullptr, true, white, nullptr), nullptr);
    EXPECT_EQ(GUIBaseObject::MakeNavCursorEntry(0, 0, nullptr, nullptr), nullptr);

    // The first entry appended becomes current; clearing leaves none.
    guitest::Widget object;
    object.AppendNavEntry(nullptr);
    EXPECT_EQ(object.GetNavCursor(), -1);
    object.AppendNavEntry(std::move(filled));
    object.AppendNavEntry(std::move(cursor));
    EXPECT_EQ(object.GetNavTarget(), &button);
    object.ClearNavEntries();
    EXPECT_EQ(object.GetNavEntryCount(), 0);
    EXPECT_EQ(object.GetNavTarget(), nullptr);
}

TEST(GUINavigation, EntriesDoNotOutliveTheirTargets) {
    testsupport::EnsureAllegro();
    Menu menu(3, true, 0, 1);
    menu.object.MoveNavCursor(1, true);
    GUIBaseObject* second = menu.object.GetNavTarget();
    delete menu.object.FindChild("B0");
    EXPECT_EQ(menu.object.GetNavTarget(), second);
    delete second;
    EXPECT_EQ(menu.object.GetNavTarget(), nullptr);
    menu.object.MoveNavCursor(1, false);
    EXPECT_EQ(menu.object.GetNavEntryCount(), 1);
    EXPECT_EQ(menu.object.GetNavTarget(), menu.object.FindChild("B2"));
}

TEST(GUINavigation, TheCurrentEntryIsHighlighted) {
    testsupport::EnsureAllegro();
    Menu menu(3, false, 0, 1);
    menu.object.Fill(al_map_rgb(0, 0, 255));
    menu.object.MoveNavCursor(1, false);
    BitmapWrapper target(400, 200, &GetGlobalState()->openGLMode);
    target.SetAsTarget();
    al_clear_to_color(al_map_rgb(0, 0, 0));
    menu.object.Draw(&target);
    // Entry 1 covers (4, 0) to (8, 4); the others are not highlighted.
    EXPECT_EQ(Px(menu.object.GetBackingBitmap(), 5, 2), 0xFFFFFFFFu);
    EXPECT_EQ(Px(menu.object.GetBackingBitmap(), 1, 2), 0x0000FFFFu);
    EXPECT_EQ(Px(menu.object.GetBackingBitmap(), 10, 2), 0x0000FFFFu);
    // A half-clear highlight lets what is under it show through.
    Menu glass(1, false, 0, 1);
    glass.object.ClearNavEntries();
    glass.object.AddNavEntry(glass.object.FindChild("B0"), true, al_map_rgba(200, 200, 0, 128), nullptr);
    glass.object.Fill(al_map_rgb(0, 0, 255));
    glass.object.Draw(&target);
    const uint32_t mixed = Px(glass.object.GetBackingBitmap(), 2, 2);
    EXPECT_NEAR(static_cast<int>(mixed >> 24), 100, 2);
    EXPECT_NEAR(static_cast<int>(mixed >> 16 & 255), 100, 2);
    EXPECT_NEAR(static_cast<int>(mixed >> 8 & 255), 127, 2);

    // Navigation off: no highlight.
    menu.object.SetNavigationOn(false);
    menu.object.SetDirty(true);
    menu.object.Draw(&target);
    EXPECT_EQ(Px(menu.object.GetBackingBitmap(), 5, 2), 0x0000FFFFu);
}

// Menu keys struck faster than the ticks: each key-down moves the grid on
// the control stack once, in the order struck. A key held since before the
// grid came on top, or struck while nothing was on the stack, moves nothing
// until it is struck again (the arrows' bindings never repeat). Events as
// KeyTicks::Play takes them; every cell the grid's cursor visits is noted.
TEST(GUINavigation, EveryMenuKeyStruckMovesOnceInOrder) {
    testsupport::EnsureAllegro();
    struct Row {
        const char* what;
        const char* before;  // with the stack empty, then the bindings reset as a transition ends
        const char* after;   // with the grid on top
        const char* visited;
    };
    const Row rows[] = {
        {"the inventory burst in one tick", "", "Down Right Down Down Left Right Right .", "0 10 11 21 31 30 31 32"},
        {"rolled letter keys", "", "+S +D -S +S -D -S +S -S .", "0 10 11 21 31"},
        {"the order struck, not the bindings' order", "", "Right Down Up Left .", "0 1 11 1 0"},
        {"held since before the grid opened", "+S . . Left .", "~40", "0"},
        {"then struck again and held", "+S . .", "-S +S ~40", "0 10"},
        {"struck while nothing was on the stack", "Down . Down . Right .", ". .", "0"},
    };
    KeyboardManager* savedKeyboard = GetGlobalState()->keyboardManager;
    GUIManager* savedGui = GetGlobalState()->guiManager;
    for (const Row& row : rows) {
        KeyboardManager keyboard;
        GUIManager gui;
        GetGlobalState()->keyboardManager = &keyboard;
        GetGlobalState()->guiManager = &gui;
        Menu grid(50, true, 10, 10);  // the inventory's item grid
        grid.object.SetVisible(true);
        testsupport::GuiKeyTicks keys(keyboard, gui);
        keys.Play(row.before);
        keyboard.ResetBindings();
        gui.GetControlStack().Push(&grid.object);
        keys.Play(row.after);
        EXPECT_EQ(grid.object.visited, row.visited) << row.what;
        gui.GetControlStack().Forget(&grid.object);
    }
    GetGlobalState()->keyboardManager = savedKeyboard;
    GetGlobalState()->guiManager = savedGui;
}
