#include "core/base/FramePhases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

std::string ReadAll(FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[256];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    return text;
}

// With reporting on, one line per report period, naming every phase in
// order with its average, then the totals start again.
TEST(FramePhases, ReportsEveryPeriodAndStartsAgain) {
    FramePhases phases;
    FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    phases.SetReporting(true, 3, out);
    for (int frame = 0; frame < 7; ++frame) {
        {
            PhaseScope outer(FramePhase::Gui);  // the program's record, not this one
        }
        phases.Enter(FramePhase::Update);
        phases.Enter(FramePhase::Streaming);
        phases.Leave();
        phases.Leave();
        phases.EndFrame();
    }
    const std::string text = ReadAll(out);
    std::fclose(out);
    const std::string head = "Frame phases over 3 frames (ms a frame): update ";
    ASSERT_EQ(text.find(head), 0u) << text;
    EXPECT_NE(text.find(head, 1), std::string::npos) << text;
    size_t at = 0;
    for (const char* name :
         {"update ", ", streaming ", ", map 0.00", ", entities 0.00", ", gui 0.00", ", flip 0.00", ", total "}) {
        at = text.find(name, at);
        ASSERT_NE(at, std::string::npos) << name << " in " << text;
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_EQ(phases.Frames(), 1);  // the seventh frame, since the last report
}

// Unpaired leaves, and nesting deeper than is kept, leave the record usable.
TEST(FramePhases, UnevenAndDeepNestingIsHarmless) {
    FramePhases phases;
    phases.Leave();
    for (int i = 0; i < 40; ++i) phases.Enter(i % 2 ? FramePhase::Map : FramePhase::Entities);
    for (int i = 0; i < 41; ++i) phases.Leave();
    phases.EndFrame();
    EXPECT_EQ(phases.Frames(), 1);
    EXPECT_GE(phases.Total(FramePhase::Map) + phases.Total(FramePhase::Entities), 0.0);
    EXPECT_EQ(phases.Total(FramePhase::Flip), 0.0);
    EXPECT_FALSE(phases.IsReporting());
}

}  // namespace
