// Prompts on a terminal: messages go to stderr; questions take their default answer unless --yes was given,
// so a script never hangs on one.
#pragma once

#include <cstdio>
#include <string>

#include "platform/utf.h"
#include "texts/prompts.h"

namespace vornak::cli {

class TerminalPrompts : public Prompts {
  public:
    explicit TerminalPrompts(bool assumeYes) : assumeYes_(assumeYes) {}

    PromptAnswer Message(std::u16string_view text, PromptButtons buttons,
                         PromptAnswer defaultAnswer) override {
        std::string line = Utf16ToUtf8(text);
        for (auto& c : line) {
            if (c == '\r' || c == '\n') c = ' ';
        }
        const PromptAnswer answer = buttons == PromptButtons::Ok
                                        ? PromptAnswer::Ok
                                        : (assumeYes_ ? PromptAnswer::Yes : defaultAnswer);
        std::fprintf(stderr, "vornakctl: %s%s\n", line.c_str(),
                     buttons == PromptButtons::Ok ? "" : (answer == PromptAnswer::Yes ? " [yes]" : " [no]"));
        messages.push_back(line);
        return answer;
    }

    std::optional<std::filesystem::path> ChooseFile(const FileChoice&) override { return std::nullopt; }

    std::vector<std::string> messages;

  private:
    bool assumeYes_;
};

}  // namespace vornak::cli
