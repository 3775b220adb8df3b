// Overlay, multifile, stacked and normalised charts: what these modes add to one chart.
#pragma once
#include <gd.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/run_state.h"

// The plot area of the chart being drawn and its black.
struct PlotFrame {
    gdImagePtr im = nullptr;
    int borx = 0, bory = 0, boryt = 0, wi = 0, hi = 0, maxx = 0, maxy = 0;
    int black = 0;
};

// Width of one overlay legend entry: 50 small characters and the colour box.
inline constexpr int LEGEND_ENTRY = 50 * 6 + 15;

// The image size of an overlay chart, with room for its legend.
void overlay_image_size(const RunState& rs, int& width, int& height);

// Stacks the values of chart p's series (the overlay's parameters, or the files of a
// multifile chart): each becomes the running sum of itself and those after it. The scale
// top becomes the largest total, unrounded. Series already stacked for an earlier chart
// are stacked again from their loaded values.
void stack_series(RunState& rs, int p);

using SegmentFn = std::function<void(const RunState::ChartPoint&, const RunState::ChartPoint&,
                                     int colour, int dotcolour)>;
using DotFn = std::function<void(const RunState::ChartPoint&, int dotcolour)>;

// Every series of overlay chart p, segment by segment, first series to last, so later
// series cover earlier ones; then each series' last dot.
void draw_overlay_series(RunState& rs, const ParamStats& st, int p, const SegmentFn& segment,
                         const DotFn& dot);

// Segment k of every further file of multifile chart p, after file 0's segment.
void draw_other_files(RunState& rs, const PlotFrame& fr, int p, size_t k);

// The overlay legend (side or bottom) and, when normalised, each series' own axis.
void draw_overlay_legend(RunState& rs, const PlotFrame& fr, int p);

// The legend entry of each file of a multifile chart: its node name; with the file's start
// date where files share a node; its file name where they share the date too.
std::vector<std::string> node_legend_names(const RunState& rs);
// The node names of a multifile chart above the plot, each with a sample of its line.
void draw_node_legend(RunState& rs, const PlotFrame& fr);
