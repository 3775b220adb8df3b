#include "select/calc.h"

void translate_calc_params(RunState&) {}
