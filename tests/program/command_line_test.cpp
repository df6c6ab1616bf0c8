#include "program/command_line.h"

#include <gtest/gtest.h>

namespace vornak {
namespace {

TEST(CommandLine, SwitchesMatchInAnyCaseWithSlashOrDashes) {
    for (const char* kill : {"/Kill", "/KILL", "/kIlL", "--kill", "--KILL"}) {
        EXPECT_TRUE(ParseCommandLine({kill}).kill) << kill;
        EXPECT_FALSE(ParseCommandLine({kill}).start) << kill;
    }
    for (const char* start : {"/Start", "/start", "/STaRT", "--start"})
        EXPECT_TRUE(ParseCommandLine({start}).start) << start;
}

TEST(CommandLine, OtherWordsAreIgnoredAndBothSwitchesAreKept) {
    const CommandLine c = ParseCommandLine({"/Start", "whatever", "/Kill", "-x"});
    EXPECT_TRUE(c.kill);
    EXPECT_TRUE(c.start);
    EXPECT_TRUE(c.error.empty());
    EXPECT_FALSE(c.simulate);
}

TEST(CommandLine, LibraryNeedsItsPath) {
    EXPECT_EQ(ParseCommandLine({"--library", "/x/libPortHub.so"}).library, "/x/libPortHub.so");
    EXPECT_EQ(ParseCommandLine({"--library=/y.so"}).library, "/y.so");
    EXPECT_FALSE(ParseCommandLine({"--library"}).error.empty());
    EXPECT_FALSE(ParseCommandLine({"--library="}).error.empty());
    // The path keeps its case even though the option's name does not matter.
    EXPECT_EQ(ParseCommandLine({"--LIBRARY", "/Mixed/Case.so"}).library, "/Mixed/Case.so");
}

TEST(CommandLine, UsageNamesEveryOptionAndExitCode) {
    const std::string usage = UsageText("vornak");
    for (const char* word : {"--start", "--kill", "--simulate", "--library", "--help", "--version",
                             "VORNAK_PORTHUB", "exit codes:"}) {
        EXPECT_NE(usage.find(word), std::string::npos) << word;
    }
}

}  // namespace
}  // namespace vornak
