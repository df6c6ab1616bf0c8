// vornakctl as a user runs it: the built program against the simulated keyboard library, with a state file
// that keeps the keyboard's memory between runs and a traffic log of every report.
#include <gtest/gtest.h>

#include "keyboard/key_table.h"
#include "platform/utf.h"
#include "tests/support/traffic.h"
#include "tests/tools/vornakctl_fixture.h"

namespace vornak {
namespace {

namespace fs = std::filesystem;
using test::CtlRun;
using test::ReadText;
using test::Vornakctl;

TEST_F(Vornakctl, ApplyThenCaptureGivesBackTheSameConfiguration) {
    const fs::path in = WriteProfile("in.fwc");
    ASSERT_EQ(Ctl("--simulate apply " + in.string()).code, 0) << lastError;
    ASSERT_EQ(Ctl("--simulate capture " + (dir / "out.fwc").string()).code, 0) << lastError;
    const CtlRun a = Ctl("--json show " + in.string());
    const CtlRun b = Ctl("--json show " + (dir / "out.fwc").string());
    ASSERT_EQ(a.code, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out.find("\"Combo\""), std::string::npos);
    // The state file kept the keyboard's memory between the runs: a third run sees the same.
    const CtlRun status = Ctl("--simulate --json status");
    EXPECT_EQ(status.code, 0);
    EXPECT_NE(status.out.find("\"macroMemory\": 8192"), std::string::npos) << status.out;
}

TEST_F(Vornakctl, LightingWritesExactlyTheBytesOfEachOption) {
    ASSERT_EQ(Ctl("--simulate status").code, 0);
    ClearLog();
    ASSERT_EQ(Ctl("--simulate lighting --profile 2 --speed 0 --brightness 2 --direction first").code, 0)
        << lastError;
    // After the reads of the start-up and of the lighting: one begin / write / end per option.
    std::vector<test::SentCommand> writes;
    for (const auto& c : Sent()) {
        if (c.code == 1 || c.code == 2 || c.code == 6) writes.push_back(c);
    }
    const test::SentCommand begin{1, 0, 0, {}};
    const test::SentCommand end{2, 0, 0, {}};
    // Profile 2 is block 1: speed 0 is stored as 5 at 42 + 2, brightness at 42 + 1, the first direction as
    // 255 at 42 + 3.
    const std::vector<test::SentCommand> expected = {
        begin, {6, 1, 44, {5}}, end, begin, {6, 1, 43, {2}}, end, begin, {6, 1, 45, {0xFF}}, end,
    };
    ASSERT_GE(writes.size(), 9u);
    const std::vector<test::SentCommand> tail(writes.end() - 9, writes.end());
    EXPECT_EQ(tail, expected);
}

TEST_F(Vornakctl, WrongArgumentsChangeNothing) {
    ASSERT_EQ(Ctl("--simulate profile 1").code, 0);  // a write, so the keyboard keeps a state file
    const std::string before = ReadText(state());
    ASSERT_FALSE(before.empty());
    const fs::path bad = dir / "bad.fwc";
    test::WriteBytes(bad, std::vector<uint8_t>(40000, 7));
    struct Case {
        std::string args;
        int code;
        std::string says;
    };
    const Case cases[] = {
        {"--simulate frobnicate", 2, "unknown command"},
        {"--simulate --bogus status", 2, "unknown option"},
        {"--simulate profile 4", 2, "1, 2 or 3"},
        {"--simulate lighting --speed 6", 2, "0 to 5"},
        {"--simulate lighting --colour 12345", 2, "RRGGBB"},
        {"--simulate lighting --effect NoSuchEffect", 2, "no effect"},
        {"--simulate paint --profile 1 --mode 2 Esc=00ff00 Nope=000000", 2, "unknown key name 'Nope'"},
        {"--simulate paint --profile 1 --mode 12 Esc=00ff00", 2, "0 to 9"},
        {"--simulate apply " + (dir / "missing.fwc").string(), 4, "missing.fwc"},
        {"--simulate apply " + bad.string(), 4, "bad.fwc"},
        {"validate " + bad.string(), 4, "not a profile file"},
        {"--library " + (dir / "none.so").string() + " status", 3, "none.so"},
        {"--simulate capture " + (dir / "no/folder/x.fwc").string(), 5, "no such folder"},
    };
    for (const Case& c : cases) {
        const CtlRun r = Ctl(c.args);
        EXPECT_EQ(r.code, c.code) << c.args << ": " << lastError;
        EXPECT_NE(lastError.find(c.says), std::string::npos) << c.args << ": " << lastError;
        EXPECT_EQ(std::count(lastError.begin(), lastError.end(), '\n'), 1) << "one line: " << lastError;
        EXPECT_EQ(ReadText(state()), before) << c.args;
    }
}

// A fresh home has no user folder: every command that opens the keyboard seeds it first, so the lighting
// defaults find the pristine user-mode file they copy from.
TEST_F(Vornakctl, EveryKeyboardCommandSeedsAFreshHome) {
    const fs::path folder = dir / "Documents/Vornak_R2T";
    const std::string tmpl = ReadText(test::BinDir() / "Skins/UserDengColor_3.userd");
    ASSERT_FALSE(tmpl.empty());
    const std::vector<std::string> commands = {"status", "lighting --defaults", "profile 2",
                                               "usermode --profile 1 --mode 0",
                                               "capture " + (dir / "c.fwc").string()};
    for (const std::string& args : commands) {
        fs::remove_all(folder);
        const CtlRun r = Ctl("--simulate " + args);
        EXPECT_EQ(r.code, 0) << args << ": " << lastError;
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(ReadText(folder / ("UserDengColor_" + std::to_string(n) + ".userd")), tmpl)
                << args << ": file " << n;
        EXPECT_NE(ReadText(folder / "wskb.ini").find("usermodeCheck=1"), std::string::npos) << args;
    }
    // Commands that only read a file leave the home alone.
    fs::remove_all(folder);
    ASSERT_EQ(Ctl("keys").code, 0);
    ASSERT_EQ(Ctl("validate " + (dir / "c.fwc").string()).code, 0) << lastError;
    EXPECT_FALSE(fs::exists(folder));
}

// The library started without a keyboard: exit 3 through the real binding and start-up detection, and
// nothing reaches the home or the keyboard.
TEST_F(Vornakctl, NoKeyboardAttachedIsExitThree) {
    ASSERT_EQ(Ctl("--simulate profile 1").code, 0);
    const std::string before = ReadText(state());
    fs::remove_all(dir / "Documents");
    ClearLog();
    ::setenv("VORNAK_SIM_DETACHED", "1", 1);
    for (const char* args : {"status", "profile 2", "lighting --brightness 1", "apply /nonexistent.fwc"}) {
        const CtlRun r = Ctl(std::string("--simulate ") + args);
        if (std::string_view(args).starts_with("apply")) {
            EXPECT_EQ(r.code, 4) << "the file is checked first: " << lastError;
            continue;
        }
        EXPECT_EQ(r.code, 3) << args << ": " << lastError;
        EXPECT_NE(lastError.find("no Nimbrel KX1 keyboard is attached"), std::string::npos) << lastError;
    }
    EXPECT_EQ(ReadText(state()), before);
    EXPECT_FALSE(fs::exists(dir / "Documents"));
    EXPECT_TRUE(Sent().empty());
    ::setenv("VORNAK_SIM_DETACHED", "yes", 1);
    const CtlRun r = Ctl("--simulate status");
    EXPECT_EQ(r.code, 0) << "an unknown value leaves the keyboard attached: " << lastError;
    EXPECT_NE(lastError.find("VORNAK_SIM_DETACHED"), std::string::npos) << lastError;
}

TEST_F(Vornakctl, PaintSendsTheKeysAndKeepsTheBrushes) {
    ASSERT_EQ(Ctl("--simulate paint --profile 2 --mode 4 esc=0080ff \"Num Enter\"=112233").code, 0)
        << lastError;
    const fs::path file = dir / "Documents/Vornak_R2T/UserDengColor_1.userd";
    ASSERT_TRUE(fs::exists(file));
    ClearLog();
    ASSERT_EQ(Ctl("--simulate usermode --profile 2 --mode 4").code, 0) << lastError;
    // The whole image of profile 2 goes as 7 reports of 54 bytes; Esc (position 0) and Num Enter (104) among
    // them.
    std::vector<test::SentCommand> colours;
    for (const auto& c : Sent()) {
        if (c.code == 17) colours.push_back(c);
    }
    ASSERT_EQ(colours.size(), 7u);
    const auto rgb = [](const test::SentCommand& c, size_t key) {
        return std::vector<uint8_t>(c.data.begin() + 3 * key, c.data.begin() + 3 * key + 3);
    };
    EXPECT_EQ(colours[0].length, 54);
    EXPECT_EQ(colours[0].offset, 512);                                         // position 0 of profile 2
    EXPECT_EQ(rgb(colours[0], 0), (std::vector<uint8_t>{0x00, 0x80, 0xFF}));   // Esc
    EXPECT_EQ(colours[5].offset, 782);                                         // position 90: 90 x 3 + 512
    EXPECT_EQ(rgb(colours[5], 14), (std::vector<uint8_t>{0x11, 0x22, 0x33}));  // Num Enter, the 15th key
}

}  // namespace
}  // namespace vornak
