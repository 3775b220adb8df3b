// Shared set-up of the fuzz targets. Every input runs in an emptied private directory
// (the routines write their files into the current one), with standard output silenced,
// standard input empty and the time zone fixed, and a run that ends by design (RunEnd)
// is a normal outcome. Any other exception escaping is a fault, as it would be in main.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "base/run_end.h"
#include "core/run_state.h"

namespace fuzz {

inline std::string& workdir() {
    static std::string dir;
    return dir;
}

inline void remove_workdir() {
    std::error_code ec;
    std::filesystem::remove_all(workdir(), ec);
}

// Once per process: the private directory, silenced output, empty input, UTC.
inline void setup() {
    if (!workdir().empty()) return;
    char tmpl[] = "/tmp/tsgraf-fuzz-XXXXXX";
    if (!mkdtemp(tmpl)) abort();
    workdir() = tmpl;
    atexit(remove_workdir);
    int null = open("/dev/null", O_RDWR);
    if (null < 0) abort();
    fflush(stdout);
    dup2(null, 0);
    dup2(null, 1);
    close(null);
    setenv("TZ", "UTC", 1);
    for (const char* v :
         {"SPACEPREFIX", "MAXINTERVALS", "MAXLINE", "MAXDATA", "MAXF2LEN", "MAXF2OUTPAR"})
        unsetenv(v);
    tzset();
}

// For one input: the private directory, emptied, as current directory; the previous
// one comes back afterwards (libFuzzer's own paths may be relative).
class Scope {
   public:
    Scope() {
        setup();
        saved_ = open(".", O_RDONLY | O_DIRECTORY);
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(workdir(), ec))
            std::filesystem::remove_all(e.path(), ec);
        if (chdir(workdir().c_str()) != 0) abort();
    }
    ~Scope() {
        fflush(stdout);
        if (saved_ >= 0) {
            if (fchdir(saved_) != 0) abort();
            close(saved_);
        }
    }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    int saved_ = -1;
};

inline void write_file(const char* name, const std::string& text) {
    FILE* fp = fopen(name, "wb");
    if (!fp) abort();
    fwrite(text.data(), 1, text.size(), fp);
    fclose(fp);
}

// Runs the steps of a run; an end by RunEnd is fine, anything else escapes.
inline void guarded(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const RunEnd&) {
    }
}

inline std::unique_ptr<RunState> fresh_state() {
    return std::make_unique<RunState>();
}

// Lines of the input, split at new-lines (a final one adds no empty line).
inline std::vector<std::string> lines(const std::string& s) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < s.size()) {
        size_t nl = s.find('\n', start);
        if (nl == std::string::npos) nl = s.size();
        out.push_back(s.substr(start, nl - start));
        start = nl + 1;
    }
    return out;
}

// Text as a command line can carry it: up to the first NUL.
inline std::string c_text(const std::string& s) {
    return s.substr(0, s.find('\0'));
}

}  // namespace fuzz
