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

TEST(ProgramPaths, InstalledDataAndLibrariesLieApartFromTheProgram) {
    const ProgramPaths p(PathRoots{"/usr/bin", "/home/u/Documents", "/home/u/.config", "/usr/share/vornak",
                                   "/usr/lib/x86_64-linux-gnu/vornak"});
    EXPECT_EQ(p.mainIni, fs::path("/usr/share/vornak/Skins/Main.ini"));
    EXPECT_EQ(p.languageIni, fs::path("/usr/share/vornak/Skins/language.ini"));
    EXPECT_EQ(p.helpIndex, fs::path("/usr/share/vornak/Help/index.html"));
    EXPECT_EQ(p.userModeTemplate, fs::path("/usr/share/vornak/Skins/UserDengColor_3.userd"));
    EXPECT_EQ(p.libraryDir, fs::path("/usr/lib/x86_64-linux-gnu/vornak"));
    EXPECT_EQ(p.companion.parent_path(), fs::path("/usr/bin"));
    // Without the two, everything is beside the program (the build tree).
    const ProgramPaths flat(PathRoots{"/opt/vornak", "/d", "/c"});
    EXPECT_EQ(flat.libraryDir, fs::path("/opt/vornak"));
    EXPECT_EQ(flat.dataDir, fs::path("/opt/vornak"));
}

TEST(LocateProgramFiles, SkinsBesideTheExecutableMeanEverythingIsBesideIt) {
    test::TempDir dir;
    fs::create_directories(dir / "bin/Skins");
    fs::create_directories(dir / "share/vornak/Skins");  // an installed copy does not win over the build tree
    const ProgramFiles files = LocateProgramFiles(dir / "bin", "../share/vornak", "../lib/vornak");
    EXPECT_EQ(files.dataDir, dir / "bin");
    EXPECT_EQ(files.libraryDir, dir / "bin");
}

TEST(LocateProgramFiles, OtherwiseTheInstalledLayoutUnderTheSamePrefix) {
    test::TempDir dir;
    fs::create_directories(dir / "usr/bin");
    fs::create_directories(dir / "usr/share/vornak/Skins");
    const ProgramFiles files =
        LocateProgramFiles(dir / "usr/bin", "../share/vornak", "../lib/x86_64-linux-gnu/vornak");
    EXPECT_EQ(files.dataDir, dir / "usr/share/vornak");
    EXPECT_EQ(files.libraryDir, dir / "usr/lib/x86_64-linux-gnu/vornak");
    // A file named Skins is no skin folder.
    test::WriteText(dir / "usr/bin/Skins", "");
    EXPECT_EQ(LocateProgramFiles(dir / "usr/bin", "../share/vornak", "../lib/vornak").dataDir,
              dir / "usr/share/vornak");
}

TEST(LocateProgramFiles, AnIncompleteInstallIsNamedWhereItShouldBe) {
    // Neither folder exists: paths point into the install, so a missing file is reported there.
    test::TempDir dir;
    fs::create_directories(dir / "prefix/bin");
    const ProgramFiles files = LocateProgramFiles(dir / "prefix/bin", "../share/vornak", "../lib/vornak");
    EXPECT_EQ(files.dataDir, dir / "prefix/share/vornak");
    // The layout the build records stays inside the prefix, as a relative path must for DESTDIR installs.
    const ProgramFiles builtIn = LocateProgramFiles(dir / "prefix/bin");
    EXPECT_EQ(builtIn.dataDir.filename(), "vornak");
    EXPECT_EQ(builtIn.libraryDir.filename(), "vornak");
    for (const fs::path& p : {builtIn.dataDir, builtIn.libraryDir}) {
        const auto rel = p.lexically_relative(dir / "prefix");
        EXPECT_FALSE(rel.empty() || *rel.begin() == "..") << p;
    }
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
