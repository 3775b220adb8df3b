// The platform layer on POSIX systems.
#include <glob.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "base/platform.h"

extern char** environ;

#if defined(__linux__) && !defined(MADV_COLLAPSE)
#define MADV_COLLAPSE 25  // Linux 6.1 on; earlier kernels refuse it
#endif

bool file_identity(const std::string& name, FileIdentity& id) {
    struct stat st;
    if (stat(name.c_str(), &st) != 0) return false;
    id.volume = static_cast<unsigned long long>(st.st_dev);
    id.index = static_cast<unsigned long long>(st.st_ino);
    return true;
}

PathKind path_kind(const std::string& name) {
    struct stat st;
    if (stat(name.c_str(), &st) != 0) return PathKind::NONE;
    if (S_ISREG(st.st_mode)) return PathKind::REGULAR;
    if (S_ISDIR(st.st_mode)) return PathKind::DIRECTORY;
    return PathKind::OTHER;
}

std::string resolved_path(const std::string& name) {
    std::string s;
    if (char* r = realpath(name.c_str(), nullptr)) {
        s = r;
        free(r);
    }
    return s;
}

bool is_absolute_path(const std::string& name) {
    return !name.empty() && name[0] == '/';
}

const char* path_separators() {
    return "/";
}

std::vector<std::string> list_pattern(const std::string& pattern) {
    std::vector<std::string> names;
    glob_t g{};
    if (glob(pattern.c_str(), 0, nullptr, &g) == 0) {
        for (size_t i = 0; i < g.gl_pathc; ++i) names.emplace_back(g.gl_pathv[i]);
    }
    globfree(&g);
    return names;
}

bool change_directory(const std::string& dir) {
    return chdir(dir.c_str()) == 0;
}

std::string current_directory() {
    std::vector<char> buf(4096);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE || buf.size() > (1u << 20)) return "";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

bool make_directory(const std::string& name) {
    return mkdir(name.c_str(), 0777) == 0;
}

bool replace_file(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool local_time(time_t secs, struct tm& t) {
    return localtime_r(&secs, &t) != nullptr;
}

bool utc_time(time_t secs, struct tm& t) {
    return gmtime_r(&secs, &t) != nullptr;
}

time_t local_seconds(struct tm& t) {
    return mktime(&t);
}

void clear_terminal() {
    if (!isatty(fileno(stdout))) return;
    run_shell(CLEAR_COMMAND);
}

FILE* second_stream(FILE* fp) {
    fflush(fp);
    int fd = dup(fileno(fp));
    if (fd < 0) return nullptr;
    lseek(fd, 0, SEEK_SET);
    FILE* in = fdopen(fd, "rb");
    if (!in) close(fd);
    return in;
}

bool stdin_is_terminal() {
    return isatty(fileno(stdin)) != 0;
}

int run_program(const std::vector<std::string>& args) {
    if (args.empty()) {
        errno = EINVAL;
        return -1;
    }
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    fflush(stdout);
    pid_t pid;
    int rc = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    if (rc != 0) {
        errno = rc;
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

void keep_large_blocks_together() {
#if defined(__GLIBC__)
    // The largest threshold glibc accepts: series of up to 4 million values stay on the
    // heap, side by side, where huge pages can back them.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

void back_with_huge_pages(std::vector<std::pair<void*, size_t>> blocks) {
#if defined(MADV_HUGEPAGE)
    const uintptr_t huge = uintptr_t{2} << 20;
    std::sort(blocks.begin(), blocks.end());
    size_t i = 0;
    while (i < blocks.size()) {
        // Blocks that follow each other on the heap (a few bytes of bookkeeping apart)
        // make one region.
        uintptr_t lo = reinterpret_cast<uintptr_t>(blocks[i].first);
        uintptr_t hi = lo + blocks[i].second;
        for (++i; i < blocks.size(); ++i) {
            uintptr_t b = reinterpret_cast<uintptr_t>(blocks[i].first);
            if (b > hi + 4096) break;
            hi = std::max(hi, b + blocks[i].second);
        }
        lo = (lo + huge - 1) & ~(huge - 1);
        hi &= ~(huge - 1);
        if (hi <= lo) continue;
        void* at = reinterpret_cast<void*>(lo);
        // Advice only: where it is refused, pages come one at a time as usual.
        if (madvise(at, hi - lo, MADV_HUGEPAGE) != 0) continue;
#if defined(MADV_COLLAPSE)
        // The first bytes of each block were written when it was allocated; without this
        // those pages would keep their 2 MB stretch from being one huge page.
        madvise(at, hi - lo, MADV_COLLAPSE);
#endif
    }
#else
    (void)blocks;
#endif
}
