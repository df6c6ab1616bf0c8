// Why an edit given as text (on the command line) is not made.
#pragma once

#include <string>

namespace vornak {

struct EditProblem {
    enum class Kind {
        Unreadable,  // the text names nothing or cannot be read: an unknown key or macro, a bad step or
                     // number
        Refused,  // the text reads, but the edit breaks a rule: G9 takes only a macro, a limit, a shared name
    };
    Kind kind = Kind::Unreadable;
    std::string message;  // one line, naming the step, key or macro
};

// Fills the problem when one is asked for; false, for returning.
inline bool SetProblem(EditProblem* problem, EditProblem::Kind kind, std::string message) {
    if (problem != nullptr) *problem = {kind, std::move(message)};
    return false;
}

}  // namespace vornak
