// Surveying and loading synthetic files through the built binary.
#include <gtest/gtest.h>

#include "base/platform.h"
#include "harness.h"

namespace {

// A file of `count` one-minute samples from `hour`:00 on 01-JAN-2008; after row 49 the
// clock jumps `gap` minutes ahead.
std::string minutes(int hour, int count, int gap = 0) {
    std::string s = "NODEA,Monitor Comment: test (1024Mb) with 2 cpus,Sampling Interval: 60,NODEA\n"
                    "Sample Time,Cpu Busy,Disk Rate\n";
    for (int i = 0; i < count; ++i) {
        int t = hour * 3600 + i * 60 + (i >= 50 ? gap * 60 : 0);
        char buf[80];
        snprintf(buf, sizeof buf, "01-JAN-2008 %02d:%02d:%02d,%d,%d.5\n", t / 3600, t / 60 % 60,
                 t % 60, i, 2 * i);
        s += buf;
    }
    return s;
}

std::vector<std::string> base_args(std::vector<std::string> extra) {
    std::vector<std::string> a = {"--parameters=all", "--nocharts", "--nohistory"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

}  // namespace

TEST(InputCli, OneFileListsItsParametersAndFigures) {
    TempDir d;
    d.write("a.csv", minutes(10, 20));
    RunResult r = run_tsgraf(d, {"a.csv", "--nocharts", "--nohistory"}, "1,2\n");
    EXPECT_EQ(r.status, 0);
    // The day's history file is made on the first run of the day.
    size_t h = r.out.find("No TSGRAF History file");
    if (h != std::string::npos) r.out.erase(h, r.out.find('\n', h) + 1 - h);
    EXPECT_EQ(r.out,
              "\nTSGRAF V1.0-156\n\n"
              "Opened output log file Y8_LOG.LIS\n"
              "Reading data from a.csv\n"
              "Number of CPUs = 2\n"
              "Nominal sampling interval = 60\n"
              "1\tCpu Busy\n"
              "2\tDisk Rate\n"
              "Format 1: 2 parameters in a.csv\n"
              "Number of Intervals = 20\n"
              "Enter Column numbers to extract (separated by commas) or 0 for all: "
              "Start date = 01-JAN-2008 10:00:00, End date = 01-JAN-2008 10:19:00\n"
              "\n"
              "\n"
              "  # Parameter Name                            Min      Avg       Max MaxTime\n"
              "\n"
              "  1 Cpu Busy                                 0.00     9.50    19.00   10:19 \n"
              "  2 Disk Rate                                0.50    19.50    38.50   10:19 \n"
              "No charts were generated\n");
    EXPECT_EQ(d.read("PARAM.LIS"), "1,2\n");
}

TEST(InputCli, FilesAreTakenInTimeOrder) {
    TempDir d;
    d.write("a10.csv", minutes(10, 20));
    d.write("a08.csv", minutes(8, 20));
    d.write("a09.csv", minutes(9, 20));
    RunResult r = run_tsgraf(d, base_args({"a10.csv", "a08.csv", "a09.csv"}));
    EXPECT_EQ(r.status, 0);
    size_t first = r.out.find("Reading data from a08.csv\n");
    size_t f8 = r.out.find("a08.csv,    20 records, 60 secs interval\n");
    size_t f9 = r.out.find("a09.csv,    20 records, 60 secs interval\n");
    size_t f10 = r.out.find("a10.csv,    20 records, 60 secs interval\n");
    ASSERT_NE(first, std::string::npos) << r.out;
    EXPECT_LT(first, f8);
    EXPECT_LT(f8, f9);
    EXPECT_LT(f9, f10);
    EXPECT_NE(f10, std::string::npos);
    EXPECT_NE(r.out.find("Parameters in all files are the same\n"), std::string::npos);
}

TEST(InputCli, TenMinuteGapIsReported) {
    TempDir d;
    d.write("g.csv", minutes(10, 100, 9));
    RunResult r = run_tsgraf(d, base_args({"g.csv", "--verbose"}));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n  9 Missing samples from    01-JAN-2008 10:49:00 to    "
                         "01-JAN-2008 10:59:00\nWarning! 9 sample values are missing!\n\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Start date = 01-JAN-2008 10:00:00, End date = 01-JAN-2008 11:48:00\n"),
              std::string::npos);
}

TEST(InputCli, TimeRangesKeepTheirRows) {
    struct Case {
        const char* range;
        const char* intervals;
    };
    const Case cases[] = {
        {"--timerange=10:05,10:15", "Number of Intervals = 10\n"},
        {"--timerange=9:5,10:15", "Number of Intervals = 15\n"},
        {"--timerange=01-jan-2008:10:05,01-jan-2008:10:15", "Number of Intervals = 10\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write("a.csv", minutes(10, 30));
        RunResult r = run_tsgraf(d, base_args({"a.csv", c.range}));
        EXPECT_EQ(r.status, 0) << c.range << r.out;
        EXPECT_NE(r.out.find(c.intervals), std::string::npos) << c.range << r.out;
    }
}

TEST(InputCli, BadFilesEndWithAMessage) {
    struct Case {
        const char* content;
        const char* message;
    };
    const Case cases[] = {
        {"", "no data in file bad.csv\n"},
        {"Sample Time,A,B\n", "no data in file bad.csv\n"},
        {"Sample Time,A\n01-JAN-2008 10:00:00,1\n", "Not enough intervals - exiting\n"},
        {"Sample Time,A\nnot a time,1\nnot a time,2\n",
         "No time stamp in bad.csv: its first data field is \"not a time\"\nTime stamps look like "},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write("bad.csv", c.content);
        RunResult r = run_tsgraf(d, base_args({"bad.csv"}));
        EXPECT_EQ(r.status, 1) << c.content << r.out;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << c.content << r.out;
        EXPECT_EQ(d.read("bad.csv"), c.content);
    }
    TempDir d;
    d.write("a.csv", minutes(10, 20));
    RunResult r = run_tsgraf(d, base_args({"a.csv", "missing.csv"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nError opening file, missing.csv\n"), std::string::npos) << r.out;
}

TEST(InputCli, ShortAndLongDataLinesAndCrlf) {
    TempDir d;
    std::string s = "Sample Time,A,B\r\n";
    for (int i = 0; i < 12; ++i) {
        char buf[80];
        // Every third line lacks a field, every fourth has one too many, one value is text.
        snprintf(buf, sizeof buf, "01-JAN-2008 10:%02d:00,%d%s%s\r\n", i, i,
                 i % 3 == 0 ? "" : ",7", i % 4 == 0 ? ",99" : "");
        s += buf;
    }
    s += "01-JAN-2008 10:12:00,abc,7\r\n";
    d.write("c.csv", s);
    RunResult r = run_tsgraf(d, base_args({"c.csv"}));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Number of Intervals = 13\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  1 A "), std::string::npos) << r.out;
}

// A pipe would block the run (or feed it without end, like a device); it is refused
// by name, also when a list file names it, before anything is opened or written.
TEST(InputCli, PipesAndDevicesAreRefused) {
#ifdef _WIN32
    GTEST_SKIP() << "not on Windows: no named pipes in the file system, and no /dev/zero";
#else
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("pipe.csv").c_str(), 0600), 0);
    dir.write("names.lis", "pipe.csv\n");
    struct Case {
        std::string arg, name;
    };
    const Case cases[] = {{"pipe.csv", "pipe.csv"}, {"names.lis", "pipe.csv"},
                          {"/dev/zero", "/dev/zero"}};
    for (const auto& c : cases) {
        RunResult r = run_tsgraf(dir, {c.arg, "--nohistory", "-p", "1"});
        EXPECT_FALSE(r.timed_out) << c.arg;
        EXPECT_EQ(r.status, 1) << c.arg;
        EXPECT_EQ(r.out, "Input file " + c.name + " is not a regular file\n") << c.arg;
    }
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"names.lis", "pipe.csv"}));
#endif
}

// A field reading "nan" is no number: it is missing and leaves the figures of the
// values present alone, and the screen says how many such cells the file has.
TEST(InputCli, NanFieldsAreMissing) {
    TempDir d;
    std::string s = "NODEA,Monitor Comment: nan,Sampling Interval: 60,NODEA\n"
                    "Sample Time,Rate\n";
    const char* values[] = {"4", "nan", "8", "NaN", "-nan", "12"};
    for (int i = 0; i < 6; ++i)
        s += "01-JAN-2008 10:0" + std::to_string(i) + ":00," + values[i] + "\n";
    d.write("a.csv", s);
    RunResult r = run_tsgraf(d, {"a.csv", "-p", "1", "--nocharts", "--nohistory"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Warning: a.csv has 3 cells that are not numbers and 0 short lines, read "
                         "as missing values\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("  1 Rate                                     4.00     8.00    12.00   10:05 \n"),
              std::string::npos)
        << r.out;
}

// Column numbers typed again at the prompt select their column once; a long run of
// repeats used to run past the parameter tables.
TEST(InputCli, RepeatedColumnNumbersSelectOnce) {
    TempDir d;
    d.write("a.csv", minutes(10, 20));
    std::string answer;
    for (int i = 0; i < 3000; ++i) answer += i % 2 ? "1," : "2,";
    RunResult r = run_tsgraf(d, {"a.csv", "--nocharts", "--nohistory"}, answer + "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("  2 Disk Rate                                0.50    19.50    38.50   10:19 \n"
                         "  1 Cpu Busy                                 0.00     9.50    19.00   10:19 \n"
                         "No charts were generated\n"),
              std::string::npos)
        << r.out.substr(r.out.size() > 2000 ? r.out.size() - 2000 : 0);
}

// Input named in ways a newcomer tries: each run ends on a message that says what is wrong.
TEST(InputCli, MessagesNameWhatIsWrong) {
    const std::string cut = gzipped(minutes(10, 30));
    // Windows splits "/" off as a qualifier; its paths are written with "\\".
    const std::string up = WINDOWS_BUILD ? "..\\" : "../", sub = WINDOWS_BUILD ? "sub\\" : "sub/";
    struct Case {
        std::string arg;
        std::string message;
    } cases[] = {
        {"logs.csv", "Input file logs.csv is a directory, not a CSV file\n"},
        {up + "nonexistent.csv", "\nError opening file, " + up + "nonexistent.csv\n"},
        {sub + "none.csv", "\nError opening file, " + sub + "none.csv\n"},
        {"cut.csv", "\nCompressed file cut.csv cannot be read: unexpected end of file\n"},
        {"none*.csv", "\nNo file matches none*.csv\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        make_directory(d.file("logs.csv"));
        d.write("cut.csv", cut.substr(0, cut.size() / 2));
        RunResult r = run_tsgraf(d, base_args({c.arg}));
        EXPECT_EQ(r.status, 1) << c.arg;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << c.arg << ": " << r.out;
    }
}

// gzip data is read like the plain text it holds, whatever the file is called, wherever
// files are named; what is written is plain text.
TEST(InputCli, CompressedInputReadsLikePlainInput) {
    const std::string day = minutes(10, 30), two = minutes(11, 30);
    TempDir plain, packed;
    plain.write("day.csv", day);
    plain.write("two.csv", two);
    plain.write("list.lis", "day.csv\n");
    packed.write("day.csv", gzipped(day));
    packed.write("two.csv", gzipped(two));
    packed.write("day.csv.gz", gzipped(day));
    packed.write("list.lis", "day.csv.gz\n");
    struct Case {
        std::vector<std::string> plain_args, packed_args;
        const char* output;
    } cases[] = {
        {{"day.csv"}, {"day.csv.gz"}, "Y8_PEAK.CSV"},
        {{"list.lis"}, {"list.lis"}, "Y8_PEAK.CSV"},
        {{"tw?.csv"}, {"tw?.csv"}, "Y8_PEAK.CSV"},  // a wildcard the shell left alone
        {{"day.csv", "--extract=out.csv"}, {"day.csv", "--extract=out.csv"}, "out.csv"},
        {{"day.csv", "two.csv", "--merge=out.csv"}, {"day.csv", "two.csv", "--merge=out.csv"},
         "out.csv"},
        {{"day.csv", "two.csv", "--append=out.csv"}, {"day.csv", "two.csv", "--append=out.csv"},
         "out.csv"},
    };
    for (const auto& c : cases) {
        RunResult p = run_tsgraf(plain, base_args(c.plain_args));
        RunResult z = run_tsgraf(packed, base_args(c.packed_args));
        EXPECT_EQ(p.status, 0) << c.plain_args[0] << p.out;
        EXPECT_EQ(z.status, 0) << c.packed_args[0] << z.out;
        std::string want = plain.read(c.output), got = packed.read(c.output);
        EXPECT_GT(want.size(), 100u) << c.output;
        EXPECT_EQ(got, want) << c.packed_args[0] << " " << c.output;
    }
}
