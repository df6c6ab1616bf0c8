// A macro page with just enough of the editor's behaviour for the key dialog's tests: the copies, the
// selection rules of entering the page, and add / delete as the editor does them.
#pragma once

#include <string_view>
#include <vector>

#include "macro/macro_page.h"

namespace vornak::test {

class FakeMacroPage : public MacroPage {
  public:
    void Load(std::span<const MacroRecord> editMacros) override {
        macros_.assign(editMacros.begin(), editMacros.end());
        for (auto& m : macros_)
            m.isNew = 0;
        selected_ = -1;
        enteredSincePlainLoad_ = false;
        recording_ = false;
        ++loads;
    }
    void Enter(uint32_t currentValue, bool initialForm) override {
        if (initialForm) {
            selected_ = macros_.empty() ? -1 : 0;
            for (size_t i = 0; i < macros_.size(); ++i) {
                if (macros_[i].id == (currentValue & 0xFFFF)) selected_ = static_cast<int>(i);
            }
        } else if (!enteredSincePlainLoad_ && currentValue == 0 && !macros_.empty()) {
            selected_ = 0;
        }
        enteredSincePlainLoad_ = true;
    }
    void StopRecording() override { recording_ = false; }
    bool recording() const override { return recording_; }
    void StoreBack() override { ++storeBacks; }
    const std::vector<MacroRecord>& macros() const override { return macros_; }
    int selected() const override { return selected_; }
    uint8_t repeatCount() const override {
        return selected_ < 0 ? 1 : macros_[static_cast<size_t>(selected_)].cycles;
    }
    void Applied() override {
        for (auto& m : macros_)
            m.isNew = 0;
    }
    void Clear() override {
        macros_.clear();
        selected_ = -1;
        ++clears;
    }

    // What the editor's buttons do.
    void Add(std::u16string_view name) {
        macros_.push_back(NewMacroRecord(name, macros_));
        selected_ = static_cast<int>(macros_.size()) - 1;
    }
    void Delete(size_t index) {
        macros_.erase(macros_.begin() + static_cast<std::ptrdiff_t>(index));
        selected_ = macros_.empty() ? -1 : 0;
    }
    void Select(int index) { selected_ = index; }
    void SetCycles(uint8_t cycles) { macros_[static_cast<size_t>(selected_)].cycles = cycles; }
    void StartRecording() { recording_ = true; }

    int loads = 0;
    int storeBacks = 0;
    int clears = 0;

  private:
    std::vector<MacroRecord> macros_;
    int selected_ = -1;
    bool enteredSincePlainLoad_ = false;
    bool recording_ = false;
};

}  // namespace vornak::test
