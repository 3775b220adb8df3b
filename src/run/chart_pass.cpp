#include "run/chart_pass.h"

#include "chart/draw.h"
#include "chart/geometry.h"
#include "export/sorted_extract.h"
#include "report/html.h"
#include "stats/listing.h"
#include "stats/rules.h"
#include "stats/statistics.h"

void chart_parameter(RunState& rs, const PassSlot& slot, ParamStats& st) {
    const int w = slot.w, p = slot.p;
    setup_min_max(rs, p, st);
    if (rs.opt().corrall) return;
    bool skipped = calc_stats(rs, p, st) == -1;
    bool constant = slot.sorted ? st.multi_const == 1 : rs.filenum >= 1 && st.multi_const;
    if (!slot.sorted) skipped = skipped || constant;
    if (w == 0) print_list_hdrs(rs);
    if (rs.opt().oflag && w < rs.numovr) {
        // The overlaid series are charted with the last one.
        if (!rs.opt().nocharts) adjust_vals_for_size(rs, st, w);
        return;
    }
    int col = column_of(rs, p);
    bool source = rs.wild && col != 0 && col <= rs.numcol;
    if (slot.sorted && (source || !slot.listed)) return;
    if (!rs.opt().nocharts) makePNGname(rs, p);
    print_vals(rs, st, p, skipped);
    if (!rs.opt().nocharts) {
        adjust_vals_for_size(rs, st, p);
        setup_scale(rs, st, p);
    }
    if (skipped || constant || source) return;
    ++rs.cnt;
    if (rs.opt().nocharts) return;
    draw_chart(rs, st, p, rs.sampint);
    write_html_row(rs, p);
    if (const RunState::Y8Rule* rule = fired_rule(rs)) write_fired_rule_rows(rs, p, rule->optfil);
}

void unsorted_pass(RunState& rs, ParamStats& st) {
    for (int w = 0; w < rs.numpar; ++w) {
        if (!rs.srtflag) {
            chart_parameter(rs, {w, w}, st);
            continue;
        }
        setup_min_max(rs, w, st);
        if (rs.opt().corrall) continue;
        calc_stats(rs, w, st);
        assign_pdata(rs, st, w);
        if (w == rs.numpar - 1) rs.srtpass = 1;
    }
}

void sorted_pass(RunState& rs, ParamStats& st) {
    setup_height_and_width(rs);
    int n = sort_listing(rs);
    write_sorted_extract(rs, n);
    int last = rs.opt().topflag ? n : n - 1;
    for (int w = 0; w <= last; ++w) {
        bool others = w == n;
        int p = others ? rs.numpar + 1 : static_cast<int>(rs.pdata[w].number);
        chart_parameter(rs, {w, p, true, others || !rs.opt().topflag || w < top_shown(rs)}, st);
    }
}
