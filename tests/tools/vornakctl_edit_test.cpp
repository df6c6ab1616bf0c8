// Editing profile files with vornakctl: assign, macro and diff, and what reaches the simulated keyboard.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "keyboard/key_table.h"
#include "macro/macro_blob.h"
#include "platform/bytes.h"
#include "tests/support/config_builders.h"
#include "tests/tools/vornakctl_fixture.h"

namespace vornak {
namespace {

namespace fs = std::filesystem;
using test::CtlRun;
using test::ReadBytes;
using test::ReadText;
using test::Vornakctl;

constexpr size_t kCapsLockPosition = 63;
constexpr size_t kF5Position = 5;

// The macro memory as this test reads it, apart from the program's own decoder: the header, the offsets,
// and per macro its count, its name and its actions as (press, usage type, delay, w1 low, w1 high).
struct BlobAction {
    bool press;
    int type;
    uint32_t delay;
    uint8_t lo, hi;
    friend bool operator==(const BlobAction&, const BlobAction&) = default;
};
struct BlobMacro {
    int cycles;
    std::u16string name;
    std::vector<BlobAction> actions;
    friend bool operator==(const BlobMacro&, const BlobMacro&) = default;
};

std::vector<BlobMacro> ReadBlob(std::span<const uint8_t> m) {
    EXPECT_GE(m.size(), 16u);
    EXPECT_EQ(ReadLe16(m, 0), 0x55AA);
    const size_t size = ReadLe16(m, 2);
    const size_t count = ReadLe16(m, 4);
    const bool names = ReadLe16(m, 6) == 1;
    EXPECT_LE(size, m.size());
    std::vector<BlobMacro> out;
    for (size_t i = 0; i < count; ++i) {
        size_t at = ReadLe16(m, 16 + 2 * i);
        BlobMacro macro;
        const size_t actions = ReadLe16(m, at);
        macro.cycles = m[at + 2];
        const size_t nameUnits = m[at + 3];
        EXPECT_EQ(names, nameUnits > 0);
        at += 4;
        for (size_t k = 0; k < actions; ++k, at += 4) {
            const uint16_t w0 = ReadLe16(m, at);
            macro.actions.push_back(
                {(w0 & 0x8000) != 0, (w0 >> 12) & 7, (w0 & 0xFFFu) * 10u, m[at + 2], m[at + 3]});
        }
        for (size_t k = 0; k < nameUnits; ++k, at += 2)
            macro.name.push_back(static_cast<char16_t>(ReadLe16(m, at)));
        EXPECT_LE(at, size);
        out.push_back(macro);
    }
    return out;
}

std::array<uint8_t, 3> KeyCodeAt(const sim::SimMemory& memory, int profile, size_t position) {
    const size_t at = profile * kKeyBlockSize + 3 * position;
    return {memory.keyBlocks[at], memory.keyBlocks[at + 1], memory.keyBlocks[at + 2]};
}

class VornakctlEdit : public Vornakctl {
  protected:
    // A file as a fresh keyboard gives it.
    std::string Fresh(const std::string& name = "kx1.fwc") {
        EXPECT_EQ(Ctl("--simulate capture " + (dir / name).string()).code, 0) << lastError;
        return (dir / name).string();
    }

    std::string WriteCopy(const std::string& name, EditCopy copy) {
        test::WriteBytes(dir / name, *SerializeProfileFile(copy));
        return (dir / name).string();
    }
};

TEST_F(VornakctlEdit, EveryKindOfActionRoundTripsThroughApplyAndCapture) {
    const std::string file = Fresh();
    ASSERT_EQ(Ctl("macro " + file + " add Copy --repeat 2 +ctrl +c -c -ctrl").code, 0) << lastError;
    ASSERT_EQ(
        Ctl("assign " + file +
            " --profile 1 \"Caps Lock=key:Ctrl\" F5=macro:Copy F6=media:volume-up F7=function:select-all "
            "A=key:B ==key:Minus")
            .code,
        0)
        << lastError;
    ASSERT_EQ(Ctl("assign " + file + " --profile 3 F8=key:F9 \"Num 5=macro:#1\"").code, 0) << lastError;
    // Default is a kind too: a key given one and then returned.
    ASSERT_EQ(Ctl("assign " + file + " --profile 2 Esc=key:Tab").code, 0) << lastError;
    ASSERT_EQ(Ctl("assign " + file + " --profile 2 Esc=default").code, 0) << lastError;
    ASSERT_EQ(Ctl("--simulate apply " + file).code, 0) << lastError;

    const std::string back = Fresh("back.fwc");
    const CtlRun diff = Ctl("diff " + file + " " + back);
    EXPECT_EQ(diff.code, 0) << diff.out;
    EXPECT_EQ(diff.out, "");
    const CtlRun shown = Ctl("show " + back);
    for (const char* line :
         {"Caps Lock            key:Ctrl", "F5                   macro:Copy",
          "F6                   media:volume-up", "F7                   function:select-all",
          "=                    key:Minus", "Num 5                macro:Copy"}) {
        EXPECT_NE(shown.out.find(line), std::string::npos) << line << "\n" << shown.out;
    }
    EXPECT_NE(shown.out.find("repeat 2, 4 actions: +Ctrl C -Ctrl"), std::string::npos) << shown.out;
    EXPECT_EQ(shown.out.find("Esc"), std::string::npos) << shown.out;
}

TEST_F(VornakctlEdit, AMacroMadeHereIsTheBlobTheMacroPageMakesForTheSameActions) {
    const std::string file = Fresh();
    ASSERT_EQ(Ctl("macro " + file + " add Copy +ctrl +c 40 -c -ctrl").code, 0) << lastError;
    ASSERT_EQ(Ctl("assign " + file + " --profile 1 F5=macro:Copy \"Caps Lock=key:Ctrl\"").code, 0)
        << lastError;
    ASSERT_EQ(Ctl("--simulate apply " + file).code, 0) << lastError;
    const sim::SimMemory memory = Memory();

    // The macro page records the same four actions into a fresh record of the same name.
    MacroRecord page = NewMacroRecord(u"Copy", {});
    page.isNew = 0;
    const std::vector<MacroAction> actions = {{50, 0x01D, 0}, {40, 0x02E, 0}, {50, 0x02E, 1}, {0, 0x01D, 1}};
    page.actionCount = static_cast<uint16_t>(actions.size());
    std::copy(actions.begin(), actions.end(), page.actions);
    const auto expected = EncodeMacroBlob(std::span(&page, 1), true);
    ASSERT_TRUE(expected);
    ASSERT_GE(memory.macro.size(), expected->size());
    EXPECT_TRUE(std::equal(expected->begin(), expected->end(), memory.macro.begin()));

    const std::vector<BlobMacro> sent = ReadBlob(memory.macro);
    ASSERT_EQ(sent, ReadBlob(*expected));
    // Ctrl by its modifier bit, C by its keyboard usage (0x06); delays after each action.
    const std::vector<BlobAction> wanted = {{true, 2, 50, 0x01, 0x01},
                                            {true, 2, 40, 0x02, 0x06},
                                            {false, 2, 50, 0x02, 0x06},
                                            {false, 2, 0, 0x01, 0x01}};
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].actions, wanted);
    EXPECT_EQ(sent[0].cycles, 1);
    EXPECT_EQ(sent[0].name, u"Copy");
    // F5 plays the macro at place 0; Caps Lock sends Ctrl; the other profiles keep their defaults.
    EXPECT_EQ(KeyCodeAt(memory, 0, kF5Position), (std::array<uint8_t, 3>{5, 1, 0}));
    EXPECT_EQ(KeyCodeAt(memory, 0, kCapsLockPosition), (std::array<uint8_t, 3>{2, 1, 0x01}));
    for (size_t position : {kF5Position, kCapsLockPosition}) {
        const std::array<uint8_t, 3> factory = {memory.defaultLayout[3 * position],
                                                memory.defaultLayout[3 * position + 1],
                                                memory.defaultLayout[3 * position + 2]};
        EXPECT_EQ(KeyCodeAt(memory, 1, position), factory);
        EXPECT_EQ(KeyCodeAt(memory, 2, position), factory);
    }
}

TEST_F(VornakctlEdit, TheStepLanguageAsTyped) {
    const std::string file = Fresh();
    ASSERT_EQ(Ctl("macro " + file + " add Copy +ctrl +c 40 -c -ctrl").code, 0) << lastError;
    const CtlRun json = Ctl("--json macro " + file + " show Copy");
    EXPECT_NE(json.out.find("\"steps\": [\"+Ctrl\", \"+C\", \"40\", \"-C\", \"-Ctrl\"]"), std::string::npos)
        << json.out;
    std::vector<std::string> delays;
    const std::regex delay("\"delay\": ([0-9]+)");
    for (std::sregex_iterator it(json.out.begin(), json.out.end(), delay), end; it != end; ++it)
        delays.push_back((*it)[1]);
    EXPECT_EQ(delays, (std::vector<std::string>{"50", "40", "50", "0"}));

    // Rounded delays are said on stderr, and the macro is made.
    ASSERT_EQ(Ctl("macro " + file + " add Digits --repeat 3 +5 -5 45 +7 12ms -7").code, 0) << lastError;
    EXPECT_NE(lastError.find("'45' is rounded down to 40 ms"), std::string::npos) << lastError;
    EXPECT_NE(lastError.find("'12ms' is rounded down to 10 ms"), std::string::npos) << lastError;
    const CtlRun shown = Ctl("macro " + file + " show digits");
    EXPECT_NE(shown.out.find("repeat 3, 4 actions"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("steps: +5 -5 40 +7 10 -7\n"), std::string::npos) << shown.out;

    // set replaces the steps and keeps the id; show prints steps that set reads back unchanged.
    ASSERT_EQ(Ctl("macro " + file + " set Copy a \"+Caps Lock\" 30 \"-Caps Lock\" 0").code, 0) << lastError;
    const CtlRun again = Ctl("macro " + file + " show Copy");
    EXPECT_NE(again.out.find("Copy (id 1): repeat 1, 4 actions"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("steps: A '+Caps Lock' 30 '-Caps Lock'\n"), std::string::npos) << again.out;
    const auto before = ReadBytes(file);
    ASSERT_EQ(Run(Bin() + " macro " + file + " set Copy A '+Caps Lock' 30 '-Caps Lock'").code, 0)
        << lastError;
    EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(VornakctlEdit, RefusalsGiveTheirCodeOneLineAndLeaveTheFileAsItWas) {
    const std::string file = Fresh();
    ASSERT_EQ(Ctl("macro " + file + " add Copy +ctrl +c -c -ctrl").code, 0);
    ASSERT_EQ(Ctl("assign " + file + " --profile 1 F5=macro:Copy").code, 0);
    EditCopy twins;
    twins.macros = {test::MakeMacro(u"Twin", 3), test::MakeMacro(u"Twin", 8)};
    const std::string twinFile = WriteCopy("twins.fwc", twins);
    EditCopy full;
    for (uint16_t id = 1; id <= 100; ++id)
        full.macros.push_back(test::MakeMacro(u"M" + std::u16string(id, u'x'), id));
    const std::string fullFile = WriteCopy("full.fwc", full);
    std::string longMacro;
    for (int i = 0; i < 1001; ++i)
        longMacro += " a";

    struct Case {
        std::string args;
        int code;
        std::string says;
    };
    const Case cases[] = {
        {"assign " + file + " --profile 1 Nope=key:A", 2, "no key is named 'Nope'"},
        {"assign " + file + " --profile 1 A=key:Nope", 2, "no key is named 'Nope'"},
        {"assign " + file + " --profile 1 A=frob", 2, "cannot read the action 'frob'"},
        {"assign " + file + " --profile 1 A", 2, "expected KEY=ACTION"},
        {"assign " + file + " --profile 1 A=macro:Paste", 2, "no macro is named 'Paste'"},
        {"assign " + file + " --profile 1 A=macro:Copy*0", 2, "1 to 255"},
        {"assign " + file + " --profile 1 A=media:loud", 2, "no media action"},
        {"assign " + file + " --profile 4 A=default", 2, "1, 2, 3 or all"},
        {"assign " + file + " A=default", 2, "--profile P is needed"},
        {"assign " + file + " --profile 1 A=default A=key:B", 2, "given two assignments"},
        {"assign " + file + " --profile 1 G9=key:A", 6, "G9 takes only a macro or default"},
        {"assign " + file + " --profile 2 G9:B=media:mute", 6, "G9:B takes only a macro or default"},
        {"assign " + file + " --profile 1 Power=key:A", 6, "no key of the keyboard"},
        {"assign " + file + " --profile 1 A=key:0x120", 6, "cannot send"},
        {"assign " + twinFile + " --profile 1 A=macro:twin", 6, "(ids 3 and 8): name one as #ID"},
        {"assign " + (dir / "none.fwc").string() + " --profile 1 A=default", 4, "none.fwc"},
        {"macro " + file + " add Paste +ctrl +nope", 2, "the step '+nope' names no key"},
        {"macro " + file + " add Paste +a 40001", 2, "longer than 40000"},
        {"macro " + file + " add Paste 40 +a", 2, "follows no key"},
        {"macro " + file + " add Paste +a 40 50", 2, "follows another delay"},
        {"macro " + file + " add Paste --repeat 0 a", 2, "--repeat takes 1 to 255"},
        {"macro " + file + " add COPY a", 6, "'Copy' (id 1) has that name"},
        {"macro " + file + " add Mouse \"+Left Button\"", 6, "cannot play Left Button"},
        {"macro " + file + " add Long" + longMacro, 6, "2002 actions"},
        {"macro " + fullFile + " add OneMore a", 6, "100 macros"},
        {"macro " + file + " remove Copy", 6, "played by F5 (profile 1); --yes removes it"},
        {"macro " + file + " rename Copy '#2'", 2, "may not begin with '#'"},
        {"macro " + file + " show Paste", 2, "no macro is named 'Paste'"},
        {"macro " + file + " frob", 2, "unknown macro command 'frob'"},
        {"macro " + file + " list --repeat 2", 2, "--repeat is for macro add and macro set"},
        {"show " + file + " --bogus", 2, "unknown option '--bogus'"},
        {"diff " + file, 2, "two FILEs"},
        {"diff " + file + " " + (dir / "none.fwc").string(), 4, "none.fwc"},
    };
    const auto before = ReadBytes(file);
    for (const Case& c : cases) {
        const CtlRun r = Ctl(c.args);
        EXPECT_EQ(r.code, c.code) << c.args << ": " << lastError;
        EXPECT_NE(lastError.find(c.says), std::string::npos) << c.args << ": " << lastError;
        EXPECT_EQ(std::count(lastError.begin(), lastError.end(), '\n'), 1) << "one line: " << lastError;
        EXPECT_EQ(ReadBytes(file), before) << c.args;
    }
}

TEST_F(VornakctlEdit, RemovingAMacroThatKeysPlayResetsThemWithYes) {
    const std::string file = Fresh();
    ASSERT_EQ(Ctl("macro " + file + " add Copy +ctrl +c -c -ctrl").code, 0);
    ASSERT_EQ(Ctl("macro " + file + " add Paste +ctrl +v -v -ctrl").code, 0);
    ASSERT_EQ(Ctl("assign " + file + " --profile all F5=macro:Copy F6=macro:Paste").code, 0);
    // --yes after the command, as anywhere else.
    const CtlRun r = Ctl("macro " + file + " remove copy --yes");
    ASSERT_EQ(r.code, 0) << lastError;
    EXPECT_NE(r.out.find("F5 (profile 1), F5 (profile 2), F5 (profile 3) returned to default"),
              std::string::npos)
        << r.out;
    const CtlRun shown = Ctl("show " + file);
    EXPECT_EQ(shown.out.find("F5 "), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("F6                   macro:Paste"), std::string::npos) << shown.out;
    // The id stays free for the next macro, and no key plays the new one by mistake.
    ASSERT_EQ(Ctl("macro " + file + " add Cut +ctrl +x -x -ctrl").code, 0);
    EXPECT_NE(Ctl("macro " + file + " list").out.find("    1       1        4  Cut\n"), std::string::npos);
    ASSERT_EQ(Ctl("macro " + file + " rename Cut Snip").code, 0) << lastError;
    EXPECT_NE(Ctl("macro " + file + " show snip").out.find("played by: no key"), std::string::npos);
}

TEST_F(VornakctlEdit, OnATerminalRemoveAsksFirst) {
    if (std::system("command -v script >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no script(1) to give a terminal";
    const std::string file = Fresh();
    ASSERT_EQ(Ctl("macro " + file + " add Copy +ctrl +c -c -ctrl").code, 0);
    ASSERT_EQ(Ctl("assign " + file + " --profile 2 F5=macro:Copy").code, 0);
    const auto before = ReadBytes(file);
    const auto onTerminal = [&](const char* answer) {
        return Run(std::string("echo ") + answer + " | script -qec '" + Bin() + " macro " + file +
                   " remove Copy' /dev/null");
    };
    const CtlRun no = onTerminal("n");
    EXPECT_EQ(no.code, 6);
    EXPECT_NE(no.out.find("Delete it anyway? (F5 (profile 2)) [y/N]"), std::string::npos) << no.out;
    EXPECT_EQ(ReadBytes(file), before);
    const CtlRun yes = onTerminal("y");
    EXPECT_EQ(yes.code, 0) << yes.out;
    EXPECT_NE(Ctl("macro " + file + " list").out.find("0 macros"), std::string::npos);
}

TEST_F(VornakctlEdit, ListShowsTheTableAgainstTheAttachedKeyboardsMemory) {
    const std::string file = Fresh();
    ASSERT_EQ(Ctl("macro " + file + " add ab a b").code, 0);
    const CtlRun attached = Ctl("--simulate macro " + file + " list");
    // 16 + 2 + 4 + 4 x 4 = 38 bytes, 4 more with the name.
    EXPECT_NE(
        attached.out.find("macro table: 42 bytes with names, 38 without; the keyboard's macro memory holds "
                          "8192 bytes"),
        std::string::npos)
        << attached.out;
    const CtlRun json = Ctl("macro --json " + file + " list --simulate");
    EXPECT_NE(json.out.find("\"size\": {\"withNames\": 42, \"withoutNames\": 38}, \"keyboardMemory\": 8192"),
              std::string::npos)
        << json.out;
    const CtlRun alone = Ctl("--library " + (dir / "none.so").string() + " macro " + file + " list");
    EXPECT_EQ(alone.code, 0);
    EXPECT_EQ(lastError, "");
    EXPECT_NE(alone.out.find("(no keyboard attached to compare with)"), std::string::npos) << alone.out;
}

TEST_F(VornakctlEdit, ApplyRefusesMacrosBeyondTheKeyboardsMemoryBeforeSendingAnything) {
    sim::SimMemory small = sim::SimMemory::Factory();
    small.settings[settings_field::kMacroUnits] = 1;  // 128 bytes
    small.macro.assign(128, 0);
    test::WriteText(state(), sim::FormatState(small));
    const std::string file = Fresh();
    std::string steps;
    for (int i = 0; i < 14; ++i)
        steps += " a";  // 28 actions: 16 + 2 + 4 + 112 = 134 bytes without the name
    ASSERT_EQ(Ctl("macro " + file + " add Long" + steps).code, 0) << lastError;
    const std::string stateBefore = ReadText(state());
    ClearLog();
    const CtlRun r = Ctl("--simulate apply " + file);
    EXPECT_EQ(r.code, 6);
    EXPECT_NE(lastError.find("its macros need 134 bytes, the keyboard's macro memory holds 128"),
              std::string::npos)
        << lastError;
    EXPECT_EQ(std::count(lastError.begin(), lastError.end(), '\n'), 1) << lastError;
    EXPECT_EQ(test::CountCode(Sent(), 1), 0) << "a write sequence began";
    EXPECT_EQ(ReadText(state()), stateBefore);
}

TEST_F(VornakctlEdit, DiffSaysWhatDiffersPerProfile) {
    const std::string a = Fresh("a.fwc");
    fs::copy_file(a, dir / "b.fwc");
    const std::string b = (dir / "b.fwc").string();
    ASSERT_EQ(Ctl("macro " + b + " add Copy +ctrl +c -c -ctrl").code, 0);
    ASSERT_EQ(Ctl("assign " + b + " --profile 2 \"Caps Lock=key:Ctrl\" G3:B=macro:Copy*2").code, 0);
    const CtlRun text = Ctl("diff " + a + " " + b);
    EXPECT_EQ(text.code, 1);
    EXPECT_EQ(text.out,
              "Profile 2\n"
              "  Caps Lock            default -> key:Ctrl\n"
              "  G3:B                 default -> macro:Copy\n"
              "Macros\n"
              "  + Copy  only in " +
                  b + ", repeat 2: +Ctrl C -Ctrl\n");
    const CtlRun json = Ctl("diff --json " + b + " " + a);
    EXPECT_EQ(json.code, 1);
    EXPECT_NE(
        json.out.find("{\"profile\": 2, \"key\": \"Caps Lock\", \"slot\": 58, \"a\": \"key:Ctrl\", \"b\": "
                      "\"default\"}"),
        std::string::npos)
        << json.out;
    EXPECT_NE(
        json.out.find("{\"name\": \"Copy\", \"a\": {\"id\": 1, \"repeat\": 2, \"steps\": [\"+Ctrl\", \"C\", "
                      "\"-Ctrl\"]}, \"b\": null}"),
        std::string::npos)
        << json.out;
}

TEST_F(VornakctlEdit, OptionsMayStandAfterTheCommandAndDashDashEndsThem) {
    const std::string file = Fresh();
    EXPECT_EQ(Ctl("apply --yes " + file + " --simulate").code, 0) << lastError;
    EXPECT_EQ(Ctl("show " + file + " --json").out.substr(0, 13), "{\"profiles\": ");
    // After "--" an argument that looks like an option is a step: "--" again is the release of minus.
    ASSERT_EQ(Ctl("macro " + file + " add M -- +- --").code, 0) << lastError;
    EXPECT_NE(Ctl("macro " + file + " show M").out.find("steps: Minus\n"), std::string::npos);
    // A step such as -h is no option.
    ASSERT_EQ(Ctl("macro " + file + " add H +h -h").code, 0) << lastError;
}

TEST_F(VornakctlEdit, TheHelpNamesEveryCommandAndEachHasItsOwn) {
    const CtlRun help = Ctl("--help");
    ASSERT_EQ(help.code, 0);
    EXPECT_EQ(help.out.rfind("usage: vornakctl ", 0), 0u);
    for (const char* section : {"\ncommands:\n", "\noptions:\n", "\nexamples:\n", "\nexit codes:\n"})
        EXPECT_NE(help.out.find(section), std::string::npos) << section;
    for (const std::string command :
         {"keys", "actions", "validate", "show", "diff", "assign", "macro", "status", "capture", "apply",
          "profile", "lighting", "paint", "usermode"}) {
        EXPECT_NE(help.out.find("\n  " + command + " "), std::string::npos) << command;
        const CtlRun own = Ctl(command + " --help");
        EXPECT_EQ(own.code, 0) << command;
        EXPECT_EQ(own.out.rfind("usage: vornakctl " + command, 0), 0u) << own.out;
        EXPECT_EQ(Ctl("help " + command).out, own.out);
    }
    for (int code = 0; code <= 6; ++code)
        EXPECT_NE(help.out.find("\n  " + std::to_string(code) + " "), std::string::npos) << code;
}

// The README's example, line by line, as a user would type it.
using VornakctlReadme = VornakctlEdit;

TEST_F(VornakctlReadme, RemapsCapsLockAndPutsACopyMacroOnF5) {
    const std::string readme = ReadText(test::SourceDir() / "README.md");
    const size_t marker = readme.find("<!-- vornakctl-example:");
    ASSERT_NE(marker, std::string::npos);
    const size_t start = readme.find("```sh\n", marker);
    const size_t end = readme.find("```\n", start + 6);
    ASSERT_NE(end, std::string::npos);
    std::istringstream lines(readme.substr(start + 6, end - start - 6));
    const std::regex comment("\\s+# .*$");
    std::vector<std::string> commands;
    for (std::string line; std::getline(lines, line);) {
        line = std::regex_replace(line, comment, "");
        ASSERT_EQ(line.rfind("vornakctl ", 0), 0u) << line;
        commands.push_back(line);
        // The simulated keyboard stands for the real one: the option may go anywhere.
        const CtlRun r = Run(Bin() + " --simulate" + line.substr(9));
        ASSERT_EQ(r.code, 0) << line << ": " << lastError;
        if (line.find(" show ") != std::string::npos) {
            EXPECT_NE(r.out.find("Caps Lock            key:Ctrl\n"), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("F5                   macro:Copy\n"), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("Copy  repeat 1, 4 actions: +Ctrl C -Ctrl\n"), std::string::npos) << r.out;
        }
    }
    ASSERT_GE(commands.size(), 5u);
    EXPECT_NE(commands.back().find(" apply "), std::string::npos);
    const sim::SimMemory memory = Memory();
    EXPECT_EQ(KeyCodeAt(memory, 0, kCapsLockPosition), (std::array<uint8_t, 3>{2, 1, 0x01}));
    EXPECT_EQ(KeyCodeAt(memory, 0, kF5Position), (std::array<uint8_t, 3>{5, 1, 0}));
    const std::vector<BlobMacro> macros = ReadBlob(memory.macro);
    ASSERT_EQ(macros.size(), 1u);
    EXPECT_EQ(macros[0].name, u"Copy");
    const std::vector<BlobAction> copy = {{true, 2, 50, 0x01, 0x01},
                                          {true, 2, 50, 0x02, 0x06},
                                          {false, 2, 50, 0x02, 0x06},
                                          {false, 2, 0, 0x01, 0x01}};
    EXPECT_EQ(macros[0].actions, copy);
}

}  // namespace
}  // namespace vornak
