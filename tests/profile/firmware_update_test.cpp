#include "profile/firmware_update.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <mutex>

#include "platform/file_io.h"
#include "profile/profile_file.h"
#include "tests/support/config_builders.h"
#include "tests/support/config_fixture.h"
#include "tests/support/unprivileged.h"

namespace vornak {
namespace {

namespace fs = std::filesystem;
using test::ConfigFixture;
using test::MakeEntry;

struct Start {
    fs::path program;
    fs::path folder;
};

class UpdateFixture {
  public:
    explicit UpdateFixture(test::SimHarnessOptions options = {})
        : f(std::move(options)),
          update(f.link().state(), f.paths, f.texts, f.prompts,
                 RunJobsInline({f.link(), f.store, f.transfer, f.files}),
                 [this](const fs::path& program, const fs::path& folder) {
                     starts.push_back({program, folder});
                     return startSucceeds;
                 }) {
        update.DialogOpened();
    }

    // An executable file the user chose with Open.
    fs::path ChooseUpdater(const char* name = "kx1-update") {
        const fs::path p = f.dir / name;
        test::WriteBytes(p, {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'});
        ::chmod(p.c_str(), 0755);
        f.prompts.files.push_back(p);
        update.Open();
        return p;
    }
    // Update, and what it finished with (nothing when it has not finished).
    std::optional<bool> RunUpdate() {
        std::optional<bool> result;
        update.Update([&](bool started) { result = started; });
        return result;
    }

    ConfigFixture f;
    std::vector<Start> starts;
    bool startSucceeds = true;
    FirmwareUpdate update;
};

TEST(FirmwareUpdate, OpenChoosesTheUpdaterAndACancelledChooserEmptiesIt) {
    UpdateFixture u;
    const FileChoice c = u.update.OpenChoice();
    EXPECT_FALSE(c.save);
    EXPECT_EQ(c.initialFolder, u.f.paths.packageDir);
    const fs::path p = u.ChooseUpdater();
    EXPECT_EQ(u.update.updaterPath(), p);
    u.update.Open();  // cancelled
    EXPECT_TRUE(u.update.updaterPath().empty());
}

TEST(FirmwareUpdate, AnEmptyPathOrAFileThatCannotRunSendsNothing) {
    UpdateFixture u;
    EXPECT_EQ(u.RunUpdate(), false);
    const fs::path plain = u.f.dir / "notes.txt";
    test::WriteBytes(plain, {'x'});
    u.f.prompts.files.push_back(plain);
    u.update.Open();
    EXPECT_EQ(u.RunUpdate(), false);
    u.f.prompts.files.push_back(u.f.dir.path());  // a folder
    u.update.Open();
    EXPECT_EQ(u.RunUpdate(), false);

    ASSERT_EQ(u.f.prompts.messages.size(), 3u);
    for (const auto& m : u.f.prompts.messages)
        EXPECT_EQ(m, u.f.texts[TextId::MAIN_UPDATE_ERROR_TEXT]);
    EXPECT_TRUE(u.f.sim().commandsSent().empty());
    EXPECT_EQ(u.f.sim().bootModeRequests(), 0);
    EXPECT_TRUE(u.starts.empty());
}

TEST(FirmwareUpdate, WithoutAKeyboardTheRequestFailsAndNothingStarts) {
    UpdateFixture u(test::SimHarness::NoKeyboard());
    const fs::path p = u.ChooseUpdater();
    EXPECT_EQ(u.RunUpdate(), false);
    ASSERT_EQ(u.f.prompts.messages.size(), 1u) << "no backup is offered for a keyboard that is not there";
    EXPECT_EQ(u.f.prompts.messages[0], u.f.texts[TextId::MAIN_BOOT_ERROR_TEXT]);
    EXPECT_TRUE(u.starts.empty());
    EXPECT_EQ(u.f.sim().bootModeRequests(), 0);
    EXPECT_EQ(u.update.updaterPath(), p) << "kept for another try";
}

TEST(FirmwareUpdate, ASuccessfulStartClosesTheDialogAndEmptiesThePath) {
    UpdateFixture u;
    const fs::path p = u.ChooseUpdater();
    u.f.prompts.answers = {PromptAnswer::No};  // no backup
    EXPECT_EQ(u.RunUpdate(), true);
    ASSERT_EQ(u.f.prompts.messages.size(), 1u);
    EXPECT_EQ(u.f.prompts.messages[0], u.f.texts[TextId::MAIN_UPDATE_BACKUP_ASK]);
    EXPECT_EQ(u.f.sim().bootModeRequests(), 1);
    EXPECT_EQ(u.f.sim().violations(), 0);
    ASSERT_EQ(u.starts.size(), 1u);
    EXPECT_EQ(u.starts[0].program, p);
    EXPECT_EQ(u.starts[0].folder, u.f.dir.path()) << "no Package folder: the updater's own";
    EXPECT_TRUE(u.update.updaterPath().empty());
    EXPECT_FALSE(u.update.busy());
}

TEST(FirmwareUpdate, TheUpdaterRunsInThePackageFolder) {
    UpdateFixture u;
    fs::create_directories(u.f.paths.packageDir);
    u.ChooseUpdater();
    u.f.prompts.answers = {PromptAnswer::No};
    EXPECT_EQ(u.RunUpdate(), true);
    ASSERT_EQ(u.starts.size(), 1u);
    EXPECT_EQ(u.starts[0].folder, u.f.paths.packageDir);
}

TEST(FirmwareUpdate, AFailedStartSaysSoAndStillEmptiesThePath) {
    UpdateFixture u;
    u.startSucceeds = false;
    u.ChooseUpdater();
    u.f.prompts.answers = {PromptAnswer::No};
    EXPECT_EQ(u.RunUpdate(), false);
    EXPECT_EQ(u.f.prompts.messages.back(), u.f.texts[TextId::MAIN_SHELL_ERROR_TEXT]);
    EXPECT_EQ(u.f.sim().bootModeRequests(), 1);
    EXPECT_TRUE(u.update.updaterPath().empty());
}

TEST(FirmwareUpdate, TheOfferedBackupComesFirstAndHoldsTheUnappliedEdits) {
    UpdateFixture u;
    {
        std::lock_guard lock(u.f.store.lockA());
        u.f.store.edit().image.setEntry(1, 0x1E, MakeEntry(AssignmentKind::Disabled, 0));
    }
    u.ChooseUpdater();
    const fs::path backup = u.f.dir / "before-update.fwc";
    u.f.prompts.answers = {PromptAnswer::Yes};
    u.f.prompts.files.push_back(backup);
    EXPECT_EQ(u.RunUpdate(), true);
    EXPECT_EQ(u.f.prompts.messages, (std::vector<std::u16string>{u.f.texts[TextId::MAIN_UPDATE_BACKUP_ASK],
                                                                 u.f.texts[TextId::MAIN_UPDATE_BACKUP_OK]}));
    const auto bytes = ReadWholeFile(backup);
    ASSERT_TRUE(bytes);
    const auto copy = ParseProfileFile(*bytes);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->image.entry(1, 0x1E).kind, static_cast<uint16_t>(AssignmentKind::Disabled));
    EXPECT_EQ(u.f.sim().bootModeRequests(), 1);
    EXPECT_EQ(u.starts.size(), 1u);
}

TEST(FirmwareUpdate, NoUpdateWhenTheAskedForBackupWasNotMade) {
    UpdateFixture u;
    const fs::path p = u.ChooseUpdater();
    u.f.prompts.answers = {PromptAnswer::Yes};  // and then the chooser is cancelled
    EXPECT_EQ(u.RunUpdate(), false);
    EXPECT_EQ(u.f.sim().bootModeRequests(), 0);
    EXPECT_TRUE(u.starts.empty());
    EXPECT_EQ(u.update.updaterPath(), p);
    EXPECT_FALSE(u.update.busy());
    // Said, not silent: the chooser's Cancel is the only thing the user saw.
    ASSERT_EQ(u.f.prompts.messages.size(), 2u);  // the question, then this
    EXPECT_EQ(u.f.prompts.messages[1], u.f.texts[TextId::MAIN_UPDATE_NO_BACKUP]);
}

TEST(FirmwareUpdate, ABackupMadeWhileTheDialogIsOpenIsNotOfferedAgain) {
    UpdateFixture u;
    u.f.prompts.files.push_back(u.f.dir / "b.fwc");
    bool written = false;
    u.update.Backup([&](bool w) { written = w; });
    EXPECT_TRUE(written);
    EXPECT_TRUE(u.update.backupMade());
    u.ChooseUpdater();
    u.startSucceeds = false;
    EXPECT_EQ(u.RunUpdate(), false);
    EXPECT_EQ(u.f.prompts.messages, (std::vector<std::u16string>{u.f.texts[TextId::MAIN_UPDATE_BACKUP_OK],
                                                                 u.f.texts[TextId::MAIN_SHELL_ERROR_TEXT]}));

    // Opened again: the offer is back, and the updater's path outlived the closing.
    u.ChooseUpdater();
    u.update.DialogOpened();
    EXPECT_FALSE(u.update.backupMade());
    EXPECT_FALSE(u.update.updaterPath().empty());
    u.f.prompts.answers = {PromptAnswer::No};
    u.RunUpdate();
    EXPECT_EQ(u.f.prompts.messages[2], u.f.texts[TextId::MAIN_UPDATE_BACKUP_ASK]);
}

TEST(FirmwareUpdate, CancelUpdateEmptiesThePath) {
    UpdateFixture u;
    u.ChooseUpdater();
    u.update.CancelUpdate();
    EXPECT_TRUE(u.update.updaterPath().empty());
}

// Every file in a folder, recursively.
std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (!e.is_directory()) out.push_back(e.path());
    return out;
}

TEST(Backup, AFolderThatCannotBeWrittenShowsTheFailureAndLeavesNoFile) {
    UpdateFixture u;
    const fs::path folder = u.f.dir / "locked";
    fs::create_directories(folder);
    ::chmod(folder.c_str(), 0555);
    test::RunUnprivileged({folder}, [&]() -> std::string {
        u.f.prompts.files.push_back(folder / "backup.fwc");
        bool written = true;
        u.update.Backup([&](bool w) { written = w; });
        if (written) return "the backup claims to be written";
        if (u.f.prompts.messages.empty()) return "no message";
        const std::u16string& m = u.f.prompts.messages.back();
        if (m.rfind(u.f.texts[TextId::MAIN_UPDATE_BACKUP_NG], 0) != 0) return "not the failure message";
        if (m.find(u"backup.fwc") == std::u16string::npos) return "the message does not name the file";
        if (!FilesIn(folder).empty()) return "a file was left behind";
        if (u.update.backupMade()) return "counted as made";
        return {};
    });
}

TEST(Backup, AFailedRenameLeavesNoTemporaryFile) {
    UpdateFixture u;
    const fs::path folder = u.f.dir / "out";
    fs::create_directories(folder / "taken.fwc");  // a folder in the file's place
    u.f.prompts.files.push_back(folder / "taken.fwc");
    u.update.Backup();
    ASSERT_EQ(u.f.prompts.messages.size(), 1u);
    EXPECT_EQ(u.f.prompts.messages[0].rfind(u.f.texts[TextId::MAIN_UPDATE_BACKUP_NG], 0), 0u);
    EXPECT_TRUE(FilesIn(folder).empty());
    EXPECT_TRUE(fs::is_directory(folder / "taken.fwc"));
}

TEST(Backup, ACancelledChooserWritesNothing) {
    UpdateFixture u;
    bool called = false;
    u.update.Backup([&](bool w) { called = !w; });
    EXPECT_TRUE(called);
    EXPECT_TRUE(u.f.prompts.messages.empty());
    const FileChoice c = u.f.prompts.choices.at(0);
    EXPECT_TRUE(c.save);
    EXPECT_TRUE(c.overwritePrompt);
    EXPECT_EQ(c.defaultExtension, u"fwc");
    EXPECT_EQ(c.filter, u"(*.fwc)|*.fwc|(*.*)|*.*||");
}

}  // namespace
}  // namespace vornak
