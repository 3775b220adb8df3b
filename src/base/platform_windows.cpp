// The platform layer on Windows.
#include <windows.h>
#include <direct.h>
#include <io.h>
#include <process.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "base/platform.h"

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

char fold(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Whether c is in the set of a bracket expression starting after "[" at p; end is set past
// its "]". "!" or "^" first negates, "a-z" is a range. Without a closing "]" the "[" is an
// ordinary character (ok false).
bool in_set(const char* p, char c, const char*& end, bool& ok) {
    bool negate = *p == '!' || *p == '^';
    if (negate) ++p;
    bool hit = false;
    const char* q = p;
    for (bool first = true; *q && (first || *q != ']'); first = false) {
        char lo = *q, hi = *q;
        if (q[1] == '-' && q[2] && q[2] != ']') {
            hi = q[2];
            q += 3;
        } else {
            ++q;
        }
        if (fold(lo) <= fold(c) && fold(c) <= fold(hi)) hit = true;
    }
    ok = *q == ']';
    end = ok ? q + 1 : p;
    return hit != negate;
}

// "*" any run of characters, "?" one, "[...]" one of a set; letters in either case, as
// the file system does.
bool wildcard_match(const char* p, const char* s) {
    const char *star = nullptr, *resume = nullptr;
    while (*s) {
        if (*p == '*') {
            star = p++;
            resume = s;
            continue;
        }
        const char* next = p + 1;
        bool ok = false, match = false;
        if (*p == '[') match = in_set(p + 1, *s, next, ok);
        if (!ok) {
            match = *p == '?' || (*p && fold(*p) == fold(*s));
            next = p + 1;
        }
        if (match) {
            p = next;
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
    // Every name of the folder is matched here: the system's search knows no "[...]" and
    // also matches the short 8.3 names.
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string n = found.cFileName;
        if (n == "." || n == "..") continue;
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

// The C runtime converts times of the years 1970 to 3000 only. The calendar and the
// weekdays repeat every 400 years, and the runtime's zone rules are the same every year,
// so a time is moved by whole cycles into the years 2000-2399, converted there, and its
// year moved back.
namespace {

constexpr long long DAY_SECS = 86400;
constexpr long long CYCLE_DAYS = 146097;  // 400 years: a whole number of weeks
constexpr long long CYCLE_SECS = CYCLE_DAYS * DAY_SECS;
constexpr long long DAYS_TO_2000 = 10957;  // 1970-01-01 to 2000-01-01
// Seconds far enough from 1970 that their year no longer fits the broken-down time.
constexpr long long FARTHEST_SECS = 67767976233316800LL;

long long floor_div(long long a, long long b) {
    long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days from 1970-01-01 to a date of the Gregorian calendar (month 1-12), and back.
long long days_from_civil(long long y, long long m, long long d) {
    y -= m <= 2 ? 1 : 0;
    long long era = floor_div(y, 400), yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * CYCLE_DAYS + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

void civil_from_days(long long days, long long& y, int& m, int& d) {
    days += 719468;
    long long era = floor_div(days, CYCLE_DAYS), doe = days - era * CYCLE_DAYS;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

// Whole cycles from the years 2000-2399 to secs.
long long cycles_away(long long secs) {
    return floor_div(floor_div(secs, DAY_SECS) - DAYS_TO_2000, CYCLE_DAYS);
}

bool set_year(struct tm& t, long long year) {
    if (year - 1900 < INT_MIN || year - 1900 > INT_MAX) return false;
    t.tm_year = static_cast<int>(year - 1900);
    return true;
}

}  // namespace

bool utc_time(time_t secs, struct tm& t) {
    if (secs < -FARTHEST_SECS || secs > FARTHEST_SECS) return false;
    long long days = floor_div(secs, DAY_SECS), rest = secs - days * DAY_SECS, year;
    int mon, day;
    civil_from_days(days, year, mon, day);
    t = {};
    if (!set_year(t, year)) return false;
    t.tm_mon = mon - 1;
    t.tm_mday = day;
    t.tm_hour = static_cast<int>(rest / 3600);
    t.tm_min = static_cast<int>(rest / 60 % 60);
    t.tm_sec = static_cast<int>(rest % 60);
    t.tm_wday = static_cast<int>((days % 7 + 11) % 7);  // 1970-01-01 was a Thursday
    t.tm_yday = static_cast<int>(days - days_from_civil(year, 1, 1));
    return true;
}

bool local_time(time_t secs, struct tm& t) {
    if (secs < -FARTHEST_SECS || secs > FARTHEST_SECS) return false;
    long long k = cycles_away(secs);
    time_t moved = static_cast<time_t>(secs - k * CYCLE_SECS);
    if (localtime_s(&t, &moved) != 0) return false;
    return set_year(t, t.tm_year + 1900LL + 400 * k);
}

time_t local_seconds(struct tm& t) {
    long long mon = t.tm_mon, year = t.tm_year + 1900LL + floor_div(mon, 12);
    mon -= floor_div(mon, 12) * 12;
    long long clock = (days_from_civil(year, mon + 1, 1) + t.tm_mday - 1) * DAY_SECS +
                      t.tm_hour * 3600LL + t.tm_min * 60LL + t.tm_sec;
    if (clock < -FARTHEST_SECS || clock > FARTHEST_SECS) return -1;
    long long k = cycles_away(clock);
    struct tm moved;
    if (!utc_time(static_cast<time_t>(clock - k * CYCLE_SECS), moved)) return -1;
    moved.tm_isdst = t.tm_isdst;
    time_t secs = mktime(&moved);
    if (secs == -1 || !set_year(moved, moved.tm_year + 1900LL + 400 * k)) return -1;
    t = moved;
    return static_cast<time_t>(secs + k * CYCLE_SECS);
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

// The runtime counts every character device as a terminal, the NUL device too; only a
// console has someone to answer.
bool stdin_is_terminal() {
    DWORD mode;
    return _isatty(_fileno(stdin)) != 0 && GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode);
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

void keep_large_blocks_together() {}

void back_with_huge_pages(std::vector<std::pair<void*, size_t>>) {}
