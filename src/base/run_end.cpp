#include "base/run_end.h"

void end_run(int status) { throw RunEnd{status}; }
