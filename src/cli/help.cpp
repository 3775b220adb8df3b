#include "cli/help.h"

#include "base/run_end.h"

void usage1(RunState&) { end_run(END_OK); }
void qualifiers(RunState&, const std::string&) {}
void CalcParams(RunState&) {}
void Examples(RunState&) {}
