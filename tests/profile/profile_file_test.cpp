#include "profile/profile_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/bytes.h"

namespace vornak {
namespace {

EditCopy SampleCopy() {
    EditCopy copy;
    copy.image.setEntry(0, 0x1E, ConfigEntry{2, 0, 0x030, 1, 0});
    copy.image.setEntry(1, 0x10, ConfigEntry{4, 5, 2, 0, 0});
    copy.image.setEntry(10, ConfigEntry{3, 0, 0, 0, 0});
    copy.image.setEntry(700, ConfigEntry{6, 0, 0, 1, 0});
    copy.names.Set(10, u"calc");
    copy.names.Set(700, u"Hello, \x4E16\x754C");
    for (uint16_t id : {2, 1}) {
        MacroRecord m = NewMacroRecord(id == 2 ? u"Two" : u"One", copy.macros);
        m.id = id;
        m.isNew = 0;
        m.cycles = 3;
        m.actionCount = 2;
        m.actions[0] = {100, 0x01E, 0};
        m.actions[1] = {0, 0x01E, 1};
        copy.macros.push_back(m);
    }
    return copy;
}

TEST(ProfileFile, SerializesAndParsesBackTheSameCopy) {
    EditCopy copy = SampleCopy();
    const auto bytes = SerializeProfileFile(copy);
    ASSERT_TRUE(bytes);
    const uint32_t pool = (4 + 1) * 2 + (9 + 1) * 2;
    EXPECT_EQ(bytes->size(), 32832u + 2 * 16512u + pool);
    EXPECT_EQ(ReadLe32(*bytes, 8), bytes->size());
    EXPECT_EQ(ReadLe16(*bytes, 14), 2);
    EXPECT_EQ(ReadLe32(*bytes, 16), pool);
    std::string error;
    const auto back = ParseProfileFile(*bytes, &error);
    ASSERT_TRUE(back) << error;
    EXPECT_TRUE(
        std::equal(back->image.bytes().begin(), back->image.bytes().end(), copy.image.bytes().begin()));
    ASSERT_EQ(back->macros.size(), 2u);
    EXPECT_EQ(std::memcmp(back->macros.data(), copy.macros.data(), 2 * kMacroRecordSize), 0);
    for (size_t i = 0; i < kEntryCount; ++i)
        EXPECT_EQ(back->names.name(i), copy.names.name(i)) << i;
    EXPECT_EQ(back->names.total(), copy.names.total());
    // Written again, it is byte for byte the same file.
    EditCopy again = *back;
    EXPECT_EQ(*SerializeProfileFile(again), *bytes);
}

TEST(ProfileFile, DefaultFileIsJustTheImage) {
    EditCopy copy;
    const auto bytes = SerializeProfileFile(copy);
    EXPECT_EQ(bytes->size(), 32832u);
    EXPECT_TRUE(ParseProfileFile(*bytes));
}

struct Damage {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
};

void PrintTo(const Damage& d, std::ostream* out) {
    *out << d.name;
}

class ProfileFileRejects : public ::testing::TestWithParam<Damage> {};

void FixChecksum(std::vector<uint8_t>& b) {
    b[31] = HeaderChecksum(b);
}

TEST_P(ProfileFileRejects, Damaged) {
    EditCopy copy = SampleCopy();
    auto bytes = *SerializeProfileFile(copy);
    GetParam().apply(bytes);
    std::string error;
    EXPECT_FALSE(ParseProfileFile(bytes, &error));
    EXPECT_FALSE(error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Untrusted, ProfileFileRejects,
    ::testing::Values(
        Damage{"ShorterThanAnImage", [](auto& b) { b.resize(32831); }},
        Damage{"HundredAndOneMacros",
               [](auto& b) {
                   WriteLe16(b, 14, 101);
                   FixChecksum(b);
               }},
        Damage{"FlagTwo",
               [](auto& b) {
                   b[30] = 2;
                   FixChecksum(b);
               }},
        Damage{"ChecksumOffByOne", [](auto& b) { b[31] += 1; }},
        Damage{"CutShortOfItsTotal", [](auto& b) { b.resize(b.size() - 1); }},
        Damage{"TooManyActions", [](auto& b) { WriteLe16(b, 32832 + 508, 2001); }},
        Damage{"NameOffsetAtPoolEnd", [](auto& b) { WriteLe32(b, 64 + 10 * 16 + 4, ReadLe32(b, 16)); }},
        Damage{"NameOffsetBeyondPool", [](auto& b) { WriteLe32(b, 64 + 10 * 16 + 4, 0x7FFFFFF0); }},
        Damage{"NameWithoutTerminator",
               [](auto& b) {
                   // The last name's terminator is the last two bytes of the pool.
                   b[b.size() - 1] = 0x41;
                   b[b.size() - 2] = 0x41;
               }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileFile, LongerFileThanItsTotalIsRead) {
    EditCopy copy = SampleCopy();
    auto bytes = *SerializeProfileFile(copy);
    bytes.resize(bytes.size() + 7, 0xAB);
    EXPECT_TRUE(ParseProfileFile(bytes));
}

}  // namespace
}  // namespace vornak
