#include "export/append.h"

void append_similar_files(RunState&) {}
