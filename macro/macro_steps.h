// The step language of macros typed as text: "+KEY" a press, "-KEY" a release, "KEY" a tap, and a number
// "N" or "Nms", the delay after the action before it.
//   A tap is a press that waits 50 ms, then its release, which takes the number after the step.
//   An action with no number after it waits 50 ms (the recorder's fixed delay); the last one waits 0.
//   A bare number is always a delay: a digit key is tapped as "+5 -5".
// So "+ctrl +c 40 -c -ctrl" is: Ctrl down, 50; C down, 40; C up, 50; Ctrl up, 0.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "keyboard/key_table.h"
#include "macro/edit_problem.h"
#include "macro/macro_record.h"
#include "texts/language_texts.h"

namespace vornak {

inline constexpr uint32_t kStepDelayMs = 50;

// Whether the keyboard can play the key in a macro: the macro memory keeps it as a HID usage that reads back
// as the same key (mouse buttons and the editing functions have none).
bool KeyPlayableInMacro(KeyCode code);

// The actions the steps describe. Delays that are no multiple of 10 are rounded down, each with a line in
// notes; a delay above 40000 ms, a delay that follows no action or another delay, a step that names no key,
// a key the keyboard cannot play or more than 2000 actions is a problem naming the step, and gives nothing.
std::optional<std::vector<MacroAction>> ParseMacroSteps(std::span<const std::u16string> steps,
                                                        const LanguageTexts& texts,
                                                        std::vector<std::string>* notes,
                                                        EditProblem* problem);

// The shortest steps that read back as the actions: taps where a press waits 50 ms before its own release,
// numbers only where a delay is not the one the language gives by itself.
std::vector<std::u16string> FormatMacroSteps(std::span<const MacroAction> actions,
                                             const LanguageTexts& texts);

// Keys pressed and not released by the end, and keys released while up: worth a warning, not a refusal
// (the keyboard plays them as they stand).
std::vector<std::string> UnbalancedKeys(std::span<const MacroAction> actions, const LanguageTexts& texts);

}  // namespace vornak
