// Test helpers: temporary directories, file I/O, running the built binary, and
// capturing what a routine prints and how it ends.
#pragma once
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/platform.h"

// Tests that cannot hold on Windows say why there.
#ifdef _WIN32
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << "not on Windows: " << reason
#else
#define SKIP_ON_WINDOWS(reason) (void)0
#endif

// The text with every option written with "--" at the start of a word (or of a line)
// written the way this build writes options ("/" on Windows).
inline std::string native_options(const std::string& text) {
    std::string s;
    for (size_t i = 0; i < text.size(); ++i) {
        bool word_start = i == 0 || text[i - 1] == ' ' || text[i - 1] == '\n';
        if (word_start && text.compare(i, 2, "--") == 0 && i + 2 < text.size() &&
            text[i + 2] != ' ' && text[i + 2] != '\n') {
            s += OPTION_PREFIX;
            ++i;
        } else {
            s += text[i];
        }
    }
    return s;
}

// A fresh directory under /tmp (on Windows beside the test program), removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;
    // Names of the files in the directory, sorted.
    std::vector<std::string> files() const;

private:
    std::string path_;
};

// A second name in dir for its file target: a symbolic link, on Windows (where links
// need privileges) a hard link.
bool link_file(const TempDir& dir, const std::string& target, const std::string& name);

void write_file(const std::string& path, const std::string& content);
// The content compressed in the gzip format.
std::string gzipped(const std::string& content);
std::string read_file(const std::string& path);
// Everything left to read from an open stream (a temporary file, a pipe).
std::string read_stream(FILE* fp);
bool file_exists(const std::string& path);

struct RunResult {
    int status = -1;  // exit status, or -1 when the process did not exit normally
    std::string out;  // standard output (and standard error, which should stay empty)
    bool timed_out = false;  // the run was stopped after RUN_TIMEOUT_SECONDS
};

// A run of the binary that takes longer than this is taken to hang and is killed.
inline constexpr unsigned RUN_TIMEOUT_SECONDS = 20;

// Runs build/tsgraf with args in dir, TZ=UTC unless env says otherwise, stdin fed from
// stdin_text (closed when empty), the binary's folder first on PATH. A run that hangs
// is killed after RUN_TIMEOUT_SECONDS (status -1, timed_out set).
RunResult run_tsgraf(const TempDir& dir, const std::vector<std::string>& args,
                     const std::string& stdin_text = "",
                     const std::map<std::string, std::string>& env = {});

// Runs fn with standard output captured; RunEnd is caught. status is the RunEnd status,
// or -1 when fn returned normally.
RunResult capture(const std::function<void()>& fn);

// Replaces standard input by the given text for its lifetime.
class StdinFrom {
public:
    explicit StdinFrom(const std::string& text);
    ~StdinFrom();

private:
    int saved_;
    std::string name_;
};

// Changes the working directory for its lifetime.
class InDir {
public:
    explicit InDir(const std::string& dir);
    ~InDir();

private:
    std::string saved_;
};

// Sets (or with unset, removes) an environment variable for its lifetime.
class EnvVar {
public:
    EnvVar(const std::string& name, const char* value);
    ~EnvVar();

private:
    std::string name_;
    bool had_;
    std::string old_;
};
