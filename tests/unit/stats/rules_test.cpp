#include "stats/rules.h"

#include <gd.h>
#include <gtest/gtest.h>

#include <cmath>

#include "../chart/chart_grid.h"
#include "core/output_files.h"
#include "grid.h"
#include "harness.h"
#include "run/chart_pass.h"

namespace {

// Reads rules text as the rules file of a run with one-minute samples, in a fresh directory.
struct Read {
    RunResult r;
    RunState rs;
    std::string page, list;
};

Read read_rules(const std::string& text, const std::function<void(RunState&)>& set = {}) {
    TempDir d;
    d.write("Y8RULES.LIS", text);
    Read res;
    res.rs.set_opt().rflag = 1;
    res.rs.filenum = 0;
    res.rs.sampint = 60;
    if (set) set(res.rs);
    {
        InDir in(d.path());
        res.r = capture([&] { get_y8rules(res.rs); });
        finish_all_outputs(res.rs);  // as a completed run does
    }
    if (d.exists("Y8RULES.HTM")) res.page = d.read("Y8RULES.HTM");
    if (d.exists("Y8RULESPAR.LIS")) res.list = d.read("Y8RULESPAR.LIS");
    return res;
}

const char* const READING = "\nReading Y8 Rules from Y8RULES.LIS\n\n";

}  // namespace

TEST(RulesReader, FieldsOfEachForm) {
    struct Case {
        const char* line;
        const char* para;
        const char* op;
        int thresh, period;
        const char* msg;
        const char* optfil;
        const char* thresh_par;
        double mult;
    };
    const Case cases[] = {
        {"Cpu 00 Idle|<|20|5|Idle below $P1 for $P2 samples\n", "Cpu 00 Idle", "<", 20, 5,
         "Idle below 20 for 5 samples", "", "", 0},
        {"como| >| 1| a| avg\n", "como", ">", 1, -1, "avg", "", "", 0},
        {"Read Hit Latency|>|2500|5|Read from Cache > $P1 usecs|RULE02.HTM", "Read Hit Latency",
         ">", 2500, 5, "Read from Cache > 2500 usecs", "RULE02.HTM", "", 0},
        {"\"Disk\",>,7,MAX,max $p1 $p2\r\n", "Disk", ">", 7, -2, "max 7 -2", "", "", 0},
        {"Free|<|min*0.5|MIN|m\n", "Free", "<", -1, -3, "m", "", "MIN", 0.5},
        {"Busy|>|MAXIMUM * 0.8|Avg|x\n", "Busy", ">", -1, -1, "x", "", "MAX", 0.8},
        {"Q|=|3|10|$P2\n", "Q", "=", 3, 10, "10", "", "", 0},
        {"Q|>=|3|-4|never\n", "Q", ">=", 3, 0, "never", "", "", 0},
        {"Q| |3|1|empty op\n", "Q", "", 3, 1, "empty op", "", "", 0},
        {"Only\n", "Only", "", 0, 0, "", "", "", 0},
    };
    for (const Case& c : cases) {
        Read res = read_rules(c.line);
        SCOPED_TRACE(c.line);
        EXPECT_EQ(res.r.status, -1) << res.r.out;
        ASSERT_EQ(static_cast<int>(res.rs.ruleptr.size()), 1);
        const RunState::Y8Rule& r = res.rs.ruleptr[0];
        EXPECT_EQ(r.para, c.para);
        EXPECT_EQ(r.op, c.op);
        EXPECT_EQ(r.thresh, c.thresh);
        EXPECT_EQ(r.period, c.period);
        EXPECT_EQ(r.msg, c.msg);
        EXPECT_EQ(r.optfil, c.optfil);
        EXPECT_EQ(r.thresh_par, c.thresh_par);
        EXPECT_DOUBLE_EQ(r.thresh_mult, c.mult);
    }
}

TEST(RulesReader, PeriodIsMinutesInSamples) {
    const std::pair<int, int> cases[] = {{60, 5}, {30, 10}, {120, 2}, {0, 300}, {7, 42}};
    for (auto [sampint, samples] : cases) {
        Read res = read_rules("X|>|1|5|m\n", [s = sampint](RunState& rs) { rs.sampint = s; });
        ASSERT_EQ(static_cast<int>(res.rs.ruleptr.size()), 1);
        EXPECT_EQ(res.rs.ruleptr[0].period, samples) << sampint;
    }
}

TEST(RulesReader, LinesCommentsAndEnd) {
    // Comments are skipped, a blank line ends the reading, a long line stays whole.
    std::string longmsg(400, 'm');
    Read res = read_rules(";a|<|1|1|c\nA|<|1|1|" + longmsg + "\n;b\nB|>|2|A|b\n\nC|>|3|A|c\n");
    EXPECT_EQ(res.r.out, READING);
    ASSERT_EQ(static_cast<int>(res.rs.ruleptr.size()), 2);
    EXPECT_EQ(res.rs.ruleptr[0].msg, longmsg);
    EXPECT_EQ(res.rs.ruleptr[1].para, "B");

    res = read_rules("A|<|1|1|c\n   |  \nB|>|2|A|b\n");
    EXPECT_EQ(static_cast<int>(res.rs.ruleptr.size()), 1);  // a line of blanks holds no field

    std::string many;
    for (int i = 0; i < 130; ++i) many += strfmt("P%d|>|%d|A|m\n", i, i);
    res = read_rules(many);
    EXPECT_EQ(static_cast<int>(res.rs.ruleptr.size()), MAXRULES);
    EXPECT_EQ(res.rs.ruleptr.back().para, "P99");
}

TEST(RulesReader, OutputFilesAndEnds) {
    Read res = read_rules("A|<|1|1|c\n");
    EXPECT_TRUE(rules_in_force(res.rs));
    EXPECT_EQ(res.page, "<html><title>Y8 charts of Norvale Monitor data - Fired Rules</title>\n");
    EXPECT_EQ(res.list, "");

    res = read_rules("A|<|1|1|c\n", [](RunState& rs) { rs.set_opt().qflag = 1; });
    EXPECT_EQ(res.r.out, "");

    res = read_rules("A|<=|1|1|c\n");
    EXPECT_EQ(res.r.status, 1);
    EXPECT_EQ(res.r.out, std::string(READING) +
                             "Error in Y8RULES.LIS, invalid Operator '<=' in line:\nA|<=|1|1|c\n");

    res = read_rules("A|<|1|1|c\n", [](RunState& rs) { rs.set_opt().oflag = 1; });
    EXPECT_EQ(res.r.out, "\nIgnoring Y8RULES.LIS for overlay charts\n\n");
    EXPECT_FALSE(rules_in_force(res.rs));
    EXPECT_EQ(res.page, "");

    res = read_rules("A|<|1|1|c\n", [](RunState& rs) { rs.set_opt().rulfil = "none.lis"; });
    EXPECT_EQ(res.r.out, "");
    EXPECT_FALSE(rules_in_force(res.rs));

    res = read_rules("A|<|1|1|c\n", [](RunState& rs) { rs.htmrulfil = "no/such/dir.htm"; });
    EXPECT_EQ(res.r.status, 1);
    EXPECT_EQ(res.r.out, std::string(READING) + "\nError opening output file, no/such/dir.htm\n");
}

namespace {

// Runs the checks of parameter 0 (labelled label) with one rule.
struct Checked {
    RunResult r;
    RunState rs;
};

Checked check(const std::vector<double>& v, const std::vector<RunState::Y8Rule>& rules,
              const std::string& label = "Cpu 00 Idle") {
    Checked c{{}, make_grid({{v}}, {label})};
    c.rs.set_opt().rflag = 1;
    c.rs.ruleptr = rules;
    double sum = 0;
    ParamStats st;
    for (double x : v) sum += x, st.max_y = std::max(st.max_y, x), st.min_y = std::min(st.min_y, x);
    st.avg = sum / v.size();
    c.r = capture([&] { check_rules(c.rs, st, 0); });
    return c;
}

RunState::Y8Rule rule(const char* para, const char* op, int thresh, int period,
                      const char* thresh_par = "", double mult = 0) {
    RunState::Y8Rule r;
    r.para = para;
    r.op = op;
    r.thresh = thresh;
    r.period = period;
    r.msg = r.caption = "msg";
    r.thresh_par = thresh_par;
    r.thresh_mult = mult;
    return r;
}

std::vector<double> idle(int low_from, int low_to, int n = 30) {
    std::vector<double> v(n, 50);
    for (int i = low_from; i < low_to && i < n; ++i) v[i] = 20;
    return v;
}

}  // namespace

TEST(RulesCheck, EachKindFiresOrNot) {
    struct Case {
        std::vector<double> values;
        RunState::Y8Rule r;
        std::vector<int> pts;  // empty: does not fire
        const char* out;
    };
    const std::vector<double> three(10, 3), hi{1, 2, 3, 10};
    const Case cases[] = {
        // Held for a period: more than 5 points at or below 20.
        {idle(10, 16),
         rule("CPU 00", "<", 20, 5),
         {10, 16},
         "RULE Fired:   1 Cpu 00 Idle                    msg 00:10 to 00:16\n"},
        {idle(10, 15), rule("cpu", "<", 20, 5), {}, ""},
        // A missing value ends a run: nobody saw the threshold held through it.
        {[] {
             auto v = idle(10, 16);
             v[13] = NAN;
             return v;
         }(),
         rule("CPU 00", "<", 20, 2),
         {10, 13},
         "RULE Fired:   1 Cpu 00 Idle                    msg 00:10 to 00:13\n"},
        {idle(2, 9), rule("idle", "<", 19, 5), {}, ""},
        // Still below at the last point: fires at the end, up to the point count.
        {idle(22, 40),
         rule("Idle", "<", 20, 5),
         {22, 30},
         "RULE Fired:   1 Cpu 00 Idle                    msg 00:22 to 00:29\n"},
        // Two stretches.
        {[] {
             auto v = idle(2, 9);
             for (int i = 15; i < 25; ++i) v[i] = 20;
             return v;
         }(),
         rule("Idle", "<", 20, 5),
         {2, 9, 15, 25},
         "RULE Fired:   1 Cpu 00 Idle                    msg 00:02 to 00:09\n"
         "RULE Fired:   1 Cpu 00 Idle                    msg 00:15 to 00:25\n"},
        {idle(0, 30), rule("Idle", ">", 50, 29), {}, ""},
        {idle(0, 0),
         rule("Idle", ">", 50, 28),
         {0, 30},
         "RULE Fired:   1 Cpu 00 Idle                    msg 00:00 to 00:29\n"},
        {idle(0, 0),
         rule("Idle", "=", 50, 3),
         {0, 30},
         "RULE Fired:   1 Cpu 00 Idle                    msg 00:00 to 00:29\n"},
        {idle(0, 0), rule("Idle", ">=", 1, 0), {}, ""},
        {idle(0, 0), rule("Idle", "", 1, 0), {}, ""},
        // On the average, maximum and minimum: strict comparisons.
        {three, rule("Idle", ">", 3, -1), {}, ""},
        {three,
         rule("Idle", "=", 3, -1),
         {0, 1},
         "RULE Fired:   1 Cpu 00 Idle                    msg\n"},
        {hi,
         rule("Idle", ">", 3, -1),
         {0, 1},
         "RULE Fired:   1 Cpu 00 Idle                    msg\n"},
        {hi, rule("Idle", ">", 10, -2), {}, ""},
        {hi,
         rule("Idle", ">", 9, -2),
         {0, 1},
         "RULE Fired:   1 Cpu 00 Idle                    msg\n"},
        {hi, rule("Idle", "<", 1, -3), {}, ""},
        {hi,
         rule("Idle", "<", 2, -3),
         {0, 1},
         "RULE Fired:   1 Cpu 00 Idle                    msg\n"},
        // Relative thresholds: 80% of the maximum 10 is 8; the average 4 is not above it.
        {hi, rule("Idle", ">", -1, -1, "MAX", 0.8), {}, ""},
        {hi,
         rule("Idle", "<", -1, -1, "MAX", 0.8),
         {0, 1},
         "RULE Fired:   1 Cpu 00 Idle                    msg\n"},
        {hi,
         rule("Idle", ">", -1, -2, "AVG", 2.4),
         {0, 1},
         "RULE Fired:   1 Cpu 00 Idle                    msg\n"},
        // A rule for another parameter.
        {hi, rule("Disk", "<", 100, -1), {}, ""},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i++);
        Checked k = check(c.values, {c.r});
        EXPECT_EQ(k.r.out, c.out);
        bool applies = c.r.para != std::string("Disk");
        EXPECT_EQ(k.rs.ruleflg, applies ? (c.r.period >= 0 ? 2 : 1) : 0);
        if (!applies) continue;
        EXPECT_EQ(k.rs.ruleptr[0].fired, !c.pts.empty());
        EXPECT_EQ(k.rs.ruleptr[0].pts, c.pts);
        EXPECT_EQ(k.rs.cntfires, static_cast<int>(c.pts.size() / 2));
        EXPECT_EQ(fired_rule(k.rs) != nullptr, !c.pts.empty());
    }
}

TEST(RulesCheck, FirstMatchingRuleAppliesAndStretchesAreCapped) {
    Checked k =
        check({1, 9}, {rule("Disk", "<", 0, -2), rule("Disk Busy", ">", 5, -2)}, "Disk Busy %");
    EXPECT_EQ(k.rs.ruleindx, 0);
    EXPECT_EQ(k.r.out, "");

    std::vector<double> saw;
    for (int i = 0; i < 120; ++i) saw.push_back(i % 2 ? 10 : 0);
    k = check(saw, {rule("Idle", ">", 5, 0)});
    EXPECT_EQ(k.rs.cntfires, MAXRULEFIRES);
    EXPECT_EQ(k.rs.ruleptr[0].pts.size(), 2u * MAXRULEFIRES);
    EXPECT_EQ(k.rs.ruleptr[0].pts[0], 1);
}

namespace {

// Charts parameter 0 in the current directory with the main page, rules page and list open.
void draw_fired_chart(RunState& rs) {
    ParamStats st;
    setup_height_and_width(rs);
    rs.htmfp = fopen("main.htm", "wb");
    rs.htmrfp = fopen("rules.htm", "wb");
    rs.rparfp = fopen("par.lis", "wb");
    RunResult r = capture([&] { chart_parameter(rs, {0, 0}, st); });
    EXPECT_EQ(r.status, -1) << r.out;
    for (FILE* fp : {rs.htmfp, rs.htmrfp, rs.rparfp}) fclose(fp);
}

}  // namespace

TEST(RulesChart, ThresholdLineBandsAndCaption) {
    Utc utc;
    TempDir d;
    std::vector<double> v(101, 80);
    for (int i = 40; i < 60; ++i) v[i] = 10;
    RunState rs = chart_grid({v}, {"Cpu 00 Idle"});
    rs.set_opt().rflag = 1;
    rs.ruleptr = {rule("idle", "<", 20, 5)};
    rs.ruleptr[0].msg = "Idle";
    {
        InDir in(d.path());
        draw_fired_chart(rs);
    }
    EXPECT_EQ(rs.opt().kflag, 0);  // the rule's caption does not carry over
    EXPECT_EQ(d.read("par.lis"), "1");
    FILE* f = fopen(d.file(rs.outpng).c_str(), "rb");
    ASSERT_NE(f, nullptr);
    gdImagePtr im = gdImageCreateFromPng(f);
    fclose(f);
    ASSERT_NE(im, nullptr);
    auto rgb = [im](int x, int y) {
        int c = gdImageGetPixel(im, x, y);
        return gdImageRed(im, c) << 16 | gdImageGreen(im, c) << 8 | gdImageBlue(im, c);
    };
    // The scale spans the data, 10..80, over 250 rows: 20 sits 35.7 rows above the bottom.
    const int boryt = rs.boryt, bottom = boryt + rs.hi;
    ASSERT_EQ(rs.hi, 250);
    const int row = bottom - 35;
    EXPECT_EQ(rs.threshrow, row);
    EXPECT_GT(boryt, rs.opt().BORDERyval);  // the caption made room above the plot
    const int MAGENTA = 0xFF00FF;
    EXPECT_EQ(rgb(rs.opt().BORDERxval + 20, row), MAGENTA);      // the line outside the stretch
    EXPECT_NE(rgb(rs.opt().BORDERxval + 20, row - 2), MAGENTA);  // no band there
    const int mid = rs.opt().BORDERxval + rs.wi / 2;             // inside the stretch 40..60
    for (int dy = -2; dy <= 2; ++dy) EXPECT_EQ(rgb(mid, row + dy), MAGENTA) << dy;
    EXPECT_NE(rgb(mid, row + 3), MAGENTA);
    int caption = 0;
    for (int x = 0; x < gdImageSX(im); ++x)
        for (int y = 0; y < boryt - 1; ++y) caption += rgb(x, y) == MAGENTA;
    EXPECT_GT(caption, 20);
    gdImageDestroy(im);
}

TEST(RulesChart, ThresholdLineMeetsTheSeriesOnEveryScale) {
    // A sample exactly at the threshold is drawn on the threshold line, whatever the scale.
    const std::function<void(RunState&)> scales[] = {
        [](RunState&) {},
        [](RunState& rs) { rs.set_opt().zflag = 1; },
        [](RunState& rs) { rs.set_opt().lflag = LINES_ON; },
        [](RunState& rs) { rs.set_opt().scflag = 1, rs.set_opt().zmin = 0; },
    };
    int i = 0;
    for (const auto& scale : scales) {
        SCOPED_TRACE(i++);
        Utc utc;
        TempDir d;
        std::vector<double> v(101, 83);
        for (int k = 40; k < 60; ++k) v[k] = 11;
        v[90] = 20;
        RunState rs = chart_grid({v}, {"Cpu 00 Idle"});
        rs.set_opt().rflag = 1;
        rs.ruleptr = {rule("idle", "<", 20, 5)};
        scale(rs);
        InDir in(d.path());
        draw_fired_chart(rs);
        EXPECT_EQ(rs.threshrow, rs.points[0][0][90].y);
    }
}
