// Overlay and multifile charts through the built binary.
#include <gd.h>
#include <gtest/gtest.h>

#include "harness.h"
#include "png_reader.h"

namespace {

// n one-minute rows of `params` parameters on node `node`; parameter c at row r is
// (r + shift + c) % 37 + c.
std::string node_file(const std::string& node, int n, int params, int shift) {
    std::string s = node + ",Monitor Comment: overlay test,Sampling Interval: 60," + node +
                    "\n01-JAN-2024\nSample Time";
    for (int c = 0; c < params; ++c) s += ",Par" + std::to_string(c + 1);
    s += "\n";
    for (int r = 0; r < n; ++r) {
        char buf[64];
        snprintf(buf, sizeof buf, "01-JAN-2024 %02d:%02d:00", r / 60, r % 60);
        s += buf;
        for (int c = 0; c < params; ++c) s += "," + std::to_string((r + shift + c) % 37 + c);
        s += "\n";
    }
    return s;
}

constexpr unsigned NAVY = 0x000080, MAGENTA = 0xFF00FF, ORANGE = 0xFF8040;

}  // namespace

TEST(OverlayCli, OneChartOfAllParametersWithItsLegend) {
    struct Case {
        std::string option;
        int width, height;
    };
    const Case cases[] = {{"--overlay", 926, 361}, {"--overlay=1", 611, 421}};
    for (const Case& c : cases) {
        TempDir d;
        d.write("t.csv", node_file("NODEB", 100, 3, 0));
        RunResult r = run_tsgraf(d, {"t.csv", "--nohistory", "--parameters=all", c.option});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_NE(r.out.find("\n   3 Overlay PNG file Par3.png created\n"), std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("\nCreated 1 Y8 chart and HTML file tsgraf.htm with 2 graphs "),
                  std::string::npos)
            << r.out;
        EXPECT_FALSE(d.exists("Par1.png"));
        PngFile png(d.file("Par3.png"));
        ASSERT_NE(png.im, nullptr) << c.option;
        EXPECT_EQ(png.w(), c.width) << c.option;
        EXPECT_EQ(png.h(), c.height) << c.option;
        // All three series are in the plot.
        for (unsigned colour : {NAVY, MAGENTA, ORANGE})
            EXPECT_GT(png.count(colour, 55, 55, 556, 306), 100) << c.option << colour;
    }
}

TEST(OverlayCli, AtMostTwentyParametersOverlaid) {
    TempDir d;
    d.write("t.csv", node_file("NODEB", 30, 25, 0));
    RunResult r = run_tsgraf(d, {"t.csv", "--nohistory", "--parameters=all", "--overlay"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Only 20 parameters can be overlaid on one chart\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Overlay PNG file Par20.png created\n"), std::string::npos) << r.out;
    EXPECT_FALSE(d.exists("Par21.png"));
}

TEST(MultifileCli, EachParameterChartsBothFiles) {
    TempDir d;
    d.write("a.csv", node_file("NODEB", 100, 2, 0));
    d.write("b.csv", node_file("NODEC", 100, 2, 9));
    RunResult r = run_tsgraf(d, {"a.csv", "b.csv", "--nohistory", "--parameters=all"});
    EXPECT_EQ(r.status, 0) << r.out;
    for (const char* name : {"Par1.png", "Par2.png"}) {
        EXPECT_NE(r.out.find(std::string(" Multifile PNG file ") + name + " created\n"),
                  std::string::npos)
            << r.out;
        PngFile png(d.file(name));
        ASSERT_NE(png.im, nullptr) << name;
        EXPECT_EQ(png.w(), 611);
        EXPECT_EQ(png.h(), 361);
        // Both files' lines, and their node names at 1/3 and 2/3 of the frame.
        EXPECT_GT(png.count(NAVY, 55, 55, 556, 306), 100) << name;
        EXPECT_GT(png.count(MAGENTA, 55, 55, 556, 306), 100) << name;
        EXPECT_GT(png.count(NAVY, 170, 28, 230, 41), 10) << name;
        EXPECT_GT(png.count(MAGENTA, 375, 28, 435, 41), 10) << name;
    }
}
