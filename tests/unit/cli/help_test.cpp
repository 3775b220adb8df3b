#include "cli/help.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/run_end.h"
#include "cli/vocabulary.h"
#include "harness.h"

namespace {

const char* const PROMPT = "TSGRAF subtopic? ";

RunResult help_with(const std::string& input, int status = END_OK,
                    const std::string& optch = "--") {
    RunState rs;
    rs.optch = optch;
    StdinFrom in(input);
    return capture([&] { usage1(rs, status); });
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream ss(text);
    for (std::string l; std::getline(ss, l);) lines.push_back(l);
    return lines;
}

// What the n-th answer printed: the text between the n-th and the next prompt.
std::string reply(const std::string& out, int n) {
    size_t pos = 0;
    for (int i = 0; i <= n; ++i) {
        pos = out.find(PROMPT, pos);
        if (pos == std::string::npos) return "<no prompt>";
        pos += std::strlen(PROMPT);
    }
    size_t end = out.find(PROMPT, pos);
    return out.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

// Option names of the section headers in a text ("--average[=val][:0]" -> "average").
std::vector<std::string> headers(const std::string& text) {
    std::vector<std::string> names;
    for (const auto& l : lines_of(text)) {
        if (l.rfind("--", 0) != 0) continue;
        names.push_back(l.substr(2, l.find_first_of("[=", 2) - 2));
    }
    return names;
}

size_t count(const std::string& hay, const std::string& needle) {
    size_t n = 0;
    for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
    return n;
}

const std::string SUMMARY =
    "\n" + banner() +
    "\n\n"
    "TSGRAF creates line graphs from one or more CSV files of timeline data.\n"
    "  It can also extract selected parameters into a new CSV file,\n"
    "  draw the moving average of each parameter and its peak period,\n"
    "  filter the parameters by number, name or wildcard,\n"
    "  and find the parameters that correlate with each other.\n\n"
    "   Format:  TSGRAF csvfile1 [csvfile2 ...] [qualifiers]\n\n"
    "  Additional information available:\n\n"
    "  Parameters Qualifiers\n"
    "  --append       --average    --bar_chart  --border     --caption   --colors\n"
    "  --constant     --correlate  --dataline   --decimals   --dotcolors --dots\n"
    "  --directory    --displaynum --extract    --fill       --format    --help\n"
    "  --headerline   --height     --history    --horizontal --ignore    --labels\n"
    "  --lines        --merge      --missing    --nocharts   --nofloat   --noheader\n"
    "  --nohorizontal --nologs     --normalize  --novertical --output    --overlay\n"
    "  --parameters   --pdf        --percentile --quiet      --range     --rename\n"
    "  --rules        --sample     --scale      --sd         --sort      --sparklines\n"
    "  --stack        --thickness  --timerange  --top        --trimzeros --verbose\n"
    "  --version      --width      --x          --y          --zero      CalcParams\n"
    "\n";

const std::vector<std::string> ALL_HEADERS = {
    "append",       "average",      "axis",        "bar_chart",  "border",     "caption",
    "colors",       "constant",     "correlate",   "dataline",   "decimals",   "directory",
    "displaynumber", "dotcolors",   "dots",        "duplicates", "extract",    "fill",
    "format",       "help",         "headerline",  "height",     "history",    "horizontal",
    "ignore",       "labels",       "lines",       "merge",      "missing",    "nocharts",
    "nofloat",      "noheader",     "nohistory",   "nohorizontal", "nologs",   "normalize",
    "notimestamp",  "novertical",   "overlay",     "output",     "parameters", "pdf",
    "percentile",   "quiet",        "range",       "rename",     "rules",      "samplemerge",
    "scale",        "sd",           "set_defaults", "show_defaults", "sort",   "sparklines",
    "stack",        "thickness",    "threads",     "timerange",   "top",        "trimzeros",  "u",
    "verbose",      "version",      "width",       "x",          "y",          "zero"};

TEST(Help, SummaryScreenAndEmptyAnswerEnd) {
    RunResult r = help_with("\n");
    EXPECT_EQ(r.status, END_OK);
    EXPECT_EQ(r.out, SUMMARY + PROMPT);
}

TEST(Help, EndOfInputEndsWithTheGivenStatus) {
    RunResult r = help_with("");
    EXPECT_EQ(r.status, END_OK);
    EXPECT_EQ(r.out, SUMMARY + PROMPT + "\n");
    // After an option error the help ends the run as a failure.
    EXPECT_EQ(help_with("", END_ERROR).status, END_ERROR);
    EXPECT_EQ(help_with("/ave\n\n", END_ERROR).status, END_ERROR);
}

TEST(Help, GridUsesTheBuildPrefix) {
    RunResult r = help_with("\n", END_OK, "/");
    EXPECT_NE(
        r.out.find("  /append       /average    /bar_chart  /border     /caption   /colors\n"),
        std::string::npos)
        << r.out;
    EXPECT_NE(
        r.out.find("  /version      /width      /x          /y          /zero      CalcParams\n"),
        std::string::npos);
}

TEST(Help, TopicsSelectSections) {
    struct Case {
        const char* answer;
        std::vector<std::string> shown;
    } cases[] = {
        {"/ave", {"average"}},
        {"/a", {"append", "average"}},
        {"/A", {"append", "average"}},
        {"/ap", {"append"}},
        {"--average", {"average"}},
        {"--averagexyz", {"average"}},
        {"/b", {"bar_chart", "border"}},
        {"/c", {"caption", "colors", "constant", "correlate"}},
        {"/col", {"colors"}},
        {"/dot", {"dotcolors", "dots"}},
        {"/dots", {"dots"}},
        {"/displaynumber", {"displaynumber"}},
        {"/f", {"fill"}},
        {"/format", {"format"}},
        {"/he", {"help", "headerline", "height"}},
        {"/no",
         {"nocharts", "nofloat", "noheader", "nohistory", "nohorizontal", "nologs", "normalize"}},
        {"/nov", {"novertical"}},
        {"/o", {"overlay"}},
        {"/output", {"output"}},
        {"/s",
         {"samplemerge", "scale", "sd", "set_defaults", "show_defaults", "sort", "sparklines",
          "stack"}},
        {"/sample", {"samplemerge"}},
        {"/t", {"thickness", "threads", "timerange", "top"}},
        {"/thr", {"threads"}},
        {"/tr", {"trimzeros"}},
        {"/u", {"u"}},
        {"/v", {"version"}},  // a whole option name
        {"/V", {"verbose"}},
        {"/i", {"nologs"}},
        {"/pd", {"pdf"}},
        {"--range", {"range"}},
        {"--ax", {"axis"}},
        {"/verb", {"verbose"}},
        {"/z", {"zero"}},
    };
    for (const auto& c : cases) {
        RunResult r = help_with(std::string(c.answer) + "\n\n");
        EXPECT_EQ(r.status, END_OK) << c.answer;
        EXPECT_EQ(headers(reply(r.out, 0)), c.shown) << c.answer;
    }
}

TEST(Help, EverySectionIsSelectedByItsOwnName) {
    ASSERT_EQ(section_count(), 67);
    for (int i = 0; i < section_count(); ++i) {
        std::string name = section_name(i);
        for (auto& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        SectionRange r = section_range(name);
        EXPECT_EQ(r.first, i) << name;
        EXPECT_EQ(r.last, i + 1) << name;
    }
}

// Every long option name, and every abbreviation the option scanner takes for it, shows
// that option's section and no other.
TEST(Help, EveryOptionNameFindsItsSection) {
    const std::vector<std::string> names = long_option_names();
    const std::map<std::string, std::string> other = {
        {"i", "nologs"}, {"j", "constant"}, {"k", "caption"},
        {"V", "verbose"}, {"v", "version"}};
    for (const auto& name : names) {
        if (name == "?") continue;  // "--?" asks for every section
        std::string want = other.count(name) ? other.at(name) : name;
        for (size_t len = 1; len <= name.size(); ++len) {
            std::string abbr = name.substr(0, len);
            int takers = 0;
            for (const auto& n : names) takers += n.compare(0, len, abbr) == 0;
            if (len < name.size() && (takers > 1 || len < 2)) continue;
            for (const std::string& answer : {"--" + abbr, "/" + abbr}) {
                RunResult r = help_with(answer + "\n\n");
                EXPECT_EQ(headers(reply(r.out, 0)), std::vector<std::string>{want}) << answer;
            }
        }
    }
}

TEST(Help, AnswersAtThePrompt) {
    struct Case {
        const char* answer;
        const char* expect;  // text the reply must contain
        bool summary;        // reply redraws the summary screen
    } cases[] = {
        {"average", "\n--average[=val][:0]\n", false},
        {"range", "\n--range=start,end\n", false},
        {"pdf", "\n--pdf[=pdffile[:D]]\n", false},
        {"parameters", "    filespec[,...]\n\n", false},
        {"parameters", "\n--parameters=list\n", false},
        {"xyz", "Invalid answer!\n", false},
        {" /ave", "Invalid answer!\n", false},
        {"caption", "\n--caption=text[:sc]\n", false},
        {"calc", "Calculated Parameters:\n\n", false},
        {"c", "      [CALC], <par 1>, <op1>, <par 2>, <op2>, <par 3>,...,<new param name>\n\n",
         false},
        {"e", "\nExamples\n\n", false},
        {"p", "\ntsgraf\n\n  Parameters\n\n    filespec[,...]\n\n", false},
        {"?", "", true},
        {"/g", "", true},  // a letter without sections
        {"/9", "", true},
        {"-", "", true},
    };
    for (const auto& c : cases) {
        RunResult r = help_with(std::string(c.answer) + "\n\n");
        EXPECT_EQ(r.status, END_OK) << c.answer;
        std::string rep = reply(r.out, 0);
        EXPECT_NE(rep.find(c.expect), std::string::npos) << c.answer << ": " << rep;
        EXPECT_EQ(rep == SUMMARY, c.summary) << c.answer << ": " << rep;
    }
    EXPECT_EQ(reply(help_with("e\n\n").out, 0), "\nExamples\n\n");
    EXPECT_EQ(reply(help_with(std::string("\0\n\n", 3)).out, 0), "Invalid answer!\n");
}

TEST(Help, QShowsEverySectionInOrder) {
    RunResult r = help_with("q\n\n");
    std::string rep = reply(r.out, 0);
    EXPECT_EQ(rep.rfind("  Qualifiers\n\n\n\n", 0), 0u);
    EXPECT_EQ(headers(rep), ALL_HEADERS);
    // The same through the "?" topic.
    EXPECT_EQ(reply(help_with("/?\n\n").out, 0), rep);
}

TEST(Help, SectionTextsAndLayout) {
    std::string all = reply(help_with("q\n\n").out, 0);
    for (const char* line : {
             "\n--average[=val][:0]\n\n\n",
             "\n--trimzeros[=outfile]\n\n",
             "      Replaced by --range\n\n",
             "      Note: --zero will be removed in a future release. Use --scale instead.\n\n",
             "      You cannot use --average=n with /x\n\n",
             "      Graph line colors may also be specified in the tsgraf.cfg default file.\n",
             "CPU above $P1% for 10 minutes",
         })
        EXPECT_NE(all.find(line), std::string::npos) << line;
    // The overlay header has no empty line of its own in front.
    EXPECT_NE(all.find("\n\n--overlay[=n]\n\n"), std::string::npos);
    EXPECT_EQ(all.find("\n\n\n--overlay"), std::string::npos);
    EXPECT_EQ(all.find("%s"), std::string::npos);
    EXPECT_EQ(count(all, "/x"), 1u);  // only the quoted line; every other name has the prefix
    for (const auto& l : lines_of(all)) {
        bool ok =
            l.empty() || l.rfind("--", 0) == 0 || l == "  Qualifiers" || l.rfind("      ", 0) == 0;
        EXPECT_TRUE(ok) << "badly indented: " << l;
        EXPECT_LE(l.size(), 80u) << l;
    }
    for (const auto& l : lines_of(SUMMARY)) EXPECT_LE(l.size(), 80u) << l;
}

TEST(Help, LongAnswerIsOneAnswer) {
    RunResult r = help_with("/ave" + std::string(300, 'x') + "\n\n");
    EXPECT_EQ(r.status, END_OK);
    EXPECT_EQ(count(r.out, PROMPT), 2u);
    EXPECT_EQ(headers(reply(r.out, 0)), std::vector<std::string>{"average"});
}

TEST(Help, SeveralTopicsInOneSession) {
    RunResult r = help_with("/x\nbad\n?\n/y\n");
    EXPECT_EQ(r.status, END_OK);
    EXPECT_EQ(headers(reply(r.out, 0)), std::vector<std::string>{"x"});
    EXPECT_EQ(reply(r.out, 1), "Invalid answer!\n");
    EXPECT_EQ(reply(r.out, 2), SUMMARY);
    EXPECT_EQ(headers(reply(r.out, 3)), std::vector<std::string>{"y"});
    EXPECT_EQ(count(r.out, PROMPT), 5u);  // the last one met the end of input
}

}  // namespace
