#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "base/out.h"
#include "file_set.h"
#include "harness.h"
#include "report/html.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

void expect_lines(const std::string& text, const std::vector<std::string>& want) {
    auto got = lines_of(text);
    for (size_t i = 0; i < std::max(got.size(), want.size()); ++i)
        EXPECT_EQ(i < got.size() ? got[i] : "<missing>", i < want.size() ? want[i] : "<extra>")
            << "line " << i + 1;
}

// A run of n charts; chart i has column i + 2, label "par<i>" and file "par<i>_<col>.png".
struct Page {
    TempDir dir;
    RunState rs;

    explicit Page(int n) {
        rs.maxx = 610;
        rs.param_nums.assign(1, {});
        for (int i = 0; i < n; ++i) {
            rs.param_nums[0].push_back(i + 2);
            rs.xlabel.push_back(strfmt("par%d", i));
        }
        rs.htmfp = fopen(dir.file("tsgraf.htm").c_str(), "wb");
    }
    ~Page() {
        if (rs.htmfp) fclose(rs.htmfp);
    }
    void chart(int p) {
        ++rs.cnt;
        rs.outpng = strfmt("par%d_%d.png", p, rs.param_nums[0][p]);
        write_html_row(rs, p);
    }
    std::string text() {
        fclose(rs.htmfp);
        rs.htmfp = nullptr;
        return dir.read("tsgraf.htm");
    }
};

std::string cell(int col, const std::string& png, const std::string& alt) {
    return strfmt("<td width=610><A NAME=\"p%d\"><img src=\"%s\" alt=\"%d %s\"></A></td></tr>", col,
                  png.c_str(), col, alt.c_str());
}

}  // namespace

TEST(HtmlRows, WholePageOfThreeChartsWithDefaults) {
    Page pg(3);
    RunState& rs = pg.rs;
    name_files(rs, {"day.csv"});
    rs.ch_start_d = "05-JAN-2008";
    rs.ch_end_d = "5-FEB-2008";
    rs.start_t = "00:00:00";
    rs.end_t = "23:59:00";
    rs.cmdline = "tsgraf day.csv --labels=<x>";
    write_html_first_line(rs);
    write_html_table_start(rs);
    for (int p = 0; p < 3; ++p) pg.chart(p);
    write_html_footer(rs);
    expect_lines(pg.text(), {
                                "<html><title>Y8 charts of Norvale Monitor data</title><body>",
                                "<center>day.csv ",
                                "from 05-JAN 00:00 to 5-FEB 23:59</center>",
                                "<center><table>",
                                "<tr>" + cell(2, "par0_2.png", "par0"),
                                "<tr>" + cell(3, "par1_3.png", "par1"),
                                "<tr>" + cell(4, "par2_4.png", "par2"),
                                "</table><br>TSGRAF V1.0-156<br>",
                                "tsgraf day.csv --labels=&lt;x&gt;",
                                "</center></body></html>",
                            });
}

TEST(HtmlRows, DisplayNumberGroupsChartsInClosedRows) {
    struct Case {
        int displaynum;
        std::vector<int> opened;  // charts (from 1) that open a row
    };
    const Case cases[] = {{3, {1, 4, 7}}, {2, {1, 3, 5, 7}}, {7, {1}}, {1, {1, 2, 3, 4, 5, 6, 7}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.displaynum);
        Page pg(7);
        pg.rs.set_opt().displaynum = c.displaynum;
        for (int p = 0; p < 7; ++p) pg.chart(p);
        write_html_footer(pg.rs);
        auto opens = [&](int n) {
            return std::find(c.opened.begin(), c.opened.end(), n) != c.opened.end();
        };
        // A row closes after the last cell of its group; the footer closes a last,
        // partly filled row.
        std::vector<std::string> want;
        for (int i = 0; i < 7; ++i) {
            std::string td = cell(i + 2, strfmt("par%d_%d.png", i, i + 2), strfmt("par%d", i));
            td.resize(td.size() - 5);
            bool full = (i + 1) % c.displaynum == 0;
            want.push_back((opens(i + 1) ? "<tr>" : "") + td + (full ? "</tr>" : ""));
        }
        if (7 % c.displaynum != 0) want.push_back("</tr>");
        auto got = lines_of(pg.text());
        got.resize(std::min(got.size(), want.size()));
        EXPECT_EQ(got, want);
    }
}

TEST(HtmlRows, LabelsGiveOneRowPerChartWithTheCutLabel) {
    const std::string long_label = "A label that is clearly longer than 36 characters";
    for (int sparkline : {0, 1}) {
        SCOPED_TRACE(sparkline ? "sparklines" : "labels");
        Page pg(3);
        RunState& rs = pg.rs;
        rs.set_opt().displaynum = 3;
        if (sparkline)
            rs.set_opt().bkgcolor = BKG_COMPACT;
        else
            rs.set_opt().labels = 1;
        rs.xlabel = {long_label, "short", "a<b & \"c\""};
        for (int p = 0; p < 3; ++p) pg.chart(p);
        const char* fmt =
            "<tr><td width=610><A NAME=\"p%d\"><img src=\"%s\" alt=\"%d %s\"></A></td>"
            "<td><FONT FACE=\"courier\" SIZE=1>%s</FONT></td></tr>";
        expect_lines(
            pg.text(),
            {
                strfmt(fmt, 2, "par0_2.png", 2, long_label.c_str(),
                       "A label that is clearly longer than "),
                strfmt(fmt, 3, "par1_3.png", 3, "short", "                               short"),
                strfmt(fmt, 4, "par2_4.png", 4, "a&lt;b &amp; &quot;c&quot;",
                       (std::string(27, ' ') + "a&lt;b &amp; &quot;c&quot;").c_str()),
            });
    }
}

TEST(HtmlRows, LabelAndFileNameEscaped) {
    Page pg(1);
    pg.rs.xlabel[0] = "<script>";
    ++pg.rs.cnt;
    pg.rs.outpng = "C:\\out\\a&b.png";
    write_html_row(pg.rs, 0);
    expect_lines(pg.text(), {"<tr>" + cell(2, "out\\a&amp;b.png", "&lt;script&gt;")});
}

TEST(HtmlRows, ImageReferenceIsTheBareName) {
    const std::pair<const char*, const char*> cases[] = {
        {"cpu_2.png", "cpu_2.png"},
        {"dir\\cpu_2.png", "cpu_2.png"},
        {"[dir]cpu_2.png", "cpu_2.png"},
        {"a]b\\c.png", "c.png"},  // a backslash is looked for first
        {"d:\\x\\y.png", "x\\y.png"},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(image_reference(in), want) << in;
}

TEST(HtmlRows, FiredRulesGoToBothPagesAndTheList) {
    TempDir dir;
    Page pg(13);
    RunState& rs = pg.rs;
    rs.htmrfp = fopen(dir.file("Y8RULES.HTM").c_str(), "wb");
    rs.rparfp = fopen(dir.file("Y8RULESPAR.LIS").c_str(), "wb");
    rs.param_nums[0] = {4, 9, 12};
    rs.xlabel = {"cpu", "disk<1>", "net"};
    rs.set_opt().verbose = 1;
    std::string said;
    for (int p = 0; p < 3; ++p) {
        pg.chart(p);
        std::string details = p == 1 ? "why&how.htm" : "";
        said += capture([&] { write_fired_rule_rows(rs, p, details); }).out;
    }
    fout(rs.rparfp, "\n");
    fclose(rs.htmrfp);
    fclose(rs.rparfp);
    EXPECT_EQ(rs.firedcnt, 3);
    EXPECT_EQ(dir.read("Y8RULESPAR.LIS"), "4,9,12\n");
    EXPECT_EQ(said,
              "Checking if optional rule file specified\n"
              "Checking if optional rule file specified\n"
              "Optional rule details file why&how.htm used\n"
              "Checking if optional rule file specified\n");
    expect_lines(dir.read("Y8RULES.HTM"),
                 {
                     "<A NAME=\"4\"><img src=\"par0_4.png\" alt=\"4 cpu\"></A><BR>",
                     "<A NAME=\"9\"><img src=\"par1_9.png\" alt=\"9 disk&lt;1&gt;\"></A><BR>",
                     "Click here for more details: <a href=why&amp;how.htm "
                     "target=\"_blank\">why&amp;how.htm</a><br>",
                     "<A NAME=\"12\"><img src=\"par2_12.png\" alt=\"12 net\"></A><BR>",
                 });
    expect_lines(pg.text(), {
                                "<tr>" + cell(4, "par0_4.png", "cpu"),
                                "<tr>" + cell(9, "par1_9.png", "disk&lt;1&gt;"),
                                "<tr><td>Click here for more details: <a href=why&amp;how.htm "
                                "target=\"_blank\">why&amp;how.htm</a></td></tr>",
                                "<tr>" + cell(12, "par2_12.png", "net"),
                            });
}
