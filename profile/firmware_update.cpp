#include "profile/firmware_update.h"

#include <system_error>

#include "device/device_link.h"
#include "platform/utf.h"
#include "profile/profile_files.h"

namespace vornak {

namespace fs = std::filesystem;

bool IsUpdaterFile(const fs::path& path) {
    if (path.empty()) return false;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    constexpr fs::perms exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return (st.permissions() & exec) != fs::perms::none;
}

FirmwareUpdate::FirmwareUpdate(LinkState& state, const ProgramPaths& paths, const LanguageTexts& texts,
                               Prompts& prompts, DeviceJobRunner run, ProgramStarter start)
    : state_(state),
      paths_(paths),
      texts_(texts),
      prompts_(prompts),
      run_(std::move(run)),
      start_(std::move(start)) {}

FileChoice FirmwareUpdate::OpenChoice() const {
    // Any executable file: programs here carry no extension of their own.
    FileChoice c;
    c.save = false;
    c.filter = u"(*)|*||";
    c.initialFolder = paths_.packageDir;
    return c;
}

void FirmwareUpdate::Open() {
    const auto chosen = prompts_.ChooseFile(OpenChoice());
    updaterPath_ = chosen ? *chosen : fs::path();
}

FileChoice FirmwareUpdate::BackupChoice() const {
    FileChoice c;
    c.save = true;
    c.defaultExtension = u"fwc";
    c.initialName = u"*.fwc";
    c.filter = u"(*.fwc)|*.fwc|(*.*)|*.*||";
    c.overwritePrompt = true;
    c.initialFolder = paths_.userFolder;
    return c;
}

void FirmwareUpdate::End(const std::function<void(bool)>& finished, bool result) {
    busy_ = false;
    if (finished) finished(result);
}

void FirmwareUpdate::Update(std::function<void(bool started)> finished) {
    if (busy_) return;
    // Checked before the keyboard is asked anything: a file that cannot run would leave it in update mode.
    const fs::path updater = updaterPath_;
    if (!IsUpdaterFile(updater)) {
        prompts_.Inform(texts_[TextId::MAIN_UPDATE_ERROR_TEXT]);
        if (finished) finished(false);
        return;
    }
    busy_ = true;
    const bool keyboard = state_.devicePresent.load() > 0;
    if (keyboard && !backupMade_ &&
        prompts_.AskYesNo(texts_[TextId::MAIN_UPDATE_BACKUP_ASK], PromptAnswer::Yes)) {
        busy_ = false;
        const auto file = prompts_.ChooseFile(BackupChoice());
        if (!file) {
            // No update without the backup the user asked for; Update again offers it again.
            prompts_.Inform(texts_[TextId::MAIN_UPDATE_NO_BACKUP]);
            if (finished) finished(false);
            return;
        }
        BackupTo(*file, [this, updater, finished](bool written) {
            // A failed backup has said so already.
            if (!written) {
                if (finished) finished(false);
                return;
            }
            busy_ = true;
            RequestUpdateMode(updater, finished);
        });
        return;
    }
    RequestUpdateMode(updater, std::move(finished));
}

void FirmwareUpdate::RequestUpdateMode(const fs::path& updater, std::function<void(bool)> finished) {
    RunDeviceJob<int>(
        run_, "update mode", [](ProfileServices& s) { return s.link.RequestBootMode(); },
        [this, updater, finished](int result) {
            if (result != kLinkOk) {
                prompts_.Inform(texts_[TextId::MAIN_BOOT_ERROR_TEXT]);
                End(finished, false);
                return;
            }
            std::error_code ec;
            const fs::path folder =
                fs::is_directory(paths_.packageDir, ec) ? paths_.packageDir : updater.parent_path();
            const bool started = start_ && start_(updater, folder);
            // Emptied whether or not it started: the keyboard is in its update mode either way.
            updaterPath_.clear();
            if (!started) prompts_.Inform(texts_[TextId::MAIN_SHELL_ERROR_TEXT]);
            End(finished, started);
        });
}

void FirmwareUpdate::Backup(std::function<void(bool written)> finished) {
    if (busy_) return;
    const auto file = prompts_.ChooseFile(BackupChoice());
    if (!file) {
        if (finished) finished(false);
        return;
    }
    BackupTo(*file, std::move(finished));
}

void FirmwareUpdate::BackupTo(const fs::path& file, std::function<void(bool written)> finished) {
    busy_ = true;
    struct Result {
        bool written = false;
        std::string error;
    };
    RunDeviceJob<Result>(
        run_, "backup",
        [path = file](ProfileServices& s) {
            // What the edit copy holds now, unapplied edits included; the keyboard is not read again.
            Result r;
            r.written = s.files.SaveProfileFile(true, path);
            if (!r.written) r.error = s.files.lastError();
            return r;
        },
        [this, finished](Result r) {
            if (r.written) {
                backupMade_ = true;
                prompts_.Inform(texts_[TextId::MAIN_UPDATE_BACKUP_OK]);
            } else {
                std::u16string text = texts_[TextId::MAIN_UPDATE_BACKUP_NG];
                if (!r.error.empty()) text += u"\n\n" + Utf8ToUtf16(r.error);
                prompts_.Inform(text);
            }
            End(finished, r.written);
        });
}

}  // namespace vornak
