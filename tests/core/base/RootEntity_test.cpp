#include "core/base/RootEntity.h"

#include <gtest/gtest.h>

#include "core/base/GlobalState.h"
#include "support/StderrCapture.h"

namespace {

class CountingEntity : public RootEntity {
public:
    void Update() override { ++updates; }
    void Draw(BitmapWrapper*, Camera*) override { ++draws; }
    void DrawSecondPass(BitmapWrapper*, Camera*) override { ++secondPasses; }
    int updates = 0, draws = 0, secondPasses = 0;
};

}  // namespace

TEST(RootObject, IdsComeFromOneCounter) {
    RootObject first;
    CountingEntity second;
    RootObject third;
    EXPECT_EQ(second.GetID(), first.GetID() + 1);
    EXPECT_EQ(third.GetID(), second.GetID() + 1);
    EXPECT_EQ(first.GetType(), 0);
    EXPECT_GE(first.GetID(), 1);
}

TEST(RootEntity, GuardedCallersRunOnlyWhenActiveIsOne) {
    CountingEntity entity;
    EXPECT_EQ(entity.IsActive(), 1);
    entity.SafeUpdate();
    entity.SafeDraw(nullptr, nullptr);
    entity.SafeDrawSecondPass(nullptr, nullptr);
    EXPECT_EQ(entity.updates + entity.draws + entity.secondPasses, 3);

    entity.SetActive(2);  // any value other than 1 counts as inactive
    entity.SafeUpdate();
    entity.SafeDraw(nullptr, nullptr);
    entity.Disable();
    entity.SafeDrawSecondPass(nullptr, nullptr);
    EXPECT_EQ(entity.updates + entity.draws + entity.secondPasses, 3);
    entity.Enable();
    entity.SafeUpdate();
    EXPECT_EQ(entity.updates, 2);
}

TEST(RootEntity, DefaultPositionWarnsAndGuardNeedsAllPointers) {
    RootEntity entity;
    float x = 5, y = 6, z = 7;
    testsupport::StderrCapture capture;
    entity.SafeGetPosition(&x, nullptr, &z);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(z, 7);
    entity.SafeGetPosition(&x, &y, &z);
    EXPECT_EQ(capture.Take(), "Warning:  Entity of type 0 does not have a position function\n");
    EXPECT_EQ(x + y + z, 0);
    EXPECT_EQ(entity.GetDrawOrderKey(), -1);
}

TEST(RootEntity, DeletePointerRefusesUnknownTypes) {
    testsupport::StderrCapture capture;
    DeletePointer(nullptr, 77);
    int dummy = 0;
    DeletePointer(&dummy, 77);
    EXPECT_EQ(capture.Take(), "DeletePointer:  Failed, could not find a pointer of type 77\n");
}

TEST(RootEntity, DeletingThroughTheBaseRunsTheSubclassDestructor) {
    static int destroyed = 0;
    struct Owned : RootEntity {
        ~Owned() override { ++destroyed; }
    };
    RootEntity* entity = new Owned;
    delete entity;
    EXPECT_EQ(destroyed, 1);
}
