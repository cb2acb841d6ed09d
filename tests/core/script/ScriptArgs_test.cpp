#include "core/script/ScriptArgs.h"

#include <gtest/gtest.h>

#include <string>

#include "support/StderrCapture.h"

namespace {

struct Thing {
    virtual ~Thing() = default;
};
struct Lamp : Thing {};
struct Door : Thing {};

struct Keeper {
    Thing* active = nullptr;
    Thing* GetActive() const { return active; }
};

const script::ActiveReasons kLampReasons{"Keeper does not exist", "Active Thing not set", "Active Thing is not a Lamp"};

TEST(ScriptLines, BuildTheFunctionsLinesWithItsGap) {
    const script::Lines twoBlanks{"Lamp SetGlow"};
    const script::Lines oneBlank{"LAMP_SetGlow", ": "};
    EXPECT_EQ(twoBlanks.Invalid(), "Lamp SetGlow:  Failed, invalid argument list\n");
    EXPECT_EQ(oneBlank.Line("Keeper does not exist"), "LAMP_SetGlow: Failed, Keeper does not exist\n");

    testsupport::StderrCapture cap;
    EXPECT_EQ(twoBlanks.Fail("glow out of range"), 0);
    EXPECT_EQ(cap.Take(), "Lamp SetGlow:  Failed, glow out of range\n");
}

TEST(ScriptActiveObject, FindsTheActiveObjectOfItsKindOrSaysWhyNot) {
    Lamp lamp;
    Door door;
    Keeper keeper;
    struct Case {
        Keeper* manager;
        Thing* active;
        const script::ActiveReasons* reasons;
        bool found;
        const char* line;
    };
    const script::ActiveReasons sameLineForKind{"Keeper does not exist", "Active Thing not set"};
    const Case cases[] = {
        {&keeper, &lamp, &kLampReasons, true, ""},
        {nullptr, &lamp, &kLampReasons, false, "Lamp SetGlow:  Failed, Keeper does not exist\n"},
        {&keeper, nullptr, &kLampReasons, false, "Lamp SetGlow:  Failed, Active Thing not set\n"},
        {&keeper, &door, &kLampReasons, false, "Lamp SetGlow:  Failed, Active Thing is not a Lamp\n"},
        {&keeper, &door, &sameLineForKind, false, "Lamp SetGlow:  Failed, Active Thing not set\n"},
    };
    for (const Case& c : cases) {
        keeper.active = c.active;
        testsupport::StderrCapture cap;
        Lamp* found = script::ActiveObject<Lamp>({"Lamp SetGlow"}, c.manager, &Keeper::GetActive, *c.reasons);
        EXPECT_EQ(found, c.found ? &lamp : nullptr);
        EXPECT_EQ(cap.Take(), c.line);
    }
}

TEST(ScriptActiveObject, AFamilyMayJudgeTheKindItself) {
    Lamp lamp;
    Keeper keeper{&lamp};
    auto refuseAll = [](Thing*) -> Lamp* { return nullptr; };
    testsupport::StderrCapture cap;
    EXPECT_EQ(script::ActiveObject<Lamp>({"Lamp SetGlow"}, &keeper, &Keeper::GetActive, refuseAll, kLampReasons),
              nullptr);
    EXPECT_EQ(cap.Take(), "Lamp SetGlow:  Failed, Active Thing is not a Lamp\n");
}

}  // namespace
