// The test harness on Windows: processes, descriptors and the environment.
#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "base/platform.h"
#include "base/run_end.h"
#include "harness.h"

namespace {

// Text-mode standard output writes "\r\n" for each "\n"; the tests compare "\n".
std::string without_cr(const std::string& s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) r += s[i];
    return r;
}

// A path of the machine running the tests ("/work/...") as Windows names it.
std::string windows_name(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string temp_name(const char* what) {
    static unsigned counter = 0;
    // Beside the test program: the same drive as the binaries and the test data.
    static const std::string base = current_directory();
    return base + "\\tsgraf-" + what + "-" + std::to_string(_getpid()) + "-" +
           std::to_string(++counter);
}

}  // namespace

TempDir::TempDir() {
    // The emulator hands out the same few process ids again, and a folder still in use
    // when its test ended stays behind: take the next free name.
    for (int tries = 0; tries < 1000; ++tries) {
        path_ = temp_name("test");
        if (make_directory(path_)) return;
    }
    throw std::runtime_error("cannot make " + path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

RunResult run_tsgraf(const TempDir& dir, const std::vector<std::string>& args,
                     const std::string& stdin_text,
                     const std::map<std::string, std::string>& env) {
    const std::string bin = windows_name(TSGRAF_BINARY);
    const std::string bindir = bin.substr(0, bin.rfind('\\'));
    TempDir io;
    std::string inpath = io.file("stdin"), outpath = io.file("stdout");
    write_file(inpath, stdin_text);

    // The child's environment: this one with the harness's changes.
    std::map<std::string, std::string> vars;
    for (char** e = _environ; e && *e; ++e) {
        std::string kv = *e;
        size_t eq = kv.find('=', 1);
        if (eq != std::string::npos) vars[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    vars["TZ"] = "UTC";
    for (const char* v : {"SPACEPREFIX", "MAXINTERVALS", "MAXLINE", "MAXDATA", "MAXF2LEN",
                          "MAXF2OUTPAR"})
        vars.erase(v);
    vars["PATH"] = bindir + ";" + vars["PATH"];
    for (const auto& [k, v] : env) vars[k] = v;
    std::string block;
    for (const auto& [k, v] : vars) block += k + "=" + v + '\0';
    block += '\0';

    std::string cmdline = "tsgraf";
    for (const auto& a : args) {
        bool plain = !a.empty() && a.find_first_of(" \t\"") == std::string::npos;
        cmdline += " " + (plain ? a : crt_quoted(a));
    }

    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE in = CreateFileA(stdin_text.empty() ? "NUL" : inpath.c_str(), GENERIC_READ,
                            FILE_SHARE_READ, &sa, OPEN_EXISTING, 0, nullptr);
    HANDLE out = CreateFileA(outpath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa,
                             CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi{};
    RunResult r;
    std::vector<char> line(cmdline.begin(), cmdline.end());
    line.push_back('\0');
    // The emulator now and then fails to start a program on a busy machine: try again.
    BOOL started = FALSE;
    for (int tries = 0; tries < 5 && !started; ++tries) {
        if (tries > 0) Sleep(500 * tries);
        started = CreateProcessA(bin.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                 block.data(), dir.path().c_str(), &si, &pi);
    }
    CloseHandle(in);
    CloseHandle(out);
    if (!started) {
        r.out = "could not start " + bin + ": error " + std::to_string(GetLastError());
        return r;
    }
    // The emulator starts programs slowly; the limit is for hangs, not for speed.
    if (WaitForSingleObject(pi.hProcess, RUN_TIMEOUT_SECONDS * 3000) == WAIT_TIMEOUT) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, INFINITE);
        r.timed_out = true;
    } else {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        r.status = static_cast<int>(code);
    }
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    r.out = without_cr(read_file(outpath));
    return r;
}

RunResult capture(const std::function<void()>& fn) {
    fflush(stdout);
    std::string name = temp_name("capture");
    FILE* f = fopen(name.c_str(), "w+b");
    int saved = _dup(1);
    _dup2(_fileno(f), 1);
    // Binary while captured: what the routine prints arrives as printed, its own "\r" too.
    int mode = _setmode(1, _O_BINARY);
    RunResult r;
    try {
        fn();
    } catch (const RunEnd& e) {
        r.status = e.status;
    }
    fflush(stdout);
    _setmode(1, mode);
    _dup2(saved, 1);
    _close(saved);
    fclose(f);
    r.out = read_file(name);
    std::remove(name.c_str());
    return r;
}

StdinFrom::StdinFrom(const std::string& text) {
    std::string name = temp_name("stdin");
    write_file(name, text);
    int fd = _open(name.c_str(), _O_RDONLY | _O_BINARY);
    saved_ = _dup(0);
    _dup2(fd, 0);
    _close(fd);
    name_ = name;  // removed when closed: Windows refuses to remove an open file
    fseek(stdin, 0, SEEK_SET);
    clearerr(stdin);
}

StdinFrom::~StdinFrom() {
    _dup2(saved_, 0);
    _close(saved_);
    fseek(stdin, 0, SEEK_CUR);
    clearerr(stdin);
    if (!name_.empty()) std::remove(name_.c_str());
}

EnvVar::EnvVar(const std::string& name, const char* value) : name_(name) {
    const char* v = getenv(name.c_str());
    had_ = v != nullptr;
    if (v) old_ = v;
    _putenv_s(name.c_str(), value ? value : "");
}

EnvVar::~EnvVar() {
    _putenv_s(name_.c_str(), had_ ? old_.c_str() : "");
}
#endif
