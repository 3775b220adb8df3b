#include "input/foreign.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "base/platform.h"
#include "harness.h"
#include "loaded_run.h"

namespace {

const time_t JAN15_2008 = 1200355200;  // 15-JAN-2008 00:00:00 UTC

// A file opened for reading, closed at the end of the test.
struct OpenFile {
    FILE* fp;
    explicit OpenFile(const std::string& path) : fp(fopen(path.c_str(), "rb")) {}
    ~OpenFile() {
        if (fp) fclose(fp);
    }
};

// What is left of a file once the block reader has returned.
std::string rest_of(FILE* fp) {
    std::string s;
    int c;
    while ((c = fgetc(fp)) != EOF) s += static_cast<char>(c);
    return s;
}

// State for reading file k (of `files`): the files as yet unsurveyed.
void size_tables(RunState& rs, int files) {
    rs.filenum = files - 1;
    rs.files.assign(static_cast<size_t>(files), InputFile{});
}

}  // namespace

TEST(Format2Block, JoinsTheNamesOfEveryLine) {
    struct Case {
        const char* what;
        std::string block;  // lines after the start marker
        int files;
        int suppress;
        int cflag;
        int returned;
        std::string heading;
        std::string printed;
    };
    const std::string end = "$$$ END COLUMN HEADERS $$$\n";
    const Case cases[] = {
        {"three lines of 4, 5 and 3 names",
         "Sample Time,a1,a2,a3,a4\nb1,b2,b3,b4,b5\nc1,c2,c3\n" + end, 1, 1, 0, 4,
         "Sample Time,a1,a2,a3,a4,b1,b2,b3,b4,b5,c1,c2,c3", ""},
        {"names are trimmed", "  Sample Time  ,  CPU Busy ,\tFree List  \r\n" + end, 1, 0, 0, 2,
         "Sample Time,CPU Busy,Free List",
         "1\tCPU Busy\n2\tFree List\nFormat 2: 2 parameters in x.csv\n"},
        {"a closing comma with blanks is no column", "Sample Time,A, \nB,C , \n" + end, 1, 0, 0, 3,
         "Sample Time,A,B,C", "1\tA\n2\tB\n3\tC\nFormat 2: 3 parameters in x.csv\n"},
        {"one name", "Time,Only\n" + end, 1, 0, 0, 2, "Time,Only",
         "1\tOnly\nFormat 2: 1 parameter in x.csv\n"},
        {"the correlation parameter may open a line", "Time,A,B\nC,D\n" + end, 1, 1, 3, 3,
         "Time,A,B,C,D", ""},
        {"the block ends at the end of the file", "Time,A\nB\n", 1, 1, 0, 2, "Time,A,B", ""},
        {"later files of several keep their names", "Time,A\nB\n" + end, 2, 1, 2, 3, "Time,A,B", ""},
    };
    for (const auto& c : cases) {
        TempDir d;
        bool marked = c.block.find("$$$ END") != std::string::npos;
        d.write("b", c.block + (marked ? "01-JAN-2008 10:00:00,1,2\n" : ""));
        RunState rs;
        size_tables(rs, c.files);
        int k = c.files - 1;
        rs.files[static_cast<size_t>(k)].datafil = "x.csv";
        rs.set_opt().cflag = c.cflag;
        if (c.files > 1) alloc_fileparams_space(rs);
        std::string ln;
        std::string newline;
        OpenFile in(d.file("b"));
        int got = 0;
        RunResult r =
            capture([&] { got = read_format2_headers(rs, k, newline, in.fp, c.suppress, ln); });
        ASSERT_EQ(r.status, -1) << c.what << r.out;
        EXPECT_EQ(got, c.returned) << c.what;
        EXPECT_EQ(ln, c.heading) << c.what;
        EXPECT_EQ(r.out, c.printed) << c.what;
        int names = count_cols(c.heading);
        EXPECT_EQ(rs.files[static_cast<size_t>(k)].fileparamnums, names) << c.what;
        EXPECT_EQ(rs.numcol, k == 0 ? names : 0) << c.what;
        if (c.files > 1) {
            EXPECT_EQ(rs.fileparams[1][0], "A") << c.what;
            EXPECT_EQ(rs.fileparams[1][1], "B") << c.what;
        }
        // The reader stops right after the end marker, which it hands back.
        if (!marked) {
            EXPECT_EQ(newline, "B") << c.what;
        } else {
            EXPECT_EQ(newline, "$$$ END COLUMN HEADERS $$$") << c.what;
            EXPECT_EQ(rest_of(in.fp), "01-JAN-2008 10:00:00,1,2\n") << c.what;
        }
    }
}

TEST(Format2Block, CountLineGoesToTheLogEvenWhenSuppressed) {
    TempDir d;
    d.write("b", "Time,A,B\n$$$ END COLUMN HEADERS $$$\n");
    struct Case {
        int iflag, qflag, suppress;
        const char* screen;
        const char* log;
    };
    const Case cases[] = {
        {0, 0, 1, "", "Format 2: 2 parameters in x.csv\n"},
        {0, 1, 0, "1\tA\n2\tB\n", "Format 2: 2 parameters in x.csv\n"},
        {1, 0, 0, "1\tA\n2\tB\nFormat 2: 2 parameters in x.csv\n", ""},
    };
    for (const auto& c : cases) {
        RunState rs;
        size_tables(rs, 1);
        rs.files[0].datafil = "x.csv";
        rs.set_opt().iflag = c.iflag;
        rs.set_opt().qflag = c.qflag;
        rs.logfp = fopen(d.file("log").c_str(), "wb");
        std::string ln;
        std::string newline;
        OpenFile in(d.file("b"));
        RunResult r = capture([&] { read_format2_headers(rs, 0, newline, in.fp, c.suppress, ln); });
        fclose(rs.logfp);
        EXPECT_EQ(r.out, c.screen);
        EXPECT_EQ(d.read("log"), c.log);
    }
}

TEST(Format2Block, LineThatFillsTheBufferEndsTheRun) {
    struct Case {
        std::string line;  // with its new-line
        bool refused;
        const char* hint;  // the Windows program's advice
    };
    // With a limit of 40 a line, its new-line included, must be shorter than 39.
    const Case cases[] = {
        {"Time,A,B," + std::string(29, 'C') + "\n", true, "Try: SET MAXF2LEN=139\n"},  // 39
        {"Time,A,B," + std::string(28, 'C') + "\n", false, ""},                          // 38
        {"Time,A,B," + std::string(28, 'C') + "\r\n", true, "Try: SET MAXF2LEN=139\n"},
        {"Time,A,B," + std::string(500, 'C') + "\n", true, "Try: SET MAXF2LEN=610\n"},
    };
    for (const auto& c : cases) {
        TempDir d;
        d.write("b", c.line + "$$$ END COLUMN HEADERS $$$\n");
        RunState rs;
        size_tables(rs, 1);
        rs.files[0].datafil = "x.csv";
        rs.format2maxlen = 40;
        std::string ln;
        std::string newline;
        OpenFile in(d.file("b"));
        RunResult r = capture([&] { read_format2_headers(rs, 0, newline, in.fp, 1, ln); });
        if (c.refused) {
            EXPECT_EQ(r.status, 1) << c.line;
            EXPECT_EQ(r.out, "Y8 Format2 line exceeds max tsgraf length of 40.\n" +
                                 std::string(SHOWS_LINE_LIMIT_HINT ? c.hint : ""));
        } else {
            EXPECT_EQ(r.status, -1) << c.line << r.out;
        }
    }
}

namespace {

struct Rewrite {
    TempDir dir;
    InDir in{dir.path()};
    EnvVar tz{"TZ", "UTC"};
    RunState rs;
    std::string ln;
    RunResult result;

    Rewrite() {
        tzset();
        size_tables(rs, 1);
    }
    // Runs the rewrite of file 0 named `name`, whose heading is line `heading` (0-based).
    RunResult run(const std::string& name, const std::string& text, int heading) {
        dir.write(name, text);
        rs.files[0].datafil = name;
        rs.files[0].paraline = heading;
        rs.files[0].firstdataline = heading + 1;
        rs.files[0].y8format = LAYOUT_TAB;
        OpenFile f(name);
        return result = capture([&] { rewrite_format_3(rs, 0, f.fp, ln); });
    }
};

}  // namespace

TEST(Format3, RewritesThePlotFileAsAY8File) {
    Rewrite w;
    w.dir.write("peak", "");
    w.rs.outfp = fopen("peak", "wb");
    w.run("node.tab",
          "merovand run 7\n"
          "# host alpha\n"
          "#Date Time CPU   Free\tDisk\n"
          "20080115 10:20:30 1.5 100 7\n"
          "\n"
          "# a comment between samples\n"
          "20080115 10:21:30 2.5  200 8\r\n"
          "20080115 10:22:30 3.5 300 9",
          2);
    fclose(w.rs.outfp);
    ASSERT_EQ(w.result.status, -1) << w.result.out;
    EXPECT_EQ(w.result.out,
              "Y8 format CSV file will be node_NEW.CSV\n"
              "length = 23\n"
              "node_NEW.CSV created in Y8 CSV format\n");
    EXPECT_EQ(w.dir.read("node_NEW.CSV"),
              "Date Time,CPU,Free,Disk\n"
              "01/15/2008 10:20:30,1.5,100,7\n"
              "01/15/2008 10:21:30,2.5,200,8\r\n"
              "01/15/2008 10:22:30,3.5,300,9");
    // The lines above the heading go to the listing instead.
    EXPECT_EQ(w.dir.read("peak"), "merovand run 7\n# host alpha\n");
    const RunState& rs = w.rs;
    EXPECT_EQ(rs.files[0].datafil, "node_NEW.CSV");
    EXPECT_EQ(w.ln, "Date Time,CPU,Free,Disk");
    EXPECT_EQ(rs.files[0].y8format, LAYOUT_REWRITTEN);
    EXPECT_EQ(rs.files[0].numcols, 3);
    EXPECT_EQ(rs.files[0].numrows, 3);
    EXPECT_EQ(rs.files[0].paraline, 0);
    EXPECT_EQ(rs.files[0].firstdataline, 1);
    EXPECT_EQ(rs.files[0].csvstartsecs, JAN15_2008 + 10 * 3600 + 20 * 60 + 30);
    EXPECT_EQ(rs.files[0].csvendsecs, JAN15_2008 + 10 * 3600 + 22 * 60 + 30);
    EXPECT_EQ(rs.files[0].samp, 60);
    EXPECT_EQ(rs.end_d, "01/15/2008");
    EXPECT_EQ(rs.end_t, "10:22:30");
}

TEST(Format3, NameOfTheConvertedFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"node.tab", "node_NEW.CSV"},      {"plotfile", "plotfile_NEW.CSV"},
        {"node.2008.dat", "node_NEW.CSV"}, {"run.1/node.tab", "run.1/node_NEW.CSV"},
        {"./node.tab", "./node_NEW.CSV"},
    };
    for (const auto& c : cases) {
        Rewrite w;
        if (std::string(c.first).find("run.1/") == 0) make_directory(w.dir.file("run.1"));
        w.run(c.first, "#Date Time A\n20080115 10:20:30 1\n", 0);
        ASSERT_EQ(w.result.status, -1) << c.first << w.result.out;
        EXPECT_EQ(w.rs.files[0].datafil, c.second);
        EXPECT_TRUE(w.dir.exists(c.second)) << c.first;
        EXPECT_EQ(w.dir.read(c.second), "Date Time,A\n01/15/2008 10:20:30,1\n");
        EXPECT_EQ(w.rs.files[0].samp, 60);  // one sample: no measured interval
    }
}

TEST(Format3, BadPlotFilesEndTheRun) {
    struct Case {
        const char* what;
        std::string text;
        int heading;
        std::string last_message;
    };
    const Case cases[] = {
        {"no time field", "#Date Time A\n20080115 10:20:30 1\n20080115\n", 0,
         "Expected #Date Time\n"},
        {"heading without Time", "#Date Hour A\n20080115 10:20:30 1\n", 0,
         "Expected '#Date Time' for merovand gnuplot file format\n"},
        {"date not of eight digits", "#Date Time A\n2008-01-15 10:20:30 1\n", 0,
         "Invalid merovand time stamp \"2008-01-15 10:20:30\" in m.tab\n"},
        {"no clock time", "#Date Time A\n20080115 ten 1\n", 0,
         "Invalid merovand time stamp \"20080115 ten\" in m.tab\n"},
        {"no samples", "#Date Time A\n\n", 0, "no data in file m_NEW.CSV\n"},
    };
    for (const auto& c : cases) {
        Rewrite w;
        w.run("m.tab", c.text, c.heading);
        EXPECT_EQ(w.result.status, 1) << c.what;
        const std::string& o = w.result.out;
        ASSERT_GE(o.size(), c.last_message.size()) << c.what;
        EXPECT_EQ(o.substr(o.size() - c.last_message.size()), c.last_message) << c.what << o;
    }
}

TEST(Format3, NeverOverwritesAnotherInputFile) {
    Rewrite w;
    size_tables(w.rs, 2);
    w.dir.write("m_NEW.CSV", "keep me\n");
    w.rs.files[1].datafil = "m_NEW.CSV";
    w.rs.input_ids.push_back(file_id("m_NEW.CSV"));
    w.run("m.tab", "#Date Time A\n20080115 10:20:30 1\n", 0);
    EXPECT_EQ(w.result.status, 1);
    EXPECT_EQ(w.result.out,
              "Y8 format CSV file will be m_NEW.CSV\n"
              "\nOutput CSV file m_NEW.CSV is the same file as input file m_NEW.CSV\n");
    EXPECT_EQ(w.dir.read("m_NEW.CSV"), "keep me\n");
}

namespace {

// One file of the given layout surveyed, selected and loaded.
struct Loaded : LoadedRun {
    Loaded(const std::string& name, const std::string& text) {
        file(name, text);
        load();
    }
    std::vector<std::string> labels() const {
        return std::vector<std::string>(rs.xlabel.begin(), rs.xlabel.begin() + rs.numpar);
    }
    // The loaded rows of every selected parameter.
    std::vector<std::vector<double>> values() const {
        std::vector<std::vector<double>> v;
        for (int j = 0; j < rs.numpar; ++j)
            v.emplace_back(rs.pts[0][static_cast<size_t>(j)].begin(),
                           rs.pts[0][static_cast<size_t>(j)].begin() + rs.num);
        return v;
    }
};

// Twelve samples a minute apart from 10:20:30 on 15-JAN-2008, in each layout.
const int ROWS = 12;
// The values of row i, each after `sep` and between `quote`s.
std::string value_fields(int i, const std::string& sep, const std::string& quote = "") {
    std::string s;
    for (const std::string& v :
         {std::to_string(i) + ".5", std::to_string(100 * i), std::to_string(i % 3)})
        s += sep + quote + v + quote;
    return s;
}

std::string as_format1() {
    std::string s = "NODEA,Monitor Comment: test\nSample Time,CPU Busy,Free List,Disk IO\n";
    for (int i = 0; i < ROWS; ++i)
        s += "15-JAN-2008 " + clock_text(37230 + 60 * i) + value_fields(i, ",") + "\n";
    return s;
}

std::string as_format2() {
    std::string s =
        "NODEA,Monitor Comment: test\n$$$ START COLUMN HEADERS $$$\n"
        "Sample Time, CPU Busy ,\n  Free List,\nDisk IO\n$$$ END COLUMN HEADERS $$$\n";
    for (int i = 0; i < ROWS; ++i)
        s += "15-JAN-2008 " + clock_text(37230 + 60 * i) + value_fields(i, ",") + "\n";
    return s;
}

std::string as_merovand() {
    std::string s = "# merovand plot of NODEA\n#Date Time CPU_Busy Free_List Disk_IO\n";
    for (int i = 0; i < ROWS; ++i)
        s += "20080115 " + clock_text(37230 + 60 * i) + value_fields(i, " ") + "\n";
    return s;
}

// Month-first time stamps with hundredths, every field quoted, CR LF line ends.
std::string as_perfmon() {
    std::string s =
        "\"(PDH-CSV 4.0) (GMT Standard Time)(0)\",\"\\\\HOSTA\\CPU Busy\","
        "\"\\\\HOSTA\\Free List\",\"\\\\HOSTA\\Disk IO\"\r\n";
    for (int i = 0; i < ROWS; ++i)
        s += "\"01/15/2008 " + clock_text(37230 + 60 * i) + ".125\"" + value_fields(i, ",", "\"") +
             "\r\n";
    return s;
}

}  // namespace

TEST(ForeignLayouts, LoadTheSameValuesAsFormat1) {
    Loaded ref("ref.csv", as_format1());
    ASSERT_EQ(ref.result.status, -1) << ref.result.out;
    ASSERT_EQ(ref.rs.num, ROWS);
    ASSERT_EQ(ref.rs.numpar, 3);
    EXPECT_DOUBLE_EQ(ref.rs.pts[0][0][4], 4.5);
    EXPECT_DOUBLE_EQ(ref.rs.pts[0][1][11], 1100);

    struct Case {
        const char* what;
        std::string name, text;
        std::vector<std::string> labels;
        std::string first_stamp;
    };
    const std::vector<std::string> same = ref.labels();
    const Case cases[] = {
        {"format 2", "f2.csv", as_format2(), same, "15-JAN-2008 10:20:30"},
        {"merovand",
         "m.tab",
         as_merovand(),
         {"CPU_Busy", "Free_List", "Disk_IO"},
         "01/15/2008 10:20:30"},
        {"PERFMON",
         "pm.csv",
         as_perfmon(),
         {"\\\\HOSTA\\CPU Busy", "\\\\HOSTA\\Free List", "\\\\HOSTA\\Disk IO"},
         "01/15/2008 10:20:30.125"},
    };
    for (const auto& c : cases) {
        Loaded l(c.name, c.text);
        ASSERT_EQ(l.result.status, -1) << c.what << l.result.out;
        EXPECT_EQ(l.rs.num, ROWS) << c.what;
        EXPECT_EQ(l.rs.numcol, 3) << c.what;
        EXPECT_EQ(l.labels(), c.labels) << c.what;
        EXPECT_EQ(l.values(), ref.values()) << c.what;
        EXPECT_EQ(l.rs.sampint, 60) << c.what;
        EXPECT_EQ(l.rs.x_vals[0], c.first_stamp) << c.what;
        EXPECT_EQ(l.rs.files[0].csvstartsecs, ref.rs.files[0].csvstartsecs) << c.what;
        EXPECT_EQ(l.rs.files[0].csvendsecs, ref.rs.files[0].csvendsecs) << c.what;
    }
}

TEST(ForeignLayouts, SurveyOfEachLayout) {
    struct Case {
        const char* what;
        std::string name, text;
        std::string datafil;
        int paraline, firstdataline, numrows, perfmon;
        std::string node;
    };
    const Case cases[] = {
        {"format 2", "f2.csv", as_format2(), "f2.csv", 2, 6, ROWS, 0, "NODEA"},
        {"merovand", "m.tab", as_merovand(), "m_NEW.CSV", 0, 1, ROWS, 0, ""},
        {"PERFMON", "pm.csv", as_perfmon(), "pm.csv", 0, 1, ROWS, 1, "HOSTA"},
    };
    for (const auto& c : cases) {
        Loaded l(c.name, c.text);
        ASSERT_EQ(l.result.status, -1) << c.what << l.result.out;
        const RunState& rs = l.rs;
        EXPECT_EQ(rs.files[0].datafil, c.datafil) << c.what;
        EXPECT_EQ(rs.files[0].y8format, c.paraline == 2 ? 2 : 1) << c.what;
        EXPECT_EQ(rs.files[0].paraline, c.paraline) << c.what;
        EXPECT_EQ(rs.files[0].firstdataline, c.firstdataline) << c.what;
        EXPECT_EQ(rs.files[0].numrows, c.numrows) << c.what;
        EXPECT_EQ(rs.files[0].numcols, 3) << c.what;
        EXPECT_EQ(rs.perfmon, c.perfmon) << c.what;
        if (!c.node.empty()) {
            EXPECT_EQ(rs.files[0].nodenam, c.node) << c.what;
        }
    }
}
