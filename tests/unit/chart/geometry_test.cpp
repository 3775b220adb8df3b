#include "chart/geometry.h"

#include <gtest/gtest.h>

#include "chart_grid.h"

namespace {

std::vector<double> ramp(int n, double from = 0, double step = 1) {
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i) v[i] = from + i * step;
    return v;
}

}  // namespace

TEST(ChartFrame, SizesFromTheSampleCountAndOptions) {
    Utc utc;
    struct Case {
        int num, width, height;  // 0: not given
        bool sparklines;
        int wi, hi, maxx, maxy;
    };
    const Case cases[] = {
        {100, 0, 0, false, 500, 250, 610, 360},       // the defaults
        {100, 150, 0, false, 150, 100, 260, 210},     // height raised to 100
        {100, 1000, 0, false, 1000, 300, 1110, 410},  // and lowered to 300
        {100, 0, 40, false, 500, 40, 610, 150},       // a given height is kept
        {100, 400, 30, true, 400, 30, 406, 36},       // the sparkline presets
    };
    for (const Case& c : cases) {
        RunState rs = chart_grid({ramp(c.num)});
        if (c.width) rs.set_opt().wflag = 1, rs.set_opt().width = c.width;
        if (c.height) rs.set_opt().hflag = 1, rs.set_opt().height = c.height;
        if (c.sparklines) rs.set_opt().BORDERxval = rs.set_opt().BORDERyval = 3, rs.set_opt().bkgcolor = BKG_COMPACT;
        setup_height_and_width(rs);
        EXPECT_EQ(rs.wi, c.wi) << c.width;
        EXPECT_EQ(rs.hi, c.hi) << c.width;
        EXPECT_EQ(rs.maxx, c.maxx) << c.width;
        EXPECT_EQ(rs.maxy, c.maxy) << c.width;
    }
    // 48 samples: 500 / 48 pixels each, so the plot is 500 or, by rounding, 499 wide.
    RunState rs = chart_grid({ramp(48)});
    setup_height_and_width(rs);
    EXPECT_TRUE(rs.wi == 500 || rs.wi == 499) << rs.wi;
    EXPECT_EQ(rs.hi, rs.wi / 2);
}

TEST(ChartFrame, SizeMessageAndEmptyRange) {
    Utc utc;
    RunState rs = chart_grid({ramp(100)});
    rs.set_opt().qflag = 0;
    RunResult r = capture([&] { setup_height_and_width(rs); });
    EXPECT_EQ(r.out, "Chart will be 500 pixels wide and 250 pixels high\n");
    rs.srtpass = 1;
    EXPECT_EQ(capture([&] { setup_height_and_width(rs); }).out, "");

    RunState none;
    r = capture([&] { setup_height_and_width(none); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "No data in range\n");
    none.set_opt().nocharts = 1;  // nothing to chart: no message, and no division by zero
    EXPECT_EQ(capture([&] { setup_height_and_width(none); }).status, -1);
}

TEST(TimeAxis, TickIntervalBySpan) {
    const std::pair<time_t, int> cases[] = {
        {1, 60},
        {900, 60},
        {901, 300},
        {3600, 300},
        {3601, 600},
        {7200, 600},
        {7201, 1800},
        {14400, 1800},
        {14401, 3600},
        {86400, 3600},
        {86401, 7200},
        {259200, 7200},
        {259201, 28800},
        {604800, 28800},
        {604801, 86400},
        {2592000, 86400},
        {40 * 86400, 40 * 8640},
    };
    for (const auto& [span, tic] : cases) EXPECT_EQ(tick_interval(span), tic) << span;
}

TEST(TimeAxis, FirstTickSpacingAndLabels) {
    Utc utc;
    RunState rs = chart_grid({ramp(250)});
    rs.set_opt().width = 500, rs.set_opt().wflag = 1;
    rs.num = 250;
    rs.rangestart = JAN1 + 600;  // 00:10
    rs.rangedursecs = 14400;     // four hours: a tick every half hour
    rs.rangeend = rs.rangestart + rs.rangedursecs;
    setup_height_and_width(rs);
    ASSERT_EQ(rs.wi, 500);
    EXPECT_EQ(rs.ticsecs, 1800);
    EXPECT_EQ(rs.firstticpixels, 42);  // 1200 s at 28.8 s a pixel, rounded
    EXPECT_DOUBLE_EQ(rs.ppertic, 62.5);
    EXPECT_EQ(rs.numtics, 8);
    ASSERT_EQ(rs.ticvals.size(), 9u);
    EXPECT_EQ(rs.ticvals[0], "00:30");
    EXPECT_EQ(rs.ticvals[1], "01:00");
    EXPECT_EQ(rs.ticvals[8], "04:30");
    EXPECT_EQ(rs.ticvals2[0], "");  // one day: no dates
    EXPECT_EQ(rs.start_d, "01-JAN-2024");
    EXPECT_EQ(rs.ch_end_d, "01-JAN-2024");

    // Across midnight every tick also gets its date.
    rs.rangestart = JAN1 - 3600;
    rs.rangedursecs = 7200;
    rs.rangeend = JAN1 + 3600;
    setup_height_and_width(rs);
    EXPECT_EQ(rs.ticsecs, 600);
    EXPECT_EQ(rs.start_d, "31-DEC-2023");
    EXPECT_EQ(rs.end_d, "01-JAN-2024");
    EXPECT_EQ(rs.ticvals[0], "23:00");
    EXPECT_EQ(rs.ticvals2[0], "31-DEC");
    EXPECT_EQ(rs.ticvals[6], "00:00");
    EXPECT_EQ(rs.ticvals2[6], "01-JAN");
}

TEST(TimeAxis, SummerTimeLabelsShowStandardTime) {
    Utc cet("CET-1CEST,M3.5.0,M10.5.0/3");
    RunState rs = chart_grid({ramp(100)});
    rs.rangestart = 1719828000;  // 01-JUL-2024 10:00 UTC: 12:00 summer time, 11:00 standard
    rs.rangedursecs = 14400;
    rs.rangeend = rs.rangestart + rs.rangedursecs;
    setup_height_and_width(rs);
    EXPECT_EQ(rs.ticvals[0], "11:00");
    EXPECT_EQ(rs.start_d, "01-JUL-2024");
}

TEST(TimeAxis, RecordNumbersAxisColumnAndIgnoredGaps) {
    Utc utc;
    auto base = [] {
        RunState rs = chart_grid({ramp(250)});
        rs.rangestart = JAN1 + 600;
        rs.rangedursecs = 14400;
        rs.rangeend = rs.rangestart + rs.rangedursecs;
        return rs;
    };
    RunState rec = base();
    rec.set_opt().axiscol = -1, rec.set_opt().axisflag = 1;
    setup_height_and_width(rec);
    EXPECT_EQ(rec.numtics, 8);
    EXPECT_EQ(rec.ticvals[0], "0");
    EXPECT_EQ(rec.ticvals[1], "27");  // 250 / 9 records a tick
    EXPECT_EQ(rec.ticvals[8], "216");
    EXPECT_DOUBLE_EQ(rec.ppertic, 62.5);  // record numbers keep the time spacing

    RunState col = base();
    col.set_opt().axiscol = 2, col.set_opt().axisflag = 1;
    setup_height_and_width(col);
    EXPECT_EQ(col.numtics, 10);
    EXPECT_EQ(col.ticvals[1], col.x_vals[22]);  // 250 / 11 rows a tick
    EXPECT_EQ(col.ch_start_t, col.x_vals[0]);
    EXPECT_EQ(col.ch_end_t, col.x_vals[249]);
    EXPECT_DOUBLE_EQ(col.ppertic, 50);  // 500 pixels / 10 ticks

    // Without the gaps the ticks take the times of their samples.
    RunState ign = base();
    ign.set_opt().ignoreflag = 1;
    ign.rangedursecs = 18000;
    ign.totmisssecs = 3600;
    setup_height_and_width(ign);
    EXPECT_EQ(ign.rangedursecs, 14400);
    EXPECT_EQ(ign.totmisssecs, 0);
    EXPECT_EQ(ign.ticvals[0], "00:20");  // sample 20
    EXPECT_EQ(ign.ticvals[1], "00:50");  // sample 50
    EXPECT_EQ(ign.ticvals[7], "03:50");
    EXPECT_EQ(ign.ticvals[8], "");  // the last tick is not labelled this way

    RunState shortgrid = base();
    shortgrid.set_opt().ignoreflag = 1;
    shortgrid.max_xvals = 60;
    shortgrid.set_opt().verbose = 1;
    RunResult r = capture([&] { setup_height_and_width(shortgrid); });
    EXPECT_NE(r.out.find("Warning: trying to access x_vals[80] - out of bounds.  i=2\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(shortgrid.ticvals[1], "00:50");
    EXPECT_EQ(shortgrid.ticvals[2], "");
}

TEST(TimeAxis, LinesValueZeroAndTooCloseGrid) {
    Utc utc;
    RunState rs = chart_grid({ramp(250)});
    rs.set_opt().lflag = LINES_ON, rs.set_opt().lflagval = 1;
    rs.set_opt().tictime = 0;  // /lines=0 reads as /lines without a value
    EXPECT_EQ(capture([&] { setup_height_and_width(rs); }).status, -1);
    EXPECT_EQ(rs.ticsecs, 3600);  // span of 249 minutes
    EXPECT_GT(rs.ppertic, 0);

    rs.set_opt().tictime = 60;  // one minute on a span of more than a year
    rs.rangedursecs = 40000000;
    RunResult r = capture([&] { setup_height_and_width(rs); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nGrid lines are too close. Use larger /l value\n");
}

TEST(XMapping, SamplesSpanThePlot) {
    ParamStats st;
    Utc utc;
    RunState rs = chart_grid({ramp(101)});
    setup_height_and_width(rs);
    rs.set_opt().aflag = 1;
    // A peak period running past the end.
    st.ma_x_val_min = 10;
    st.ma_x_val_max = 200;
    adjust_vals_for_size(rs, st, 0);
    const auto& p = rs.points[0][0];
    ASSERT_EQ(p.size(), 101u);
    EXPECT_EQ(p[0].x, 55);
    EXPECT_EQ(p[50].x, 305);
    EXPECT_EQ(p[100].x, 555);
    EXPECT_EQ(rs.mapixels[0][100].x, 555);
    EXPECT_EQ(rs.ma_px_min, 105);
    EXPECT_EQ(rs.ma_px_max, 555);

    RunState spark = chart_grid({ramp(101)});
    spark.set_opt().BORDERxval = spark.set_opt().BORDERyval = 3, spark.set_opt().bkgcolor = BKG_COMPACT;
    spark.set_opt().width = 400, spark.set_opt().height = 30, spark.set_opt().wflag = spark.set_opt().hflag = 1;
    setup_height_and_width(spark);
    adjust_vals_for_size(spark, st, 0);
    EXPECT_EQ(spark.points[0][0][0].x, 33);
    EXPECT_EQ(spark.points[0][0][100].x, 433);  // the right edge of the 400-pixel band

    RunState one = chart_grid({{5}});
    setup_height_and_width(one);
    adjust_vals_for_size(one, st, 0);
    EXPECT_EQ(one.points[0][0][0].x, 55);  // a single sample sits on the left edge
}

TEST(YScale, EndsAndRounding) {
    Utc utc;
    struct Case {
        const char* what;
        std::vector<double> v;
        bool decimals;
        int zflag, lflag, scflag, zmin, zmax;
        double lo, hi;
        const char* maxs;
        const char* mins;
    };
    const Case cases[] = {
        {"max 60 with zero", {3, 60}, false, 1, 0, 0, 99999999, 0, 0, 70, "70.00", "0.00"},
        {"max 57 with zero", {3, 57}, false, 1, 0, 0, 99999999, 0, 0, 60, "60.00", "0.00"},
        {"max 5 with zero", {3, 5}, false, 1, 0, 0, 99999999, 0, 0, 5, "5.00", "0.00"},
        {"max 4999 with zero", {3, 4999}, false, 1, 0, 0, 99999999, 0, 0, 5000, "5000.00", "0.00"},
        {"plain", {20, 80}, false, 0, 0, 0, 99999999, 0, 20, 80, "80", "20"},
        {"decimals above 100",
         {101.5, 123.45},
         true,
         0,
         0,
         0,
         99999999,
         0,
         101,
         123.45,
         "123.45",
         "101.50"},
        {"scale without value", {20, 57}, false, 0, 0, 1, 99999999, 0, 20, 57, "57.00", "20.00"},
        {"scale minimum", {20, 57}, false, 0, 0, 1, 10, 0, 10, 57, "57.00", "10.00"},
        {"scale keyword min", {20, 57}, false, 0, 0, 1, 99999998, 0, 20, 57, "57.00", "20.00"},
        {"fixed maximum", {3, 60}, false, 1, 0, 0, 99999999, 200, 0, 200, "200.00", "0.00"},
        {"lines", {20, 57}, false, 0, 1, 0, 99999999, 0, 20, 57, "57.00", "20.00"},
        {"zero maximum", {-5, 0}, false, 1, 0, 0, 99999999, 0, 0, 100, "100", "0.00"},
    };
    for (const Case& c : cases) {
        RunState rs = chart_grid({c.v});
        ParamStats st;
        if (c.decimals) rs.fp_nums[1] = 1;
        rs.set_opt().zflag = c.zflag, rs.set_opt().lflag = static_cast<GridLines>(c.lflag), rs.set_opt().scflag = c.scflag;
        rs.set_opt().zmin = c.zmin, rs.set_opt().zmax = c.zmax;
        setup_height_and_width(rs);
        prepare_chart(rs, 0, st);
        EXPECT_DOUBLE_EQ(rs.scale_y_min, c.lo) << c.what;
        EXPECT_DOUBLE_EQ(rs.scale_y_max, c.hi) << c.what;
        EXPECT_EQ(rs.scale_top.text(), c.maxs) << c.what;
        EXPECT_EQ(rs.scale_bottom.text(), c.mins) << c.what;
    }
}

TEST(YScale, GridRowsAndLabels) {
    ParamStats st;
    Utc utc;
    RunState rs = chart_grid({{3, 60}});
    rs.set_opt().zflag = 1;
    setup_height_and_width(rs);
    prepare_chart(rs, 0, st);
    EXPECT_EQ(rs.ytics[1], 280);  // 305 - 250 / 10
    EXPECT_EQ(rs.ytics[9], 80);
    EXPECT_EQ(rs.y_ticvals[1], "7");
    EXPECT_EQ(rs.y_ticvals[9], "63");

    RunState small = chart_grid({{0.5, 4.0}});
    small.fp_nums[1] = 1;
    small.set_opt().zflag = 1;
    small.set_opt().horiz = 4;
    setup_height_and_width(small);
    prepare_chart(small, 0, st);
    EXPECT_EQ(small.ytics[1], 243);  // 305 - 250 / 4, truncated
    EXPECT_EQ(small.y_ticvals[1], "1.00");
    EXPECT_EQ(small.y_ticvals[3], "3.00");

    // /lines without /zero: labels from the minimum up, in the style of the first label,
    // which the scale end texts then follow.
    RunState lines = chart_grid({{20, 57}});
    lines.set_opt().lflag = LINES_ON;
    setup_height_and_width(lines);
    prepare_chart(lines, 0, st);
    EXPECT_EQ(lines.y_ticvals[1], "23.70");
    EXPECT_EQ(lines.scale_top.text(), "57.00");

    RunState big = chart_grid({{200, 1200}});
    big.set_opt().lflag = LINES_ON;
    setup_height_and_width(big);
    prepare_chart(big, 0, st);
    EXPECT_EQ(big.y_ticvals[1], "300");
    EXPECT_EQ(big.scale_top.text(), "1200");
    EXPECT_EQ(big.scale_bottom.text(), "200");
}

TEST(YMapping, ValuesToRows) {
    ParamStats st;
    Utc utc;
    std::vector<double> v = ramp(101);  // 0 .. 100: scale 0 to 100 over 250 rows
    v[7] = 3e9;                         // above the int range
    RunState rs = chart_grid({v});
    setup_height_and_width(rs);
    prepare_chart(rs, 0, st);
    EXPECT_EQ(rs.points[0][0][7].y, 55);  // held at the top of the plot

    RunState lin = chart_grid({ramp(101)});
    setup_height_and_width(lin);
    prepare_chart(lin, 0, st);
    const auto& q = lin.points[0][0];
    EXPECT_EQ(q[0].y, 305);
    EXPECT_EQ(q[50].y, 180);
    EXPECT_EQ(q[100].y, 55);

    // Beyond a fixed scale the rows run along the edges of the plot.
    RunState fixed = chart_grid({ramp(101)});
    fixed.set_opt().scflag = 1, fixed.set_opt().zmin = 10, fixed.set_opt().zmax = 50;
    setup_height_and_width(fixed);
    prepare_chart(fixed, 0, st);
    EXPECT_EQ(fixed.points[0][0][100].y, 55);
    EXPECT_EQ(fixed.points[0][0][0].y, 305);

    // A constant series has a zero range: it lies on the bottom row.
    RunState flat = chart_grid({std::vector<double>(20, 7.0)});
    setup_height_and_width(flat);
    prepare_chart(flat, 0, st);
    EXPECT_EQ(flat.points[0][0][5].y, 305);

    // Percentiles become pixel rows.
    RunState pc = chart_grid({ramp(101)});
    pc.set_opt().pcflag = 1;
    setup_height_and_width(pc);
    prepare_chart(pc, 0, st);
    EXPECT_EQ(pc.med_row, 180);
}

TEST(ChartFileName, FromLabelOrPageName) {
    struct Case {
        std::string label;
        int col;
        std::string name;
    };
    const std::string fifty(50, 'a');
    const Case cases[] = {
        {"[CPU]Cpu 00 Busy%", 1, "CPUCpu00Busy.png"},
        {"a$b_c-d.e", 2, "a$b_cde.png"},
        {"%%% ()", 3, ".png"},
        {fifty, 7, std::string(34, 'a') + "_7.png"},
        {std::string(35, 'b') + "!", 4, std::string(34, 'b') + "_4.png"},
        {std::string(34, 'c'), 5, std::string(34, 'c') + ".png"},
        {"Temp\xC3\xA9rature", 6, "Temprature.png"},
    };
    for (const Case& c : cases) {
        RunState rs = chart_grid({{1, 2}}, {c.label});
        rs.param_nums[0][0] = c.col;
        makePNGname(rs, 0);
        EXPECT_EQ(rs.outpng, c.name) << c.label;
    }
    // Labels that filter to one name keep their own files: the first column keeps the
    // name, later ones add their number, and a parameter named again keeps its file.
    {
        RunState rs = chart_grid({{1, 2}, {1, 2}, {1, 2}, {1, 2}}, {"Busy%", "Busy", "%%", "()"});
        const int cols[] = {3, 5, 8, 9};
        for (int w = 0; w < 4; ++w) rs.param_nums[0][static_cast<size_t>(w)] = cols[w];
        const char* want[] = {"Busy.png", "Busy_5.png", ".png", "_9.png"};
        for (int pass = 0; pass < 2; ++pass) {
            for (int w : {0, 1, 2, 3}) {
                makePNGname(rs, w);
                EXPECT_EQ(rs.outpng, want[w]) << w;
            }
        }
    }
    const std::pair<const char*, const char*> pages[] = {
        {"report.htm", "report_3.PNG"}, {"REPORT.HTM", "REPORT_3.PNG"}, {"out", "out_3.PNG"}};
    for (const auto& [page, name] : pages) {
        RunState rs = chart_grid({{1, 2}});
        rs.param_nums[0][0] = 3;
        rs.set_opt().htmflag = 1, rs.set_opt().htmfil = page;
        makePNGname(rs, 0);
        EXPECT_EQ(rs.outpng, name);
    }
}
