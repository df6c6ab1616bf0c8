// Keyboard work asked for from outside the window (vornakctl, directly or through the running program's bus
// service): the rule about the window's unapplied edits, and the work itself as plain functions of the
// DeviceContext, so that vornakctl on its own keyboard session and the program on its device worker run the
// same code. Results carry vornakctl's exit codes (README) and one line that says why.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lighting/lighting_block.h"
#include "program/device_worker.h"

namespace vornak {

// The bus service of the running program.
inline constexpr char kBusService[] = "io.github.vornak.Vornak";
inline constexpr char kBusPath[] = "/io/github/vornak/Vornak";
inline constexpr char kBusInterface[] = "io.github.vornak.Vornak1";

// The keyboard a process opens, as the bus service names it: "simulated", "hid", or "library:" and the
// library's canonical path. vornakctl goes through the program only when both name the same.
std::string KeyboardIdentity(bool simulate, const std::string& library);

// vornakctl's exit codes, as the program's answers carry them.
enum OutsideExit : int {
    kOutsideOk = 0,
    kOutsideFailed = 1,
    kOutsideUsage = 2,
    kOutsideNoKeyboard = 3,
    kOutsideFileRejected = 4,
    kOutsideFileWrite = 5,
    kOutsideRefused = 6,
};
// The bus error an exit code travels as ("io.github.vornak.Vornak1.Error.Refused"), and back; an error name
// of nobody's making (the bus's own, a timeout) is a failure (1).
std::string OutsideErrorName(int exitCode);
int OutsideExitOf(std::string_view errorName);

struct OutsideResult {
    int code = kOutsideOk;
    std::string message;  // why not, when code is not 0
    bool ok() const { return code == kOutsideOk; }
};

enum class OutsideKind { Status, Capture, Apply, SwitchProfile, Lighting, UserMode, Paint };

// What the window holds that a change from outside could overwrite.
struct WindowEdits {
    bool applyEnabled = false;  // edits not yet sent (the Apply button is enabled)
    bool editorOpen = false;    // a key dialog is open with its choice
    bool ending = false;        // the program is finishing its last jobs
};

struct OutsideVerdict {
    OutsideResult refusal;      // code 0: go ahead
    bool discardEdits = false;  // go ahead, dropping the window's unapplied edits first (--force)
};
// A file sent to the keyboard replaces the edit copy, and a profile switch runs the keyboard on what it
// holds, not on the window's edits: either is refused while the window holds unapplied edits, unless forced.
// Reads, lighting and user modes leave the key edits alone. Nothing new is taken while the program ends.
OutsideVerdict DecideOutsideWork(OutsideKind kind, const WindowEdits& edits, bool force);

// ---- the work (worker thread, or vornakctl's own session)

struct KeyboardStatus {
    int keyboards = 0;
    int profile = -1;  // 0..2; -1 unknown
    uint32_t macroMemory = 0;
    bool layerB = false;
    std::vector<std::pair<int, std::string>> effects;  // effect number, name
    // How the running program's profile follows the window in front (its focus source, on or off); empty
    // when no program answered.
    std::string following;
};
OutsideResult RunStatus(DeviceContext& c, KeyboardStatus& out);

// The keyboard's three profiles into a profile file (the folder must exist).
OutsideResult RunCapture(DeviceContext& c, const std::filesystem::path& file);

// A checked profile file to all three profiles (the edit copy and the working file follow). Refused (6)
// before anything is sent when its macros do not fit the keyboard's macro memory.
OutsideResult RunApplyFile(DeviceContext& c, const std::filesystem::path& file);

// The lighting flags of "vornakctl lighting", in order: effect, brightness, speed, direction, colour (or
// color), colourful, defaults (no value).
struct LightingStep {
    std::string name;
    std::string value;
};
// Every value checked before anything is sent; empty when all are good.
std::string CheckLightingSteps(const std::vector<LightingStep>& steps);
// profile: 0..2, or -1 for the one the keyboard runs. The model's idea of the current profile is kept.
OutsideResult RunLightingSteps(DeviceContext& c, int profile, const std::vector<LightingStep>& steps);

// Selects user mode `mode` (0..9) of profile (0..2), which sends its colours; then paints each
// (MatrixPosition, colour) with brush 0 and gives the user's brushes back.
OutsideResult RunUserMode(DeviceContext& c, const std::string& userModePrefix, int profile, int mode,
                          const std::vector<std::pair<int, Colour>>& paints);

}  // namespace vornak
