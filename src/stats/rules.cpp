#include "stats/rules.h"

void get_y8rules(RunState&) {}
