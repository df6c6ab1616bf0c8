#include "macro/macro_steps.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/utf.h"

namespace vornak {
namespace {

const LanguageTexts kBuiltIn;

constexpr KeyCode kCtrl = 0x01D;
constexpr KeyCode kC = 0x02E;
constexpr KeyCode kA = 0x01E;
constexpr KeyCode kDigit5 = 0x006;

MacroAction Down(KeyCode k, uint32_t delay) {
    return {delay, k, 0};
}
MacroAction Up(KeyCode k, uint32_t delay) {
    return {delay, k, 1};
}

// Actions compared field by field, printed readably when they differ.
using Act = std::tuple<std::string, uint16_t, uint32_t>;
std::vector<Act> T(const std::vector<MacroAction>& actions) {
    std::vector<Act> out;
    for (const MacroAction& a : actions)
        out.emplace_back(a.release == 1 ? "up" : "down", a.keyCode, a.delay);
    return out;
}
std::optional<std::vector<Act>> T(const std::optional<std::vector<MacroAction>>& actions) {
    if (!actions) return std::nullopt;
    return T(*actions);
}

struct Parsed {
    std::optional<std::vector<MacroAction>> actions;
    std::vector<std::string> notes;
    EditProblem problem;
};

Parsed Parse(std::vector<std::u16string> steps) {
    Parsed p;
    p.actions = ParseMacroSteps(steps, kBuiltIn, &p.notes, &p.problem);
    return p;
}

TEST(MacroSteps, PressesReleasesTapsAndTheDelaysBetween) {
    // Each action waits 50 ms unless a number follows it; the last one waits 0.
    EXPECT_EQ(T(Parse({u"+ctrl", u"+c", u"40", u"-c", u"-ctrl"}).actions),
              T(std::vector{Down(kCtrl, 50), Down(kC, 40), Up(kC, 50), Up(kCtrl, 0)}));
    // A tap is a press of 50 ms and a release that takes the number after it.
    EXPECT_EQ(T(Parse({u"a"}).actions), T(std::vector{Down(kA, 50), Up(kA, 0)}));
    EXPECT_EQ(T(Parse({u"a", u"100ms", u"C"}).actions),
              T(std::vector{Down(kA, 50), Up(kA, 100), Down(kC, 50), Up(kC, 0)}));
    // A number after the last action is kept; "ms" in any case.
    EXPECT_EQ(T(Parse({u"+a", u"30MS"}).actions), T(std::vector{Down(kA, 30)}));
    EXPECT_EQ(T(Parse({u"+a", u"0", u"-a", u"40000"}).actions), T(std::vector{Down(kA, 0), Up(kA, 40000)}));
    EXPECT_EQ(T(Parse({}).actions), T(std::vector<MacroAction>{}));
}

TEST(MacroSteps, ABareNumberIsADelayAndDigitKeysArePressedByName) {
    EXPECT_EQ(T(Parse({u"+5", u"-5"}).actions), T(std::vector{Down(kDigit5, 50), Up(kDigit5, 0)}));
    EXPECT_EQ(T(Parse({u"+a", u"5"}).actions), T(std::vector{Down(kA, 0)}));
    // "-" alone is the minus key, "--" its release; "+=" the equals key.
    EXPECT_EQ(T(Parse({u"-"}).actions), T(std::vector{Down(0x00C, 50), Up(0x00C, 0)}));
    EXPECT_EQ(T(Parse({u"+-", u"--", u"+=", u"-="}).actions),
              T(std::vector{Down(0x00C, 50), Up(0x00C, 50), Down(0x00D, 50), Up(0x00D, 0)}));
    EXPECT_EQ(T(Parse({u"+Caps Lock", u"-caps lock"}).actions),
              T(std::vector{Down(0x03A, 50), Up(0x03A, 0)}));
}

TEST(MacroSteps, DelaysAreRoundedDownToTensAndSaidSo) {
    const Parsed p = Parse({u"+a", u"45", u"-a", u"12ms", u"+c", u"40"});
    EXPECT_EQ(T(p.actions), T(std::vector{Down(kA, 40), Up(kA, 10), Down(kC, 40)}));
    ASSERT_EQ(p.notes.size(), 2u);
    EXPECT_NE(p.notes[0].find("'45'"), std::string::npos) << p.notes[0];
    EXPECT_NE(p.notes[0].find("40 ms"), std::string::npos) << p.notes[0];
    EXPECT_NE(p.notes[1].find("'12ms'"), std::string::npos) << p.notes[1];
}

TEST(MacroSteps, RefusalsNameTheStep) {
    struct Case {
        std::vector<std::u16string> steps;
        EditProblem::Kind kind;
        std::string says;
    };
    const Case cases[] = {
        {{u"40", u"+a"}, EditProblem::Kind::Unreadable, "'40' follows no key"},
        {{u"+a", u"40", u"50"}, EditProblem::Kind::Unreadable, "'50' follows another delay, '40'"},
        {{u"+a", u"40001"}, EditProblem::Kind::Unreadable, "'40001' is longer than 40000"},
        {{u"+a", u"99999999999999999999ms"}, EditProblem::Kind::Unreadable, "longer than 40000"},
        {{u"+a", u"+nope"}, EditProblem::Kind::Unreadable, "'+nope' names no key"},
        {{u"+"}, EditProblem::Kind::Unreadable, "'+' names no key"},
        {{u"a", u"4O"}, EditProblem::Kind::Unreadable, "'4O' names no key"},
        {{u"a", u""}, EditProblem::Kind::Unreadable, "empty step"},
        {{u"+Left Button"}, EditProblem::Kind::Refused, "cannot play Left Button"},
        {{u"-Copy"}, EditProblem::Kind::Refused, "cannot play Copy"},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.steps);
        EXPECT_FALSE(p.actions) << c.says;
        EXPECT_EQ(p.problem.kind, c.kind) << c.says;
        EXPECT_NE(p.problem.message.find(c.says), std::string::npos) << p.problem.message;
    }
}

TEST(MacroSteps, AtMost2000Actions) {
    std::vector<std::u16string> steps(1000, u"a");
    ASSERT_TRUE(Parse(steps).actions);
    EXPECT_EQ(Parse(steps).actions->size(), 2000u);
    steps.push_back(u"+a");
    const Parsed p = Parse(steps);
    EXPECT_FALSE(p.actions);
    EXPECT_EQ(p.problem.kind, EditProblem::Kind::Refused);
    EXPECT_NE(p.problem.message.find("2001"), std::string::npos) << p.problem.message;
}

TEST(MacroSteps, MultimediaKeysPlayButMouseButtonsAndFunctionsDoNot) {
    EXPECT_TRUE(KeyPlayableInMacro(0x03A));
    EXPECT_TRUE(KeyPlayableInMacro(0x11D));  // a modifier, by its bit
    EXPECT_TRUE(KeyPlayableInMacro(0x120));  // consumer page
    EXPECT_TRUE(KeyPlayableInMacro(0x15F));  // Sleep, generic desktop page
    EXPECT_FALSE(KeyPlayableInMacro(0x171));
    EXPECT_FALSE(KeyPlayableInMacro(0x064));  // F13 has no usage
    EXPECT_FALSE(KeyPlayableInMacro(0x136));  // the second Right Shift reads back as the first
    EXPECT_FALSE(KeyPlayableInMacro(0));
}

std::vector<std::u16string> Steps(std::initializer_list<const char16_t*> list) {
    return {list.begin(), list.end()};
}

TEST(MacroSteps, FormattingIsTheShortestFormThatReadsBack) {
    EXPECT_EQ(
        FormatMacroSteps(std::vector{Down(kCtrl, 50), Down(kC, 40), Up(kC, 50), Up(kCtrl, 0)}, kBuiltIn),
        Steps({u"+Ctrl", u"+C", u"40", u"-C", u"-Ctrl"}));
    EXPECT_EQ(
        FormatMacroSteps(std::vector{Down(kCtrl, 50), Down(kC, 50), Up(kC, 50), Up(kCtrl, 0)}, kBuiltIn),
        Steps({u"+Ctrl", u"C", u"-Ctrl"}));
    // A digit key is never written as a tap, which would read as a delay.
    EXPECT_EQ(FormatMacroSteps(std::vector{Down(kDigit5, 50), Up(kDigit5, 0)}, kBuiltIn),
              Steps({u"+5", u"-5"}));
    EXPECT_EQ(FormatMacroSteps(std::vector{Down(0x00C, 50), Up(0x00C, 70)}, kBuiltIn),
              Steps({u"Minus", u"70"}));
}

TEST(MacroSteps, RecordedAndEditedActionsRoundTrip) {
    const std::vector<std::vector<MacroAction>> lists = {
        {Down(kA, 50), Up(kA, 50)},  // the last action waits 50: a number is needed
        {Down(kA, 40), Up(kA, 0)},
        {Up(kA, 50), Down(kA, 0)},
        {Down(kA, 50), Up(kC, 50), Down(kC, 50), Up(kC, 50), Up(kA, 0)},
        {Down(kDigit5, 50), Up(kDigit5, 50), Down(0x148, 10), Up(0x148, 40000), Down(0x120, 0), Up(0x120, 0)},
        {Down(0x03A, 50), Down(0x03A, 50), Up(0x03A, 50), Up(0x03A, 50)},
    };
    for (const auto& actions : lists) {
        const std::vector<std::u16string> steps = FormatMacroSteps(actions, kBuiltIn);
        const Parsed p = Parse(steps);
        ASSERT_TRUE(p.actions) << p.problem.message;
        EXPECT_EQ(T(*p.actions), T(actions));
        EXPECT_TRUE(p.notes.empty());
    }
}

TEST(MacroSteps, KeysLeftDownOrReleasedWhileUpAreWorthAWarning) {
    EXPECT_TRUE(UnbalancedKeys(*Parse({u"+ctrl", u"a", u"-ctrl"}).actions, kBuiltIn).empty());
    const auto warnings = UnbalancedKeys(*Parse({u"-a", u"+ctrl", u"c"}).actions, kBuiltIn);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "A is released while it is up");
    EXPECT_EQ(warnings[1], "Ctrl is still down at the end");
}

}  // namespace
}  // namespace vornak
