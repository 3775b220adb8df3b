#include "input/load.h"

void read_all_data(RunState&) {}
