// Series colours, colour names, and the caption above the plot.
#pragma once
#include <gd.h>

#include <string>

#include "core/run_state.h"

struct Rgb {
    int r, g, b;
};

inline constexpr int NUM_SERIES_COLOURS = 21;
inline constexpr int NUM_DOT_COLOURS = 20;

// The series colours in the order they are allocated after the fixed palette.
extern const Rgb series_rgb[NUM_SERIES_COLOURS];

// The fixed-palette colour a name of a colour sequence stands for (the last matching
// prefix decides, case-sensitive), or nullptr when it names none.
const Rgb* colour_from_name(const std::string& name);

// Allocates the 21 series colours after the fixed palette and applies, in order, the line
// colour sequence, the dot colour code, the dot colour sequence and the line colour letter.
// Fills rs.colors (21) and rs.dotcolors (20) with palette indexes of im.
void setup_series_colours(RunState& rs, gdImagePtr im);

// The font of the caption's size letter: T tiny, S small, M medium bold, L large,
// anything else giant.
gdFontPtr caption_font(const RunState& rs);

// Rows the caption takes above the plot: the height of its font while kflag is set, else 0.
// The chart has a caption: --caption, or the message of a rule that fired.
bool has_caption(const RunState& rs);
int caption_height(RunState& rs);

// Writes the caption centred on column x with its top at row y: rulemsg, when not empty,
// in giant magenta (a fired rule replaces the caption), else the caption in its own font
// and colour. Nothing without kflag.
void draw_caption(RunState& rs, gdImagePtr im, int x, int y,
                  const std::string& rulemsg = std::string());
