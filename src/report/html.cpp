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
    fout(rs.htmfp, "<center>%s \n", html_escape(rs.datafil.empty() ? "" : rs.datafil[0]).c_str());
    if (!rs.axisflag)
        fout(rs.htmfp, "from %s %5.5s to %s %5.5s</center>\n",
             html_escape(without_year(rs.ch_start_d)).c_str(), html_escape(rs.start_t).c_str(),
             html_escape(without_year(rs.ch_end_d)).c_str(), html_escape(rs.end_t).c_str());
    fout(rs.htmfp, "<center><table>\n");
}

void write_html_footer(RunState& rs) {
    fout(rs.htmfp, "</table><br>TSGRAF %s<br>\n%s\n</center></body></html>\n", VERSION,
         html_escape(rs.cmdline).c_str());
}

void write_rules_html_footer(RunState& rs) {
    fout(rs.htmrfp, "<br><center>TSGRAF %s<br>\n%s</center><p>\n</body></html>\n", VERSION,
         html_escape(rs.cmdline).c_str());
}
