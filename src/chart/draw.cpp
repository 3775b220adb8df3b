#include "chart/draw.h"

void draw_chart(RunState&, int, int) {}
