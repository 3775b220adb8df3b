#include "input/count.h"

#include <gtest/gtest.h>

#include <ctime>

#include "file_set.h"
#include "harness.h"
#include "loaded_run.h"

namespace {

struct CountTest : ::testing::Test {
    TempDir dir;
    EnvVar tz{"TZ", "UTC"};
    RunState rs;
    CountTest() {
        tzset();
        name_files(rs, {"c.csv"});
        rs.files[0].firstdataline = 1;
        rs.files[0].samp = 60;
        rs.set_opt().qflag = 0;
    }
    // Heading, then one line per second-of-day on 01-JAN-2008.
    RunResult count(const std::vector<int>& secs, const std::string& extra = "") {
        std::string f = "Sample Time,A\n";
        for (int s : secs) f += "01-JAN-2008 " + clock_text(s) + ",1\n";
        f += extra;
        dir.write("c.csv", f);
        FILE* fp = fopen(dir.file("c.csv").c_str(), "rb");
        LineReader rd(fp);
        RunResult r = capture([&] { count_records(rs, rd); });
        fclose(fp);
        return r;
    }
};

// Seconds of hh:mm on the given day of January 2008 (UTC).
time_t at(int hh, int mm, int day = 1) {
    return 1199145600 + (day - 1) * 86400 + hh * 3600 + mm * 60;
}

std::vector<int> every(int from, int n, int step) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(from + i * step);
    return v;
}

}  // namespace

TEST_F(CountTest, TenMinuteGapLeavesRoomForNineSamples) {
    std::vector<int> secs = every(36000, 50, 60);
    for (int s : every(36000 + 59 * 60, 50, 60)) secs.push_back(s);  // 10:49 to 10:58 missing
    RunResult r = count(secs, "\nColumn Average, 99999,1\n");
    EXPECT_EQ(r.status, -1) << r.out;
    EXPECT_EQ(r.out, "Number of Intervals = 100\n");
    EXPECT_EQ(rs.num, 100);
    EXPECT_EQ(rs.nomints, 109);
    EXPECT_EQ(rs.badsamps, 1);
    EXPECT_EQ(rs.totmiss, 9);
    EXPECT_EQ(rs.miss_ar.size(), 159u);
    EXPECT_EQ(rs.x_vals.size(), 111u);
    EXPECT_EQ(rs.dur, 108 * 60);
    EXPECT_EQ(rs.files[0].fileintnums, 109);
}

TEST_F(CountTest, ShortGapsOfFastSamplesAreNotRoomedFor) {
    // 10-second samples, 20 missing = 200 s of gap: at most 299 s is ignored.
    std::vector<int> secs = every(0, 50, 10);
    for (int s : every(700, 50, 10)) secs.push_back(s);
    rs.files[0].samp = 10;
    count(secs);
    EXPECT_EQ(rs.badsamps, 1);
    EXPECT_EQ(rs.totmiss, 0);
}

TEST_F(CountTest, RangesAndThinning) {
    struct Case {
        int tflag, nth;
        int num;
        time_t first, last;
    };
    const Case cases[] = {
        {0, 1, 60, at(10, 0), at(10, 59)},
        {1, 1, 15, at(10, 15), at(10, 29)},  // [10:15, 10:30)
        {2, 1, 10, at(10, 40), at(10, 49)},  // [10:40, 10:50)
        {0, 3, 20, at(10, 0), at(10, 59)},
    };
    for (const auto& c : cases) {
        RunState fresh = rs;
        std::swap(rs, fresh);
        rs.set_opt().qflag = 1;
        rs.set_opt().nth = c.nth;
        TimeRange& tr = rs.set_opt().timerange;
        tr.kind = c.tflag == 1 ? TimeRange::DATES : c.tflag == 2 ? TimeRange::DAILY : TimeRange::ALL;
        tr.start = 1199145600 + 10 * 3600 + 15 * 60;
        tr.end = 1199145600 + 10 * 3600 + 30 * 60;
        tr.from = 10 * 3600 + 40 * 60;
        tr.to = 10 * 3600 + 50 * 60;
        RunResult r = count(every(36000, 60, 60));
        EXPECT_EQ(r.status, -1) << r.out;
        EXPECT_EQ(rs.num, c.num) << c.tflag << c.nth;
        EXPECT_EQ(rs.firstsecs, c.first);
        EXPECT_EQ(rs.lastsecs, c.last);
        std::swap(rs, fresh);
    }
}

TEST_F(CountTest, CountsThatEndTheRun) {
    rs.maxpts = 50;
    RunResult r = count(every(0, 50, 60));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "Number of Intervals = 50\nToo many Intervals in c.csv. Max is 50.\n"
              "Try setting environmental variable MAXINTERVALS to 150\n");

    rs.maxpts = 50000;
    r = count({3600});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Number of Intervals = 1\nNot enough intervals - exiting\n");

    rs.set_opt().notimestamp = 1;
    r = count(every(0, 5, 60));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "No records found in c.csv\n");
}

TEST_F(CountTest, TimeOnlyStampsTakeTheStartDate) {
    rs.start_d = "02-JAN-2008";
    dir.write("c.csv", "Sample Time,A\n10:00:00,1\n10:01:00,2\n10:02:00,3\n");
    FILE* fp = fopen(dir.file("c.csv").c_str(), "rb");
    LineReader rd(fp);
    RunResult r = capture([&] { count_records(rs, rd); });
    fclose(fp);
    EXPECT_EQ(rs.firstsecs, at(10, 0, 2));
    EXPECT_EQ(rs.lastsecs, at(10, 2, 2));
    EXPECT_EQ(rs.num, 3);
    EXPECT_EQ(rs.totmiss, 0);
}

// The count goes through the first fields the survey kept of each line; reading the file
// again, as it does for the layouts the survey keeps nothing of, finds the same records.
TEST(CountKeptFields, SameRecordsAsReadingTheFileAgain) {
    auto rows = [](int from, int n, const char* sep = "") {
        std::string s;
        for (int i = 0; i < n; ++i) s += "01-JAN-2008 " + clock_text(from + 60 * i) + ",1\n" + sep;
        return s;
    };
    struct Case {
        const char* what;
        std::string text, earlier;  // the file, and one listed after it that starts earlier
        bool range;                 // records from 10:02 to before 10:05 only
        int num;
        time_t first, last;
        bool notice;  // "No timestamp"
    };
    const std::string head = "Sample Time,A\n";
    const Case cases[] = {
        {"blank lines, lines of commas, CRLF", head + rows(36000, 2, "\n,,,\r\n") + rows(36120, 2),
         "", false, 4, at(10, 0), at(10, 3), false},
        {"quoted stamps, trailer",
         head + "\"01-JAN-2008 10:00:00\",1\n" + rows(36060, 3) + "Column Average, 99999,1\n", "",
         false, 4, at(10, 0), at(10, 3), false},
        {"end marker", head + rows(36000, 3) + "--\n" + rows(36180, 3), "", false, 3, at(10, 0),
         at(10, 2), false},
        {"range, units line before its first record",
         head + rows(36000, 1) + "units,%\n" + rows(36060, 6), "", true, 3, at(10, 2), at(10, 4),
         true},
        {"time-only stamps dated above the heading",
         "02-JAN-2008\n" + head + "10:00:00,1\n10:01:00,2\n10:02:00,3\n", "", false, 3,
         at(10, 0, 2), at(10, 2, 2), false},
        {"the file that starts first is counted", head + rows(39600, 5), head + rows(36000, 3),
         false, 3, at(10, 0), at(10, 2), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedRun run;
        RunState& rs = run.rs;
        if (c.range) {
            rs.set_opt().timerange.kind = TimeRange::DATES;
            rs.set_opt().timerange.start = 1199145600 + 36000 + 120;
            rs.set_opt().timerange.end = 1199145600 + 36000 + 300;
        }
        run.file("a.csv", c.text);
        if (!c.earlier.empty()) run.file("b.csv", c.earlier);
        RunResult kept = capture([&] { read_datafil_cols(rs, 0); });
        RunResult read = capture([&] {
            EXPECT_EQ(rs.num, c.num);
            EXPECT_EQ(rs.firstsecs, c.first);
            EXPECT_EQ(rs.lastsecs, c.last);
            FILE* fp = fopen(run.dir.file(rs.files[0].datafil).c_str(), "rb");
            LineReader rd(fp);
            rs.num = 0;
            rs.firstsecs = rs.lastsecs = 0;
            count_records(rs, rd);
            fclose(fp);
        });
        EXPECT_EQ(kept.status, -1) << kept.out;
        EXPECT_EQ(read.status, -1) << read.out;
        EXPECT_EQ(rs.num, c.num);
        EXPECT_EQ(rs.firstsecs, c.first);
        EXPECT_EQ(rs.lastsecs, c.last);
        EXPECT_EQ(kept.out.find("No timestamp\n") != std::string::npos, c.notice) << kept.out;
        EXPECT_EQ(read.out.find("No timestamp\n") != std::string::npos, c.notice) << read.out;
    }
}
