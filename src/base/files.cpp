#include "base/files.h"

#include <cstring>

bool read_line(FILE* fp, std::string& s) {
    s.clear();
    char buf[8192];
    bool any = false;
    while (fgets(buf, sizeof buf, fp)) {
        any = true;
        size_t n = strlen(buf);
        s.append(buf, n);
        if (n > 0 && buf[n - 1] == '\n') break;
    }
    if (!s.empty() && s.back() == '\n') s.pop_back();
    if (!s.empty() && s.back() == '\r') s.pop_back();
    return any;
}
