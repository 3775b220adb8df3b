#include "cli/normalise.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "base/platform.h"
#include "harness.h"
#include "run/sequence.h"

namespace {

const bool SLASH_BUILD = OPTION_PREFIX[0] == '/';

// Takes "tsgraf" and args as the run does (normalising, and for a wildcard left alone,
// recording and running the command again).
RunResult normalise(RunState& rs, const std::vector<std::string>& args) {
    std::vector<std::string> store{"tsgraf"};
    store.insert(store.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& s : store) argv.push_back(s.data());
    argv.push_back(nullptr);
    return capture([&] { take_arguments(rs, static_cast<int>(store.size()), argv.data()); });
}

std::vector<std::string> normalised_args(const RunState& rs) {
    return std::vector<std::string>(rs.cargv.begin() + 1, rs.cargv.begin() + rs.cargc);
}

std::string today_history_name() {
    time_t now = time(nullptr);
    char buf[32];
    strftime(buf, sizeof buf, "TSGRAF_%d%m%Y.HIS", localtime(&now));
    return buf;
}

}  // namespace

TEST(Normalise, SplitsGluedQualifiers) {
    struct Case {
        int spaceprefix;
        std::string arg;
        std::vector<std::string> want;
    };
    const std::vector<Case> cases = {
        {0, "a.csv/par=1", {"a.csv", "/par=1"}},
        {1, "a.csv/par=1", {"a.csv/par=1"}},
        {0, "a.csv/o/par=1", {"a.csv", "/o", "/par=1"}},
        {1, "a.csv/o/par=1", {"a.csv/o/par=1"}},
        {0, "a.csv/lines/o", {"a.csv", "/lines", "/o"}},
        // With "/pa", the segments must look like qualifiers, and a last one-letter
        // segment does not: the argument stays whole.
        {0, "a.csv/par=1/o", {"a.csv/par=1/o"}},
        {0, "a.csv/par=1/lines", {"a.csv", "/par=1", "/lines"}},
        {0, "a.csv", {"a.csv"}},
        {0, "a.csv/", {"a.csv"}},
        {0, "a.csv//o", {"a.csv", "/o"}},
        // A value that holds " /" stays whole unless its segments look like qualifiers.
        {0, "a.csv/caption=Disk rate /s", {"a.csv/caption=Disk rate /s"}},
        // "/pa" that does not start a qualifier: a directory and a file name.
        {0, "logs/pa_1.csv", {"logs/pa_1.csv"}},
        // Linux: a path whose parts read as no qualifier is a path, found or not.
        {0, "logs/x.csv", SLASH_BUILD ? std::vector<std::string>{"logs", "/x.csv"}
                                      : std::vector<std::string>{"logs/x.csv"}},
        {0, "../gone/day.csv", SLASH_BUILD ? std::vector<std::string>{"..", "/gone", "/day.csv"}
                                           : std::vector<std::string>{"../gone/day.csv"}},
        // Every part a qualifier by its full name: "parameters" and "rules" included.
        {0, "a.csv/parameters=1", {"a.csv", "/parameters=1"}},
        {0, "a.csv/par=1/o/rules=r.lis", {"a.csv", "/par=1", "/o", "/rules=r.lis"}},
        {0, "a.csv/par=1/o/sdtdev", {"a.csv/par=1/o/sdtdev"}},
        // Options keep values with "/" (paths, dates) in the Linux build.
        {0, "--directory=/tmp/out", {"--directory=/tmp/out"}},
        {0, "--range=01/02/2026:9:00,02/02/2026:9:00", {"--range=01/02/2026:9:00,02/02/2026:9:00"}},
    };
    for (const auto& c : cases) {
        if (SLASH_BUILD && c.arg[0] == '-') continue;  // there "/" also starts a qualifier
        RunState rs;
        rs.spaceprefix = c.spaceprefix;
        normalise(rs, {c.arg});
        EXPECT_EQ(normalised_args(rs), c.want) << c.arg << " spaceprefix=" << c.spaceprefix;
        EXPECT_EQ(rs.cargv[0], "tsgraf");
    }
}

TEST(Normalise, SlashArgumentsByBuild) {
    // Windows: "/" starts a qualifier and is split off; Linux: it is an absolute path.
    const std::vector<std::string> slash_want = {"/par=1", "/lines"};
    const std::vector<std::string> linux_want = {"/par=1/lines"};
    RunState rs;
    normalise(rs, {"/par=1/lines"});
    EXPECT_EQ(normalised_args(rs), SLASH_BUILD ? slash_want : linux_want);

    if (SLASH_BUILD) return;
    RunState rs2;
    normalise(rs2, {"/data/day 1.csv", "/srv/b.csv"});
    EXPECT_EQ(normalised_args(rs2), (std::vector<std::string>{"/data/day 1.csv", "/srv/b.csv"}));
}

TEST(Normalise, ExistingPathsStayWhole) {
    TempDir dir;
    make_directory(dir.file("logs"));
    dir.write("logs/x.csv", "x\n");
    InDir in(dir.path());
    RunState rs;
    normalise(rs, {"logs/x.csv", "logs"});
    EXPECT_EQ(normalised_args(rs), (std::vector<std::string>{"logs/x.csv", "logs"}));
}

TEST(Normalise, CheckIfLegit) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"/par=1", 1},      {"/o", 0},
        {"/par=1/o", 0},    {"/o/par=1", 1},
        {"/xyz=1", 0},      {"/AVER=5", 1},
        {"/nohisXYZ", 1},   {"a.csv", 0},
        {"a.csv/par=1", 1}, {"/sd", 1},
        {"/zz", 0},         {"", 0},
        {"/top=3/zz", 1},   {"/caption=Disk rate /s", 0},
        // Every long name is known, and only long names: these were once missing...
        {"/rules", 1},      {"/missing=0", 1},
        {"/timerange=x", 1}, {"/sample=60", 1},
        {"/bar_chart", 1},  {"/nofloat", 1},
        {"/labels", 1},     {"/x=3", 1},
        // ...and this a misspelt name that began no option.
        {"/sdtdev", 0},
    };
    for (const auto& [arg, want] : cases) EXPECT_EQ(check_if_legit(arg), want) << arg;
}

TEST(Normalise, PrintableAndHistoryForms) {
    struct Case {
        std::vector<std::string> args;
        std::string cmdline, ocmdline_linux, ocmdline_slash;
    };
    const std::vector<Case> cases = {
        {{"a.csv/par=1/lines"},
         "tsgraf a.csv /par=1 /lines",
         "tsgraf  a.csv/par=1/lines",
         "tsgraf  a.csv/par=1/lines"},
        {{"a.csv", "/par=1", "/o"},
         "tsgraf a.csv /par=1 /o",
         "tsgraf  a.csv /par=1 /o",
         "tsgraf  a.csv/par=1/o"},
        {{"a.csv", "--caption=Disk rate", "--lines"},
         "tsgraf a.csv --caption=\"Disk rate\" --lines",
         "tsgraf  a.csv --caption=\"Disk rate\" --lines",
         "tsgraf  a.csv ^\"--caption=Disk rate^\" --lines"},
        {{"my data.csv"},
         "tsgraf my data.csv",
         "tsgraf  \"my data.csv\"",
         "tsgraf  ^\"my data.csv^\""},
        // The history form is replayed through the shell: nothing in it may run there.
        {{"a.csv", "--caption=$(touch X)", "-p", "CPU*"},
         "tsgraf a.csv --caption=\"$(touch X)\" -p CPU*",
         "tsgraf  a.csv --caption='$(touch X)' -p 'CPU*'",
         "tsgraf  a.csv ^\"--caption=$^(touch X^)^\" -p ^\"CPU*^\""},
    };
    for (const auto& c : cases) {
        RunState rs;
        auto r = normalise(rs, c.args);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(rs.cmdline, c.cmdline);
        EXPECT_EQ(rs.ocmdline, SLASH_BUILD ? c.ocmdline_slash : c.ocmdline_linux);
    }
}

TEST(Normalise, NoArgumentVectorAtAll) {
    RunState rs;
    char* argv[] = {nullptr};
    StdinFrom answers("quit\n");  // no arguments: the questions are asked
    auto r = capture([&] { take_arguments(rs, 0, argv); });
    EXPECT_EQ(r.status, 0);
    ASSERT_GE(rs.cargv.size(), 1u);
    EXPECT_EQ(rs.cargv[0], "tsgraf");
    EXPECT_EQ(rs.cmdline, "tsgraf");
}

// A wildcard glued to a qualifier is run again through the shell, which now expands it;
// the re-run is told not to record itself, the command as typed is recorded once.
TEST(Normalise, WildcardRerun) {
    SKIP_ON_WINDOWS("stands a shell script in for the program on PATH");
    EnvVar tz("TZ", "UTC");
    tzset();
    TempDir bin, work;
    const std::string argsfile = work.file("rerun.args");
    bin.write("tsgraf",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + argsfile + "'\n");
    chmod(bin.file("tsgraf").c_str(), 0755);
    const char* path = getenv("PATH");
    EnvVar p("PATH", (bin.path() + ":" + (path ? path : "/usr/bin:/bin")).c_str());
    work.write("b.csv", "");
    work.write("a.csv", "");
    InDir in(work.path());

    RunState rs;
    auto r = normalise(rs, {"*.csv/par=1", "--caption=$(touch X) `touch Y`"});
    const std::string his = today_history_name();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "No TSGRAF History file, " + his + ", found\n");
    EXPECT_EQ(work.read(his), "  1 '*.csv/par=1' --caption='$(touch X) `touch Y`'\n");
    const std::string nohis = SLASH_BUILD ? "/nohis" : "--nohistory";
    EXPECT_EQ(rs.cmdline, "tsgraf *.csv /par=1 --caption=\"$(touch X) `touch Y`\" " + nohis);
    // Only the wildcard is expanded by the shell; the caption arrives as it was given.
    EXPECT_EQ(work.read("rerun.args"),
              "a.csv\nb.csv\n/par=1\n--caption=$(touch X) `touch Y`\n" + nohis + "\n");
    EXPECT_FALSE(work.exists("X"));
    EXPECT_FALSE(work.exists("Y"));
}

// When nothing was split off the wildcard (SPACEPREFIX, or an argument kept whole), a
// re-run would see the same command again and start itself without end.
TEST(Normalise, NoRerunWithoutSplit) {
    TempDir work;
    work.write("a.csv", "");
    InDir in(work.path());
    struct Case {
        int spaceprefix;
        std::string arg;
    };
    const Case cases[] = {{1, "*.csv/par=1"}, {0, "*.csv/par=1/o"}};
    for (const auto& c : cases) {
        RunState rs;
        rs.spaceprefix = c.spaceprefix;
        auto r = normalise(rs, {c.arg});
        EXPECT_EQ(r.status, -1) << c.arg;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(rs.cmdline, "tsgraf " + c.arg);
    }
    EXPECT_EQ(work.files(), std::vector<std::string>{"a.csv"});
}
