#include "device/port_hub_api.h"

#include <vector>

#include "device/device_command.h"

namespace vornak {

namespace {

template <typename Fn>
bool Look(const SharedLibrary& library, const char* name, Fn& out, std::string* missing) {
    out = reinterpret_cast<Fn>(library.Symbol(name));
    if (out != nullptr) return true;
    if (missing != nullptr && missing->empty()) *missing = name;
    return false;
}

}  // namespace

bool PortHubApi::Resolve(const SharedLibrary& library, PortHubFunctions& out, std::string* missing) {
    bool ok = true;
    ok &= Look(library, "Init", out.Init, missing);
    ok &= Look(library, "RequestGetDeviceCount", out.RequestGetDeviceCount, missing);
    ok &= Look(library, "DeleteRequestFromUnitId", out.DeleteRequestFromUnitId, missing);
    ok &= Look(library, "RequestStatusWrite", out.RequestStatusWrite, missing);
    ok &= Look(library, "RequestAsyncRead", out.RequestAsyncRead, missing);
    ok &= Look(library, "RequestWriteOne", out.RequestWriteOne, missing);
    ok &= Look(library, "Debug", out.Debug, missing);
    ok &= Look(library, "End", out.End, missing);
    ok &= Look(library, "DeleteRequestFromHandle", out.DeleteRequestFromHandle, missing);
    ok &= Look(library, "RequestWrite", out.RequestWrite, missing);
    ok &= Look(library, "RequestStatusGet", out.RequestStatusGet, missing);
    ok &= Look(library, "RequestStatusSetFeature", out.RequestStatusSetFeature, missing);
    return ok;
}

PortHubApi::BindResult PortHubApi::Bind(const PortHubBindOptions& options) {
    BindResult result;
    std::vector<std::filesystem::path> candidates;
    const std::optional<std::string> forced = options.env ? options.env("VORNAK_PORTHUB") : std::nullopt;
    if (forced && !forced->empty()) {
        candidates.emplace_back(*forced);
    } else {
        const std::string file =
            SharedLibrary::FileNameFor(options.simulate ? kPortHubSimLibraryName : kPortHubLibraryName);
        if (!options.libraryDir.empty()) candidates.push_back(options.libraryDir / file);
        candidates.emplace_back(file);  // the normal search path
    }

    auto api = std::make_unique<PortHubApi>();
    std::string errors;
    for (const auto& candidate : candidates) {
        if (api->library_.Open(candidate)) {
            api->file_ = candidate;
            break;
        }
        if (!errors.empty()) errors += "; ";
        errors += api->library_.error();
    }
    if (!api->library_.isOpen()) {
        result.status = PortHubBindStatus::LibraryMissing;
        result.message = errors;
        return result;
    }
    std::string missing;
    if (!Resolve(api->library_, api->functions_, &missing)) {
        result.status = PortHubBindStatus::ExportMissing;
        result.message = api->file_.string() + ": no export \"" + missing + "\"";
        return result;
    }
    api->lockPath_ =
        reinterpret_cast<PortHubKeyboardLockPathFn>(api->library_.Symbol("PortHubKeyboardLockPath"));
    const int ready = api->functions_.Init(0);
    if (ready <= 0) {
        result.status = PortHubBindStatus::InitFailed;
        result.message = api->file_.string() + ": Init returned " + std::to_string(ready);
        return result;
    }
    result.status = PortHubBindStatus::Bound;
    result.api = std::move(api);
    return result;
}

std::unique_ptr<KeyboardLock> PortHubApi::MakeKeyboardLock() const {
    const PortHubKeyboardLockPathFn lockPath = lockPath_;
    return std::make_unique<FileKeyboardLock>([lockPath]() -> std::string {
        if (lockPath == nullptr) return {};
        char path[4096];
        const int n = lockPath(&kCtrlChannel.filter, path, static_cast<int>(sizeof path));
        return n > 0 && n < static_cast<int>(sizeof path) ? std::string(path, static_cast<size_t>(n)) : "";
    });
}

}  // namespace vornak
