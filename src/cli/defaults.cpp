#include "cli/defaults.h"

#include "base/run_end.h"

void show_default_values(RunState&, int) {}
void set_default_values(RunState&) { end_run(END_OK); }
