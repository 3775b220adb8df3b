#include "run/run_files.h"

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "chart/draw.h"
#include "core/output_files.h"
#include "report/html.h"
#include "report/pdf.h"

void refuse_run_files_over_inputs(const RunState& rs) {
    std::string dir = rs.opt().dirflag ? rs.opt().direcname + "/" : std::string();
    auto check = [&](const std::string& name) {
        refuse_input_as_output(rs, !name.empty() && name[0] == '/' ? name : dir + name);
    };
    if (!rs.opt().iflag) check(rs.logfil);
    if (!rs.opt().nocharts) check(rs.opt().htmfil);
    if (!rs.opt().nocharts && rs.opt().pdfflag) check(pdf_name(rs));
    if (!rs.opt().iflag) {
        check(rs.outfil);
        check(rs.opt().outfilcsv);
    }
}

// After a failed creation in the output directory: go back, then end the run.
[[noreturn]] static void fail_in_dir(RunState& rs, const char* tag) {
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, tag, rs.opt().verbose);
    end_run(END_ERROR);
}

void print_hdrs(RunState& rs) {
    // Refused before the log is made, so that nothing at all is written.
    refuse_run_files_over_inputs(rs);
    if (rs.opt().dirflag) switch_dir(rs.opt().direcname, "7", rs.opt().verbose);
    if (!rs.opt().iflag) {
        rs.logfp = open_output(rs, rs.logfil);
        if (!rs.logfp) end_run(END_ERROR);
        if (!rs.opt().qflag) out("Opened output log file %s\n", rs.logfil.c_str());
        fout(rs.logfp, "\n%s\n\n", banner().c_str());
    }
    if (!rs.opt().nocharts) {
        rs.htmfp = open_pending(rs, rs.opt().htmfil);
        if (!rs.htmfp) {
            out("\nError opening output file, %s\n", rs.opt().htmfil.c_str());
            fail_in_dir(rs, "8");
        }
        write_html_first_line(rs);
    }
    if (!rs.opt().iflag) {
        rs.outfp = open_pending(rs, rs.outfil);
        if (!rs.outfp) {
            out("\nError opening output file, %s\n", rs.outfil.c_str());
            fail_in_dir(rs, "9");
        }
        rs.outfp_csv = open_pending(rs, rs.opt().outfilcsv);
        if (!rs.outfp_csv) {
            out("\nError opening output file, %s\n", rs.opt().outfilcsv.c_str());
            end_run(END_ERROR);
        }
    }
    if (rs.opt().yflag) {
        out("List of Parameters in CSV file will be written to %s\n", rs.opt().csv_paramfil.c_str());
    }
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, "10", rs.opt().verbose);
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
