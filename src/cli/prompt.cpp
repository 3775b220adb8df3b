#include "cli/prompt.h"

int prompt_for_input(RunState& rs) { return rs.cargc; }
