#include "history/edit_history.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <unordered_map>

namespace vornak {

namespace {

uint64_t Mix(uint64_t h, uint64_t word) {
    h ^= word + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h * 0xFF51AFD7ED558CCDull;
}

uint64_t RecordFingerprint(const MacroRecord& record) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    uint64_t h = 0xCBF29CE484222325ull;
    for (size_t at = 0; at < sizeof(MacroRecord); at += sizeof(uint64_t)) {
        uint64_t word;
        std::memcpy(&word, bytes + at, sizeof word);
        h = Mix(h, word);
    }
    return h;
}
static_assert(sizeof(MacroRecord) % sizeof(uint64_t) == 0);

bool SameRecord(const MacroRecord& a, const MacroRecord& b) {
    return std::memcmp(&a, &b, sizeof(MacroRecord)) == 0;
}

bool SameList(const std::vector<MacroRecord>& a, const std::vector<MacroRecord>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!SameRecord(a[i], b[i])) return false;
    return true;
}

size_t NameBytes(const std::optional<std::u16string>& name) {
    return name ? (name->capacity() + 1) * sizeof(char16_t) : 0;
}

// Records are matched by their bytes, not their ids: a list read from a file may repeat an id, and a record
// kept by the edit must come back exactly as it was.
MacroListChange DiffMacroLists(const std::vector<MacroRecord>& before,
                               const std::vector<MacroRecord>& after) {
    MacroListChange change;
    change.before.resize(before.size());
    change.after.resize(after.size());
    std::unordered_multimap<uint64_t, uint16_t> unmatched;
    std::vector<uint64_t> beforePrints(before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        beforePrints[i] = RecordFingerprint(before[i]);
        unmatched.emplace(beforePrints[i], static_cast<uint16_t>(i));
    }
    std::vector<bool> kept(before.size(), false);
    uint64_t afterPrint = 0;
    for (size_t j = 0; j < after.size(); ++j) {
        const uint64_t print = RecordFingerprint(after[j]);
        afterPrint = Mix(afterPrint, print);
        bool found = false;
        const auto [first, last] = unmatched.equal_range(print);
        for (auto it = first; it != last; ++it) {
            if (!SameRecord(before[it->second], after[j])) continue;
            change.after[j] = {false, it->second};
            change.before[it->second] = {false, static_cast<uint16_t>(j)};
            kept[it->second] = true;
            unmatched.erase(it);
            found = true;
            break;
        }
        if (!found) {
            change.after[j] = {true, static_cast<uint16_t>(change.added.size())};
            change.added.push_back(after[j]);
        }
    }
    uint64_t beforePrint = 0;
    for (size_t i = 0; i < before.size(); ++i) {
        beforePrint = Mix(beforePrint, beforePrints[i]);
        if (kept[i]) continue;
        change.before[i] = {true, static_cast<uint16_t>(change.removed.size())};
        change.removed.push_back(before[i]);
    }
    change.beforeFingerprint = Mix(beforePrint, before.size());
    change.afterFingerprint = Mix(afterPrint, after.size());
    change.removed.shrink_to_fit();
    change.added.shrink_to_fit();
    return change;
}

std::vector<MacroRecord> RebuildList(const std::vector<MacroRef>& refs, const std::vector<MacroRecord>& own,
                                     const std::vector<MacroRecord>& other) {
    std::vector<MacroRecord> list;
    list.reserve(refs.size());
    for (const MacroRef& ref : refs)
        list.push_back(ref.own ? own[ref.index] : other[ref.index]);
    return list;
}

bool RefsFit(const std::vector<MacroRef>& refs, size_t own, size_t other) {
    return std::all_of(refs.begin(), refs.end(),
                       [&](const MacroRef& r) { return r.index < (r.own ? own : other); });
}

size_t StepBytes(const HistoryStep& step) {
    size_t bytes = sizeof(HistoryStep) + step.description.capacity() * sizeof(char16_t);
    bytes += step.entries.capacity() * sizeof(EntryChange);
    for (const EntryChange& e : step.entries)
        bytes += NameBytes(e.nameBefore) + NameBytes(e.nameAfter);
    if (step.macros) {
        const MacroListChange& m = *step.macros;
        bytes += (m.before.capacity() + m.after.capacity()) * sizeof(MacroRef);
        bytes += (m.removed.capacity() + m.added.capacity()) * sizeof(MacroRecord);
    }
    return bytes;
}

}  // namespace

uint64_t MacroListFingerprint(std::span<const MacroRecord> list) {
    uint64_t h = 0;
    for (const MacroRecord& record : list)
        h = Mix(h, RecordFingerprint(record));
    return Mix(h, list.size());
}

StepSummary HistoryStep::Summary() const {
    StepSummary s;
    s.entries = entries.size();
    s.header = headBefore.has_value();
    if (!macros) return s;
    std::set<uint16_t> removedIds, addedIds;
    for (const MacroRecord& m : macros->removed)
        removedIds.insert(m.id);
    for (const MacroRecord& m : macros->added)
        addedIds.insert(m.id);
    for (uint16_t id : addedIds)
        (removedIds.count(id) != 0 ? s.macrosChanged : s.macrosAdded) += 1;
    for (uint16_t id : removedIds)
        if (addedIds.count(id) == 0) ++s.macrosRemoved;
    return s;
}

EditHistory::Capture::~Capture() = default;

EditHistory::EditHistory(ConfigStore& store, HistoryLimits limits)
    : store_(store), limits_(limits), load_(store.editLoads()) {}

EditHistory::Capture EditHistory::Begin() {
    std::lock_guard lock(store_.lockA());
    Capture capture;
    capture.copy_ = std::make_unique<EditCopy>(store_.edit());
    capture.load_ = store_.editLoads();
    return capture;
}

bool EditHistory::Commit(Capture capture, std::u16string description, int currentProfile) {
    std::lock_guard lock(store_.lockA());
    FollowLoads();
    if (!capture.copy_ || capture.load_ != load_) return false;  // the copy was loaded afresh meanwhile
    const EditCopy& before = *capture.copy_;
    const EditCopy& after = store_.edit();

    HistoryStep step;
    step.description = std::move(description);
    const auto oldBytes = before.image.bytes();
    const auto newBytes = after.image.bytes();
    if (!std::equal(oldBytes.begin(), oldBytes.begin() + kEntriesOffset, newBytes.begin())) {
        step.headBefore.emplace();
        step.headAfter.emplace();
        std::copy_n(oldBytes.begin(), kEntriesOffset, step.headBefore->begin());
        std::copy_n(newBytes.begin(), kEntriesOffset, step.headAfter->begin());
    }
    for (size_t i = 0; i < kEntryCount; ++i) {
        const ConfigEntry was = before.image.entry(i);
        const ConfigEntry is = after.image.entry(i);
        if (was == is && before.names.name(i) == after.names.name(i)) continue;
        step.entries.push_back(
            {static_cast<uint16_t>(i), was, is, before.names.name(i), after.names.name(i)});
        step.blocks |= static_cast<uint8_t>(1u << (i / kEntriesPerBlock));
    }
    step.entries.shrink_to_fit();
    if (!SameList(before.macros, after.macros)) step.macros = DiffMacroLists(before.macros, after.macros);
    capture.copy_.reset();
    if (step.entries.empty() && !step.headBefore && !step.macros) return false;

    step.bytes = StepBytes(step);
    NoteSend(step, currentProfile);
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    bytes_ += step.bytes;
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    while (steps_.size() > limits_.maxSteps || (bytes_ > limits_.maxBytes && steps_.size() > 1))
        DropOldest();
    return true;
}

void EditHistory::DropOldest() {
    bytes_ -= steps_.front().bytes;
    steps_.pop_front();
    if (done_ > 0) --done_;
}

void EditHistory::FollowLoads() {
    const uint64_t loads = store_.editLoads();
    if (loads == load_) return;
    Clear();
    load_ = loads;
}

void EditHistory::Clear() {
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
    sendAll_ = false;
}

void EditHistory::NoteSend(const HistoryStep& step, int currentProfile) {
    constexpr uint8_t kSentBlocks = (1u << kProfileCount) - 1;  // block 3 never reaches the keyboard
    const uint8_t current = currentProfile >= 0 && currentProfile < kProfileCount ? 1u << currentProfile : 0;
    if (step.macros || (step.blocks & kSentBlocks & ~current) != 0) sendAll_ = true;
}

bool EditHistory::CanUndo() {
    FollowLoads();
    return done_ > 0;
}

bool EditHistory::CanRedo() {
    FollowLoads();
    return done_ < steps_.size();
}

std::u16string EditHistory::UndoDescription() {
    return CanUndo() ? steps_[done_ - 1].description : std::u16string();
}

std::u16string EditHistory::RedoDescription() {
    return CanRedo() ? steps_[done_].description : std::u16string();
}

const HistoryStep* EditHistory::UndoStep() {
    return CanUndo() ? &steps_[done_ - 1] : nullptr;
}

bool EditHistory::Undo(int currentProfile) {
    std::lock_guard lock(store_.lockA());
    if (!CanUndo()) return false;
    const HistoryStep& step = steps_[done_ - 1];
    if (step.macros) {
        const MacroListChange& m = *step.macros;
        const auto& list = store_.edit().macros;
        if (MacroListFingerprint(list) != m.afterFingerprint ||
            !RefsFit(m.before, m.removed.size(), list.size())) {
            Clear();  // changed behind the history's back: its steps would no longer fit
            return false;
        }
    }
    Restore(step, true);
    NoteSend(step, currentProfile);
    --done_;
    return true;
}

bool EditHistory::Redo(int currentProfile) {
    std::lock_guard lock(store_.lockA());
    if (!CanRedo()) return false;
    const HistoryStep& step = steps_[done_];
    if (step.macros) {
        const MacroListChange& m = *step.macros;
        const auto& list = store_.edit().macros;
        if (MacroListFingerprint(list) != m.beforeFingerprint ||
            !RefsFit(m.after, m.added.size(), list.size())) {
            Clear();
            return false;
        }
    }
    Restore(step, false);
    NoteSend(step, currentProfile);
    ++done_;
    return true;
}

void EditHistory::Restore(const HistoryStep& step, bool undo) {
    EditCopy& edit = store_.edit();
    for (const EntryChange& change : step.entries) {
        edit.image.setEntry(change.index, undo ? change.before : change.after);
        const auto& name = undo ? change.nameBefore : change.nameAfter;
        if (name)
            edit.names.Set(change.index, *name);
        else
            edit.names.Clear(change.index);
    }
    if (const auto& head = undo ? step.headBefore : step.headAfter) {
        std::copy(head->begin(), head->end(), edit.image.bytes().begin());
    }
    if (step.macros) {
        const MacroListChange& m = *step.macros;
        edit.macros =
            undo ? RebuildList(m.before, m.removed, edit.macros) : RebuildList(m.after, m.added, edit.macros);
    }
}

bool EditHistory::SendAllProfiles() {
    FollowLoads();
    return sendAll_;
}

void EditHistory::Applied(bool allProfiles) {
    if (allProfiles) sendAll_ = false;
}

size_t EditHistory::undoCount() {
    FollowLoads();
    return done_;
}

size_t EditHistory::redoCount() {
    FollowLoads();
    return steps_.size() - done_;
}

size_t EditHistory::bytes() {
    FollowLoads();
    return bytes_;
}

}  // namespace vornak
