// The keyboard and the configuration of the running program, put together in the order start-up needs: the
// bound PortHub library, the link, the store with locks A and B, the download, the profile files and the
// lighting model. Qt-free; the program's window and tests build on it.
#pragma once

#include <memory>
#include <string>

#include "config/config_store.h"
#include "device/port_hub_api.h"
#include "device/port_hub_link.h"
#include "lighting/lighting.h"
#include "platform/paths.h"
#include "profile/profile_files.h"
#include "transfer/config_transfer.h"

namespace vornak {

class ProgramStack {
  public:
    ProgramStack(const ProgramPaths& paths, const LanguageTexts& texts, Prompts& prompts);
    // The models go first, the link before the library it calls.
    ~ProgramStack();

    // Binds the library (the simulator with simulate, else VORNAK_PORTHUB or library, else "PortHub"),
    // resolves the exports and calls Init(0); false with the reason in error(). Then builds the link and the
    // models on it. timings: the link's waits (tests shorten them).
    bool Bind(bool simulate, const std::filesystem::path& library, LinkTimings timings = {});
    // An API table linked into the process (tests).
    void BindFunctions(const PortHubFunctions& functions, LinkTimings timings = {});
    PortHubBindStatus bindStatus() const { return status_; }
    const std::string& error() const { return error_; }

    PortHubLink& link() { return *link_; }
    ConfigStore& store() { return store_; }
    ConfigTransfer& transfer() { return *transfer_; }
    ProfileFiles& files() { return *files_; }
    LightingModel& lighting() { return *lighting_; }

    // Lets the lighting model turn its switch on; the scene code replaces this with its editor check.
    void SetProfileSwitcher(ProfileSwitcher* switcher) { switcher_.target = switcher; }

  private:
    void BuildModels(LinkTimings timings);

    // Until a scene switcher is set, turning the lighting switch on is allowed.
    struct Switcher : ProfileSwitcher {
        ProfileSwitcher* target = nullptr;
        bool SwitchToCurrentProfile() override {
            return target == nullptr || target->SwitchToCurrentProfile();
        }
    };

    const ProgramPaths& paths_;
    const LanguageTexts& texts_;
    Prompts& prompts_;
    Switcher switcher_;
    PortHubBindStatus status_ = PortHubBindStatus::LibraryMissing;
    std::string error_;
    std::unique_ptr<PortHubApi> api_;
    std::unique_ptr<PortHubLink> link_;
    ConfigStore store_;
    std::unique_ptr<ConfigTransfer> transfer_;
    std::unique_ptr<ProfileFiles> files_;
    std::unique_ptr<LightingModel> lighting_;
};

}  // namespace vornak
