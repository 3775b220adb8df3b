#include "base/files.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"

// The name with symbolic links, "." and ".." resolved as far as the path exists.
static std::string resolved_name(const std::string& path) {
    std::string r = resolved_path(path);
    if (!r.empty()) return r;
    size_t slash = path.find_last_of(path_separators());
    if (slash == std::string::npos || slash == 0) return path;
    std::string dir = resolved_name(path.substr(0, slash));
    return dir + path.substr(slash);
}

FileId file_id(const std::string& name) {
    FileId id;
    id.name = name;
    FileIdentity fi;
    if (file_identity(name, fi)) {
        id.exists = true;
        id.dev = fi.volume;
        id.ino = fi.index;
    }
    id.path = resolved_name(is_absolute_path(name) ? name
                                                   : current_directory() + path_separators()[0] + name);
    return id;
}

bool same_file(const FileId& a, const FileId& b) {
    if (a.exists && b.exists) return a.dev == b.dev && a.ino == b.ino;
    return a.path == b.path;
}

bool same_file(const std::string& a, const std::string& b) {
    return same_file(file_id(a), file_id(b));
}

const FileId* same_file_as(const std::vector<FileId>& ids, const std::string& name) {
    if (ids.empty()) return nullptr;
    const FileId out = file_id(name);
    for (const auto& id : ids)
        if (same_file(id, out)) return &id;
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

namespace {

bool gzip_magic(FILE* fp) {
    unsigned char magic[2];
    return fread(magic, 1, 2, fp) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
}

[[noreturn]] void cannot_unpack(const std::string& name, const char* why) {
    out("\nCompressed file %s cannot be read: %s\n", name.c_str(), why);
    end_run(END_ERROR);
}

// The whole unpacked content in an anonymous temporary file, which the system removes
// when the run ends however it ends. A damaged or cut-off file is refused as a whole
// rather than read as far as it goes, so no run works on part of the data unawares.
FILE* unpack(const std::string& name) {
    gzFile gz = gzopen(name.c_str(), "rb");
    if (!gz) cannot_unpack(name, strerror(errno));
    FILE* tmp = tmpfile();
    if (!tmp) {
        int e = errno;
        gzclose(gz);
        cannot_unpack(name, strerror(e));
    }
    gzbuffer(gz, 1 << 17);
    std::vector<char> buf(1 << 20);
    for (;;) {
        int n = gzread(gz, buf.data(), static_cast<unsigned>(buf.size()));
        if (n <= 0) break;
        if (fwrite(buf.data(), 1, static_cast<size_t>(n), tmp) != static_cast<size_t>(n) ||
            fflush(tmp) != 0) {
            int e = errno;
            gzclose(gz);
            fclose(tmp);
            cannot_unpack(name, strerror(e));
        }
    }
    int err = Z_OK;
    std::string why = gzerror(gz, &err);
    gzclose(gz);
    if (err == Z_ERRNO) why = strerror(errno);
    // zlib puts the file name in front of its reason; the message names the file already.
    if (why.compare(0, name.size() + 2, name + ": ") == 0) why.erase(0, name.size() + 2);
    if (err != Z_OK) {
        fclose(tmp);
        cannot_unpack(name, why.c_str());
    }
    return tmp;
}

// What tells one compressed file from another: the file's identity and the check sum
// and length of its content, which close every gzip file.
std::vector<unsigned long long> gzip_key(const std::string& name, FILE* fp) {
    FileIdentity id;
    file_identity(name, id);
    unsigned long long tail = 0;
    unsigned char last[8];
    if (fseek(fp, -8, SEEK_END) == 0 && fread(last, 1, 8, fp) == 8)
        for (unsigned char b : last) tail = tail << 8 | b;
    return {id.volume, id.index, tail};
}

}  // namespace

FILE* open_input(const std::string& name) {
    FILE* fp = fopen(name.c_str(), "rb");
    if (!fp || !gzip_magic(fp)) {
        if (fp) rewind(fp);
        return fp;
    }
    // A file is read several times in a run (survey, headers, load); it is unpacked once.
    std::vector<unsigned long long> key = gzip_key(name, fp);
    fclose(fp);
    static std::map<std::vector<unsigned long long>, FILE*> unpacked;
    FILE*& copy = unpacked[key];
    if (!copy) copy = unpack(name);
    // Each caller gets its own stream at the start (closing it leaves the copy open).
    // The streams share one file position, which is sound because the readers of an
    // input file follow one another and never overlap.
    return second_stream(copy);
}
