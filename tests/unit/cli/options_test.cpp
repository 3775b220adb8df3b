#include "cli/options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "base/dirswitch.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "cli/handlers.h"
#include "core/output_files.h"
#include "harness.h"

namespace {

using Check = std::function<void(const RunState&)>;
struct FormCase {
    std::vector<std::string> args;
    Check check;
};

// Every test runs in a fresh directory, since extracting opens its output file.
class OptionParsing : public ::testing::Test {
   protected:
    TempDir dir;
    InDir in{dir.path()};

    RunResult parse(RunState& rs, const std::vector<std::string>& args) {
        rs.cargv = {"tsgraf"};
        rs.cargv.insert(rs.cargv.end(), args.begin(), args.end());
        rs.cargc = static_cast<int>(rs.cargv.size());
        rs.cmdline = "CMD";
        RunResult r = capture([&] { parse_options(rs); });
        // The extract file is put in place as by a run that completes (or not).
        if (r.status == -1)
            finish_all_outputs(rs);
        else
            discard_outputs(rs);
        return r;
    }

    // Each command line must go through without a message or an end, then pass its check.
    void run_forms(const std::vector<FormCase>& cases) {
        for (const auto& c : cases) {
            RunState rs;
            std::string shown;
            for (const auto& a : c.args) shown += a + " ";
            SCOPED_TRACE(shown);
            RunResult r = parse(rs, c.args);
            EXPECT_EQ(r.status, -1) << r.out;
            c.check(rs);
        }
    }
};

// What the Windows program says first about an output directory it tries to make,
// found already there (or not to be made).
std::string tried_to_make(const std::string& dir) {
    if (!CREATES_OUTPUT_DIRECTORY) return "";
    return "\nFailed to create directory " + dir + ", may exist already\n\n";
}

}  // namespace

TEST_F(OptionParsing, ValueFormsOfStatisticsOptions) {
    std::vector<FormCase> cases = {
        {{"-a30s", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().movavg, 30);
             EXPECT_EQ(rs.opt().maonly_flag, 0);
         }},
        {{"-a30", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().movavg, 1800); }},
        {{"--average=30:0", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().movavg, 1800);
             EXPECT_EQ(rs.opt().maonly_flag, 1);
         }},
        {{"--average=30:5", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().maonly_flag, 0); }},
        {{"-a=10", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().movavg, 600); }},
        {{"--aver=5s", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().aflag, 1);
             EXPECT_EQ(rs.opt().movavg, 5);
         }},
        {{"-a", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().aflag, 1);
             EXPECT_EQ(rs.opt().movavg, 0);
         }},
        {{"--correlate=5:0.8", "a.csv", "-q"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().cflag, 5);
             EXPECT_EQ(rs.opt().corrall, 0);
             EXPECT_DOUBLE_EQ(rs.opt().corrth, 0.8);
         }},
        {{"--correlate=all", "a.csv", "-q"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().corrall, 1);
             EXPECT_DOUBLE_EQ(rs.opt().corrth, 0.65);
         }},
        {{"--correlate=0", "a.csv", "-q"}, [](auto& rs) { EXPECT_EQ(rs.opt().corrall, 1); }},
        {{"--percentile=5:95", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().pcflag, 1);
             EXPECT_EQ(rs.opt().pc1, 5);
             EXPECT_EQ(rs.opt().pc2, 95);
             EXPECT_EQ(rs.opt().nopcline, 0);
         }},
        {{"-P5:95:0", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().nopcline, 1); }},
        {{"--top", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().topflag, 1);
             EXPECT_EQ(rs.opt().topnum, 6);
             EXPECT_EQ(rs.srtflag, 1);
             EXPECT_EQ(rs.sortdim, 1);
         }},
        {{"--top=0", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().topnum, 6); }},
        {{"--top=3", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().topnum, 3); }},
        {{"--missing=p", "-m", "a.csv", "b.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().filltype, 3); }},
        {{"-Y2.5", "-m", "a.csv", "b.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().filltype, 2);
             EXPECT_DOUBLE_EQ(rs.opt().fillvalue, 2.5);
         }},
        {{"--missing", "-m", "a.csv", "b.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().filltype, 1); }},
    };
    run_forms(cases);
}

TEST_F(OptionParsing, ValueFormsOfChartOptions) {
    std::vector<FormCase> cases = {
        {{"--caption=Disk rate:SG", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().caption, "Disk rate");
             EXPECT_EQ(rs.opt().capsiz, "S");
             EXPECT_EQ(rs.opt().capcol, "G");
             EXPECT_EQ(rs.opt().kdef, 0);
         }},
        {{"--caption=a:b:c", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().caption, "a:b");
             EXPECT_EQ(rs.opt().capsiz, "C");
             EXPECT_EQ(rs.opt().capcol, "");
         }},
        {{"-kMy:chart here", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().caption, "My:chart here");
             EXPECT_EQ(rs.opt().kdef, 1);
             EXPECT_EQ(rs.opt().capsiz, "L");
             EXPECT_EQ(rs.opt().capcol, "R");
         }},
        {{"--horizontal=80", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().horiz, 50); }},
        {{"-H20", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().horiz, 20); }},
        {{"--lines=5:2:r", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().tictime, 300);
             EXPECT_EQ(rs.opt().lflagval, 1);
             EXPECT_EQ(rs.opt().thk, 2);
             EXPECT_EQ(rs.opt().lflag, LINES_RED);
         }},
        {{"-l", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().lflag, LINES_ON);
             EXPECT_EQ(rs.opt().lflagval, 0);
         }},
        {{"--dots=3:g", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().dflag, 1);
             EXPECT_EQ(rs.opt().dotsize, 3);
             EXPECT_EQ(rs.opt().dotcolor, 3);
         }},
        {{"-d", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().dotsize, 1);
             EXPECT_EQ(rs.opt().dotcolor, -1);
         }},
        {{"--scale=mi:ma:5", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().zmin, 99999998);
             EXPECT_EQ(rs.opt().zmax, -2);
         }},
        {{"--scale=10", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().zmin, 10);
         }},
        {{"--scale=0:100", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().zmin, 0);
             EXPECT_EQ(rs.opt().zmax, 100);
         }},
        {{"--zero=m", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().zmax, -2);
             EXPECT_EQ(rs.opt().zflag, 1);
         }},
        {{"--zero", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().zmax, -1); }},
        {{"-z100", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().zmax, 100); }},
        {{"--border=8", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().bflag, 8);
             EXPECT_EQ(rs.opt().bkgcolor, BKG_COMPACT);
             EXPECT_EQ(rs.opt().BORDERxval, 3);
             EXPECT_EQ(rs.opt().zflag, 1);
         }},
        {{"-b", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().bflag, 1);
             EXPECT_EQ(rs.opt().bkgcolor, BKG_GREY);
         }},
        {{"--thickness=3", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().thk, 3); }},
        {{"--threads=3", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().threads, 3); }},
        {{"-$=3", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().thk, 0); }},  // no '=' dropping
        {{"-B", "4", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().displaynum, 4); }},
        {{"--axis=right", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().axiscol, -1); }},
        {{"-W3", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().axiscol, 3); }},
        {{"--overlay=1", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().oflag, 1);
             EXPECT_EQ(rs.opt().ostyle, 1);
         }},
    };
    run_forms(cases);
}

TEST_F(OptionParsing, ValueFormsOfOutputOptions) {
    std::vector<FormCase> cases = {
        {{"--output", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().nocharts, 1); }},
        {{"--output=run1.html", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().htmfil, "run1.html");
             EXPECT_EQ(rs.opt().outfilcsv, "Y8_PEAK_run1.CSV");
             EXPECT_EQ(rs.opt().nocharts, 0);
             EXPECT_EQ(rs.opt().htmflag, 1);
         }},
        {{"-ureport", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().htmfil, "report.HTM");
             EXPECT_EQ(rs.opt().outfilcsv, "Y8_PEAK.CSV");
         }},
        {{"--pdf", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().pdfflag, 2);
             EXPECT_EQ(rs.opt().pdffile, "tsgraf.pdf");
         }},
        {{"--pdf=x:d", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().pdfflag, 1);
             EXPECT_EQ(rs.opt().pdffile, "X");
             EXPECT_EQ(rs.opt().delflag, 1);
         }},
        {{"-Q=rep.pdf", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().pdffile, "REP.PDF");
             EXPECT_EQ(rs.opt().delflag, 0);
         }},
        {{"-F=2", "a.csv", "-e"}, [](auto& rs) { EXPECT_EQ(rs.opt().format, 2); }},
        {{"--format=2", "a.csv", "-e"}, [](auto& rs) { EXPECT_EQ(rs.opt().format, 2); }},
        {{"-D4", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().precision, 4); }},
        {{"-D4", "-g", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().precision, 0); }},
        {{"-L5", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().datalinerow, 4);
             EXPECT_EQ(rs.opt().headerlinerow, 3);
         }},
        {{"-L5", "-X2", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().headerlinerow, 1); }},
        {{"-L5", "--noheader", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().headerlinerow, -1); }},
        {{"-L0", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().datalinerow, -1); }},
        {{"--samplemerge=60", "-U", "-m", "a.csv", "b.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().samplemerge, 60);
             EXPECT_EQ(rs.opt().dupflag, 1);
         }},
    };
    run_forms(cases);
}

TEST_F(OptionParsing, ExtractForms) {
    std::vector<FormCase> cases = {
        {{"-eout.csv:3", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().csv_outfil, "out.csv");
             EXPECT_EQ(rs.opt().nth, 3);
             EXPECT_EQ(rs.opt().y8hdrflag, 1);
             EXPECT_EQ(rs.opt().precision, 2);
             EXPECT_EQ(rs.opt().nocharts, 0);
         }},
        {{"-x:0", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().trimzeros, 1);
             EXPECT_EQ(rs.opt().nth, 1);
             EXPECT_EQ(rs.opt().xflag, 1);
             EXPECT_EQ(rs.opt().nocharts, 1);
         }},
        {{"-Kz.csv", "-e", "a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().csv_outfil, "z.csv");
             EXPECT_EQ(rs.opt().xflag, 1);
         }},
        {{"-e", "-Kz.csv", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().xflag, 0); }},
        {{"-S", "-x", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.srtflag, 0); }},
        {{"-a5", "-e", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().macsvflg, 1); }},
        {{"-a", "-e", "a.csv"}, [](auto& rs) { EXPECT_EQ(rs.opt().macsvflg, 0); }},
    };
    run_forms(cases);
    for (const char* f : {"out.csv", "Y8_OUT.CSV", "z.csv"}) EXPECT_TRUE(dir.exists(f)) << f;

    RunState rs;
    RunResult r = parse(rs, {"-eout.csv", "a.csv"});
    EXPECT_EQ(r.out, "Output CSV file will be out.csv\n");
    RunState quiet;
    r = parse(quiet, {"-q", "-eout.csv", "a.csv"});
    EXPECT_EQ(r.out, "CMD\n");
}

TEST_F(OptionParsing, SortForms) {
    struct Case {
        std::vector<std::string> args;
        int sortdim, srtflag, sdflag, pcflag;
    };
    const Case cases[] = {
        {{"--sort"}, 3, 1, 0, 0},
        {{"--sort=max:a"}, 6, 2, 0, 0},
        {{"--sort=max"}, 6, 1, 0, 0},
        {{"--sort=median"}, 3, 1, 0, 1},
        {{"--sort=min"}, 5, 1, 0, 0},
        {{"--sort=avg"}, 1, 1, 0, 0},
        {{"-Sp1"}, 2, 1, 0, 1},
        {{"--sort=p2:d"}, 4, 1, 0, 1},
        {{"--sort=label"}, 9, 2, 0, 0},
        {{"--sort=l:d"}, 9, 1, 0, 0},
        {{"--sort=n:a"}, 0, 2, 0, 0},
        {{"--sort=sd"}, 8, 1, 1, 0},
        {{"--sort=xyz"}, 0, 1, 0, 0},
        {{"--top=3", "--sort=max"}, 6, 1, 0, 0},
        {{"--sort=max", "--top"}, 6, 1, 0, 0},
    };
    for (const auto& c : cases) {
        RunState rs;
        std::vector<std::string> args = c.args;
        args.push_back("a.csv");
        SCOPED_TRACE(c.args[0]);
        EXPECT_EQ(parse(rs, args).status, -1);
        EXPECT_EQ(rs.sortdim, c.sortdim);
        EXPECT_EQ(rs.srtflag, c.srtflag);
        EXPECT_EQ(rs.opt().sdflag, c.sdflag);
        EXPECT_EQ(rs.opt().pcflag, c.pcflag);
    }
}

TEST_F(OptionParsing, ParameterLists) {
    // Numbers and ranges are a list at once; other text waits for the heading.
    struct Case {
        std::string arg;
        std::vector<int> list;
        std::string text, orig;
        int sortdim, srtflag;
        std::vector<int> order;
    };
    const Case cases[] = {
        {"-p1,2,3", {1, 2, 3}, "", "1,2,3", 7, 2, {0, 1, 2}},
        {"-p3,1,3,2", {1, 2, 3}, "", "3,1,3,2", 7, 2, {1, 3, 0}},
        {"--parameters=12,", {}, "12", "12", 7, 2, {0}},
        {"-p0", {}, "0", "0", 3, 0, {}},
        {"-p0,0", {}, "0", "0,0", 7, 2, {0}},  // column 0 alone: every column
        {"-p2-5", {2, 3, 4, 5}, "", "2-5", 3, 0, {}},
        {"-p5-2", {5}, "", "5-2", 3, 0, {}},
        {"--param=,cpu,", {}, " cpu", " cpu", 3, 0, {}},
        {"-p=cpu*", {}, "cpu*", "cpu*", 3, 0, {}},
    };
    for (const auto& c : cases) {
        RunState rs;
        SCOPED_TRACE(c.arg);
        EXPECT_EQ(parse(rs, {c.arg, "a.csv"}).status, -1);
        EXPECT_EQ(rs.opt().pflag, 1);
        EXPECT_EQ(rs.param_list, c.list);
        EXPECT_EQ(rs.nums_str, c.text);
        EXPECT_EQ(rs.orig_nums_str, c.orig);
        EXPECT_EQ(rs.sortdim, c.sortdim);
        EXPECT_EQ(rs.srtflag, c.srtflag);
        EXPECT_EQ(rs.orig_order, c.order);
    }

    // The last --parameters holds.
    RunState twice, back;
    parse(twice, {"-pcpu", "-p2-3", "a.csv"});
    EXPECT_EQ(twice.param_list, (std::vector<int>{2, 3}));
    parse(back, {"-p2-3", "-pcpu", "a.csv"});
    EXPECT_EQ(back.param_list, std::vector<int>{});
    EXPECT_EQ(back.nums_str, "cpu");

    // A huge range is not spelled out beyond what the parameter limit can ever select.
    RunState big;
    EXPECT_EQ(parse(big, {"-p1-2000000000", "a.csv"}).status, -1);
    EXPECT_EQ(big.param_list.size(), 20001u);
    EXPECT_EQ(big.param_list.back(), 20001);
}

TEST_F(OptionParsing, ParameterFileCountsCalculatedLines) {
    dir.write("params.lis",
              "cpu\n[CALC],a,+,b,sum\n; [CALC] in a comment\n[calc],c,*,2,double\n"
              "[Calc]|x|-|y|diff\n\n[RENAME],a,b\n");
    RunState ok;
    EXPECT_EQ(parse(ok, {"-pparams.lis", "a.csv"}).status, -1);
    EXPECT_EQ(ok.numcalcs, 3);
    EXPECT_EQ(ok.nums_str, "params.lis");
    EXPECT_EQ(ok.calc.size(), 3u);
    EXPECT_EQ(ok.sortdim, 3);

    RunState missing;
    RunResult r = parse(missing, {"-pnone.lis", "a.csv"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Cannot open file none.lis\n");
}

TEST_F(OptionParsing, RenameRewritesWildcardList) {
    RunState rs;
    EXPECT_EQ(parse(rs, {"-p*cpu*,mem", "--rename=new_&1", "a.csv"}).status, -1);
    EXPECT_EQ(rs.nums_str, "[RENAME],*cpu*,new_&1,mem");
    EXPECT_EQ(rs.opt().renameflg, 1);
    RunState single;
    parse(single, {"-p*cpu*", "-R=x&1", "a.csv"});
    EXPECT_EQ(single.nums_str, "[RENAME],*cpu*,x&1");
    RunState plain;
    RunResult r = parse(plain, {"-pcpu", "-Rx", "a.csv"});
    EXPECT_EQ(r.out, "/rename is ignored unless used with /param and wildcard expression\n");
    EXPECT_EQ(plain.opt().renameflg, 0);
}

// The consistency rules: messages in rule order, and where the run ends.
TEST_F(OptionParsing, ConsistencyRules) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
        int status;
    };
    const Case cases[] = {
        {{"a.csv", "--missing"}, "\n/missing is valid only with /merge\nignoring /missing\n", -1},
        {{"a.csv", "-c3", "-o"},
         "Cannot use /correlate and /overlay together\nignoring /correlate\n",
         -1},
        {{"a.csv", "b.csv", "-n"},
         "normalize qualifier not supported for multifile charts\nignoring /normalize\n"
         "Cannot use overlay qualifier with multifile charts\nignoring /overlay\n",
         -1},
        {{"a.csv", "-n", "-s"}, "Qualifier /normalize not supported with /Stack qualifier.\n", -1},
        {{"a.csv", "-o", "--top"},
         "Cannot use overlay qualifier with /top\nignoring /overlay\n",
         -1},
        {{"a.csv", "b.csv", "-a"},
         "Cannot use /average with multifile charts\nignoring /average\n",
         -1},
        {{"a.csv", "-a", "-o"},
         "Cannot use /average and /overlay together\nignoring /average\n",
         -1},
        {{"a.csv", "-m"},
         "No files found. Merge option can only be used with Multiple CSV files\n",
         1},
        {{"a.csv", "b.csv", "-m", "-V"},
         "\nMerge option now requires /param. Assuming /para=all \nCMD\n",
         -1},
        {{"a.csv", "-s"}, "\n/Stack qualifier ignored - not an overlay chart\n", -1},
        {{"a.csv", "-c2"}, "Correlation Threshold is 0.650000\n", -1},
        {{"a.csv", "b.csv", "-r"},
         "/rules cannot be used with Overlay or Multifile charts\n\n",
         -1},
        {{"a.csv", "-A"}, "/append requires two or more CSV files - ignoring /append\n\n", -1},
        {{"a.csv", "-F2"}, "/format is ignored unless writing out a new CSV file\n", -1},
        {{"a.csv", "-q"}, "CMD\n", -1},
        {{"a.csv", "-U"}, "/duplicates can only be used with /merge\n\n", 1},
        {{"a.csv", "--duplicates"}, "/duplicates can only be used with /merge\n\n", 1},
        {{"a.csv", "b.csv", "-x"},
         "\nWarning: extracting columns from multiple files is not supported.!\n\n",
         1},
        {{"-a"}, "No Y8 CSV file specified\n", 1},
        {{"--history"}, "", -1},
        // Several rules at once keep their order.
        {{"a.csv", "b.csv", "-a", "-r", "-c3", "--missing"},
         "\n/missing is valid only with /merge\nignoring /missing\n"
         "Cannot use /average with multifile charts\nignoring /average\n"
         "Correlation Threshold is 0.650000\n"
         "/rules cannot be used with Overlay or Multifile charts\n\n",
         -1},
    };
    for (const auto& c : cases) {
        RunState rs;
        SCOPED_TRACE(c.args.back());
        RunResult r = parse(rs, c.args);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.status, c.status);
    }
}

TEST_F(OptionParsing, RulesWithoutMessages) {
    std::vector<FormCase> cases = {
        {{"a.csv", "b.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().zflag, 1);
             EXPECT_EQ(rs.filenum, 1);
         }},
        {{"a.csv"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().zflag, 0);
             EXPECT_EQ(rs.opt().y8hdrflag, 0);
         }},
        {{"a.csv", "--sparklines", "-w300"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().width, 300);
             EXPECT_EQ(rs.opt().height, 30);
             EXPECT_EQ(rs.hi, 30);
             EXPECT_EQ(rs.opt().bkgcolor, BKG_COMPACT);
             EXPECT_EQ(rs.opt().lflag, LINES_NONE);
             EXPECT_EQ(rs.opt().zflag, 1);
         }},
        {{"a.csv", "b.csv", "-A", "-S"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().append, 1);
             EXPECT_EQ(rs.opt().nocharts, 1);
             EXPECT_EQ(rs.srtflag, 0);
         }},
        {{"a.csv", "-o", "-p3,1"}, [](auto& rs) { EXPECT_EQ(rs.srtflag, 0); }},
        {{"a.csv", "-p3,1"}, [](auto& rs) { EXPECT_EQ(rs.srtflag, 2); }},
        {{"a.csv", "-l5:1:w"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().lflag, LINES_WHITE);
             EXPECT_EQ(rs.opt().dflag, 1);
             EXPECT_EQ(rs.opt().dotcolor, 0);
             EXPECT_EQ(rs.opt().dotsize, 1);
         }},
        {{"a.csv", "-l5:1:w", "-d4:r"},
         [](auto& rs) {
             EXPECT_EQ(rs.opt().dotcolor, 1);
             EXPECT_EQ(rs.opt().dotsize, 4);
         }},
        {{"a.csv", "-call", "-S", "-q"}, [](auto& rs) { EXPECT_EQ(rs.srtflag, 0); }},
        {{"a.csv", "-q", "-V"}, [](auto& rs) { EXPECT_EQ(rs.opt().qflag, 0); }},
    };
    run_forms(cases);

    // Flags from the defaults file fill in what the command line left unset.
    RunState rs;
    rs.set_opt().kflagdef = rs.set_opt().kcflagdef = rs.set_opt().ksflagdef = rs.set_opt().aflagdef = 1;
    rs.set_opt().capcoldef = "B";
    rs.set_opt().capsizdef = "M";
    parse(rs, {"-kTitle", "a.csv"});
    EXPECT_EQ(rs.opt().aflag, 1);
    EXPECT_EQ(rs.opt().capcol, "B");
    EXPECT_EQ(rs.opt().capsiz, "M");
    RunState styled;
    styled.set_opt().kcflagdef = 1;
    styled.set_opt().capcoldef = "B";
    parse(styled, {"-kTitle:SG", "a.csv"});
    EXPECT_EQ(styled.opt().capcol, "G");
}

// An extract that a later rule refuses leaves an existing output file alone.
TEST_F(OptionParsing, RefusedExtractLeavesOutputFileAlone) {
    dir.write("keep.csv", "precious\n");
    for (auto args : std::vector<std::vector<std::string>>{
             {"a.csv", "b.csv", "-ekeep.csv"}, {"-ekeep.csv"}, {"a.csv", "-ekeep.csv", "-U"}}) {
        RunState rs;
        EXPECT_EQ(parse(rs, args).status, 1);
        EXPECT_EQ(dir.read("keep.csv"), "precious\n");
    }
}

TEST_F(OptionParsing, OutputCsvMayNotBeAnInput) {
    dir.write("a.csv", "Time,cpu\n");
    dir.write("b.csv", "Time,cpu\n");
    dir.write("set.lis", "a.csv\n");
    make_directory(dir.file("sub"));
    make_directory(dir.file("out"));
    ASSERT_TRUE(link_file(dir, "a.csv", "link.csv"));
    const std::string start = current_dir();
    struct Case {
        std::vector<std::string> args;
        std::string out, in;
    };
    const Case cases[] = {
        {{"a.csv", "-ea.csv"}, "a.csv", "a.csv"},
        {{"sub/../a.csv", "-x./a.csv"}, "./a.csv", "sub/../a.csv"},
        {{"link.csv", "-ea.csv", "-q"}, "a.csv", "link.csv"},
        {{dir.file("a.csv"), "-ea.csv", "-q"}, "a.csv", dir.file("a.csv")},
        {{"a.csv", "-Cout", "-e../a.csv", "-q"}, "../a.csv", "a.csv"},
        {{"a.csv", "b.csv", "-mb.csv"}, "b.csv", "b.csv"},
        {{"a.csv", "b.csv", "-A", "--append=b.csv"}, "b.csv", "b.csv"},
        {{"new.csv", "-Knew.csv"}, "new.csv", "new.csv"},
        {{"set.lis", "-eset.lis"}, "set.lis", "set.lis"},
    };
    for (const auto& c : cases) {
        RunState rs;
        SCOPED_TRACE(c.args[1]);
        RunResult r = parse(rs, c.args);
        EXPECT_EQ(r.status, 1);
        std::string msg =
            "\nOutput CSV file " + c.out + " is the same file as input file " + c.in + "\n";
        EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), msg.size())), msg) << r.out;
        EXPECT_EQ(dir.read("a.csv"), "Time,cpu\n");
        EXPECT_EQ(dir.read("b.csv"), "Time,cpu\n");
        EXPECT_EQ(dir.read("set.lis"), "a.csv\n");
        EXPECT_FALSE(dir.exists("new.csv"));
        EXPECT_EQ(current_dir(), start);
    }
    RunState other;
    EXPECT_EQ(parse(other, {"a.csv", "-eb2.csv"}).status, -1);
    EXPECT_TRUE(dir.exists("b2.csv"));
}

TEST_F(OptionParsing, TimeRanges) {
    struct Case {
        std::string arg;
        int status;
        std::string out;
        long long from, to;  // seconds of the day of a daily window
    };
    const std::string expects =
        "timerange expects format: /t=dd-mmm-yyyy:hh:mm,dd-mmm-yyyy:hh:mm or hh:mm,hh:mm\n";
    const Case cases[] = {
        {"--timerange=9:00,17:00", -1, "", 9 * 3600, 17 * 3600},
        {"--timerange=9:5,17:00", -1, "", 9 * 3600 + 300, 17 * 3600},
        {"--timerange=09:00,17:00", -1, "", 9 * 3600, 17 * 3600},
        {"--range=9:00:30,17:00:05", -1, "", 9 * 3600 + 30, 17 * 3600 + 5},
        {"-t0:0,23:59", -1, "", 0, 23 * 3600 + 59 * 60},
        // A start later than the end is a window over midnight, taken without a word.
        {"--time=17:00,9:00", -1, "", 17 * 3600, 9 * 3600},
        {"-t12:00:30,12:00:10", -1, "", 12 * 3600 + 30, 12 * 3600 + 10},
        {"-t25:00,17:00", 1, "Invalid /timerange syntax 25:00,17:00\n", 0, 0},
        {"-t9:60,17:00", 1, "Invalid /timerange syntax 9:60,17:00\n", 0, 0},
        {"-t9:00,17:00:61", 1, "Invalid /timerange syntax 9:00,17:00:61\n", 0, 0},
        {"-t9:00,17:00x", 1, "Invalid /timerange syntax 9:00,17:00x\n", 0, 0},
        {"-tab:cd,ef", 1, "Invalid /timerange syntax ab:cd,ef\n", 0, 0},
        {"-t900,1700", 1, expects, 0, 0},
        {"-t9:00", 1, expects, 0, 0},
    };
    for (const auto& c : cases) {
        RunState rs;
        SCOPED_TRACE(c.arg);
        RunResult r = parse(rs, {c.arg, "a.csv"});
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        if (c.status != -1) continue;
        EXPECT_EQ(rs.opt().timerange.kind, TimeRange::DAILY);
        EXPECT_EQ(rs.opt().timerange.from, c.from);
        EXPECT_EQ(rs.opt().timerange.to, c.to);
    }
    RunState spaced;
    EXPECT_EQ(parse(spaced, {"-t", "8:15,9:45", "a.csv"}).status, -1);
    EXPECT_EQ(spaced.opt().timerange.from, 8 * 3600 + 15 * 60);
    ASSERT_EQ(spaced.files.size(), 1u);
    EXPECT_EQ(spaced.files[0].datafil, "a.csv");
}

// A date range is told apart from a time of day by its '-' or '/'; ISO dates are dates.
TEST_F(OptionParsing, DateRangeIsRecognised) {
    for (const char* arg : {"-t01-Jan-2024:10:00,02-Jan-2024:10:00",
                            "-t2024-01-01T10:00,2024-01-02 10:00:00"}) {
        RunState rs;
        RunResult r = parse(rs, {arg, "a.csv"});
        EXPECT_EQ(r.status, -1) << arg;
        EXPECT_EQ(rs.opt().timerange.kind, TimeRange::DATES) << arg;
        EXPECT_EQ(rs.opt().timerange.end - rs.opt().timerange.start, 86400) << arg;
    }
}

TEST_F(OptionParsing, FileLists) {
    const std::string ABSOLUTE = WINDOWS_BUILD ? "C:\\data\\x.csv" : "/data/x.csv";
    dir.write("files.lis", "a.csv\n;old runs\nb.csv\n");
    dir.write("crlf.LIS", "; header\r\nx.csv\r\n\r\n" + std::string(100, 'n') + ".csv\r\n");
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {{"files.lis"}, {"a.csv", "b.csv"}},
        {{"-q", "files.lis", "c.csv"}, {"a.csv", "b.csv", "c.csv"}},
        {{"crlf.LIS"}, {"x.csv", std::string(100, 'n') + ".csv"}},
        {{"one.csv", "-a", "two.csv"}, {"one.csv", "two.csv"}},
        {{"c.csv", "files.lis"}, {"c.csv", "files.lis"}},
        {{ABSOLUTE, "--", "-y.csv"}, {ABSOLUTE, "-y.csv"}},
    };
    for (const auto& c : cases) {
        RunState rs;
        SCOPED_TRACE(c.args[0]);
        parse(rs, c.args);
        std::vector<std::string> names;
        for (const InputFile& f : rs.files) names.push_back(f.datafil);
        EXPECT_EQ(names, c.files);
        EXPECT_EQ(rs.filenum, static_cast<int>(c.files.size()) - 1);
        EXPECT_EQ(rs.toomanyfiles, 0);
    }
    RunState missing;
    RunResult r = parse(missing, {"nope.lis"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Input file nope.lis could not be opened\n");
}

TEST_F(OptionParsing, FileCountLimit) {
    std::vector<std::string> names;
    std::string listing;
    for (int i = 0; i < 250; ++i) {
        names.push_back("f" + std::to_string(i) + ".csv");
        listing += names.back() + "\n";
    }
    dir.write("many.lis", listing);
    struct Case {
        std::vector<std::string> args;
        std::string out;
        int filenum, toomany;
    };
    std::vector<std::string> verbose = names, quiet = names, append = names;
    verbose.push_back("-V");
    append.push_back("-A");
    const Case cases[] = {
        {verbose, "Too many CSV files!, the first 200 will be used\nCMD\n", 199, 1},
        {quiet, "", 199, 1},
        {append, "", 249, 0},
        {{"many.lis", "-V"}, "\nToo many CSV files (250)!. Max allowed is 200\n\nCMD\n", 199, 1},
        {{"many.lis"}, "", 199, 1},
    };
    for (const auto& c : cases) {
        RunState rs;
        SCOPED_TRACE(c.args.back());
        RunResult r = parse(rs, c.args);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(rs.filenum, c.filenum);
        EXPECT_EQ(rs.toomanyfiles, c.toomany);
        EXPECT_GE(rs.files.size(), static_cast<size_t>(c.filenum + 1));
        EXPECT_EQ(rs.files[c.filenum].datafil, names[c.filenum]);
    }
}

TEST_F(OptionParsing, DirectoryIsRecordedMadeWhenMissingButNotEntered) {
    make_directory(dir.file("charts"));
    const std::string start = current_dir(), sep(1, path_separators()[0]);
    RunState rs;
    RunResult r = parse(rs, {"-V", "-Ccharts", "a.csv"});
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(rs.opt().dirflag, 1);
    EXPECT_EQ(rs.opt().direcname, start + sep + "charts");
    EXPECT_EQ(rs.opt().curname, start);
    EXPECT_EQ(current_dir(), start);
    EXPECT_EQ(r.out, tried_to_make("charts") + "Current directory is " + start + sep +
                         "charts\nCurrent directory is " + start + "\nCMD\n");

    RunState made;
    r = parse(made, {"--directory=fresh", "a.csv"});
    EXPECT_EQ(r.out, "\nCreated directory fresh\n\n");
    EXPECT_EQ(made.opt().direcname, start + sep + "fresh");
    EXPECT_EQ(r.status, -1);

    RunState bad;
    r = parse(bad, {"--directory=no/where", "a.csv"});
    EXPECT_EQ(r.out, tried_to_make("no/where") + "1b Failed to switch directory to no/where\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(current_dir(), start);
}

// The way back names the starting directory in angle brackets.
TEST_F(OptionParsing, DirectorySwitchBackFailure) {
    SKIP_ON_WINDOWS("the current directory cannot be removed there");
    make_directory(dir.file("gone"));
    make_directory(dir.file("charts"));
    RunState rs;
    RunResult r;
    {
        InDir inside(dir.file("gone"));
        rmdir(dir.file("gone").c_str());
        r = parse(rs, {"-C" + dir.file("charts"), "a.csv"});
    }
    EXPECT_EQ(r.out, "1c Failed to switch directory to <>\n");
    EXPECT_EQ(r.status, -1);
}

TEST_F(OptionParsing, ExtractIntoDirectory) {
    make_directory(dir.file("out"));
    const std::string start = current_dir(), sep(1, path_separators()[0]);
    RunState rs;
    RunResult r = parse(rs, {"-V", "-Cout", "-eext.csv", "a.csv"});
    EXPECT_EQ(r.status, -1);
    EXPECT_TRUE(dir.exists("out/ext.csv"));
    EXPECT_FALSE(dir.exists("ext.csv"));
    EXPECT_EQ(current_dir(), start);
    EXPECT_EQ(r.out, tried_to_make("out") + "Current directory is " + start + sep +
                         "out\nCurrent directory is " + start +
                         "\nOutput CSV file will be ext.csv\nSwitched to " + start + sep +
                         "out\nSwitched to " + start + "\nCMD\n");

    RunState fails;
    r = parse(fails, {"-enodir/x.csv", "a.csv"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.out,
        "Output CSV file will be nodir/x.csv\n\nError opening output CSV file, nodir/x.csv\n");
}

// Help, version, the defaults requests and scanner errors end the run in the first pass.
TEST_F(OptionParsing, EarlyEnds) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out_has;
    };
    const Case cases[] = {
        {{}, 0, ""},
        {{"--help"}, 0, ""},
        {{"-?"}, 0, ""},
        {{"--?", "a.csv"}, 0, ""},
        {{"-q?"}, 0, ""},
        {{"a.csv", "-N"}, 1, "invalid option -- 'N'"},
        {{"-O", "a.csv"}, 1, "invalid option -- 'O'"},
        {{"--foo", "a.csv"}, 1, "unrecognized option '--foo'"},
        {{"a.csv", "-t"}, 1, "requires an argument -- 't'"},
        {{"a.csv", "--timerange"}, 1, "requires an argument"},
        {{"a.csv", "--h"}, 1, "ambiguous"},
        {{"a.csv", "--ver"}, 1, "ambiguous"},
        {{"a.csv", "--quiet=1"}, 1, "doesn't allow an argument"},
        {{"--bogus", "--version"}, 1, "unrecognized option '--bogus'"},
        {{"--version", "--help"}, 0, ""},
        {{"-v", "a.csv"}, 0, "\nTSGRAF Version V1.0-156\n"},
        {{"--vers"}, 0, "\nTSGRAF Version V1.0-156\n"},
        {{"-qv", "-p1", "a.csv"}, 0, "\nTSGRAF Version V1.0-156\n"},
        {{"--set_defaults"}, 0, ""},
        {{"--show_defaults", "--version"}, 0, ""},
    };
    for (const auto& c : cases) {
        RunState rs;
        SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args[0]);
        RunResult r = parse(rs, c.args);
        EXPECT_EQ(r.status, c.status) << r.out;
        if (c.out_has.empty())
            EXPECT_EQ(r.out.find("TSGRAF Version"), std::string::npos);
        else
            EXPECT_NE(r.out.find(c.out_has), std::string::npos) << r.out;
    }
    RunState rs;
    EXPECT_EQ(parse(rs, {"-v"}).out, "\nTSGRAF Version V1.0-156\n");
}

TEST_F(OptionParsing, LetterWithoutHandler) {
    for (int c : {'N', 'O', '1'}) {
        RunState rs;
        RunResult r = capture([&] { handle_option(rs, c, nullptr); });
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, std::string("Invalid option ") + static_cast<char>(c) + "\n\n");
    }
}

// Every long name is known, with its kind of value, and needs no more letters than
// it takes to tell it apart.
TEST_F(OptionParsing, LongNameTable) {
    enum Kind { NONE, REQ, OPT };
    struct Name {
        const char* name;
        Kind kind;
    };
    const Name names[] = {
        {"bar_chart", NONE},
        {"duplicates", NONE},
        {"fill", NONE},
        {"i", NONE},
        {"nologs", NONE},
        {"labels", NONE},
        {"nocharts", NONE},
        {"noheader", NONE},
        {"nohistory", NONE},
        {"nohorizontal", NONE},
        {"notimestamp", NONE},
        {"novertical", NONE},
        {"quiet", NONE},
        {"sd", NONE},
        {"sparklines", NONE},
        {"verbose", NONE},
        {"version", NONE},
        {"set_defaults", NONE},
        {"show_defaults", NONE},
        {"thickness", REQ},
        {"threads", REQ},
        {"?", NONE},
        {"help", OPT},
        {"append", OPT},
        {"average", OPT},
        {"border", OPT},
        {"displaynumber", REQ},
        {"correlate", REQ},
        {"directory", REQ},
        {"dots", OPT},
        {"decimals", OPT},
        {"extract", OPT},
        {"colors", REQ},
        {"format", REQ},
        {"nofloat", NONE},
        {"history", OPT},
        {"height", REQ},
        {"horizontal", OPT},
        {"ignore", NONE},
        {"j", OPT},
        {"constant", OPT},
        {"dotcolors", REQ},
        {"k", REQ},
        {"caption", REQ},
        {"trimzeros", OPT},
        {"lines", OPT},
        {"dataline", REQ},
        {"merge", OPT},
        {"samplemerge", REQ},
        {"normalize", NONE},
        {"overlay", OPT},
        {"parameters", REQ},
        {"percentile", OPT},
        {"pdf", OPT},
        {"rules", OPT},
        {"rename", REQ},
        {"stack", NONE},
        {"sort", OPT},
        {"range", REQ},
        {"timerange", REQ},
        {"top", OPT},
        {"u", OPT},
        {"output", OPT},
        {"V", NONE},
        {"v", NONE},
        {"width", REQ},
        {"axis", OPT},
        {"x", OPT},
        {"headerline", REQ},
        {"y", OPT},
        {"missing", OPT},
        {"zero", OPT},
        {"scale", OPT},
    };
    ASSERT_EQ(sizeof names / sizeof names[0], 73u);
    auto scanner_error = [this](const std::string& arg) {
        RunState rs;
        std::string out = parse(rs, {"a.csv", "b.csv", arg}).out;
        return out.find("tsgraf: ") != std::string::npos;
    };
    for (const auto& n : names) {
        std::string opt = std::string("--") + n.name;
        SCOPED_TRACE(opt);
        EXPECT_EQ(scanner_error(opt), n.kind == REQ);
        EXPECT_EQ(scanner_error(opt + "=1"), n.kind == NONE);
    }
    // Abbreviations: unique prefixes select, an exact name beats a longer one.
    RunState rs;
    parse(rs, {"--verb", "--param=3", "--horiz=20", "--nohoriz", "a.csv"});
    EXPECT_EQ(rs.opt().verbose, 1);
    EXPECT_EQ(rs.nums_str, "3");
    EXPECT_EQ(rs.opt().horiz, 20);
    EXPECT_EQ(rs.opt().nohoriz, 1);
    RunState exact;
    parse(exact, {"--i", "--x", "a.csv"});
    EXPECT_EQ(exact.opt().iflag, 1);
    EXPECT_EQ(exact.opt().ignoreflag, 0);
    EXPECT_EQ(exact.opt().xflag, 1);
}
