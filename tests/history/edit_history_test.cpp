#include "history/edit_history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "assign/assign_rules.h"
#include "history/key_swap.h"
#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

// Everything the edit copy holds, comparable as a whole.
struct Snapshot {
    std::vector<uint8_t> image;
    std::vector<uint8_t> macros;
    std::vector<std::optional<std::u16string>> names;
    uint64_t nameTotal = 0;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(ConfigStore& store) {
    std::lock_guard lock(store.lockA());
    const EditCopy& e = store.edit();
    Snapshot s;
    s.image.assign(e.image.bytes().begin(), e.image.bytes().end());
    const auto* m = reinterpret_cast<const uint8_t*>(e.macros.data());
    s.macros.assign(m, m + e.macros.size() * sizeof(MacroRecord));
    for (size_t i = 0; i < kEntryCount; ++i)
        s.names.push_back(e.names.name(i));
    s.nameTotal = e.names.total();
    return s;
}

MacroRecord FullMacro(std::u16string_view name, uint16_t id) {
    MacroRecord m = MakeMacro(name, id, test::Taps(kMaxMacroActions));
    m.actions[0].delay = id;  // each record its own bytes
    return m;
}

// A store with entries on every profile, a named entry and three macros.
void Fill(ConfigStore& store, size_t macroCount = 3) {
    std::lock_guard lock(store.lockA());
    EditCopy& e = store.edit();
    for (uint16_t id = 1; id <= macroCount; ++id)
        e.macros.push_back(MakeMacro(u"M" + std::u16string(1, char16_t(u'0' + id % 10)), id, test::Taps(id)));
    e.image.setEntry(0, 0x1E, MakeEntry(AssignmentKind::Key, 0x030));
    e.image.setEntry(0, 0x10, MakeEntry(AssignmentKind::Macro, 2, 4));
    e.image.setEntry(1, 0x11, MakeEntry(AssignmentKind::Macro, 3, 1));
    e.image.setEntry(2, 0x3B, MakeEntry(AssignmentKind::Media, 5));
    e.image.setEntry(0, 0x20, MakeEntry(AssignmentKind::TextBlock, 0));
    e.names.Set(EntryIndex(0, 0x20), u"a text that travels with its key");
}

class History : public ::testing::Test {
  protected:
    void SetUp() override { Fill(store); }

    // One edit as the window makes it: capture, change, commit.
    bool Edit(const std::function<void(EditCopy&)>& change, int currentProfile = 0) {
        auto capture = history.Begin();
        {
            std::lock_guard lock(store.lockA());
            change(store.edit());
        }
        return history.Commit(std::move(capture), u"step", currentProfile);
    }

    ConfigStore store;
    EditHistory history{store};
};

// The kinds of step the program makes, each as the edit it does to the edit copy.
struct StepKind {
    const char* name;
    std::function<void(EditCopy&)> edit;
};

void PrintTo(const StepKind& kind, std::ostream* os) {
    *os << kind.name;
}

class EachKindOfStep : public History, public ::testing::WithParamInterface<StepKind> {};

TEST_P(EachKindOfStep, UndoAndRedoRestoreTheEditCopyByteForByte) {
    const Snapshot before = Take(store);
    ASSERT_TRUE(Edit(GetParam().edit));
    const Snapshot after = Take(store);
    ASSERT_NE(before, after);
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(history.Undo(0));
        EXPECT_EQ(Take(store), before);
        ASSERT_TRUE(history.Redo(0));
        EXPECT_EQ(Take(store), after);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, EachKindOfStep,
    ::testing::Values(
        // The key dialog's OK: a new macro, one changed, one deleted with its key reset on another profile.
        StepKind{"KeyDialog",
                 [](EditCopy& e) {
                     e.macros[0].cycles = 9;
                     e.macros.erase(e.macros.begin() + 2);
                     e.image.setEntry(1, 0x11, MakeEntry(AssignmentKind::Default, 0));
                     e.macros.push_back(MakeMacro(u"New", 3, test::Taps(5)));
                     e.image.setEntry(0, 0x1E, MakeEntry(AssignmentKind::Macro, 3, 2));
                 }},
        StepKind{"RestoreDefaults",
                 [](EditCopy& e) {
                     for (int slot = 0; slot < 256; ++slot)
                         StoreEntry(e, 0, slot, ConfigEntry{});
                 }},
        StepKind{"Swap",
                 [](EditCopy& e) { ASSERT_EQ(SwapAssignments(e, 0, 0x20, 0x1E), AssignRefusal::None); }},
        StepKind{"Copy",
                 [](EditCopy& e) { ASSERT_EQ(CopyAssignment(e, 0, 0x20, 0x30), AssignRefusal::None); }},
        StepKind{"MacrosReordered", [](EditCopy& e) { std::swap(e.macros.front(), e.macros.back()); }},
        StepKind{"AllMacrosGone", [](EditCopy& e) { e.macros.clear(); }},
        StepKind{"HeaderRewritten", [](EditCopy& e) { ASSERT_TRUE(e.image.RewriteHeader(3, 66, 0)); }},
        StepKind{"NameOnly", [](EditCopy& e) { e.names.Set(EntryIndex(0, 0x20), u"another text"); }}),
    [](const auto& info) { return info.param.name; });

TEST_F(History, AnEditAfterUndoDropsTheRedoStepsButAnEditThatChangesNothingDoesNot) {
    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(0, 0x02, MakeEntry(AssignmentKind::Function, 1)); }));
    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(0, 0x03, MakeEntry(AssignmentKind::Function, 2)); }));
    ASSERT_TRUE(history.Undo(0));
    EXPECT_EQ(history.redoCount(), 1u);

    EXPECT_FALSE(Edit([](EditCopy&) {}));
    EXPECT_EQ(history.redoCount(), 1u);

    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(0, 0x04, MakeEntry(AssignmentKind::Function, 3)); }));
    EXPECT_EQ(history.redoCount(), 0u);
    EXPECT_FALSE(history.Redo(0));
    EXPECT_EQ(history.undoCount(), 2u);
    EXPECT_EQ(store.edit().image.entry(0, 0x03).kind, 0);
}

TEST_F(History, AStepKeepsOnlyWhatChanged) {
    {
        std::lock_guard lock(store.lockA());
        store.edit().macros.clear();
        for (uint16_t id = 1; id <= kMaxMacros; ++id)
            store.edit().macros.push_back(FullMacro(u"Full", id));
    }
    // One key: one entry, no record.
    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(0, 0x02, MakeEntry(AssignmentKind::Media, 1)); }));
    StepSummary s = history.UndoStep()->Summary();
    EXPECT_EQ(s.entries, 1u);
    EXPECT_FALSE(history.UndoStep()->macros.has_value());
    EXPECT_LT(history.bytes(), 4096u);

    // One macro changed of a hundred: its two versions, not the list.
    ASSERT_TRUE(Edit([](EditCopy& e) { e.macros[50].cycles = 7; }));
    s = history.UndoStep()->Summary();
    EXPECT_EQ(s.macrosChanged, 1u);
    EXPECT_EQ(s.macrosAdded + s.macrosRemoved, 0u);
    EXPECT_EQ(history.UndoStep()->macros->removed.size() + history.UndoStep()->macros->added.size(), 2u);

    // The first of a hundred removed: the others move up but are not stored; undo puts it back first.
    const Snapshot full = Take(store);
    ASSERT_TRUE(Edit([](EditCopy& e) { e.macros.erase(e.macros.begin()); }));
    s = history.UndoStep()->Summary();
    EXPECT_EQ(s.macrosRemoved, 1u);
    EXPECT_EQ(history.UndoStep()->macros->removed.size(), 1u);
    EXPECT_TRUE(history.UndoStep()->macros->added.empty());
    ASSERT_TRUE(history.Undo(0));
    EXPECT_EQ(Take(store), full);
}

TEST_F(History, RecordsWithTheSameIdAreToldApartByTheirBytes) {
    // A file may hold two records with one id; undo must bring back each where it was.
    {
        std::lock_guard lock(store.lockA());
        store.edit().macros = {MakeMacro(u"One", 4, test::Taps(1)), MakeMacro(u"Two", 4, test::Taps(2)),
                               MakeMacro(u"One", 4, test::Taps(1))};
    }
    const Snapshot before = Take(store);
    ASSERT_TRUE(Edit([](EditCopy& e) { e.macros.erase(e.macros.begin() + 1); }));
    EXPECT_FALSE(Edit([](EditCopy& e) { std::swap(e.macros[0], e.macros[1]); }));  // identical records
    ASSERT_TRUE(history.Undo(0));
    EXPECT_EQ(Take(store), before);
}

TEST_F(History, TheStepBoundDropsTheOldestSteps) {
    EditHistory small(store, HistoryLimits{5, 16u << 20});
    const Snapshot start = Take(store);
    for (uint32_t n = 0; n < 7; ++n) {
        auto capture = small.Begin();
        store.edit().image.setEntry(0, 0x02, MakeEntry(AssignmentKind::Media, n));
        ASSERT_TRUE(small.Commit(std::move(capture), u"media " + std::u16string(1, char16_t(u'0' + n)), 0));
    }
    EXPECT_EQ(small.undoCount(), 5u);
    EXPECT_EQ(small.UndoDescription(), u"media 6");
    while (small.Undo(0)) {
    }
    // The two oldest are gone: the key keeps what the second step gave it.
    EXPECT_EQ(store.edit().image.entry(0, 0x02).value, 1u);
    EXPECT_NE(Take(store), start);

    // At the full bound of a hundred.
    for (uint32_t n = 0; n < 150; ++n)
        ASSERT_TRUE(
            Edit([n](EditCopy& e) { e.image.setEntry(0, 0x05, MakeEntry(AssignmentKind::Media, n % 18)); }));
    EXPECT_EQ(history.undoCount(), 100u);
}

TEST_F(History, TheMemoryBoundWithAHundredMacrosKeepsTheNewestStep) {
    auto replaceAll = [](uint16_t generation) {
        return [generation](EditCopy& e) {
            e.macros.clear();
            for (uint16_t id = 1; id <= kMaxMacros; ++id)
                e.macros.push_back(FullMacro(u"Gen" + std::u16string(1, char16_t(u'A' + generation)), id));
        };
    };
    ASSERT_TRUE(Edit(replaceAll(0)));
    for (uint16_t g = 1; g <= 8; ++g)
        ASSERT_TRUE(Edit(replaceAll(g)));
    // Each step holds the hundred records it removed and the hundred it added: about 3.3 MB.
    const size_t stepBytes = history.UndoStep()->bytes;
    EXPECT_GT(stepBytes, 2 * kMaxMacros * sizeof(MacroRecord));
    EXPECT_LT(stepBytes, 2 * kMaxMacros * sizeof(MacroRecord) + 64 * 1024);
    EXPECT_LE(history.bytes(), history.limits().maxBytes);
    EXPECT_EQ(history.undoCount(), history.limits().maxBytes / stepBytes);
    const Snapshot newest = Take(store);
    while (history.Undo(0)) {
    }
    ASSERT_TRUE(history.Redo(0));
    while (history.Redo(0)) {
    }
    EXPECT_EQ(Take(store), newest);

    // A step larger than the bound on its own is still kept: the newest always is.
    EditHistory tight(store, HistoryLimits{100, 1u << 20});
    auto capture = tight.Begin();
    replaceAll(12)(store.edit());
    ASSERT_TRUE(tight.Commit(std::move(capture), u"all", 0));
    EXPECT_EQ(tight.undoCount(), 1u);
    EXPECT_GT(tight.bytes(), tight.limits().maxBytes);
    EXPECT_TRUE(tight.Undo(0));
    EXPECT_EQ(Take(store), newest);
}

TEST_F(History, OtherProfilesOrMacrosMakeTheNextApplySendAllThree) {
    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(1, 0x02, MakeEntry(AssignmentKind::Media, 1)); }, 1));
    EXPECT_FALSE(history.SendAllProfiles());  // profile 1 is the current one

    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(2, 0x02, MakeEntry(AssignmentKind::Media, 1)); }, 1));
    EXPECT_TRUE(history.SendAllProfiles());
    history.Applied(false);  // a current-profile Apply leaves the others stale
    EXPECT_TRUE(history.SendAllProfiles());
    history.Applied(true);
    EXPECT_FALSE(history.SendAllProfiles());

    // Undo after Apply changes profile 2 again.
    ASSERT_TRUE(history.Undo(1));
    EXPECT_TRUE(history.SendAllProfiles());
    history.Applied(true);
    ASSERT_TRUE(history.Redo(1));
    EXPECT_TRUE(history.SendAllProfiles());
    history.Applied(true);

    // Block 3 never reaches the keyboard.
    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(3, 0x02, MakeEntry(AssignmentKind::Media, 1)); }, 1));
    EXPECT_FALSE(history.SendAllProfiles());

    // The macro list: positions the keys of every profile are sent as.
    ASSERT_TRUE(Edit([](EditCopy& e) { e.macros[0].cycles = 3; }, 1));
    EXPECT_TRUE(history.SendAllProfiles());
    history.Applied(true);

    // No known current profile: any change of a profile is sent with all.
    ASSERT_TRUE(
        Edit([](EditCopy& e) { e.image.setEntry(1, 0x03, MakeEntry(AssignmentKind::Media, 2)); }, -1));
    EXPECT_TRUE(history.SendAllProfiles());
}

TEST_F(History, FreshLoadsStartANewHistory) {
    const std::vector<std::pair<const char*, std::function<void()>>> loads = {
        {"ReplaceEdit", [this] { store.ReplaceEdit(EditCopy{}); }},
        {"EmptyEdit", [this] { store.EmptyEdit(); }},
        {"ReplaceEditImage", [this] { store.ReplaceEditImage(ConfigImage::Default()); }},
    };
    for (const auto& [name, load] : loads) {
        SCOPED_TRACE(name);
        Fill(store);
        ASSERT_TRUE(Edit([](EditCopy& e) { e.macros.pop_back(); }));
        ASSERT_TRUE(
            Edit([](EditCopy& e) { e.image.setEntry(0, 0x02, MakeEntry(AssignmentKind::Media, 1)); }));
        ASSERT_TRUE(history.Undo(0));
        ASSERT_TRUE(history.SendAllProfiles());
        load();
        const Snapshot loaded = Take(store);
        EXPECT_FALSE(history.CanUndo());
        EXPECT_FALSE(history.CanRedo());
        EXPECT_FALSE(history.Undo(0));
        EXPECT_FALSE(history.Redo(0));
        EXPECT_FALSE(history.SendAllProfiles());
        EXPECT_EQ(history.bytes(), 0u);
        EXPECT_EQ(Take(store), loaded);
    }

    // An edit that began before a load is no step of the new history.
    auto capture = history.Begin();
    store.ReplaceEdit(EditCopy{});
    store.edit().image.setEntry(0, 0x02, MakeEntry(AssignmentKind::Media, 1));
    EXPECT_FALSE(history.Commit(std::move(capture), u"stale", 0));
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(History, AMacroListChangedBehindItsBackClearsTheHistoryInsteadOfCorruptingIt) {
    ASSERT_TRUE(Edit([](EditCopy& e) { e.macros.erase(e.macros.begin()); }));
    {
        std::lock_guard lock(store.lockA());
        store.edit().macros.clear();  // not recorded
    }
    const Snapshot now = Take(store);
    EXPECT_FALSE(history.Undo(0));
    EXPECT_EQ(Take(store), now);
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(History, ThePoolOffsetsAnApplyWritesDoNotStopUndo) {
    // Laying the names into the pool rewrites the named entries' values and the header of the edit copy.
    ASSERT_TRUE(Edit([](EditCopy& e) { ASSERT_EQ(SwapAssignments(e, 0, 0x20, 0x02), AssignRefusal::None); }));
    {
        std::lock_guard lock(store.lockA());
        EditCopy& e = store.edit();
        e.names.Set(EntryIndex(0, 0x01), u"x");
        e.image.setEntry(0, 0x01, MakeEntry(AssignmentKind::LaunchProgram, 0));
        LayOutNamePool(e.image, e.names);
        ASSERT_TRUE(e.image.RewriteHeader(e.macros.size(), e.names.total(), 0));
    }
    ASSERT_TRUE(history.Undo(0));
    const EditCopy& e = store.edit();
    EXPECT_EQ(e.image.entry(0, 0x20).kind, static_cast<uint16_t>(AssignmentKind::TextBlock));
    EXPECT_EQ(e.names.name(EntryIndex(0, 0x20)), u"a text that travels with its key");
    EXPECT_FALSE(e.names.name(EntryIndex(0, 0x02)).has_value());
}

}  // namespace
}  // namespace vornak
