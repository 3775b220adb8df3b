#include "stats/correl.h"

void read_correl_param(RunState&, int) {}
void check_for_allcorrelation(RunState&) {}
