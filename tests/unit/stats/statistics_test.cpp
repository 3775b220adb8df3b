#include "stats/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "grid.h"
#include "harness.h"

namespace {

std::vector<double> iota_series(int n, double from = 0, double step = 1) {
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i) v[i] = from + i * step;
    return v;
}

// Statistics of parameter w as the unsorted pass computes them.
ParamStats stats_of(RunState& rs, int w = 0) {
    ParamStats st;
    setup_min_max(rs, w, st);
    calc_stats(rs, w, st);
    return st;
}

std::string log_of(RunState& rs, int w) {
    TempDir dir;
    rs.logfp = fopen(dir.file("Y8_LOG.LIS").c_str(), "wb");
    stats_of(rs, w);
    fclose(rs.logfp);
    rs.logfp = nullptr;
    return dir.read("Y8_LOG.LIS");
}

}  // namespace

TEST(Statistics, Percentiles) {
    const std::vector<double> ten = iota_series(10, 1);
    const std::vector<double> three = {2, 4, 8};
    struct Case {
        const std::vector<double>* b;
        double p, expected;
    };
    const double one = 7;
    const Case cases[] = {
        {&ten, 10, 1.5},  // position 1.1: the two neighbours are averaged
        {&ten, 50, 5.5},  // the median by the same rule
        {&ten, 90, 9.5},  // position 9.9
        {&three, 50, 4},  // position 2 exactly: that value
        {&three, 10, 2},  // position below 1: the first
        {&three, 99, 8},  // position beyond n: the last
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(percentile(c.b->data(), static_cast<int>(c.b->size()), c.p), c.expected)
            << c.p;
    for (double p : {10.0, 50.0, 90.0}) EXPECT_DOUBLE_EQ(percentile(&one, 1, p), 7.0);
    EXPECT_DOUBLE_EQ(percentile(nullptr, 0, 50), 0.0);
}

TEST(Statistics, PercentilesOfAnUnsortedSeriesAndOfOneValue) {
    struct Case {
        std::vector<double> values;
        double p1, median, p2;
    };
    const Case cases[] = {
        {{7, 3, 10, 1, 5, 9, 2, 8, 4, 6}, 1.5, 5.5, 9.5},
        {{42}, 42, 42, 42},
    };
    for (const Case& c : cases) {
        RunState rs = make_grid({{c.values}});
        rs.set_opt().pcflag = 1;
        rs.p1.assign(3, 0);
        rs.p2.assign(3, 0);
        rs.median.assign(3, 0);
        stats_of(rs);
        EXPECT_DOUBLE_EQ(rs.p1[0], c.p1);
        EXPECT_DOUBLE_EQ(rs.median[0], c.median);
        EXPECT_DOUBLE_EQ(rs.p2[0], c.p2);
        // The grid keeps its order; only the work copy is sorted.
        EXPECT_EQ(std::vector<double>(rs.pts[0][0].begin(), rs.pts[0][0].begin() + rs.num),
                  c.values);
    }
}

TEST(Statistics, SelectedPercentilesEqualThoseOfAFullSort) {
    struct Case {
        int n, pc1, pc2;
        bool with_nan;
    };
    const Case cases[] = {{1000, 10, 90, false},
                          {999, 1, 99, false},
                          {37, 25, 75, true},
                          {2, 10, 90, false},
                          {5, 0, 100, true}};
    for (const Case& c : cases) {
        std::vector<double> v(c.n);
        for (int i = 0; i < c.n; ++i) v[i] = (i * 7919 % 101) / 4.0 - 10;  // many repeats
        if (c.with_nan) v[c.n / 2] = NAN;
        RunState rs = make_grid({{v}});
        rs.set_opt().pcflag = 1;
        rs.set_opt().pc1 = c.pc1;
        rs.set_opt().pc2 = c.pc2;
        stats_of(rs);
        // A missing value takes no rank: the reference sorts the values present.
        std::vector<double> sorted;
        for (double x : v)
            if (!std::isnan(x)) sorted.push_back(x);
        sortfp(sorted.data(), static_cast<int>(sorted.size()));
        for (auto [got, p] : {std::pair{rs.p1[0], c.pc1}, {rs.median[0], 50}, {rs.p2[0], c.pc2}})
            EXPECT_EQ(got, percentile(sorted.data(), static_cast<int>(sorted.size()), p))
                << c.n << " p" << p;
    }
}

TEST(Statistics, SortfpOrdersAscendingWithNaNLast) {
    std::vector<double> v = {3, NAN, -1, 2, -0.0, 0.0};
    sortfp(v.data(), static_cast<int>(v.size()));
    EXPECT_EQ(v[0], -1);
    EXPECT_TRUE(std::signbit(v[1]));  // equal values keep their order: -0 before 0
    EXPECT_FALSE(std::signbit(v[2]));
    EXPECT_EQ(v[3], 2);
    EXPECT_EQ(v[4], 3);
    EXPECT_TRUE(std::isnan(v[5]));
}

TEST(Statistics, AverageAndSampleStandardDeviation) {
    struct Case {
        std::vector<double> values;
        double avg, stdev;
    };
    const Case cases[] = {
        {{2, 4, 4, 4, 5, 5, 7, 9}, 5, std::sqrt(32.0 / 7)},
        // Large values with a small spread keep their deviation.
        {{1e9 + 2, 1e9 + 4, 1e9 + 4, 1e9 + 4, 1e9 + 5, 1e9 + 5, 1e9 + 7, 1e9 + 9},
         1e9 + 5,
         std::sqrt(32.0 / 7)},
        // One row has no spread (no division by zero).
        {{6}, 6, 0},
    };
    for (const Case& c : cases) {
        RunState rs = make_grid({{c.values}});
        const ParamStats st = stats_of(rs);
        EXPECT_DOUBLE_EQ(st.avg, c.avg);
        EXPECT_NEAR(st.stdev, c.stdev, 1e-9);
    }
}

TEST(Statistics, ExtremesComeFromTheData) {
    struct Case {
        std::vector<double> values;
        int fp;
        const char *max_shown, *min_shown;
        int max_ar;
    };
    const Case cases[] = {
        {{-5, -3, -8}, 0, "-3", "-8", -3},  // all negative: the true maximum
        {{2e17, 3e17}, 0, "300000000000000000", "200000000000000000", 2147483647},
        {{1.25, 7.5, 3}, 1, "7.50", "1.25", 7},
        {{-2.5, -0.25}, 1, "-0.25", "-2.50", 0},
    };
    for (const Case& c : cases) {
        RunState rs = make_grid({{c.values}});
        rs.fp_nums[1] = c.fp;
        const ParamStats st = stats_of(rs);
        EXPECT_EQ(st.shown_max.text(), c.max_shown);
        EXPECT_EQ(st.shown_min.text(), c.min_shown);
        EXPECT_EQ(rs.max_ar[0], c.max_ar);
        EXPECT_GT(st.ratio, 0);
    }
}

TEST(Statistics, TimeOfTheMaximumTakesTheLatestTie) {
    RunState rs = make_grid({{{1, 5, 3, 5, 2}}});
    ParamStats st = stats_of(rs);
    EXPECT_EQ(st.max_y_time, minute_stamp(3));

    // A maximum on a row without a time text reports the first row's time.
    rs.x_vals[3].clear();
    st = stats_of(rs);
    EXPECT_EQ(st.max_y_time, minute_stamp(0));

    // Across files the later file wins a tie.
    RunState two = make_grid({{{1, 9, 2}}, {{9, 1, 1}}});
    st = stats_of(two);
    EXPECT_EQ(st.max_y_time, minute_stamp(0));
}

TEST(Statistics, ConstantDataWithAndWithoutTheConstantOption) {
    struct Case {
        int jflag;
        const char* jval;
        int iflag;
        int result;
        const char* log;
    };
    const Case cases[] = {
        {0, "", 0, -1, "1, Data is constant = 3.000000, skipping chart for Const\n"},
        {0, "", 1, -1, ""},
        {1, "5", 0, -1, "1, Data is constant 3 and less than 5, skipping chart for Const\n"},
        {1, "2", 0, 1, ""},
    };
    for (const Case& c : cases) {
        RunState rs = make_grid({{{3, 3, 3}}}, {"Const"});
        rs.set_opt().jflag = c.jflag;
        rs.set_opt().jval = c.jval;
        rs.set_opt().iflag = c.iflag;
        TempDir dir;
        rs.logfp = fopen(dir.file("Y8_LOG.LIS").c_str(), "wb");
        ParamStats st;
        setup_min_max(rs, 0, st);
        EXPECT_EQ(calc_stats(rs, 0, st), c.result) << c.jval;
        fclose(rs.logfp);
        EXPECT_EQ(dir.read("Y8_LOG.LIS"), c.log);
    }
    RunState varying = make_grid({{{3, 4, 3}}});
    EXPECT_EQ(log_of(varying, 0), "");
}

TEST(Statistics, MultiFileConstantFlag) {
    struct Case {
        std::vector<std::vector<std::vector<double>>> files;
        int oflag, jflag;
        const char* jval;
        int multi_const;
    };
    const Case cases[] = {
        {{{{3, 3}}, {{4, 4}}}, 0, 0, "", 1},   // constant in every file
        {{{{3, 3}}, {{4, 5}}}, 0, 0, "", 0},   // one file varies
        {{{{3, 3}}, {{3, 3}}}, 0, 1, "3", 0},  // constant but not below the constant option
        {{{{3, 3}}, {{3, 3}}}, 0, 1, "4", 1},
        {{{{3, 3}}}, 0, 0, "", 0},  // one file: never flagged
        {{{{3, 3}}}, 1, 0, "", 1},  // one file on an overlay chart
    };
    for (const Case& c : cases) {
        RunState rs = make_grid(c.files);
        rs.set_opt().oflag = c.oflag;
        rs.set_opt().jflag = c.jflag;
        rs.set_opt().jval = c.jval;
        ParamStats st;
        setup_min_max(rs, 0, st);
        EXPECT_EQ(st.multi_const, c.multi_const);
    }
}

TEST(Statistics, TooManyDataPointsEndsTheRun) {
    RunState rs = make_grid({{{1, 2, 3, 4, 5}}});
    rs.maxpts = 3;
    ParamStats st;
    RunResult r = capture([&] { setup_min_max(rs, 0, st); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "too many data points, 4\n");
}

TEST(Statistics, MovingAveragePeakPeriod) {
    struct Case {
        const char* what;
        std::vector<double> values;
        int movavg;
        int peak_row, period_min, period_max;
        int trough_row;
    };
    std::vector<double> late(100, 0);
    for (int i = 92; i < 100; ++i) late[i] = 100;
    std::vector<double> early(100, 0);
    for (int i = 0; i < 5; ++i) early[i] = 100;
    // 5.7 first, 5.3 later: the earlier, higher window stays the peak.
    std::vector<double> fractions = {0, 0, 0, 5.7, 5.7, 0, 0, 5.3, 5.3, 0};
    const Case cases[] = {
        {"peak at row 97, period pulled back to the end", late, 10, 92, 90, 100, 1},
        {"rows 0 to 5 never start a peak", early, 10, 1, 1, 11, 5},
        {"full-precision comparison", fractions, 2, 3, 3, 5, 1},
        {"all negative", iota_series(10, -20), 4, 7, 6, 10, 1},
    };
    for (const Case& c : cases) {
        RunState rs = make_grid({{c.values}});
        rs.set_opt().aflag = 1;
        rs.ma_samples = c.movavg;
        const ParamStats st = stats_of(rs);
        EXPECT_EQ(st.ma_x_val, minute_stamp(c.peak_row)) << c.what;
        EXPECT_EQ(st.ma_x_val_min, c.period_min) << c.what;
        EXPECT_EQ(st.ma_x_val_max, c.period_max) << c.what;
        EXPECT_EQ(st.mi_x_val, minute_stamp(c.trough_row)) << c.what;
    }
}

TEST(Statistics, RunningMovingAverageMatchesTheDirectSum) {
    std::vector<double> v(500);
    for (int i = 0; i < 500; ++i) v[i] = std::fmod(i * 37.3, 101.7) - 20.05;
    // Missing values: a few alone and a stretch longer than the smaller windows.
    for (int i = 0; i < 500; i += 97) v[i] = NAN;
    for (int i = 300; i < 320; ++i) v[i] = NAN;
    for (int movavg : {1, 2, 7, 10, 499, 1000}) {
        RunState rs = make_grid({{v}});
        rs.set_opt().aflag = 1;
        rs.ma_samples = movavg;
        stats_of(rs);
        for (int i = 0; i < rs.num; ++i) {
            double want = calc_ma(rs, 0, i);
            if (std::isnan(want))
                ASSERT_TRUE(std::isnan(rs.mapoints[0][i])) << movavg << " row " << i;
            else
                ASSERT_NEAR(rs.mapoints[0][i], want, 1e-9) << movavg << " row " << i;
        }
        // A window with no value has no average; a wide one averages the values it has.
        EXPECT_EQ(std::isnan(rs.mapoints[0][310]), movavg <= 10) << movavg;
    }
    // A one-row window is the row's own value.
    RunState rs = make_grid({{{4, 9, 1}}});
    rs.ma_samples = 1;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(calc_ma(rs, 0, i), rs.pts[0][0][i]);
}

TEST(Statistics, WholeSeriesWindowIsAFlatRoundedAverage) {
    RunState rs = make_grid({{{1, 2, 2, 2}}});  // average 1.75
    rs.set_opt().aflag = 1;
    rs.ma_samples = rs.num;
    const ParamStats st = stats_of(rs);
    EXPECT_EQ(rs.mapoints[0], std::vector<double>(4, 2.0));
    EXPECT_EQ(st.ma_x_val, "");
}

TEST(Statistics, MovingAverageOnlyShowsItsOwnExtremes) {
    RunState rs = make_grid({{{0, 10, 0, 10, 0, 10}}});
    rs.set_opt().aflag = 1;
    rs.set_opt().maonly_flag = 1;
    rs.ma_samples = 2;
    const ParamStats st = stats_of(rs);
    EXPECT_EQ(st.shown_max.text(), "5");
    EXPECT_EQ(st.shown_min.text(), "5");
    EXPECT_DOUBLE_EQ(st.max_y, 5);
}

TEST(Statistics, ExtremesSpanTheParametersOfAnOverlayChart) {
    RunState rs = make_grid({{{1, 2}, {-4, 9}}});
    rs.set_opt().oflag = 1;
    rs.set_opt().nflag = 1;
    ParamStats st;
    setup_min_max(rs, 0, st);
    setup_min_max(rs, 1, st);
    EXPECT_DOUBLE_EQ(st.max_y, 9);
    EXPECT_DOUBLE_EQ(st.min_y, -4);
    EXPECT_EQ(rs.ov_minmax_ar[0], "        1         2");
    EXPECT_EQ(rs.ov_minmax_ar[1], "       -4         9");
    EXPECT_DOUBLE_EQ(rs.norm_max_y_ar[0], 2);
    EXPECT_DOUBLE_EQ(rs.norm_max_y_ar[1], 9);
}
