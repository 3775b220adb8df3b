#include "cli/platform.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"

namespace {

// What /bin/sh makes of a command line: its words after expansion, one per line.
std::string shell_words(const std::string& words) {
    std::string cmd = "for a in " + words + "; do printf '%s\\n' \"$a\"; done";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return "popen failed";
    std::string got = read_stream(p);
    pclose(p);
    return got;
}

}  // namespace

TEST(ShellWord, PlainAndSpacedArgumentsKeepTheirReadableForm) {
    EXPECT_EQ(shell_word("a.csv"), "a.csv");
    EXPECT_EQ(shell_word("--par=1,2,5-7"), "--par=1,2,5-7");
    EXPECT_EQ(shell_word("--caption=Disk rate"), "--caption=\"Disk rate\"");
    EXPECT_EQ(shell_word("my data.csv"), "\"my data.csv\"");
    EXPECT_EQ(shell_word("--caption=$(id)"), "--caption='$(id)'");
    EXPECT_EQ(shell_word(""), "''");
}

// Whatever an argument holds, the shell hands it on as one unchanged word and runs
// nothing of it.
TEST(ShellWord, TheShellGivesBackEveryArgumentUnchanged) {
    TempDir dir;
    InDir in(dir.path());
    dir.write("CPU1", "");
    const std::string hostile[] = {
        "$(touch PWNED)", "`touch PWNED`", "a;touch PWNED", "a&&touch PWNED", "a|touch PWNED",
        "it's", "'", "''", "\"", "back\\slash", "$HOME", "${HOME}", "CPU*", "CPU?", "[C]PU1",
        "~", "#hash", "a b  c", "tab\there", "--caption=$(touch PWNED)", "--caption=it's a b",
        "-$(touch PWNED)=1", "--x=", "{a,b}", "!1", "<in", ">out", "é ü", "",
    };
    for (const auto& arg : hostile) {
        EXPECT_EQ(shell_words(shell_word(arg)), arg + "\n") << arg;
        if (arg.find_first_of("*?[") == std::string::npos) {
            EXPECT_EQ(shell_words(shell_word(arg, true)), arg + "\n") << arg;
        }
    }
    EXPECT_FALSE(dir.exists("PWNED"));
    EXPECT_FALSE(dir.exists("out"));
}

TEST(ShellWord, KeptWildcardsAreExpandedAndNothingElse) {
    TempDir dir;
    InDir in(dir.path());
    dir.write("a b.csv", "");
    dir.write("a$c.csv", "");
    dir.write("x.csv", "");
    EXPECT_EQ(shell_words(shell_word("a b*.csv", true)), "a b.csv\n");
    EXPECT_EQ(shell_words(shell_word("a$*", true)), "a$c.csv\n");
    EXPECT_EQ(shell_words(shell_word("*.csv", true)), "a b.csv\na$c.csv\nx.csv\n");
    EXPECT_EQ(shell_words(shell_word("*.csv")), "*.csv\n");
}
