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

void write_html_footer(RunState& rs) {
    fout(rs.htmfp, "</table><br>TSGRAF %s<br>\n%s\n</center></body></html>\n", VERSION,
         html_escape(rs.cmdline).c_str());
}

void write_rules_html_footer(RunState& rs) {
    fout(rs.htmrfp, "<br><center>TSGRAF %s<br>\n%s</center><p>\n</body></html>\n", VERSION,
         html_escape(rs.cmdline).c_str());
}
