// The run frame through the built binary: banner, history, output files, limits.
#include <gtest/gtest.h>

#include <ctime>

#include "base/platform.h"
#include "harness.h"

namespace {

std::string history_name() {
    time_t now = time(nullptr);
    struct tm t;
    utc_time(now, t);
    char buf[40];
    snprintf(buf, sizeof buf, "TSGRAF_%02d%02d%04d.HIS", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900);
    return buf;
}

}  // namespace

TEST(RunFrame, VerboseRunShowsTheLimitsFromTheEnvironment) {
    TempDir d;
    d.write("x.csv", "Sample Time,a\n");
    RunResult r = run_tsgraf(d, {"--verbose", "x.csv"}, "", {{"MAXINTERVALS", "100000"}});
    EXPECT_NE(r.out.find("MAXLINE=220000, MAXDATA=50000, MAXINTERVALS=100000, MAXF2LEN=15000, "
                         "MAXF2OUTPAR=6\n"),
              std::string::npos)
        << r.out;
    // The order of the frame: echo of the command, start time, banner, history, log.
    size_t echo = r.out.find("tsgraf --verbose x.csv\n");
    size_t started = r.out.find("\nStarted at ");
    size_t banner = r.out.find("\nTSGRAF V1.0-156\n\n");
    size_t hist = r.out.find("No TSGRAF History file, " + history_name() + ", found\n");
    size_t log = r.out.find("Opened output log file Y8_LOG.LIS\n");
    EXPECT_LT(echo, started);
    EXPECT_LT(started, banner);
    EXPECT_LT(banner, hist);
    EXPECT_LT(hist, log);
    EXPECT_NE(log, std::string::npos);
    EXPECT_EQ(d.read("Y8_LOG.LIS").rfind("\nTSGRAF V1.0-156\n\n", 0), 0u);
    EXPECT_EQ(d.read(history_name()), "  1 --verbose x.csv\n");
}

TEST(RunFrame, NoLogsWritesNoLogPeakOrHistoryFiles) {
    TempDir d;
    d.write("x.csv", "Sample Time,a\n");
    RunResult r = run_tsgraf(d, {"x.csv", "--nologs", "--nocharts", "--quiet"});
    EXPECT_EQ(d.files(), std::vector<std::string>{"x.csv"});
    EXPECT_EQ(r.out.find("Opened output log file"), std::string::npos);
}

TEST(RunFrame, ShowDefaultsThroughTheBinary) {
    TempDir d;
    d.write("TSGRAF.CFG", "average=10\n;comment\n");
    RunResult r = run_tsgraf(d, {"--show_defaults"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "\nReading default settings from TSGRAF.CFG\n"
              "[[average=10\n]]\n"
              "Default Moving Average = 600\n"
              "[[;comment\n]]\n"
              "\n");
    EXPECT_EQ(d.files(), std::vector<std::string>{"TSGRAF.CFG"});
}

TEST(RunFrame, HistoryListingAndReplayOfTheLastRecord) {
    TempDir d;
    d.write(history_name(), "; my notes\n  2 --version\n");
    RunResult r = run_tsgraf(d, {"--history"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Reading history file " + history_name() + "\n\n; my notes\n  2 --version\n"),
              std::string::npos)
        << r.out;

    // "L" runs record 2 again through the tsgraf on the search path.
    r = run_tsgraf(d, {"L"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Executing command:\n\ntsgraf --version\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nTSGRAF Version V1.0-156\n"), std::string::npos) << r.out;
    EXPECT_EQ(d.read(history_name()), "; my notes\n  2 --version\n");
}

TEST(RunFrame, MissingInputEndsWithStatusOne) {
    TempDir d;
    RunResult r = run_tsgraf(d, {"--output=run1.html", "--quiet", "missing.csv"});
    EXPECT_EQ(r.status, 1);
}
