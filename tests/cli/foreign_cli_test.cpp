// The foreign input layouts through the built binary: format 2 heading blocks, merovand
// plot files and PERFMON exports.
#include <gtest/gtest.h>

#include <map>

#include "base/platform.h"
#include "harness.h"

namespace {

std::string clock_text(int secs) {
    char buf[16];
    snprintf(buf, sizeof buf, "%02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
    return buf;
}

// Lines of out that are not found in it, in order.
std::string missing_lines(const std::string& out, const std::vector<std::string>& lines) {
    std::string missing;
    size_t at = 0;
    for (const auto& l : lines) {
        size_t p = out.find(l, at);
        if (p == std::string::npos)
            missing += l;
        else
            at = p + l.size();
    }
    return missing;
}

std::string format2_file() {
    std::string s =
        "NODEB,Monitor Comment: cli\n"
        "$$$ START COLUMN HEADERS $$$\n"
        "Sample Time, CPU Busy , Free List\n"
        "  Disk IO ,Net In\n"
        "$$$ END COLUMN HEADERS $$$\n";
    for (int i = 0; i < 8; ++i)
        s += "15-JAN-2008 " + clock_text(36000 + 60 * i) + "," + std::to_string(i) + ",5,6,7\n";
    return s;
}

}  // namespace

TEST(ForeignCli, EachLayoutRunsToTheEnd) {
    struct Case {
        const char* what;
        std::string name, text;
        std::vector<std::string> lines;  // expected in this order
    };
    std::string merovand = "# plot of NODEC\n#Date Time CPU Mem\n";
    std::string perfmon =
        "\"(PDH-CSV 4.0) (GMT Standard Time)(0)\",\"\\\\HOSTP\\Processor\\% Busy\","
        "\"\\\\HOSTP\\Memory\\Free\"\r\n";
    for (int i = 0; i < 6; ++i) {
        merovand += "20080115 " + clock_text(37230 + 30 * i) + " " + std::to_string(i) + " 9\n";
        perfmon += "\"01/15/2008 " + clock_text(37230 + 30 * i) + ".500\",\"" + std::to_string(i) +
                   "\",\" \"\r\n";
    }
    const Case cases[] = {
        {"format 2",
         "f2.csv",
         format2_file(),
         {"Reading data from f2.csv\n", "Format 2: 4 parameters in f2.csv\n",
          "Number of Intervals = 8\n",
          "Start date = 15-JAN-2008 10:00:00, End date = 15-JAN-2008 10:07:00\n"}},
        {"merovand",
         "node.tab",
         merovand,
         {"Y8 format CSV file will be node_NEW.CSV\n", "length = 17\n",
          "node_NEW.CSV created in Y8 CSV format\n", "Reading data from node_NEW.CSV\n",
          "Format 1: 2 parameters in node_NEW.CSV\n", "Number of Intervals = 6\n",
          "Start date = 01/15/2008 10:20:30, End date = 01/15/2008 10:23:00\n"}},
        {"PERFMON",
         "pm.csv",
         perfmon,
         {"Perfmon file!!\n", "Reading data from pm.csv\n", "Format 1: 2 parameters in pm.csv\n",
          "Number of Intervals = 6\n",
          "Start date = 01/15/2008 10:20:30.500, End date = 01/15/2008 10:23:00.500\n"}},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write(c.name, c.text);
        RunResult r = run_tsgraf(d, {c.name, "--parameters=all", "--nocharts"});
        EXPECT_EQ(r.status, 0) << c.what << r.out;
        EXPECT_EQ(missing_lines(r.out, c.lines), "") << c.what << "\n" << r.out;
    }
}

TEST(ForeignCli, MerovandFileIsConvertedNextToTheInput) {
    TempDir d;
    d.write("node.tab",
            "#Date Time CPU Mem\n"
            "20080115 10:20:30 1 9\n"
            "20080115 10:21:30 2 8\n"
            "20080115 10:22:30 3 7\n");
    RunResult r = run_tsgraf(d, {"node.tab", "--parameters=all", "--nocharts", "--nologs"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(d.read("node_NEW.CSV"),
              "Date Time,CPU,Mem\n"
              "01/15/2008 10:20:30,1,9\n"
              "01/15/2008 10:21:30,2,8\n"
              "01/15/2008 10:22:30,3,7\n");
    // A second run converts again, over its own earlier output.
    r = run_tsgraf(d, {"node.tab", "--parameters=all", "--nocharts", "--nologs"});
    EXPECT_EQ(r.status, 0) << r.out;
}

TEST(ForeignCli, Format2AndFormat1OfTheSameDataHaveTheSameParameters) {
    TempDir d;
    std::string f1 = "NODEB,Monitor Comment: cli\nSample Time,CPU Busy,Free List,Disk IO,Net In\n";
    for (int i = 0; i < 8; ++i)
        f1 += "15-JAN-2008 " + clock_text(36480 + 60 * i) + "," + std::to_string(i) + ",5,6,7\n";
    d.write("f1.csv", f1);
    d.write("f2.csv", format2_file());
    RunResult r = run_tsgraf(d, {"f2.csv", "f1.csv", "--parameters=all", "--nocharts"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Parameters in all files are the same\n"), std::string::npos) << r.out;
    // Both calls of the block reader log the count.
    std::string log = d.read("Y8_LOG.LIS");
    size_t first = log.find("Format 2: 4 parameters in f2.csv\n");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find("Format 2: 4 parameters in f2.csv\n", first + 1), std::string::npos);
}

TEST(ForeignCli, BadForeignFilesEndWithStatusOne) {
    struct Case {
        const char* what;
        std::string name, text;
        std::map<std::string, std::string> env;
        std::string message;
    };
    const Case cases[] = {
        {"block line over MAXF2LEN",
         "f2.csv",
         format2_file(),
         {{"MAXF2LEN", "30"}},
         "Y8 Format2 line exceeds max tsgraf length of 30.\n"},
        {"merovand line without time",
         "m.tab",
         "#Date Time A\n20080115\n",
         {},
         "Expected #Date Time\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write(c.name, c.text);
        RunResult r = run_tsgraf(d, {c.name, "--parameters=all", "--nocharts"}, "", c.env);
        EXPECT_EQ(r.status, 1) << c.what << r.out;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << c.what << r.out;
        // Only the Windows build hints at the limit, and only for a block line too long.
        bool hint = SHOWS_LINE_LIMIT_HINT && c.message.find("Format2 line exceeds") != std::string::npos;
        EXPECT_EQ(r.out.find("Try: SET MAXF2LEN") != std::string::npos, hint) << c.what;
    }
}
