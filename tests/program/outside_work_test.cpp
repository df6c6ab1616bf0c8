// Work from outside the window against the window's unapplied edits, and the exit codes the answers carry.
#include "program/outside_work.h"

#include <gtest/gtest.h>

#include "lighting/lighting_text.h"

namespace vornak {
namespace {

TEST(OutsideWork, OnlyChangesThatOverwriteEditsAreRefusedAndForceDiscardsThem) {
    const OutsideKind all[] = {OutsideKind::Status,        OutsideKind::Capture,  OutsideKind::Apply,
                               OutsideKind::SwitchProfile, OutsideKind::Lighting, OutsideKind::UserMode,
                               OutsideKind::Paint};
    const WindowEdits clean{};
    const WindowEdits edited{.applyEnabled = true};
    const WindowEdits dialog{.editorOpen = true};
    for (const OutsideKind kind : all) {
        const bool overwrites = kind == OutsideKind::Apply || kind == OutsideKind::SwitchProfile;
        SCOPED_TRACE(static_cast<int>(kind));
        // Nothing held: everything runs, and nothing is discarded even when forced.
        EXPECT_TRUE(DecideOutsideWork(kind, clean, false).refusal.ok());
        EXPECT_FALSE(DecideOutsideWork(kind, clean, true).discardEdits);
        for (const WindowEdits& held : {edited, dialog}) {
            const OutsideVerdict asked = DecideOutsideWork(kind, held, false);
            EXPECT_EQ(asked.refusal.code, overwrites ? kOutsideRefused : kOutsideOk);
            EXPECT_FALSE(asked.discardEdits);
            if (overwrites) {
                // One line that says why and what to do.
                EXPECT_EQ(asked.refusal.message.find('\n'), std::string::npos);
                EXPECT_NE(asked.refusal.message.find("--force"), std::string::npos);
            }
            const OutsideVerdict forced = DecideOutsideWork(kind, held, true);
            EXPECT_TRUE(forced.refusal.ok());
            EXPECT_EQ(forced.discardEdits, overwrites);
        }
        // An ending program takes nothing new, forced or not.
        EXPECT_EQ(DecideOutsideWork(kind, WindowEdits{.ending = true}, true).refusal.code, kOutsideFailed);
    }
}

TEST(OutsideWork, ExitCodesTravelAsBusErrorNamesAndBack) {
    for (const int code : {kOutsideFailed, kOutsideUsage, kOutsideNoKeyboard, kOutsideFileRejected,
                           kOutsideFileWrite, kOutsideRefused}) {
        const std::string name = OutsideErrorName(code);
        EXPECT_EQ(name.rfind(std::string(kBusInterface) + ".Error.", 0), 0u) << name;
        EXPECT_EQ(OutsideExitOf(name), code) << name;
    }
    // The bus's own errors (no reply, a timeout, an unknown method) are failures.
    EXPECT_EQ(OutsideExitOf("org.freedesktop.DBus.Error.NoReply"), kOutsideFailed);
    EXPECT_EQ(OutsideExitOf(std::string(kBusInterface) + ".Error.Whatever"), kOutsideFailed);
    EXPECT_EQ(OutsideExitOf(""), kOutsideFailed);
}

TEST(OutsideWork, LightingStepsAreCheckedBeforeAnythingIsSent) {
    EXPECT_EQ(CheckLightingSteps({{"effect", "Breathing"},
                                  {"brightness", "5"},
                                  {"speed", "0"},
                                  {"direction", "first"},
                                  {"colour", "#00a0FF"},
                                  {"color", "102030"},
                                  {"colourful", "off"},
                                  {"defaults", ""}}),
              "");
    for (const LightingStep& bad : std::vector<LightingStep>{{"brightness", "6"},
                                                             {"speed", "-1"},
                                                             {"speed", "2x"},
                                                             {"direction", "up"},
                                                             {"colour", "12345"},
                                                             {"colour", "gg0000"},
                                                             {"colourful", "yes"},
                                                             {"effect", ""},
                                                             {"volume", "3"}}) {
        EXPECT_NE(CheckLightingSteps({{"brightness", "1"}, bad}), "") << bad.name << "=" << bad.value;
    }
    EXPECT_EQ(ParseHexColour("#ff8000"), MakeColour(0xff, 0x80, 0x00));
    EXPECT_FALSE(ParseHexColour("#ff800"));
}

}  // namespace
}  // namespace vornak
