#include "base/dirswitch.h"

#include "base/out.h"
#include "base/platform.h"

bool switch_dir(const std::string& dir, const char* tag, bool verbose) {
    if (!change_directory(dir)) {
        out("%s Failed to switch directory to %s\n", tag, dir.c_str());
        return false;
    }
    if (verbose) out("Switched to %s\n", dir.c_str());
    return true;
}

std::string current_dir() {
    return current_directory();
}
