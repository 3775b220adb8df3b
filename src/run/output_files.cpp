#include "run/output_files.h"

#include <ctime>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "report/html.h"
#include "cli/platform.h"

void get_current_time(const char* text) {
    time_t now = time(nullptr);
    struct tm lt = {};
    local_time(now, lt);
    out("\n%s %02d:%02d:%02d\n", text, lt.tm_hour, lt.tm_min, lt.tm_sec);
}

void refuse_input_as_output(const RunState& rs, const std::string& name) {
    const FileId* input = same_file_as(rs.input_ids, name);
    if (!input) return;
    out("\nOutput file %s is the same file as input file %s\n", name.c_str(), input->name.c_str());
    end_run(END_ERROR);
}

FILE* open_output(const RunState& rs, const std::string& name) {
    refuse_input_as_output(rs, name);
    FILE* fp = fopen(name.c_str(), "wb");
    if (!fp) out("\nError opening output file, %s\n", name.c_str());
    return fp;
}

// After a failed creation in the output directory: go back, then end the run.
[[noreturn]] static void fail_in_dir(RunState& rs, const char* tag) {
    if (rs.dirflag) switch_dir(rs.curname, tag, rs.verbose);
    end_run(END_ERROR);
}

void print_hdrs(RunState& rs) {
    if (rs.dirflag) switch_dir(rs.direcname, "7", rs.verbose);
    if (!rs.iflag) {
        rs.logfp = open_output(rs, rs.logfil);
        if (!rs.logfp) end_run(END_ERROR);
        if (!rs.qflag) out("Opened output log file %s\n", rs.logfil.c_str());
        fout(rs.logfp, "\n%s\n\n", banner().c_str());
    }
    if (!rs.nocharts) {
        rs.htmfp = open_output(rs, rs.htmfil);
        if (!rs.htmfp) fail_in_dir(rs, "8");
        write_html_first_line(rs);
    }
    if (!rs.iflag) {
        rs.outfp = open_output(rs, rs.outfil);
        if (!rs.outfp) fail_in_dir(rs, "9");
        rs.outfp_csv = open_output(rs, rs.outfilcsv);
        if (!rs.outfp_csv) end_run(END_ERROR);
    }
    if (rs.yflag) {
        strupper(rs.csv_paramfil);
        out("List of Parameters in CSV file will be written to %s\n", rs.csv_paramfil.c_str());
    }
    if (rs.dirflag) switch_dir(rs.curname, "10", rs.verbose);
}

static void close_file(FILE*& fp) {
    if (fp) fclose(fp);
    fp = nullptr;
}

void close_run_files(RunState& rs) {
    fflush(stdout);
    close_file(rs.logfp);
    close_file(rs.htmfp);
    close_file(rs.outfp);
    close_file(rs.outfp_csv);
    close_file(rs.outcsvfp);
    close_file(rs.htmrfp);
    close_file(rs.rparfp);
}
