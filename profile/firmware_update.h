// The firmware update and the backup without their window. The keyboard's firmware is not written here: the
// user picks an external updater program, the keyboard is asked to enter its update mode, and the updater is
// started to do the rest. Before that request, which may cost the keyboard its configuration, the user is
// offered a backup of the edit copy to a profile file. The updater's path belongs to the program, not to the
// dialog: it outlives every opening of it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "device/device_link.h"
#include "platform/paths.h"
#include "profile/device_jobs.h"
#include "texts/language_texts.h"
#include "texts/prompts.h"

namespace vornak {

// Starts a program detached, in a working folder; false when it could not be started.
using ProgramStarter =
    std::function<bool(const std::filesystem::path& program, const std::filesystem::path& workingFolder)>;

// A file the updater can be: a regular file that may be executed.
bool IsUpdaterFile(const std::filesystem::path& path);

class FirmwareUpdate {
  public:
    // state: the link's, read for whether a keyboard is attached; run posts the keyboard work.
    FirmwareUpdate(LinkState& state, const ProgramPaths& paths, const LanguageTexts& texts, Prompts& prompts,
                   DeviceJobRunner run, ProgramStarter start);

    // The dialog opened: no backup has been made while it is open.
    void DialogOpened() { backupMade_ = false; }

    const std::filesystem::path& updaterPath() const { return updaterPath_; }
    // The "Package" folder beside the program: where the chooser starts and where the updater runs.
    const std::filesystem::path& packageFolder() const { return paths_.packageDir; }
    bool backupMade() const { return backupMade_; }
    // An Update or a Backup is under way; another one is refused until it ends.
    bool busy() const { return busy_; }

    // Open: the chooser; the chosen file becomes the updater's path, a cancelled chooser empties it.
    FileChoice OpenChoice() const;
    void Open();
    // Cancel Update: the path is emptied (the dialog then closes).
    void CancelUpdate() { updaterPath_.clear(); }

    // Update: the path checked, the backup offered (when a keyboard is attached and none was made while the
    // dialog is open), the keyboard asked to enter its update mode, the updater started, the path emptied.
    // finished(true) when the updater was started: the dialog closes. Every failure shows its message and
    // ends with finished(false).
    void Update(std::function<void(bool started)> finished);

    // Backup: the chooser, then the edit copy written to the file as export writes it, and a message either
    // way. finished(true) when the file was written.
    FileChoice BackupChoice() const;
    void Backup(std::function<void(bool written)> finished = {});

  private:
    void BackupTo(const std::filesystem::path& file, std::function<void(bool written)> finished);
    void RequestUpdateMode(const std::filesystem::path& updater, std::function<void(bool)> finished);
    void End(const std::function<void(bool)>& finished, bool result);

    LinkState& state_;
    const ProgramPaths& paths_;
    const LanguageTexts& texts_;
    Prompts& prompts_;
    DeviceJobRunner run_;
    ProgramStarter start_;
    std::filesystem::path updaterPath_;
    bool backupMade_ = false;
    bool busy_ = false;
};

}  // namespace vornak
