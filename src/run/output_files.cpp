#include "run/output_files.h"

#include <ctime>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "chart/draw.h"
#include "report/html.h"
#include "report/pdf.h"
#include "cli/platform.h"

void get_current_time(const RunState& rs, const char* text) {
    struct tm lt = {};
    local_time(rs.clock.now(), lt);
    out("\n%s %02d:%02d:%02d\n", text, lt.tm_hour, lt.tm_min, lt.tm_sec);
}

void refuse_input_as_output(const RunState& rs, const std::string& name, const char* what,
                            const std::function<void()>& undo) {
    const FileId* input = same_file_as(rs.input_ids, name);
    if (!input) return;
    out("\n%s %s is the same file as input file %s\n", what, name.c_str(), input->name.c_str());
    if (undo) undo();
    end_run(END_ERROR);
}

FILE* open_output(const RunState& rs, const std::string& name) {
    refuse_input_as_output(rs, name);
    FILE* fp = fopen(name.c_str(), "wb");
    if (!fp) out("\nError opening output file, %s\n", name.c_str());
    return fp;
}

static std::string full_name(const std::string& name) {
    if (!name.empty() && name[0] == '/') return name;
    return current_dir() + "/" + name;
}

FILE* open_pending(RunState& rs, const std::string& name, const char* mode) {
    // A device or pipe named as output is written as it is: it has nothing to replace.
    PathKind kind = path_kind(name);
    if (kind != PathKind::NONE && kind != PathKind::REGULAR) return fopen(name.c_str(), mode);
    std::string final = full_name(name);
    std::string tmp = final + ".tsgraf-part";
    FILE* fp = fopen(tmp.c_str(), mode);
    if (fp) rs.pending.push_back({fp, tmp, final});
    return fp;
}

bool finish_output(RunState& rs, FILE* fp, bool written) {
    if (!fp) return true;
    size_t i = 0;
    while (i < rs.pending.size() && rs.pending[i].fp != fp) ++i;
    bool ok = written && ferror(fp) == 0;
    if (fclose(fp) != 0) ok = false;
    if (i == rs.pending.size()) return ok;
    RunState::PendingFile p = rs.pending[i];
    rs.pending.erase(rs.pending.begin() + static_cast<long>(i));
    if (ok) ok = replace_file(p.tmp, p.final);
    if (!ok) std::remove(p.tmp.c_str());
    return ok;
}

void close_output_csv(RunState& rs) {
    FILE* fp = rs.outcsvfp;
    if (!fp) return;
    rs.outcsvfp = nullptr;
    if (!finish_output(rs, fp)) {
        out("\nError writing output CSV file, %s\n", rs.csv_outfil.c_str());
        end_run(END_ERROR);
    }
}

// The run's own handles that point at fp are closed with it.
static void forget_handle(RunState& rs, FILE* fp) {
    for (FILE** h : {&rs.logfp, &rs.htmfp, &rs.outfp, &rs.outfp_csv, &rs.outcsvfp, &rs.htmrfp,
                     &rs.rparfp})
        if (*h == fp) *h = nullptr;
}

void finish_all_outputs(RunState& rs) {
    while (!rs.pending.empty()) {
        FILE* fp = rs.pending.front().fp;
        forget_handle(rs, fp);
        finish_output(rs, fp);
    }
}

void discard_outputs(RunState& rs) {
    for (const RunState::PendingFile& p : rs.pending) {
        forget_handle(rs, p.fp);
        fclose(p.fp);
        std::remove(p.tmp.c_str());
    }
    rs.pending.clear();
}

void refuse_run_files_over_inputs(const RunState& rs) {
    std::string dir = rs.dirflag ? rs.direcname + "/" : std::string();
    auto check = [&](const std::string& name) {
        refuse_input_as_output(rs, !name.empty() && name[0] == '/' ? name : dir + name);
    };
    if (!rs.iflag) check(rs.logfil);
    if (!rs.nocharts) check(rs.htmfil);
    if (!rs.nocharts && rs.pdfflag) check(pdf_name(rs));
    if (!rs.iflag) {
        check(rs.outfil);
        check(rs.outfilcsv);
    }
}

// After a failed creation in the output directory: go back, then end the run.
[[noreturn]] static void fail_in_dir(RunState& rs, const char* tag) {
    if (rs.dirflag) switch_dir(rs.curname, tag, rs.verbose);
    end_run(END_ERROR);
}

void print_hdrs(RunState& rs) {
    // Refused before the log is made, so that nothing at all is written.
    refuse_run_files_over_inputs(rs);
    if (rs.dirflag) switch_dir(rs.direcname, "7", rs.verbose);
    if (!rs.iflag) {
        rs.logfp = open_output(rs, rs.logfil);
        if (!rs.logfp) end_run(END_ERROR);
        if (!rs.qflag) out("Opened output log file %s\n", rs.logfil.c_str());
        fout(rs.logfp, "\n%s\n\n", banner().c_str());
    }
    if (!rs.nocharts) {
        rs.htmfp = open_pending(rs, rs.htmfil);
        if (!rs.htmfp) {
            out("\nError opening output file, %s\n", rs.htmfil.c_str());
            fail_in_dir(rs, "8");
        }
        write_html_first_line(rs);
    }
    if (!rs.iflag) {
        rs.outfp = open_pending(rs, rs.outfil);
        if (!rs.outfp) {
            out("\nError opening output file, %s\n", rs.outfil.c_str());
            fail_in_dir(rs, "9");
        }
        rs.outfp_csv = open_pending(rs, rs.outfilcsv);
        if (!rs.outfp_csv) {
            out("\nError opening output file, %s\n", rs.outfilcsv.c_str());
            end_run(END_ERROR);
        }
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
    // Charts drawn before the run ended are complete files, as they are without threads.
    settle_chart_files(rs);
    // Whatever is still pending did not complete: the previous run's files stay.
    discard_outputs(rs);
    close_file(rs.logfp);
    close_file(rs.htmfp);
    close_file(rs.outfp);
    close_file(rs.outfp_csv);
    close_file(rs.outcsvfp);
    close_file(rs.htmrfp);
    close_file(rs.rparfp);
}
