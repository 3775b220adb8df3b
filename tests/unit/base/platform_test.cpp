#include "base/platform.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "harness.h"

namespace {

// What /bin/sh makes of a command line: its words after expansion, one per line.
std::string shell_words(const std::string& words) {
#ifdef _WIN32
    (void)words;
    return "no /bin/sh";
#else
    std::string cmd = "for a in " + words + "; do printf '%s\\n' \"$a\"; done";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return "popen failed";
    std::string got = read_stream(p);
    pclose(p);
    return got;
#endif
}

#ifdef _WIN32
#define SKIP_WITHOUT_SH() GTEST_SKIP() << "Windows has no /bin/sh; cmd.exe quoting is tested instead"
#else
#define SKIP_WITHOUT_SH() (void)0
#endif

}  // namespace

TEST(ShellWord, PlainAndSpacedArgumentsKeepTheirReadableForm) {
    EXPECT_EQ(sh_word("a.csv"), "a.csv");
    EXPECT_EQ(sh_word("--par=1,2,5-7"), "--par=1,2,5-7");
    EXPECT_EQ(sh_word("--caption=Disk rate"), "--caption=\"Disk rate\"");
    EXPECT_EQ(sh_word("my data.csv"), "\"my data.csv\"");
    EXPECT_EQ(sh_word("--caption=$(id)"), "--caption='$(id)'");
    EXPECT_EQ(sh_word(""), "''");
}

// Whatever an argument holds, the shell hands it on as one unchanged word and runs
// nothing of it.
TEST(ShellWord, TheShellGivesBackEveryArgumentUnchanged) {
    SKIP_WITHOUT_SH();
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
        EXPECT_EQ(shell_words(sh_word(arg)), arg + "\n") << arg;
        if (arg.find_first_of("*?[") == std::string::npos) {
            EXPECT_EQ(shell_words(sh_word(arg, true)), arg + "\n") << arg;
        }
    }
    EXPECT_FALSE(dir.exists("PWNED"));
    EXPECT_FALSE(dir.exists("out"));
}

TEST(ShellWord, KeptWildcardsAreExpandedAndNothingElse) {
    SKIP_WITHOUT_SH();
    TempDir dir;
    InDir in(dir.path());
    dir.write("a b.csv", "");
    dir.write("a$c.csv", "");
    dir.write("x.csv", "");
    EXPECT_EQ(shell_words(sh_word("a b*.csv", true)), "a b.csv\n");
    EXPECT_EQ(shell_words(sh_word("a$*", true)), "a$c.csv\n");
    EXPECT_EQ(shell_words(sh_word("*.csv", true)), "a b.csv\na$c.csv\nx.csv\n");
    EXPECT_EQ(shell_words(sh_word("*.csv")), "*.csv\n");
}

// cmd.exe sees no quote and no special character (each has its "^"); the program's
// runtime then splits the rest back into the argument.
TEST(ShellWord, CmdQuotingHidesEverythingCmdActsOn) {
    const std::pair<std::string, std::string> cases[] = {
        {"a.csv", "a.csv"},
        {"/par=1,2", "/par=1,2"},
        {"C:\\data\\y8.csv", "C:\\data\\y8.csv"},
        {"my data.csv", "^\"my data.csv^\""},
        {"/caption=100%", "^\"/caption=100^%^\""},
        {"%PATH%&del x", "^\"^%PATH^%^&del x^\""},
        {"a\"b", "^\"a\\^\"b^\""},
        {"C:\\my dir\\", "^\"C:\\my dir\\\\^\""},
        {"", "^\"^\""},
    };
    for (const auto& [arg, quoted] : cases) EXPECT_EQ(cmd_word(arg), quoted) << arg;
    EXPECT_EQ(cmd_word("*.csv", true), "*.csv");
    EXPECT_EQ(cmd_word("my *.csv", true), "^\"my ^\"*^\".csv^\"");
    EXPECT_EQ(cmd_word("*.csv"), "^\"*.csv^\"");
    EXPECT_EQ(shell_word("a b"), WINDOWS_BUILD ? cmd_word("a b") : sh_word("a b"));
}
