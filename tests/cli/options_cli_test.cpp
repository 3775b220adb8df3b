#include <gtest/gtest.h>
#include <unistd.h>

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

namespace {

// n one-minute rows, the clock running backwards when backwards is set.
std::string minute_file(int n, bool backwards = false) {
    std::string s =
        "NODEC,Monitor Comment: limits,Sampling Interval: 60,NODEC\n01-JAN-2024\n"
        "Sample Time,Busy%,Rate\n";
    for (int r = 0; r < n; ++r) {
        int m = backwards ? n - 1 - r : r;
        char buf[64];
        snprintf(buf, sizeof buf, "01-JAN-2024 %02d:%02d:00,%d,%d\n", m / 60, m % 60, r % 7, r);
        s += buf;
    }
    return s;
}

}  // namespace

// Values no chart or listing can be made with end the run with a message before any
// file is written; the defaults file is held to the same limits.
TEST(OptionsCli, AbsurdValuesEndTheRunBeforeAnythingIsWritten) {
    struct Case {
        std::vector<std::string> options;
        std::string message;
    };
    const Case cases[] = {
        {{"--width=2147483647"}, "Error: --width value 2147483647 is out of range (-2147483648 to 1000000)\n"},
        {{"--height=99999999999"}, "Error: --height value 2147483647 is out of range (-2147483648 to 1000000)\n"},
        {{"--thickness=1001"}, "Error: --thickness value 1001 is out of range (-1000 to 1000)\n"},
        {{"--lines=5:-5000"}, "Error: --thickness value -5000 is out of range (-1000 to 1000)\n"},
        {{"--dots=2147483647"}, "Error: --dots value 2147483647 is out of range (-1000 to 1000)\n"},
        {{"--decimals=2147483647"}, "Error: --decimals value 2147483647 is out of range (-2147483648 to 100)\n"},
        {{"--top=-1"}, "Error: --top value -1 is out of range (0 to 2147483647)\n"},
        {{"--threads=0"}, "Error: --threads value 0 is out of range (1 to 64)\n"},
        {{"--average=-5"}, "Error: --average value must not be negative\n"},
        {{"--average=-2147483649"}, "Error: --average value must not be negative\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("t.csv", minute_file(30));
        std::vector<std::string> args{"t.csv", "--nohistory"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult r = run_tsgraf(dir, args);
        EXPECT_EQ(r.status, 1) << c.options[0];
        EXPECT_EQ(r.out, native_options(c.message)) << c.options[0];
        EXPECT_EQ(dir.files(), std::vector<std::string>{"t.csv"}) << c.options[0];
    }
    TempDir dir;
    dir.write("t.csv", minute_file(30));
    dir.write("TSGRAF.CFG", "width=5000000\n");
    RunResult r = run_tsgraf(dir, {"t.csv", "-q", "--nohistory"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(native_options("Error: --width value 5000000 is out of range")),
              std::string::npos)
        << r.out;
}

// The largest accepted values still make their charts and listings.
TEST(OptionsCli, ValuesAtTheLimitsStillRun) {
    TempDir dir;
    dir.write("t.csv", minute_file(30));
    RunResult r = run_tsgraf(dir, {"t.csv", "-q", "--nohistory", "--thickness=1000", "--dots=1000",
                                   "--decimals=100", "--top=0", "--average=2", "-p", "1,2"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(dir.exists("tsgraf.htm"));
}

// Time stamps running backwards give a negative interval; a moving average over them
// falls back to the whole series instead of reading outside it.
TEST(OptionsCli, MovingAverageOverBackwardsTime) {
    TempDir dir;
    dir.write("t.csv", minute_file(30, true));
    RunResult r = run_tsgraf(dir, {"t.csv", "--nohistory", "--average=5", "-p", "1,2"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\n  1 Busy%"), std::string::npos) << r.out;
}

// Sides within their limits can still ask for more pixels than a chart may have.
TEST(OptionsCli, ChartOfTooManyPixelsIsRefused) {
    TempDir dir;
    dir.write("t.csv", minute_file(30));
    RunResult r = run_tsgraf(dir, {"t.csv", "-q", "--nohistory", "--width=1000000",
                                   "--height=1000", "-p", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nCannot create a chart of "), std::string::npos) << r.out;
    EXPECT_FALSE(dir.exists("Busy.png"));
}

// A data file that carries the name of one of the run's own files (or is reached through
// one by a link) is refused before that file is written, and stays as it was.
TEST(OptionsCli, RunFilesNeverOverwriteAnInput) {
    const std::string csv = minute_file(30);
    struct Case {
        std::string input;  // the data file's name
        std::vector<std::string> options;
        std::string clash;  // the run file that would have emptied it
    };
    const Case cases[] = {
        {"log.csv", {}, "Y8_LOG.LIS"},
        {"tsgraf.htm", {}, "tsgraf.htm"},
        {"Y8_PEAK.CSV", {}, "Y8_PEAK.CSV"},
        {"rep.csv", {"--output=rep.htm"}, "Y8_PEAK_rep.CSV"},
        {"par.csv", {}, "PARAM.LIS"},
        {"Busy.png", {}, "Busy.png"},
        {"cor.csv", {"--correlate=1:0.1"}, "CORREL.LIS"},
        {"REP.PDF", {"--pdf=rep.pdf"}, "REP.PDF"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write(c.input, csv);
        std::vector<std::string> args{c.input, "-q", "--nohistory", "-p", "1,2"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        if (c.clash != c.input) {
            ASSERT_TRUE(link_file(dir, c.input, c.clash));
        }
        RunResult r = run_tsgraf(dir, args);
        EXPECT_EQ(r.status, 1) << c.input;
        EXPECT_NE(r.out.find("\nOutput file " + c.clash + " is the same file as input file " +
                             c.input + "\n"),
                  std::string::npos)
            << c.input << ": " << r.out;
        EXPECT_EQ(dir.read(c.input), csv) << c.input;
        // The page and the peak files are checked before the log is made.
        if (c.clash == "tsgraf.htm" || c.clash == "REP.PDF" ||
            c.clash.compare(0, 7, "Y8_PEAK") == 0) {
            EXPECT_FALSE(dir.exists("Y8_LOG.LIS")) << c.input;
        }
    }
}

// A run that fails, or ends early by design, leaves the previous run's page, peak files,
// parameter list and charts as they were; a refused extract leaves the previous extract.
TEST(OptionsCli, FailedRunsLeaveThePreviousResults) {
    TempDir dir;
    dir.write("a.csv", minute_file(30));
    dir.write("b.csv", minute_file(30));
    ASSERT_EQ(run_tsgraf(dir, {"a.csv", "-q", "--nohistory", "-p", "1,2", "--extract=x.csv"}).status,
              0);
    const std::vector<std::string> kept = {"tsgraf.htm", "Y8_PEAK.LIS", "Y8_PEAK.CSV",
                                           "PARAM.LIS",  "Busy.png",    "x.csv"};
    std::vector<std::string> before;
    for (const auto& f : kept) before.push_back(dir.read(f));
    const std::vector<std::vector<std::string>> runs = {
        {"nosuch.csv", "-p", "1"},
        {"a.csv", "-p", "nomatch"},
        {"a.csv", "b.csv", "--merge=m.csv"},
        {"a.csv", "-p", "1,2", "--extract=x.csv", "--timerange=23:00,23:30"},
    };
    for (const auto& args : runs) {
        std::vector<std::string> a = args;
        a.insert(a.end(), {"-q", "--nohistory"});
        RunResult r = run_tsgraf(dir, a);
        for (size_t i = 0; i < kept.size(); ++i)
            EXPECT_EQ(dir.read(kept[i]), before[i]) << kept[i] << " after " << args[1];
        for (const auto& f : dir.files())
            EXPECT_EQ(f.find(".tsgraf-part"), std::string::npos) << f;
    }
}

// A list file of data file names is an input too.
TEST(OptionsCli, RunFilesNeverOverwriteTheListOfInputs) {
    TempDir dir;
    dir.write("a.csv", minute_file(30));
    dir.write("Y8_LOG.LIS", "a.csv\n");
    RunResult r = run_tsgraf(dir, {"Y8_LOG.LIS", "-q", "--nohistory", "-p", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nOutput file Y8_LOG.LIS is the same file as input file Y8_LOG.LIS\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(dir.read("Y8_LOG.LIS"), "a.csv\n");
}

// A key named with --sort decides the order and the top n, whatever comes with it.
TEST(OptionsCli, NamedSortKeyDecidesOrderAndTop) {
    TempDir dir;
    std::string csv =
        "NODEB,Monitor Comment: sort,Sampling Interval: 60,NODEB\n01-JAN-2024\n"
        "Sample Time,Steady,Spiky,Middle\n";
    for (int r = 0; r < 30; ++r)
        csv += "01-JAN-2024 00:" + std::string(r < 10 ? "0" : "") + std::to_string(r) + ":00," +
               std::to_string(50 + r % 2) + "," + (r == 15 ? "100" : "0") + "," +
               std::to_string(20 + r % 11) + "\n";
    dir.write("t.csv", csv);
    struct Case {
        std::vector<std::string> options;
        std::string names;  // parameter names of the peak listing, in order
    };
    const Case cases[] = {
        {{"--parameters=all", "--sort=max", "--top=1"}, "Spiky,Others (2),"},
        {{"--parameters=all", "--top=1", "--sort=max"}, "Spiky,Others (2),"},
        {{"--parameters=all", "--top=1"}, "Steady,Others (2),"},
        {{"--sort=max:a", "--parameters=ady,iky,ddle"}, "Middle,Steady,Spiky,"},
        {{"--parameters=3,1,2", "--sort=max"}, "Spiky,Steady,Middle,"},
        {{"--parameters=3,1,2"}, "Middle,Steady,Spiky,"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"t.csv", "--nohistory", "-q"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult r = run_tsgraf(dir, args);
        EXPECT_EQ(r.status, 0) << r.out;
        std::string names, peak = dir.read("Y8_PEAK.CSV");
        for (size_t at = peak.find('\n'); at != std::string::npos && at + 1 < peak.size();
             at = peak.find('\n', at + 1)) {
            size_t from = peak.find(',', at) + 1;
            names += peak.substr(from, peak.find(',', from) - from) + ",";
        }
        EXPECT_EQ(names, c.names) << c.options.back();
    }
}
