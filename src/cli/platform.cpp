#include "cli/platform.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

void clear_terminal() {
    if (!isatty(fileno(stdout))) return;
    run_shell(CLEAR_COMMAND);
}

bool make_directory(const std::string& name) {
#ifdef _WIN32
    return _mkdir(name.c_str()) == 0;
#else
    (void)name;
    return false;
#endif
}

int run_shell(const std::string& command) {
    fflush(stdout);
    return std::system(command.c_str());
}
