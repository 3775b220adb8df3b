#include "run/sequence.h"

#include <gtest/gtest.h>

#include "base/platform.h"
#include "core/output_files.h"
#include "harness.h"
#include "run/run_files.h"

TEST(Sequence, LimitsComeFromTheEnvironment) {
    struct Case {
        const char* maxintervals;
        const char* maxline;
        int verbose;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, 1,
         "MAXLINE=220000, MAXDATA=50000, MAXINTERVALS=50000, MAXF2LEN=15000, MAXF2OUTPAR=6\n"},
        {"100000", nullptr, 1,
         "MAXLINE=220000, MAXDATA=50000, MAXINTERVALS=100000, MAXF2LEN=15000, MAXF2OUTPAR=6\n"},
        {"abc", "5000", 1,
         "MAXLINE=5000, MAXDATA=50000, MAXINTERVALS=0, MAXF2LEN=15000, MAXF2OUTPAR=6\n"},
        {"100000", nullptr, 0, ""},
    };
    for (const auto& c : cases) {
        EnvVar a("MAXINTERVALS", c.maxintervals), b("MAXLINE", c.maxline);
        EnvVar d("MAXDATA", nullptr), e("MAXF2LEN", nullptr), f("MAXF2OUTPAR", nullptr);
        RunState rs;
        rs.set_opt().verbose = c.verbose;
        RunResult r = capture([&] { read_limits(rs); });
        EXPECT_EQ(r.out, c.expected);
    }
}

TEST(Sequence, ClosingSummaryLines) {
    struct Case {
        int cnt, numovr, dirflag, qflag, nocharts, yflag;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0,
         "\nCreated 0 Y8 charts and HTML file tsgraf.htm \n"
         "\nLook in Y8_LOG.LIS for explanation of missing charts!\n"},
        {1, 0, 0, 0, 0, 0, "\nCreated 1 Y8 chart and HTML file tsgraf.htm \n"},
        {3, 0, 1, 0, 0, 0, "\nCreated 3 Y8 charts and HTML file tsgraf.htm in directory /out\n"},
        {1, 4, 0, 0, 0, 0, "\nCreated 1 Y8 chart and HTML file tsgraf.htm with 4 graphs \n"},
        {0, 0, 0, 1, 0, 0, "\nCreated 0 Y8 charts and HTML file tsgraf.htm \n"},
        {0, 0, 0, 1, 1, 1, "Y8_CSVPARAMS.LIS contains a list of the selected parameters from "
                           "the CSV file\n"},
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.cnt = c.cnt;
        rs.numovr = c.numovr;
        rs.set_opt().dirflag = c.dirflag;
        rs.set_opt().direcname = "/out";
        rs.set_opt().qflag = c.qflag;
        rs.set_opt().nocharts = c.nocharts;
        rs.set_opt().yflag = c.yflag;
        RunResult r = capture([&] { close_and_summarise(rs); });
        EXPECT_EQ(r.out, c.expected) << c.cnt;
    }
}

TEST(Sequence, OutputFilesAreOpenedAndClosedWithTheirLines) {
    TempDir d;
    InDir in(d.path());
    RunState rs;
    rs.cmdline = "tsgraf a.csv --caption=\"<b> & c\"";
    RunResult r = capture([&] {
        print_hdrs(rs);
        close_and_summarise(rs);
    });
    EXPECT_EQ(r.out,
              "Opened output log file Y8_LOG.LIS\n"
              "\nCreated 0 Y8 charts and HTML file tsgraf.htm \n"
              "\nLook in Y8_LOG.LIS for explanation of missing charts!\n");
    EXPECT_EQ(d.files(),
              (std::vector<std::string>{"Y8_LOG.LIS", "Y8_PEAK.CSV", "Y8_PEAK.LIS", "tsgraf.htm"}));
    EXPECT_EQ(d.read("Y8_LOG.LIS"), "\nTSGRAF V1.0-156\n\n");
    // The command line is escaped on the page.
    EXPECT_EQ(d.read("tsgraf.htm"),
              "<html><title>Y8 charts of Norvale Monitor data</title><body>\n"
              "</table><br>TSGRAF V1.0-156<br>\n"
              "tsgraf a.csv --caption=&quot;&lt;b&gt; &amp; c&quot;\n"
              "</center></body></html>\n");
}

TEST(Sequence, NoLogsAndNoChartsOpenNothing) {
    TempDir d;
    InDir in(d.path());
    RunState rs;
    rs.set_opt().iflag = 1;
    rs.set_opt().nocharts = 1;
    rs.set_opt().qflag = 1;
    RunResult r = capture([&] {
        print_hdrs(rs);
        close_and_summarise(rs);
    });
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(d.files().empty());
}

TEST(Sequence, OutputDirectoryIsEnteredAndLeft) {
    TempDir d;
    InDir in(d.path());
    ASSERT_TRUE(make_directory(d.file("out")));
    RunState rs;
    rs.set_opt().dirflag = 1;
    rs.set_opt().direcname = d.file("out");
    rs.set_opt().curname = d.path();
    rs.set_opt().verbose = 1;
    RunResult r = capture([&] { print_hdrs(rs); });
    finish_all_outputs(rs);
    close_run_files(rs);
    EXPECT_EQ(r.out, "Switched to " + d.file("out") + "\nOpened output log file Y8_LOG.LIS\n" +
                         "Switched to " + d.path() + "\n");
    EXPECT_TRUE(d.exists("out/tsgraf.htm"));
    EXPECT_FALSE(d.exists("tsgraf.htm"));

    RunState bad;
    bad.set_opt().dirflag = 1;
    bad.set_opt().direcname = d.file("missing");
    bad.set_opt().curname = d.path();
    bad.set_opt().qflag = 1;
    r = capture([&] { print_hdrs(bad); });
    close_run_files(bad);
    EXPECT_EQ(r.out, "7 Failed to switch directory to " + d.file("missing") + "\n");
    EXPECT_TRUE(d.exists("Y8_LOG.LIS"));  // the run goes on in the current directory
}

TEST(Sequence, UnwritableOutputFileEndsWithError) {
    TempDir d;
    InDir in(d.path());
    ASSERT_TRUE(make_directory(d.file("tsgraf.htm")));  // a directory in the way
    RunState rs;
    rs.set_opt().qflag = 1;
    RunResult r = capture([&] { print_hdrs(rs); });
    close_run_files(rs);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "\nError opening output file, tsgraf.htm\n");
}
