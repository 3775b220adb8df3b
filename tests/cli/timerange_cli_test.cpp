// Time ranges and the forms of time stamps, through the built binary: every mode keeps
// the same rows, a window of hours is kept on every day, and every stamp form gives the
// same results.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "harness.h"

namespace {

const int DAY = 86400;

// Cpu Busy of sample i: a mix of rises and falls; Disk Rate is 2 x Cpu Busy + 1.
int cpu(int i) {
    return (i * 37) % 101;
}

// The time stamp of a sample `secs` seconds after 00:00 on 01-DEC-2026.
using StampForm = std::function<std::string(long secs)>;

std::string classic(long secs) {
    char b[40];
    snprintf(b, sizeof b, "%02ld-DEC-2026 %02ld:%02ld:%02ld", 1 + secs / DAY, secs / 3600 % 24,
             secs / 60 % 60, secs % 60);
    return b;
}

// An ISO stamp: yyyy-mm-dd, sep, the clock, then tail (a fraction or a zone). `shift`
// seconds are added to the clock shown (a zone east of UTC shows a later clock).
StampForm iso(char sep, const char* tail, long shift = 0) {
    return [=](long secs) {
        long s = secs + shift;
        char b[60];
        snprintf(b, sizeof b, "2026-12-%02ld%c%02ld:%02ld:%02ld%s", 1 + s / DAY, sep, s / 3600 % 24,
                 s / 60 % 60, s % 60, tail);
        return std::string(b);
    };
}

// A Y8 file of samples every `step` seconds for `days` days from 00:00 on 01-DEC-2026.
std::string days_file(int days, int step, const StampForm& stamp = classic) {
    std::string s = "NODEA,Monitor Comment: test (1024Mb) with 2 cpus,Sampling Interval: " +
                    std::to_string(step) + ",NODEA\nSample Time,Cpu Busy,Disk Rate\n";
    for (long t = 0, i = 0; t < static_cast<long>(days) * DAY; t += step, ++i)
        s += stamp(t) + "," + std::to_string(cpu(i)) + "," + std::to_string(2 * cpu(i) + 1) + "\n";
    return s;
}

// "Number of Intervals" and the Min, Avg and Max of Cpu Busy, as the listing shows them,
// over the samples whose time `keep` holds.
std::string expected(int days, int step, const std::function<bool(long)>& keep) {
    int n = 0, lo = 1 << 30, hi = -1;
    double sum = 0;
    for (long t = 0, i = 0; t < static_cast<long>(days) * DAY; t += step, ++i) {
        if (!keep(t)) continue;
        ++n;
        sum += cpu(i);
        lo = std::min(lo, cpu(i));
        hi = std::max(hi, cpu(i));
    }
    char b[120];
    snprintf(b, sizeof b, "%d intervals: %.2f %.2f %.2f", n, static_cast<double>(lo), sum / n,
             static_cast<double>(hi));
    return b;
}

// The same figures read from a run's output.
std::string listed(const std::string& out) {
    int n = -1;
    double lo = 0, avg = 0, hi = 0;
    size_t p = out.find("Number of Intervals = ");
    if (p != std::string::npos) sscanf(out.c_str() + p, "Number of Intervals = %d", &n);
    p = out.find("Cpu Busy ");
    if (p != std::string::npos) sscanf(out.c_str() + p + 9, "%lf %lf %lf", &lo, &avg, &hi);
    char b[120];
    snprintf(b, sizeof b, "%d intervals: %.2f %.2f %.2f", n, lo, avg, hi);
    return b;
}

long tod(long secs) {
    return secs % DAY;
}

std::vector<std::string> args(std::vector<std::string> extra) {
    std::vector<std::string> a = {"--parameters=all", "--nohistory"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

// The data lines of a CSV file: those whose first field holds a clock time.
std::vector<std::string> stamps_of(const std::string& csv) {
    std::vector<std::string> v;
    for (size_t b = 0; b < csv.size();) {
        size_t e = csv.find('\n', b);
        if (e == std::string::npos) e = csv.size();
        std::string first = csv.substr(b, std::min(csv.find(',', b), e) - b);
        if (first.find(':') != std::string::npos) v.push_back(first);
        b = e + 1;
    }
    return v;
}

}  // namespace

TEST(TimeRangeCli, WindowsOfHoursHoldOnEveryDay) {
    struct Case {
        const char* range;
        int days;
        std::function<bool(long)> keep;
    };
    const Case cases[] = {
        {"--timerange=09:00,17:00", 3, [](long t) { return tod(t) >= 9 * 3600 && tod(t) < 17 * 3600; }},
        {"--timerange=09:00,17:00", 1, [](long t) { return tod(t) >= 9 * 3600 && tod(t) < 17 * 3600; }},
        // The night shift passes midnight; the file starts in the middle of a night.
        {"--timerange=22:00,06:00", 3, [](long t) { return tod(t) >= 22 * 3600 || tod(t) < 6 * 3600; }},
        {"--timerange=01-dec-2026:16:00,02-dec-2026:10:00", 3,
         [](long t) { return t >= 16 * 3600 && t < DAY + 10 * 3600; }},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write("days.csv", days_file(c.days, 600));
        RunResult r = run_tsgraf(d, args({"days.csv", c.range}));
        std::string what = std::string(c.range) + " on " + std::to_string(c.days) + " days";
        EXPECT_EQ(r.status, 0) << what << r.out;
        EXPECT_EQ(listed(r.out), expected(c.days, 600, c.keep)) << what << "\n" << r.out;
        EXPECT_EQ(r.out.find("missing"), std::string::npos) << what << r.out;
        EXPECT_TRUE(d.exists("CpuBusy.png")) << what;
    }
}

TEST(TimeRangeCli, OneRangeKeepsTheSameRowsInEveryMode) {
    // Rows a minute apart; inside 10:02 to 10:06 Twice is 2 x Ref + 1, outside it is not,
    // so a row taken from outside lowers the correlation.
    auto file = [](const char* node, const char* heading) {
        std::string s = std::string(node) +
                        ",Monitor Comment: test (1024Mb) with 2 cpus,Sampling Interval: 60," +
                        node + "\n" + heading + "\n";
        for (int i = 0; i < 10; ++i) {
            int ref = (i * 7) % 11, twice = i >= 2 && i < 6 ? 2 * ref + 1 : 50 - ref;
            s += classic(10 * 3600 + i * 60) + "," + std::to_string(ref) + "," +
                 std::to_string(twice) + "\n";
        }
        return s;
    };
    const std::vector<std::string> kept = {"01-DEC-2026 10:02:00", "01-DEC-2026 10:03:00",
                                           "01-DEC-2026 10:04:00", "01-DEC-2026 10:05:00"};
    for (const char* range : {"--timerange=01-dec-2026:10:02,01-dec-2026:10:06",
                              "--timerange=10:02,10:06"}) {
        TempDir d;
        d.write("a.csv", file("NODEA", "Sample Time,Ref,Twice"));
        d.write("b.csv", file("NODEB", "Sample Time,Ref,Other"));
        RunResult list = run_tsgraf(d, args({"a.csv", range, "--nocharts", "--extract=x.csv"}));
        EXPECT_NE(list.out.find("Number of Intervals = 4\n"), std::string::npos) << range << list.out;
        EXPECT_EQ(stamps_of(d.read("x.csv")), kept) << range;

        RunResult merge = run_tsgraf(d, args({"a.csv", "b.csv", range, "--merge=m.csv"}));
        EXPECT_EQ(merge.status, 0) << range << merge.out;
        EXPECT_EQ(stamps_of(d.read("m.csv")), kept) << range;

        RunResult correl = run_tsgraf(d, {"a.csv", range, "--nocharts", "--nohistory",
                                          "--parameters=0", "--correlate=1:0.99"});
        EXPECT_EQ(correl.status, 0) << range << correl.out;
        EXPECT_EQ(d.read("CORREL.LIS"), "1,2\n") << range;
    }
}

TEST(TimeRangeCli, EveryStampFormGivesTheSameResults) {
    struct Case {
        const char* what;
        StampForm stamp;
        const char* tz;
    };
    const Case cases[] = {
        {"T", iso('T', ""), "UTC"},
        {"blank and fraction", iso(' ', ".250"), "UTC"},
        {"Z", iso('T', "Z"), "UTC"},
        {"zone east of UTC", iso('T', "+01:00", 3600), "UTC"},
        {"zone of the local clock", iso('T', ".5-05:00"), "EST5"},
    };
    for (const auto& c : cases) {
        TempDir want, got;
        want.write("days.csv", days_file(2, 600));
        got.write("days.csv", days_file(2, 600, c.stamp));
        std::vector<std::string> a = args({"days.csv", "--timerange=22:00,06:00"});
        RunResult w = run_tsgraf(want, a, "", {{"TZ", c.tz}});
        RunResult g = run_tsgraf(got, a, "", {{"TZ", c.tz}});
        EXPECT_EQ(g.status, 0) << c.what << g.out;
        EXPECT_EQ(g.out, w.out) << c.what;
        for (const char* f : {"Y8_PEAK.CSV", "CpuBusy.png", "DiskRate.png"})
            EXPECT_TRUE(got.read(f) == want.read(f)) << c.what << ": " << f;
    }
}
