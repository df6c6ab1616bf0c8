// The core's questions as Qt dialogs. A question raised on another thread (a device job) is shown on the UI
// thread by a blocking queued call, which is safe because the UI thread never waits for the worker; once the
// program closes, questions get their default answer without a dialog.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>

#include "app/core/prompts.h"

namespace vornak {

class QtPrompts : public Prompts {
  public:
    // Dialogs are shown over parent (may be null) and run on context's thread.
    QtPrompts(QObject* context, QWidget* parent = nullptr) : context_(context), parent_(parent) {}

    void SetParent(QWidget* parent) { parent_ = parent; }
    // From now on nothing is shown.
    void Close() { closed_.store(true); }

    PromptAnswer Message(std::u16string_view text, PromptButtons buttons,
                         PromptAnswer defaultAnswer) override;
    std::optional<std::filesystem::path> ChooseFile(const FileChoice& choice) override;

  private:
    PromptAnswer ShowMessage(const QString& text, PromptButtons buttons, PromptAnswer defaultAnswer);
    std::optional<std::filesystem::path> ShowFileDialog(const FileChoice& choice);

    QPointer<QObject> context_;
    QPointer<QWidget> parent_;
    std::atomic<bool> closed_{false};
};

// "(*.fwc)|*.fwc|(*.*)|*.*||" as a Qt file dialog filter.
QString QtFileFilter(std::u16string_view filter);

}  // namespace vornak
