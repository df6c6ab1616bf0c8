// What the key dialog needs of its macro page: the page keeps private copies of the edit copy's macros, which
// only the dialog's Apply writes back. The macro editor implements it; the key dialog's model drives it, so
// each is tested without the other.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "macro/macro_record.h"

namespace vornak {

class MacroPage {
  public:
    virtual ~MacroPage() = default;

    // Dialog opened: copies of the edit copy's macros, each with isNew 0; nothing selected; recording off.
    virtual void Load(std::span<const MacroRecord> editMacros) = 0;
    // The page becomes current. initialForm (when the dialog opens on it): select the macro whose id is
    // currentValue, else the first. Plain form: the first time the page is entered after opening, and only
    // when currentValue is 0, select the first macro.
    virtual void Enter(uint32_t currentValue, bool initialForm) = 0;
    virtual void StopRecording() = 0;
    // A macro is being recorded (the help key is then recorded, not acted on).
    virtual bool recording() const = 0;
    // The shown macro's rows and repeat count back into its record.
    virtual void StoreBack() = 0;

    // The copies in list order, as the dialog's Apply writes them back (isNew marks macros made since
    // opening).
    virtual const std::vector<MacroRecord>& macros() const = 0;
    // Index into macros() of the shown macro, -1 when none.
    virtual int selected() const = 0;
    // The repeat count the page shows, 1..255: the code of a key given the shown macro.
    virtual uint8_t repeatCount() const = 0;
    // After the dialog's Apply wrote the list back: every copy's isNew becomes 0.
    virtual void Applied() = 0;
    // Dialog closed: the copies are dropped.
    virtual void Clear() = 0;
};

}  // namespace vornak
