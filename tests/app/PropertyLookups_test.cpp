// Routing (kind, owner, property) to live fields: the value type each lookup
// leaves, the PM_ functions' type checks, kept addresses dying with owners.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "app/LayerWiring.h"
#include "core/base/GlobalState.h"
#include "core/script/PropertyRouter.h"
#include "gui/GUIBaseObject.h"
#include "gui/GUIManager.h"
#include "support/LuaTestState.h"
#include "support/RunScript.h"
#include "support/StderrCapture.h"
#include "world/EntityManager.h"

using testsupport::LuaTestState;
using testsupport::RunScript;
using testsupport::Stderr;
using PR = PropertyRouter;

namespace {

// A widget naming one field of each primitive type, a string and a record.
class ProbeWidget : public GUIBaseObject {
public:
    uint8_t flag = 1;
    int32_t count = 7;
    float speed = 1.5f;
    double center = 2.25;
    std::string label = "hello";
    int32_t box = 12345;

    void* GetProperty(const std::string& name) override {
        struct Entry {
            const char* name;
            void* address;
            int32_t type;
        };
        for (const Entry& e :
             {Entry{"Flag", &flag, PR::kByte}, Entry{"Count", &count, PR::kInt}, Entry{"Speed", &speed, PR::kFloat},
              Entry{"Center", &center, PR::kDouble}, Entry{"Label", &label, PR::kString}, Entry{"Id", &count, PR::kId},
              Entry{"Box", &box, PR::kObjectBox}}) {
            if (name == e.name) {
                PR::Report(e.type);
                return e.address;
            }
        }
        return nullptr;
    }
};

// Swaps a global slot for the length of a scope.
template <class T> class Slot {
public:
    Slot(T*& slot, T* value) : m_slot(slot), m_saved(slot) { slot = value; }
    ~Slot() { m_slot = m_saved; }

private:
    T*& m_slot;
    T* m_saved;
};

// A GUI manager in its slot: top-level "Panel" holding the probe "Probe".
// The owner kinds are routed as start-up registers them.
struct GuiFixture {
    bool wired = (InstallLayerHooks(), true);
    GUIManager gui;
    Slot<GUIManager> slot{GetGlobalState()->guiManager, &gui};
    GUIBaseObject* panel = new GUIBaseObject;
    ProbeWidget* probe = new ProbeWidget;
    GuiFixture() {
        gui.ResetActiveObjectList();
        gui.AddObject("Panel", panel);
        panel->AddChild("Probe", probe);
    }
};

}  // namespace

TEST(PropertyRouter, FailedLookupsGiveNullTypeZeroAndTheirLine) {
    PR router;
    Slot<PR> slot(GetGlobalState()->propertyRouter, &router);
    GuiFixture fixture;
    ASSERT_EQ(router.Route("GUI", "Probe", "Count"), &fixture.probe->count);
    EXPECT_EQ(router.GetValueType(), PR::kInt);
    EXPECT_EQ(router.GetLastOwner(), fixture.probe);

    // Kinds are exact; unbuilt owners find nothing. Each failure resets the
    // type left by the lookup before it.
    struct Case {
        const char* kind;
        const char* owner;
        const char* property;
        const char* line;
    };
    EntityManager entities;
    for (const Case& c :
         {Case{"player", "x", "Direction", ""}, Case{"gui", "Probe", "Count", ""}, Case{"GUI", "Nobody", "Count", ""},
          Case{"GUI", "Probe", "count", ""}, Case{"Player", "x", "XCenter", ""}, Case{"ChatLog", "", "Log|00", ""},
          Case{"Object", "", "XPos", "Routing Function:  Failed, no Active Object set\n"},
          Case{"ActiveAIDrawingList", "", "a", "Routing Function:  Failed, no Active Drawing List set\n"},
          Case{"NPC", "", "St|Walking", "Routing Function:  Failed, no Active NPC set\n"}}) {
        router.SetValueType(PR::kDouble);
        void* address = &router;
        EXPECT_EQ(Stderr([&] { address = router.Route(c.kind, c.owner, c.property); }), c.line) << c.kind;
        EXPECT_EQ(address, nullptr) << c.kind;
        EXPECT_EQ(router.GetValueType(), PR::kNone) << c.kind;
        EXPECT_EQ(router.GetLastOwner(), nullptr) << c.kind;
    }
    // With an entity manager, its own lookup speaks first.
    Slot<EntityManager> em(GetGlobalState()->entityManager, &entities);
    EXPECT_EQ(Stderr([&] { router.Route("NPC", "", "St|Walking"); }),
              "EM::GetActiveNPC: Failed, rActiveEntity was NULL\nRouting Function:  Failed, no Active NPC set\n");

    // A router routing outside the slot gets its owner's report itself.
    PR local;
    router.SetValueType(77);
    EXPECT_EQ(local.Route("GUI", "Probe", "Speed"), &fixture.probe->speed);
    EXPECT_EQ(local.GetValueType(), PR::kFloat);
    EXPECT_EQ(router.GetValueType(), 77);
}

TEST(PropertyRouter, ScriptsReadAndWriteByTheFieldType) {
    LuaTestState lua;
    GuiFixture fixture;
    ProbeWidget& probe = *fixture.probe;
    probe.flag = 0;
    EXPECT_EQ(RunScript(lua,
                        "f = PM_GetValue('GUI', 'Probe', 'Flag') i = PM_GetValue('GUI', 'Probe', 'Id') "
                        "s = PM_GetValue('GUI', 'Probe', 'Speed') d = PM_GetValue('GUI', 'Probe', 'Center') "
                        "b = PM_GetPropertyPointerInteger('GUI', 'Probe', 'Flag')"),
              "");
    EXPECT_EQ(lua.GetType("f"), LUA_TNUMBER);
    EXPECT_EQ(lua.GetNumber("f"), 0);
    EXPECT_EQ(lua.GetNumber("i"), 7);
    EXPECT_EQ(lua.GetNumber("s"), 1.5);
    EXPECT_EQ(lua.GetNumber("d"), 2.25);
    EXPECT_EQ(lua.GetType("b"), LUA_TNUMBER);

    // Truncation toward zero and clamping for ints, "exactly 0" for flags,
    // saturation for floats.
    EXPECT_EQ(RunScript(lua, "PM_SetValue(0.5, 'GUI', 'Probe', 'Count')"), "");
    EXPECT_EQ(probe.count, 0);
    lua.Run("PM_SetValue(-2.9, 'GUI', 'Probe', 'Id')");
    EXPECT_EQ(probe.count, -2);
    lua.Run("PM_SetValue(1e12, 'GUI', 'Probe', 'Count') PM_SetValue(0.001, 'GUI', 'Probe', 'Flag')");
    EXPECT_EQ(probe.count, INT32_MAX);
    EXPECT_EQ(probe.flag, 1);
    lua.Run("PM_SetValue(1e300, 'GUI', 'Probe', 'Speed') PM_SetValue(0.1, 'GUI', 'Probe', 'Center')");
    EXPECT_TRUE(std::isinf(probe.speed));
    EXPECT_EQ(probe.center, 0.1);
    lua.Run("PM_SetPropertyPointerInteger(3.99, 'GUI', 'Probe', 'Count')");
    EXPECT_EQ(probe.count, 3);

    // Strings and records are never read or written as numbers; flags and ids
    // are not integers to the integer setter.
    EXPECT_EQ(RunScript(lua,
                        "n = select('#', PM_GetValue('GUI', 'Probe', 'Label')) + "
                        "select('#', PM_GetValue('GUI', 'Probe', 'Gone')) + "
                        "select('#', PM_GetPropertyPointerInteger('GUI', 'Probe', 'Speed')) + "
                        "select('#', PM_GetPropertyPointerInteger('GUI', 'Probe', 'Id')) "
                        "PM_SetValue(65, 'GUI', 'Probe', 'Label') PM_SetValue(65, 'GUI', 'Probe', 'Box') "
                        "PM_SetValue(65, 'GUI', 'Nobody', 'Count') "
                        "PM_SetPropertyPointerInteger(0, 'GUI', 'Probe', 'Flag') "
                        "PM_SetPropertyPointerInteger(0, 'Player', 'Probe', 'Direction')"),
              "PM GetValue:  Failed, pointer was not a primitive\n"
              "PM GetValue:  Failed, pointer was NULL\n"
              "PM GetPropertyPointer (int):  Failed, pointer was not an Integer\n"
              "PM GetPropertyPointer (int):  Failed, pointer was not an Integer\n"
              "PM SetValue:  Failed, pointer was not a primitive\n"
              "PM SetValue:  Failed, pointer was not a primitive\n"
              "PM SetValue:  Failed, pointer was NULL\n"
              "PM SetPropertyPointer (int):  Failed, pointer was not an Integer\n"
              "PM SetPropertyPointer (int):  Failed, pointer was NULL\n");
    EXPECT_EQ(lua.GetNumber("n"), 0);
    EXPECT_EQ(probe.label, "hello");
    EXPECT_EQ(probe.box, 12345);
    EXPECT_EQ(probe.flag, 1);

    Slot<PR> none(GetGlobalState()->propertyRouter, nullptr);
    EXPECT_EQ(RunScript(lua, "PM_GetValue('GUI', 'Probe', 'Count')"),
              "PM GetValue:  Failed, PropertyRouter does not exist\n");
}

TEST(PropertyRouter, KeptAddressesDieWithTheirOwnerOrRouter) {
    auto router = std::make_unique<PR>();
    Slot<PR> slot(GetGlobalState()->propertyRouter, router.get());
    GuiFixture fixture;

    PR::SyncPointer count, label, speed;
    EXPECT_FALSE(count.Bind("GUI", "Probe", "Nothing"));
    ASSERT_TRUE(count.Bind("GUI", "Probe", "Count"));
    ASSERT_TRUE(label.Bind("GUI", "Probe", "Label"));
    {
        PR::SyncPointer shortLived;
        ASSERT_TRUE(shortLived.Bind("GUI", "Probe", "Flag"));
    }  // detaches itself; later walks must not touch it
    double value = 0;
    ASSERT_TRUE(count.Read(value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(count.Write(41.7));
    EXPECT_EQ(fixture.probe->count, 41);
    EXPECT_EQ(count.AsString(), nullptr);
    EXPECT_FALSE(label.Write(1));
    ASSERT_NE(label.AsString(), nullptr);
    *label.AsString() = "a label far longer than the one it replaces";
    EXPECT_EQ(fixture.probe->label, "a label far longer than the one it replaces");

    // An owner announcing its end clears only the addresses into it.
    PR::ForgetOwner(fixture.panel);
    EXPECT_NE(count.Get(), nullptr);
    PR::ForgetOwner(fixture.probe);
    EXPECT_EQ(count.Get(), nullptr);
    EXPECT_EQ(label.AsString(), nullptr);

    // Deleting the owner does the same.
    ASSERT_TRUE(count.Bind("GUI", "Probe", "Count"));
    delete fixture.probe;
    EXPECT_EQ(count.Get(), nullptr);
    EXPECT_EQ(count.GetValueType(), PR::kNone);
    EXPECT_FALSE(count.Read(value));

    // So does the router going.
    fixture.probe = new ProbeWidget;
    fixture.panel->AddChild("Probe", fixture.probe);
    ASSERT_TRUE(speed.Bind("GUI", "Probe", "Speed"));
    GetGlobalState()->propertyRouter = nullptr;
    router.reset();
    EXPECT_EQ(speed.Get(), nullptr);
    EXPECT_FALSE(speed.Bind("GUI", "Probe", "Speed"));
}
