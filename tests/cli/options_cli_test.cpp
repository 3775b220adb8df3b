#include <gtest/gtest.h>

#include "harness.h"

TEST(OptionsCli, VersionPrintsAndWritesNothing) {
    TempDir dir;
    for (auto args : std::vector<std::vector<std::string>>{{"--version"}, {"-v", "x.csv"}}) {
        RunResult r = run_tsgraf(dir, args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "\nTSGRAF Version V1.0-156\n");
        EXPECT_TRUE(dir.files().empty());
    }
}

// Scanner errors reach standard output and end with status 1 before any file is made.
TEST(OptionsCli, ScannerErrorsEndTheRun) {
    TempDir dir;
    struct Case {
        std::vector<std::string> args;
        std::string diagnostic;
    };
    const Case cases[] = {
        {{"a.csv", "-N"}, "tsgraf: invalid option -- 'N'\n"},
        {{"a.csv", "--nosuch"}, "tsgraf: unrecognized option '--nosuch'\n"},
        {{"a.csv", "--timerange"}, "tsgraf: option '--timerange' requires an argument\n"},
    };
    for (const auto& c : cases) {
        RunResult r = run_tsgraf(dir, c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out.substr(0, c.diagnostic.size()), c.diagnostic);
        EXPECT_TRUE(dir.files().empty());
    }
}

TEST(OptionsCli, ExtractOverItsOwnInputIsRefused) {
    TempDir dir;
    const std::string csv = "Time,cpu\n01/02/2024 10:00:00,5\n";
    dir.write("day.csv", csv);
    RunResult r = run_tsgraf(dir, {"day.csv", "--extract=day.csv"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "Output CSV file will be day.csv\n\n"
              "Output CSV file day.csv is the same file as input file day.csv\n");
    EXPECT_EQ(dir.read("day.csv"), csv);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"day.csv"});
}

TEST(OptionsCli, NoCsvFileGiven) {
    TempDir dir;
    RunResult r = run_tsgraf(dir, {"--lines"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "No Y8 CSV file specified\n");
    EXPECT_TRUE(dir.files().empty());
}
