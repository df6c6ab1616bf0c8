// The keyboard lock across processes, as the link takes it: every begin ... end sequence lies inside one
// hold, a read-change-write of the settings too, every single exchange is held, and no prompt is ever shown
// while it is held.
#include <gtest/gtest.h>

#include "lighting/key_colours.h"
#include "tests/support/config_builders.h"
#include "tests/support/config_fixture.h"
#include "tests/support/traffic.h"

namespace vornak {
namespace {

// Marks where, in the keyboard's traffic and among the prompts shown, each hold began and ended.
class RecordingLock : public KeyboardLock {
  public:
    explicit RecordingLock(test::ConfigFixture& f) : f_(f) {}
    bool Acquire(const std::function<bool(std::chrono::milliseconds)>&) override {
        EXPECT_FALSE(held_) << "taken twice";
        held_ = true;
        holds.push_back({Reports(), f_.prompts.messages.size(), 0, 0});
        return true;
    }
    void Release() override {
        EXPECT_TRUE(held_);
        held_ = false;
        holds.back().lastReport = Reports();
        holds.back().promptsAfter = f_.prompts.messages.size();
    }
    struct Hold {
        size_t firstReport, promptsBefore, lastReport, promptsAfter;
    };
    std::vector<Hold> holds;
    bool held() const { return held_; }

  private:
    size_t Reports() const { return f_.sim().commandsSent().size(); }
    test::ConfigFixture& f_;
    bool held_ = false;
};

TEST(KeyboardLock, HoldsEveryWriteSequenceWholeAndNeverAcrossAPrompt) {
    test::ConfigFixture f(test::WithMacroUnits(1));
    auto owned = std::make_unique<RecordingLock>(f);
    RecordingLock& lock = *owned;
    f.harness.portHubLink().SetKeyboardLock(std::move(owned));

    {
        // A download whose macro names do not fit: the user is told so after the sequence.
        std::lock_guard a(f.store.lockA());
        f.store.edit().macros = {test::MakeMacro(u"AFifteenCharNam", 1, test::Taps(20))};
        ASSERT_TRUE(f.transfer.CopyAndDownload(true)) << f.transfer.lastError();
    }
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    ASSERT_TRUE(f.transfer.SetCurrentProfile(2));
    ASSERT_EQ(SendKeyColour(f.link(), 0, 5, 0x123456), kLinkOk);
    EXPECT_FALSE(lock.held());

    const auto sent = test::CommandsSent(f.sim());
    const auto heldWhole = [&](size_t first, size_t last) {
        for (const auto& h : lock.holds)
            if (h.firstReport <= first && last < h.lastReport) return true;
        return false;
    };
    int sequences = 0;
    for (size_t i = 0; i < sent.size(); ++i) {
        if (sent[i].code != command_code::kBegin) continue;
        size_t end = i;
        while (end < sent.size() && sent[end].code != command_code::kEnd)
            ++end;
        ASSERT_LT(end, sent.size());
        EXPECT_TRUE(heldWhole(i, end)) << "the sequence from report " << i << " to " << end;
        ++sequences;
    }
    EXPECT_EQ(sequences, 3);
    // The settings were read, changed and written back under one hold.
    size_t write = 0;
    while (write < sent.size() && sent[write].code != command_code::kWriteSettings)
        ++write;
    ASSERT_TRUE(write >= 2 && write + 1 < sent.size());
    EXPECT_EQ(sent[write - 2].code, command_code::kReadSettings);
    EXPECT_TRUE(heldWhole(write - 2, write + 1));
    // Every exchange was held, and no hold saw a prompt.
    size_t covered = 0;
    for (const auto& h : lock.holds) {
        EXPECT_EQ(h.promptsBefore, h.promptsAfter) << "a prompt while the keyboard was held";
        covered += h.lastReport - h.firstReport;
    }
    EXPECT_EQ(covered, sent.size());
}

}  // namespace
}  // namespace vornak
