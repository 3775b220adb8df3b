#include "chart/overlay.h"

#include <gd.h>
#include <gtest/gtest.h>

#include "chart_grid.h"
#include "png_reader.h"

namespace {

constexpr unsigned BLACK = 0x000000, WHITE = 0xFFFFFF;
constexpr unsigned SERIES[] = {0x000080, 0xFF00FF, 0xFF8040};

std::vector<double> series_of(int n, double (*f)(int)) {
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i) v[i] = f(i);
    return v;
}

// files[f][p]: one chart grid of 101 one-minute samples per file.
RunState grid_of(const std::vector<std::vector<std::vector<double>>>& files,
                 const std::vector<std::string>& labels) {
    RunState rs = chart_grid(files[0], labels);
    RunState all = make_grid(files, labels);
    rs.pts = all.pts;
    rs.filenum = all.filenum;
    rs.files.assign(files.size(), InputFile{});
    const char* nodes[] = {"NODEA", "NODEB", "NODEC"};
    for (size_t f = 0; f < files.size() && f < 3; ++f) rs.files[f].nodenam = nodes[f];
    rs.set_opt().zflag = 1;
    for (const std::string& l : labels) rs.maxlabelsiz = std::max<int>(rs.maxlabelsiz, l.size());
    return rs;
}

// The unsorted pass over every parameter: overlay members only get their X mapping, the
// last one the scale and the chart. Returns the last chart's path.
std::string run_charts(RunState& rs, const TempDir& d) {
    ParamStats st;
    Utc utc;
    InDir in(d.path());
    if (rs.opt().oflag) rs.numovr = rs.numpar - 1;
    setup_height_and_width(rs);
    for (int w = 0; w < rs.numpar; ++w) {
        if (rs.opt().oflag && w < rs.numovr) {
            setup_min_max(rs, w, st);
            calc_stats(rs, w, st);
            adjust_vals_for_size(rs, st, w);
            continue;
        }
        prepare_chart(rs, w, st);
        ++rs.cnt;
        RunResult r = capture([&] { draw_chart(rs, st, w, rs.sampint); });
        EXPECT_EQ(r.status, -1) << r.out;
    }
    return d.file(rs.outpng);
}

double ten(int) {
    return 10;
}
double twenty(int) {
    return 20;
}
double thirty(int) {
    return 30;
}

}  // namespace

// Three constant series of 10, 20, 30 on a scale rounded to 40: rows 305 - v / 40 * 250.
TEST(OverlayChart, SeriesColoursSizesAndLegends) {
    struct Case {
        int ostyle;
        int width, height;
    };
    const Case cases[] = {{0, 926, 361}, {1, 611, 421}, {2, 611, 421}};
    for (const Case& c : cases) {
        TempDir d;
        RunState rs =
            grid_of({{series_of(101, ten), series_of(101, twenty), series_of(101, thirty)}},
                    {"[disk]Reads", "Writes", "Total"});
        rs.set_opt().oflag = 1;
        rs.set_opt().ostyle = c.ostyle;
        PngFile png(run_charts(rs, d));
        ASSERT_NE(png.im, nullptr) << c.ostyle;
        EXPECT_EQ(png.w(), c.width) << c.ostyle;
        EXPECT_EQ(png.h(), c.height) << c.ostyle;
        const int rows[] = {243, 180, 118};
        for (int j = 0; j < 3; ++j) EXPECT_EQ(png.at(300, rows[j]), SERIES[j]) << c.ostyle << j;
        // No title: the row of a single chart's title stays empty; the node name is there.
        EXPECT_EQ(png.count(BLACK, 0, 15, 611, 27), 0) << c.ostyle;
        EXPECT_GT(png.count(BLACK, 290, 28, 320, 41), 0) << c.ostyle;
        if (c.ostyle == 0) {
            // Boxes at X0 = 610 - 55 + 20, 14 rows apart around Ymid = 125 + 55 - 14.
            for (int j = 0; j < 3; ++j) {
                EXPECT_EQ(png.at(580, 166 + 14 * j), SERIES[j]) << j;
                EXPECT_EQ(png.at(575, 166 + 14 * j), BLACK) << j;
            }
            EXPECT_GT(png.count(BLACK, 590, 145, 690, 158), 0);  // "    Min     Max"
        } else if (c.ostyle == 1) {
            // One entry a line (610 / 315), from bor = (610 - 315) / 2, below the plot.
            for (int j = 0; j < 3; ++j) {
                EXPECT_EQ(png.at(150, 340 + 15 * j), SERIES[j]) << j;
                EXPECT_EQ(png.at(147, 335 + 15 * j), SERIES[j]) << j;
            }
            // "  <min> <max> Reads" ends 27 small characters after column 157; the
            // group prefix "[disk]" is left out.
            EXPECT_GT(png.count(BLACK, 157, 335, 157 + 27 * 6, 348), 0);
            EXPECT_EQ(png.count(BLACK, 157 + 27 * 6, 335, 611, 348), 0);
        } else {
            // Other styles get the larger image but no legend.
            EXPECT_EQ(png.count(BLACK, 0, 330, 611, 421), 0);
            EXPECT_EQ(png.count(SERIES[0], 0, 330, 611, 421), 0);
        }
    }
}

double one(int) {
    return 1;
}
double two(int) {
    return 2;
}

TEST(OverlayChart, StackedSeriesAddUpAndRestackFromTheirValues) {
    ParamStats st;
    TempDir d;
    RunState rs = grid_of({{series_of(101, one), series_of(101, two)}}, {"a", "b"});
    rs.set_opt().oflag = 1;
    rs.set_opt().sflag = 1;
    PngFile png(run_charts(rs, d));
    ASSERT_NE(png.im, nullptr);
    // The first series is the total 3 at the top of the scale, the second stays at 2.
    EXPECT_EQ(rs.scale_top.text(), "3.00");
    EXPECT_EQ(rs.scale_y_max, 3.0);
    EXPECT_EQ(rs.pts[0][0][50], 3.0);
    EXPECT_EQ(rs.pts[0][1][50], 2.0);
    EXPECT_EQ(png.at(300, 55), SERIES[0]);
    EXPECT_EQ(png.at(300, 305 - 166), SERIES[1]);
    // A second scale set-up of the same chart (a further overlay chart sharing the series)
    // starts again from the loaded values instead of summing the sums.
    capture([&] { setup_scale(rs, st, 1); });
    EXPECT_EQ(rs.pts[0][0][50], 3.0);
    EXPECT_EQ(rs.scale_y_max, 3.0);
}

double rising(int i) {
    return i;
}
double falling(int i) {
    return 100 - i;
}
double peak(int i) {
    return i < 50 ? i : 100 - i;
}

TEST(OverlayChart, NormalisedSeriesReachTheTopWithTheirOwnAxes) {
    TempDir d;
    RunState rs = grid_of({{series_of(101, rising), series_of(101, falling), series_of(101, peak)}},
                          {"r", "f", "p"});
    rs.set_opt().oflag = 1;
    rs.set_opt().nflag = 1;
    PngFile png(run_charts(rs, d));
    ASSERT_NE(png.im, nullptr);
    EXPECT_EQ(png.w(), 926 + 2 * 15);
    // Each series touches the top row where it has its own maximum.
    EXPECT_EQ(png.at(555, 55), SERIES[0]);
    EXPECT_EQ(png.at(55, 55), SERIES[1]);
    EXPECT_EQ(png.at(305, 55), SERIES[2]);
    // Axes of the second and third series at 2 x 25 apart right of the plot.
    EXPECT_EQ(png.at(585, 180), SERIES[1]);
    EXPECT_EQ(png.at(610, 180), SERIES[2]);
    EXPECT_EQ(png.at(560, 180), WHITE);                    // the first series has none
    EXPECT_GT(png.count(SERIES[1], 570, 40, 600, 48), 0);  // its maximum "100" above
}

TEST(MultifileChart, BothFilesDrawnWithTheirNodeLegend) {
    TempDir d;
    RunState rs = grid_of({{series_of(101, rising)}, {series_of(101, falling)}}, {"busy"});
    PngFile png(run_charts(rs, d));
    ASSERT_NE(png.im, nullptr);
    EXPECT_EQ(png.w(), 611);
    EXPECT_EQ(png.h(), 361);
    // Scale rounded to 120; sample 20: file 0 at 20, file 1 at 80.
    EXPECT_EQ(png.at(155, 305 - 41), SERIES[0]);
    EXPECT_EQ(png.at(155, 305 - 166), SERIES[1]);
    // Node names at 1/3 and 2/3 of the frame, each followed by a line sample at row 35.
    EXPECT_GT(png.count(SERIES[0], 170, 28, 210, 41), 0);
    EXPECT_GT(png.count(SERIES[1], 375, 28, 410, 41), 0);
    EXPECT_EQ(png.at(220, 35), SERIES[0]);
    EXPECT_EQ(png.at(426, 35), SERIES[1]);
    // No black node text in the middle, the title stays.
    EXPECT_EQ(png.count(BLACK, 0, 28, 611, 41), 0);
    EXPECT_GT(png.count(BLACK, 290, 15, 320, 27), 0);
}

double wobble(int i) {
    return 1 + i % 2;
}

TEST(MultifileChart, StackedFilesAddUp) {
    TempDir d;
    RunState rs = grid_of({{series_of(101, wobble)}, {series_of(101, two)}}, {"busy"});
    rs.set_opt().sflag = 1;
    PngFile png(run_charts(rs, d));
    ASSERT_NE(png.im, nullptr);
    EXPECT_EQ(rs.pts[0][0][0], 3.0);
    EXPECT_EQ(rs.pts[0][0][1], 4.0);
    EXPECT_EQ(rs.pts[1][0][1], 2.0);
    EXPECT_EQ(rs.scale_y_max, 4.0);
    EXPECT_EQ(rs.scale_top.text(), "4.00");
    // Total 4 at sample 1 (column 60) touches the top; file 1 at 2 runs mid-plot.
    EXPECT_EQ(png.at(60, 55), SERIES[0]);
    EXPECT_EQ(png.at(300, 180), SERIES[1]);
}

// The bottom legend of a frame narrower than one entry still has one entry a line; long
// labels centre the single column on the longest label.
TEST(OverlayChart, BottomLegendOnNarrowFramesAndLongLabels) {
    const std::string longer(40, 'L');
    struct Case {
        int width;
        std::string label;
        int box_x;
    };
    const Case cases[] = {{100, "a", -1}, {500, longer, (610 - 40 * 6) / 2 - 20}};
    for (const Case& c : cases) {
        TempDir d;
        RunState rs =
            grid_of({{series_of(101, ten), series_of(101, twenty), series_of(101, thirty)}},
                    {c.label, "b", "c"});
        rs.set_opt().oflag = 1;
        rs.set_opt().ostyle = 1;
        rs.set_opt().width = c.width;
        rs.set_opt().wflag = 1;
        PngFile png(run_charts(rs, d));
        ASSERT_NE(png.im, nullptr) << c.width;
        EXPECT_EQ(png.w(), rs.maxx + 1);
        EXPECT_EQ(png.h(), 4 * 15 + rs.maxy + 1);
        if (c.box_x < 0) continue;
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(png.at(c.box_x + 5, 340 + 15 * j), SERIES[j]) << j;
            EXPECT_EQ(png.at(c.box_x - 5, 340 + 15 * j), WHITE) << j;
        }
    }
}

// More files than series colours: the colours start again with the first.
TEST(MultifileChart, ColoursRepeatBeyondTheTwentyFirstFile) {
    TempDir d;
    std::vector<std::vector<std::vector<double>>> files(22, {series_of(101, rising)});
    RunState rs = grid_of(files, {"busy"});
    PngFile png(run_charts(rs, d));
    ASSERT_NE(png.im, nullptr);
    // File 21's line sample, last drawn, right of its node centre 22 x 610 / 23.
    EXPECT_EQ(png.at(22 * 610 / 23 + 20, 35), SERIES[0]);
}

// With /dots every further file gets its circles too, from its first sample on.
TEST(MultifileChart, FurtherFilesGetTheirDots) {
    TempDir d;
    RunState rs = grid_of({{series_of(101, rising)}, {series_of(101, falling)}}, {"busy"});
    rs.set_opt().dflag = 1;
    rs.set_opt().dotsize = 3;
    PngFile png(run_charts(rs, d));
    ASSERT_NE(png.im, nullptr);
    // File 1's first sample 100 on the scale of 120: row 305 - 208; the circle's top.
    EXPECT_EQ(png.at(55, 97 - 3), SERIES[1]);
    EXPECT_EQ(png.at(555, 305 - 3), SERIES[1]);  // and its last sample
}
