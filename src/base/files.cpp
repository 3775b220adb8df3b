#include "base/files.h"

#include <cstring>

#include "cli/platform.h"

bool file_id(const std::string& name, FileId& id) {
    FileIdentity fi;
    if (!file_identity(name, fi)) return false;
    id.dev = fi.volume;
    id.ino = fi.index;
    id.name = name;
    return true;
}

const FileId* same_file_as(const std::vector<FileId>& ids, const std::string& name) {
    FileId out;
    if (ids.empty() || !file_id(name, out)) return nullptr;
    for (const auto& id : ids)
        if (id.dev == out.dev && id.ino == out.ino) return &id;
    return nullptr;
}

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
