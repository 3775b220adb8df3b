#include "input/count.h"

#include <gtest/gtest.h>

#include <ctime>

#include "file_set.h"
#include "harness.h"

namespace {

std::string clock_text(int secs) {
    char buf[16];
    snprintf(buf, sizeof buf, "%02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
    return buf;
}

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
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {0, 1, 60, "01-JAN-2008 10:00:00", "01-JAN-2008 10:59:00"},
        {1, 1, 15, "01-JAN-2008 10:15:00", "01-JAN-2008 10:29:00"},  // [10:15, 10:30)
        {2, 1, 10, "01-JAN-2008 10:40:00", "01-JAN-2008 10:49:00"},  // [10:40, 10:50)
        {0, 3, 20, "01-JAN-2008 10:00:00", "01-JAN-2008 10:59:00"},
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
        EXPECT_EQ(rs.firstdate, c.first);
        EXPECT_EQ(rs.lastdate, c.last);
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
    EXPECT_EQ(rs.firstdate, "02-JAN-2008 10:00:00");
    EXPECT_EQ(rs.firstsecs, 1199145600 + 86400 + 36000);
    EXPECT_EQ(rs.num, 3);
    EXPECT_EQ(rs.totmiss, 0);
}
