// Ending a run: the caller prints its message first, then calls end_run.
// main() catches RunEnd, closes the run's files and returns the status.
#pragma once

struct RunEnd {
    int status;
};

// Status 0: the run finished or stopped early by design (help, version, ...).
// Status 1: the run stopped on an error message.
[[noreturn]] void end_run(int status);
inline constexpr int END_OK = 0;
inline constexpr int END_ERROR = 1;
