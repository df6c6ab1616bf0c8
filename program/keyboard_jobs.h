// The jobs the program runs on the device worker, as plain functions of the DeviceContext: each takes the
// locks it needs on the worker thread and hands back a value for the UI thread, never a reference into the
// store.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "assign/assignment.h"
#include "config/config_store.h"
#include "keyboard/key_buttons.h"
#include "program/device_worker.h"
#include "program/outside_work.h"

namespace vornak {

inline constexpr size_t kGKeySlotCount = 2 * kGKeyCount;  // both layers

// What the key buttons of one profile show: the 104 keys in kKeyButtons order, the G keys by slot - 256.
struct ProfileKeys {
    std::array<AssignmentDescription, kKeyButtons.size()> keys{};
    std::array<AssignmentDescription, kGKeySlotCount> gKeys{};
};

// The key buttons of all three profiles and both layers, so the window can show any of them without the
// store.
struct KeyboardSnapshot {
    std::array<ProfileKeys, kProfileCount> profiles{};
    bool taken = false;  // false: nothing was read yet
};

// The caller holds lock A.
KeyboardSnapshot TakeKeyboardSnapshot(const EditCopy& edit, const LanguageTexts& texts);

struct ApplyOutcome {
    bool sent = false;         // there was something to send
    bool saved = false;        // the working file was rewritten
    bool downloaded = false;   // every command of the download succeeded
    bool allProfiles = false;  // all three profiles were sent, not only the current one
    std::string error;         // why not, when it failed
    bool succeeded() const { return sent && saved && downloaded; }
};
// Apply: under lock A, rewrite the working file and download the edit copy (the current profile, or all
// three).
ApplyOutcome RunApply(DeviceContext& c, bool allProfiles);

struct LoadOutcome {
    bool ok = false;
    bool replaced = false;    // the edit copy was replaced (a fresh load)
    int currentProfile = -1;  // as the keyboard reports it; -1 unknown
    KeyboardSnapshot snapshot;
    std::string error;
};
// The keyboard was attached and read: capture it into the working file and load that.
LoadOutcome RunReloadFromKeyboard(DeviceContext& c);
// Import of a profile file chosen on the UI thread: validate, load, rewrite the working file, download all.
LoadOutcome RunImport(DeviceContext& c, const std::filesystem::path& file);
// vornakctl's apply through the program: RunApplyFile, whose result lands in result, as a load.
LoadOutcome RunApplyFileJob(DeviceContext& c, const std::filesystem::path& file, OutsideResult& result);

struct FileOutcome {
    bool ok = false;
    std::string error;
};
FileOutcome RunExport(DeviceContext& c, const std::filesystem::path& file);

struct ProfileSwitchOutcome {
    bool ok = false;
    int currentProfile = -1;
};
// The profile buttons until scene switching lands: make profile p the keyboard's active one.
ProfileSwitchOutcome RunSetCurrentProfile(DeviceContext& c, int profile);

}  // namespace vornak
