// The Applications dialog's edits, each read back from the file as the follower would read it.
#include "follow/rules_editor.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using test::TempDir;

FollowRules Reread(const std::filesystem::path& file) {
    std::string error;
    auto rules = LoadFollowRules(file, &error);
    EXPECT_TRUE(rules) << error;
    return rules.value_or(FollowRules{});
}

TEST(RulesEditor, EveryEditReachesTheFileAndADamagedFileIsLeftAlone) {
    TempDir dir;
    const auto file = FollowRulesFile(dir.path());
    RulesEditor editor(file);
    ASSERT_TRUE(editor.Load());  // no file yet: no rules, editable
    EXPECT_TRUE(editor.rules().rules.empty());

    // Typed values are kept as reading the file back gives them; the same application and title again is the
    // same rule with the new profile, whatever the case.
    EXPECT_EQ(editor.Add(u"  firefox ", u"", 0), 0);
    EXPECT_EQ(editor.Add(u"firefox", u"You\nTube", 2), 1);
    EXPECT_EQ(editor.Add(u"steam_app_570", u"", 1), 2);
    EXPECT_EQ(editor.Add(u"FireFox", u"", 1), 0);
    EXPECT_EQ(editor.Add(u"   ", u"", 1), -1);
    EXPECT_EQ(editor.Add(u"gimp", u"", 3), -1);
    FollowRules onDisk = Reread(file);
    ASSERT_EQ(onDisk.rules.size(), 3u);
    EXPECT_EQ(onDisk.rules[0].app, u"firefox");
    EXPECT_EQ(onDisk.rules[0].profile, 1);
    EXPECT_EQ(onDisk.rules[1].title, u"You Tube");
    EXPECT_TRUE(onDisk.following());

    // Remove takes the one row; the application's other rule stays.
    EXPECT_TRUE(editor.Remove(0));
    EXPECT_FALSE(editor.Remove(5));
    onDisk = Reread(file);
    ASSERT_EQ(onDisk.rules.size(), 2u);
    EXPECT_EQ(onDisk.rules[0].title, u"You Tube");

    EXPECT_TRUE(editor.SetDefault(2));
    EXPECT_FALSE(editor.SetDefault(3));
    EXPECT_EQ(Reread(file).defaultProfile, 2);
    EXPECT_TRUE(editor.SetOn(false));
    EXPECT_FALSE(Reread(file).following());
    EXPECT_TRUE(editor.SetDefault(std::nullopt));
    EXPECT_TRUE(editor.SetOn(true));
    onDisk = Reread(file);
    EXPECT_FALSE(onDisk.defaultProfile);
    EXPECT_TRUE(onDisk.following());

    // Add offers what was seen, once each, without the applications that already have a plain rule.
    EXPECT_EQ(editor.AddChoices({u"code", u"Firefox", u"STEAM_APP_570", u"Code", u"firefox"}),
              (std::vector<std::u16string>{u"code", u"Firefox"}));

    // A file mended badly by hand: refused, and no edit overwrites what the user wrote.
    test::WriteText(file, "[Rule]\nApplication=gimp\nProfile=7\n");
    RulesEditor damaged(file);
    EXPECT_FALSE(damaged.Load());
    EXPECT_NE(damaged.lastError().find("line 3"), std::string::npos) << damaged.lastError();
    EXPECT_FALSE(damaged.editable());
    EXPECT_EQ(damaged.Add(u"code", u"", 0), -1);
    EXPECT_FALSE(damaged.SetOn(false));
    EXPECT_EQ(test::ReadText(file), "[Rule]\nApplication=gimp\nProfile=7\n");
}

}  // namespace
}  // namespace vornak
