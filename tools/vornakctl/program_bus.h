// The running program on the session bus: when a copy of Vornak runs on the keyboard a command would open,
// the command's keyboard work is sent there and runs on its device worker, in order with the window's jobs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "program/outside_work.h"
#include "tools/vornakctl/cli.h"

namespace vornak::cli {

class ProgramBus {
  public:
    virtual ~ProgramBus() = default;
    // The running program when one owns the service name and runs on the same keyboard; null otherwise (no
    // session bus, no program, another keyboard).
    static std::unique_ptr<ProgramBus> Find(const Options& options);

    virtual uint32_t pid() const = 0;
    virtual OutsideResult Status(KeyboardStatus& out) = 0;
    virtual OutsideResult Capture(const std::filesystem::path& file) = 0;
    virtual OutsideResult Apply(const std::filesystem::path& file, bool force) = 0;
    virtual OutsideResult SwitchProfile(int profile, bool force) = 0;  // 0..2
    virtual OutsideResult Lighting(int profile, const std::vector<LightingStep>& steps) = 0;
    virtual OutsideResult UserMode(int profile, int mode,
                                   const std::vector<std::pair<int, Colour>>& paints) = 0;
};

}  // namespace vornak::cli
