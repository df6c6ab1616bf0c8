// Binding the PortHub library by name at run time.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "device/keyboard_lock.h"
#include "device/port_hub.h"
#include "platform/paths.h"
#include "platform/shared_library.h"

namespace vornak {

enum class PortHubBindStatus {
    Bound,
    LibraryMissing,  // no library could be loaded
    ExportMissing,   // the library lacks one of the twelve exports
    InitFailed,      // Init(0) returned 0 or less
};

struct PortHubBindOptions {
    std::filesystem::path libraryDir;              // searched first: ProgramPaths::libraryDir
    bool simulate = false;                         // bind the bundled simulator ("PortHubSim")
    EnvironmentLookup env = ProcessEnvironment();  // VORNAK_PORTHUB=<path> binds that library
};

// The bound library: its twelve exports, valid while the object lives.
class PortHubApi {
  public:
    PortHubApi() = default;
    // A table of functions linked into the program itself (the in-process simulator, test fakes).
    explicit PortHubApi(const PortHubFunctions& functions) : functions_(functions) {}

    const PortHubFunctions& functions() const { return functions_; }
    // The lock across processes on the library's keyboard (its optional PortHubKeyboardLockPath export);
    // a lock on nothing when the library has no such export.
    std::unique_ptr<KeyboardLock> MakeKeyboardLock() const;
    const std::filesystem::path& file() const { return file_; }

    // Looks up every export of an open library; names the first missing one in *missing.
    static bool Resolve(const SharedLibrary& library, PortHubFunctions& out, std::string* missing);

    struct BindResult {
        PortHubBindStatus status = PortHubBindStatus::LibraryMissing;
        std::string message;  // names the library and the problem
        std::unique_ptr<PortHubApi> api;
    };
    // Loads the library (VORNAK_PORTHUB, else the simulator or "PortHub" in the library folder, then the
    // normal search path), resolves the twelve exports and calls Init(0).
    static BindResult Bind(const PortHubBindOptions& options);

  private:
    PortHubFunctions functions_{};
    PortHubKeyboardLockPathFn lockPath_ = nullptr;
    SharedLibrary library_;
    std::filesystem::path file_;
};

// The base name of the real library and of the simulator.
inline constexpr const char* kPortHubLibraryName = "PortHub";
inline constexpr const char* kPortHubSimLibraryName = "PortHubSim";

}  // namespace vornak
