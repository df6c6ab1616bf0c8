// Built without Qt: vornakctl always opens the keyboard itself.
#include "tools/vornakctl/program_bus.h"

namespace vornak::cli {

std::unique_ptr<ProgramBus> ProgramBus::Find(const Options&) {
    return nullptr;
}

}  // namespace vornak::cli
