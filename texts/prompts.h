// How the core asks the user something: a message with buttons, or a file to open or save. The program
// answers with Qt dialogs, the tests with a script, the command line on its terminal.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vornak {

enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

struct FileChoice {
    bool save = false;                // Save As (true) or Open (false)
    std::u16string defaultExtension;  // "fwc"
    std::u16string initialName;       // "*.fwc", or a path
    std::u16string filter;            // "(*.fwc)|*.fwc|(*.*)|*.*||": pairs of caption and pattern
    bool overwritePrompt = false;     // ask before replacing an existing file
    std::filesystem::path initialFolder;
};

class Prompts {
  public:
    virtual ~Prompts() = default;
    // Shows a message; returns the button chosen (defaultAnswer when the user just closes it).
    virtual PromptAnswer Message(std::u16string_view text, PromptButtons buttons,
                                 PromptAnswer defaultAnswer) = 0;
    // Asks for a file; nothing when the user cancels.
    virtual std::optional<std::filesystem::path> ChooseFile(const FileChoice& choice) = 0;

    void Inform(std::u16string_view text) { Message(text, PromptButtons::Ok, PromptAnswer::Ok); }
    bool AskYesNo(std::u16string_view text, PromptAnswer defaultAnswer = PromptAnswer::No) {
        return Message(text, PromptButtons::YesNo, defaultAnswer) == PromptAnswer::Yes;
    }
};

}  // namespace vornak
