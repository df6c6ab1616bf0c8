#include "program/keyboard_jobs.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <vector>

#include "device/device_link.h"
#include "profile/profile_files.h"
#include "transfer/config_transfer.h"

namespace vornak {

KeyboardSnapshot TakeKeyboardSnapshot(const EditCopy& edit, const LanguageTexts& texts) {
    KeyboardSnapshot s;
    for (int p = 0; p < kProfileCount; ++p) {
        ProfileKeys& keys = s.profiles[static_cast<size_t>(p)];
        for (size_t i = 0; i < kKeyButtons.size(); ++i) {
            const int slot = KeySlot(kKeyButtons[i].code);
            keys.keys[i] = DescribeAssignment(slot, edit.image.entry(p, slot), edit.macros, texts);
        }
        for (size_t i = 0; i < kGKeySlotCount; ++i) {
            const int slot = kGKeySlotLayerA + static_cast<int>(i);
            keys.gKeys[i] = DescribeAssignment(slot, edit.image.entry(p, slot), edit.macros, texts);
        }
    }
    s.taken = true;
    return s;
}

ApplyOutcome RunApply(DeviceContext& c, bool allProfiles) {
    ApplyOutcome out;
    out.sent = true;
    out.allProfiles = allProfiles;
    std::lock_guard lock(c.store.lockA());
    out.saved = c.files.SaveWorkingProfile(false);
    out.downloaded = c.transfer.CopyAndDownload(allProfiles);
    if (!out.downloaded) {
        out.error = c.transfer.lastError();
    } else if (!out.saved) {
        out.error = c.files.lastError().empty() ? "the working profile file could not be rewritten"
                                                : c.files.lastError();
    }
    return out;
}

LoadOutcome RunReloadFromKeyboard(DeviceContext& c) {
    LoadOutcome out;
    out.ok = c.files.ReloadFromKeyboard(false);
    out.replaced = true;
    out.error = c.files.lastError();
    out.currentProfile = c.transfer.CurrentProfile();
    std::lock_guard lock(c.store.lockA());
    out.snapshot = TakeKeyboardSnapshot(c.store.edit(), c.texts);
    return out;
}

namespace {

// A load that may or may not have reached the edit copy: the snapshot is taken in any case, and "replaced"
// says whether the edit copy changed.
LoadOutcome RunLoad(DeviceContext& c, const std::function<bool()>& load) {
    LoadOutcome out;
    std::vector<uint8_t> before;
    size_t macrosBefore = 0;
    {
        std::lock_guard lock(c.store.lockA());
        const auto bytes = c.store.edit().image.bytes();
        before.assign(bytes.begin(), bytes.end());
        macrosBefore = c.store.edit().macros.size();
    }
    out.ok = load();
    out.currentProfile = c.link.state().currentProfile.load();
    std::lock_guard lock(c.store.lockA());
    const auto after = c.store.edit().image.bytes();
    out.replaced = out.ok || macrosBefore != c.store.edit().macros.size() ||
                   !std::equal(before.begin(), before.end(), after.begin(), after.end());
    out.snapshot = TakeKeyboardSnapshot(c.store.edit(), c.texts);
    return out;
}

}  // namespace

LoadOutcome RunImport(DeviceContext& c, const std::filesystem::path& file) {
    LoadOutcome out = RunLoad(c, [&] { return c.files.ImportFrom(file); });
    out.error = c.files.lastError();
    return out;
}

LoadOutcome RunApplyFileJob(DeviceContext& c, const std::filesystem::path& file, OutsideResult& result) {
    LoadOutcome out = RunLoad(c, [&] {
        result = RunApplyFile(c, file);
        return result.ok();
    });
    out.error = result.message;
    return out;
}

FileOutcome RunExport(DeviceContext& c, const std::filesystem::path& file) {
    FileOutcome out;
    out.ok = c.files.ExportTo(file);
    out.error = c.files.lastError();
    return out;
}

ProfileSwitchOutcome RunSetCurrentProfile(DeviceContext& c, int profile) {
    ProfileSwitchOutcome out;
    out.ok = c.transfer.SetCurrentProfile(profile);
    out.currentProfile = c.link.state().currentProfile.load();
    return out;
}

}  // namespace vornak
