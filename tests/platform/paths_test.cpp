#include "platform/paths.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/app_profile.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

namespace fs = std::filesystem;

EnvironmentLookup Env(std::map<std::string, std::string> vars) {
    return [vars](const char* name) -> std::optional<std::string> {
        auto it = vars.find(name);
        if (it == vars.end()) return std::nullopt;
        return it->second;
    };
}

TEST(DocumentsDir, PrefersTheEnvironment) {
    EXPECT_EQ(DocumentsDir(Env({{"HOME", "/h"}, {"XDG_DOCUMENTS_DIR", "/docs"}})), fs::path("/docs"));
}

TEST(DocumentsDir, ReadsUserDirsFile) {
    test::TempDir dir;
    fs::create_directories(dir / "cfg");
    test::WriteText(dir / "cfg/user-dirs.dirs",
                    "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                    "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    const auto env = Env({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", (dir / "cfg").string()}});
    EXPECT_EQ(DocumentsDir(env), fs::path("/home/u/Dokumente"));
}

TEST(DocumentsDir, FallsBackToHomeDocuments) {
    test::TempDir dir;
    EXPECT_EQ(DocumentsDir(Env({{"HOME", dir.path().string()}})), dir.path() / "Documents");
    EXPECT_EQ(ConfigDir(Env({{"HOME", "/home/u"}})), fs::path("/home/u/.config"));
}

TEST(ProgramPaths, BuildsEveryPathFromItsRoot) {
    const ProgramPaths p(PathRoots{"/opt/vornak", "/home/u/Documents", "/home/u/.config"});
    EXPECT_EQ(p.languageIni, fs::path("/opt/vornak/Skins/language.ini"));
    EXPECT_EQ(p.mainIni, fs::path("/opt/vornak/Skins/Main.ini"));
    EXPECT_EQ(p.compositeIni, fs::path("/opt/vornak/Skins/Composite.ini"));
    EXPECT_EQ(p.helpIndex, fs::path("/opt/vornak/Help/index.html"));
    EXPECT_EQ(p.packageDir, fs::path("/opt/vornak/Package"));
    EXPECT_EQ(p.userFolder, fs::path("/home/u/Documents/Vornak_R2T"));
    EXPECT_EQ(p.settingsIni, fs::path("/home/u/Documents/Vornak_R2T/wskb.ini"));
    EXPECT_EQ(p.userModeTemplate, fs::path("/opt/vornak/Skins/UserDengColor_3.userd"));
    EXPECT_EQ(UserModeFilePath(p.userModePrefix, 0),
              fs::path("/home/u/Documents/Vornak_R2T/UserDengColor_0.userd"));
    EXPECT_EQ(p.appProfile, fs::path("/home/u/.config/Vornak_Pellam.ini"));
}

TEST(AppProfile, ReadsDefaultsAndWritesIntoANewFolder) {
    test::TempDir dir;
    AppProfile profile(AppProfile::FileIn(dir / "config"));
    EXPECT_EQ(profile.GetInt(u"Flip", 0), 0);
    EXPECT_EQ(profile.GetString(u"RecordDelay", u"0"), u"0");
    ASSERT_TRUE(profile.WriteInt(u"Flip", 1));
    ASSERT_TRUE(profile.WriteString(u"PROFILE00", u"3"));
    EXPECT_EQ(profile.GetInt(u"flip", 0), 1);
    EXPECT_EQ(CIniFile(profile.path()).GetString(u"PROFILES", u"PROFILE00", u""), u"3");
}

}  // namespace
}  // namespace vornak
