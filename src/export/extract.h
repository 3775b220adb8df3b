// Extract and trim-zeros output.
#pragma once
#include "run/run_state.h"

void write_trimzeros(RunState& rs, int hdrlen);
