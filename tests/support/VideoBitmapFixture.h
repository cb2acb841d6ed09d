#pragma once
#include <gtest/gtest.h>

namespace testsupport {

// For tests of textures: a display is up and new bitmaps are made as video
// bitmaps during the test; afterwards they are memory bitmaps again, as the
// other tests of the program expect, whether the test passed or not.
class VideoBitmapFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace testsupport
