#include "chart/geometry.h"

void setup_height_and_width(RunState&) {}
void makePNGname(RunState&, int) {}
void adjust_vals_for_size(RunState&, int) {}
void setup_scale(RunState&, int) {}
