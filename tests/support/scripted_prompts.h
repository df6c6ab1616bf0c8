// Prompts answered from a script, recording every message shown.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "texts/prompts.h"

namespace vornak::test {

class ScriptedPrompts : public Prompts {
  public:
    PromptAnswer Message(std::u16string_view text, PromptButtons buttons,
                         PromptAnswer defaultAnswer) override {
        messages.emplace_back(text);
        if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
        if (answers.empty()) return defaultAnswer;
        const PromptAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::optional<std::filesystem::path> ChooseFile(const FileChoice& choice) override {
        choices.push_back(choice);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }

    std::vector<std::u16string> messages;
    std::deque<PromptAnswer> answers;  // for Yes/No questions; the default answer when empty
    std::deque<std::optional<std::filesystem::path>> files;
    std::vector<FileChoice> choices;
};

}  // namespace vornak::test
