#include "chart/draw.h"

#include <gd.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>

#include "base/dirswitch.h"
#include "base/platform.h"
#include "chart_grid.h"
#include "png_reader.h"

namespace {

constexpr unsigned WHITE = 0xFFFFFF, BLACK = 0x000000, NAVY = 0x000080, RED = 0xFF0000,
                   MAGENTA = 0xFF00FF, GREY10 = 0xE6E6E6, GREY5 = 0xF0F0F0, GREY90 = 0x1B1B1B,
                   GAINSBORO = 0xDCDCDC, GOLDENROD = 0xEEE8AA, LITEGREY = 0xD3D3D3;

using Png = PngFile;

std::vector<double> ramp(int n) {
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i) v[i] = i;
    return v;
}

// Draws parameter 0 of rs into d after the set-up a test makes; returns the file's path.
std::string draw(RunState& rs, const TempDir& d, const std::function<void(RunState&)>& set = {}) {
    ParamStats st;
    Utc utc;
    InDir in(d.path());
    if (set) set(rs);
    setup_height_and_width(rs);
    prepare_chart(rs, 0, st);
    ++rs.cnt;
    RunResult r = capture([&] { draw_chart(rs, st, 0, rs.sampint); });
    EXPECT_EQ(r.status, -1) << r.out;
    return d.file(rs.outpng);
}

}  // namespace

TEST(DrawChart, DefaultLayout) {
    TempDir d;
    RunState rs = chart_grid({ramp(101)}, {"load"});
    Png png(draw(rs, d));
    ASSERT_NE(png.im, nullptr);
    EXPECT_EQ(png.w(), 611);
    EXPECT_EQ(png.h(), 361);
    EXPECT_EQ(png.at(0, 0), WHITE);
    EXPECT_EQ(png.at(100, 100), WHITE);  // the plot, above the line
    // The frame runs one pixel outside the plot area 55..555 x 55..305.
    for (auto [x, y] :
         {std::pair{54, 54}, {556, 306}, {54, 180}, {556, 180}, {300, 54}, {300, 306}})
        EXPECT_EQ(png.at(x, y), BLACK) << x << "," << y;
    EXPECT_EQ(png.at(55, 56), WHITE);
    // Value 50 of 0..100 at sample 50 of 100: column 55 + 250, row 305 - 125.
    EXPECT_EQ(png.at(305, 180), NAVY);
    // Title at row 15 and the node name at row 28, centred; nothing above the title.
    EXPECT_EQ(png.count(BLACK, 0, 0, 611, 15), 0);
    EXPECT_GT(png.count(BLACK, 293, 15, 317, 28), 0);  // "load"
    EXPECT_EQ(png.count(BLACK, 0, 15, 293, 28), 0);
    EXPECT_GT(png.count(BLACK, 290, 28, 320, 41), 0);  // "NODEA"
    EXPECT_EQ(png.count(BLACK, 321, 28, 611, 41), 0);
    EXPECT_GT(png.count(BLACK, 38, 55, 53, 63), 0);  // "100" left of the top
    // A tick mark every 50 pixels (ten minutes at 12 seconds a pixel), 4 rows up.
    EXPECT_EQ(png.at(105, 303), BLACK);
    EXPECT_EQ(png.at(105, 301), WHITE);
    EXPECT_EQ(png.at(104, 303), WHITE);
    EXPECT_GT(png.count(BLACK, 90, 308, 120, 316), 0);  // "00:10" under it
}

TEST(DrawChart, BordersAndPlotBackgrounds) {
    struct Case {
        Background bkgcolor;
        unsigned image, plot;
    };
    const Case cases[] = {{BKG_BLACK, GAINSBORO, BLACK},
                          {BKG_WHITE, GAINSBORO, WHITE},
                          {BKG_GREY, GAINSBORO, GAINSBORO}};
    for (const Case& c : cases) {
        TempDir d;
        RunState rs = chart_grid({ramp(101)});
        Png png(draw(rs, d, [&](RunState& r) { r.set_opt().bflag = 1, r.set_opt().bkgcolor = c.bkgcolor; }));
        ASSERT_NE(png.im, nullptr);
        EXPECT_EQ(png.at(0, 0), c.image) << c.bkgcolor;
        EXPECT_EQ(png.at(100, 100), c.plot) << c.bkgcolor;
        EXPECT_EQ(png.at(305, 180), NAVY) << c.bkgcolor;
    }
}

// Every stretch of samples without a value gets a band from its first to its last
// sample over the plot's height, a lone one too; the line does not enter it.
TEST(DrawChart, MissingSampleBands) {
    for (int missing : {1, 2}) {
        TempDir d;
        RunState rs = chart_grid({ramp(101)});
        Png png(draw(rs, d, [&](RunState& r) {
            for (int k = 40; k < 40 + missing; ++k) r.pts[0][0][k] = NAN;
        }));
        ASSERT_NE(png.im, nullptr);
        // Samples 40 and 41 are at columns 255 and 260.
        int last = missing == 1 ? 255 : 260;
        EXPECT_EQ(png.at(255, 55), GREY10) << missing;
        EXPECT_EQ(png.count(GREY10, 255, 55, last + 1, 300), (last - 254) * 245) << missing;
        EXPECT_EQ(png.at(254, 100), WHITE) << missing;
        EXPECT_EQ(png.at(last + 1, 100), WHITE) << missing;
    }
}

TEST(DrawChart, MovingAverageAndPeakPeriod) {
    std::vector<double> v(101, 10.0);
    for (int i = 60; i < 70; ++i) v[i] = 50;
    {
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d, [](RunState& r) { r.set_opt().aflag = 1, r.ma_samples = 10; }));
        ASSERT_NE(png.im, nullptr);
        ASSERT_LT(rs.ma_px_min, rs.ma_px_max);
        // Rows away from the steep data segments at both edges.
        EXPECT_EQ(png.at(rs.ma_px_min, 300), GOLDENROD);
        EXPECT_EQ(png.at(rs.ma_px_max, 120), GOLDENROD);
        EXPECT_EQ(png.at(rs.ma_px_min - 1, 300), WHITE);
        EXPECT_EQ(png.at(rs.ma_px_max + 1, 120), WHITE);
        EXPECT_GT(png.count(RED, 55, 55, 556, 306), 0);  // the moving-average line
        EXPECT_GT(png.count(NAVY), 0);
    }
    {
        // Only the moving average: no data line.
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d, [](RunState& r) { r.set_opt().aflag = 1, r.ma_samples = 10, r.set_opt().maonly_flag = 1; }));
        EXPECT_EQ(png.count(NAVY), 0);
        EXPECT_GT(png.count(RED), 0);
    }
    {
        // A window of the whole run: the average as red text right of the plot, no shading.
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d, [](RunState& r) { r.set_opt().aflag = 1, r.ma_samples = r.num; }));
        EXPECT_EQ(png.count(GOLDENROD), 0);
        EXPECT_GT(png.count(RED, 560, 55, 611, 306), 0);
    }
}

TEST(DrawChart, PercentileLines) {
    for (int noline : {0, 1}) {
        TempDir d;
        RunState rs = chart_grid({ramp(101)});
        Png png(draw(rs, d, [&](RunState& r) { r.set_opt().pcflag = 1, r.set_opt().nopcline = noline; }));
        ASSERT_NE(png.im, nullptr);
        if (noline) {
            EXPECT_EQ(png.count(MAGENTA), 0);
            continue;
        }
        for (double at : {rs.p1_row, rs.p2_row, rs.med_row}) {
            int row = static_cast<int>(at);
            EXPECT_EQ(png.at(55, row), MAGENTA) << row;
            EXPECT_EQ(png.at(500, row), MAGENTA) << row;
            EXPECT_GT(png.count(MAGENTA, 560, row - 4, 611, row + 4), 0) << row;  // its value
        }
        EXPECT_EQ(static_cast<int>(rs.med_row), 180);
    }
}

TEST(DrawChart, LineStyles) {
    // 0 first, 100 last, 50 between: a flat line at row 180.
    std::vector<double> v(101, 50.0);
    v[0] = 0, v[100] = 100;
    auto rows_at = [](const Png& png, int x, unsigned rgb) {
        std::vector<int> rows;
        for (int y = 0; y < png.h(); ++y)
            if (png.at(x, y) == rgb) rows.push_back(y);
        return rows;
    };
    {
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d, [](RunState& r) { r.set_opt().thk = 2; }));
        EXPECT_EQ(rows_at(png, 300, NAVY), (std::vector<int>{178, 179, 180, 181, 182}));
    }
    {
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d));
        EXPECT_EQ(rows_at(png, 300, NAVY), (std::vector<int>{180}));
    }
    for (int bars : {0, 1}) {
        // Bars and fill reach down to the bottom row.
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d, [&](RunState& r) { (bars ? r.set_opt().bar_chart : r.set_opt().fflag) = 1; }));
        EXPECT_EQ(png.at(300, 250), NAVY) << bars;
        EXPECT_EQ(png.at(300, 305), NAVY) << bars;
        EXPECT_EQ(png.at(300, 170), WHITE) << bars;
    }
    {
        // The colour letter of /lines recolours the line.
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d, [](RunState& r) { r.set_opt().lflag = LINES_RED; }));
        EXPECT_EQ(png.at(300, 180), RED);
        EXPECT_EQ(png.count(NAVY), 0);
    }
    for (int dots : {0, 1}) {
        // A white line shows only the dots of the samples.
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d, [&](RunState& r) { r.set_opt().lflag = LINES_WHITE, r.set_opt().dflag = dots, r.set_opt().dotsize = 2; }));
        if (dots)
            EXPECT_GT(png.count(NAVY, 55, 175, 556, 186), 100);
        else
            EXPECT_EQ(png.count(NAVY), 0);
    }
}

TEST(DrawChart, DashedGridWithLines) {
    TempDir d;
    RunState rs = chart_grid({ramp(101)});
    Png png(draw(rs, d, [](RunState& r) { r.set_opt().lflag = LINES_ON; }));
    ASSERT_NE(png.im, nullptr);
    int row = rs.ytics[1];
    EXPECT_EQ(row, 280);
    // Dashes of three litegrey pixels with gaps of three.
    int grey = 0, run = 0, longest = 0;
    for (int x = 160; x < 200; ++x) {  // between two tick columns
        bool g = png.at(x, row) == LITEGREY;
        grey += g;
        run = g ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    EXPECT_GE(grey, 19);
    EXPECT_LE(grey, 21);
    EXPECT_EQ(longest, 3);
    // A dashed grid column at every tick.
    EXPECT_GT(png.count(LITEGREY, 105, 60, 106, 300), 100);
    rs = chart_grid({ramp(101)});
    TempDir d2;
    Png plain(draw(rs, d2, [](RunState& r) { r.set_opt().lflag = LINES_ON, r.set_opt().nohoriz = r.set_opt().novert = 1; }));
    EXPECT_EQ(plain.count(LITEGREY), 0);
}

TEST(DrawChart, SparklineLayout) {
    TempDir d;
    RunState rs = chart_grid({ramp(101)}, {"spark"});
    Png png(draw(rs, d, [](RunState& r) {
        r.set_opt().bkgcolor = BKG_COMPACT, r.set_opt().BORDERxval = r.set_opt().BORDERyval = 3, r.set_opt().zflag = 1;
        r.set_opt().width = 400, r.set_opt().height = 30, r.set_opt().wflag = r.set_opt().hflag = 1;
    }));
    ASSERT_NE(png.im, nullptr);
    EXPECT_EQ(png.w(), 436);
    EXPECT_EQ(png.h(), 36);
    // The grey5 band starts at column 33 and holds the 400 x 30 plot.
    EXPECT_EQ(png.at(33, 5), GREY5);
    EXPECT_EQ(png.at(32, 5), WHITE);
    EXPECT_EQ(png.at(433, 20), GREY5);
    EXPECT_EQ(png.at(434, 20), WHITE);
    EXPECT_EQ(png.at(233, 21), GREY90);  // value 50 of a 0..120 scale at sample 50
    EXPECT_EQ(png.count(NAVY), 0);
    EXPECT_GT(png.count(BLACK, 0, 0, 33, 12), 0);    // the maximum text
    EXPECT_EQ(png.count(BLACK, 33, 0, 436, 36), 0);  // no frame, ticks, times or title
}

TEST(DrawChart, TimeTextsOfShortAndLongSpans) {
    // Under half an hour the ends read hh:mm:ss (40 pixels wide), else hh:mm (25).
    for (int seconds : {1799, 1800}) {
        TempDir d;
        RunState rs = chart_grid({ramp(101)});
        Png png(draw(rs, d, [&](RunState& r) { r.dur = seconds; }));
        int left = png.count(BLACK, 35, 308, 43, 316);
        if (seconds < 1800)
            EXPECT_GT(left, 0);
        else
            EXPECT_EQ(left, 0);
    }
}

TEST(DrawChart, OutputDirectoryAndWriteFailures) {
    ParamStats st;
    SKIP_ON_WINDOWS("needs places that cannot be written, which POSIX permissions make");
    TempDir d;
    make_directory(d.file("charts"));
    RunState rs = chart_grid({ramp(101)}, {"cpu"});
    rs.set_opt().dirflag = 1, rs.set_opt().direcname = "charts", rs.set_opt().curname = d.path(), rs.set_opt().verbose = 1;
    Utc utc;
    InDir in(d.path());
    setup_height_and_width(rs);
    prepare_chart(rs, 0, st);
    RunResult r = capture([&] { draw_chart(rs, st, 0, 60); });
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.out, "Switched to charts\nSwitched to " + d.path() + "\n");
    EXPECT_TRUE(d.exists("charts/cpu.png"));
    EXPECT_EQ(current_dir(), d.path());

    // A directory that cannot be entered: reported, the chart goes to the current one.
    rs.set_opt().direcname = "nosuch", rs.set_opt().verbose = 0;
    r = capture([&] { draw_chart(rs, st, 0, 60); });
    EXPECT_EQ(r.out, "5 Failed to switch directory to nosuch\n");
    EXPECT_TRUE(d.exists("cpu.png"));

    // A file that cannot be created ends the run with status 1.
    rs.set_opt().dirflag = 0;
    rs.outpng = "missing/cpu.png";
    r = capture([&] { draw_chart(rs, st, 0, 60); });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError opening output .PNG file, missing/cpu.png\n");

    // A full disk is an error too, not a finished chart.
    if (file_exists("/dev/full")) {
        rs.outpng = "/dev/full";
        r = capture([&] { draw_chart(rs, st, 0, 60); });
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "\nError opening output .PNG file, /dev/full\n");
    }
}

// Values millions of charts away from a fixed scale still draw, along the plot's edges,
// where a thick line, a dot or a fill around them cannot overflow the pixel arithmetic.
TEST(DrawChart, FarOffValuesDrawWithoutOverflow) {
    const std::vector<double> v = {20, -1e308, 30, 1e308, 40, -1e12, 45};
    for (int style = 0; style < 4; ++style) {
        TempDir d;
        RunState rs = chart_grid({v});
        Png png(draw(rs, d, [&](RunState& r) {
            r.set_opt().scflag = 1, r.set_opt().zmin = 10, r.set_opt().zmax = 50;
            if (style == 0) r.set_opt().thk = 3;
            if (style == 1) r.set_opt().dflag = 1, r.set_opt().dotsize = 1000;
            if (style == 2) r.set_opt().fflag = 1, r.set_opt().thk = 1000;
            if (style == 3) r.set_opt().bar_chart = 1;
        }));
        EXPECT_GT(png.w(), 0) << style;
        const auto& q = rs.points[0][0];
        EXPECT_EQ(q[1].y, rs.boryt + rs.hi) << style;
        EXPECT_EQ(q[3].y, rs.boryt) << style;
    }
}

// Charts written on other threads end the run at the same chart, with the same message,
// as charts written one by one: the chart before it is kept, none after it.
TEST(DrawChart, WriteFailureEndsTheRunWhateverTheThreads) {
    if (!file_exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (int threads : {1, 3}) {
        TempDir d;
        RunState rs = chart_grid({ramp(101), ramp(101), ramp(101)}, {"a", "b", "c"});
        ParamStats st;
        rs.set_opt().threads = threads;
        Utc utc;
        InDir in(d.path());
        setup_height_and_width(rs);
        RunResult r;
        for (int w = 0; w < 3 && r.status == -1; ++w) {
            prepare_chart(rs, w, st);
            if (w == 1) rs.outpng = "/dev/full";
            r = capture([&] {
                draw_chart(rs, st, w, 60);
                if (w == 2) finish_chart_files(rs);
            });
        }
        EXPECT_EQ(r.status, 1) << threads;
        EXPECT_EQ(r.out, "\nError opening output .PNG file, /dev/full\n") << threads;
        EXPECT_EQ(d.files(), std::vector<std::string>{"a.png"}) << threads;
        EXPECT_EQ(Png(d.file("a.png")).w(), 611) << threads;
    }
}
