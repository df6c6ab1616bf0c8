// The prompts of device jobs: a question raised on the worker reaches the UI thread's dialogs by a blocking
// call, which is safe because the UI thread never waits for the worker. Asked on the UI thread itself, the
// dialogs show at once. Once closed, every question gets its default answer without a dialog.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "program/link_relay.h"
#include "texts/prompts.h"

namespace vornak {

class UiThreadPrompts : public Prompts {
  public:
    // dialogs: the UI thread's prompts; block runs a function on the UI thread and waits for it.
    UiThreadPrompts(Prompts& dialogs, UiBlockingCall block,
                    std::thread::id uiThread = std::this_thread::get_id())
        : dialogs_(dialogs), block_(std::move(block)), uiThread_(uiThread) {}

    void Close() { closed_.store(true); }

    PromptAnswer Message(std::u16string_view text, PromptButtons buttons,
                         PromptAnswer defaultAnswer) override {
        const PromptAnswer fallback = buttons == PromptButtons::Ok ? PromptAnswer::Ok : defaultAnswer;
        if (closed_.load()) return fallback;
        PromptAnswer answer = fallback;
        Run([&] { answer = dialogs_.Message(text, buttons, defaultAnswer); });
        return answer;
    }
    std::optional<std::filesystem::path> ChooseFile(const FileChoice& choice) override {
        if (closed_.load()) return std::nullopt;
        std::optional<std::filesystem::path> file;
        Run([&] { file = dialogs_.ChooseFile(choice); });
        return file;
    }

  private:
    void Run(const std::function<void()>& call) {
        if (std::this_thread::get_id() == uiThread_) {
            call();
        } else {
            block_([this, &call] {
                if (!closed_.load()) call();
            });
        }
    }

    Prompts& dialogs_;
    UiBlockingCall block_;
    std::thread::id uiThread_;
    std::atomic<bool> closed_{false};
};

}  // namespace vornak
