// Charts through the built binary: file names, image sizes and the output directory.
#include <gd.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "base/out.h"
#include "base/platform.h"
#include "harness.h"
#include "png_reader.h"

namespace {

// A one-day file of n one-minute rows with three parameters.
std::string day_file(int n) {
    std::string s =
        "NODEB,Monitor Comment: chart test,Sampling Interval: 60,NODEB\n01-JAN-2024\n"
        "Sample Time,Busy%,Queue Length,Rate/s\n";
    for (int r = 0; r < n; ++r) {
        char buf[96];
        snprintf(buf, sizeof buf, "01-JAN-2024 %02d:%02d:00,%d,%d.5,%d\n", r / 60, r % 60, r % 37,
                 r % 5, 100 + r);
        s += buf;
    }
    return s;
}

// text with every from turned into to.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// Every file under d by name and content, with the thread option as given turned into
// the one of the reference run.
std::map<std::string, std::string> run_files(const TempDir& d, const std::string& threads) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(d.path()))
        if (e.is_regular_file())
            files[e.path().lexically_relative(d.path()).generic_string()] =
                replaced(read_file(e.path().string()), threads, "--threads=1");
    return files;
}

std::pair<int, int> png_size(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return {0, 0};
    gdImagePtr im = gdImageCreateFromPng(f);
    fclose(f);
    if (!im) return {-1, -1};
    std::pair<int, int> size{gdImageSX(im), gdImageSY(im)};
    gdImageDestroy(im);
    return size;
}

}  // namespace

TEST(ChartCli, OneChartPerParameterWithItsSize) {
    struct Case {
        std::vector<std::string> options;
        std::vector<std::string> names;
        std::pair<int, int> size;
    };
    const Case cases[] = {
        {{}, {"Busy.png", "QueueLength.png", "Rates.png"}, {611, 361}},
        {{"--width=200"}, {"Busy.png", "QueueLength.png", "Rates.png"}, {311, 211}},
        {{"--sparklines"}, {"Busy.png", "QueueLength.png", "Rates.png"}, {436, 36}},
        {{"--output=rep.htm"}, {"rep_1.PNG", "rep_2.PNG", "rep_3.PNG"}, {611, 361}},
    };
    for (const Case& c : cases) {
        TempDir d;
        d.write("t.csv", day_file(100));
        std::vector<std::string> args = {"t.csv", "--nohistory", "--parameters=all"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult r = run_tsgraf(d, args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_NE(r.out.find("\nCreated 3 Y8 charts and HTML file "), std::string::npos) << r.out;
        for (const std::string& name : c.names) {
            EXPECT_EQ(png_size(d.file(name)), c.size) << name << "\n" << r.out;
        }
    }
}

TEST(ChartCli, ChartsInTheOutputDirectoryAndUnwritableCharts) {
    SKIP_ON_WINDOWS("a path written with '/' is split into qualifiers there");
    TempDir d;
    d.write("t.csv", day_file(100));
    make_directory(d.file("out"));
    RunResult r = run_tsgraf(d, {"t.csv", "--nohistory", "--directory=out", "--parameters=1"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(png_size(d.file("out/Busy.png")), (std::pair<int, int>{611, 361}));
    EXPECT_FALSE(d.exists("Busy.png"));

    // A missing output directory is made; one that cannot be made ends the run first.
    r = run_tsgraf(d, {"t.csv", "--nohistory", "--directory=new", "--parameters=1"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.rfind("\nCreated directory new\n\n\nTSGRAF", 0), 0u) << r.out;
    EXPECT_EQ(png_size(d.file("new/Busy.png")), (std::pair<int, int>{611, 361}));
    r = run_tsgraf(d, {"t.csv", "--nohistory", "--directory=t.csv/sub", "--parameters=1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1b Failed to switch directory to t.csv/sub\n");
    for (const char* name : {"Y8_LOG.LIS", "tsgraf.htm", "Busy.png", "t.csv/sub"})
        EXPECT_FALSE(d.exists(name)) << name;

    // A chart file that cannot be created ends the run with its message and status 1.
    make_directory(d.file("Busy.png"));
    r = run_tsgraf(d, {"t.csv", "--nohistory", "--parameters=1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\nError opening output .PNG file, Busy.png\n"), std::string::npos)
        << r.out;
}

// However many threads write the charts, a run prints and writes the same bytes: every
// chart, the page, the listings and the log, also with sorting, an output directory and
// more threads than charts.
TEST(ChartCli, EveryThreadCountWritesTheSameRun) {
    std::string csv = "NODEB,Monitor Comment: threads,Sampling Interval: 60,NODEB\n01-JAN-2024\nSample Time";
    for (int c = 0; c < 12; ++c) csv += ",P" + std::to_string(c);
    for (int r = 0; r < 200; ++r) {
        csv += strfmt("\n01-JAN-2024 %02d:%02d:00", r / 60, r % 60);
        for (int c = 0; c < 12; ++c) csv += strfmt(",%d", (r * (c + 3)) % (17 + c));
    }
    csv += "\n";
    const std::vector<std::vector<std::string>> variants = {
        {}, {"--directory=out", "--sort=max", "--average=10"}, {"--top=3", "--lines"}};
    for (const auto& variant : variants) {
        std::map<std::string, std::string> reference;
        std::string reference_out;
        for (const char* threads : {"--threads=1", "--threads=2", "--threads=5"}) {
            TempDir d;
            d.write("t.csv", csv);
            std::vector<std::string> args = {"t.csv", "--nohistory", "--parameters=all", threads};
            args.insert(args.end(), variant.begin(), variant.end());
            RunResult r = run_tsgraf(d, args);
            EXPECT_EQ(r.status, 0) << r.out;
            std::map<std::string, std::string> files = run_files(d, threads);
            std::string out = replaced(r.out, d.path(), "DIR");
            if (reference.empty()) {
                reference = files, reference_out = out;
                EXPECT_GE(files.size(), 8u) << r.out;
                continue;
            }
            EXPECT_EQ(out, reference_out) << threads;
            EXPECT_TRUE(files == reference) << threads << " " << variant.size();
        }
    }
}

// Labels that make the same file name get a file each, and the page shows each one.
TEST(ChartCli, LabelsOfOneFileNameKeepTheirOwnCharts) {
    TempDir d;
    std::string s = "NODEB,Monitor Comment: names,Sampling Interval: 60,NODEB\n01-JAN-2024\n"
                    "Sample Time,Busy%,Busy,(%),<>\n";
    for (int r = 0; r < 20; ++r)
        s += "01-JAN-2024 00:" + std::string(r < 10 ? "0" : "") + std::to_string(r) + ":00," +
             std::to_string(r % 3) + "," + std::to_string(r % 4) + "," + std::to_string(r % 5) +
             "," + std::to_string(r % 6) + "\n";
    d.write("t.csv", s);
    RunResult r = run_tsgraf(d, {"t.csv", "-q", "--nohistory", "-p", "0"});
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string page = d.read("tsgraf.htm");
    for (const char* png : {"Busy.png", "Busy_2.png", ".png", "_4.png"}) {
        EXPECT_GT(png_size(d.file(png)).first, 0) << png;
        EXPECT_NE(page.find(std::string("src=\"") + png + "\""), std::string::npos) << png;
    }
}

// Charts shown several to a row: each row closes after its last chart.
TEST(ChartCli, DisplayNumberRowsAreClosed) {
    TempDir d;
    d.write("t.csv", day_file(30));
    RunResult r = run_tsgraf(d, {"t.csv", "--nohistory", "--parameters=all", "--displaynumber=2"});
    EXPECT_EQ(r.status, 0) << r.out;
    const std::string page = d.read("tsgraf.htm");
    auto cell = [](const char* png, int col, const char* label) {
        return "<td width=610><A NAME=\"p" + std::to_string(col) + "\"><img src=\"" + png +
               "\" alt=\"" + std::to_string(col) + " " + label + "\"></A></td>";
    };
    EXPECT_NE(page.find("<center><table>\n<tr>" + cell("Busy.png", 1, "Busy%") + "\n" +
                        cell("QueueLength.png", 2, "Queue Length") + "</tr>\n<tr>" +
                        cell("Rates.png", 3, "Rate/s") + "\n</tr>\n</table>"),
              std::string::npos)
        << page;
}

// The moving average of a fractional series follows it at full precision, and no series
// pixel leaves the plot frame.
TEST(ChartCli, MovingAverageFollowsAFractionalSeriesInsideTheFrame) {
    TempDir d;
    std::string s = "NODEB,Monitor Comment: queue,Sampling Interval: 60,NODEB\n01-JAN-2024\n"
                    "Sample Time,Queue Length\n";
    for (int r = 0; r < 300; ++r) {
        char buf[64];
        snprintf(buf, sizeof buf, "01-JAN-2024 %02d:%02d:00,%.3f\n", r / 60, r % 60,
                 0.1 + 1.5 * r / 299);
        s += buf;
    }
    d.write("q.csv", s);
    RunResult r = run_tsgraf(d, {"q.csv", "--nohistory", "-q", "--parameters=1", "--average=10"});
    ASSERT_EQ(r.status, 0) << r.out;
    PngFile png(d.file("QueueLength.png"));
    ASSERT_TRUE(png.im);
    const unsigned red = 0xFF0000, line = 0x000080;
    const int left = 55, top = 55, right = 555, bottom = 305;  // the plot frame
    int inside = png.count(red, left, top, right + 1, bottom + 1);
    EXPECT_GT(inside, 400);
    EXPECT_EQ(png.count(red), inside);
    int compared = 0;
    for (int x = left + 20; x < right; x += 10) {
        int ma_row = -1, line_row = -1;
        for (int y = top; y <= bottom; ++y) {
            if (png.at(x, y) == red && ma_row < 0) ma_row = y;
            if (png.at(x, y) == line && line_row < 0) line_row = y;
        }
        if (ma_row < 0 || line_row < 0) continue;
        ++compared;
        EXPECT_LE(std::abs(ma_row - line_row), 6) << "column " << x;
    }
    EXPECT_GT(compared, 15);
}

// Files of one node are told apart in the multifile legend by their start dates: the
// legend entry of the first file is wider than its node name alone.
TEST(ChartCli, MultifileLegendOfOneNodeShowsStartDates) {
    TempDir d;
    std::vector<std::string> args;
    for (int day = 1; day <= 3; ++day) {
        std::string s = "WEB01,Monitor Comment: web,Sampling Interval: 60,WEB01\n0" +
                        std::to_string(day) + "-JAN-2024\nSample Time,Busy%\n";
        for (int r = 0; r < 60; ++r)
            s += strfmt("0%d-JAN-2024 10:%02d:00,%d\n", day, r, (r * day) % 50);
        d.write(strfmt("d%d.csv", day), s);
        args.push_back(strfmt("d%d.csv", day));
    }
    args.insert(args.end(), {"--nohistory", "-q", "--parameters=1"});
    RunResult r = run_tsgraf(d, args);
    ASSERT_EQ(r.status, 0) << r.out;
    PngFile png(d.file("Busy.png"));
    ASSERT_TRUE(png.im);
    int columns = 0;  // columns of the strip above the plot holding the first file's colour
    for (int x = 0; x < png.w(); ++x) columns += png.count(0x000080, x, 0, x + 1, 50) > 0;
    EXPECT_GT(columns, 70) << "WEB01 01-JAN-2024 in the 6-pixel font, not WEB01 alone";
}

// A scale that ends at the largest maximum draws the charts a scale ending at that number
// draws: rows no chart shows (after an end marker, the last of every n-th row) add nothing.
TEST(ChartCli, ScaleToTheLargestMaximumIsTheLargestValueShown) {
    // Twenty rows of A = 10..29 and B = 100..81; the largest maximum shown is 100.
    auto rows = [](int big_at, const char* tail) {
        std::string s = "NODEB,Monitor Comment: scale\n01-JAN-2024\nSample Time,A,B\n";
        for (int r = 0; r < 20; ++r)
            s += strfmt("01-JAN-2024 10:%02d:00,%d,%d\n", r, r == big_at ? 999 : 10 + r, 100 - r);
        return s + tail;
    };
    struct Case {
        const char* what;
        std::string csv;
        std::vector<std::string> options;
    } cases[] = {
        {"every row shown", rows(-1, ""), {}},
        {"a row after the end marker", rows(-1, "--\n01-JAN-2024 10:20:00,500,7\n"), {}},
        {"the last of every third row", rows(18, ""), {"--extract=x.csv:3"}},
    };
    for (const Case& c : cases) {
        std::map<std::string, std::string> charts[2];
        for (int i = 0; i < 2; ++i) {
            TempDir d;
            d.write("s.csv", c.csv);
            std::vector<std::string> args = {"s.csv", "--nohistory", "--parameters=all",
                                             i == 0 ? "--scale=0:MAX" : "--scale=0:100"};
            args.insert(args.end(), c.options.begin(), c.options.end());
            RunResult r = run_tsgraf(d, args);
            EXPECT_EQ(r.status, 0) << r.out;
            for (const char* png : {"A.png", "B.png"}) charts[i][png] = d.read(png);
        }
        EXPECT_FALSE(charts[0]["B.png"].empty()) << c.what;
        EXPECT_TRUE(charts[0] == charts[1]) << c.what;
    }
}
