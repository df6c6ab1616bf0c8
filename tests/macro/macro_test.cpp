#include <gtest/gtest.h>

#include <functional>

#include "macro/macro_blob.h"
#include "macro/macro_record.h"
#include "platform/bytes.h"
#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

const LanguageTexts kBuiltIn;

TEST(MacroRecord, NewRecordTakesTheLowestFreeId) {
    std::vector<MacroRecord> list;
    list.push_back(MakeMacro(u"a", 1, {}));
    list.push_back(MakeMacro(u"c", 3, {}));
    const MacroRecord r = NewMacroRecord(u"Macro4", list);
    EXPECT_EQ(r.id, 2);
    EXPECT_EQ(r.cycles, 1);
    EXPECT_EQ(r.isNew, 1);
    EXPECT_EQ(r.actionCount, 0);
    EXPECT_EQ(r.Name(), u"Macro4");
    std::vector<MacroRecord> full;
    for (uint16_t id = 1; id <= 100; ++id)
        full.push_back(MakeMacro(u"m", id, {}));
    EXPECT_EQ(LowestFreeMacroId(full), 0);
}

TEST(MacroRecord, NameIsCutTo249Units) {
    MacroRecord r{};
    r.SetName(std::u16string(300, u'x'));
    EXPECT_EQ(r.Name().size(), 249u);
    EXPECT_EQ(r.name[249], u'\0');
}

TEST(MacroRecord, PositionAndIdLookups) {
    const std::vector<MacroRecord> list = {MakeMacro(u"a", 7, {}), MakeMacro(u"b", 3, {})};
    EXPECT_EQ(MacroPositionOfId(list, 3), 1u);
    EXPECT_EQ(MacroPositionOfId(list, 0x10003), 1u);  // compared on the low 16 bits
    EXPECT_EQ(MacroPositionOfId(list, 9), 0u);
    EXPECT_EQ(MacroIdAtPosition(list, 0), 7);
    EXPECT_EQ(MacroIdAtPosition(list, 2), 0);
    EXPECT_EQ(FindMacro(list, 9), nullptr);
}

TEST(MacroBlob, SizesWithAndWithoutNames) {
    EXPECT_EQ(ComputeMacroBlobSizes({}).withoutNames, 16u);
    const auto empty = EncodeMacroBlob({}, true);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->size(), 16u);
    EXPECT_EQ(ReadLe16(*empty, 0), 0x55AA);
    EXPECT_EQ(ReadLe16(*empty, 4), 0);

    const std::vector<MacroRecord> one = {MakeMacro(u"ab", 1, {{10, 0x1E, 0}, {10, 0x1E, 1}, {0, 0x30, 0}})};
    const MacroBlobSizes s = ComputeMacroBlobSizes(one);
    EXPECT_EQ(s.withoutNames, 34u);
    EXPECT_EQ(s.withNames, 38u);
    EXPECT_EQ(EncodeMacroBlob(one, false)->size(), 34u);
    const auto named = EncodeMacroBlob(one, true);
    EXPECT_EQ(named->size(), 38u);
    EXPECT_EQ(ReadLe16(*named, 2), 38);
    EXPECT_EQ(ReadLe16(*named, 6), 1);
    EXPECT_EQ(ReadLe16(*named, 16), 18);  // first macro right after the offset table
    EXPECT_EQ((*named)[21], 2);           // name length
    EXPECT_EQ(ReadLe16(*named, 34), u'a');
}

TEST(MacroBlob, SizesBeyondSixteenBitsAreNotWrapped) {
    std::vector<MacroRecord> big(100);
    for (uint16_t i = 0; i < 100; ++i) {
        big[i] = MakeMacro(u"m", static_cast<uint16_t>(i + 1), {});
        big[i].actionCount = 2000;
    }
    EXPECT_EQ(ComputeMacroBlobSizes(big).withoutNames, 16u + 200u + 100u * 8004u);
    EXPECT_FALSE(EncodeMacroBlob(big, false));
}

TEST(MacroBlob, ActionWords) {
    const BlobAction press = EncodeMacroAction({250, 0x01E, 0});
    EXPECT_EQ(press.w0, 0xA019);
    EXPECT_EQ(press.w1, 0x0402);
    const BlobAction release = EncodeMacroAction({250, 0x01E, 1});
    EXPECT_EQ(release.w0, 0x2019);
    EXPECT_EQ(release.w1, press.w1);
    EXPECT_EQ(EncodeMacroAction({40000, 0x01E, 0}).w0 & 0xFFF, 4000);
    EXPECT_EQ(EncodeMacroAction({47, 0x01E, 0}).w0 & 0xFFF, 4);
    EXPECT_EQ(EncodeMacroAction({99999, 0x01E, 0}).w0 & 0xFFF, 0xFFF);  // held, never wrapped
    EXPECT_EQ(EncodeMacroAction({0, 0x01D, 0}).w1, 0x0101);             // Ctrl: modifier bit 0x01
    EXPECT_EQ(EncodeMacroAction({0, 0x15C, 0}).w1, 0x8001);             // Right Win: 0x80
    const BlobAction mute = EncodeMacroAction({0, 0x120, 0});
    EXPECT_EQ(mute.w0 >> 12 & 7, 3);
    EXPECT_EQ(mute.w1, 0x00E2);
    const BlobAction power = EncodeMacroAction({0, 0x15E, 0});
    EXPECT_EQ(power.w0 >> 12 & 7, 4);
    EXPECT_EQ(power.w1, 0x0081);
    const BlobAction copy = EncodeMacroAction({0, 0x176, 0});  // no usage
    EXPECT_EQ(copy.w0 >> 12 & 7, 0);
    EXPECT_EQ(copy.w1, 0);
}

TEST(MacroBlob, DecodesWhatItEncodes) {
    const std::vector<MacroRecord> list = {
        MakeMacro(u"Greet", 4, {{120, 0x01D, 0}, {30, 0x02E, 0}, {40000, 0x02E, 1}, {0, 0x01D, 1}}, 3),
        MakeMacro(u"Media", 9, {{0, 0x120, 0}, {10, 0x120, 1}, {0, 0x15E, 0}}, 255),
    };
    for (bool names : {true, false}) {
        const auto blob = EncodeMacroBlob(list, names);
        ASSERT_TRUE(blob);
        std::string error;
        const auto back = DecodeMacroBlob(*blob, kBuiltIn, &error);
        ASSERT_TRUE(back) << error;
        ASSERT_EQ(back->size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            const MacroRecord& m = (*back)[i];
            EXPECT_EQ(m.id, i + 1);  // positions become ids
            EXPECT_EQ(m.isNew, 0);
            EXPECT_EQ(m.cycles, list[i].cycles);
            ASSERT_EQ(m.actionCount, list[i].actionCount);
            for (size_t k = 0; k < m.actionCount; ++k) {
                EXPECT_EQ(m.actions[k].keyCode, list[i].actions[k].keyCode);
                EXPECT_EQ(m.actions[k].release, list[i].actions[k].release);
                EXPECT_EQ(m.actions[k].delay, list[i].actions[k].delay);
            }
        }
        EXPECT_EQ((*back)[0].Name(), names ? u"Greet" : u"Macro1");
        EXPECT_EQ((*back)[1].Name(), names ? u"Media" : u"Macro2");
    }
}

TEST(MacroBlob, DecodedDelaysAreWholeSteps) {
    const auto blob = EncodeMacroBlob(std::vector{MakeMacro(u"d", 1, {{47, 0x01E, 0}})}, false);
    EXPECT_EQ((*DecodeMacroBlob(*blob, kBuiltIn))[0].actions[0].delay, 40u);
}

struct BadBlob {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
};

void PrintTo(const BadBlob& b, std::ostream* out) {
    *out << b.name;
}

class MacroBlobRejects : public ::testing::TestWithParam<BadBlob> {};

// A blob read from the keyboard is untrusted: each damage must be refused, never read past.
TEST_P(MacroBlobRejects, Damaged) {
    const std::vector<MacroRecord> list = {MakeMacro(u"ab", 1, {{10, 0x1E, 0}, {10, 0x1E, 1}}),
                                           MakeMacro(u"cd", 2, {{10, 0x30, 0}})};
    auto blob = *EncodeMacroBlob(list, true);
    ASSERT_TRUE(DecodeMacroBlob(blob, kBuiltIn));
    GetParam().damage(blob);
    std::string error;
    EXPECT_FALSE(DecodeMacroBlob(blob, kBuiltIn, &error));
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Untrusted, MacroBlobRejects,
    ::testing::Values(BadBlob{"ShorterThanHeader", [](auto& b) { b.resize(15); }},
                      BadBlob{"WrongMagic", [](auto& b) { b[0] = 0; }},
                      BadBlob{"SizeFieldBeyondBytesRead",
                              [](auto& b) { WriteLe16(b, 2, static_cast<uint16_t>(b.size() + 1)); }},
                      BadBlob{"SizeFieldBelowHeader", [](auto& b) { WriteLe16(b, 2, 8); }},
                      BadBlob{"MoreThanAHundredMacros", [](auto& b) { WriteLe16(b, 4, 101); }},
                      BadBlob{"OffsetTablePastEnd", [](auto& b) { WriteLe16(b, 4, 40); }},
                      BadBlob{"OffsetInsideTable", [](auto& b) { WriteLe16(b, 16, 4); }},
                      BadBlob{"OffsetPastEnd",
                              [](auto& b) { WriteLe16(b, 18, static_cast<uint16_t>(b.size() - 2)); }},
                      BadBlob{"ActionsPastEnd", [](auto& b) { WriteLe16(b, ReadLe16(b, 18), 200); }},
                      BadBlob{"TooManyActions", [](auto& b) { WriteLe16(b, ReadLe16(b, 16), 2001); }},
                      BadBlob{"NamePastEnd", [](auto& b) { b[ReadLe16(b, 18) + 3] = 200; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MacroBlob, BytesAfterItsSizeAreIgnored) {
    auto blob = *EncodeMacroBlob(std::vector{MakeMacro(u"ab", 1, {{10, 0x1E, 0}})}, true);
    blob.resize(blob.size() + 100, 0xEE);
    ASSERT_TRUE(DecodeMacroBlob(blob, kBuiltIn));
}

}  // namespace
}  // namespace vornak
