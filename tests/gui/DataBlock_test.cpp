#include "gui/DataBlock.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/base/GenericQueue.h"
#include "core/base/GlobalState.h"
#include "core/media/SoundManager.h"
#include "support/FakeAudioBackend.h"
#include "support/StderrCapture.h"

namespace {

struct Out {
    bool keepGoing = false, stop = false;
    int32_t delay = -7;
};

Out Apply(const DataBlock& block, Out out = {}) {
    DataBlock::Perform(&block, &out.keepGoing, &out.stop, &out.delay);
    return out;
}

TEST(DataBlock, EnqueuePacksAndPerformActs) {
    GenericQueue queue;
    queue.SetOwnsValues();
    queue.SetValueDeleter(DataBlock::Delete);
    int32_t ticks = 0x01020304, negative = -2;
    DataBlock* d = DataBlock::Enqueue(DataBlock::kDelay, &queue, &ticks);
    DataBlock* n = DataBlock::Enqueue(DataBlock::kDelay, &queue, &negative);
    DataBlock* s = DataBlock::Enqueue(DataBlock::kPlaySound, &queue, "Click");
    DataBlock* p = DataBlock::Enqueue(DataBlock::kPause, &queue, &ticks);  // takes no argument
    EXPECT_EQ(DataBlock::Enqueue(DataBlock::kDelay, nullptr, &ticks), nullptr);
    ASSERT_EQ(queue.GetCount(), 4);
    EXPECT_STREQ(queue.PeekName(), "X");
    EXPECT_EQ(queue.Peek(), d);
    EXPECT_EQ(d->value, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(s->value, (std::vector<uint8_t>{'C', 'l', 'i', 'c', 'k', 0}));
    EXPECT_TRUE(p->value.empty());

    testsupport::StderrCapture cap;
    Out out = Apply(*n);
    EXPECT_TRUE(out.keepGoing && out.delay == -2);
    out = Apply(*p, {true, false, 5});
    EXPECT_TRUE(!out.keepGoing && !out.stop && out.delay == 5);
    out = Apply({DataBlock::kStop, false, {}}, {true, false, 5});
    EXPECT_TRUE(!out.keepGoing && out.stop && out.delay == 5);
    out = Apply({DataBlock::kDelay, false, {0, 0, 0, 0}}, {false, false, 99});
    EXPECT_TRUE(out.keepGoing && out.delay == 0);
    // A held block ends processing but still acts.
    out = Apply({DataBlock::kDelay, true, {0, 0, 0, 3}}, {true, false, 0});
    EXPECT_TRUE(!out.keepGoing && out.delay == 3);
    out = Apply({50, false, {1}});  // an unused shared code with an argument
    EXPECT_TRUE(out.keepGoing && out.delay == -7);
    // Missing outputs: nothing happens.
    bool stop = false;
    DataBlock::Perform(nullptr, &out.keepGoing, &stop, nullptr);
    DataBlock::Perform(p, nullptr, &stop, nullptr);
    EXPECT_FALSE(stop);
    EXPECT_EQ(cap.Take(), "");

    // Missing, short or unterminated arguments are reported and do nothing.
    const std::vector<DataBlock> invalid = {{DataBlock::kDelay, false, {}},
                                            {DataBlock::kDelay, false, {0, 0, 1}},
                                            {DataBlock::kPlaySound, false, {}},
                                            {DataBlock::kPlayMusic, false, {'A', 'b'}},
                                            {7, false, {}}};
    for (const DataBlock& block : invalid) {
        testsupport::StderrCapture bad;
        out = Apply(block);
        EXPECT_EQ(bad.Take(), "Failed due to invalid datablock\n") << block.type;
        EXPECT_TRUE(out.keepGoing && !out.stop && out.delay == -7) << block.type;
    }
}

TEST(DataBlock, SoundAndMusicByName) {
    FakeAudioBackend fake;
    SoundManager sound([] { return 1.0; });
    SoundManager* saved = GetGlobalState()->soundManager;
    GetGlobalState()->soundManager = &sound;
    GetGlobalState()->noMusic = 0;
    AudioRecord* click = sound.RegisterSound("Click", sound.CreateHandleCell(fake.StreamCreateFile("c.wav", 0)));
    AudioRecord* theme = sound.RegisterMusic("Theme", sound.CreateHandleCell(fake.StreamCreateFile("t.wav", 0)));
    auto perform = [](int32_t type, const char* name) {
        GenericQueue queue;
        std::unique_ptr<DataBlock> block(DataBlock::Enqueue(type, &queue, name));
        EXPECT_TRUE(Apply(*block).keepGoing);
    };

    testsupport::StderrCapture cap;
    perform(DataBlock::kPlaySound, "Click");
    EXPECT_TRUE(fake[*click->handle].playing);
    perform(DataBlock::kStopSound, "Click");
    EXPECT_FALSE(fake[*click->handle].playing);
    perform(DataBlock::kPlayMusic, "Theme");
    EXPECT_TRUE(fake[*theme->handle].playing);
    perform(DataBlock::kStopMusic, "Theme");
    EXPECT_FALSE(fake[*theme->handle].playing);
    // Looked up by kind; a missing name is silent.
    perform(DataBlock::kPlaySound, "Theme");
    perform(DataBlock::kPlayMusic, "Nobody");
    EXPECT_EQ(fake[*theme->handle].plays, 1);
    EXPECT_EQ(cap.Take(), "");
    // Without a sound manager the cue is dropped.
    GetGlobalState()->soundManager = nullptr;
    perform(DataBlock::kPlaySound, "Click");
    EXPECT_EQ(fake[*click->handle].plays, 1);
    GetGlobalState()->soundManager = saved;
}

}  // namespace
