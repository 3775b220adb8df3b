#include "run/history.h"

void update_histfile(RunState&, std::string, const std::string&) {}
