#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/file_io.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace vornak {
namespace {

using test::ReadBytes;
using test::ReadText;
using test::TempDir;
using test::WriteText;

IniDocument Doc(std::string_view text) {
    return IniDocument::Parse({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

struct LookupCase {
    const char* name;
    const char* file;
    const char16_t* section;
    const char16_t* key;
    const char16_t* def;
    size_t capacity;
    const char16_t* expected;
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.name;
}

class IniLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(IniLookup, GivesTheStoredValueOrTheTrimmedDefault) {
    const auto& c = GetParam();
    EXPECT_EQ(Doc(c.file).GetString(c.section, c.key, c.def, c.capacity), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Semantics, IniLookup,
    ::testing::Values(
        LookupCase{"CaseOfSectionAndKeyIgnored", "[Mode2]\nTool=1\n", u"mode2", u"TOOL", u"", 260, u"1"},
        LookupCase{"BlanksTrimmedBothEnds", "[s]\nk =  a b \t\n", u"s", u"k", u"", 260, u"a b"},
        LookupCase{"DoubleQuotesRemoved", "[s]\nk = \" a \"\n", u"s", u"k", u"", 260, u" a "},
        LookupCase{"SingleQuotesRemoved", "[s]\nk='x'\n", u"s", u"k", u"", 260, u"x"},
        LookupCase{"UnmatchedQuotesKept", "[s]\nk=\"x'\n", u"s", u"k", u"", 260, u"\"x'"},
        LookupCase{"OnlyOnePairRemoved", "[s]\nk=\"\"x\"\"\n", u"s", u"k", u"", 260, u"\"x\""},
        LookupCase{"TextAfterFirstEquals", "[s]\nk=a=b\n", u"s", u"k", u"", 260, u"a=b"},
        LookupCase{"EmptyValueIsNotTheDefault", "[s]\nk=\n", u"s", u"k", u"dflt", 260, u""},
        LookupCase{"MissingKeyTrimsDefault", "[s]\nk=1\n", u"s", u"other", u"abc  ", 260, u"abc"},
        LookupCase{"OneBlankDefaultIsEmpty", "", u"s", u"k", u" ", 260, u""},
        LookupCase{"MissingSectionGivesDefault", "[t]\nk=1\n", u"s", u"k", u"0", 260, u"0"},
        LookupCase{"CutToCapacityMinusOne", "[s]\nk=Backspace\n", u"s", u"k", u"", 4, u"Bac"},
        LookupCase{"CapacityOneGivesNothing", "[s]\nk=abc\n", u"s", u"k", u"", 1, u""},
        LookupCase{"DefaultCutToo", "", u"s", u"k", u"abcdef", 3, u"ab"},
        LookupCase{"FirstSectionOfANameWins", "[s]\nk=1\n[S]\nk=2\nj=3\n", u"s", u"j", u"-", 260, u"-"},
        LookupCase{"FirstKeyOfANameWins", "[s]\nk=1\nK=2\n", u"s", u"k", u"", 260, u"1"},
        LookupCase{"KeysBeforeAnySectionIgnored", "k=1\n[s]\n", u"s", u"k", u"-", 260, u"-"},
        LookupCase{"CommentLinesAreNoKeys", "[s]\n;k=1\n", u"s", u";k", u"-", 260, u"-"},
        LookupCase{"CrLfLines", "[s]\r\nk=v\r\n", u"s", u"k", u"", 260, u"v"},
        LookupCase{"SectionHeaderBlanks", "  [ s ]  \nk=v\n", u"s", u"k", u"", 260, u"v"},
        LookupCase{"Utf8MarkSkipped", "\xEF\xBB\xBF[s]\nk=v\n", u"s", u"k", u"", 260, u"v"},
        LookupCase{"Utf8Text", "[s]\nk=\xE5\xAE\x8F\n", u"s", u"k", u"", 260, u"\x5B8F"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, ReadsUtf16LittleEndianWithMark) {
    TempDir dir;
    test::WriteUtf16File(dir / "a.ini",
                         u"[LANGUAGE]\r\nlanguage = 1\r\n[CHINESE]\r\nMENU_1=\x5BFC\x5165\r\n");
    CIniFile ini(dir / "a.ini");
    EXPECT_EQ(ini.GetInt(u"language", u"LANGUAGE", 7), 1);
    EXPECT_EQ(ini.GetString(u"CHINESE", u"MENU_1", u""), u"\x5BFC\x5165");
    EXPECT_EQ(ini.Read().encoding(), IniEncoding::Utf16Le);
}

TEST(IniFile, MissingFileGivesDefaults) {
    TempDir dir;
    CIniFile ini(dir / "none.ini");
    EXPECT_EQ(ini.GetString(u"KEYCOLOR", u"DengCheck", u"0"), u"0");
    EXPECT_EQ(ini.GetInt(u"KEYCOLOR", u"DengCheck", 5), 5);
    EXPECT_FALSE(ini.Read().loadedFromFile());
}

TEST(IniFile, GetIntReadsLeadingNumber) {
    const auto doc = Doc("[s]\na=12abc\nb=word\nc= -3\nd=\ne=99999999999\n");
    EXPECT_EQ(doc.GetInt(u"s", u"a", 0), 12);
    EXPECT_EQ(doc.GetInt(u"s", u"b", 9), 0);
    EXPECT_EQ(doc.GetInt(u"s", u"c", 0), -3);
    EXPECT_EQ(doc.GetInt(u"s", u"d", 9), 0);
    EXPECT_EQ(doc.GetInt(u"s", u"e", 0), INT32_MAX);
    EXPECT_EQ(doc.GetInt(u"s", u"missing", 9), 9);
}

// Writes: every line that is not written keeps its bytes, including ones that are not valid UTF-8.
TEST(IniWrite, ReplacesInPlaceAndKeepsEveryOtherLine) {
    TempDir dir;
    const std::string before =
        "; comment \xFF\xFE odd bytes\r\n[Mode2]\r\n  tool = 0 ; not a "
        "comment\r\n0=1,2,3,1\r\n\r\n[Other]\r\nx=1";
    WriteText(dir / "f.ini", before);
    CIniFile ini(dir / "f.ini");
    ASSERT_TRUE(ini.WriteString(u"MODE2", u"TOOL", u"1"));
    EXPECT_EQ(ReadText(dir / "f.ini"),
              "; comment \xFF\xFE odd bytes\r\n[Mode2]\r\n  tool =1\r\n0=1,2,3,1\r\n\r\n[Other]\r\nx=1");
}

TEST(IniWrite, AddsMissingKeyAtTheEndOfItsSection) {
    auto doc = Doc("[a]\nk=1\n\n[b]\nj=2\n");
    doc.SetString(u"a", u"new", u"v");
    const auto bytes = doc.Serialize();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[a]\nk=1\nnew=v\n\n[b]\nj=2\n");
}

TEST(IniWrite, AddsMissingSectionAtTheEndOfTheFile) {
    auto doc = Doc("[a]\r\nk=1");
    doc.SetString(u"KEYCOLOR", u"DengCheck", u"1");
    const auto bytes = doc.Serialize();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[a]\r\nk=1\r\n[KEYCOLOR]\r\nDengCheck=1\r\n");
}

TEST(IniWrite, NewFileIsCreated) {
    TempDir dir;
    CIniFile ini(dir / "wskb.ini");
    ASSERT_TRUE(ini.WriteString(u"KEYCOLOR", u"usermodeCheck", u"1"));
    EXPECT_EQ(ini.GetString(u"KEYCOLOR", u"usermodeCheck", u"0"), u"1");
}

TEST(IniWrite, KeepsUtf16EncodingAndMark) {
    TempDir dir;
    test::WriteUtf16File(dir / "u.userd", u"[PRESENTMODE]\r\nmode=0\r\n");
    CIniFile ini(dir / "u.userd");
    ASSERT_TRUE(ini.WriteString(u"PRESENTMODE", u"mode", u"3"));
    ASSERT_TRUE(ini.WriteString(u"MODENAME", u"3", u"\x5B8F"));
    const auto bytes = ReadBytes(dir / "u.userd");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(ini.GetString(u"PRESENTMODE", u"mode", u""), u"3");
    EXPECT_EQ(ini.GetString(u"MODENAME", u"3", u""), u"\x5B8F");
    // Exactly the bytes a UTF-16 writer would give.
    std::vector<uint8_t> expected = {0xFF, 0xFE};
    for (char16_t c : std::u16string(u"[PRESENTMODE]\r\nmode=3\r\n[MODENAME]\r\n3=\x5B8F\r\n")) {
        expected.push_back(static_cast<uint8_t>(c & 0xFF));
        expected.push_back(static_cast<uint8_t>(c >> 8));
    }
    EXPECT_EQ(bytes, expected);
}

// A file cut off after the CR of its last line: the CR ends that line, and a write after it keeps the line's
// text and meaning instead of turning its CR into part of a new CR LF.
TEST(IniWrite, ALastLineEndingInACarriageReturnKeepsItsMeaning) {
    for (const auto& [utf16, text] :
         {std::pair{false, std::u16string(u"[a]\r\nk=1\r\n[b]\r")},
          std::pair{true, std::u16string(u"[a]\r\nk=1\r\n[b]\r")}, std::pair{false, std::u16string(u"[b]\r")},
          std::pair{true, std::u16string(u"[b]\r")}}) {
        std::vector<uint8_t> bytes;
        if (utf16) {
            bytes = {0xFF, 0xFE};
            for (const char16_t c : text) {
                bytes.push_back(static_cast<uint8_t>(c & 0xFF));
                bytes.push_back(static_cast<uint8_t>(c >> 8));
            }
        } else {
            for (const char16_t c : text)
                bytes.push_back(static_cast<uint8_t>(c));
        }
        IniDocument doc = IniDocument::Parse(bytes);
        EXPECT_EQ(doc.Serialize(), bytes) << utf16;
        EXPECT_TRUE(doc.HasSection(u"b")) << utf16;
        doc.SetString(u"c", u"y", u"3");
        doc.SetString(u"b", u"x", u"2");
        const IniDocument again = IniDocument::Parse(doc.Serialize());
        EXPECT_EQ(again.GetString(u"b", u"x", u""), u"2") << utf16;
        EXPECT_EQ(again.GetString(u"c", u"y", u""), u"3") << utf16;
        EXPECT_EQ(again.GetString(u"a", u"k", u"none"), text.size() > 4 ? u"1" : u"none") << utf16;
    }
    auto doc = Doc("[s]\nk=v\r");
    EXPECT_EQ(doc.GetString(u"s", u"k", u""), u"v");
}

TEST(IniWrite, LineBreaksInAValueCannotAddLines) {
    auto doc = Doc("[s]\nk=1\n");
    doc.SetString(u"s", u"k", u"a\r\n[evil]\nx=1");
    EXPECT_FALSE(doc.HasSection(u"evil"));
    EXPECT_EQ(doc.GetString(u"s", u"k", u""), u"a  [evil] x=1");
}

// A file that cannot be read is never replaced by one holding only the new key: a file the user may not
// read, and a folder or a FIFO put in its place, which no one reads (a FIFO must not hang the read either).
TEST(IniWrite, UnreadableFileIsNotReplaced) {
    TempDir dir;
    const auto file = dir / "f.ini";
    WriteText(file, "[s]\nk=1\nkeep=me\n");
    ::chmod(file.c_str(), 0200);
    test::RunUnprivileged({dir.path()}, [&]() -> std::string {
        std::string error;
        if (CIniFile(file).WriteString(u"s", u"k", u"2", &error)) return "a file it cannot read was replaced";
        if (error.find("f.ini") == std::string::npos) return "the error does not name the file: " + error;
        return {};
    });
    ::chmod(file.c_str(), 0600);
    EXPECT_EQ(ReadText(file), "[s]\nk=1\nkeep=me\n");

    const auto folder = dir / "folder.ini";
    std::filesystem::create_directory(folder);
    const auto fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& path : {folder, fifo}) {
        std::string error;
        EXPECT_FALSE(CIniFile(path).WriteString(u"s", u"k", u"2", &error)) << path;
        EXPECT_NE(error.find(path.filename().string() + ": not a regular file"), std::string::npos) << error;
        EXPECT_EQ(CIniFile(path).GetString(u"s", u"k", u"none"), u"none") << path;
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST(IniWrite, FailedWriteLeavesTheOldFile) {
    TempDir dir;
    WriteText(dir / "f.ini", "[s]\nk=1\n");
    SetWriteFaultAfterBytesForTesting(3);
    std::string error;
    const bool ok = CIniFile(dir / "f.ini").WriteString(u"s", u"k", u"2", &error);
    SetWriteFaultAfterBytesForTesting(-1);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadText(dir / "f.ini"), "[s]\nk=1\n");
    EXPECT_NE(error.find("f.ini"), std::string::npos);
}

TEST(IniReader, ServesManyKeysFromOneParse) {
    std::string text = "[Mode0]\n";
    for (int i = 0; i < 126; ++i)
        text += std::to_string(i) + "=" + std::to_string(i) + ",0,0,1\n";
    const auto doc = Doc(text);
    for (int i = 0; i < 126; ++i) {
        const auto key = std::to_string(i);
        const std::u16string key16(key.begin(), key.end());
        EXPECT_EQ(doc.GetString(u"mode0", key16, u""), key16 + u",0,0,1");
    }
}

}  // namespace
}  // namespace vornak
