// The core's questions as Qt dialogs, on the UI thread (device jobs reach them through UiThreadPrompts).
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "texts/prompts.h"

namespace vornak {

class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    PromptAnswer Message(std::u16string_view text, PromptButtons buttons,
                         PromptAnswer defaultAnswer) override;
    std::optional<std::filesystem::path> ChooseFile(const FileChoice& choice) override;

  private:
    QPointer<QWidget> parent_;
};

// "(*.fwc)|*.fwc|(*.*)|*.*||" as a Qt file dialog filter.
QString QtFileFilter(std::u16string_view filter);

}  // namespace vornak
