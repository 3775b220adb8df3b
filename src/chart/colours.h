// Series colours, captions and the HTML row of a chart.
#pragma once
#include <gd.h>

#include "run/run_state.h"

// Allocates the 21 series colours after the fixed palette and applies the colour options;
// fills rs.colors and rs.dotcolors with palette indexes.
void setup_series_colours(RunState& rs, gdImagePtr im);
// Rows the caption takes above the plot; 0 without a caption.
int caption_height(RunState& rs);
// Writes the caption centred on column x with its top at row y.
void draw_caption(RunState& rs, gdImagePtr im, int x, int y);
// The HTML row of the chart just written.
void write_html_row(RunState& rs, int p);
