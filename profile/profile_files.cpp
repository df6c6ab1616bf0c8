#include "profile/profile_files.h"

#include <new>
#include <system_error>

#include "keyboard/key_table.h"
#include "macro/macro_blob.h"
#include "platform/bytes.h"
#include "platform/file_io.h"
#include "platform/text_format.h"
#include "platform/utf.h"
#include "profile/profile_file.h"

namespace vornak {

namespace fs = std::filesystem;

FileChoice ProfileFileChoice(bool save) {
    FileChoice c;
    c.save = save;
    c.defaultExtension = u"fwc";
    c.initialName = u"*.fwc";
    c.filter = save ? u"(*.fwc)|*.fwc|(*.*)|*.*||" : u"(*.fwc)|*.fwc||";
    c.overwritePrompt = save;
    return c;
}

ProfileFiles::ProfileFiles(const ProgramPaths& paths, ConfigStore& store, ConfigTransfer& transfer,
                           DeviceLink& link, const LanguageTexts& texts, Prompts& prompts)
    : paths_(paths), store_(store), transfer_(transfer), link_(link), texts_(texts), prompts_(prompts) {}

void ProfileFiles::Refresh() {
    if (view_ != nullptr) view_->RefreshKeyButtons();
}

void ProfileFiles::EnsureUserFolder() {
    std::error_code ec;
    if (fs::is_directory(paths_.userFolder, ec)) return;
    fs::create_directories(paths_.userFolder, ec);
    if (ec) {
        lastError_ = paths_.userFolder.string() + ": cannot be created (" + ec.message() + ")";
        return;
    }
    if (seedUserFolder_) seedUserFolder_();
}

bool ProfileFileSizeAcceptable(uint64_t size) {
    return size >= kConfigImageSize && size < kProfileFileSizeLimit;
}

fs::path WorkingProfileFileIn(const fs::path& userFolder) {
    return userFolder / Utf16ToUtf8(FormatText(u"$Profile%d", {int64_t{0}}));
}

fs::path ProfileFiles::WorkingProfilePath() {
    EnsureUserFolder();
    return WorkingProfileFileIn(paths_.userFolder);
}

int ProfileFiles::ValidateProfileFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        lastError_ = path.string() + ": no such file";
        return kProfileInvalid;
    }
    // Read-only: a file the user may not write can still be imported.
    std::FILE* f = OpenFileForReading(path, &lastError_);
    if (f == nullptr) return kProfileCannotOpen;
    std::fclose(f);
    const uint64_t size = fs::file_size(path, ec);
    if (ec || !ProfileFileSizeAcceptable(size)) {
        lastError_ = path.string() + ": not a profile file (" + std::to_string(ec ? 0 : size) + " bytes)";
        return kProfileInvalid;
    }
    std::optional<std::vector<uint8_t>> bytes;
    try {
        bytes = ReadWholeFile(path, &lastError_, kProfileFileSizeLimit - 1);
    } catch (const std::bad_alloc&) {
        lastError_ = path.string() + ": out of memory";
        return kProfileOutOfMemory;
    }
    if (!bytes) return kProfileCannotOpen;
    if (bytes->size() < kConfigImageSize) {
        lastError_ = path.string() + ": not a profile file";
        return kProfileInvalid;
    }
    const HeaderProblem problem =
        CheckHeader(std::span<const uint8_t, kConfigHeaderSize>(bytes->data(), kConfigHeaderSize));
    if (problem != HeaderProblem::None) {
        lastError_ = path.string() + ": " + HeaderProblemText(problem);
        prompts_.Inform(FormatText(texts_[TextId::PROFILE_FORMAT_ERROR],
                                   {std::u16string_view(Utf8ToUtf16(path.string()))}));
        return kProfileInvalid;
    }
    lastError_.clear();
    return kProfileValid;
}

bool ProfileFiles::LoadImage(const fs::path& path) {
    std::optional<std::vector<uint8_t>> bytes;
    try {
        bytes = ReadWholeFile(path, &lastError_, kProfileFileSizeLimit - 1);
        if (!bytes) return false;
        std::string why;
        std::optional<EditCopy> copy = ParseProfileFile(*bytes, &why);
        if (!copy) {
            lastError_ = path.string() + ": " + why;
            return false;
        }
        std::lock_guard lock(store_.lockA());
        store_.ReplaceEdit(std::move(*copy));
    } catch (const std::bad_alloc&) {
        lastError_ = path.string() + ": out of memory";
        return false;
    }
    lastError_.clear();
    return true;
}

bool ProfileFiles::SaveProfileFile(bool takeLock, const fs::path& path) {
    std::unique_lock<std::recursive_mutex> lock(store_.lockA(), std::defer_lock);
    if (takeLock) lock.lock();
    return WriteCopy(store_.edit(), path);
}

bool ProfileFiles::WriteCopy(EditCopy& copy, const fs::path& path) {
    std::string why;
    std::optional<std::vector<uint8_t>> bytes;
    try {
        bytes = SerializeProfileFile(copy, &why);
    } catch (const std::bad_alloc&) {
        why = "out of memory";
    }
    if (!bytes) {
        lastError_ = path.string() + ": " + why;
        return false;
    }
    if (!WriteFileAtomic(path, *bytes, &lastError_)) return false;
    lastError_.clear();
    return true;
}

bool ProfileFiles::CreateDefaultImage(const fs::path& path, uint8_t flag, bool inMemory) {
    ConfigImage image = ConfigImage::Default(flag);
    if (inMemory) {
        store_.ReplaceEditImage(std::move(image));
        return true;
    }
    return WriteFileAtomic(path, image.bytes(), &lastError_);
}

bool ProfileFiles::CaptureKeyboardProfiles(const fs::path& path) {
    if (transfer_.CurrentProfile() < 0) {
        lastError_ = "the keyboard's active profile cannot be read";
        return false;
    }
    std::array<KeyBlockBytes, kProfileCount> blocks{};
    for (int p = 0; p < kProfileCount; ++p) {
        if (const int r = link_.ReadKeyBlock(p, blocks[p]); r != kLinkOk) {
            lastError_ = "the key block of profile " + std::to_string(p + 1) + " cannot be read (error " +
                         std::to_string(r) + ")";
            return false;
        }
    }
    std::vector<MacroRecord> macros;
    std::array<uint8_t, kMacroBlobHeaderSize> head{};
    if (const int r = link_.ReadMacroArea(head); r != kLinkOk) {
        lastError_ = "the macro memory cannot be read (error " + std::to_string(r) + ")";
        return false;
    }
    if (ReadLe16(head, 0) == kMacroBlobMagic) {
        const size_t size = ReadLe16(head, 2);
        const uint32_t capacity = link_.state().macroCapacity.load();
        if (size < kMacroBlobHeaderSize || (capacity > 0 && size > capacity)) {
            lastError_ = "the keyboard's macro table claims " + std::to_string(size) + " bytes";
            return false;
        }
        std::vector<uint8_t> blob(size);
        if (const int r = link_.ReadMacroArea(blob); r != kLinkOk) {
            lastError_ = "the macro memory cannot be read (error " + std::to_string(r) + ")";
            return false;
        }
        auto decoded = DecodeMacroBlob(blob, texts_, &lastError_);
        if (!decoded) return false;
        macros = std::move(*decoded);
    }

    EditCopy copy;
    copy.image = ConfigImage::Default();
    const KeyBlockBytes defaults = transfer_.DefaultLayout();
    for (int p = 0; p < kProfileCount; ++p) {
        copy.image.ResetBlock(p);
        for (size_t position = 0; position < kKeyBlockSize / 3; ++position) {
            const HardwareKeyCode def = {defaults[3 * position], defaults[3 * position + 1],
                                         defaults[3 * position + 2]};
            const KeyCode key = HardwareCodeToKeyCode(def);
            if (key == 0) continue;
            const HardwareKeyCode now = {blocks[p][3 * position], blocks[p][3 * position + 1],
                                         blocks[p][3 * position + 2]};
            const int slot = KeySlot(key);
            copy.image.setEntry(p, slot, EntryFromHardwareCode(now, def, copy.image.entry(p, slot), macros));
        }
    }
    copy.macros = std::move(macros);
    return WriteCopy(copy, path);
}

bool ProfileFiles::SaveWorkingProfile(bool takeLock) {
    std::unique_lock<std::recursive_mutex> lock(store_.lockA(), std::defer_lock);
    if (takeLock) lock.lock();
    const fs::path working = WorkingProfilePath();
    std::error_code ec;
    if (!fs::exists(working, ec)) return false;
    return SaveProfileFile(false, working);
}

bool ProfileFiles::ReloadFromKeyboard(bool silent) {
    EnsureUserFolder();
    const fs::path working = WorkingProfilePath();
    const bool captured = transfer_.CurrentProfile() != -1 && CaptureKeyboardProfiles(working);
    {
        std::lock_guard lock(store_.lockA());
        if (!captured || !LoadImage(working)) store_.EmptyEdit();
        Refresh();
    }
    if (!silent && view_ != nullptr) view_->SetApplyEnabled(false);
    return true;
}

void ProfileFiles::ImportProfile() {
    const auto path = prompts_.ChooseFile(ProfileFileChoice(false));
    if (path) ImportFrom(*path);
}

void ProfileFiles::ExportProfile() {
    const auto path = prompts_.ChooseFile(ProfileFileChoice(true));
    if (path) ExportTo(*path);
}

bool ProfileFiles::ImportFrom(const fs::path& path) {
    if (ValidateProfileFile(path) <= 0) {
        prompts_.Inform(texts_[TextId::MAIN_PROMPT_INPORT]);
        return false;
    }
    bool downloaded = false;
    {
        std::lock_guard lock(store_.lockA());
        if (!LoadImage(path)) {
            // The store keeps what it had: a file that fails to load never half-replaces it.
            const std::string why = lastError_;
            prompts_.Inform(texts_[TextId::MAIN_PROMPT_INPORT]);
            lastError_ = why;
            return false;
        }
        SaveWorkingProfile(false);
        downloaded = transfer_.CopyAndDownload(true);
        Refresh();
    }
    // The imported configuration is in the edit copy; while the keyboard does not hold it, Apply can send it.
    if (view_ != nullptr) view_->SetApplyEnabled(!downloaded);
    lastError_ = downloaded ? "" : transfer_.lastError();
    return downloaded;
}

bool ProfileFiles::ExportTo(const fs::path& path) {
    std::lock_guard lock(store_.lockA());
    if (SaveProfileFile(false, path)) return true;
    // A backup the user believes made but that is not there is worse than a message.
    const std::string why = lastError_;
    prompts_.Inform(texts_[TextId::MAIN_UPDATE_BACKUP_NG]);
    lastError_ = why;
    return false;
}

}  // namespace vornak
