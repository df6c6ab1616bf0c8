#include "program/program_stack.h"

#include "lighting/user_modes.h"

namespace vornak {

ProgramStack::ProgramStack(const ProgramPaths& paths, const LanguageTexts& texts, Prompts& prompts)
    : paths_(paths), texts_(texts), prompts_(prompts) {}

ProgramStack::~ProgramStack() {
    lighting_.reset();
    files_.reset();
    transfer_.reset();
    link_.reset();
    api_.reset();
}

bool ProgramStack::Bind(bool simulate, const std::filesystem::path& library, LinkTimings timings) {
    PortHubBindOptions options;
    options.libraryDir = paths_.libraryDir;
    options.simulate = simulate;
    if (!library.empty()) {
        const std::string path = library.string();
        options.env = [path](const char* name) -> std::optional<std::string> {
            if (std::string_view(name) == "VORNAK_PORTHUB") return path;
            return ProcessEnvironment()(name);
        };
    }
    auto bound = PortHubApi::Bind(options);
    status_ = bound.status;
    if (bound.status != PortHubBindStatus::Bound) {
        error_ = bound.message;
        return false;
    }
    api_ = std::move(bound.api);
    BuildModels(timings);
    return true;
}

void ProgramStack::BindFunctions(const PortHubFunctions& functions, LinkTimings timings) {
    api_ = std::make_unique<PortHubApi>(functions);
    status_ = PortHubBindStatus::Bound;
    BuildModels(timings);
}

void ProgramStack::BuildModels(LinkTimings timings) {
    link_ = std::make_unique<PortHubLink>(api_->functions(), timings);
    link_->SetKeyboardLock(api_->MakeKeyboardLock());
    transfer_ = std::make_unique<ConfigTransfer>(
        store_, *link_, [this] { return link_->DefaultLayout(); }, texts_, prompts_);
    files_ = std::make_unique<ProfileFiles>(paths_, store_, *transfer_, *link_, texts_, prompts_);
    const ProgramPaths& paths = paths_;
    files_->SetUserFolderSeeder(
        [&paths] { EnsureUserModeFiles(paths.settingsIni, paths.userModeTemplate, paths.userModePrefix); });
    lighting_ = std::make_unique<LightingModel>(
        *link_, texts_, switcher_, LightingFiles{paths_.settingsIni, paths_.mainIni, paths_.userModePrefix});
}

}  // namespace vornak
