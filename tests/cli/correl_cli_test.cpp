// The correlation modes through the built binary: the reference listing, "CORREL.LIS"
// and the all-pairs "CORREL_MATRIX.LIS".
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>

#include "base/platform.h"
#include "harness.h"

namespace {

double ref(int i) {
    return (i * 7) % 11 + 0.25 * i + 0.5;
}

// One line a minute from 10:00 on 01-JAN-2024, with a jump of skip minutes before row
// skip_at. Column 3 is the reference; Twice is 2 × Ref + 1; Loose follows Ref with a
// swing of 4 (coefficient 0.73); Other is unrelated (-0.05); Flat never changes.
std::string day(int rows, int skip_at = -1, int skip = 0) {
    std::string s = "Sample Time,Other,Loose,Ref,Twice,Flat\n";
    for (int i = 0, m = 0; i < rows; ++i, ++m) {
        if (i == skip_at) m += skip;
        double r = ref(i);
        char buf[160];
        snprintf(buf, sizeof buf, "01-JAN-2024 %02d:%02d:00,%d,%.2f,%.2f,%.2f,7\n", 10 + m / 60,
                 m % 60, (i * 5) % 3, r + (i % 2 ? 4 : -4), r, 2 * r + 1);
        s += buf;
    }
    return s;
}

// The lines of text that contain word.
std::string lines_with(const std::string& text, const std::string& word) {
    std::string found;
    for (size_t b = 0; b < text.size();) {
        size_t e = text.find('\n', b);
        e = e == std::string::npos ? text.size() : e + 1;
        std::string ln = text.substr(b, e - b);
        if (ln.find(word) != std::string::npos) found += ln;
        b = e;
    }
    return found;
}

const char* HEADING =
    "      Parameter                           correlates with Parameter               Coeff.\n\n";

}  // namespace

TEST(CorrelCli, ReferenceModeListsAndCollectsByThreshold) {
    struct Case {
        const char* option;
        const char* lis;
        const char* csv;
        const char* log;
    };
    const Case cases[] = {
        {"--correlate=3", "2,3,4\n",
         "#,Parameter Name,Min,Avg,Max,MaxTime,Correlation\n"
         "2,Loose,-3.50,9.19,20.75,01-JAN-2024 10:25,0.73\n"
         "3,Ref,0.50,9.19,16.75,01-JAN-2024 10:25,1.00\n"
         "4,Twice,2.00,19.38,34.50,01-JAN-2024 10:25,1.00\n",
         "1, Correlation Coefficient (-0.05) < 0.65, skipping chart for Other\n"
         "5, Correlation Coefficient (-1.00) < 0.65, skipping chart for Flat\n"},
        {"--correlate=3:.9", "3,4\n",
         "#,Parameter Name,Min,Avg,Max,MaxTime,Correlation\n"
         "3,Ref,0.50,9.19,16.75,01-JAN-2024 10:25,1.00\n"
         "4,Twice,2.00,19.38,34.50,01-JAN-2024 10:25,1.00\n",
         "1, Correlation Coefficient (-0.05) < 0.90, skipping chart for Other\n"
         "2, Correlation Coefficient (0.73) < 0.90, skipping chart for Loose\n"
         "5, Correlation Coefficient (-1.00) < 0.90, skipping chart for Flat\n"},
    };
    for (const Case& c : cases) {
        TempDir d;
        d.write("day.csv", day(30));
        RunResult r = run_tsgraf(d, {"day.csv", "--nocharts", "--parameters=0", c.option});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(d.read("CORREL.LIS"), c.lis);
        EXPECT_EQ(d.read("Y8_PEAK.CSV"), c.csv);
        EXPECT_EQ(lines_with(d.read("Y8_LOG.LIS"), "Correlation"), c.log);
        std::string lis = c.lis;
        EXPECT_NE(r.out.find("\nCorrelation parameters are " + lis.substr(0, lis.size() - 1) +
                             "\nNo charts were generated\n"),
                  std::string::npos)
            << r.out;
        EXPECT_FALSE(d.exists("CORREL_MATRIX.LIS"));
    }
}

TEST(CorrelCli, AllPairsModeWritesTheMatrix) {
    std::string pairs =
        "\n  3 Ref                                    4 Twice                                "
        "1.000\n"
        "\n  4 Twice                                  3 Ref                                  "
        "1.000\n";
    struct Case {
        const char* what;
        std::string csv;
        std::vector<std::string> args;
        const char* folder;
    };
    // The second file misses ten minutes after row 15; the rows inserted for them hold
    // no samples and leave the exact relation exact.
    const Case cases[] = {
        {"plain", day(30), {"--correlate=ALL:1"}, ""},
        {"gap, output folder", day(30, 15, 10), {"--correlate=all:1", "--directory=out"}, "out"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir d;
        d.write("day.csv", c.csv);
        std::string folder = c.folder;
        std::string prefix = folder.empty() ? "" : folder + "/";
        if (!folder.empty()) make_directory(d.file(folder));
        std::vector<std::string> args = {"day.csv", "--nocharts", "--parameters=0"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        RunResult r = run_tsgraf(d, args);
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(d.read(prefix + "CORREL_MATRIX.LIS"),
                  std::string("Correlation of parameters in day.csv\n\n") + HEADING + pairs);
        EXPECT_NE(r.out.find(std::string("Looking for Correlation between all parameters\n\n") +
                             HEADING + pairs + "\nCorrelation details are in CORREL_MATRIX.LIS\n"),
                  std::string::npos)
            << r.out;
        EXPECT_FALSE(d.exists(prefix + "CORREL.LIS"));
        EXPECT_FALSE(d.exists("CORREL.LIS"));
    }
}

TEST(CorrelCli, ReferenceWithoutANumberEndsWithAnError) {
    TempDir d;
    d.write("day.csv", day(30));
    RunResult r = run_tsgraf(d, {"day.csv", "--nocharts", "--correlate=abc"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Error: '/correlate' option requires a parameter number\n"),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(d.exists("CORREL.LIS"));
}
