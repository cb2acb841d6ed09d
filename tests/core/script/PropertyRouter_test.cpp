#include "core/script/PropertyRouter.h"

#include <gtest/gtest.h>

#include <string>

using PR = PropertyRouter;

// A kind registered by its owner is routed by every router, with the value
// type the owner reports; replacing its resolver takes effect at once.
TEST(PropertyRouter, AKindRegisteredByItsOwnerIsRouted) {
    static int32_t field = 5;
    PR::SetResolver("TestOwner", [](const std::string& owner, const std::string& property) {
        PR::Target target;
        if (owner == "One" && property == "Field") {
            PR::Report(PR::kId);
            target.address = &field;
            target.source = &field;
        }
        return target;
    });
    PR router;
    EXPECT_EQ(router.Route("TestOwner", "One", "Field"), &field);
    EXPECT_EQ(router.GetValueType(), PR::kId);
    EXPECT_EQ(router.GetLastOwner(), &field);
    EXPECT_EQ(router.Route("TestOwner", "Two", "Field"), nullptr);
    EXPECT_EQ(router.GetValueType(), PR::kNone);
    PR::SetResolver("TestOwner", nullptr);
    EXPECT_EQ(router.Route("TestOwner", "One", "Field"), nullptr);
}
