// vornakctl rules: the rules file edited as a user edits it, and a file the user damaged left alone.
#include "follow/follow_rules.h"
#include "tests/tools/vornakctl_fixture.h"

namespace vornak::test {
namespace {

TEST_F(Vornakctl, RulesAreEditedInTheirOwnFileAndADamagedFileIsLeftAsItIs) {
    const fs::path file = dir / "config" / "vornak-applications.ini";
    EXPECT_EQ(Ctl("rules list").out, "following: off (no rules)\ndefault: none (left as it is)\n");
    EXPECT_EQ(Ctl("rules add steam_app_570 2").code, 0);
    EXPECT_EQ(Ctl("rules add Firefox 3 --title 'You Tube'").code, 0);
    EXPECT_EQ(Ctl("rules add firefox 1").code, 0);
    EXPECT_EQ(Ctl("rules add FIREFOX 2 --title 'You Tube'").code, 0);  // the same rule: a new profile
    EXPECT_EQ(Ctl("rules default 3").code, 0);
    EXPECT_EQ(Ctl("rules off").code, 0);
    EXPECT_EQ(Ctl("--json rules list").out,
              "{\"file\": \"" + file.string() +
                  "\", \"following\": false, \"turned_off\": true, \"default\": 3, \"rules\": ["
                  "{\"application\": \"steam_app_570\", \"title\": \"\", \"profile\": 2}, "
                  "{\"application\": \"Firefox\", \"title\": \"You Tube\", \"profile\": 2}, "
                  "{\"application\": \"firefox\", \"title\": \"\", \"profile\": 1}]}\n");
    // What the program reads is what the commands wrote.
    std::string error;
    const auto rules = LoadFollowRules(file, &error);
    ASSERT_TRUE(rules) << error;
    EXPECT_EQ(rules->rules.size(), 3u);
    EXPECT_EQ(Ctl("rules remove FireFox").code, 0);
    EXPECT_EQ(Ctl("rules on").code, 0);
    EXPECT_EQ(Ctl("rules default none").code, 0);
    EXPECT_EQ(Ctl("rules list").out, "following: on\ndefault: none (left as it is)\nsteam_app_570 -> 2\n");

    const std::pair<const char*, int> refused[] = {
        {"rules add x 4", 2},       {"rules add x", 2},      {"rules default 0", 2},
        {"rules remove nobody", 1}, {"rules frobnicate", 2}, {"rules on --title x", 2},
        {"rules add '' 1", 2},
    };
    for (const auto& [args, code] : refused) {
        EXPECT_EQ(Ctl(args).code, code) << args;
        EXPECT_EQ(lastError.rfind("vornakctl: ", 0), 0u) << args << ": " << lastError;
        EXPECT_NE(lastError.find("rules"), std::string::npos) << args << ": " << lastError;
    }

    WriteText(file, "[Rule]\nApplication=x\nProfile=1\nTypo\n");
    for (const char* args : {"rules list", "rules add y 2", "rules off"}) {
        EXPECT_EQ(Ctl(args).code, 4) << args;
        EXPECT_NE(lastError.find(file.string()), std::string::npos) << lastError;
        EXPECT_NE(lastError.find("line 4"), std::string::npos) << lastError;
    }
    EXPECT_EQ(ReadText(file), "[Rule]\nApplication=x\nProfile=1\nTypo\n");
}

}  // namespace
}  // namespace vornak::test
