#include "base/filelist.h"

#include <glob.h>

#include "base/out.h"

std::vector<std::string> match_files(const std::string& pattern) {
    std::vector<std::string> names;
    glob_t g{};
    if (glob(pattern.c_str(), 0, nullptr, &g) == 0) {
        for (size_t i = 0; i < g.gl_pathc; ++i) names.emplace_back(g.gl_pathv[i]);
    }
    globfree(&g);
    return names;
}

void list_files(const std::string& pattern) {
    for (const auto& n : match_files(pattern)) out("%s\n", n.c_str());
}
