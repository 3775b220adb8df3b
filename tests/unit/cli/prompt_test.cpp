#include "cli/prompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/run_end.h"
#include "harness.h"

namespace {

const std::string Q_FILE = "Enter Y8 CSV file name (or wildcard spec.) : ";
const std::string Q_WIDTH = "Enter required chart width (pixels)  [800] : ";
const std::string Q_HEIGHT = "Enter required chart height (pixels) [400] : ";
const std::string Q_LINES = "Do you want a vertical scale and grid  [y] : ";
const std::string Q_BORDER = "Do you want a border                   [y] : ";
const std::string Q_AVG = "Do you want the Moving Average         [y] : ";
const std::string Q_WINDOW = "Enter the Moving Average window size  [60] : ";
const std::string Q_PARAMS = "Enter required parameters            [ALL] : ";

std::vector<std::string> native(std::vector<std::string> args) {
    for (auto& a : args) a = native_options(a);
    return args;
}

struct Prompted {
    RunResult r;
    int count = 0;
    std::vector<std::string> args;  // cargv after the program name
};

Prompted prompt_with(const TempDir& dir, const std::string& input) {
    Prompted p;
    RunState rs;
    rs.cargv = {"tsgraf"};
    rs.cargc = 1;
    InDir in_dir(dir.path());
    StdinFrom in(input);
    p.r = capture([&] { p.count = prompt_for_input(rs); });
    EXPECT_EQ(static_cast<size_t>(rs.cargc), rs.cargv.size());
    EXPECT_EQ(rs.cargv.at(0), "tsgraf");
    p.args.assign(rs.cargv.begin() + 1, rs.cargv.end());
    return p;
}

TEST(Prompt, ExampleAnswersAndEcho) {
    TempDir dir;
    dir.write("data.csv", "x\n");
    Prompted p = prompt_with(dir, "data.csv\n\n\nn\nn\nn\n\n");
    EXPECT_EQ(p.r.status, -1);
    EXPECT_EQ(p.count, 5);
    EXPECT_EQ(p.args,
              native({"data.csv", "--width=800", "--height=400", "--para=0"}));
    EXPECT_EQ(p.r.out, Q_FILE + Q_WIDTH + Q_HEIGHT + Q_LINES + Q_BORDER + Q_AVG + Q_PARAMS +
                           native_options("\ndata.csv --width=800 --height=400 \n\n"));
}

TEST(Prompt, ChartAnswersBecomeArguments) {
    TempDir dir;
    dir.write("data.csv", "x\n");
    struct Case {
        const char* answers;  // after the file name
        std::vector<std::string> args;
    } cases[] = {
        {"\n\n\n\n\n\n\n",
         {"--width=800", "--height=400", "--lines", "--border=1", "--average=60", "--para=0"}},
        {"abc\n0\nn\nn\nn\ncpu\n", {"--para=CPU"}},
        {"1024\n 300\nY\nyes\ny\n15\nall\n",
         {"--width=1024", "--height=300", "--border=1", "--average=15", "--para=0"}},
        {"640px\n\nno\nn\ny\nabc\n1,3-5\n",
         {"--width=640", "--height=400", "--average=0", "--para=1,3-5"}},
        {"\n\nn\nn\nn\ncpu busy\n", {"--width=800", "--height=400", "--para=CPU BUSY"}},
    };
    for (const auto& c : cases) {
        Prompted p = prompt_with(dir, std::string("data.csv\n") + c.answers);
        std::vector<std::string> want = {"data.csv"};
        want.insert(want.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(p.args, native(want)) << c.answers;
        EXPECT_EQ(p.count, static_cast<int>(want.size()) + 1);
        EXPECT_EQ(p.r.status, -1);
    }
}

TEST(Prompt, FileQuestionRepeatsUntilAFileOpens) {
    TempDir dir;
    dir.write("data.csv", "x\n");
    dir.write("y8_n1_a_b_c.CSV", "");
    dir.write("Y8_n2_a_b_c.csv", "");
    dir.write("other.csv", "");
    Prompted p =
        prompt_with(dir, "nosuch.csv\n" + dir.path() + "\n?\n*.csv\ndata.csv\n\n\nn\nn\nn\n\n");
    EXPECT_EQ(p.args.at(0), "data.csv");
    EXPECT_EQ(p.r.out, Q_FILE + "No such file\n" +      // missing file
                           Q_FILE + "No such file\n" +  // a directory
                           Q_FILE +
                           "Y8_n2_a_b_c.csv\ny8_n1_a_b_c.CSV\n\n" +  // "?": collector files
                           // Windows names match in either case.
                           Q_FILE + "Y8_n2_a_b_c.csv\ndata.csv\nother.csv\n" +
                           (WINDOWS_BUILD ? "y8_n1_a_b_c.CSV\n\n" : "\n") + Q_FILE + Q_WIDTH +
                           Q_HEIGHT + Q_LINES + Q_BORDER + Q_AVG + Q_PARAMS +
                           native_options("\ndata.csv --width=800 --height=400 \n\n"));
}

TEST(Prompt, EndsWithoutArguments) {
    TempDir dir;
    dir.write("data.csv", "x\n");
    struct Case {
        std::string input;
        std::string out;
    } cases[] = {
        {"quit\n", Q_FILE},
        {"", Q_FILE + "\n"},  // input ends at once
        {"nosuch\n", Q_FILE + "No such file\n" + Q_FILE + "\n"},
        {"data.csv\n800\n", Q_FILE + Q_WIDTH + Q_HEIGHT + "\n"},  // ends mid-questions
        {"data.csv\n\n\ny\ny\ny", Q_FILE + Q_WIDTH + Q_HEIGHT + Q_LINES + Q_BORDER + Q_AVG +
                                      Q_WINDOW + "\n"},  // last line unterminated
    };
    for (const auto& c : cases) {
        Prompted p = prompt_with(dir, c.input);
        EXPECT_EQ(p.r.status, END_OK) << c.input;
        EXPECT_EQ(p.r.out, c.out) << c.input;
        EXPECT_TRUE(p.args.empty()) << c.input;
    }
    EXPECT_EQ(dir.files(), std::vector<std::string>{"data.csv"});
}

TEST(Prompt, HelpOrEmptyAnswerShowsTheHelp) {
    TempDir dir;
    for (const char* input : {"help\n\n", "\n\n"}) {
        Prompted p = prompt_with(dir, input);
        EXPECT_EQ(p.r.status, END_OK) << input;
        EXPECT_EQ(p.r.out.rfind(Q_FILE + "\n" + banner() + "\n\n", 0), 0u) << p.r.out;
        EXPECT_NE(p.r.out.find("TSGRAF subtopic? "), std::string::npos);
    }
}

TEST(Prompt, ReadAnswerTakesWholeLines) {
    std::string longline(1000, 'a');
    StdinFrom in(longline + "\r\n" + std::string("\0\n\n", 3) + "second\nlast");
    std::string a;
    ASSERT_TRUE(read_answer(a));
    EXPECT_EQ(a, longline);
    ASSERT_TRUE(read_answer(a));
    EXPECT_EQ(a, std::string(1, '\0'));
    ASSERT_TRUE(read_answer(a));
    EXPECT_EQ(a, "");
    ASSERT_TRUE(read_answer(a));
    EXPECT_EQ(a, "second");
    ASSERT_TRUE(read_answer(a));
    EXPECT_EQ(a, "last");
    EXPECT_FALSE(read_answer(a));
}

}  // namespace
