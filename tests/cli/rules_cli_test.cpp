// Threshold rules through the built binary: the console lines, the fired-rules page and
// the list of fired parameter numbers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/platform.h"
#include "harness.h"

namespace {

// Thirty one-minute rows of twelve parameters P1..P12; P4 dips to 5 from 00:10 to 00:19,
// P9 averages 50 exactly, P12 peaks at 900 at the end.
std::string twelve() {
    std::string s =
        "NODEC,Monitor Comment: rules,Sampling Interval: 60,NODEC\n01-JAN-2024\nSample Time";
    for (int p = 1; p <= 12; ++p) s += ",P" + std::to_string(p) + (p == 4 ? " Idle" : "");
    s += "\n";
    for (int r = 0; r < 30; ++r) {
        s += "01-JAN-2024 00:" + std::string(r < 10 ? "0" : "") + std::to_string(r) + ":00";
        for (int p = 1; p <= 12; ++p) {
            int v = 10 + p + r % 3;
            if (p == 4) v = r >= 10 && r < 20 ? 5 : 60;
            if (p == 9) v = 49 + r % 3;
            if (p == 12 && r >= 27) v = 900;
            s += "," + std::to_string(v);
        }
        s += "\n";
    }
    return s;
}

const char* const RULES =
    "; rules of the scenario\n"
    "P4 Idle|<|10|5|Idle under $P1 for over $P2 samples|IDLE.HTM\n"
    "p9,=,50,a,Average is $P1\n"
    "P12|>|MAX*0.5|MAX|Peak\n"
    "P1|>|1000|MAX|never\n";

}  // namespace

TEST(RulesCli, FiredChartsPageAndList) {
    TempDir d;
    d.write("t.csv", twelve());
    d.write("Y8RULES.LIS", RULES);
    RunResult r = run_tsgraf(d, {"t.csv", "--nohistory", "--parameters=all", "--rules"});
    EXPECT_EQ(r.status, 0) << r.out;
    for (const char* line :
         {"\nReading Y8 Rules from Y8RULES.LIS\n\n",
          "\nRULE Fired:   4 P4 Idle                        Idle under 10 for over 5 samples 00:10 "
          "to 00:20\n",
          "\nRULE Fired:   9 P9                             Average is 50\n",
          "\nRULE Fired:  12 P12                            Peak\n",
          "\nCreated HTML file Y8RULES.HTM with 3 fired rules. Fired parameter numbers are in "
          "Y8RULESPAR.LIS\n\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
    EXPECT_EQ(r.out.find("never"), std::string::npos);
    EXPECT_EQ(d.read("Y8RULESPAR.LIS"), "4,9,12\n");
    EXPECT_EQ(d.read("Y8RULES.HTM"),
              "<html><title>Y8 charts of Norvale Monitor data - Fired Rules</title>\n"
              "<A NAME=\"4\"><img src=\"P4Idle.png\" alt=\"4 P4 Idle\"></A><BR>\n"
              "Click here for more details: <a href=IDLE.HTM target=\"_blank\">IDLE.HTM</a><br>\n"
              "<A NAME=\"9\"><img src=\"P9.png\" alt=\"9 P9\"></A><BR>\n"
              "<A NAME=\"12\"><img src=\"P12.png\" alt=\"12 P12\"></A><BR>\n"
              "<br><center>TSGRAF V1.0-156<br>\n"
              "tsgraf t.csv --nohistory --parameters=all --rules</center><p>\n</body></html>\n");
    EXPECT_NE(d.read("tsgraf.htm")
                  .find("<tr><td>Click here for more details: <a href=IDLE.HTM "
                        "target=\"_blank\">IDLE.HTM</a></td></tr>\n"),
              std::string::npos);
}

TEST(RulesCli, BadOrMissingRulesFiles) {
    struct Case {
        const char* rules;  // nullptr: no rules file
        int status;
        const char* expect;
        bool pages;
    };
    const std::string separators(5000, '|');
    const Case cases[] = {
        {nullptr, 0, "\nCreated 12 Y8 charts", false},
        {"P4|<=|10|5|x\n", 1,
         "\nReading Y8 Rules from Y8RULES.LIS\n\nError in Y8RULES.LIS, invalid Operator '<=' in "
         "line:\nP4|<=|10|5|x\n",
         false},
        {"P4|>=|10|5|x\nP9|<|0|A|y", 0, "\nCreated 12 Y8 charts", true},
        {separators.c_str(), 0, "\nCreated 12 Y8 charts", true},
    };
    for (const Case& c : cases) {
        TempDir d;
        d.write("t.csv", twelve());
        if (c.rules) d.write("Y8RULES.LIS", c.rules);
        RunResult r = run_tsgraf(d, {"t.csv", "--nohistory", "--parameters=all", "--rules"});
        EXPECT_EQ(r.status, c.status) << r.out;
        EXPECT_NE(r.out.find(c.expect), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("RULE Fired"), std::string::npos) << r.out;
        EXPECT_EQ(d.exists("Y8RULESPAR.LIS"), c.pages);
        if (c.pages) {
            EXPECT_EQ(d.read("Y8RULESPAR.LIS"), "\n");
        }
    }
}

TEST(RulesCli, PagesGoToTheOutputDirectory) {
    TempDir d;
    d.write("t.csv", twelve());
    d.write("Y8RULES.LIS", RULES);
    make_directory(d.file("out"));
    RunResult r =
        run_tsgraf(d, {"t.csv", "--nohistory", "--parameters=all", "--rules", "--directory=out"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(d.read("out/Y8RULESPAR.LIS"), "4,9,12\n");
    EXPECT_TRUE(d.exists("out/Y8RULES.HTM"));
    EXPECT_FALSE(d.exists("Y8RULESPAR.LIS"));
}

// Decimal thresholds are read and shown as written; a threshold relative to the maximum
// also holds for a rule over a period.
TEST(RulesCli, DecimalAndRelativeThresholds) {
    TempDir d;
    d.write("t.csv", twelve());
    d.write("Y8RULES.LIS", "P9|<|50.40|A|Average under $P1\nP12|>|MAX*0.9|0|Over $P1\n");
    RunResult r = run_tsgraf(d, {"t.csv", "--nohistory", "-q", "--parameters=9,12", "--rules"});
    EXPECT_EQ(r.status, 0) << r.out;
    for (const char* line :
         {"\nRULE Fired:   9 P9                             Average under 50.4\n",
          "\nRULE Fired:  12 P12                            Over 810 00:27 to 00:29\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
    EXPECT_EQ(d.read("Y8RULESPAR.LIS"), "9,12\n");
}
