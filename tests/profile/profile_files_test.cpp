#include "profile/profile_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/bytes.h"
#include "platform/file_io.h"
#include "platform/utf.h"
#include "profile/profile_file.h"
#include "tests/support/config_builders.h"
#include "tests/support/config_fixture.h"
#include "tests/support/unprivileged.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

namespace fs = std::filesystem;
using test::ConfigFixture;
using test::ReadBytes;
using test::WriteBytes;

// A configuration that uses every kind the keyboard can carry, with names and two macros.
void FillEdit(ConfigStore& store) {
    std::lock_guard lock(store.lockA());
    EditCopy& e = store.edit();
    e.macros = {MakeMacro(u"Greet", 1, {{50, 0x01D, 0}, {50, 0x02E, 0}, {0, 0x02E, 1}, {0, 0x01D, 1}}, 3),
                MakeMacro(u"Vol", 2, {{0, 0x130, 0}, {20, 0x130, 1}}, 1)};
    e.image.setEntry(0, 0x1E, MakeEntry(AssignmentKind::Key, 0x030));
    e.image.setEntry(0, 0x01, MakeEntry(AssignmentKind::Disabled, 0));
    e.image.setEntry(0, 0x10, MakeEntry(AssignmentKind::Macro, 1, 3));
    e.image.setEntry(1, 0x3B, MakeEntry(AssignmentKind::Media, 16));
    e.image.setEntry(1, 0x11, MakeEntry(AssignmentKind::Macro, 2, 1));
    e.image.setEntry(2, 0x30, MakeEntry(AssignmentKind::Function, 10));
    e.image.setEntry(2, KeySlot(0x15C), MakeEntry(AssignmentKind::StopMacro, 0));
    e.image.setEntry(2, 0x1D, MakeEntry(AssignmentKind::Key, 0x15C));
}

std::vector<uint8_t> MustSerialize(EditCopy copy) {
    return *SerializeProfileFile(copy);
}

TEST(ValidateProfileFile, MissingShortAndBadHeaders) {
    ConfigFixture f;
    EXPECT_EQ(f.files.ValidateProfileFile(f.dir / "none.fwc"), kProfileInvalid);
    WriteBytes(f.dir / "short.fwc", std::vector<uint8_t>(32831, 0));
    EXPECT_EQ(f.files.ValidateProfileFile(f.dir / "short.fwc"), kProfileInvalid);
    EXPECT_TRUE(f.prompts.messages.empty());  // neither says anything of its own

    auto bytes = MustSerialize(EditCopy{});
    bytes[31] += 1;
    WriteBytes(f.dir / "bad.fwc", bytes);
    EXPECT_EQ(f.files.ValidateProfileFile(f.dir / "bad.fwc"), kProfileInvalid);
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0], u"wrong file format, revert to the default values: \n  " +
                                         Utf8ToUtf16((f.dir / "bad.fwc").string()));
    EXPECT_NE(f.files.lastError().find("checksum"), std::string::npos);

    WriteBytes(f.dir / "good.fwc", MustSerialize(EditCopy{}));
    EXPECT_EQ(f.files.ValidateProfileFile(f.dir / "good.fwc"), kProfileValid);
}

TEST(ValidateProfileFile, SizesUpToJustBelowFourGibibytesAreRead) {
    EXPECT_FALSE(ProfileFileSizeAcceptable(0));
    EXPECT_FALSE(ProfileFileSizeAcceptable(kConfigImageSize - 1));
    EXPECT_TRUE(ProfileFileSizeAcceptable(kConfigImageSize));
    EXPECT_TRUE(ProfileFileSizeAcceptable(0xFFFFFFFFull));
    EXPECT_FALSE(ProfileFileSizeAcceptable(0x100000000ull));
    EXPECT_FALSE(ProfileFileSizeAcceptable(UINT64_MAX));

    // A sparse file of exactly 4 GiB is refused on its size, before anything is read.
    ConfigFixture f;
    const auto big = f.dir / "big.fwc";
    WriteBytes(big, MustSerialize(EditCopy{}));
    std::filesystem::resize_file(big, 0x100000000ull);
    EXPECT_EQ(f.files.ValidateProfileFile(big), kProfileInvalid);
    EXPECT_NE(f.files.lastError().find("4294967296 bytes"), std::string::npos) << f.files.lastError();
    EXPECT_TRUE(f.prompts.messages.empty());
}

TEST(ImportProfile, BadHeaderShowsBothMessagesAndKeepsTheStore) {
    ConfigFixture f;
    FillEdit(f.store);
    const auto before = MustSerialize(f.store.edit());
    EditCopy many;
    auto bytes = MustSerialize(many);
    WriteLe16(bytes, 14, 101);
    WriteLe32(bytes, 8, 32832 + 101 * 16512);
    bytes[31] = HeaderChecksum(bytes);
    WriteBytes(f.dir / "many.fwc", bytes);
    f.prompts.files = {f.dir / "many.fwc"};
    f.files.ImportProfile();
    ASSERT_EQ(f.prompts.messages.size(), 2u);
    EXPECT_EQ(f.prompts.messages[0].rfind(u"wrong file format", 0), 0u);
    EXPECT_EQ(f.prompts.messages[1], f.texts[TextId::MAIN_PROMPT_INPORT]);
    EXPECT_EQ(MustSerialize(f.store.edit()), before);
    EXPECT_TRUE(f.sim().commandsSent().empty());
    ASSERT_EQ(f.prompts.choices.size(), 1u);
    EXPECT_FALSE(f.prompts.choices[0].save);
    EXPECT_EQ(f.prompts.choices[0].filter, u"(*.fwc)|*.fwc||");
}

TEST(ImportProfile, ShortFileShowsOnlyTheImportMessage) {
    ConfigFixture f;
    WriteBytes(f.dir / "short.fwc", std::vector<uint8_t>(32831, 0));
    EXPECT_FALSE(f.files.ImportFrom(f.dir / "short.fwc"));
    ASSERT_EQ(f.prompts.messages.size(), 1u);
    EXPECT_EQ(f.prompts.messages[0], f.texts[TextId::MAIN_PROMPT_INPORT]);
}

// The header is right but the body is not what it says: nothing of it may reach the store.
TEST(ImportProfile, BodyThatFailsToLoadKeepsTheStore) {
    ConfigFixture f;
    FillEdit(f.store);
    const auto before = MustSerialize(f.store.edit());
    EditCopy other;
    other.image.setEntry(5, MakeEntry(AssignmentKind::LaunchProgram, 0));
    other.names.Set(5, u"prog");
    auto bytes = MustSerialize(other);
    bytes.resize(bytes.size() - 2);  // shorter than its total
    WriteBytes(f.dir / "cut.fwc", bytes);
    EXPECT_FALSE(f.files.ImportFrom(f.dir / "cut.fwc"));
    EXPECT_EQ(f.prompts.messages, (std::vector<std::u16string>{f.texts[TextId::MAIN_PROMPT_INPORT]}));
    EXPECT_EQ(MustSerialize(f.store.edit()), before);
    EXPECT_NE(f.files.lastError().find("cut.fwc"), std::string::npos);
}

TEST(ImportProfile, ExportAndReimportGiveTheSameConfiguration) {
    ConfigFixture f;
    FillEdit(f.store);
    {
        std::lock_guard lock(f.store.lockA());
        f.store.edit().image.setEntry(10, MakeEntry(AssignmentKind::LaunchProgram, 0));
        f.store.edit().names.Set(10, u"/usr/bin/gnome-calculator");
        f.store.edit().image.setEntry(700, MakeEntry(AssignmentKind::TextBlock, 0));
        f.store.edit().names.Set(700, u"Best regards, \x4E16\x754C");
    }
    f.prompts.files = {f.dir / "backup.fwc"};
    f.files.ExportProfile();
    const EditCopy exported = f.store.edit();  // saving stored each name's pool offset in its entry
    ASSERT_TRUE(fs::exists(f.dir / "backup.fwc"));
    EXPECT_TRUE(f.prompts.choices[0].save);
    EXPECT_TRUE(f.prompts.choices[0].overwritePrompt);

    f.store.EmptyEdit();
    f.view.applyEnabled = true;
    ASSERT_TRUE(f.files.ImportFrom(f.dir / "backup.fwc")) << f.files.lastError();
    const EditCopy& back = f.store.edit();
    for (size_t i = 0; i < kEntryCount; ++i) {
        ASSERT_EQ(back.image.entry(i), exported.image.entry(i)) << i;
        EXPECT_EQ(back.names.name(i), exported.names.name(i)) << i;
    }
    ASSERT_EQ(back.macros.size(), exported.macros.size());
    EXPECT_EQ(std::memcmp(back.macros.data(), exported.macros.data(), back.macros.size() * kMacroRecordSize),
              0);
    EXPECT_EQ(f.view.applyEnabled, false);
    EXPECT_GE(f.view.refreshes, 1);
    // The import went to all three profiles of the keyboard.
    EXPECT_NE(f.sim().keyBlock(2), f.sim().defaultLayout());
    EXPECT_EQ(f.sim().violations(), 0);
}

// Validation opens the file for reading only, so a read-only file imports; a folder or a FIFO in its place
// cannot be opened and says so, without waiting for a writer.
TEST(ImportProfile, AReadOnlyFileImports) {
    ConfigFixture f;
    const auto file = f.dir / "ro.fwc";
    WriteBytes(file, MustSerialize(EditCopy{}));
    ::chmod(file.c_str(), 0444);
    test::RunUnprivileged({f.dir.path()}, [&]() -> std::string {
        if (f.files.ValidateProfileFile(file) != kProfileValid) return "refused: " + f.files.lastError();
        return {};
    });
    EXPECT_EQ(f.files.ValidateProfileFile(file), kProfileValid);
    EXPECT_TRUE(f.files.ImportFrom(file)) << f.files.lastError();

    fs::create_directory(f.dir / "folder.fwc");
    ASSERT_EQ(::mkfifo((f.dir / "fifo.fwc").c_str(), 0600), 0);
    for (const char* name : {"folder.fwc", "fifo.fwc"}) {
        EXPECT_EQ(f.files.ValidateProfileFile(f.dir / name), kProfileCannotOpen) << name;
        EXPECT_NE(f.files.lastError().find(std::string(name) + ": not a regular file"), std::string::npos)
            << f.files.lastError();
    }
    EXPECT_TRUE(f.prompts.messages.empty());
}

TEST(ImportProfile, TheWorkingFileIsRewrittenOnlyWhenItExists) {
    ConfigFixture f;
    EditCopy source;
    source.image.setEntry(0, 0x1E, MakeEntry(AssignmentKind::Disabled, 0));
    WriteBytes(f.dir / "in.fwc", MustSerialize(source));
    ASSERT_TRUE(f.files.ImportFrom(f.dir / "in.fwc"));
    EXPECT_FALSE(fs::exists(f.paths.userFolder / "$Profile0"));

    WriteBytes(f.paths.userFolder / "$Profile0", MustSerialize(EditCopy{}));
    ASSERT_TRUE(f.files.ImportFrom(f.dir / "in.fwc"));
    EXPECT_EQ(ReadBytes(f.paths.userFolder / "$Profile0"), ReadBytes(f.dir / "in.fwc"));
}

TEST(SaveProfileFile, AFailedSaveLeavesTheOldFile) {
    ConfigFixture f;
    FillEdit(f.store);
    const std::vector<uint8_t> old = MustSerialize(EditCopy{});
    WriteBytes(f.dir / "keep.fwc", old);
    SetWriteFaultAfterBytesForTesting(40000);
    const bool saved = f.files.ExportTo(f.dir / "keep.fwc");
    SetWriteFaultAfterBytesForTesting(-1);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(f.dir / "keep.fwc"), old);
    EXPECT_EQ(f.prompts.messages, (std::vector<std::u16string>{f.texts[TextId::MAIN_UPDATE_BACKUP_NG]}));
    EXPECT_NE(f.files.lastError().find("keep.fwc"), std::string::npos);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(f.dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1u);  // no temporary file left behind
}

TEST(CreateDefaultImage, FileAndMemory) {
    ConfigFixture f;
    ASSERT_TRUE(f.files.CreateDefaultImage(f.dir / "new.fwc", 0, false));
    const auto bytes = ReadBytes(f.dir / "new.fwc");
    EXPECT_EQ(bytes.size(), 32832u);
    EXPECT_TRUE(ParseProfileFile(bytes));
    FillEdit(f.store);
    ASSERT_TRUE(f.files.CreateDefaultImage({}, 0, true));
    EXPECT_EQ(f.store.edit().image.entry(0, 0x1E).kind, 0);
}

// Download then capture: the keyboard gives back what was sent.
TEST(CaptureKeyboardProfiles, GivesBackWhatWasDownloaded) {
    ConfigFixture f;
    FillEdit(f.store);
    {
        std::lock_guard lock(f.store.lockA());
        ASSERT_TRUE(f.transfer.CopyAndDownload(true));
    }
    const EditCopy sent = f.store.edit();
    ASSERT_TRUE(f.files.CaptureKeyboardProfiles(f.dir / "captured.fwc")) << f.files.lastError();
    auto captured = ParseProfileFile(ReadBytes(f.dir / "captured.fwc"));
    ASSERT_TRUE(captured);
    for (int p = 0; p < kProfileCount; ++p) {
        for (int slot = 0; slot < 512; ++slot) {
            ConfigEntry expected = sent.image.entry(p, slot);
            // A captured block starts as a fresh one: every profile's G keys carry their tags.
            if (IsGKeySlot(slot)) expected.code = GKeyTag(slot);
            EXPECT_EQ(captured->image.entry(p, slot), expected) << p << "/" << slot;
        }
    }
    ASSERT_EQ(captured->macros.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(captured->macros[i].Name(), sent.macros[i].Name());
        EXPECT_EQ(captured->macros[i].id, sent.macros[i].id);
        EXPECT_EQ(captured->macros[i].cycles, sent.macros[i].cycles);
        ASSERT_EQ(captured->macros[i].actionCount, sent.macros[i].actionCount);
        EXPECT_EQ(
            std::memcmp(captured->macros[i].actions, sent.macros[i].actions, 8 * sent.macros[i].actionCount),
            0);
    }
    EXPECT_EQ(f.sim().violations(), 0);
}

TEST(CaptureKeyboardProfiles, AnInconsistentMacroTableFailsCleanly) {
    ConfigFixture f;
    std::vector<uint8_t> area(64, 0);
    WriteLe16(area, 0, 0x55AA);
    WriteLe16(area, 2, 64);
    WriteLe16(area, 4, 150);  // more macros than exist
    f.sim().SetMacroArea(area);
    EXPECT_FALSE(f.files.CaptureKeyboardProfiles(f.dir / "c.fwc"));
    EXPECT_FALSE(fs::exists(f.dir / "c.fwc"));
    EXPECT_NE(f.files.lastError().find("150"), std::string::npos);

    WriteLe16(area, 4, 1);
    WriteLe16(area, 2, 60000);  // bigger than the macro memory
    f.sim().SetMacroArea(area);
    EXPECT_FALSE(f.files.CaptureKeyboardProfiles(f.dir / "c.fwc"));
}

TEST(CaptureKeyboardProfiles, AnEmptyMacroAreaHasNoMacros) {
    ConfigFixture f;
    ASSERT_TRUE(f.files.CaptureKeyboardProfiles(f.dir / "c.fwc"));
    const auto copy = ParseProfileFile(ReadBytes(f.dir / "c.fwc"));
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->macros.empty());
    EXPECT_EQ(copy->image.entry(0, 258).code, 0x0303);  // fresh blocks keep the G-key tags
    EXPECT_EQ(copy->image.entry(2, 0x1E).kind, 0);
}

TEST(ReloadFromKeyboard, CapturesIntoTheWorkingFileAndLoadsIt) {
    ConfigFixture f;
    auto block = f.sim().keyBlock(1);
    block[3 * 64] = 0;  // A switched off on profile 2
    block[3 * 64 + 1] = 0;
    block[3 * 64 + 2] = 0;
    f.sim().SetKeyBlock(1, block);
    f.view.applyEnabled = true;
    EXPECT_TRUE(f.files.ReloadFromKeyboard(false));
    EXPECT_EQ(f.seeded, 1);  // the user folder was new
    EXPECT_TRUE(fs::exists(f.paths.userFolder / "$Profile0"));
    EXPECT_EQ(f.store.edit().image.entry(1, 0x1E).kind, 1);
    EXPECT_EQ(f.view.applyEnabled, false);
    EXPECT_EQ(f.view.refreshes, 1);

    f.view.applyEnabled = true;
    EXPECT_TRUE(f.files.ReloadFromKeyboard(true));  // silent: Apply stays as it was
    EXPECT_EQ(f.view.applyEnabled, true);
    EXPECT_EQ(f.seeded, 1);
}

TEST(ReloadFromKeyboard, WithoutKeyboardTheStoreIsTheDefault) {
    ConfigFixture f(test::SimHarness::NoKeyboard());
    FillEdit(f.store);
    EXPECT_TRUE(f.files.ReloadFromKeyboard(false));
    EXPECT_EQ(f.store.edit().image.entry(0, 0x1E).kind, 0);
    EXPECT_TRUE(f.store.edit().macros.empty());
    EXPECT_FALSE(fs::exists(f.paths.userFolder / "$Profile0"));
    EXPECT_EQ(f.view.refreshes, 1);
}

}  // namespace
}  // namespace vornak
