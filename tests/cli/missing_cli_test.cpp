// Missing samples through the built binary: collector gaps, cells that are no number and
// cut-short lines take no part in the figures, charts and exports, and are reported.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "harness.h"
#include "png_reader.h"

namespace {

// One-minute rows of cpu and mem from 01-DEC-2026 00:00. row(i) gives the text after
// the time stamp of minute i, or "#" for a minute the collector did not write.
std::string minutes(int n, const std::function<std::string(int)>& row,
                    const std::string& first_line = "NODEM,Monitor Comment: gaps") {
    std::string s = first_line + "\nSample Time,cpu,mem\n";
    for (int i = 0; i < n; ++i) {
        std::string tail = row(i);
        if (tail == "#") continue;
        char stamp[32];
        snprintf(stamp, sizeof stamp, "01-DEC-2026 %02d:%02d:00,", i / 60, i % 60);
        s += stamp + tail + "\n";
    }
    return s;
}

double cpu(int i) {
    return 10 + i % 7;
}

std::string both(int i) {
    return std::to_string(10 + i % 7) + "," + std::to_string(50 + i % 3);
}

// The listing line of Y8_PEAK.CSV for values v: Min, Avg, Max, the time of the last
// maximum, StdDev, all from the values alone.
std::string peak_line(int col, const std::string& name, const std::vector<std::pair<int, double>>& v) {
    double lo = HUGE_VAL, hi = -HUGE_VAL, sum = 0, ss = 0;
    int at = 0;
    for (auto [i, x] : v) {
        lo = std::min(lo, x);
        if (x >= hi) hi = x, at = i;
        sum += x;
    }
    double mean = sum / static_cast<double>(v.size());
    for (auto [i, x] : v) ss += (x - mean) * (x - mean);
    char buf[160];
    snprintf(buf, sizeof buf, "%d,%s,%.2f,%.2f,%.2f,01-DEC-2026 %02d:%02d,%.2f\n", col,
             name.c_str(), lo, mean, hi, at / 60, at % 60,
             std::sqrt(ss / static_cast<double>(v.size() - 1)));
    return buf;
}

std::vector<std::pair<int, double>> cpu_values(int n, const std::function<bool(int)>& present) {
    std::vector<std::pair<int, double>> v;
    for (int i = 0; i < n; ++i)
        if (present(i)) v.emplace_back(i, cpu(i));
    return v;
}

}  // namespace

TEST(MissingCli, FiguresComeFromTheValuesPresentOnly) {
    const char* damaged[] = {"N/A", "-", "garbage", "nan", "1.2.3"};
    struct Case {
        const char* what;
        std::string file;
        std::string cpu_line;  // expected line of cpu in Y8_PEAK.CSV
        std::string mem_line;
        std::string warning;   // expected on screen; "" for none
    };
    const Case cases[] = {
        {"thirty-minute outage",
         minutes(120, [](int i) { return i >= 40 && i < 70 ? "#" : both(i); }),
         peak_line(1, "cpu", cpu_values(120, [](int i) { return i < 40 || i >= 70; })), "",
         ""},
        {"damaged cells and a cut-short line",
         minutes(60,
                 [&](int i) {
                     if (i == 10) return std::string("2");  // cut short: mem is missing
                     if (i >= 20 && i < 25) return damaged[i - 20] + std::string(",51");
                     return both(i);
                 }),
         peak_line(1, "cpu",
                   [] {
                       auto v = cpu_values(60, [](int i) { return i < 20 || i >= 25; });
                       v[10].second = 2;
                       return v;
                   }()),
         "", "Warning: d.csv has 5 cells that are not numbers and 1 short lines, read as missing "
             "values\n"},
        {"empty fields are idle counters, a column of no numbers has no data",
         minutes(30, [](int i) { return i % 2 ? std::string(",x") : std::to_string(10 + i % 7) + ",-"; }),
         peak_line(1, "cpu", [] {
             std::vector<std::pair<int, double>> v;
             for (int i = 0; i < 30; ++i) v.emplace_back(i, i % 2 ? 0 : cpu(i));
             return v;
         }()),
         "2,mem,no data\n",
         "Warning: d.csv has 30 cells that are not numbers and 0 short lines, read as missing "
         "values\n"},
    };
    for (const Case& c : cases) {
        TempDir d;
        d.write("d.csv", c.file);
        RunResult r = run_tsgraf(d, {"d.csv", "-p", "0", "--sd", "--nohistory"});
        EXPECT_EQ(r.status, 0) << c.what << "\n" << r.out;
        std::string peak = d.read("Y8_PEAK.CSV");
        EXPECT_NE(peak.find(c.cpu_line), std::string::npos) << c.what << "\n" << peak;
        EXPECT_NE(peak.find(c.mem_line), std::string::npos) << c.what << "\n" << peak;
        if (c.warning.empty())
            EXPECT_EQ(r.out.find("Warning: d.csv"), std::string::npos) << c.what;
        else
            EXPECT_NE(r.out.find(c.warning), std::string::npos) << c.what << "\n" << r.out;
        // A parameter without data gets no chart; the others still do.
        EXPECT_TRUE(d.exists("cpu.png")) << c.what;
        EXPECT_EQ(d.exists("mem.png"), c.mem_line != "2,mem,no data\n") << c.what;
    }
}

// The rows after a gap are counted whatever else the run does: calculated parameters
// keep the gap, /ignore closes it, an axis of row numbers has none.
TEST(MissingCli, RowsAfterAGapCountInEveryKindOfRun) {
    auto outage = [](int i) { return i < 40 || i >= 70; };
    auto values = cpu_values(120, outage);
    const std::string cpu_line = peak_line(1, "cpu", values);
    for (auto& [i, v] : values) v *= 2;
    std::string numbered = cpu_line;
    numbered.replace(numbered.find("01-DEC-2026 01:58"), 17, "89");
    const struct {
        std::vector<std::string> options;
        std::string line, second_line;
    } cases[] = {
        {{"-p", "calc.lis"}, cpu_line, peak_line(3, "Double", values)},
        {{"-p", "0", "--ignore"}, cpu_line, ""},
        {{"-p", "0", "--axis=R"}, numbered, ""},
    };
    TempDir d;
    d.write("g.csv", minutes(120, [&](int i) { return outage(i) ? both(i) : "#"; }));
    d.write("calc.lis", "cpu\n[CALC],cpu,*,2,Double\n");
    for (const auto& c : cases) {
        std::vector<std::string> args = {"g.csv", "--sd", "--nocharts", "--nohistory"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult r = run_tsgraf(d, args);
        EXPECT_EQ(r.status, 0) << r.out;
        std::string peak = d.read("Y8_PEAK.CSV");
        EXPECT_NE(peak.find(c.line), std::string::npos) << c.options[1] << "\n" << peak;
        EXPECT_NE(peak.find(c.second_line), std::string::npos) << peak;
    }
}

TEST(MissingCli, TheLogNamesTwentyDamagedPlacesAndCountsTheRest) {
    TempDir d;
    d.write("d.csv", minutes(40, [](int i) {
                return i < 24 ? both(i).substr(0, 2) + ",?" : i < 26 ? std::string("7") : both(i);
            }));
    const struct {
        std::vector<std::string> options;
        bool warned;
    } cases[] = {{{}, true}, {{"--quiet"}, false}};
    for (const auto& c : cases) {
        std::vector<std::string> args = {"d.csv", "-p", "0", "--nocharts", "--nohistory"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        RunResult r = run_tsgraf(d, args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(r.out.find("Warning: d.csv has 24 cells that are not numbers and 2 short lines, "
                             "read as missing values\n") != std::string::npos,
                  c.warned)
            << r.out;
        std::string log = d.read("Y8_LOG.LIS");
        EXPECT_NE(log.find("d.csv line 3: column mem is not a number, read as missing\n"),
                  std::string::npos)
            << log;
        EXPECT_NE(log.find("d.csv line 22: column mem is not a number, read as missing\n"),
                  std::string::npos);
        EXPECT_EQ(log.find("d.csv line 23:"), std::string::npos);
        EXPECT_NE(log.find("d.csv: 6 more damaged lines or cells not listed\n"), std::string::npos)
            << log;
    }
}

// The line stops at a gap and the grey band covers it; no line, bar or fill reaches into it.
TEST(MissingCli, AChartLeavesTheGapEmptyUnderItsBand) {
    const unsigned NAVY = 0x000080, GREY10 = 0xE6E6E6;
    // 120 minutes, 40 to 69 missing: on a 500-pixel plot from x = 55 the gap spans
    // about x 222 to 342; the columns 240 to 320 lie well inside it.
    for (const char* style : {"--lines", "--bar_chart", "--fill"}) {
        TempDir d;
        d.write("g.csv", minutes(120, [](int i) { return i >= 40 && i < 70 ? "#" : both(i); }));
        RunResult r = run_tsgraf(d, {"g.csv", "-p", "1", style, "--nohistory"});
        ASSERT_EQ(r.status, 0) << r.out;
        PngFile png(d.file("cpu.png"));
        ASSERT_TRUE(png.im) << style;
        EXPECT_EQ(png.count(NAVY, 240, 0, 320, png.h()), 0) << style;
        EXPECT_GT(png.count(NAVY, 60, 0, 200, png.h()), 0) << style;
        // The band runs the whole plot height in every column of the gap.
        EXPECT_GE(png.count(GREY10, 240, 0, 320, png.h()), 80 * 200) << style;
    }
}

TEST(MissingCli, AByteOrderMarkIsNoPartOfTheFile) {
    TempDir d;
    d.write("plain.csv", minutes(30, both));
    d.write("bom.csv", minutes(30, both, "\xEF\xBB\xBFNODEM,Monitor Comment: gaps"));
    for (const char* name : {"plain.csv", "bom.csv"}) {
        RunResult r = run_tsgraf(d, {name, "-p", "0", "--extract", "--nohistory"});
        EXPECT_EQ(r.status, 0) << r.out;
        d.write(std::string(name) + ".png", d.read("cpu.png"));
        d.write(std::string(name) + ".out", d.read("Y8_OUT.CSV"));
    }
    EXPECT_EQ(d.read("bom.csv.png"), d.read("plain.csv.png"));  // the node name is clean
    EXPECT_EQ(d.read("bom.csv.out"), d.read("plain.csv.out"));
    EXPECT_EQ(d.read("bom.csv.out").substr(0, 6), "NODEM,");
}

// Extract and trim-zeros write a missing value as an empty field; an empty field in the
// input is 0 and stays as it was.
TEST(MissingCli, ExportsWriteMissingValuesAsEmptyFields) {
    TempDir d;
    d.write("d.csv", minutes(3, [](int i) {
                const char* rows[] = {"5,N/A", "7", ",1.5"};
                return std::string(rows[i]);
            }));
    const struct {
        const char* option;
        const char* rows;
    } cases[] = {
        {"--extract", "01-DEC-2026 00:00:00,5,\n01-DEC-2026 00:01:00,7,\n"
                      "01-DEC-2026 00:02:00, ,1.5\n"},
        {"--trimzeros", "01-DEC-2026 00:00:00,5,\n01-DEC-2026 00:01:00,7,\n"
                        "01-DEC-2026 00:02:00,,1.5\n"},
    };
    for (const auto& c : cases) {
        RunResult r = run_tsgraf(d, {"d.csv", "-p", "0", c.option, "--nohistory"});
        EXPECT_EQ(r.status, 0) << r.out;
        std::string csv = d.read("Y8_OUT.CSV");
        EXPECT_NE(csv.find(c.rows), std::string::npos) << c.option << "\n" << csv;
    }
}
