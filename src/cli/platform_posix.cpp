// The platform layer on POSIX systems.
#include <glob.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "cli/platform.h"

extern char** environ;

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
