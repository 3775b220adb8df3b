// Faults the fuzzers found, each replayed through the routines that had it. In the
// sanitizer build these also catch the overflow or leak itself; here the outcome must
// be a sound one.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <ctime>

#include "cli/handlers.h"
#include "core/tables.h"
#include "file_set.h"
#include "harness.h"
#include "export/extract.h"
#include "input/load.h"
#include "input/survey.h"
#include "select/calccount.h"
#include "select/paramlist.h"
#include "select/selection.h"

namespace {

// Survey, selection and load of one file in a temporary directory, as a run does them.
struct OneFile {
    TempDir dir;
    InDir in{dir.path()};
    EnvVar tz{"TZ", "UTC"};
    RunState rs;

    explicit OneFile(const std::string& text) {
        tzset();
        dir.write("f.csv", text);
        name_files(rs, {"f.csv"});
        rs.set_opt().pflag = 1;
        rs.nums_str = "0";
        rs.set_opt().iflag = 1;
        rs.set_opt().nocharts = 1;
        rs.set_opt().qflag = 1;
    }
    RunResult run() {
        return capture([&] {
            if (read_datafil_cols(rs, 0) != 0) return;
            alloc_global_vars(rs);
            get_parameters(rs, 0);
            load_and_extract(rs);
        });
    }
};

std::string dated_rows(const std::vector<std::string>& days) {
    std::string s = "Sample Time,A\n";
    for (const auto& d : days)
        for (int m = 0; m < 6; ++m) s += d + " 10:0" + std::to_string(m) + ":00,1\n";
    return s;
}

int open_descriptors() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

}  // namespace

TEST(FuzzFindings, TimeStampsFarApartOrOutOfRange) {
    struct Case {
        const char* what;
        std::string text;
        bool daily;  // a time-of-day range 00:01 to 23:59
        int status;  // -1: the load completed
        const char* out;
    };
    const Case cases[] = {
        // The measured interval of stamps centuries apart did not fit an int.
        {"years 2011 and 513",
         "\"Sample Time\",\"A\"\r\n\"03/15/2011 10:00:15.00\",\"3\"\r\n"
         "\"032/10/511 10:00:00.00\",\"1\"\r\n",
         false, -1,
         "Invalid sampling interval -2147483648 between 03/15/2011 10:00:15.00 and 032/10/511 "
         "10:00:00.00\n"},
        // A gap of a century sized the grid in gigabytes; it meets the row limit now.
        {"century gap", dated_rows({"01-JAN-2008", "01-JAN-2108"}), false, 1,
         "Too many Intervals in f.csv. Max is 50000.\nTry setting environmental variable "
         "MAXINTERVALS to 52594666\n"},
        // An hour field of nine digits overflowed the seconds of the day.
        {"hours beyond int seconds",
         "Time,A\n10:00:00,1\n10:01:00,2\n888888810:02:01,5\n10:03:00,4\n10:04:00,4\n", true, -1, ""},
    };
    for (const auto& c : cases) {
        OneFile t(c.text);
        if (c.daily) {
            t.rs.set_opt().timerange.kind = TimeRange::DAILY;
            t.rs.set_opt().timerange.from = 60;
            t.rs.set_opt().timerange.to = 23 * 3600 + 59 * 60;
        }
        RunResult r = t.run();
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.out;
        EXPECT_EQ(r.out, c.out) << c.what;
    }
}

TEST(FuzzFindings, IntervalOfClockTextsBeyondInt) {
    RunState rs;
    rs.set_opt().iflag = 1;
    rs.x_vals = {"5595595:00:00", "10:00:00"};
    rs.num = 2;
    rs.miss_ar.assign(8, 0);
    rs.files.assign(1, InputFile{});
    rs.files[0].fileintnums = 2;
    RunResult r = capture([&] { EXPECT_EQ(calc_sampint(rs, 1, 0, 0), INT_MIN); });
    EXPECT_EQ(r.out, "Invalid sampling interval -2147483648 between 5595595:00:00 and 10:00:00\n");
}

TEST(FuzzFindings, MinuteOptionValuesBeyondIntAreHeldAtTheLimit) {
    struct Case {
        int letter;
        const char* value;
        int Options::*member;
    };
    const Case cases[] = {
        {'a', "2222222222222", &Options::movavg},
        {'a', "99999999", &Options::movavg},
        {'l', "99999999", &Options::tictime},
    };
    for (const auto& c : cases) {
        RunState rs;
        capture([&] { handle_option(rs, c.letter, c.value); });
        EXPECT_EQ(rs.opt().*c.member, INT_MAX) << static_cast<char>(c.letter) << c.value;
    }
}

TEST(FuzzFindings, RangeEndsBeyondIntAreClamped) {
    struct Case {
        const char* typed;
        size_t size;
        int first, last;
    };
    const Case cases[] = {
        {"3555555555-3", 1, 2147483647, 2147483647},  // was wrapped into a negative first number
        {"3-3555555555", 20001, 3, 20003},
    };
    for (const auto& c : cases) {
        std::vector<int> list;
        EXPECT_TRUE(get_digitrange(c.typed, list)) << c.typed;
        ASSERT_EQ(list.size(), c.size) << c.typed;
        EXPECT_EQ(list.front(), c.first) << c.typed;
        EXPECT_EQ(list.back(), c.last) << c.typed;
    }
}

TEST(FuzzFindings, ThousandsOfNameTermsSelectQuickly) {
    TempDir dir;
    InDir in{dir.path()};
    RunState rs;
    same_heading_files(rs, 1, "Time,Alpha,Beta,Gamma", 3);
    rs.numcol = 3;
    rs.set_opt().iflag = 1;
    rs.set_opt().qflag = 1;
    std::string sel = "beta";
    for (int i = 0; i < 20000; ++i) sel += ",-x" + std::to_string(i);
    rs.nums_str = sel;
    auto start = std::chrono::steady_clock::now();
    RunResult r = capture([&] {
        alloc_global_vars(rs);
        get_parameters(rs, 0);
    });
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, -1) << r.out;
    EXPECT_EQ(rs.numpar, 1);
    EXPECT_LT(secs, 3.0);  // the duplicate check was quadratic: many seconds
}

TEST(FuzzFindings, ParameterFileIsClosedWhenItEndsTheRun) {
    TempDir dir;
    InDir in{dir.path()};
    std::string lis;
    for (int i = 0; i < 51; ++i) lis += "[CALC],Alpha,+,Beta,C" + std::to_string(i) + "\n";
    dir.write("p.lis", lis);
    RunState rs;
    same_heading_files(rs, 1, "Time,Alpha,Beta,Gamma", 3);
    rs.numcol = 3;
    rs.set_opt().iflag = 1;
    rs.set_opt().qflag = 1;
    int before = open_descriptors();
    RunResult r = capture([&] {
        handle_option(rs, 'p', "p.lis");
        alloc_global_vars(rs);
        get_parameters(rs, 0);
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nWarning: too many calculated parameters!\n");
    EXPECT_EQ(open_descriptors(), before);
}
