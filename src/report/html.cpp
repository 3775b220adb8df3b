#include "report/html.h"

#include "base/out.h"

std::string html_escape(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '&': r += "&amp;"; break;
            case '<': r += "&lt;"; break;
            case '>': r += "&gt;"; break;
            case '"': r += "&quot;"; break;
            default: r += c;
        }
    }
    return r;
}

void write_html_first_line(RunState& rs) {
    fout(rs.htmfp, "<html><title>Y8 charts of Norvale Monitor data</title><body>\n");
}

// "05-JAN-2008" -> "05-JAN"; "5-JAN-2008" -> "5-JAN".
static std::string without_year(const std::string& d) {
    if (d.size() > 6 && d[6] == '-') return d.substr(0, 6);
    if (d.size() > 5 && d[5] == '-') return d.substr(0, 5);
    return d;
}

void write_html_table_start(RunState& rs) {
    fout(rs.htmfp, "<center>%s \n",
         html_escape(rs.files.empty() ? "" : rs.files[0].datafil).c_str());
    if (!rs.opt().axisflag)
        fout(rs.htmfp, "from %s %5.5s to %s %5.5s</center>\n",
             html_escape(without_year(rs.ch_start_d)).c_str(), html_escape(rs.start_t).c_str(),
             html_escape(without_year(rs.ch_end_d)).c_str(), html_escape(rs.end_t).c_str());
    fout(rs.htmfp, "<center><table>\n");
}

std::string image_reference(const std::string& outpng) {
    size_t cut = outpng.find('\\');
    if (cut == std::string::npos) cut = outpng.find(']');
    return cut == std::string::npos ? outpng : outpng.substr(cut + 1);
}

static int column_number(const RunState& rs, int p) {
    if (rs.param_nums.empty() || p < 0 || static_cast<size_t>(p) >= rs.param_nums[0].size())
        return 0;
    return rs.param_nums[0][p];
}

static std::string label_of(const RunState& rs, int p) {
    return p >= 0 && static_cast<size_t>(p) < rs.xlabel.size() ? rs.xlabel[p] : std::string();
}

// Closes the table row of a group of charts that is still open.
static void close_open_row(RunState& rs) {
    if (rs.htm_row_cells == 0) return;
    fout(rs.htmfp, "</tr>\n");
    rs.htm_row_cells = 0;
}

void write_html_row(RunState& rs, int p) {
    int col = column_number(rs, p);
    std::string img = html_escape(image_reference(rs.outpng));
    std::string label = label_of(rs, p);
    std::string alt = html_escape(label);
    // Sparkline pages always name their charts.
    if (rs.opt().labels || rs.opt().bkgcolor == BKG_COMPACT) {
        // The cell shows the label cut or padded to 36 characters; escaping comes after the
        // cut so that no entity is split.
        std::string cell = html_escape(strfmt("%36.36s", label.c_str()));
        fout(rs.htmfp,
             "<tr><td width=%d><A NAME=\"p%d\"><img src=\"%s\" alt=\"%d %s\"></A></td><td><FONT "
             "FACE=\"courier\" SIZE=1>%s</FONT></td></tr>\n",
             rs.maxx, col, img.c_str(), col, alt.c_str(), cell.c_str());
        return;
    }
    // displaynum charts share one row, which closes after its last cell.
    if (rs.htm_row_cells == 0) fout(rs.htmfp, "<tr>");
    fout(rs.htmfp, "<td width=%d><A NAME=\"p%d\"><img src=\"%s\" alt=\"%d %s\"></A></td>", rs.maxx,
         col, img.c_str(), col, alt.c_str());
    if (++rs.htm_row_cells >= rs.opt().displaynum)
        close_open_row(rs);
    else
        fout(rs.htmfp, "\n");
}

void write_fired_rule_rows(RunState& rs, int p, const std::string& optfil) {
    int col = column_number(rs, p);
    fout(rs.htmrfp, "<A NAME=\"%d\"><img src=\"%s\" alt=\"%d %s\"></A><BR>\n", col,
         html_escape(image_reference(rs.outpng)).c_str(), col,
         html_escape(label_of(rs, p)).c_str());
    if (rs.opt().verbose) out("Checking if optional rule file specified\n");
    if (!optfil.empty()) {
        if (rs.opt().verbose) out("Optional rule details file %s used\n", optfil.c_str());
        std::string f = html_escape(optfil);
        fout(rs.htmrfp, "Click here for more details: <a href=%s target=\"_blank\">%s</a><br>\n",
             f.c_str(), f.c_str());
        close_open_row(rs);
        fout(rs.htmfp,
             "<tr><td>Click here for more details: <a href=%s target=\"_blank\">%s</a></td></tr>\n",
             f.c_str(), f.c_str());
    }
    fout(rs.rparfp, rs.firedcnt == 0 ? "%d" : ",%d", col);
    ++rs.firedcnt;
}

void write_html_footer(RunState& rs) {
    close_open_row(rs);
    fout(rs.htmfp, "</table><br>TSGRAF %s<br>\n%s\n</center></body></html>\n", VERSION,
         html_escape(rs.cmdline).c_str());
}

void write_rules_html_footer(RunState& rs) {
    fout(rs.htmrfp, "<br><center>TSGRAF %s<br>\n%s</center><p>\n</body></html>\n", VERSION,
         html_escape(rs.cmdline).c_str());
}
