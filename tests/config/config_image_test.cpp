#include <gtest/gtest.h>

#include "config/config_image.h"
#include "config/config_store.h"
#include "platform/bytes.h"

namespace vornak {
namespace {

std::span<const uint8_t, kConfigHeaderSize> Header(const ConfigImage& image) {
    return std::span<const uint8_t, kConfigHeaderSize>(image.bytes().data(), kConfigHeaderSize);
}

TEST(ConfigImage, DefaultImage) {
    const ConfigImage image = ConfigImage::Default();
    const auto b = image.bytes();
    ASSERT_EQ(b.size(), 32832u);
    EXPECT_EQ(b[0], 0x46);
    EXPECT_EQ(b[1], 0x44);
    EXPECT_EQ(image.macroCount(), 0);
    EXPECT_EQ(image.namePoolSize(), 0u);
    EXPECT_EQ(image.totalSize(), 32832u);
    unsigned sum = 0;
    for (int i = 0; i < 31; ++i)
        sum += b[i];
    EXPECT_EQ(b[31], sum % 256);
    EXPECT_EQ(CheckHeader(Header(image)), HeaderProblem::None);
    // Device block.
    EXPECT_EQ(ReadLe16(b, 32), 0x484B);
    EXPECT_EQ(ReadLe32(b, 36), 0x8020u);
    EXPECT_EQ(ReadLe16(b, 48), 0x0C45);
    EXPECT_EQ(ReadLe16(b, 50), 0x5004);
    EXPECT_EQ(ReadLe16(b, 52), 0x1C4F);
    EXPECT_EQ(ReadLe16(b, 54), 0x000E);
    // G-key tags only in block 0.
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(image.entry(0, 256 + i).code, 0x0301 + i);
        EXPECT_EQ(image.entry(0, 265 + i).code, 0x1301 + i);
        EXPECT_EQ(image.entry(1, 256 + i).code, 0);
    }
    EXPECT_EQ(image.entry(0, 255), ConfigEntry{});
    EXPECT_EQ(image.entry(0, 274), ConfigEntry{});
}

TEST(ConfigImage, EntriesOfProfileLieAtTheirBytes) {
    ConfigImage image;
    image.setEntry(2, 0x1E, ConfigEntry{2, 0, 0x30, 1, 0});
    const size_t at = 64 + 2 * 8192 + 0x1E * 16;
    EXPECT_EQ(ReadLe16(image.bytes(), at), 2);
    EXPECT_EQ(ReadLe32(image.bytes(), at + 4), 0x30u);
    EXPECT_EQ(ReadLe32(image.bytes(), at + 8), 1u);
    EXPECT_EQ(image.entry(EntryIndex(2, 0x1E)).value, 0x30u);
}

TEST(ConfigImage, HeaderChecksInTheirOrder) {
    struct Case {
        size_t offset;
        uint8_t value;
        HeaderProblem expected;
    };
    for (const Case c : {Case{0, 0x47, HeaderProblem::Magic}, Case{2, 33, HeaderProblem::HeaderSize},
                         Case{4, 2, HeaderProblem::ProfileCount}, Case{6, 2, HeaderProblem::Version},
                         Case{13, 0, HeaderProblem::EntryCount}, Case{30, 2, HeaderProblem::Flag}}) {
        ConfigImage image = ConfigImage::Default();
        image.bytes()[c.offset] = c.value;
        image.bytes()[31] = HeaderChecksum(image.bytes());  // only the field is wrong
        EXPECT_EQ(CheckHeader(Header(image)), c.expected) << c.offset;
    }
    ConfigImage flagOne = ConfigImage::Default(1);
    EXPECT_EQ(CheckHeader(Header(flagOne)), HeaderProblem::None);

    ConfigImage checksum = ConfigImage::Default();
    checksum.bytes()[31] += 1;
    EXPECT_EQ(CheckHeader(Header(checksum)), HeaderProblem::Checksum);

    // 101 macros, with a total that agrees: the macro count is what is wrong.
    ConfigImage many = ConfigImage::Default();
    WriteLe16(many.bytes(), 14, 101);
    WriteLe32(many.bytes(), 8, 32832 + 101 * 16512);
    many.bytes()[31] = HeaderChecksum(many.bytes());
    EXPECT_EQ(CheckHeader(Header(many)), HeaderProblem::MacroCount);

    // A total that disagrees with the macro count and pool, every other field right.
    ConfigImage total = ConfigImage::Default();
    WriteLe32(total.bytes(), 16, 10);
    total.bytes()[31] = HeaderChecksum(total.bytes());
    EXPECT_EQ(CheckHeader(Header(total)), HeaderProblem::TotalSize);
}

TEST(ConfigImage, HeaderRefusesTotalsBeyond32Bits) {
    ConfigImage image = ConfigImage::Default();
    EXPECT_FALSE(image.RewriteHeader(1, uint64_t{1} << 32, 0));
    EXPECT_EQ(image.totalSize(), 32832u);
    EXPECT_TRUE(image.RewriteHeader(2, 30, 0));
    EXPECT_EQ(image.totalSize(), 32832u + 2 * 16512 + 30);
}

TEST(NamePool, NamesLieEndToEndInEntryOrder) {
    ConfigImage image = ConfigImage::Default();
    NameTable names;
    image.setEntry(10, ConfigEntry{3, 0, 999, 0, 0});
    image.setEntry(700, ConfigEntry{3, 0, 999, 0, 0});
    image.setEntry(20, ConfigEntry{2, 0, 0x1E, 0, 0});
    names.Set(10, u"calc");
    names.Set(700, u"notepad++");
    EXPECT_EQ(names.total(), 30u);
    const auto pool = LayOutNamePool(image, names);
    ASSERT_EQ(pool.size(), 30u);
    EXPECT_EQ(image.entry(10).value, 0u);
    EXPECT_EQ(image.entry(700).value, 10u);
    EXPECT_EQ(image.entry(20).value, 0x1Eu);  // other kinds keep their value
    EXPECT_EQ(ReadLe16(pool, 10), u'n');
    EXPECT_EQ(ReadLe16(pool, 8), 0);  // terminator of "calc"
}

TEST(NamePool, NameOfAnEntryOfAnotherKindIsLeftOut) {
    ConfigImage image = ConfigImage::Default();
    NameTable names;
    image.setEntry(5, ConfigEntry{2, 0, 0x1E, 0, 0});
    image.setEntry(6, ConfigEntry{6, 0, 0, 0, 0});
    names.Set(5, u"stale");
    names.Set(6, u"text");
    const auto pool = LayOutNamePool(image, names);
    EXPECT_EQ(pool.size(), 22u);  // the total still counts the stale name
    EXPECT_EQ(image.entry(6).value, 0u);
    EXPECT_EQ(ReadLe16(pool, 0), u't');
    names.Clear(5);
    EXPECT_EQ(names.total(), 10u);
}

}  // namespace
}  // namespace vornak
