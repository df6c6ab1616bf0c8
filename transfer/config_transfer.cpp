#include "transfer/config_transfer.h"

#include <algorithm>

#include "keyboard/key_table.h"
#include "macro/macro_blob.h"

namespace vornak {

ConfigTransfer::ConfigTransfer(ConfigStore& store, DeviceLink& link, DefaultLayoutSource defaultLayout,
                               const LanguageTexts& texts, Prompts& prompts)
    : store_(store),
      link_(link),
      defaultLayout_(std::move(defaultLayout)),
      texts_(texts),
      prompts_(prompts) {}

bool ConfigTransfer::CopyAndDownload(bool allProfiles) {
    {
        std::scoped_lock locks(store_.lockA(), store_.lockB());
        EditCopy& edit = store_.edit();
        SendCopy& send = store_.send();
        send.pool = LayOutNamePool(edit.image, edit.names);
        send.image = edit.image;
        send.macros = edit.macros;
        if (!send.image.RewriteHeader(send.macros.size(), send.pool.size(), 0)) {
            lastError_ = "the configuration is too large";
            return false;
        }
    }
    return DownloadConfiguration(allProfiles);
}

KeyBlockBytes ConfigTransfer::BuildKeyBlock(int profile) {
    const KeyBlockBytes defaults = DefaultLayout();
    KeyBlockBytes block = defaults;
    std::lock_guard lockB(store_.lockB());
    const SendCopy& send = store_.send();
    const MacroPositionLookup positionOfId = [this](uint32_t id) {
        std::lock_guard lockA(store_.lockA());
        return MacroPositionOfId(store_.edit().macros, id);
    };
    for (size_t position = 0; position < kKeyBlockSize / 3; ++position) {
        const HardwareKeyCode def = {defaults[3 * position], defaults[3 * position + 1],
                                     defaults[3 * position + 2]};
        const KeyCode key = HardwareCodeToKeyCode(def);
        if (key == 0) continue;  // positions that map to no known key are sent unchanged
        const ConfigEntry entry = send.image.entry(profile, KeySlot(key));
        const HardwareKeyCode code = EntryHardwareCode(entry, def, positionOfId);
        for (size_t k = 0; k < 3; ++k)
            block[3 * position + k] = code[k];
    }
    return block;
}

bool ConfigTransfer::DownloadConfiguration(bool allProfiles) {
    lastError_.clear();
    MacroBlobSizes sizes;
    std::optional<std::vector<uint8_t>> blob;
    const uint32_t capacity = link_.state().macroCapacity.load();
    bool withNames = false;
    {
        std::lock_guard lockB(store_.lockB());
        sizes = ComputeMacroBlobSizes(store_.send().macros);
        if (capacity < sizes.withoutNames) {
            lastError_ = "the macros need " + std::to_string(sizes.withoutNames) +
                         " bytes, the keyboard has " + std::to_string(capacity);
            prompts_.Inform(texts_[TextId::EXTRA_MACRO_TOO_LONG]);
            return false;
        }
        withNames = sizes.withNames <= capacity;
        blob = EncodeMacroBlob(store_.send().macros, withNames);
    }
    if (!blob) {
        lastError_ = "the macros do not fit a macro table";
        prompts_.Inform(texts_[TextId::EXTRA_MACRO_TOO_LONG]);
        return false;
    }

    std::vector<int> profiles;
    if (allProfiles) {
        profiles = {0, 1, 2};
    } else {
        const int p = CurrentProfile();
        if (p < 0) {
            lastError_ = "the keyboard's active profile is unknown";
            return false;
        }
        profiles = {p};
    }
    std::vector<KeyBlockBytes> blocks;
    for (int p : profiles)
        blocks.push_back(BuildKeyBlock(p));

    // The answers to begin, the macro write and end are doubtful: firmware busy with its flash may answer
    // them late or busy and still take the data. A key block write, though, must succeed; after a failed one
    // the rest is not sent, but the open sequence is still closed.
    const int begin = link_.BeginSequence();
    const int macros = link_.WriteMacroArea(*blob);
    int keys = kLinkOk;
    int failedProfile = -1;
    for (size_t i = 0; i < blocks.size() && keys == kLinkOk; ++i) {
        keys = link_.WriteKeyBlock(profiles[i], blocks[i]);
        if (keys != kLinkOk) failedProfile = profiles[i];
    }
    const int end = link_.EndSequence();
    if (!withNames && begin != kLinkNoDevice) prompts_.Inform(texts_[TextId::EXTRA_PROFILE_SPACE_TIGHT]);

    if (keys != kLinkOk) {
        lastError_ = "the keyboard did not take the key block of profile " +
                     std::to_string(failedProfile + 1) + " (error " + std::to_string(keys) + ")";
        return false;
    }
    if (begin == kLinkOk && macros == kLinkOk && end == kLinkOk) return true;
    // What the keyboard holds decides.
    lastError_ = VerifyDownload(*blob, profiles, blocks);
    return lastError_.empty();
}

std::string ConfigTransfer::VerifyDownload(std::span<const uint8_t> blob, const std::vector<int>& profiles,
                                           const std::vector<KeyBlockBytes>& blocks) {
    std::vector<uint8_t> macroArea(blob.size());
    int result = link_.ReadMacroArea(macroArea);
    if (result != kLinkOk)
        return "the macros could not be read back to check them (error " + std::to_string(result) + ")";
    if (!std::equal(macroArea.begin(), macroArea.end(), blob.begin()))
        return "the keyboard did not take the macros";
    for (size_t i = 0; i < profiles.size(); ++i) {
        KeyBlockBytes back{};
        const std::string which = "the key block of profile " + std::to_string(profiles[i] + 1);
        result = link_.ReadKeyBlock(profiles[i], back);
        if (result != kLinkOk)
            return which + " could not be read back to check it (error " + std::to_string(result) + ")";
        if (back != blocks[i]) return "the keyboard did not take " + which;
    }
    return {};
}

int ConfigTransfer::CurrentProfile() {
    const int cached = link_.state().currentProfile.load();
    if (cached >= 0) return cached;
    SettingsBlock settings{};
    if (link_.ReadSettings(settings) != kLinkOk) return -1;
    // A profile the keyboard does not have is as good as unknown.
    const int profile = ActiveProfileOf(settings);
    if (profile >= kProfileCount) return -1;
    link_.state().currentProfile.store(profile);
    return profile;
}

bool ConfigTransfer::SetCurrentProfile(int profile) {
    if (profile < 0 || profile >= kProfileCount) return false;
    // The settings block is read, changed and written back: another program's write must not fall between.
    KeyboardHold hold(link_);
    SettingsBlock settings{};
    bool ok = link_.ReadSettings(settings) == kLinkOk;
    if (ok) {
        settings[settings_field::kActiveProfile] = static_cast<uint8_t>(profile);
        // Like every write, the settings block travels inside a begin / end sequence, whose answers do not
        // decide on their own: when one failed, the profile the keyboard now reports does.
        const int begin = link_.BeginSequence();
        ok = link_.WriteSettings(settings) == kLinkOk;
        const int end = link_.EndSequence();
        if (ok && (begin != kLinkOk || end != kLinkOk)) {
            SettingsBlock back{};
            ok = link_.ReadSettings(back) == kLinkOk && ActiveProfileOf(back) == profile;
        }
    }
    link_.state().currentProfile.store(ok ? profile : -1);
    return ok;
}

bool ConfigTransfer::MacroUsedByKeys(const MacroRecord& macro) {
    if (macro.isNew == 1) return true;
    bool used = false;
    {
        // Every entry counts, G keys and other profiles included: Apply resets each one whose macro is gone.
        std::lock_guard lockA(store_.lockA());
        const ConfigImage& image = store_.edit().image;
        for (size_t i = 0; i < kEntryCount && !used; ++i) {
            const ConfigEntry e = image.entry(i);
            used = e.kind == static_cast<uint16_t>(AssignmentKind::Macro) && (e.value & 0xFFFF) == macro.id;
        }
    }
    if (!used) return true;
    return prompts_.AskYesNo(texts_[TextId::MACRO_DELETE_CONFIRM_OF_KEYS], PromptAnswer::No);
}

}  // namespace vornak
