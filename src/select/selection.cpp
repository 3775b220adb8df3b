#include "select/selection.h"

void get_parameters(RunState&, int) {}
