#include "cli/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cctype>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

void clear_terminal() {
    if (!isatty(fileno(stdout))) return;
    run_shell(CLEAR_COMMAND);
}

bool make_directory(const std::string& name) {
#ifdef _WIN32
    return _mkdir(name.c_str()) == 0;
#else
    return mkdir(name.c_str(), 0777) == 0;
#endif
}

namespace {

bool plain_char(unsigned char c) {
    return std::isalnum(c) || c >= 0x80 || std::strchr("_-.,/:=+@%^", c) != nullptr;
}

bool glob_char(char c) {
    return c == '*' || c == '?' || c == '[' || c == ']';
}

std::string single_quoted(const std::string& text, bool keep_globs) {
    std::string s;
    bool open = false;
    for (char c : text) {
        bool bare = c == '\'' || (keep_globs && glob_char(c));
        if (bare == open) {
            s += '\'';
            open = !open;
        }
        s += c == '\'' ? std::string("\\'") : std::string(1, c);
    }
    if (open) s += '\'';
    return s;
}

}  // namespace

std::string shell_word(const std::string& arg, bool keep_globs) {
    if (arg.empty()) return "''";
    bool plain = true, only_spaces = true, globs = false;
    for (char c : arg) {
        if (plain_char(static_cast<unsigned char>(c))) continue;
        if (glob_char(c)) {
            globs = true;
            if (keep_globs) continue;
        }
        plain = false;
        if (c != ' ' && c != '\t') only_spaces = false;
    }
    if (plain) return arg;
    size_t eq = arg.find('=');
    size_t keep = (arg[0] == '-' && eq != std::string::npos) ? eq + 1 : 0;
    for (size_t i = 0; i < keep; ++i)
        if (!plain_char(static_cast<unsigned char>(arg[i]))) keep = 0;
    std::string head = arg.substr(0, keep), value = arg.substr(keep);
    if (only_spaces && !(keep_globs && globs)) return head + '"' + value + '"';
    if (value.empty()) return head + "''";
    return head + single_quoted(value, keep_globs);
}

int run_shell(const std::string& command) {
    fflush(stdout);
    return std::system(command.c_str());
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
#ifdef _WIN32
    return static_cast<int>(_spawnvp(_P_WAIT, argv[0], argv.data()));
#else
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
#endif
}
