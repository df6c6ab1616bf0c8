// User modes and key painting, checked on the simulated keyboard's memory and traffic and in the user-mode
// files.
#include "tests/lighting/lighting_on_sim.h"

namespace vornak::lighting_test {
namespace {

TEST_P(UserModesOnSim, LoadSendsTheWholeImageInSevenPieces) {
    WriteText(UserFile(1),
              "[PRESENTMODE]\r\nmode=3\r\n[MODENAME]\r\n3=Night\r\n[Mode3]\r\ntool=1\r\njcolor=1,2,3\r\n"
              "color=4,5,6\r\n0=10,20,30,7\r\n104=0,0,0,0\r\n110=5,5,5,1\r\n125=6,6,6,0\r\n");
    SetProfile(1);
    ASSERT_EQ(model->ReadLighting(LightingReadReason::Attach), kLinkOk);
    const auto sent = Sent();
    std::vector<test::SentCommand> colours;
    for (const auto& c : sent) {
        if (c.code == 17) colours.push_back(c);
    }
    ASSERT_EQ(colours.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(colours[i].length, 54);
        EXPECT_EQ(colours[i].offset, 512 + 18 * 3 * i);
    }
    const UserModes& u = model->userModes();
    EXPECT_EQ(u.mode(), 3);
    EXPECT_EQ(u.names()[3], u"Night");
    EXPECT_EQ(u.names()[0], u"0");
    EXPECT_EQ(u.brushes(), (UserBrushes{1, MakeColour(1, 2, 3), MakeColour(4, 5, 6)}));
    EXPECT_EQ(SimKeyColour(1, 0), MakeColour(10, 20, 30));
    EXPECT_EQ(u.Flag(1, 0), 1) << "flag 7 reads as 1";
    EXPECT_EQ(SimKeyColour(1, 104), kBlack);
    EXPECT_EQ(u.Flag(1, 104), 0);
    EXPECT_EQ(SimKeyColour(1, 110), MakeColour(5, 5, 5));
    EXPECT_EQ(SimKeyColour(1, 125), MakeColour(6, 6, 6)) << "the G keys' colour comes back too";
    EXPECT_EQ(SimKeyColour(1, 22), kRed) << "a missing entry is red";
    EXPECT_EQ(SimKeyColour(0, 0), kBlack) << "other profiles untouched";
}

TEST_P(UserModesOnSim, OnlyAttachAndProfileButtonsLoadTheUserMode) {
    SetProfile(0);
    ASSERT_EQ(model->ReadLighting(LightingReadReason::Other), kLinkOk);
    auto codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 17), 0);
    harness.sim().ClearTraffic();
    ASSERT_EQ(model->ReadLighting(LightingReadReason::ProfileButtons), kLinkOk);
    codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 17), 7);

    SetSupportedEffects({1, 2});
    harness.sim().ClearTraffic();
    ASSERT_EQ(model->ReadLighting(LightingReadReason::Attach), kLinkOk);
    codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 17), 0) << "no user modes on this keyboard";
}

TEST_P(UserModesOnSim, RefreshLoadsTheUserModesWhenTheProfileShownChanges) {
    Ready(0);
    WriteText(UserFile(1), "[PRESENTMODE]\r\nmode=4\r\n[Mode4]\r\ntool=1\r\n0=1,2,3,1\r\n");
    SetProfile(1);  // switched by the scene menu: no profile button
    LightingSnapshot s = RunLightingRefresh(*model, 1, LightingRefresh::ProfileSwitch);
    ASSERT_EQ(s.readResult, kLinkOk);
    auto codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 17), 7) << "profile 1's colours sent";
    EXPECT_EQ(s.state.currentProfile, 1);
    EXPECT_EQ(s.userMode, 4);
    EXPECT_EQ(s.keyColours[0], MakeColour(1, 2, 3));
    EXPECT_TRUE(s.state.lightingSwitch) << "only a profile button turns the lights off";
    // A painted key now goes into profile 1's mode 4.
    ASSERT_TRUE(model->SelectEffect(1));
    ASSERT_TRUE(model->PaintKey(kEscButton));
    EXPECT_NE(ReadText(UserFile(1)).find("[Mode4]"), std::string::npos);

    harness.sim().ClearTraffic();
    s = RunLightingRefresh(*model, 1, LightingRefresh::KeyboardChange);
    codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 17), 0) << "same profile: the user mode stays";
}

TEST_P(UserModesOnSim, ProfileButtonTurnsTheLightsOffBeforeReading) {
    Ready(0);
    const int switches = switcher.calls;
    const LightingSnapshot s = RunLightingRefresh(*model, 0, LightingRefresh::ProfileButton);
    EXPECT_FALSE(s.state.lightingSwitch);
    EXPECT_FALSE(SettingsFile(files.settingsIni).IsOn(SettingsFile::kDengCheck));
    EXPECT_EQ(switcher.calls, switches);
    const auto codes = Codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 17), 7);
    EXPECT_TRUE(PanelControls(s).size() > 0 && !PaintColourNow(s)) << "clicks no longer paint";
}

TEST_P(UserModesOnSim, FailedReadIsMarkedInTheSnapshot) {
    Ready(0);
    harness.sim().InjectFault({sim::FaultKind::StatusFF, 3, 0, 3});
    const LightingSnapshot s = RunLightingRefresh(*model, 0, LightingRefresh::KeyboardChange);
    EXPECT_NE(s.readResult, kLinkOk);
}

TEST_P(UserModesOnSim, PaintingEscWithTheJColorBrush) {
    WriteText(UserFile(0), "[Mode2]\r\n0=5,5,5,0\r\n");  // Esc keeps its own colour when jcolor changes
    Ready(0);
    ASSERT_TRUE(model->SelectUserMode(2));
    ASSERT_TRUE(model->SetJColor(MakeColour(0, 128, 255)));
    ASSERT_TRUE(model->SelectTool(1));
    ASSERT_EQ(IniDocument::Load(UserFile(0)).Find(u"Mode2", u"0"), u"5,5,5,0");
    harness.sim().ClearTraffic();

    ASSERT_TRUE(model->PaintKey(kEscButton));
    const auto sent = Sent();
    ASSERT_EQ(Codes(), (Seq{1, 17, 2}));
    EXPECT_EQ(sent[1].length, 3);
    EXPECT_EQ(sent[1].offset, 0);
    EXPECT_EQ(sent[1].data, (std::vector<uint8_t>{0, 128, 255}));
    EXPECT_EQ(SimKeyColour(0, 0), MakeColour(0, 128, 255));
    const IniDocument doc = IniDocument::Load(UserFile(0));
    EXPECT_EQ(doc.Find(u"Mode2", u"0"), u"0,128,255,1");
    EXPECT_EQ(doc.Find(u"PRESENTMODE", u"mode"), u"2");
    EXPECT_EQ(doc.Find(u"Mode2", u"tool"), u"1");
    EXPECT_EQ(doc.Find(u"Mode2", u"jcolor"), u"0,128,255");
    EXPECT_EQ(doc.Find(u"Mode2", u"color"), u"0,0,0");
    EXPECT_EQ(model->userModes().image().Get(0, 0), MakeColour(0, 128, 255));
}

TEST_P(UserModesOnSim, PaintingPositionsAndRefusals) {
    Ready(1);
    ASSERT_TRUE(model->SetColor(MakeColour(1, 2, 3)));
    harness.sim().ClearTraffic();
    ASSERT_TRUE(model->PaintKey(kNumEnterButton));
    ASSERT_EQ(Sent().size(), 3u);
    EXPECT_EQ(Sent()[1].offset, 824);
    EXPECT_EQ(model->userModes().Flag(1, 104), 0) << "the color brush gives the key its own colour";
    EXPECT_EQ(IniDocument::Load(UserFile(1)).Find(u"Mode0", u"104"), u"1,2,3,0");

    harness.sim().ClearTraffic();
    ASSERT_TRUE(model->PaintKey(kGKeyControlIds[4]));
    EXPECT_EQ(Sent()[1].offset, 125 * 3 + 512);
    ASSERT_TRUE(model->PaintKey(kExtraKeyControlId));
    EXPECT_EQ(Sent()[4].offset, 110 * 3 + 512);

    harness.sim().ClearTraffic();
    EXPECT_FALSE(model->PaintKey(1167)) << "not a key button";
    EXPECT_FALSE(model->SelectTool(2));
    ASSERT_TRUE(model->SelectEffect(0));  // effect 1: clicks no longer paint
    harness.sim().ClearTraffic();
    EXPECT_FALSE(model->PaintKey(kEscButton));
    ASSERT_TRUE(model->SelectEffect(1));
    model->SetLightingSwitch(false);
    harness.sim().ClearTraffic();
    EXPECT_FALSE(model->PaintKey(kEscButton));
    EXPECT_TRUE(Sent().empty());
}

TEST_P(UserModesOnSim, UnknownToolInTheFilePaintsNothing) {
    WriteText(UserFile(0), "[Mode0]\r\ntool=7\r\n");
    Ready(0);
    EXPECT_EQ(model->userModes().brushes().tool, 7);
    EXPECT_FALSE(model->PaintKey(kEscButton));
    EXPECT_TRUE(Sent().empty());
    EXPECT_FALSE(IniDocument::Load(UserFile(0)).Find(u"Mode0", u"0"));
}

TEST_P(UserModesOnSim, JColorRecoloursExactlyTheFollowingKeys) {
    WriteText(
        UserFile(0),
        "[Mode0]\r\ntool=1\r\njcolor=1,1,1\r\ncolor=2,2,2\r\n0=1,1,1,1\r\n1=50,60,70,0\r\n22=1,1,1,1\r\n"
        "110=80,90,100,0\r\n125=3,3,3,1\r\n");
    Ready(0);
    const KeyColourImage before = model->userModes().image();
    ASSERT_TRUE(model->SetJColor(MakeColour(9, 8, 7)));
    const KeyColourImage& after = model->userModes().image();
    const IniDocument doc = IniDocument::Load(UserFile(0));
    for (uint8_t position : UserModeKeyPositions()) {
        if (model->userModes().Flag(0, position) == 1) {
            EXPECT_EQ(after.Get(0, position), MakeColour(9, 8, 7)) << int(position);
            EXPECT_EQ(SimKeyColour(0, position), MakeColour(9, 8, 7)) << int(position);
        } else {
            EXPECT_EQ(after.Get(0, position), before.Get(0, position)) << int(position);
        }
    }
    EXPECT_EQ(after.Get(0, 1), MakeColour(50, 60, 70));
    EXPECT_EQ(after.Get(0, 110), MakeColour(80, 90, 100));
    EXPECT_EQ(after.Get(0, 125), MakeColour(9, 8, 7));
    EXPECT_EQ(doc.Find(u"Mode0", u"22"), u"9,8,7,1");
    EXPECT_EQ(doc.Find(u"Mode0", u"1"), u"50,60,70,0");
    EXPECT_EQ(doc.Find(u"Mode0", u"jcolor"), u"9,8,7");
    EXPECT_EQ(SimKeyColour(0, 1), MakeColour(50, 60, 70));
    // Positions without a key keep what the keyboard had.
    EXPECT_EQ(after.Get(0, 13), before.Get(0, 13));

    harness.sim().ClearTraffic();
    EXPECT_TRUE(model->SetJColor(MakeColour(9, 8, 7)));
    EXPECT_TRUE(Sent().empty()) << "the same colour changes nothing";
}

TEST_P(UserModesOnSim, SelectAndRenameModes) {
    WriteText(UserFile(2), "[MODENAME]\r\n0=Base\r\n4=Four\r\n[Mode4]\r\n0=4,4,4,0\r\n");
    Ready(2);
    EXPECT_EQ(model->userModes().names()[0], u"Base");
    ASSERT_TRUE(model->SelectUserMode(4));
    EXPECT_EQ(model->userModes().mode(), 4);
    EXPECT_EQ(SimKeyColour(2, 0), MakeColour(4, 4, 4));
    ASSERT_TRUE(model->RenameUserMode(u"Vier"));
    EXPECT_EQ(model->userModes().names()[4], u"Vier");
    const IniDocument doc = IniDocument::Load(UserFile(2));
    EXPECT_EQ(doc.Find(u"MODENAME", u"4"), u"Vier");
    EXPECT_EQ(doc.Find(u"PRESENTMODE", u"mode"), u"4");
    EXPECT_FALSE(model->SelectUserMode(10));
    EXPECT_EQ(model->userModes().mode(), 4);
}

TEST_P(UserModesOnSim, FileThatCannotBeWrittenIsReportedAndTheKeyStillPainted) {
    Ready(0);
    SetWriteFaultAfterBytesForTesting(4);
    const bool painted = model->PaintKey(kEscButton);
    SetWriteFaultAfterBytesForTesting(-1);
    EXPECT_FALSE(painted);
    EXPECT_NE(model->lastError().find("UserDengColor_0"), std::string::npos) << model->lastError();
    EXPECT_EQ(SimKeyColour(0, 0), kBlack) << "the keyboard shows the paint all the same";
}

INSTANTIATE_TEST_SUITE_P(Keyboards, UserModesOnSim, ::testing::Bool(), ReadModeName);

}  // namespace
}  // namespace vornak::lighting_test
