#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "keyboard/key_buttons.h"
#include "lighting/user_modes.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/settings_file.h"
#include "platform/utf.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace vornak {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteText;

IniDocument Doc(std::string_view text) {
    return IniDocument::Parse({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

TEST(UserModeText, KeyEntriesReadLeniently) {
    EXPECT_EQ(ParseKeyEntryText(u"10,20,30,7"), (UserKeyEntry{MakeColour(10, 20, 30), 1}));
    EXPECT_EQ(ParseKeyEntryText(u"10,20,30,0"), (UserKeyEntry{MakeColour(10, 20, 30), 0}));
    EXPECT_EQ(ParseKeyEntryText(u" 1 , 2 ,3, -4"), (UserKeyEntry{MakeColour(1, 2, 3), 1}));
    // Missing or broken fields take the default's (255,0,0,1); components stay within 0..255.
    EXPECT_EQ(ParseKeyEntryText(u"10,20"), (UserKeyEntry{MakeColour(10, 20, 0), 1}));
    EXPECT_EQ(ParseKeyEntryText(u"300,-5,x,0"), (UserKeyEntry{MakeColour(255, 0, 0), 1}));
    EXPECT_EQ(ParseKeyEntryText(u""), (UserKeyEntry{kRed, 1}));
    EXPECT_EQ(ParseColourText(u"0,128,255", kBlack), MakeColour(0, 128, 255));
    EXPECT_EQ(ParseColourText(u"junk", MakeColour(1, 2, 3)), MakeColour(1, 2, 3));
    EXPECT_EQ(ParseColourText(u"99999999999,5,5", kBlack), MakeColour(255, 5, 5));
}

TEST(UserModeText, WritesDecimalComponents) {
    EXPECT_EQ(FormatColourText(MakeColour(0, 128, 255)), u"0,128,255");
    EXPECT_EQ(FormatKeyEntryText({MakeColour(0, 128, 255), 1}), u"0,128,255,1");
    EXPECT_EQ(FormatKeyEntryText({MakeColour(9, 8, 7), 0}), u"9,8,7,0");
}

TEST(UserModeFileRead, MissingFileGivesTheDefaults) {
    TempDir dir;
    const IniDocument doc = UserModeFile(dir / "UserDengColor_0.userd").Read();
    EXPECT_EQ(UserModeFile::PresentMode(doc), 0);
    for (int m = 0; m < kUserModeCount; ++m) {
        EXPECT_EQ(UserModeFile::ModeName(doc, m), u"0");
        EXPECT_EQ(UserModeFile::Brushes(doc, m), (UserBrushes{0, kBlack, kBlack}));
        for (uint8_t position : UserModeKeyPositions())
            ASSERT_EQ(UserModeFile::Key(doc, m, position), (UserKeyEntry{kRed, 1}));
    }
}

TEST(UserModeFileRead, ReadsEveryKeyOfTheFile) {
    const IniDocument doc = Doc(
        "[PRESENTMODE]\nmode=4\n[MODENAME]\n4=Night\n[Mode4]\ntool=1\njcolor=1,2,3\ncolor=4,5,6\n0=7,8,9,0\n"
        "[mode4]\n1=0,0,0,0\n");
    EXPECT_EQ(UserModeFile::PresentMode(doc), 4);
    EXPECT_EQ(UserModeFile::ModeName(doc, 4), u"Night");
    EXPECT_EQ(UserModeFile::Brushes(doc, 4), (UserBrushes{1, MakeColour(1, 2, 3), MakeColour(4, 5, 6)}));
    EXPECT_EQ(UserModeFile::Key(doc, 4, 0), (UserKeyEntry{MakeColour(7, 8, 9), 0}));
    EXPECT_EQ(UserModeFile::Key(doc, 4, 1), (UserKeyEntry{kRed, 1})) << "the first section of a name wins";
    EXPECT_EQ(UserModeFile::PresentMode(Doc("[PRESENTMODE]\nmode=12\n")), 0) << "no mode 12";
    EXPECT_EQ(UserModeFile::PresentMode(Doc("[PRESENTMODE]\nmode=-1\n")), 0);
}

TEST(UserModeFileWrite, KeepsTheFilesEncodingAndOtherLines) {
    TempDir dir;
    const auto path = dir / "UserDengColor_1.userd";
    test::WriteUtf16File(path, u"; painted by hand\r\n[Mode2]\r\ntool=0\r\n5=1,1,1,1\r\n");
    const UserModeFile file(path);
    const std::pair<int, UserKeyEntry> keys[] = {{0, {MakeColour(0, 128, 255), 1}}, {5, {kWhite, 0}}};
    ASSERT_TRUE(file.WriteKeys(2, keys));
    ASSERT_TRUE(file.WriteBrushes(2, {1, MakeColour(0, 128, 255), MakeColour(3, 2, 1)}));
    ASSERT_TRUE(file.WritePresentMode(2));
    ASSERT_TRUE(file.WriteModeName(2, u"Zweite\nZeile"));

    const auto bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    const IniDocument doc = file.Read();
    EXPECT_EQ(doc.Find(u"Mode2", u"0"), u"0,128,255,1");
    EXPECT_EQ(doc.Find(u"Mode2", u"5"), u"255,255,255,0");
    EXPECT_EQ(doc.Find(u"Mode2", u"tool"), u"1");
    EXPECT_EQ(doc.Find(u"Mode2", u"jcolor"), u"0,128,255");
    EXPECT_EQ(doc.Find(u"Mode2", u"color"), u"3,2,1");
    EXPECT_EQ(UserModeFile::PresentMode(doc), 2);
    EXPECT_EQ(UserModeFile::ModeName(doc, 2), u"Zweite Zeile") << "a name never adds lines";
    const std::string text = Utf16ToUtf8(
        std::u16string(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2));
    EXPECT_EQ(text.rfind("; painted by hand\r\n", 0), 0u);
}

TEST(UserModeFileWrite, CrashMidWriteLeavesTheOldFile) {
    TempDir dir;
    const auto path = dir / "UserDengColor_0.userd";
    WriteText(path, "[Mode0]\r\ntool=0\r\n0=1,2,3,0\r\n");
    const auto before = ReadBytes(path);
    const UserModeFile file(path);
    SetWriteFaultAfterBytesForTesting(8);
    const std::pair<int, UserKeyEntry> key{0, {kWhite, 1}};
    std::string error;
    const bool ok = file.WriteKeys(0, {&key, 1}, &error);
    const bool brushes = file.WriteBrushes(0, {1, kWhite, kWhite}, {}, &error);
    SetWriteFaultAfterBytesForTesting(-1);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(brushes);
    EXPECT_NE(error.find("UserDengColor_0"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(path), before);
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1u) << "no temporary file left behind";
}

TEST(UserModeFileWrite, UnreadableFileIsNotReplaced) {
    TempDir dir;
    const auto path = dir / "UserDengColor_0.userd";
    WriteText(path, "[Mode0]\r\n0=1,2,3,0\r\n");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    const std::pair<int, UserKeyEntry> key{0, {kWhite, 1}};
    test::RunUnprivileged({dir.path()}, [&]() -> std::string {
        if (UserModeFile(path).WriteKeys(0, {&key, 1})) return "a file it cannot read was replaced";
        return {};
    });
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    EXPECT_EQ(test::ReadText(path), "[Mode0]\r\n0=1,2,3,0\r\n");

    // A folder or a FIFO in the file's place is left there, and the write says no.
    const auto folder = dir / "UserDengColor_1.userd";
    std::filesystem::create_directory(folder);
    const auto fifo = dir / "UserDengColor_2.userd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& other : {folder, fifo})
        EXPECT_FALSE(UserModeFile(other).WriteKeys(0, {&key, 1})) << other;
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST(UserModePositions, ButtonsExtraKeyAndGKeys) {
    const auto positions = UserModeKeyPositions();
    EXPECT_EQ(positions.size(), 106u);
    const std::set<int> distinct(positions.begin(), positions.end());
    EXPECT_EQ(distinct.size(), positions.size());
    EXPECT_EQ(distinct.count(kExtraKeyMatrixPosition), 1u);
    EXPECT_EQ(distinct.count(kGKeyMatrixPosition), 1u);

    EXPECT_EQ(PaintPositionOfButton(1022), 0);    // Esc
    EXPECT_EQ(PaintPositionOfButton(1118), 104);  // Num Enter
    for (uint16_t g : kGKeyControlIds)
        EXPECT_EQ(PaintPositionOfButton(g), 125);
    EXPECT_EQ(PaintPositionOfButton(kExtraKeyControlId), 110);
    EXPECT_EQ(PaintPositionOfButton(1167), -1);  // the lighting switch is no key
}

class SeedUserModes : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteText(dir / "template.userd", "[MODENAME]\r\n0=Fresh\r\n");
        prefix = (dir.path() / "user" / "UserDengColor_").string();
    }
    std::filesystem::path Settings() const { return dir / "wskb.ini"; }
    TempDir dir;
    std::string prefix;
};

TEST_F(SeedUserModes, CopiesTheTemplateOnceThenKeepsTheUsersFiles) {
    ASSERT_TRUE(EnsureUserModeFiles(Settings(), dir / "template.userd", prefix));
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(test::ReadText(UserModeFilePath(prefix, n)), "[MODENAME]\r\n0=Fresh\r\n");
    EXPECT_FALSE(std::filesystem::exists(UserModeFilePath(prefix, 4)));
    EXPECT_TRUE(SettingsFile(Settings()).IsOn(SettingsFile::kUserModeCheck));

    WriteText(UserModeFilePath(prefix, 0), "[MODENAME]\r\n0=Mine\r\n");
    WriteText(dir / "template.userd", "[MODENAME]\r\n0=Changed\r\n");
    ASSERT_TRUE(EnsureUserModeFiles(Settings(), dir / "template.userd", prefix));
    EXPECT_EQ(test::ReadText(UserModeFilePath(prefix, 0)), "[MODENAME]\r\n0=Mine\r\n");
    EXPECT_EQ(test::ReadText(UserModeFilePath(prefix, 1)), "[MODENAME]\r\n0=Fresh\r\n");
}

TEST_F(SeedUserModes, ReplacesStaleFilesWhileTheCheckIsUnset) {
    std::filesystem::create_directories(dir.path() / "user");
    WriteText(UserModeFilePath(prefix, 2), "stale");
    WriteText(Settings(), "[KEYCOLOR]\r\nusermodeCheck=0\r\nDengCheck=1\r\n");
    ASSERT_TRUE(EnsureUserModeFiles(Settings(), dir / "template.userd", prefix));
    EXPECT_EQ(test::ReadText(UserModeFilePath(prefix, 2)), "[MODENAME]\r\n0=Fresh\r\n");
    EXPECT_TRUE(SettingsFile(Settings()).IsOn(SettingsFile::kDengCheck)) << "the other switch is kept";
}

TEST_F(SeedUserModes, MissingTemplateLeavesTheCheckUnsetForTheNextStart) {
    std::string error;
    EXPECT_FALSE(EnsureUserModeFiles(Settings(), dir / "absent.userd", prefix, &error));
    EXPECT_NE(error.find("absent.userd"), std::string::npos) << error;
    EXPECT_FALSE(SettingsFile(Settings()).IsOn(SettingsFile::kUserModeCheck));
    EXPECT_FALSE(std::filesystem::exists(UserModeFilePath(prefix, 0)));
}

// The template shipped beside the program: every key a user mode holds, well formed.
TEST(ShippedUserModeTemplate, HoldsTenCompleteDistinctModes) {
    const auto path = test::BinDir() / "Skins" / "UserDengColor_3.userd";
    const auto bytes = ReadBytes(path);
    ASSERT_GE(bytes.size(), 4u) << path;
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    const std::u16string text(reinterpret_cast<const char16_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == u'\r') << "bare line feed at " << i;
        }
    }

    const IniDocument doc = IniDocument::Parse(bytes);
    ASSERT_EQ(doc.encoding(), IniEncoding::Utf16Le);
    ASSERT_TRUE(doc.Find(u"PRESENTMODE", u"mode"));
    EXPECT_EQ(UserModeFile::PresentMode(doc), ParseLeadingInt(*doc.Find(u"PRESENTMODE", u"mode")));

    std::set<std::u16string> names;
    std::set<std::vector<Colour>> palettes;
    auto isNumberList = [](std::u16string_view v, int fields) {
        int count = 1;
        bool digit = false;
        for (char16_t c : v) {
            if (c == u',') {
                if (!digit) return false;
                ++count;
                digit = false;
            } else if (c >= u'0' && c <= u'9') {
                digit = true;
            } else {
                return false;
            }
        }
        return digit && count == fields;
    };
    for (int m = 0; m < kUserModeCount; ++m) {
        const auto name = doc.Find(u"MODENAME", std::u16string(1, static_cast<char16_t>(u'0' + m)));
        ASSERT_TRUE(name) << "MODENAME " << m;
        EXPECT_FALSE(name->empty());
        EXPECT_NE(*name, u"0");
        names.insert(*name);
        const std::u16string section = UserModeFile::SectionOf(m);
        const auto tool = doc.Find(section, u"tool");
        ASSERT_TRUE(tool) << m;
        EXPECT_TRUE(*tool == u"0" || *tool == u"1") << m;
        for (const char16_t* key : {u"jcolor", u"color"}) {
            const auto v = doc.Find(section, key);
            ASSERT_TRUE(v) << m;
            EXPECT_TRUE(isNumberList(*v, 3)) << m;
        }
        std::vector<Colour> palette;
        int following = 0;
        const UserBrushes brushes = UserModeFile::Brushes(doc, m);
        for (uint8_t position : UserModeKeyPositions()) {
            std::u16string key;
            for (char c : std::to_string(position))
                key.push_back(static_cast<char16_t>(c));
            const auto v = doc.Find(section, key);
            ASSERT_TRUE(v) << "mode " << m << " key " << int(position);
            ASSERT_TRUE(isNumberList(*v, 4)) << "mode " << m << " key " << int(position);
            const UserKeyEntry e = UserModeFile::Key(doc, m, position);
            EXPECT_LE(ParseLeadingInt(v->substr(v->rfind(u',') + 1)), 1);
            if (e.flag == 1) {
                ++following;
                EXPECT_EQ(e.colour, brushes.jcolor) << "a key that follows jcolor shows it, mode " << m;
            }
            palette.push_back(e.colour);
        }
        const std::set<Colour> colours(palette.begin(), palette.end());
        EXPECT_GE(colours.size(), 2u) << "mode " << m << " is a single colour";
        palettes.insert(palette);
        (void)following;
    }
    EXPECT_EQ(names.size(), 10u) << "mode names are distinct";
    EXPECT_EQ(palettes.size(), 10u) << "palettes are distinct";
}

}  // namespace
}  // namespace vornak
