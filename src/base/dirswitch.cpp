#include "base/dirswitch.h"

#include <unistd.h>

#include <vector>

#include "base/out.h"

bool switch_dir(const std::string& dir, const char* tag, bool verbose) {
    if (chdir(dir.c_str()) != 0) {
        out("%s Failed to switch directory to %s\n", tag, dir.c_str());
        return false;
    }
    if (verbose) out("Switched to %s\n", dir.c_str());
    return true;
}

std::string current_dir() {
    std::vector<char> buf(4096);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (buf.size() > (1u << 20)) return "";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}
