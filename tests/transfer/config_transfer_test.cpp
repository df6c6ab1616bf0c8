#include "transfer/config_transfer.h"

#include <gtest/gtest.h>

#include "macro/macro_blob.h"
#include "platform/bytes.h"
#include "tests/support/config_builders.h"
#include "tests/support/config_fixture.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

using test::ConfigFixture;

constexpr uint8_t kPosA = 64, kPosEsc = 0, kPosQ = 43, kPosRightWin = 112, kPosF1 = 1, kPosB = 90;

std::array<uint8_t, 3> At(const sim::KeyBlock& block, size_t position) {
    return {block[3 * position], block[3 * position + 1], block[3 * position + 2]};
}

std::vector<uint8_t> CommandCodes(const sim::KeyboardSimulator& sim) {
    std::vector<uint8_t> codes;
    for (const auto& report : sim.commandsSent())
        codes.push_back(report[3]);
    return codes;
}

TEST(Download, AllProfilesReachTheKeyboardInOneSequence) {
    ConfigFixture f;
    {
        std::lock_guard lock(f.store.lockA());
        EditCopy& edit = f.store.edit();
        edit.macros = {MakeMacro(u"Burst", 7, test::Taps(3), 2), MakeMacro(u"Hold", 2, test::Taps(1))};
        edit.image.setEntry(0, 0x1E, MakeEntry(AssignmentKind::Key, 0x030));    // A sends B
        edit.image.setEntry(0, 0x10, MakeEntry(AssignmentKind::Macro, 2, 1));   // Q plays Hold (position 1)
        edit.image.setEntry(1, 0x01, MakeEntry(AssignmentKind::Disabled, 0));   // Esc off
        edit.image.setEntry(1, 0x1E, MakeEntry(AssignmentKind::Key, 0x15C));    // A sends Right Win
        edit.image.setEntry(2, 0x3B, MakeEntry(AssignmentKind::Media, 7));      // F1 is Mute
        edit.image.setEntry(2, 0x1E, MakeEntry(AssignmentKind::Macro, 99, 1));  // a macro that is gone
        edit.image.setEntry(2, 0x30, MakeEntry(AssignmentKind::Function, 4));   // B copies
        edit.image.setEntry(2, KeySlot(0x15C), MakeEntry(AssignmentKind::StopMacro, 0));
        edit.image.setEntry(2, 0x10, MakeEntry(AssignmentKind::TextBlock, 0));
        edit.names.Set(EntryIndex(2, 0x10), u"hello");
        ASSERT_TRUE(f.transfer.CopyAndDownload(true)) << f.transfer.lastError();
    }
    f.sim().WaitUntilDelivered();
    const sim::KeyBlock defaults = f.sim().defaultLayout();
    const sim::KeyBlock p0 = f.sim().keyBlock(0), p1 = f.sim().keyBlock(1), p2 = f.sim().keyBlock(2);
    EXPECT_EQ(At(p0, kPosA), (std::array<uint8_t, 3>{2, 2, 0x05}));
    EXPECT_EQ(At(p0, kPosQ), (std::array<uint8_t, 3>{5, 1, 1}));
    EXPECT_EQ(At(p1, kPosEsc), (std::array<uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(At(p1, kPosA), (std::array<uint8_t, 3>{2, 1, 0x80}));
    EXPECT_EQ(At(p2, kPosF1), (std::array<uint8_t, 3>{3, 0xE2, 0}));
    EXPECT_EQ(At(p2, kPosA), (std::array<uint8_t, 3>{5, 1, 0}));
    EXPECT_EQ(At(p2, kPosB), (std::array<uint8_t, 3>{5, 5, 4}));
    EXPECT_EQ(At(p2, kPosRightWin), (std::array<uint8_t, 3>{5, 2, 0}));
    EXPECT_EQ(At(p2, kPosQ), (std::array<uint8_t, 3>{0, 0, 0}));
    // Everything else is the default layout.
    size_t changed = 0;
    for (const auto* block : {&p0, &p1, &p2}) {
        for (size_t pos = 0; pos < 126; ++pos)
            changed += At(*block, pos) != At(defaults, pos);
    }
    EXPECT_EQ(changed, 9u);

    std::lock_guard lock(f.store.lockB());
    const auto blob = *EncodeMacroBlob(f.store.send().macros, true);
    const auto area = f.sim().macroArea();
    ASSERT_GE(area.size(), blob.size());
    EXPECT_TRUE(std::equal(blob.begin(), blob.end(), area.begin()));

    // begin, the blob in pieces, three key blocks of seven pieces, end.
    std::vector<uint8_t> expected = {1};
    expected.insert(expected.end(), (blob.size() + 55) / 56, 10);
    expected.insert(expected.end(), 21, 8);
    expected.push_back(2);
    EXPECT_EQ(CommandCodes(f.sim()), expected);
    EXPECT_EQ(f.sim().violations(), 0)
        << (f.sim().violationReasons().empty() ? "" : f.sim().violationReasons()[0]);
    EXPECT_TRUE(f.prompts.messages.empty());
    // The send copy carries the names' pool; the header counts it.
    EXPECT_EQ(f.store.send().pool.size(), 12u);
    EXPECT_EQ(f.store.send().image.totalSize(), 32832u + 2 * 16512u + 12u);
}

TEST(Download, CurrentProfileOnly) {
    ConfigFixture f;
    auto memory = f.sim().memory();
    memory.settings[settings_field::kActiveProfile] = 2;
    f.sim().SetMemory(memory);
    {
        std::lock_guard lock(f.store.lockA());
        f.store.edit().image.setEntry(2, 0x1E, MakeEntry(AssignmentKind::Disabled, 0));
        f.store.edit().image.setEntry(0, 0x1E, MakeEntry(AssignmentKind::Disabled, 0));
        ASSERT_TRUE(f.transfer.CopyAndDownload(false));
    }
    EXPECT_EQ(At(f.sim().keyBlock(2), kPosA), (std::array<uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(At(f.sim().keyBlock(0), kPosA), At(f.sim().defaultLayout(), kPosA));
    EXPECT_EQ(f.link().state().currentProfile.load(), 2);
}

TEST(Download, NamesAreLeftOutWhenOnlyTheShortFormFits) {
    ConfigFixture f(test::WithMacroUnits(1));  // 128 bytes
    std::lock_guard lock(f.store.lockA());
    // Without names 16 + 2 + 4 + 80 = 102 bytes; the name adds 30.
    f.store.edit().macros = {MakeMacro(u"AFifteenCharNam", 1, test::Taps(20))};
    ASSERT_TRUE(f.transfer.CopyAndDownload(true));
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0], f.texts[TextId::EXTRA_PROFILE_SPACE_TIGHT]);
    const auto area = f.sim().macroArea();
    EXPECT_EQ(ReadLe16(area, 2), 102);
    EXPECT_EQ(ReadLe16(area, 6), 0);
    const auto codes = CommandCodes(f.sim());
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 8), 21);
    EXPECT_EQ(f.sim().violations(), 0);
}

TEST(Download, TooManyMacrosSendNothing) {
    ConfigFixture f(test::WithMacroUnits(1));
    std::lock_guard lock(f.store.lockA());
    f.store.edit().macros = {MakeMacro(u"m", 1, test::Taps(40))};  // 16 + 2 + 4 + 160 bytes
    EXPECT_FALSE(f.transfer.CopyAndDownload(true));
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0], f.texts[TextId::EXTRA_MACRO_TOO_LONG]);
    EXPECT_TRUE(f.sim().commandsSent().empty());
}

TEST(Download, NoKeyboardSendsNothing) {
    ConfigFixture f(test::SimHarness::NoKeyboard());
    std::lock_guard lock(f.store.lockA());
    EXPECT_FALSE(f.transfer.CopyAndDownload(true));
    EXPECT_TRUE(f.sim().commandsSent().empty());
    EXPECT_EQ(f.transfer.CurrentProfile(), -1);
}

// Every key block must arrive: a refused one is a failed download, and the sequence is still closed.
TEST(Download, ARefusedKeyBlockFailsTheDownload) {
    ConfigFixture f;
    f.sim().InjectFault({sim::FaultKind::StatusFF, 3, 0, 8});
    std::lock_guard lock(f.store.lockA());
    EXPECT_FALSE(f.transfer.CopyAndDownload(true));
    const auto codes = CommandCodes(f.sim());
    EXPECT_EQ(codes.back(), 2);
    EXPECT_FALSE(f.sim().inSequence());
    // Profile 0's block was refused: profiles 1 and 2 were not sent after it.
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 8), 3);
}

TEST(Download, PositionsWithoutAKnownKeyAreSentAsTheyAre) {
    ConfigFixture f;
    auto layout = f.sim().defaultLayout();
    layout[3 * 13] = 7;
    layout[3 * 13 + 1] = 7;
    layout[3 * 13 + 2] = 7;
    f.sim().SetDefaultLayout(layout);
    std::array<uint8_t, 378> read{};
    ASSERT_EQ(f.link().ReadDefaultLayout(read), kLinkOk);
    ConfigTransfer transfer(
        f.store, f.link(), [read] { return read; }, f.texts, f.prompts);
    std::lock_guard lock(f.store.lockA());
    ASSERT_TRUE(transfer.CopyAndDownload(true));
    EXPECT_EQ(At(f.sim().keyBlock(1), 13), (std::array<uint8_t, 3>{7, 7, 7}));
}

TEST(CurrentProfile, ReadsTheKeyboardOnceAndCaches) {
    ConfigFixture f;
    auto memory = f.sim().memory();
    memory.settings[settings_field::kActiveProfile] = 1;
    f.sim().SetMemory(memory);
    f.link().state().currentProfile.store(-1);
    f.sim().ClearTraffic();
    EXPECT_EQ(f.transfer.CurrentProfile(), 1);
    EXPECT_EQ(f.transfer.CurrentProfile(), 1);
    EXPECT_EQ(f.sim().commandsSent().size(), 1u);

    memory.settings[settings_field::kActiveProfile] = 5;  // no such profile
    f.sim().SetMemory(memory);
    f.link().state().currentProfile.store(-1);
    EXPECT_EQ(f.transfer.CurrentProfile(), -1);
}

TEST(SetCurrentProfile, WritesByteTenAndCaches) {
    ConfigFixture f;
    const auto before = f.sim().settings();
    ASSERT_TRUE(f.transfer.SetCurrentProfile(2));
    const auto after = f.sim().settings();
    EXPECT_EQ(after[10], 2);
    for (size_t i = 0; i < after.size(); ++i) {
        if (i != 10) {
            EXPECT_EQ(after[i], before[i]) << i;
        }
    }
    EXPECT_EQ(f.link().state().currentProfile.load(), 2);
    const auto codes = CommandCodes(f.sim());
    EXPECT_EQ(codes, (std::vector<uint8_t>{3, 1, 4, 2}));
    EXPECT_EQ(f.sim().violations(), 0);
}

TEST(SetCurrentProfile, WithoutKeyboardLeavesItUnknown) {
    ConfigFixture f(test::SimHarness::NoKeyboard());
    EXPECT_FALSE(f.transfer.SetCurrentProfile(1));
    EXPECT_EQ(f.link().state().currentProfile.load(), -1);
}

TEST(MacroUsedByKeys, AsksWhenAnyEntryOfAnyProfilePlaysIt) {
    struct Case {
        const char* where;
        int block;
        size_t slot;
    };
    // The current profile is 1: entries before its block, and G1 on layer A, were once left out.
    const Case cases[] = {{"a key of an earlier profile", 0, 0x10},
                          {"G1 on layer A of the current profile", 1, kGKeySlotLayerA},
                          {"G1 on layer A of an earlier profile", 0, kGKeySlotLayerA},
                          {"a key of a later profile", 2, 0x1E},
                          {"G9 on layer B", 1, kGKeySlotLayerA + 17}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        ConfigFixture f;
        f.link().state().currentProfile.store(1);
        const MacroRecord m = MakeMacro(u"m", 5, test::Taps(0));
        {
            std::lock_guard lock(f.store.lockA());
            f.store.edit().image.setEntry(c.block, c.slot, MakeEntry(AssignmentKind::Macro, 5, 1));
        }
        f.prompts.answers = {PromptAnswer::No};
        EXPECT_FALSE(f.transfer.MacroUsedByKeys(m));
        f.prompts.answers = {PromptAnswer::Yes};
        EXPECT_TRUE(f.transfer.MacroUsedByKeys(m));
        ASSERT_EQ(f.prompts.messages.size(), 2u);
        EXPECT_EQ(f.prompts.messages[0], f.texts[TextId::MACRO_DELETE_CONFIRM_OF_KEYS]);
    }
}

TEST(MacroUsedByKeys, AsksNothingForAMacroNoKeyPlaysOrOneMadeSinceOpening) {
    ConfigFixture f;
    MacroRecord m = MakeMacro(u"m", 5, test::Taps(0));
    {
        std::lock_guard lock(f.store.lockA());
        f.store.edit().image.setEntry(0, 0x10, MakeEntry(AssignmentKind::Macro, 6, 1));  // another macro
        f.store.edit().image.setEntry(0, 0x11, MakeEntry(AssignmentKind::Key, 5));       // not a macro
    }
    EXPECT_TRUE(f.transfer.MacroUsedByKeys(m));
    {
        std::lock_guard lock(f.store.lockA());
        f.store.edit().image.setEntry(2, 10, MakeEntry(AssignmentKind::Macro, 0x10005, 1));  // low 16 bits
    }
    m.isNew = 1;  // created in this dialog session: nobody can play it yet
    EXPECT_TRUE(f.transfer.MacroUsedByKeys(m));
    EXPECT_TRUE(f.prompts.messages.empty());
    m.isNew = 0;
    EXPECT_FALSE(f.transfer.MacroUsedByKeys(m));  // No is the default answer
    EXPECT_EQ(f.prompts.messages.size(), 1u);
}

}  // namespace
}  // namespace vornak
