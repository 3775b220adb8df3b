// Survey, selection and load of files written into a temporary directory, as a run does
// them: the set-up the input, layout and correlation tests share.
#pragma once
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>

#include "core/tables.h"
#include "export/extract.h"
#include "harness.h"
#include "input/survey.h"
#include "select/selection.h"

// "hh:mm:ss" of a second of the day.
inline std::string clock_text(int secs) {
    char buf[16];
    snprintf(buf, sizeof buf, "%02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
    return buf;
}

struct LoadedRun {
    TempDir dir;
    InDir in{dir.path()};
    EnvVar tz{"TZ", "UTC"};
    RunState rs;
    RunResult result;

    // Every parameter selected, quiet, no listing and no charts.
    LoadedRun() {
        tzset();
        rs.set_opt().pflag = 1;
        rs.nums_str = "0";
        rs.set_opt().iflag = 1;
        rs.set_opt().nocharts = 1;
        rs.set_opt().qflag = 1;
    }
    // Writes the file and names it as the next input.
    void file(const std::string& name, const std::string& text) {
        dir.write(name, text);
        rs.files.emplace_back();
        rs.files.back().datafil = name;
        rs.filenum = static_cast<int>(rs.files.size()) - 1;
    }
    // Surveys, selects and loads every file named; then runs `after` in the same capture.
    RunResult load(const std::function<void()>& after = nullptr) {
        return result = capture([&] {
                   read_datafil_cols(rs, 0);
                   alloc_global_vars(rs);
                   for (int f = 0; f <= rs.filenum; ++f) get_parameters(rs, f);
                   load_and_extract(rs);
                   if (after) after();
               });
    }
    // Grid slot of file f, parameter j.
    double at(int f, int j, int slot) const {
        return rs.pts[static_cast<size_t>(f)][static_cast<size_t>(j)][static_cast<size_t>(slot)];
    }
};
