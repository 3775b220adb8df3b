#include "cli/defaults.h"

#include <gtest/gtest.h>

#include <functional>

#include "harness.h"

namespace {

const char* const HEAD = "\nReading default settings from TSGRAF.CFG\n";

// Runs the defaults reader in a fresh directory holding cfg (no file when cfg is null).
RunResult read_defaults(RunState& rs, const char* cfg, int show = 0) {
    TempDir dir;
    if (cfg) dir.write("TSGRAF.CFG", cfg);
    InDir in(dir.path());
    return capture([&] { show_default_values(rs, show); });
}

}  // namespace

TEST(Defaults, EveryKeyWithItsMessage) {
    struct Case {
        const char* file;
        std::string messages;  // after the echo; the whole output when it starts with "[["
        std::function<void(const RunState&)> check;
    };
    const Case cases[] = {
        {"average=10\n", "Default Moving Average = 600\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().aflagdef, 1);
             EXPECT_EQ(rs.opt().movavg, 600);
         }},
        {"average\n", "",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().aflagdef, 1);
             EXPECT_EQ(rs.opt().movavg, 0);
         }},
        {"Average=10\n", "",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().aflagdef, 0);
             EXPECT_EQ(rs.opt().movavg, 7);
         }},
        {"border=0\n", "Default Background color is black\n",
         [](const RunState& rs) { EXPECT_EQ(rs.opt().bkgcolor, BKG_BLACK); }},
        {"bkg = 1\n", "Default Background color is white\n",
         [](const RunState& rs) { EXPECT_EQ(rs.opt().bkgcolor, BKG_WHITE); }},
        {"border\n", "Default Background color is grey\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().bflagdef, 1);
             EXPECT_EQ(rs.opt().bkgcolor, BKG_GREY);
         }},
        {"border=7\n", "", [](const RunState& rs) { EXPECT_EQ(rs.opt().bkgcolor, 7); }},
        {"correlate=.8\n", "Default correlation threshold = 0.80\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().cflagdef, 1);
             EXPECT_DOUBLE_EQ(rs.opt().corrth, 0.8);
         }},
        {"cor\n", "Default correlation threshold = 0.65\n",
         [](const RunState& rs) { EXPECT_DOUBLE_EQ(rs.opt().corrth, 0.65); }},
        {"colors=red,blue green\n", "Default color sequence = red,blue\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().coloflagdef, 1);
             EXPECT_EQ(rs.opt().colsequence, "red,blue");
         }},
        {"captioncolor=red\n", "Default caption color = R\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().kcflagdef, 1);
             EXPECT_EQ(rs.opt().capcoldef, "R");
             EXPECT_EQ(rs.opt().kflagdef, 0);
         }},
        {"captionsize=tiny\n", "Default caption size = T\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().ksflagdef, 1);
             EXPECT_EQ(rs.opt().capsizdef, "T");
         }},
        {"caption=\"Disk \"C\" load\"\n", "Default caption = Disk C load\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().kflagdef, 1);
             EXPECT_EQ(rs.opt().kdef, 1);
             EXPECT_EQ(rs.opt().caption, "Disk C load");
         }},
        {"caption= two  words \r\n", "Default caption =  two  words \n",
         [](const RunState& rs) { EXPECT_EQ(rs.opt().caption, " two  words "); }},
        {"caption=\"at end\"", "Default caption = at end\n",
         [](const RunState& rs) { EXPECT_EQ(rs.opt().caption, "at end"); }},
        {"calendar=5\n", "", [](const RunState& rs) { EXPECT_EQ(rs.opt().kflagdef + rs.opt().cflagdef, 0); }},
        {"dotcolors=green\n", "Default dot color sequence = green\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().dotcoloflagdef, 1);
             EXPECT_EQ(rs.opt().dotcolsequence, "green");
         }},
        {"dots=3\n", "Default dot size = 3\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().dflagdef, 1);
             EXPECT_EQ(rs.opt().dotsize, 3);
         }},
        {"dots\n", "Default dot size = 1\n", [](const RunState& rs) { EXPECT_EQ(rs.opt().dotsize, 1); }},
        {"height=300\n", "Default height = 300\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().hflagdef, 1);
             EXPECT_EQ(rs.opt().height, 300);
         }},
        {"height=200\nheight 300\n",
         "[[height=200\n]]\nDefault height = 200\n[[height 300\n]]\nExpected '=' with Height "
         "qualifier in CFG file!\n"
         "Default height = 200\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().hflagdef, 0);
             EXPECT_EQ(rs.opt().height, 200);
         }},
        {"lines=30\n", "Default grid line spacing = 30 minutes\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().lflagdef, 1);
             EXPECT_EQ(rs.opt().tictime, 1800);
         }},
        {"lines\n", "Default grid line spacing = 60 minutes\n",
         [](const RunState& rs) { EXPECT_EQ(rs.opt().tictime, 3600); }},
        {"lines=99999999999\n", "Default grid line spacing = 35791394 minutes\n",
         [](const RunState& rs) { EXPECT_EQ(rs.opt().tictime, 2147483647); }},
        {"width=800\n", "Default width = 800\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().wflagdef, 1);
             EXPECT_EQ(rs.opt().width, 800);
         }},
        {"width\n", "Expected '=' with Width qualifier in CFG file!\nDefault width = 500\n",
         [](const RunState& rs) {
             EXPECT_EQ(rs.opt().wflagdef, 0);
             EXPECT_EQ(rs.opt().width, 500);
         }},
        {"zero\n", "", [](const RunState& rs) { EXPECT_EQ(rs.opt().zflagdef, 1); }},
        {"z", "", [](const RunState& rs) { EXPECT_EQ(rs.opt().zflagdef, 1); }},
        {"Zero\n;zero\n\nx\n", "[[Zero\n]]\n[[;zero\n]]\n[[\n]]\n[[x\n]]\n",
         [](const RunState& rs) { EXPECT_EQ(rs.opt().zflagdef, 0); }},
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.set_opt().movavg = 7;
        RunResult r = read_defaults(rs, c.file);
        // A one-line file echoes its line, then its messages; longer ones give it all.
        std::string body = c.messages.rfind("[[", 0) == 0
                               ? c.messages
                               : "[[" + std::string(c.file) + "]]\n" + c.messages;
        std::string want = HEAD + body + "\n";
        EXPECT_EQ(r.out, want) << c.file;
        EXPECT_EQ(r.status, -1);
        c.check(rs);
    }
}

TEST(Defaults, LongLinesStayWhole) {
    RunState rs;
    std::string text(500, 'x');
    std::string file = "caption=" + text + "\ncolors=" + text + "\n";
    RunResult r = read_defaults(rs, file.c_str());
    EXPECT_EQ(rs.opt().caption, text);
    EXPECT_EQ(rs.opt().colsequence, text);
    EXPECT_EQ(r.out, std::string(HEAD) + "[[caption=" + text + "\n]]\nDefault caption = " + text +
                         "\n[[colors=" + text + "\n]]\nDefault color sequence = " + text + "\n\n");
}

TEST(Defaults, OutputLevels) {
    const char* file = "; comment\naverage=10\nwidth\n";
    struct Case {
        int qflag, verbose;
        std::string out;
    };
    const Case cases[] = {
        {1, 0, "[[; comment\n]]\n[[average=10\n]]\n[[width\n]]\n"},
        {0, 1,
         std::string(HEAD) +
             "[[; comment\n]]\n[[average=10\n]]\naverage=10\n\nDefault Moving Average = 600\n"
             "[[width\n]]\nwidth\n\nExpected '=' with Width qualifier in CFG file!\n"
             "Default width = 500\n\n"},
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.set_opt().qflag = c.qflag;
        rs.set_opt().verbose = c.verbose;
        RunResult r = read_defaults(rs, file);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(rs.opt().movavg, 600);
        EXPECT_EQ(rs.opt().wflagdef, 0);
    }
}

TEST(Defaults, MissingFileAndDisplayMode) {
    const std::string none = "\nNo default configuration file found\n";
    struct Case {
        const char* file;
        int show, verbose;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {nullptr, 0, 0, -1, ""},
        {nullptr, 0, 1, -1, none},
        {nullptr, 1, 0, 0, none},
        {nullptr, 1, 1, 0, none},
        {"dots=2\n", 1, 0, 0, std::string(HEAD) + "[[dots=2\n]]\nDefault dot size = 2\n\n"},
        {"", 1, 0, 0, std::string(HEAD) + "\n"},
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.set_opt().verbose = c.verbose;
        RunResult r = read_defaults(rs, c.file, c.show);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
    }
}

TEST(Defaults, SetDefaultsWritesNothing) {
    for (const char* cfg : {static_cast<const char*>(nullptr), "zero\n"}) {
        TempDir dir;
        if (cfg) dir.write("TSGRAF.CFG", cfg);
        InDir in(dir.path());
        RunState rs;
        RunResult r = capture([&] { set_default_values(rs); });
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "\nSet defaults here (tbd) !\n");
        EXPECT_EQ(dir.files(),
                  cfg ? std::vector<std::string>{"TSGRAF.CFG"} : std::vector<std::string>{});
        if (cfg) {
            EXPECT_EQ(dir.read("TSGRAF.CFG"), cfg);
        }
    }
}
