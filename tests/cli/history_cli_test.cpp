// The history file and the wildcard re-run, seen from the built program.
#include <gtest/gtest.h>

#include <ctime>

#include "harness.h"

namespace {

std::string today_history_name() {
    time_t now = time(nullptr);
    char buf[32];
    strftime(buf, sizeof buf, "TSGRAF_%d%m%Y.HIS", gmtime(&now));
    return buf;
}

size_t count(const std::string& hay, const std::string& needle) {
    size_t n = 0;
    for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
    return n;
}

const std::string BANNER = "\nTSGRAF V1.0-156\n";

}  // namespace

TEST(HistoryCli, RecordsTheCommandOncePerRepeat) {
    TempDir dir;
    const std::string his = today_history_name();
    auto first = run_tsgraf(dir, {"a.csv", "b.csv"});
    EXPECT_NE(first.out.find("No TSGRAF History file, " + his + ", found\n"), std::string::npos)
        << first.out;
    auto again = run_tsgraf(dir, {"a.csv", "b.csv"});
    EXPECT_EQ(again.out.find("No TSGRAF History file"), std::string::npos);
    EXPECT_EQ(dir.read(his), "  1 a.csv b.csv\n");
}

// The shell could not expand "*.csv/o"; the program runs "tsgraf *.csv /o" again, found
// on the search path, and the first run ends with status 0.
TEST(HistoryCli, WildcardGluedToQualifierRunsAgain) {
    SKIP_ON_WINDOWS("records and re-runs are quoted for cmd.exe, not sh");
    TempDir dir;
    dir.write("a.csv", "");
    auto r = run_tsgraf(dir, {"*.csv/o"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(count(r.out, BANNER), 1u) << r.out;  // only the second run gets that far
    const std::string his = dir.read(today_history_name());
    EXPECT_EQ(his.substr(0, his.find('\n') + 1), "  1 '*.csv/o'\n");
}

// A record is run again through the shell; what the arguments hold must not run there.
TEST(HistoryCli, ReplayRunsNothingOfTheArguments) {
    SKIP_ON_WINDOWS("records and re-runs are quoted for cmd.exe, not sh");
    TempDir dir;
    const std::string caption = "$(touch PWNED) `touch PWNED2`; touch PWNED3 'q' \"d\"";
    auto first = run_tsgraf(dir, {"a.csv", "--caption=" + caption, "-q"});
    EXPECT_EQ(first.status, 1);  // a.csv does not exist
    auto replay = run_tsgraf(dir, {"1", "--verbose"});
    EXPECT_EQ(replay.status, 0);
    EXPECT_NE(replay.out.find("tsgraf a.csv --caption=\"" + caption + "\" -q --verbose\n"),
              std::string::npos)
        << replay.out;
    for (const char* name : {"PWNED", "PWNED2", "PWNED3"}) EXPECT_FALSE(dir.exists(name)) << name;
}

// With SPACEPREFIX nothing is split, so a re-run could not help; the run goes on once.
TEST(HistoryCli, NoRerunWhenNothingWasSplit) {
    SKIP_ON_WINDOWS("records and re-runs are quoted for cmd.exe, not sh");
    TempDir dir;
    dir.write("a.csv", "");
    auto r = run_tsgraf(dir, {"*.csv/par=1"}, "", {{"SPACEPREFIX", "1"}});
    EXPECT_EQ(r.out.rfind("\nNote: SPACEPREFIX is defined. Option delimiters must be preceeded "
                          "by a space!\n\n",
                          0),
              0u);
    EXPECT_EQ(count(r.out, "Note: SPACEPREFIX"), 1u) << r.out;
    EXPECT_EQ(count(r.out, BANNER), 1u);
    EXPECT_EQ(dir.read(today_history_name()), "  1 '*.csv/par=1'\n");
}
