#include "run/history.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

#include "core/output_files.h"
#include "harness.h"

namespace {

// The day every history test runs on: 4 March 2026, 10:20:30 UTC.
const time_t kToday = 1772619630;

// A working directory for the history files, in UTC, with a stand-in `tsgraf` first on
// PATH that writes the arguments it was given, one per line, to "replay.args".
class History : public ::testing::Test {
   protected:
    History()
        : tz_("TZ", "UTC"),
          path_("PATH", (bin_.path() + ":" + (getenv("PATH") ? getenv("PATH") : "/bin")).c_str()),
          in_(work_.path()) {
        tzset();
        bin_.write("tsgraf", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                                 work_.file("replay.args") + "'\n");
        chmod(bin_.file("tsgraf").c_str(), 0755);
        today_ = "TSGRAF_04032026.HIS";
    }

    RunResult update(RunState& rs, const std::string& hisnum, const std::string& cmds) {
        rs.clock = WallClock::fixed(kToday);
        return capture([&] { update_histfile(rs, hisnum, cmds); });
    }

    TempDir bin_, work_;
    EnvVar tz_, path_;
    InDir in_;
    std::string today_;
};

}  // namespace

TEST_F(History, NewFileOfTheDay) {
    RunState rs;
    auto r = update(rs, "a.csv", "tsgraf  a.csv --lines");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.out, "No TSGRAF History file, " + today_ + ", found\n");
    EXPECT_EQ(work_.read(today_), "  1 a.csv --lines\n");

    // Quiet runs say nothing about the new file.
    unlink(work_.file(today_).c_str());
    RunState quiet;
    quiet.set_opt().qflag = 1;
    r = update(quiet, "a.csv", "tsgraf  a.csv --quiet");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(work_.read(today_), "  1 a.csv --quiet\n");
}

TEST_F(History, NumberingCountsCommentLines) {
    const std::string before = "# morning runs\n  1 a.csv\n# afternoon\n  2 b.csv\n  3 c.csv\n";
    work_.write(today_, before);
    RunState rs;
    auto r = update(rs, "d.csv", "tsgraf   d.csv   --lines  ");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(work_.read(today_), before + "  6 d.csv --lines\n");
}

TEST_F(History, RepeatedCommandRecordedOnce) {
    struct Case {
        std::string last, cmds;
        bool recorded;
    };
    const Case cases[] = {
        {"  4 a.csv --lines", "tsgraf  a.csv --lines", false},
        {"  4 a.csv --lines\r", "tsgraf  a.csv  --lines", false},
        {"  4 tsgraf a.csv --lines", "tsgraf  a.csv --lines", false},
        {"  4 a.csv --lines", "tsgraf  a.csv --overlay", true},
        {"# a.csv --lines", "tsgraf  a.csv --lines", true},
    };
    for (const auto& c : cases) {
        const std::string before = "  1 x.csv\n" + c.last + "\n";
        work_.write(today_, before);
        RunState rs;
        auto r = update(rs, "a.csv", c.cmds);
        EXPECT_EQ(r.status, -1);
        std::string want = before;
        if (c.recorded) want += "  3 " + c.cmds.substr(8) + "\n";
        EXPECT_EQ(work_.read(today_), want) << c.last << " | " << c.cmds;
    }
}

TEST_F(History, NoHistoryAndNoLogs) {
    work_.write(today_, "  1 a.csv\n");
    RunState nohis;
    nohis.set_opt().nohistory = 1;
    auto r = update(nohis, "b.csv", "tsgraf  b.csv --nohistory");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(work_.read(today_), "  1 a.csv\n");

    // /nologs: nothing listed, replayed or recorded; a number is just a file name then.
    for (const char* hisnum : {"1", "", "b.csv"}) {
        RunState nologs;
        nologs.set_opt().iflag = 1;
        nologs.set_opt().hisflag = std::string(hisnum).empty();
        r = update(nologs, hisnum, std::string("tsgraf  ") + hisnum + " --nologs");
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(work_.read(today_), "  1 a.csv\n");
    EXPECT_FALSE(work_.exists("replay.args"));
}

TEST_F(History, Replay) {
    SKIP_ON_WINDOWS("stands a shell script in for the program on PATH");
    const std::string stand_in = bin_.file("tsgraf");
    const std::string records =
        "  1 a.csv --lines\n# second try\n  3 b.csv --caption=\"Disk rate\"\n  4 " + stand_in +
        " c.csv\n";
    work_.write(today_, records);
    work_.write("TSGRAF_01022026.HIS", "  1 old.csv --sort\n");
    struct Case {
        std::string hisnum, cmds, hisvalue;
        std::string command;  // as printed
        std::string args;     // as the stand-in received them
    };
    const Case cases[] = {
        {"1", "tsgraf  1", "", "tsgraf a.csv --lines", "a.csv\n--lines\n"},
        {"3", "tsgraf  3 --overlay --quiet", "",
         "tsgraf b.csv --caption=\"Disk rate\" --overlay --quiet",
         "b.csv\n--caption=Disk rate\n--overlay\n--quiet\n"},
        {"l", "tsgraf  l", "", stand_in + " c.csv", "c.csv\n"},
        {"L", "tsgraf  L -s", "", stand_in + " c.csv -s", "c.csv\n-s\n"},
        // Another day's file, named in another case; only what follows it is carried.
        {"1", "tsgraf  1 --lines --history=tsgraf_01022026.his --overlay", "tsgraf_01022026.his",
         "tsgraf old.csv --sort --overlay", "old.csv\n--sort\n--overlay\n"},
        {"1", "tsgraf  1 --hist=01022026", "01022026", "tsgraf old.csv --sort",
         "old.csv\n--sort\n"},
        {"1", "tsgraf  1 -G01022026 -q", "01022026", "tsgraf old.csv --sort -q",
         "old.csv\n--sort\n-q\n"},
    };
    for (const auto& c : cases) {
        unlink(work_.file("replay.args").c_str());
        RunState rs;
        rs.set_opt().hisflag = !c.hisvalue.empty();
        rs.set_opt().hisvalue = c.hisvalue;
        auto r = update(rs, c.hisnum, c.cmds);
        EXPECT_EQ(r.status, 0) << c.cmds;
        EXPECT_EQ(r.out, "Executing command:\n\n" + c.command + "\n");
        EXPECT_EQ(work_.read("replay.args"), c.args) << c.cmds;
    }
    // The replay itself is not recorded; the replayed run records what it runs.
    EXPECT_EQ(work_.read(today_), records);
}

TEST_F(History, NotAReplay) {
    work_.write(today_, "  1 a.csv\n");
    RunState rs;
    auto r = update(rs, "12.csv", "tsgraf  12.csv");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(work_.read(today_), "  1 a.csv\n  2 12.csv\n");

    // "L" in an empty file of the day has no record to run.
    work_.write(today_, "");
    RunState rl;
    r = update(rl, "L", "tsgraf  L");
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(work_.read(today_), "  1 L\n");
    EXPECT_FALSE(work_.exists("replay.args"));
}

TEST_F(History, Failures) {
    work_.write(today_, "  1 a.csv\n# 7 is not here\n  3 b.csv\n");
    RunState rs;
    auto r = update(rs, "7", "tsgraf  7 --lines");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "No tsgraf history record 7\n");

    RunState other;
    other.set_opt().hisflag = 1;
    other.set_opt().hisvalue = "01011999";
    r = update(other, "", "tsgraf  --history=01011999");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "No TSGRAF History file, TSGRAF_01011999.HIS, found\n");
    EXPECT_EQ(work_.read(today_), "  1 a.csv\n# 7 is not here\n  3 b.csv\n");
    EXPECT_FALSE(work_.exists("replay.args"));
}

TEST_F(History, FileCannotBeCreated) {
    TempDir locked;
    chmod(locked.path().c_str(), 0555);
    if (access(locked.path().c_str(), W_OK) == 0) GTEST_SKIP() << "permissions not enforced";
    InDir in(locked.path());
    RunState rs;
    rs.set_opt().qflag = 1;
    auto r = update(rs, "a.csv", "tsgraf  a.csv");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError opening new history file, " + today_ + "\n");
    chmod(locked.path().c_str(), 0755);
}

TEST_F(History, Listing) {
    const std::string content = "  1 a.csv\n# note\n  3 b.csv --lines";
    work_.write(today_, content);
    work_.write("TSGRAF_01021999.HIS", "  1 old.csv\n");
    work_.write("TSGRAF_15011999.HIS", "");
    work_.write("notes.HIS", "");

    RunState rs;
    rs.set_opt().hisflag = 1;
    auto r = update(rs, "", "tsgraf  --history");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Reading history file " + today_ + "\n\n" + content);

    std::vector<std::string> all = {"TSGRAF_01021999.HIS", "TSGRAF_15011999.HIS", today_};
    std::sort(all.begin(), all.end());
    struct Case {
        std::string hisvalue, listed;
    };
    const Case cases[] = {
        {"*", all[0] + "\n" + all[1] + "\n" + all[2] + "\n"},
        {"*1999", "TSGRAF_01021999.HIS\nTSGRAF_15011999.HIS\n"},
        {"tsgraf_*021999.his", "TSGRAF_01021999.HIS\n"},
        {"*1888", ""},
    };
    for (const auto& c : cases) {
        RunState star;
        star.set_opt().hisflag = 1;
        star.set_opt().hisvalue = c.hisvalue;
        r = update(star, "", "tsgraf  --history=" + c.hisvalue);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "Available history files:\n\n" + c.listed) << c.hisvalue;
    }
    EXPECT_EQ(work_.read(today_), content);
}

TEST_F(History, TimeOfDayMessagesReadTheRunClock) {
    RunState rs;
    rs.clock = WallClock::fixed(kToday);
    EXPECT_EQ(capture([&] { get_current_time(rs, "Ended at"); }).out, "\nEnded at 10:20:30\n");
}
