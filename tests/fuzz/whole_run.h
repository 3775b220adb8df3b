// A whole run as main makes it, for the fuzz targets that drive the program end to end.
// The search path points at the private directory, so the shell finds no program to
// re-run and no converter.
#pragma once
#include <getopt.h>

#include "fuzz_support.h"
#include "run/run_files.h"
#include "run/sequence.h"

namespace fuzz {

// Runs "tsgraf" with args in the current (private) directory; any end is fine.
inline void whole_run(std::vector<std::string> args) {
    static bool path_emptied = false;
    if (!path_emptied) {
        setenv("PATH", workdir().c_str(), 1);
        path_emptied = true;
    }
    args.insert(args.begin(), "tsgraf");
    std::vector<char*> argv;
    for (auto& s : args) argv.push_back(s.data());
    argv.push_back(nullptr);

    auto rs = fresh_state();
    guarded([&] { run_sequence(*rs, static_cast<int>(args.size()), argv.data()); });
    close_run_files(*rs);
    optind = 0;
}

}  // namespace fuzz
