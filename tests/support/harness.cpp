#include "harness.h"

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/platform.h"
#include "base/run_end.h"

void write_file(const std::string& path, const std::string& content) {
    std::ofstream f(path, std::ios::binary);
    f << content;
}

std::string gzipped(const std::string& content) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    std::string packed(deflateBound(&z, content.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
    z.avail_in = static_cast<uInt>(content.size());
    z.next_out = reinterpret_cast<Bytef*>(&packed[0]);
    z.avail_out = static_cast<uInt>(packed.size());
    int rc = deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
    return packed;
}

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::string read_stream(FILE* fp) {
    std::string s;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, fp)) > 0) s.append(buf, n);
    return s;
}

bool file_exists(const std::string& path) {
    return path_kind(path) != PathKind::NONE;
}

bool link_file(const TempDir& dir, const std::string& target, const std::string& name) {
    std::error_code ec;
#ifdef _WIN32
    std::filesystem::create_hard_link(dir.file(target), dir.file(name), ec);
#else
    std::filesystem::create_symlink(target, dir.file(name), ec);
#endif
    return !ec;
}

void TempDir::write(const std::string& name, const std::string& content) const {
    write_file(file(name), content);
}
std::string TempDir::read(const std::string& name) const { return read_file(file(name)); }
bool TempDir::exists(const std::string& name) const { return file_exists(file(name)); }

std::vector<std::string> TempDir::files() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(path_, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

InDir::InDir(const std::string& dir) {
    saved_ = current_directory();
    if (!change_directory(dir)) throw std::runtime_error("chdir failed: " + dir);
}

InDir::~InDir() {
    if (!change_directory(saved_)) perror("chdir");
}

// The rest has a Windows body in harness_windows.cpp.
#ifndef _WIN32
TempDir::TempDir() {
    char tmpl[] = "/tmp/tsgraf-test-XXXXXX";
    if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::string cmd = "rm -rf '" + path_ + "'";
    if (std::system(cmd.c_str()) != 0) perror("rm");
}

static std::string read_all_fd(int fd) {
    std::string s;
    char buf[65536];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<size_t>(n));
    return s;
}

RunResult run_tsgraf(const TempDir& dir, const std::vector<std::string>& args,
                     const std::string& stdin_text,
                     const std::map<std::string, std::string>& env) {
    std::string bin = TSGRAF_BINARY;
    std::string bindir = bin.substr(0, bin.rfind('/'));
    TempDir io;
    std::string inpath = io.file("stdin"), outpath = io.file("stdout");
    write_file(inpath, stdin_text);

    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.path().c_str()) != 0) _exit(126);
        int in = stdin_text.empty() ? -1 : open(inpath.c_str(), O_RDONLY);
        if (in >= 0) {
            dup2(in, 0);
            close(in);
        } else {
            close(0);
        }
        int o = open(outpath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(o, 1);
        dup2(o, 2);
        close(o);
        setenv("TZ", "UTC", 1);
        unsetenv("SPACEPREFIX");
        for (const char* v : {"MAXINTERVALS", "MAXLINE", "MAXDATA", "MAXF2LEN", "MAXF2OUTPAR"})
            unsetenv(v);
        const char* path = getenv("PATH");
        setenv("PATH", (bindir + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
        for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
        std::vector<char*> av;
        av.push_back(const_cast<char*>("tsgraf"));
        for (const auto& a : args) av.push_back(const_cast<char*>(a.c_str()));
        av.push_back(nullptr);
        // A pending alarm survives exec; its default action ends the process.
        signal(SIGALRM, SIG_DFL);
        alarm(RUN_TIMEOUT_SECONDS);
        execv(bin.c_str(), av.data());
        _exit(127);
    }
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    RunResult r;
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    r.timed_out = WIFSIGNALED(wstatus) && WTERMSIG(wstatus) == SIGALRM;
    int fd = open(outpath.c_str(), O_RDONLY);
    if (fd >= 0) {
        r.out = read_all_fd(fd);
        close(fd);
    }
    return r;
}

RunResult capture(const std::function<void()>& fn) {
    fflush(stdout);
    char tmpl[] = "/tmp/tsgraf-capture-XXXXXX";
    int fd = mkstemp(tmpl);
    int saved = dup(1);
    dup2(fd, 1);
    RunResult r;
    try {
        fn();
    } catch (const RunEnd& e) {
        r.status = e.status;
    }
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    lseek(fd, 0, SEEK_SET);
    r.out = read_all_fd(fd);
    close(fd);
    unlink(tmpl);
    return r;
}

StdinFrom::StdinFrom(const std::string& text) {
    char tmpl[] = "/tmp/tsgraf-stdin-XXXXXX";
    int fd = mkstemp(tmpl);
    if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) perror("write");
    lseek(fd, 0, SEEK_SET);
    unlink(tmpl);
    saved_ = dup(0);
    dup2(fd, 0);
    close(fd);
    fseek(stdin, 0, SEEK_SET);  // drop anything buffered from the old descriptor
    clearerr(stdin);
}

StdinFrom::~StdinFrom() {
    dup2(saved_, 0);
    close(saved_);
    fseek(stdin, 0, SEEK_CUR);
    clearerr(stdin);
}


EnvVar::EnvVar(const std::string& name, const char* value) : name_(name) {
    const char* v = getenv(name.c_str());
    had_ = v != nullptr;
    if (v) old_ = v;
    if (value)
        setenv(name.c_str(), value, 1);
    else
        unsetenv(name.c_str());
}

EnvVar::~EnvVar() {
    if (had_)
        setenv(name_.c_str(), old_.c_str(), 1);
    else
        unsetenv(name_.c_str());
}
#endif
