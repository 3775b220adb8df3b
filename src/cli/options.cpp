#include "cli/options.h"

void parse_options(RunState&) {}
