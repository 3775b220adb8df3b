#include "select/calc.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/tables.h"
#include "file_set.h"
#include "harness.h"
#include "select/calccount.h"
#include "select/selection.h"

namespace {

const char* kHeading =
    "Sample Time,Cpu 00 Idle,Cpu 00 User,Alpha,Beta,Free List Size,Disk A Busy,Disk B Busy,"
    "Disk A Busy Peak,Controller Disk B Busy,Disk A Reads,Xval,Yval";
constexpr int kCols = 12;
constexpr int kRows = 6;

// The value the loader would have stored for column col at row r. Yval is 0, positive
// and negative in turn, for the division rule.
double value(int col, int r) {
    if (col == 12) return r % 3 == 0 ? 0 : (r % 3 == 1 ? 4 : -2);
    return col * 10 + r;
}

// One surveyed file, a parameter file of calculated lines, and a grid the test fills as
// the loader would: the selected columns' values at their parameter slots.
struct Calc {
    TempDir dir;
    InDir in{dir.path()};
    RunState rs;
    RunResult result;

    explicit Calc(const std::string& lis) {
        dir.write("calc.lis", lis);
        same_heading_files(rs, 1, kHeading, kCols);
        rs.numcol = kCols;
        rs.nums_str = rs.orig_nums_str = "calc.lis";
        rs.set_opt().iflag = 1;
        rs.set_opt().qflag = 1;
    }
    // Selection, translation and the per-row routines; false when the run ended.
    bool run() {
        result = capture([&] {
            get_numcalcs_cnt(rs, "calc.lis");
            alloc_global_vars(rs);
            get_parameters(rs, 0);
            translate_calc_params(rs);
            size_t slots =
                static_cast<size_t>(rs.numcalcs + rs.numpar + 20 + (rs.wild ? rs.numcol : 0));
            rs.pts.assign(1,
                          std::vector<std::vector<double>>(slots, std::vector<double>(kRows + 21)));
            for (int r = 0; r < kRows; ++r) {
                for (int k = 0; k < rs.numpar; ++k)
                    rs.pts[0][static_cast<size_t>(k)][static_cast<size_t>(r)] =
                        value(rs.param_nums[0][k], r);
                // twice: a row's values depend on that row alone
                for (int again = 0; again < 2; ++again) {
                    if (rs.wild)
                        get_wildcalcparmpts(rs, r);
                    else
                        get_calcparmpts(rs, 0, r);
                }
            }
        });
        return result.status == -1;
    }
    double at(int slot, int r) const {
        return rs.pts[0][static_cast<size_t>(slot)][static_cast<size_t>(r)];
    }
    bool selected(int col) const {
        for (int k = 0; k < rs.numpar; ++k)
            if (rs.param_nums[0][static_cast<size_t>(k)] == col) return true;
        return false;
    }
};

using Series = std::function<double(int)>;

struct Expect {
    const char* label;
    Series series;
};

}  // namespace

TEST(CalcLines, ValuesRowByRow) {
    struct Case {
        const char* lis;
        std::vector<Expect> lines;
        std::vector<int> operand_cols;  // columns the lines must have selected
    };
    auto v = value;
    const Case cases[] = {
        {"[CALC], 100, -, Cpu 00 Idle, Calculated Cpu 00 Busy\n",
         {{"Calculated Cpu 00 Busy", [&](int r) { return 100 - v(1, r); }}},
         {1}},
        {"[CALC]|Alpha|+|Beta|*|2|Sum x2\n",
         {{"Sum x2", [&](int r) { return (v(3, r) + v(4, r)) * 2; }}},
         {3, 4}},
        {"[CALC], $MEMORY, -, Free List Size, Memory Utilization\n",
         {{"Memory Utilization", [&](int r) { return 4096 - v(5, r); }}},
         {5}},
        {"[CALC],Alpha,/,$CPUS,Alpha per cpu\n",
         {{"Alpha per cpu", [&](int r) { return v(3, r) / 4; }}},
         {3}},
        // division by zero or by a negative value leaves the running value alone
        {"[CALC],Xval,/,Yval,Ratio\n",
         {{"Ratio", [&](int r) { return v(12, r) > 0 ? v(11, r) / v(12, r) : v(11, r); }}},
         {11, 12}},
        {"[CALC],Alpha,+,Beta,-,Xval,*,0.5,/,.25,Four operators\n",
         {{"Four operators", [&](int r) { return (v(3, r) + v(4, r) - v(11, r)) * 0.5 / .25; }}},
         {3, 4, 11}},
        {"[calc],ALPHA,*,cpu 00 user,+,-3,Mixed case\n",
         {{"Mixed case", [&](int r) { return v(3, r) * v(2, r) - 3; }}},
         {2, 3}},
        // a wildcard operand takes the first selected label it matches
        {"[CALC],Cpu 00 *,+,1,First cpu\n",
         {{"First cpu", [&](int r) { return v(1, r) + 1; }}},
         {1, 2}},
        {"[CALC],Alpha,+,Beta,Sum\n[CALC],Sum,*,3,Triple\n",
         {{"Sum", [&](int r) { return v(3, r) + v(4, r); }},
          {"Triple", [&](int r) { return (v(3, r) + v(4, r)) * 3; }}},
         {3, 4}},
        // a line defined further down contributes 0
        {"[CALC],Later,+,Alpha,Uses later\n[CALC],Beta,+,1,Later\n",
         {{"Uses later", [&](int r) { return v(3, r); }},
          {"Later", [&](int r) { return v(4, r) + 1; }}},
         {3, 4}},
    };
    for (const auto& c : cases) {
        Calc t(c.lis);
        t.rs.physmem = 4096;
        t.rs.numcpus = 4;
        ASSERT_TRUE(t.run()) << c.lis << t.result.out;
        EXPECT_EQ(t.result.out, "") << c.lis;
        ASSERT_EQ(t.rs.numcalcs, static_cast<int>(c.lines.size())) << c.lis;
        for (int col : c.operand_cols) EXPECT_TRUE(t.selected(col)) << c.lis << " column " << col;
        for (size_t i = 0; i < c.lines.size(); ++i) {
            int slot = t.rs.numpar + static_cast<int>(i);
            EXPECT_EQ(t.rs.calcparmnum[i], slot) << c.lis;
            EXPECT_EQ(t.rs.xlabel[static_cast<size_t>(slot)], c.lines[i].label) << c.lis;
            for (int r = 0; r < kRows; ++r)
                EXPECT_DOUBLE_EQ(t.at(slot, r), c.lines[i].series(r)) << c.lis << " row " << r;
        }
        EXPECT_TRUE(zero_scale(t.rs));
        EXPECT_TRUE(keeps_constants(t.rs));
    }
}

TEST(CalcLines, RefusedLinesAndUnknownOperands) {
    struct Case {
        const char* lis;
        int status;  // -1: the run goes on
        const char* out;
        int numcalcs;  // lines accepted
        const char* first_label;
    };
    const Case cases[] = {
        {"[CALC],Alpha,+,Beta,+,Bad\n[CALC],Alpha,+,Beta,Good\n", -1,
         "Invalid number of parameters: [CALC],Alpha,+,Beta,+,Bad\n", 1, "Good"},
        {"[CALC],Alpha,+,Beta,+,Xval,+,Yval,+,1,+,2,Long\n[CALC],Alpha,+,Beta,Good\n", -1,
         "Too many parameters: [CALC],Alpha,+,Beta,+,Xval,+,Yval,+,1,+,2,Long\n", 1, "Good"},
        {"[CALC],Alpha,%,Beta,Mod\n[CALC],Alpha,+,Beta,Good\n", -1,
         "Invalid CALC operator, %. Must be one of +, -, /, or *\n", 1, "Good"},
        {"[CALC],Alpha,+-,Beta,Two signs\n[CALC],Alpha,+,Beta,Good\n", -1,
         "Invalid CALC operator, +-. Must be one of +, -, /, or *\n", 1, "Good"},
        {"Alpha\n[CALC],*Beta*,+,Bad\n[CALC],Alpha,+,Beta,Good\n", -1,
         "Invalid number of parameters: [CALC],*Beta*,+,Bad\n", 1, "Good"},
        {"[CALC],Alpha,+,Bad\n", 1, "not enough [CALC] parameters: [CALC],Alpha,+,Bad\n", 0, ""},
        {"[CALC],Nosuch,+,Alpha,Broken\n[CALC],Alpha,+,Beta,Good\n", -1,
         "Invalid [CALC] parameter, 'Nosuch' Not in CSV file\n", 2, "Broken"},
        {"[CALC],$DISKS,*,Alpha,Broken\n", -1,
         "Invalid [CALC] parameter, '$DISKS' Not in CSV file\n", 1, "Broken"},
        {"[CALC],*Disk * Busy*,Total &2 Busy,Extra\n[CALC],Alpha,+,Beta,Good\n", -1,
         "Invalid number of wildcard [CALC] parameters: [CALC],*Disk * Busy*,Total &2 Busy,Extra\n",
         1, "Good"},
    };
    for (const auto& c : cases) {
        Calc t(c.lis);
        t.run();
        EXPECT_EQ(t.result.status, c.status) << c.lis;
        EXPECT_EQ(t.result.out, c.out) << c.lis;
        if (c.status != -1) continue;
        EXPECT_EQ(t.rs.numcalcs, c.numcalcs) << c.lis;
        EXPECT_EQ(t.rs.wild, 0) << c.lis;
        EXPECT_EQ(t.rs.xlabel[static_cast<size_t>(t.rs.numpar)], c.first_label) << c.lis;
    }

    // A line with an unknown operand keeps its slot but produces nothing; the others work.
    Calc t("[CALC],Nosuch,+,Alpha,Broken\n[CALC],Alpha,+,Beta,Good\n");
    ASSERT_TRUE(t.run());
    EXPECT_EQ(t.rs.skipcalc[0], 1);
    for (int r = 0; r < kRows; ++r) {
        EXPECT_EQ(t.at(t.rs.numpar, r), 0);
        EXPECT_EQ(t.at(t.rs.numpar + 1, r), value(3, r) + value(4, r));
    }
}

TEST(CalcLines, LimitsEndTheRun) {
    std::string many;
    for (int i = 0; i < 51; ++i)
        many += "[CALC],Alpha,+," + std::to_string(i + 1) + ",c" + std::to_string(i) + "\n";
    std::string wide = "[CALC],*Disk*,T&1";
    for (int i = 0; i < 30; ++i) wide += ",x";
    struct Case {
        std::string lis;
        const char* out;
    };
    const Case cases[] = {
        {many, "\nWarning: too many calculated parameters!\n"},
        {wide + "\n", "too many parameters\n"},
        {"[CALC],*Tape * Busy*,Total &2\n",
         "No match for wildcard expression *Tape * Busy*\n"
         "No match for any wildcard [CALC] expression\n"},
    };
    for (const auto& c : cases) {
        Calc t(c.lis);
        EXPECT_FALSE(t.run());
        EXPECT_EQ(t.result.status, 1);
        EXPECT_EQ(t.result.out, c.out);
    }
}

TEST(CalcLines, WildcardLinesSumTheColumnsOfEachLabel) {
    struct Case {
        const char* lis;
        std::vector<Expect> labels;
        const char* out;
    };
    auto v = value;
    const Case cases[] = {
        {"[CALC],*Disk * Busy*,Total &2 Busy\n",
         {{"Total A Busy", [&](int r) { return v(6, r) + v(8, r); }},
          {"Total B Busy", [&](int r) { return v(7, r) + v(9, r); }}},
         ""},
        // a second line making an existing label adds to it; a column already routed
        // there counts once
        {"[CALC],*Disk * Busy*,Total &2 Busy\n[CALC],Disk * Reads,Total &1 Busy\n"
         "[CALC],*Disk A Busy,&1Total A Busy\n",
         {{"Total A Busy", [&](int r) { return v(6, r) + v(8, r) + v(10, r); }},
          {"Total B Busy", [&](int r) { return v(7, r) + v(9, r); }}},
         ""},
        // the message names a line that matched nothing while no line had matched yet
        {"[CALC],*Tape*,T &1\n[CALC],Cpu 00 *,Cpu ~1\n[CALC],*Printer*,P &1\n",
         {{"Cpu IDLE", [&](int r) { return v(1, r); }},
          {"Cpu USER", [&](int r) { return v(2, r); }}},
         "No match for wildcard expression *Tape*\n"},
    };
    for (const auto& c : cases) {
        Calc t(c.lis);
        ASSERT_TRUE(t.run()) << c.lis << t.result.out;
        EXPECT_EQ(t.result.out, c.out) << c.lis;
        EXPECT_EQ(t.rs.wild, 1);
        ASSERT_EQ(t.rs.totwcalc, static_cast<int>(c.labels.size())) << c.lis;
        for (size_t i = 0; i < c.labels.size(); ++i) {
            int slot = t.rs.numpar + static_cast<int>(i);
            EXPECT_EQ(t.rs.xlabel[static_cast<size_t>(slot)], c.labels[i].label) << c.lis;
            for (int r = 0; r < kRows; ++r)
                EXPECT_DOUBLE_EQ(t.at(slot, r), c.labels[i].series(r)) << c.lis << " row " << r;
        }
    }
}

TEST(CalcLines, WildcardMappingTraceAndSelection) {
    Calc t("[CALC],*Disk * Busy*,Total &2 Busy\n");
    t.rs.set_opt().verbose = 1;
    ASSERT_TRUE(t.run());
    EXPECT_NE(t.result.out.find("*Writing Total A Busy to wcalc_label[0][0] [Disk A Busy]\n"
                                "*wild_nums[0][0][0]= 6\n"
                                "*Writing Total B Busy to wcalc_label[0][1] [Disk B Busy]\n"
                                "*wild_nums[0][1][0]= 7\n"
                                "**wild_nums[0][0][1]= 8\n"
                                "**wild_nums[0][1][1]= 9\n"),
              std::string::npos)
        << t.result.out;
    EXPECT_EQ(t.rs.numpar, 4);  // the routed columns only
    EXPECT_EQ(t.rs.param_list, (std::vector<int>{6, 7, 8, 9}));
}

TEST(CalcLines, EachValueIsHandedOnInLineOrder) {
    Calc t("[CALC],Alpha,/,2,Half\n[CALC],Nosuch,+,1,Broken\n[CALC],Beta,-,Alpha,Diff\n");
    ASSERT_TRUE(t.run());
    std::vector<double> values;
    get_calcparmpts(t.rs, 0, 1, &values);
    EXPECT_EQ(values, (std::vector<double>{15.5, 10.0}));  // the broken line is skipped
}

TEST(CalcLines, SystemFactsWithoutHeaderFacts) {
    Calc t("[CALC],Alpha,/,$CPUS,Per cpu\n[CALC],$MEMORY,-,Alpha,Free\n");
    ASSERT_TRUE(t.run());
    EXPECT_EQ(t.rs.calcp[1][0], "1");  // one CPU, no memory size
    EXPECT_EQ(t.rs.calcp[0][1], "0");
    EXPECT_DOUBLE_EQ(t.at(t.rs.numpar, 2), value(3, 2));
    EXPECT_DOUBLE_EQ(t.at(t.rs.numpar + 1, 2), -value(3, 2));
}

TEST(CalcLines, LaterFilesUseTheirOwnValues) {
    Calc t("[CALC],Alpha,-,Beta,Diff\n[CALC],Diff,*,Diff,Square\n");
    ASSERT_TRUE(t.run());
    auto second = t.rs.pts[0];
    for (int k = 0; k < t.rs.numpar; ++k)
        for (int r = 0; r < kRows; ++r)
            second[static_cast<size_t>(k)][static_cast<size_t>(r)] *= k + 2;
    t.rs.pts.push_back(second);
    for (int r = 0; r < kRows; ++r) get_calcparmpts(t.rs, 1, r);
    for (int r = 0; r < kRows; ++r) {
        double diff = value(3, r) * 2 - value(4, r) * 3;
        EXPECT_DOUBLE_EQ(t.rs.pts[1][static_cast<size_t>(t.rs.numpar)][static_cast<size_t>(r)],
                         diff);
        EXPECT_DOUBLE_EQ(t.rs.pts[1][static_cast<size_t>(t.rs.numpar + 1)][static_cast<size_t>(r)],
                         diff * diff);
        EXPECT_DOUBLE_EQ(t.at(t.rs.numpar, r), -10);  // file 0 untouched
    }
}
