// The keyboard as vornakctl reaches it: the bound library, the link with its start-up detection, and the
// program's configuration stack on top.
#pragma once

#include <memory>
#include <string>

#include "config/config_store.h"
#include "device/link_events.h"
#include "device/port_hub_api.h"
#include "device/port_hub_link.h"
#include "lighting/lighting.h"
#include "profile/profile_files.h"
#include "tools/vornakctl/cli.h"
#include "transfer/config_transfer.h"

namespace vornak::cli {

// The command line has no window: events are dropped, messages printed.
class QuietLinkEvents : public LinkEvents {
  public:
    explicit QuietLinkEvents(const LanguageTexts& texts) : texts_(texts) {}
    void ProfileRead() override {}
    void DeviceGone() override {}
    void HideMainWindow() override {}
    void LedChanged(bool) override {}
    void LightingChanged() override {}
    void SetTrayIcon(TrayIconMode, int) override {}
    void ShowMainWindow() override {}
    void ShowMessage(TextId text) override;

  private:
    const LanguageTexts& texts_;
};

// Switching "to the current profile" needs no editor check on the command line.
class AlwaysSwitch : public ProfileSwitcher {
  public:
    bool SwitchToCurrentProfile() override { return true; }
};

class KeyboardSession {
  public:
    explicit KeyboardSession(Context& ctx);
    ~KeyboardSession();

    // Binds the library, waits for the start-up detection and seeds the user folder; an exit code (kExitOk
    // when a keyboard is there and the folder is ready). Quiet: nothing is said when no keyboard can be
    // reached.
    int Open(bool quiet = false);

    PortHubLink& link() { return *link_; }
    ConfigStore& store() { return store_; }
    ConfigTransfer& transfer() { return *transfer_; }
    ProfileFiles& files() { return *files_; }
    LightingModel& lighting() { return *lighting_; }
    int deviceCount() const { return deviceCount_; }

  private:
    int SeedUserFolder();

    Context& ctx_;
    QuietLinkEvents events_;
    AlwaysSwitch switcher_;
    std::unique_ptr<PortHubApi> api_;
    std::unique_ptr<PortHubLink> link_;
    ConfigStore store_;
    std::unique_ptr<ConfigTransfer> transfer_;
    std::unique_ptr<ProfileFiles> files_;
    std::unique_ptr<LightingModel> lighting_;
    int deviceCount_ = 0;
};

int CmdStatus(Context& ctx);
int CmdCapture(Context& ctx);
int CmdApply(Context& ctx);
int CmdProfile(Context& ctx);
int CmdLighting(Context& ctx);
int CmdPaint(Context& ctx);
int CmdUserMode(Context& ctx);

}  // namespace vornak::cli
