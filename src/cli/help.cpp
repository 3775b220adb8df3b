#include "cli/help.h"

#include "base/run_end.h"

void usage1(RunState&, int status) { end_run(status); }
void qualifiers(RunState&, const std::string&) {}
void CalcParams(RunState&) {}
void Examples(RunState&) {}
