#include "chart/colours.h"

#include "base/out.h"
#include "report/html.h"

// Placeholder: every series in navy until the colour table is in place.
void setup_series_colours(RunState& rs, gdImagePtr im) {
    int navy = gdImageColorAllocate(im, 0, 0, 128);
    rs.colors.assign(21, navy);
    rs.dotcolors.assign(20, navy);
}

int caption_height(RunState&) {
    return 0;
}

void draw_caption(RunState&, gdImagePtr, int, int) {}

void write_html_row(RunState& rs, int p) {
    int col = rs.param_nums.empty() ? 0 : rs.param_nums[0][p];
    const std::string& label = rs.xlabel[p];
    if (rs.displaynum <= 1 || (rs.cnt - 1) % rs.displaynum == 0) fout(rs.htmfp, "<tr>");
    fout(rs.htmfp, "<td width=%d><A NAME=\"p%d\"><img src=\"%s\" alt=\"%d %s\"></A></td></tr>\n",
         rs.maxx, col, html_escape(rs.outpng).c_str(), col, html_escape(label).c_str());
}
