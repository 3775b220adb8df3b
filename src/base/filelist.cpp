#include "base/filelist.h"

#include "base/out.h"
#include "base/platform.h"

std::vector<std::string> match_files(const std::string& pattern) {
    return list_pattern(pattern);
}

void list_files(const std::string& pattern) {
    for (const auto& n : match_files(pattern)) out("%s\n", n.c_str());
}
