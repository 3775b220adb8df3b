#include "stats/listing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "export/sorted_extract.h"
#include "grid.h"
#include "harness.h"
#include "run/chart_pass.h"
#include "stats/statistics.h"

namespace {

// The peak listing, peak CSV, log and extract files of a run, opened in a fresh folder.
struct RunFiles {
    TempDir dir;
    void open(RunState& rs, bool extract = false) {
        rs.outfp = fopen(dir.file("Y8_PEAK.LIS").c_str(), "wb");
        rs.outfp_csv = fopen(dir.file("Y8_PEAK.CSV").c_str(), "wb");
        rs.logfp = fopen(dir.file("Y8_LOG.LIS").c_str(), "wb");
        if (extract) rs.outcsvfp = fopen(dir.file("Y8_OUT.CSV").c_str(), "wb");
    }
    void close(RunState& rs) {
        for (FILE** fp : {&rs.outfp, &rs.outfp_csv, &rs.logfp, &rs.outcsvfp}) {
            if (*fp) fclose(*fp);
            *fp = nullptr;
        }
    }
    std::string read(const char* name) const { return dir.read(name); }
};

// Left-aligned in the 36-wide name column, and right-aligned in a width.
std::string L(const std::string& s) {
    return s + std::string(36 - s.size(), ' ');
}
std::string R(const std::string& s, size_t w) {
    return std::string(w > s.size() ? w - s.size() : 0, ' ') + s;
}

// The unsorted pass as the run sequence makes it, without charts.
void list_unsorted(RunState& rs) {
    ParamStats st;
    for (int w = 0; w < rs.numpar; ++w) {
        setup_min_max(rs, w, st);
        int skipped = calc_stats(rs, w, st) == -1 || (rs.filenum >= 1 && st.multi_const);
        if (w == 0) print_list_hdrs(rs);
        print_vals(rs, st, w, skipped);
    }
}

// The first pass of a sorted run, the Others label, then the sorted run.
void list_sorted(RunState& rs) {
    ParamStats st;
    for (int w = 0; w < rs.numpar; ++w) {
        setup_min_max(rs, w, st);
        calc_stats(rs, w, st);
        assign_pdata(rs, st, w);
    }
    rs.srtpass = 1;
    if (rs.opt().topflag) {
        rs.xlabel[rs.numpar + 1] = strfmt("Others (%d)", rs.numpar - top_shown(rs));
    }
    sorted_pass(rs, st);
}

struct Listing {
    std::string screen, lis, csv, log, extract;
};

Listing run_listing(RunState& rs, void (*pass)(RunState&), bool extract = false) {
    RunFiles files;
    files.open(rs, extract);
    RunResult r = capture([&] { pass(rs); });
    EXPECT_EQ(r.status, -1);
    files.close(rs);
    Listing l{r.out, files.read("Y8_PEAK.LIS"), files.read("Y8_PEAK.CSV"), files.read("Y8_LOG.LIS"),
              ""};
    if (extract) l.extract = files.read("Y8_OUT.CSV");
    return l;
}

std::string head(size_t min, size_t avg, size_t max, const std::string& time) {
    return "\n  # " + L("Parameter Name") + " " + R("Min", min) + " " + R("Avg", avg) + " " +
           R("Max", max) + " " + time;
}

}  // namespace

TEST(Listing, OneParameterWidthsFollowItsTexts) {
    RunState rs = make_grid({{{100.5, 123456789.12, 2000}}}, {"Bytes/sec"});
    rs.fp_nums[1] = 1;
    rs.end_d = "02-JAN-2024";  // two days: the date is shown
    Listing l = run_listing(rs, list_unsorted);
    EXPECT_EQ(l.screen, head(8, 8, 9, "          MaxTime") + "\n\n" + "  1 " + L("Bytes/sec") +
                            "   100.50 41152963.21 123456789.12 01-JAN-2024 00:01 \n");
    EXPECT_EQ(l.lis, head(10, 10, 11, "          MaxTime") + "\n\n" + "  1 " + L("Bytes/sec") +
                         "     100.50   41152963.21   123456789.12 01-JAN-2024 00:01 \n");
    EXPECT_EQ(l.csv,
              "#,Parameter Name,Min,Avg,Max,MaxTime\n"
              "1,Bytes/sec,100.50,41152963.21,123456789.12,01-JAN-2024 00:01\n");
    EXPECT_EQ(l.log, "");
}

TEST(Listing, OneDayRunWithDeviationPercentilesAndPeak) {
    RunState rs =
        make_grid({{{10, 20, 30, 40, 50, 60}, {7, 7, 9, 8, 9, 1}}}, {"CPU Busy", "Free Pages"});
    rs.fp_nums[1] = 1;
    rs.set_opt().sdflag = 1;
    rs.set_opt().pcflag = 1;
    rs.p1.assign(4, 0);
    rs.p2.assign(4, 0);
    rs.median.assign(4, 0);
    rs.set_opt().aflag = 1;
    rs.ma_samples = 2;
    Listing l = run_listing(rs, list_unsorted);

    std::string extra = "   StdDev    P10.0    Median   P90.0    Peak \n\n";
    std::string a_tail = "    18.71     10.00    35.00    60.00    00:04 \n";
    std::string b_tail = "     2.99      1.00     7.50     9.00    00:02 \n";
    EXPECT_EQ(l.screen, head(8, 8, 9, "MaxTime") + extra + "  1 " + L("CPU Busy") +
                            "    10.00    35.00    60.00   00:05" + a_tail + "  2 " +
                            L("Free Pages") + "     1.00     6.83     9.00   00:04" + b_tail);
    EXPECT_EQ(l.lis, head(10, 10, 11, "MaxTime") + extra + "  1 " + L("CPU Busy") +
                         "      10.00      35.00      60.00   00:05" + a_tail + "  2 " +
                         L("Free Pages") + "       1.00       6.83       9.00   00:04" + b_tail);
    EXPECT_EQ(l.csv,
              "#,Parameter Name,Min,Avg,Max,MaxTime,StdDev,  P10.0  ,Median,  P90.0  ,Peak\n"
              "1,CPU Busy,10.00,35.00,60.00,01-JAN-2024 00:05,18.71,10.00,35.00,60.00,"
              "01-JAN-2024 00:04\n"
              "2,Free Pages,1.00,6.83,9.00,01-JAN-2024 00:04,2.99,1.00,7.50,9.00,"
              "01-JAN-2024 00:02\n");
}

TEST(Listing, SkippedConstantParameterEndsInNochart) {
    struct Case {
        int nocharts;
        const char* note;
    };
    for (const Case& c : {Case{0, " Nochart\n"}, Case{1, " \n"}}) {
        RunState rs = make_grid({{{1, 2, 3}, {3, 3, 3}}}, {"Varying", "Const"});
        rs.set_opt().nocharts = c.nocharts;
        Listing l = run_listing(rs, list_unsorted);
        std::string line2 = "  2 " + L("Const") + "     3.00     3.00     3.00   00:02";
        EXPECT_NE(l.screen.find(line2 + c.note), std::string::npos) << l.screen;
        EXPECT_NE(
            l.lis.find("  2 " + L("Const") + "       3.00       3.00       3.00   00:02" + c.note),
            std::string::npos)
            << l.lis;
        EXPECT_NE(l.csv.find("\n2,Const,3.00,3.00,3.00,01-JAN-2024 00:02\n"), std::string::npos);
        EXPECT_EQ(l.log, "2, Data is constant = 3.000000, skipping chart for Const\n");
    }
}

TEST(Listing, SortByMaximumAscendingSizesColumnsFromTheLastRow) {
    RunState rs = make_grid({{{1, 5}, {100, 123456789}, {3, 250}}});
    rs.srtflag = SORT_ASCENDING;
    rs.sortdim = SORT_MAXIMUM;
    Listing l = run_listing(rs, list_sorted);
    // Row of the largest maximum: max "123456789.00" gives 9, the others stay 8.
    EXPECT_EQ(l.screen, head(8, 8, 10, "MaxTime") + "\n\n" + "  1 " + L("P1") +
                            "     1.00     3.00      5.00   00:01 \n" + "  3 " + L("P3") +
                            "     3.00   126.50    250.00   00:01 \n" + "  2 " + L("P2") +
                            "   100.00 61728444.50 123456789.00   00:01 \n");
    EXPECT_EQ(l.csv,
              "#,Parameter Name,Min,Avg,Max,MaxTime\n"
              "1,P1,1.00,3.00,5.00,01-JAN-2024 00:01\n"
              "3,P3,3.00,126.50,250.00,01-JAN-2024 00:01\n"
              "2,P2,100.00,61728444.50,123456789.00,01-JAN-2024 00:01\n");
}

TEST(Listing, SortByLabelsKeepsEqualLabelsInSelectionOrder) {
    RunState rs = make_grid({{{1, 2}, {3, 4}, {5, 7}, {8, 9}}}, {"disk", "cpu", "disk", "Zeta"});
    rs.srtflag = SORT_ASCENDING;
    rs.sortdim = SORT_LABEL;
    Listing l = run_listing(rs, list_sorted);
    EXPECT_EQ(l.csv,
              "#,Parameter Name,Min,Avg,Max,MaxTime\n"
              "4,Zeta,8.00,8.50,9.00,01-JAN-2024 00:01\n"
              "2,cpu,3.00,3.50,4.00,01-JAN-2024 00:01\n"
              "1,disk,1.00,1.50,2.00,01-JAN-2024 00:01\n"
              "3,disk,5.00,6.00,7.00,01-JAN-2024 00:01\n");
}

TEST(Listing, TopThreeOfTenWithTheOthersSeries) {
    std::vector<std::vector<double>> params;
    for (int k = 1; k <= 10; ++k) {
        std::vector<double> s;
        for (int r = 0; r < 5; ++r) s.push_back(k * 10 + r);
        params.push_back(s);
    }
    params[0][2] = NAN;  // Others sums the values present
    params[7][1] = NAN;  // P8 lists and exports without it
    RunState rs = make_grid({params});
    rs.set_opt().topflag = 1;
    rs.set_opt().topnum = 3;
    rs.srtflag = SORT_DESCENDING;
    rs.sortdim = SORT_AVERAGE;
    rs.set_opt().eflag = 1;
    Listing l = run_listing(rs, list_sorted, true);
    EXPECT_EQ(l.csv,
              "#,Parameter Name,Min,Avg,Max,MaxTime\n"
              "10,P10,100.00,102.00,104.00,01-JAN-2024 00:04\n"
              "9,P9,90.00,92.00,94.00,01-JAN-2024 00:04\n"
              "8,P8,80.00,82.25,84.00,01-JAN-2024 00:04\n"
              "0,Others (7),280.00,291.60,308.00,01-JAN-2024 00:04\n");
    EXPECT_EQ(l.screen, head(8, 8, 9, "MaxTime") + "\n\n" + " 10 " + L("P10") +
                            "   100.00   102.00   104.00   00:04 \n" + "  9 " + L("P9") +
                            "    90.00    92.00    94.00   00:04 \n" + "  8 " + L("P8") +
                            "    80.00    82.25    84.00   00:04 \n" + "  0 " + L("Others (7)") +
                            "   280.00   291.60   308.00   00:04 \n");
    EXPECT_EQ(l.extract,
              "Sample Time,P10,P9,P8,Others (7)\n"
              "01-JAN-2024 00:00:00,100.00,90.00,80.00,280.00\n"
              "01-JAN-2024 00:01:00,101.00,91.00,,287.00\n"
              "01-JAN-2024 00:02:00,102.00,92.00,82.00,282.00\n"
              "01-JAN-2024 00:03:00,103.00,93.00,83.00,301.00\n"
              "01-JAN-2024 00:04:00,104.00,94.00,84.00,308.00\n");
    EXPECT_EQ(rs.cnt, 4);
}

TEST(Listing, SortxIsStableInBothDirections) {
    struct Case {
        SortKey idx;
        SortOrder dir;
        std::vector<int> order;
    };
    const Case cases[] = {
        {SORT_AVERAGE, SORT_DESCENDING, {1, 3, 0, 2, 4}},  // equal keys keep their order
        {SORT_AVERAGE, SORT_ASCENDING, {4, 0, 2, 1, 3}},
        {SORT_LABEL, SORT_DESCENDING, {1, 3, 0, 2, 4}},
        {SORT_LABEL, SORT_ASCENDING, {4, 0, 2, 1, 3}},
    };
    const double keys[] = {3, 5, 3, 5, 1};
    const char* names[] = {"m", "x", "m", "x", "a"};
    for (const Case& c : cases) {
        std::vector<ListingRow> rows(5);
        for (int i = 0; i < 5; ++i) {
            rows[i].number = i;
            rows[i].average = keys[i];
            rows[i].parnam = names[i];
        }
        sortx(rows, 5, c.idx, c.dir);
        std::vector<int> got;
        for (const ListingRow& d : rows) got.push_back(static_cast<int>(d.number));
        EXPECT_EQ(got, c.order) << c.idx << " " << c.dir;
    }
}

TEST(Listing, SeveralFilesAndOverlayChartsListChartNamesOnly) {
    struct Case {
        int filenum, oflag, multi_const, qflag;
        const char* expected;
    };
    const Case cases[] = {
        {1, 0, 0, 0, "   1 Multifile PNG file P1.png created\n"},
        {1, 0, 1, 0, "   1 P1, Constant data, skipping chart\n"},
        {0, 1, 0, 0, "   1 Overlay PNG file P1.png created\n"},
        {1, 0, 0, 1, ""},
    };
    for (const Case& c : cases) {
        RunState rs = make_grid({{{1, 2}}});
        ParamStats st;
        rs.filenum = c.filenum;
        rs.set_opt().oflag = c.oflag;
        st.multi_const = c.multi_const;
        rs.set_opt().qflag = c.qflag;
        rs.outpng = "P1.png";
        RunFiles files;
        files.open(rs);
        RunResult r = capture([&] { print_vals(rs, st, 0, 0); });
        files.close(rs);
        EXPECT_EQ(r.out, c.expected);
        EXPECT_EQ(files.read("Y8_PEAK.LIS"), "");
        EXPECT_EQ(files.read("Y8_PEAK.CSV"), "");
    }
}

TEST(Listing, CorrelationColumnAndThreshold) {
    struct Case {
        double coef;
        const char* csv;
    };
    const Case cases[] = {
        {0.874,
         "#,Parameter Name,Min,Avg,Max,MaxTime,Correlation\n"
         "1,P1,1.00,1.50,2.00,01-JAN-2024 00:01,0.87\n"},
        {0.5, "#,Parameter Name,Min,Avg,Max,MaxTime,Correlation\n"},
    };
    for (const Case& c : cases) {
        RunState rs = make_grid({{{1, 2}}});
        ParamStats st;
        rs.set_opt().cflag = 3;
        RunFiles files;
        files.open(rs);
        capture([&] {
            setup_min_max(rs, 0, st);
            calc_stats(rs, 0, st);
            st.corrcoef = c.coef;
            print_list_hdrs(rs);
            print_vals(rs, st, 0, 0);
        });
        files.close(rs);
        EXPECT_EQ(files.read("Y8_PEAK.CSV"), c.csv);
    }
}

TEST(Listing, MovingAverageExportKeepsItsDecimals) {
    ParamStats st;
    RunState rs = make_grid({{{0.25, 0.75, 0.25, 0.75, 0.25}, {1, 2, 3, 4, 5}}});
    rs.set_opt().aflag = 1;
    rs.ma_samples = 2;
    rs.set_opt().macsvflg = 1;
    rs.set_opt().nth = 2;
    for (int w = 0; w < rs.numpar; ++w) {
        setup_min_max(rs, w, st);
        calc_stats(rs, w, st);
    }
    TempDir dir;
    rs.outcsvfp = fopen(dir.file("Y8_OUT.CSV").c_str(), "wb");
    write_ma_csv(rs);
    EXPECT_EQ(rs.outcsvfp, nullptr);
    EXPECT_EQ(dir.read("Y8_OUT.CSV"),
              "01-JAN-2024 00:00:00,0.25,1.00\n"
              "01-JAN-2024 00:02:00,0.50,2.50\n"
              "01-JAN-2024 00:04:00,0.50,4.50\n");
}
