#include "core/script/DataLibrary.h"

#include <gtest/gtest.h>

#include <string>

#include "core/base/NamedList.h"
#include "support/StderrCapture.h"

namespace {

// A library with Images/GUI/Windows built.
struct Library : ::testing::Test {
    DataLibrary library;
    int a = 1, b = 2, c = 3;
    void SetUp() override {
        library.AddSection("Images");
        library.AddCatalogue("Images", "GUI");
        library.AddHeading("Images", "GUI", "Windows");
    }
};

TEST_F(Library, LookupsWarnOnlyAtTheFirstFailingLevel) {
    ASSERT_TRUE(library.Register("Images", "GUI", "Windows", "MoonCorner", &a, DataKind::Bitmap));
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "MoonCorner", DataKind::Bitmap), &a);

    const char* cases[][5] = {
        {"Sounds", "GUI", "Windows", "X", "DataLibrary - GetSection(N):  Failed, Sounds not found\n"},
        {"Images", "Nope", "Windows", "X", "DataLibrary - GetCatalogue(B):  Failed, Nope not found\n"},
        {"Images", "GUI", "Nope", "X", "DataLibrary - GetHeading(B):  Failed, Nope not found\n"},
        {"Images", "GUI", "Windows", "X", "DataLibrary:  Warning, Root/Images/GUI/Windows/X does not exist\n"},
    };
    for (const auto& k : cases) {
        testsupport::StderrCapture cap;
        EXPECT_EQ(library.GetPointer(k[0], k[1], k[2], k[3], DataKind::Any), nullptr);
        EXPECT_EQ(cap.Take(), k[4]);
    }
    {
        testsupport::StderrCapture cap;
        EXPECT_EQ(library.GetCatalogue("Images", "Nope"), nullptr);
        EXPECT_EQ(library.GetHeading("Images", "GUI", "Nope"), nullptr);
        EXPECT_EQ(cap.Take(),
                  "DataLibrary - GetCatalogue(N):  Failed, Nope not found\n"
                  "DataLibrary - GetHeading(N):  Failed, Nope not found\n");
    }
    // Silent while warn-on-miss is off.
    library.SetWarnOnMiss(0);
    testsupport::StderrCapture cap;
    for (const auto& k : cases) EXPECT_EQ(library.GetPointer(k[0], k[1], k[2], k[3], DataKind::Any), nullptr);
    EXPECT_EQ(library.GetHeading("Images", "GUI", "Nope"), nullptr);
    EXPECT_EQ(cap.Take(), "");
}

TEST(DataLibraryActiveLevels, LookupsInTheActiveLevels) {
    DataLibrary library;
    library.SetWarnOnMiss(0);  // these lines are printed regardless
    {
        testsupport::StderrCapture cap;
        EXPECT_EQ(library.GetCatalogueA("GUI"), nullptr);
        EXPECT_EQ(library.GetHeadingA("Windows"), nullptr);
        EXPECT_EQ(cap.Take(),
                  "DataLibrary - GetCatalogue(A):  Failed, no Active Section\n"
                  "DataLibrary - GetHeading(A):  Failed, no Active Catalogue\n");
    }
    library.AddSection("Images");
    NamedList* catalogue = library.AddCatalogue("Images", "GUI");
    NamedList* heading = library.AddHeading("Images", "GUI", "Windows");
    EXPECT_EQ(library.GetCatalogueA("GUI"), catalogue);
    EXPECT_EQ(library.GetHeadingA("Windows"), heading);
}

TEST_F(Library, ReAddingALevelReusesItAndMissingParentsAddNothing) {
    ASSERT_TRUE(library.Register("Images", "GUI", "Windows", "A", &a, DataKind::Bitmap));
    NamedList* heading = library.GetHeading("Images", "GUI", "Windows");

    // A second script building the same path registers beside the first.
    library.AddSection("Images");
    library.AddCatalogue("Images", "GUI");
    EXPECT_EQ(library.AddHeading("Images", "GUI", "Windows"), heading);
    EXPECT_TRUE(library.RegisterInActiveHeading("B", &b, DataKind::Bitmap));
    EXPECT_EQ(library.GetRoot()->GetCount(), 1);
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "A", DataKind::Bitmap), &a);
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "B", DataKind::Bitmap), &b);

    // Entries of one name are all kept; the first wins.
    EXPECT_TRUE(library.Register("Images", "GUI", "Windows", "A", &c, DataKind::Bitmap));
    EXPECT_EQ(heading->GetCount(), 3);
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "A", DataKind::Bitmap), &a);

    testsupport::StderrCapture cap;
    EXPECT_EQ(library.AddCatalogue("Nope", "GUI"), nullptr);
    EXPECT_EQ(library.AddHeading("Images", "Nope", "X"), nullptr);
    EXPECT_EQ(cap.Take(), "");
    EXPECT_EQ(library.GetActiveHeadingName(), "Windows");
}

TEST_F(Library, KindsAreKeptApart) {
    ASSERT_TRUE(library.Register("Images", "GUI", "Windows", "Moon", &a, DataKind::Portrait));
    ASSERT_TRUE(library.Register("Images", "GUI", "Windows", "Cordial", &b, DataKind::ItemPrototype));
    // A name there with another kind only is named with its kind; a name
    // that is not there at all does not exist.
    const struct {
        const char* name;
        DataKind kind;
        const char* line;
    } misses[] = {
        {"Moon", DataKind::Bitmap, "DataLibrary:  Warning, Root/Images/GUI/Windows/Moon is a Portrait, not a Bitmap\n"},
        {"Cordial", DataKind::EnemyPrototype,
         "DataLibrary:  Warning, Root/Images/GUI/Windows/Cordial is an ItemPrototype, not an EnemyPrototype\n"},
        {"Sun", DataKind::Bitmap, "DataLibrary:  Warning, Root/Images/GUI/Windows/Sun does not exist\n"},
    };
    for (const auto& miss : misses) {
        testsupport::StderrCapture cap;
        EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", miss.name, miss.kind), nullptr);
        EXPECT_EQ(cap.Take(), miss.line);
    }
    EXPECT_EQ(library.FindPointerAnywhere("Moon", DataKind::Bitmap), nullptr);

    // A later entry of the wanted kind under the same name is found.
    ASSERT_TRUE(library.Register("Images", "GUI", "Windows", "Moon", &b, DataKind::Bitmap));
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "Moon", DataKind::Bitmap), &b);
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "Moon", DataKind::Any), &a);

    // The active object answers only the kind it was set with.
    library.SetActiveObject(&c, DataKind::Palette);
    EXPECT_EQ(library.GetActiveObject(DataKind::Palette), &c);
    EXPECT_EQ(library.GetActiveObject(DataKind::Bitmap), nullptr);
    library.SetActiveObject("Images", "GUI", "Windows", "Moon");
    EXPECT_EQ(library.GetActiveObject(DataKind::Portrait), &a);
}

TEST_F(Library, RegisteringWarnsVerboseLinesAndRefusals) {
    library.SetVerbose(1);
    testsupport::StderrCapture cap;
    library.AddSection("Fonts");
    library.AddCatalogue("Fonts", "General");
    library.AddHeading("Fonts", "General", "System");
    library.Register("Fonts", "General", "System", "SystemFont", &a, DataKind::Font);
    library.RegisterInActiveHeading("ChatFont", &b, DataKind::Font);
    library.SetVerbose(0);
    library.SetWarnOnMiss(0);
    EXPECT_FALSE(library.Register("Fonts", "General", "System", "Null", nullptr, DataKind::Font));  // always
    EXPECT_FALSE(library.Register("Fonts", "General", "Nope", "A", &a, DataKind::Font));            // silent
    EXPECT_FALSE(library.RegisterInActiveHeading("X", nullptr, DataKind::Font));
    EXPECT_EQ(cap.Take(),
              "DataLibrary:  Registered Root/Fonts/\n"
              "DataLibrary:  Registered Root/Fonts/General/ \n"
              "DataLibrary:  Registered Root/Fonts/General/System/ \n"
              "DataLibrary:  Registered Root/Fonts/General/System/SystemFont \n"
              "DataLibrary:  Registered Root/Fonts/General/System/ChatFont \n"
              "DataLibrary - Register:  Warning, Pointer Null did not exist when registered\n");
    EXPECT_EQ(library.GetHeading("Fonts", "General", "System")->GetCount(), 2);
}

TEST_F(Library, SearchesWithoutAPath) {
    library.AddCatalogue("Images", "Misc");
    library.AddHeading("Images", "Misc", "Icons");
    library.Register("Images", "GUI", "Windows", "Shared", &a, DataKind::Bitmap);
    library.Register("Images", "Misc", "Icons", "Shared", &b, DataKind::Bitmap);
    library.Register("Images", "Misc", "Icons", "Icon", &c, DataKind::Bitmap);

    testsupport::StderrCapture cap;
    EXPECT_EQ(library.FindPointerAnywhere("Shared"), &a);  // depth first, in list order
    EXPECT_EQ(library.FindPointerAnywhere("Nothing"), nullptr);
    EXPECT_EQ(library.FindPointerInSection(library.GetSection("Images"), "Icon"), &c);
    EXPECT_EQ(library.FindPointerInCatalogue(library.GetCatalogue("Images", "Misc"), "Shared"), &b);
    EXPECT_EQ(library.FindPointerInHeading(library.GetHeading("Images", "GUI", "Windows"), "Icon"), nullptr);
    EXPECT_EQ(cap.Take(), "");
}

TEST_F(Library, RemovingHandsThePointerBackAndForgetsIt) {
    const DataKind kCommand = DataKind::ConsoleCommand;
    library.Register("Images", "GUI", "Windows", "X", &c, kCommand);
    library.Register("Images", "GUI", "Windows", "A", &a, kCommand);
    library.Register("Images", "GUI", "Windows", "A", &b, kCommand);
    library.SetActiveObject(&b, kCommand);
    library.PushActiveEntity();
    library.SetActiveObject(&b, kCommand);

    // Duplicates go as the list removes them: the tail before an inner one.
    EXPECT_EQ(library.RemovePointer("Images", "GUI", "Windows", "A", kCommand), &b);
    EXPECT_EQ(library.GetActiveObject(DataKind::Any), nullptr);  // the caller may delete it now
    EXPECT_EQ(library.PopActiveEntity(), nullptr);
    library.Register("Images", "GUI", "Windows", "Y", &c, kCommand);
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "A", DataKind::Any), &a);

    testsupport::StderrCapture cap;
    library.SetWarnOnMiss(0);  // the entry's own miss is reported regardless
    EXPECT_EQ(library.RemovePointer("Images", "GUI", "Windows", "A", DataKind::Bitmap), nullptr);
    EXPECT_EQ(library.RemovePointer("Images", "GUI", "Windows", "A", DataKind::Any), &a);  // an inner one
    EXPECT_EQ(library.RemovePointer("Images", "GUI", "Windows", "Z", kCommand), nullptr);
    EXPECT_EQ(cap.Take(),
              "DataLibrary:  Warning, Root/Images/GUI/Windows/A is a ConsoleCommand, not a Bitmap\n"
              "DataLibrary:  Warning, Root/Images/GUI/Windows/Z does not exist\n");
    EXPECT_EQ(library.GetHeading("Images", "GUI", "Windows")->GetCount(), 2);
}

TEST_F(Library, RegisterOrDeleteDeletesOnlyWhatFindsNoPlace) {
    struct Counted {
        int* deaths;
        ~Counted() { ++*deaths; }
    };
    int deaths = 0;
    const std::string atPath[4] = {"Images", "GUI", "Windows", "Kept"};
    const std::string nowhere[4] = {"Images", "GUI", "Nope", "Lost"};
    const std::string inActive[1] = {"AlsoKept"};
    auto* kept = new Counted{&deaths};
    auto* alsoKept = new Counted{&deaths};
    {
        testsupport::StderrCapture cap;
        library.RegisterOrDelete(atPath, 4, kept, DataKind::Bitmap);
        library.RegisterOrDelete(nowhere, 4, new Counted{&deaths}, DataKind::Bitmap);
        library.RegisterOrDelete(inActive, 1, alsoKept, DataKind::Bitmap);
        library.RegisterOrDelete<Counted>(atPath, 4, nullptr, DataKind::Bitmap);
    }
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "Kept", DataKind::Bitmap), kept);
    EXPECT_EQ(library.GetPointer("Images", "GUI", "Windows", "AlsoKept", DataKind::Bitmap), alsoKept);
    // The library never owns what it files.
    delete kept;
    delete alsoKept;
}

TEST(DataLibraryStack, PushAndPop) {
    DataLibrary library;
    int a = 1, b = 2;
    library.PushActiveEntity();  // nothing active: nothing pushed
    EXPECT_EQ(library.GetStackDepth(), 0u);
    library.SetActiveObject(&a, DataKind::Palette);
    library.PushActiveEntity();
    EXPECT_EQ(library.GetActiveObject(DataKind::Any), nullptr);
    library.SetActiveObject(&b, DataKind::Bitmap);
    library.PushActiveEntity();

    EXPECT_EQ(library.PopActiveEntity(), &b);
    EXPECT_EQ(library.PopActiveEntity(), &a);
    EXPECT_EQ(library.GetActiveObject(DataKind::Palette), &a);  // the kind travels with it
    EXPECT_EQ(library.PopActiveEntity(), nullptr);              // empty: the active object is cleared
    EXPECT_EQ(library.GetActiveObject(DataKind::Any), nullptr);
}

}  // namespace
