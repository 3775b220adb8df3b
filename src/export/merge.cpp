#include "export/merge.h"

void merge_files(RunState&) {}
