#include "stats/correl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <functional>

#include "cli/timerange.h"
#include "file_set.h"
#include "grid.h"
#include "harness.h"
#include "loaded_run.h"
#include "stats/statistics.h"

namespace {

std::string stamp_at(int secs) {
    return strfmt("01-JAN-2024 %02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
}

// A dated file: one line per entry of secs, the columns filled by cols(row).
std::string csv(const std::vector<std::string>& names, const std::vector<int>& secs,
                const std::function<std::vector<double>(int)>& cols) {
    std::string s = "Sample Time";
    for (const std::string& n : names) s += "," + n;
    s += "\n";
    for (size_t i = 0; i < secs.size(); ++i) {
        s += stamp_at(secs[i]);
        for (double v : cols(static_cast<int>(i))) s += strfmt(",%.2f", v);
        s += "\n";
    }
    return s;
}

std::vector<int> minutes(int from, int n) {
    std::vector<int> v;
    for (int i = 0; i < n; ++i) v.push_back(from + 60 * i);
    return v;
}

// A reference series with no simple pattern; its values print exactly with two decimals.
double ref(int i) {
    return (i * 7) % 11 + 0.25 * i + 0.5;
}

// Survey, selection, load and the reference series of a file, as a run does them.
struct CorrelRun : LoadedRun {
    explicit CorrelRun(int cflag) { rs.set_opt().cflag = cflag; }
    RunResult load(const std::string& text) {
        file("a.csv", text);
        return LoadedRun::load([&] {
            read_correl_param(rs, rs.opt().cflag);
            rs.num += rs.totmiss;
        });
    }
    ParamStats st;  // the last parameter's
    // Statistics of every parameter; the results of calc_stats.
    std::vector<int> stats() {
        std::vector<int> r;
        capture([&] {
            for (int w = 0; w < rs.numpar; ++w) {
                setup_min_max(rs, w, st);
                r.push_back(calc_stats(rs, w, st));
            }
        });
        return r;
    }
    double grid(int p, int slot) const { return rs.pts[0][p][slot]; }
};

// Pearson's coefficient by its textbook formula in long double, as a check.
double pearson(const std::vector<double>& x, const std::vector<double>& y) {
    long double n = x.size(), sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sx += x[i];
        sy += y[i];
        sxx += static_cast<long double>(x[i]) * x[i];
        syy += static_cast<long double>(y[i]) * y[i];
        sxy += static_cast<long double>(x[i]) * y[i];
    }
    return static_cast<double>((n * sxy - sx * sy) /
                               std::sqrt((n * sxx - sx * sx) * (n * syy - sy * sy)));
}

// Every grid row that holds a sample carries the reference value of its own line,
// which here is the value the grid holds in parameter slot 0.
void expect_aligned(const RunState& rs, int expected_pairs) {
    int paired = 0;
    for (int slot = 0; slot < rs.num; ++slot) {
        double y = rs.corpoints[slot];
        bool gap = slot < static_cast<int>(rs.miss_ar.size()) && rs.miss_ar[slot] == -1;
        if (gap) {
            EXPECT_TRUE(std::isnan(y)) << slot;
            continue;
        }
        ASSERT_FALSE(std::isnan(y)) << slot;
        EXPECT_DOUBLE_EQ(y, rs.pts[0][0][slot]) << slot;
        ++paired;
    }
    EXPECT_EQ(paired, expected_pairs);
}

}  // namespace

TEST(Correl, ReferenceValuesReadAsNumbers) {
    const std::pair<const char*, double> cases[] = {
        {"12.5", 12.5}, {"12.50", 12.5}, {"12.34", 12.34}, {"7", 7},        {"-3.25", -3.25},
        {" 4.5", 4.5},  {"", 0},         {"abc", NAN},     {"10:00:00", 0}, {"1e3", 1000},
    };
    for (const auto& c : cases)
        if (std::isnan(c.second))
            EXPECT_TRUE(std::isnan(correl_value(c.first))) << c.first;
        else
            EXPECT_DOUBLE_EQ(correl_value(c.first), c.second) << c.first;
}

TEST(Correl, SplittingALineAndTheTimeRanges) {
    EnvVar tz("TZ", "UTC");
    tzset();
    struct Case {
        int range;  // 0 none, 1 dates 10:00 to 10:30, 2 times of day 10:00 to 10:30
        const char* line;
        int param;
        int result;
        const char* stamp;
        const char* value;
    };
    const Case cases[] = {
        {0, "01-JAN-2024 10:00:00,1,,3.5", 1, 1, "01-JAN-2024 10:00:00", "1"},
        {0, "01-JAN-2024 10:00:00,1,,3.5", 2, 1, "01-JAN-2024 10:00:00", ""},  // empty field
        {0, "01-JAN-2024 10:00:00,1,,3.5", 3, 1, "01-JAN-2024 10:00:00", "3.5"},
        {0, "01-JAN-2024 10:00:00,1,,3.5", 4, 1, "01-JAN-2024 10:00:00", ""},  // no such field
        {0, ",10:00:00 ,7", 1, 1, "10:00:00", "7"},
        {1, "01-JAN-2024 09:59:59,5", 1, -1, "", ""},
        {1, "01-JAN-2024 10:00:00,5", 1, 1, "01-JAN-2024 10:00:00", "5"},
        {1, "01-JAN-2024 10:29:59,5", 1, 1, "01-JAN-2024 10:29:59", "5"},
        {1, "01-JAN-2024 10:30:00,5", 1, -1, "", ""},
        {1, "02-JAN-2024 10:15:00,5", 1, -1, "", ""},
        {2, "09:59:59,5", 1, -1, "", ""},
        {2, "10:29:59,5", 1, 1, "10:29:59", "5"},
        {2, "10:30:00,5", 1, -1, "", ""},
        {2, "05-MAR-2024 10:15:00,5", 1, 1, "05-MAR-2024 10:15:00", "5"},
        {2, "05-MAR-2024 22:15:00,5", 1, -1, "", ""},
    };
    for (const Case& c : cases) {
        RunState rs;
        if (c.range == 1) set_timerange(rs, "01-JAN-2024:10:00,01-JAN-2024:10:30");
        if (c.range == 2) set_timerange(rs, "10:00,10:30");
        std::string stamp, value;
        int r = get_correl_param_vals(rs, c.line, c.param, stamp, value);
        EXPECT_EQ(r, c.result) << c.line;
        if (r == 1) {
            EXPECT_EQ(stamp, c.stamp) << c.line;
            EXPECT_EQ(value, c.value) << c.line << " field " << c.param;
        }
    }
}

TEST(Correl, ReferenceTestKeepsParametersAtTheThreshold) {
    // Loose follows the reference with a swing of 4: its coefficient lies between 0.7 and 0.9.
    auto cols = [](int i) {
        return std::vector<double>{
            ref(i), 2 * ref(i) + 1,           static_cast<double>((i * 5) % 3), -ref(i),
            4,      ref(i) + (i % 2 ? 4 : -4)};
    };
    std::vector<double> r, loose;
    for (int i = 0; i < 40; ++i) {
        r.push_back(cols(i)[0]);
        loose.push_back(cols(i)[5]);
    }
    double loose_rho = pearson(r, loose);
    ASSERT_GT(loose_rho, 0.7);
    ASSERT_LT(loose_rho, 0.9);

    struct Case {
        double threshold;
        std::vector<int> results;
        const char* lis;
    };
    const Case cases[] = {
        {0.65, {1, 1, -1, -1, -1, 1}, "1,2,6"},
        {0.9, {1, 1, -1, -1, -1, -1}, "1,2"},
        {1.0, {1, 1, -1, -1, -1, -1}, "1,2"},
    };
    for (const Case& c : cases) {
        CorrelRun run(1);
        run.rs.set_opt().corrth = c.threshold;
        run.load(csv({"Ref", "Twice", "Other", "Neg", "Flat", "Loose"}, minutes(36000, 40), cols));
        ASSERT_EQ(run.result.status, -1) << run.result.out;
        std::vector<double> rho;
        std::vector<int> res;
        capture([&] {
            for (int w = 0; w < run.rs.numpar; ++w) {
                setup_min_max(run.rs, w, run.st);
                res.push_back(calc_stats(run.rs, w, run.st));
                rho.push_back(run.st.corrcoef);
            }
        });
        EXPECT_EQ(res, c.results) << c.threshold;
        EXPECT_EQ(run.rs.correl_lis, c.lis);
        EXPECT_EQ(rho[0], 1.0);
        EXPECT_EQ(rho[1], 1.0);
        EXPECT_EQ(rho[3], -1.0);
        EXPECT_EQ(rho[4], -1.0);  // no variation
        EXPECT_NEAR(rho[5], loose_rho, 1e-9);
    }
}

TEST(Correl, GapRowsAreLeftOutOfThePairing) {
    // Ten minutes are missing after row 20: the load inserts rows for them.
    std::vector<int> secs = minutes(36000, 20);
    for (int s : minutes(36000 + 30 * 60, 20)) secs.push_back(s);
    CorrelRun run(1);
    run.rs.set_opt().corrth = 1;
    run.load(csv({"Ref", "Twice"}, secs, [](int i) {
        return std::vector<double>{ref(i), 2 * ref(i) + 1};
    }));
    ASSERT_EQ(run.result.status, -1) << run.result.out;
    ASSERT_GT(run.rs.totmiss, 0);
    int marked = 0;
    for (int m : run.rs.miss_ar) marked += m == -1;
    ASSERT_GE(marked, 5);
    expect_aligned(run.rs, 40);
    // Gap rows hold zeros in the grid; pairing them would break the exact relation.
    EXPECT_EQ(run.stats(), (std::vector<int>{1, 1}));
    EXPECT_EQ(run.st.corrcoef, 1.0);
    EXPECT_EQ(run.rs.correl_lis, "1,2");
}

TEST(Correl, ReferenceFollowsThinningAndTimeRanges) {
    struct Case {
        const char* what;
        int nth;
        const char* range;
    };
    const Case cases[] = {
        {"every third line", 3, ""},
        {"times of day", 1, "10:05,10:14"},
        {"dates", 1, "01-JAN-2024:10:05,01-JAN-2024:10:15"},
        {"every second line in a range", 2, "10:04,10:23"},
    };
    for (const Case& c : cases) {
        CorrelRun run(1);
        run.rs.set_opt().nth = c.nth;
        if (*c.range) set_timerange(run.rs, c.range);
        run.load(csv({"Ref", "Twice"}, minutes(36000, 30), [](int i) {
            return std::vector<double>{ref(i), 2 * ref(i) + 1};
        }));
        ASSERT_EQ(run.result.status, -1) << c.what << run.result.out;
        SCOPED_TRACE(c.what);
        // Every row of the grid is paired, each with its own line.
        ASSERT_GE(run.rs.num, 9);
        expect_aligned(run.rs, run.rs.num);
        EXPECT_EQ(run.stats(), (std::vector<int>{1, 1}));
        EXPECT_EQ(run.st.corrcoef, 1.0);
    }
}

TEST(Correl, SortedRunCollectsAndLogsOnce) {
    CorrelRun run(1);
    run.rs.set_opt().iflag = 0;
    run.load(csv({"Ref", "Other", "Twice"}, minutes(36000, 20), [](int i) {
        return std::vector<double>{ref(i), static_cast<double>(i % 3), 2 * ref(i) + 1};
    }));
    ASSERT_EQ(run.result.status, -1) << run.result.out;
    run.rs.srtflag = SORT_DESCENDING;
    run.rs.logfp = fopen("log.lis", "wb");
    run.stats();
    run.rs.srtpass = 1;
    for (int w : {2, 1, 0}) {
        setup_min_max(run.rs, w, run.st);
        calc_stats(run.rs, w, run.st);
    }
    fclose(run.rs.logfp);
    run.rs.logfp = nullptr;
    EXPECT_EQ(run.rs.correl_lis, "3,1");
    std::vector<double> r, other;
    for (int i = 0; i < 20; ++i) {
        r.push_back(ref(i));
        other.push_back(i % 3);
    }
    EXPECT_EQ(run.dir.read("log.lis"),
              strfmt("2, Correlation Coefficient (%.2f) < 0.65, skipping chart for Other\n",
                     pearson(r, other)));
}

TEST(Correl, LargeValuesWithASmallSpreadKeepTheirCoefficient) {
    // Raw sums of squares of such values lose every digit of the spread.
    CorrelRun run(1);
    run.rs.set_opt().corrth = 1;
    run.load(csv({"Ref", "Twice", "Shifted"}, minutes(36000, 30), [](int i) {
        double v = 1e9 + ref(i);
        return std::vector<double>{v, 2 * v + 1, v - 5e8};
    }));
    ASSERT_EQ(run.result.status, -1) << run.result.out;
    EXPECT_EQ(run.stats(), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(run.rs.correl_lis, "1,2,3");
}

TEST(Correl, ReadingFailures) {
    struct Case {
        int maxpts;
        bool file;
        const char* expected;
    };
    const Case cases[] = {
        {50000, false, "Error opening <gone.csv>\n"},
        {5, true, "too many data points, 6\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        InDir in(dir.path());
        RunState rs;
        rs.num = 10;
        rs.maxpts = c.maxpts;
        name_files(rs, {"gone.csv"});
        rs.files[0].firstdataline = 1;
        if (c.file)
            dir.write("gone.csv", csv({"A"}, minutes(0, 10),
                                      [](int i) { return std::vector<double>{double(i)}; }));
        RunResult r = capture([&] { read_correl_param(rs, 1); });
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, c.expected);
    }
}

namespace {

const char* HEADING =
    "      Parameter                           correlates with Parameter               Coeff.\n\n";

std::string pair_line(int c1, const char* l1, int c2, const char* l2, double rho) {
    return strfmt("%3d %-36.36s %3d %-36.36s %3.3f\n", c1, l1, c2, l2, rho);
}

struct Matrix {
    RunResult result;
    std::string file;
};

Matrix all_pairs(RunState& rs) {
    TempDir dir;
    InDir in(dir.path());
    rs.set_opt().corrall = 1;
    name_files(rs, {"day.csv"});
    Matrix m;
    m.result = capture([&] { check_for_allcorrelation(rs); });
    m.file = dir.read("CORREL_MATRIX.LIS");
    return m;
}

}  // namespace

TEST(AllCorrelation, EachPairAtTheThresholdInBothOrders) {
    std::vector<double> a, noise, twice, flat, loose, big;
    for (int i = 0; i < 30; ++i) {
        a.push_back(ref(i));
        noise.push_back((i * 5) % 3);
        twice.push_back(2 * ref(i) + 1);
        flat.push_back(3);
        loose.push_back(ref(i) + (i % 2 ? 4 : -4));
        big.push_back(1e9 + 3 * ref(i));
    }
    double lr = pearson(a, loose);
    struct Case {
        double threshold;
        int quiet;
        std::string body;
    };
    std::string exact = "\n" + pair_line(1, "A", 3, "Twice", 1) + pair_line(1, "A", 6, "Big", 1) +
                        "\n" + pair_line(3, "Twice", 1, "A", 1) +
                        pair_line(3, "Twice", 6, "Big", 1) + "\n" + pair_line(6, "Big", 1, "A", 1) +
                        pair_line(6, "Big", 3, "Twice", 1);
    std::string with_loose =
        "\n" + pair_line(1, "A", 3, "Twice", 1) + pair_line(1, "A", 5, "Loose", lr) +
        pair_line(1, "A", 6, "Big", 1) + "\n" + pair_line(3, "Twice", 1, "A", 1) +
        pair_line(3, "Twice", 5, "Loose", lr) + pair_line(3, "Twice", 6, "Big", 1) + "\n" +
        pair_line(5, "Loose", 1, "A", lr) + pair_line(5, "Loose", 3, "Twice", lr) +
        pair_line(5, "Loose", 6, "Big", lr) + "\n" + pair_line(6, "Big", 1, "A", 1) +
        pair_line(6, "Big", 3, "Twice", 1) + pair_line(6, "Big", 5, "Loose", lr);
    const Case cases[] = {{1, 0, exact}, {1, 1, exact}, {0.7, 0, with_loose}};
    for (const Case& c : cases) {
        RunState rs = make_grid({{a, noise, twice, flat, loose, big}},
                                {"A", "Noise", "Twice", "Flat", "Loose", "Big"});
        rs.set_opt().corrth = c.threshold;
        rs.set_opt().qflag = c.quiet;
        Matrix m = all_pairs(rs);
        EXPECT_EQ(m.result.status, -1);
        EXPECT_EQ(m.file,
                  std::string("Correlation of parameters in day.csv\n\n") + HEADING + c.body);
        std::string tail = "\nCorrelation details are in CORREL_MATRIX.LIS\n";
        EXPECT_EQ(m.result.out, c.quiet ? tail : HEADING + c.body + tail);
    }
}

TEST(AllCorrelation, GapRowsAndRepeatedColumnsAreLeftOut) {
    // Rows 3 to 7 were inserted for a gap and hold no values; Y also misses row 12 of
    // its own, so its pairs are taken over the rows both sides hold.
    std::vector<double> x, y;
    for (int i = 0; i < 20; ++i) {
        bool gap = i >= 3 && i < 8;
        x.push_back(gap ? NAN : ref(i));
        y.push_back(gap || i == 12 ? NAN : 2 * ref(i) + 1);
    }
    RunState rs = make_grid({{x, y, x}}, {"X", "Y", "X again"});
    rs.param_nums[0][2] = 1;  // the same column selected twice
    rs.miss_ar.assign(30, 0);
    for (int i = 3; i < 8; ++i) rs.miss_ar[i] = -1;
    rs.set_opt().corrth = 1;
    Matrix m = all_pairs(rs);
    EXPECT_EQ(m.file, std::string("Correlation of parameters in day.csv\n\n") + HEADING + "\n" +
                          pair_line(1, "X", 2, "Y", 1) + "\n" + pair_line(2, "Y", 1, "X", 1) +
                          pair_line(2, "Y", 1, "X again", 1) + "\n" +
                          pair_line(1, "X again", 2, "Y", 1));
}
