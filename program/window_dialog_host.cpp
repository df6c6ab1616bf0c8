#include "program/window_dialog_host.h"

#include <mutex>

namespace vornak {

void WindowDialogHost::ReadEditCopy(const std::function<void(const EditCopy&)>& read) {
    std::lock_guard lock(store_.lockA());
    read(store_.edit());
}

bool WindowDialogHost::EditConfig(std::string_view what, const std::function<bool(EditCopy&)>& edit) {
    if (window_.jobPending()) return false;
    model_.Edit(what, edit);
    window_.EditShown();
    return true;
}

MacroEditor::MayDelete MacroDeleteWhenIdle(std::function<bool()> jobPending, Prompts& prompts,
                                           const LanguageTexts& texts, MacroEditor::MayDelete mayDelete) {
    return [jobPending = std::move(jobPending), &prompts, &texts,
            mayDelete = std::move(mayDelete)](const MacroRecord& macro) {
        if (jobPending()) {
            prompts.Inform(texts[TextId::KEY_DIALOG_BUSY]);
            return false;
        }
        return mayDelete(macro);
    };
}

}  // namespace vornak
