#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

const std::string Q_FILE = "Enter Y8 CSV file name (or wildcard spec.) : ";

// Started without arguments the program asks for a file; these answers end the run
// before any output file is made.
TEST(HelpCli, PromptingEndsCleanly) {
    struct Case {
        const char* input;
        std::string out;
    } cases[] = {
        {"quit\n", Q_FILE},
        {"", Q_FILE + "\n"},  // standard input closed
        {"nosuch.csv\nquit\n", Q_FILE + "No such file\n" + Q_FILE},
    };
    for (const auto& c : cases) {
        TempDir dir;
        RunResult r = run_tsgraf(dir, {}, c.input);
        EXPECT_EQ(r.status, 0) << c.input;
        EXPECT_EQ(r.out, c.out) << c.input;
        EXPECT_TRUE(dir.files().empty()) << c.input;
    }
}

TEST(HelpCli, HelpFromThePrompt) {
    TempDir dir;
    RunResult r = run_tsgraf(dir, {}, "help\n/ave\nbogus\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind(Q_FILE + "\nTSGRAF ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("  --append "), std::string::npos);
    EXPECT_NE(r.out.find("TSGRAF subtopic? \n--average[=val][:0]\n\n\n"), std::string::npos);
    EXPECT_EQ(r.out.find("--append[=outfile]"), std::string::npos);
    EXPECT_NE(r.out.find("TSGRAF subtopic? Invalid answer!\nTSGRAF subtopic? "), std::string::npos);
    EXPECT_TRUE(dir.files().empty());
}

}  // namespace
