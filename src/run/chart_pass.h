// The passes over the selected parameters: one step per parameter makes its statistics,
// listing line, scale and chart, and its rows on the HTML pages.
#pragma once
#include "core/run_state.h"

// Where a parameter stands in its pass.
struct PassSlot {
    int w = 0;            // position in the pass (the listing headings come before 0)
    int p = 0;            // the parameter
    bool sorted = false;  // the second pass of a sorted run
    bool listed = true;   // false past the first n of a top-n run (Others is listed)
};

// One parameter of either pass. The passes differ in what they leave out: a sorted pass
// neither lists nor charts the source columns of wildcard calculations (the first pass
// lists them) and charts no constant series of several files or an overlay. The
// statistics step fills st; the listing, scale, rules and chart read it. One st serves
// the whole run: an overlay run carries its extremes from one parameter to the next.
void chart_parameter(RunState& rs, const PassSlot& slot, ParamStats& st);
// Every parameter in selection order; on a sorted run this pass only collects the
// statistics rows the sorted pass orders.
void unsorted_pass(RunState& rs, ParamStats& st);
// The second pass of a sorted or top-n run: sort, widths, Others sums, extract rows,
// then listing and charts in sorted order.
void sorted_pass(RunState& rs, ParamStats& st);
