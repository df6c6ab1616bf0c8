// Downloading the configuration to the keyboard, and the active on-board profile.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "assign/assignment.h"
#include "config/config_store.h"
#include "device/device_link.h"
#include "texts/language_texts.h"
#include "texts/prompts.h"

namespace vornak {

// The keyboard's default layout as last read from it (command 15).
using DefaultLayoutSource = std::function<KeyBlockBytes()>;

class ConfigTransfer {
  public:
    ConfigTransfer(ConfigStore& store, DeviceLink& link, DefaultLayoutSource defaultLayout,
                   const LanguageTexts& texts, Prompts& prompts);

    // Copies the edit copy to the send copy (names laid into its pool) and downloads it. The caller holds
    // lock A.
    bool CopyAndDownload(bool allProfiles);
    // Downloads the send copy: the macro blob (with names when they fit, else without and a message), then
    // the key block of every profile sent, as one begin / write / end sequence. True when every key block
    // write succeeded and the keyboard holds what was sent: should begin, the macro write or end fail, the
    // macro area and the key blocks are read back and compared.
    bool DownloadConfiguration(bool allProfiles);

    // The cached on-board profile, else the keyboard's (settings byte 10); -1 when unknown or unreadable.
    int CurrentProfile();
    // Settings read, byte 10 changed, settings written; should begin or end fail, the profile read back
    // decides. The cache follows (-1 on failure).
    bool SetCurrentProfile(int profile);

    // Whether a macro may be deleted: true at once for a macro the key dialog created; otherwise, when any
    // entry of the edit copy still plays it, the user is asked.
    bool MacroUsedByKeys(const MacroRecord& macro);

    // The keyboard's default layout as last read.
    KeyBlockBytes DefaultLayout() const { return defaultLayout_ ? defaultLayout_() : KeyBlockBytes{}; }

    // The key block of a profile as the send copy's entries make it (under lock B).
    KeyBlockBytes BuildKeyBlock(int profile);

    // How the last download went, for messages and the command line ("" when it succeeded).
    const std::string& lastError() const { return lastError_; }

  private:
    // Reads back the macro area and the key blocks just sent: "" when the keyboard holds them, else which
    // part it did not take.
    std::string VerifyDownload(std::span<const uint8_t> blob, const std::vector<int>& profiles,
                               const std::vector<KeyBlockBytes>& blocks);

    ConfigStore& store_;
    DeviceLink& link_;
    DefaultLayoutSource defaultLayout_;
    const LanguageTexts& texts_;
    Prompts& prompts_;
    std::string lastError_;
};

}  // namespace vornak
