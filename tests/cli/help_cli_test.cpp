#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/out.h"
#include "harness.h"

namespace {

const std::string Q_FILE = "Enter Y8 CSV file name (or wildcard spec.) : ";

// Started without arguments the program asks for a file; these answers end the run
// before any output file is made.
TEST(HelpCli, PromptingEndsCleanly) {
    struct Case {
        const char* input;
        std::string out;
    } cases[] = {
        {"quit\n", Q_FILE},
        {"", Q_FILE + "\n"},  // standard input closed
        {"nosuch.csv\nquit\n", Q_FILE + "No such file\n" + Q_FILE},
    };
    for (const auto& c : cases) {
        TempDir dir;
        RunResult r = run_tsgraf(dir, {}, c.input);
        EXPECT_EQ(r.status, 0) << c.input;
        EXPECT_EQ(r.out, c.out) << c.input;
        EXPECT_TRUE(dir.files().empty()) << c.input;
    }
}

TEST(HelpCli, HelpFromThePrompt) {
    TempDir dir;
    RunResult r = run_tsgraf(dir, {}, "help\n/ave\nbogus\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind(Q_FILE + "\nTSGRAF ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(native_options("  --append ")), std::string::npos);
    EXPECT_NE(r.out.find(native_options("TSGRAF subtopic? \n--average[=val][:0]\n\n\n")),
              std::string::npos);
    EXPECT_EQ(r.out.find(native_options("--append[=outfile]")), std::string::npos);
    EXPECT_NE(r.out.find("TSGRAF subtopic? Invalid answer!\nTSGRAF subtopic? "), std::string::npos);
    EXPECT_TRUE(dir.files().empty());
}

// Help asked for from a script (standard input closed): the summary or the one topic,
// never the topic question; -h and --help alike.
TEST(HelpCli, HelpFromScripts) {
    TempDir dir;
    const std::string summary = run_tsgraf(dir, {"--help"}).out;
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;  // the whole output, or the text it must contain
    } cases[] = {
        {{"--help"}, 0, summary},
        {{"-h"}, 0, summary},
        {{"a.csv", "--bogus"}, 1, summary},
        {{"--help=range"}, 0, "\n--range=start,end\n\n"},
        {{"--help=pdf"}, 0, "\n--pdf[=pdffile[:D]]\n\n"},
        {{"--help=--aver"}, 0, "\n--average[=val][:0]\n\n\n"},
        {{"--help=nosuch"}, 1, "No help on nosuch\n" + summary},
    };
    EXPECT_NE(summary.find(native_options("  --version      --width ")), std::string::npos)
        << summary;
    for (const auto& c : cases) {
        RunResult r = run_tsgraf(dir, c.args);
        EXPECT_EQ(r.status, c.status) << c.args[0];
        EXPECT_NE(r.out.find(native_options(c.out)), std::string::npos)
            << c.args[0] << ": " << r.out;
        EXPECT_EQ(r.out.find("subtopic?"), std::string::npos) << c.args[0];
        const std::string topic = std::string("\n") + OPTION_PREFIX;
        EXPECT_EQ(r.out.find(topic, r.out.find(topic) + 1), std::string::npos) << c.args[0];
    }
    EXPECT_TRUE(dir.files().empty());
}

}  // namespace

namespace {

// A day of one-minute rows of a few parameters, for the examples of the usage text.
std::string example_day(int day) {
    std::string s = "WEB01,Monitor Comment: example,Sampling Interval: 60,WEB01\n" +
                    std::to_string(day) + "-MAR-2006\nSample Time,Cpu Busy,Cpu Idle,Disk Rate," +
                    "Busy Queue,Mem Free,Net In\n";
    for (int r = 0; r < 1440; r += 5) {
        s += strfmt("%02d-MAR-2006 %02d:%02d:00", day, r / 60, r % 60);
        for (int p = 0; p < 6; ++p) s += strfmt(",%d", (r / 5 * (p + 3)) % 97);
        s += "\n";
    }
    return s;
}

}  // namespace

// Every usage line of the README runs as printed (a prompt is answered with "0").
TEST(HelpCli, ReadmeUsageLinesRunAsPrinted) {
    TempDir d;
    d.write("day.csv", example_day(11));
    d.write("day.csv.gz", gzipped(example_day(11)));
    d.write("mon.csv", example_day(13));
    d.write("tue.csv", example_day(14));
    std::string readme = read_file(std::string(TSGRAF_BADINPUT_DIR) + "/../../README.md");
    size_t at = readme.find("## Usage\n");
    ASSERT_NE(at, std::string::npos);
    int ran = 0;
    for (size_t nl = readme.find("\n\n    tsgraf ", at) + 1; readme.compare(nl + 1, 11, "    tsgraf ") == 0;
         nl = readme.find('\n', nl + 1)) {
        std::string cmd = readme.substr(nl + 12, readme.find('#', nl) - nl - 12);
        std::vector<std::string> args;
        for (size_t b = cmd.find_first_not_of(' '); b != std::string::npos;
             b = cmd.find_first_not_of(' ', b)) {
            size_t e = cmd.find(' ', b);
            args.push_back(cmd.substr(b, e - b));
            b = e;
        }
        if (args.size() == 1 && args[0] == "--help") continue;
        RunResult r = run_tsgraf(d, args, "0\n");
        EXPECT_EQ(r.status, 0) << cmd << "\n" << r.out;
        ++ran;
    }
    EXPECT_GE(ran, 9);
    EXPECT_TRUE(d.exists("week.csv"));
    EXPECT_TRUE(d.exists("cpu.csv"));
}
