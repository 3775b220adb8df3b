// The platform layer on Windows.
#include <windows.h>
#include <direct.h>
#include <io.h>
#include <process.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "cli/platform.h"

// Wildcards in the program's arguments are expanded by the C runtime at start-up, as a
// POSIX shell does before the program starts.
extern "C" {
int _dowildcard = -1;
}

namespace {

// A handle that reads nothing: enough to ask about the file, a directory included.
HANDLE open_for_query(const std::string& name) {
    return CreateFileA(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// "*" any run of characters, "?" one; letters in either case, as the file system does.
bool wildcard_match(const char* p, const char* s) {
    const char *star = nullptr, *resume = nullptr;
    while (*s) {
        if (*p == '*') {
            star = p++;
            resume = s;
        } else if (*p == '?' ||
                   std::tolower(static_cast<unsigned char>(*p)) ==
                       std::tolower(static_cast<unsigned char>(*s))) {
            ++p;
            ++s;
        } else if (star) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*') ++p;
    return *p == '\0';
}

}  // namespace

bool file_identity(const std::string& name, FileIdentity& id) {
    HANDLE h = open_for_query(name);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (!ok) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

PathKind path_kind(const std::string& name) {
    DWORD attrs = GetFileAttributesA(name.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
        return PathKind::DIRECTORY;
    HANDLE h = open_for_query(name);
    if (h == INVALID_HANDLE_VALUE) return attrs == INVALID_FILE_ATTRIBUTES ? PathKind::NONE
                                                                          : PathKind::REGULAR;
    DWORD type = GetFileType(h);
    CloseHandle(h);
    return type == FILE_TYPE_DISK ? PathKind::REGULAR : PathKind::OTHER;
}

std::string resolved_path(const std::string& name) {
    if (path_kind(name) == PathKind::NONE) return "";
    char buf[MAX_PATH * 4];
    DWORD n = GetFullPathNameA(name.c_str(), sizeof buf, buf, nullptr);
    if (n == 0 || n >= sizeof buf) return "";
    std::string s(buf, n);
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

bool is_absolute_path(const std::string& name) {
    if (name.size() >= 2 && (name[0] == '\\' || name[0] == '/') &&
        (name[1] == '\\' || name[1] == '/'))
        return true;
    return name.size() >= 3 && std::isalpha(static_cast<unsigned char>(name[0])) &&
           name[1] == ':' && (name[2] == '\\' || name[2] == '/');
}

const char* path_separators() {
    return "\\/";
}

std::vector<std::string> list_pattern(const std::string& pattern) {
    std::vector<std::string> names;
    size_t cut = pattern.find_last_of("\\/:");
    std::string dir = cut == std::string::npos ? "" : pattern.substr(0, cut + 1);
    std::string last = pattern.substr(dir.size());
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string n = found.cFileName;
        if (n == "." || n == "..") continue;
        // The search also matches the short 8.3 names; only the long name counts.
        if (!wildcard_match(last.c_str(), n.c_str())) continue;
        names.push_back(dir + n);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

bool change_directory(const std::string& dir) {
    return _chdir(dir.c_str()) == 0;
}

std::string current_directory() {
    char* p = _getcwd(nullptr, 0);
    if (!p) return "";
    std::string s = p;
    free(p);
    return s;
}

bool make_directory(const std::string& name) {
    return _mkdir(name.c_str()) == 0;
}

bool local_time(time_t secs, struct tm& t) {
    return localtime_s(&t, &secs) == 0;
}

bool utc_time(time_t secs, struct tm& t) {
    return gmtime_s(&t, &secs) == 0;
}

void clear_terminal() {
    DWORD mode;
    if (!_isatty(_fileno(stdout)) || !GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode))
        return;
    run_shell(CLEAR_COMMAND);
}

FILE* second_stream(FILE* fp) {
    fflush(fp);
    int fd = _dup(_fileno(fp));
    if (fd < 0) return nullptr;
    _lseeki64(fd, 0, SEEK_SET);
    FILE* in = _fdopen(fd, "rb");
    if (!in) _close(fd);
    return in;
}

bool stdin_is_terminal() {
    return _isatty(_fileno(stdin)) != 0;
}

int run_program(const std::vector<std::string>& args) {
    if (args.empty()) {
        errno = EINVAL;
        return -1;
    }
    // The runtime joins the vector with spaces; each argument is quoted for the new
    // program's runtime to split it back.
    std::vector<std::string> words;
    for (const auto& a : args) {
        bool plain = !a.empty() && a.find_first_of(" \t\"") == std::string::npos;
        words.push_back(plain ? a : crt_quoted(a));
    }
    std::vector<const char*> argv;
    for (const auto& w : words) argv.push_back(w.c_str());
    argv.push_back(nullptr);
    fflush(stdout);
    return static_cast<int>(_spawnvp(_P_WAIT, args[0].c_str(), argv.data()));
}

bool replace_file(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
