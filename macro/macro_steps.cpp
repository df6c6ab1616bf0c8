#include "macro/macro_steps.h"

#include <algorithm>

#include "keyboard/key_names.h"
#include "macro/macro_blob.h"
#include "platform/utf.h"

namespace vornak {

namespace {

using Kind = EditProblem::Kind;

std::string Quoted(std::u16string_view step) {
    return "'" + Utf16ToUtf8(step) + "'";
}

// "N" or "Nms": the number, or nothing when the text is no delay. A number too long for the longest delay
// reads as one more than it, so that it is refused as too long rather than taken for a key name.
std::optional<uint64_t> DelayOf(std::u16string_view text) {
    if (text.size() > 2 && (text.back() == u's' || text.back() == u'S') &&
        (text[text.size() - 2] == u'm' || text[text.size() - 2] == u'M')) {
        text.remove_suffix(2);
    }
    if (text.empty()) return std::nullopt;
    uint64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = std::min<uint64_t>(value * 10 + (c - u'0'), kMaxMacroDelayMs + 1);
    }
    return value;
}

}  // namespace

bool KeyPlayableInMacro(KeyCode code) {
    if (code == 0) return false;
    return DecodeMacroAction(EncodeMacroAction({0, code, 0})).keyCode == code;
}

std::optional<std::vector<MacroAction>> ParseMacroSteps(std::span<const std::u16string> steps,
                                                        const LanguageTexts& texts,
                                                        std::vector<std::string>* notes,
                                                        EditProblem* problem) {
    std::vector<MacroAction> actions;
    bool delayGiven = false;  // the last action has its delay from a number
    std::u16string_view lastStep;
    for (const std::u16string& step : steps) {
        if (step.empty()) {
            SetProblem(problem, Kind::Unreadable, "an empty step names no key");
            return std::nullopt;
        }
        if (const auto delay = DelayOf(step)) {
            if (actions.empty()) {
                SetProblem(problem, Kind::Unreadable, "the delay " + Quoted(step) + " follows no key");
                return std::nullopt;
            }
            if (delayGiven) {
                SetProblem(problem, Kind::Unreadable,
                           "the delay " + Quoted(step) + " follows another delay, " + Quoted(lastStep));
                return std::nullopt;
            }
            if (*delay > kMaxMacroDelayMs) {
                SetProblem(
                    problem, Kind::Unreadable,
                    "the delay " + Quoted(step) + " is longer than 40000 ms, the longest a macro waits");
                return std::nullopt;
            }
            const auto rounded = static_cast<uint32_t>(*delay - *delay % 10);
            if (rounded != *delay && notes != nullptr) {
                notes->push_back("the delay " + Quoted(step) + " is rounded down to " +
                                 std::to_string(rounded) + " ms (delays go in steps of 10 ms)");
            }
            actions.back().delay = rounded;
            delayGiven = true;
            lastStep = step;
            continue;
        }
        const bool press = step.size() > 1 && step[0] == u'+';
        const bool release = step.size() > 1 && step[0] == u'-';
        const std::u16string_view name = press || release ? std::u16string_view(step).substr(1) : step;
        const auto code = KeyCodeByName(name, texts);
        if (!code) {
            SetProblem(problem, Kind::Unreadable,
                       "the step " + Quoted(step) + " names no key (see vornakctl keys)");
            return std::nullopt;
        }
        if (!KeyPlayableInMacro(*code)) {
            SetProblem(problem, Kind::Refused,
                       "the step " + Quoted(step) + ": the keyboard cannot play " +
                           Utf16ToUtf8(KeyCodeName(*code, texts)) + " in a macro");
            return std::nullopt;
        }
        if (press || release) {
            actions.push_back({kStepDelayMs, *code, static_cast<uint16_t>(release ? 1 : 0)});
        } else {
            // A tap: the press waits 50 ms, the release takes the number after the step.
            actions.push_back({kStepDelayMs, *code, 0});
            actions.push_back({kStepDelayMs, *code, 1});
        }
        delayGiven = false;
        lastStep = step;
    }
    if (!actions.empty() && !delayGiven) actions.back().delay = 0;
    if (actions.size() > kMaxMacroActions) {
        SetProblem(
            problem, Kind::Refused,
            "the steps make " + std::to_string(actions.size()) + " actions; a macro holds at most 2000");
        return std::nullopt;
    }
    return actions;
}

std::vector<std::u16string> FormatMacroSteps(std::span<const MacroAction> actions,
                                             const LanguageTexts& texts) {
    std::vector<std::u16string> steps;
    size_t i = 0;
    while (i < actions.size()) {
        const MacroAction& a = actions[i];
        const std::u16string name = KeyNameForTyping(a.keyCode, texts);
        const bool tap = a.release != 1 && a.delay == kStepDelayMs && i + 1 < actions.size() &&
                         actions[i + 1].release == 1 && actions[i + 1].keyCode == a.keyCode &&
                         !DelayOf(name) && name[0] != u'+' && name[0] != u'-';
        const MacroAction& last = tap ? actions[i + 1] : a;
        steps.push_back(tap ? name : (a.release == 1 ? u"-" : u"+") + name);
        i += tap ? 2 : 1;
        const uint32_t implied = i == actions.size() ? 0 : kStepDelayMs;
        if (last.delay != implied) steps.push_back(Utf8ToUtf16(std::to_string(last.delay)));
    }
    return steps;
}

std::vector<std::string> UnbalancedKeys(std::span<const MacroAction> actions, const LanguageTexts& texts) {
    std::vector<std::string> out;
    std::vector<KeyCode> held;
    for (const MacroAction& a : actions) {
        const auto at = std::find(held.begin(), held.end(), a.keyCode);
        if (a.release != 1) {
            if (at == held.end()) held.push_back(a.keyCode);
        } else if (at != held.end()) {
            held.erase(at);
        } else {
            out.push_back(Utf16ToUtf8(KeyCodeName(a.keyCode, texts)) + " is released while it is up");
        }
    }
    for (KeyCode k : held)
        out.push_back(Utf16ToUtf8(KeyCodeName(k, texts)) + " is still down at the end");
    return out;
}

}  // namespace vornak
