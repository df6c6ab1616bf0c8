// The profile file operations of the program: the user folder and its working file, validation, load and
// save, the capture of the keyboard's whole configuration, import and export.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "config/config_store.h"
#include "device/device_link.h"
#include "platform/paths.h"
#include "texts/language_texts.h"
#include "texts/prompts.h"
#include "transfer/config_transfer.h"

namespace vornak {

// What the main window does when the configuration changes under it.
class ProfileView {
  public:
    virtual ~ProfileView() = default;
    // Show the key buttons and G keys of the current profile from the edit copy (the caller holds lock A).
    virtual void RefreshKeyButtons() = 0;
    virtual void SetApplyEnabled(bool enabled) = 0;
};

// ValidateProfileFile results.
inline constexpr int kProfileValid = 1;
inline constexpr int kProfileInvalid = 0;  // absent, too short, too large or a bad header
inline constexpr int kProfileCannotOpen = -2;
inline constexpr int kProfileOutOfMemory = -3;

// A file of this size (4 GiB) or more is no profile file.
inline constexpr uint64_t kProfileFileSizeLimit = uint64_t{1} << 32;
// The sizes validation reads: at least one configuration image, below the limit.
bool ProfileFileSizeAcceptable(uint64_t size);
// The working file of the three on-board profiles inside a user folder (the folder is not created).
std::filesystem::path WorkingProfileFileIn(const std::filesystem::path& userFolder);
// The file chooser of Import (open) and Export (save): ".fwc" files.
FileChoice ProfileFileChoice(bool save);

class ProfileFiles {
  public:
    ProfileFiles(const ProgramPaths& paths, ConfigStore& store, ConfigTransfer& transfer, DeviceLink& link,
                 const LanguageTexts& texts, Prompts& prompts);

    void SetView(ProfileView* view) { view_ = view; }
    // Run when the user folder is created: the first-use seeding of the user lighting files.
    void SetUserFolderSeeder(std::function<void()> seed) { seedUserFolder_ = std::move(seed); }

    const std::filesystem::path& UserFolder() const { return paths_.userFolder; }
    void EnsureUserFolder();
    // The one working file of the three on-board profiles; creates the user folder when it is missing.
    std::filesystem::path WorkingProfilePath();

    // kProfile*; a bad header shows PROFILE_FORMAT_ERROR with the path.
    int ValidateProfileFile(const std::filesystem::path& path);
    // Replaces the edit copy by the file's contents (the caller holds lock A). On any failure the edit copy
    // is untouched and the result is false.
    bool LoadImage(const std::filesystem::path& path);
    // Writes the edit copy: a temporary file beside the target, renamed over it only when complete.
    bool SaveProfileFile(bool takeLock, const std::filesystem::path& path);
    // A default image: into the edit copy (inMemory), or written to the path.
    bool CreateDefaultImage(const std::filesystem::path& path, uint8_t flag, bool inMemory);
    // Reads the keyboard's key blocks and macros into a profile file.
    bool CaptureKeyboardProfiles(const std::filesystem::path& path);
    // Rewrites the working file when it exists; a missing one is not created.
    bool SaveWorkingProfile(bool takeLock);
    // Captures the keyboard into the working file and loads it; the default image when that fails.
    bool ReloadFromKeyboard(bool silent);

    // The menu commands: ask for the file, then import or export it.
    void ImportProfile();
    void ExportProfile();
    // The same without the file dialog (the command line). Import: validate, load, rewrite the working file,
    // download all three profiles. True only when everything succeeded.
    bool ImportFrom(const std::filesystem::path& path);
    bool ExportTo(const std::filesystem::path& path);

    // What the last failing operation ran into, naming the file ("" after a success).
    const std::string& lastError() const { return lastError_; }

  private:
    void Refresh();
    // The copy's file, written atomically; its names' offsets are stored in its entries on the way.
    bool WriteCopy(EditCopy& copy, const std::filesystem::path& path);

    const ProgramPaths& paths_;
    ConfigStore& store_;
    ConfigTransfer& transfer_;
    DeviceLink& link_;
    const LanguageTexts& texts_;
    Prompts& prompts_;
    ProfileView* view_ = nullptr;
    std::function<void()> seedUserFolder_;
    std::string lastError_;
};

}  // namespace vornak
