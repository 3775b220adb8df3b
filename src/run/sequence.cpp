#include "run/sequence.h"

#include <cstdlib>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/platform.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "chart/draw.h"
#include "chart/geometry.h"
#include "cli/normalise.h"
#include "cli/options.h"
#include "core/output_files.h"
#include "core/tables.h"
#include "export/append.h"
#include "export/extract.h"
#include "export/merge.h"
#include "export/sorted_extract.h"
#include "input/load.h"
#include "input/survey.h"
#include "report/html.h"
#include "report/pdf.h"
#include "run/chart_pass.h"
#include "run/history.h"
#include "run/run_files.h"
#include "select/calc.h"
#include "select/selection.h"
#include "stats/correl.h"
#include "stats/listing.h"
#include "stats/rules.h"
#include "stats/statistics.h"

std::string banner() { return std::string(PROGNAME) + " " + VERSION; }

static void read_limit(const char* name, int& member) {
    if (const char* v = getenv(name)) member = atoi_s(v);
}

void read_limits(RunState& rs) {
    read_limit("MAXINTERVALS", rs.maxpts);
    read_limit("MAXLINE", rs.maxlinelen);
    read_limit("MAXDATA", rs.maxdatalen);
    read_limit("MAXF2LEN", rs.format2maxlen);
    read_limit("MAXF2OUTPAR", rs.fmt2max);
    if (rs.opt().verbose)
        out("MAXLINE=%d, MAXDATA=%d, MAXINTERVALS=%d, MAXF2LEN=%d, MAXF2OUTPAR=%d\n",
            rs.maxlinelen, rs.maxdatalen, rs.maxpts, rs.format2maxlen, rs.fmt2max);
}

// Survey (with its one retry), then the union of names of several files.
static void survey_files(RunState& rs) {
    int r = read_datafil_cols(rs, 0);
    if (r == -1) {
        out("Error from read_datafil_cols(). Trying again with increased maxlinelen\n");
        r = read_datafil_cols(rs, 1);
    }
    if (r == -2) {
        append_similar_files(rs);
        end_run(END_OK);
    }
    if (rs.filenum >= 1 && !rs.opt().append) {
        get_all_param_names(rs);
        if (!rs.files.empty()) rs.numcol = rs.files[0].numcols;
    }
}

// The derived memory-utilisation parameter and the calculated parameters join the
// selection; the moving-average width becomes a count of samples.
static void prepare_parameters(RunState& rs) {
    if (rs.freelistnum != -1) ++rs.numpar;
    int count = rs.wild ? rs.totwcalc : rs.numcalcs;
    if (!rs.wild && rs.opt().verbose) out("Number of parameters = %d\n", rs.numpar);
    for (int k = 0; k < count; ++k) {
        size_t slot = static_cast<size_t>(rs.numpar + k);
        size_t col = static_cast<size_t>(rs.numcol + 1 + k);
        if (!rs.param_nums.empty() && slot < rs.param_nums[0].size())
            rs.param_nums[0][slot] = static_cast<int>(col);
        if (col < rs.fp_nums.size()) rs.fp_nums[col] = 1;
    }
    rs.numpar += count;
    if (rs.opt().aflag) {
        rs.ma_samples = rs.opt().movavg;
        if (rs.sampint != 0) rs.ma_samples /= rs.sampint;
        // A negative interval (time stamps running backwards) gives no usable window.
        if (rs.ma_samples <= 0) rs.ma_samples = rs.num;
    }
}

// The Y-axis maximum as the largest maximum of all parameters, from the largest value
// the load found in each column of the first file.
static int largest_running_max(const RunState& rs) {
    int z = 0;
    for (int p = 0; p < rs.numpar; ++p) {
        double v = static_cast<size_t>(p) < rs.colmax.size() ? rs.colmax[static_cast<size_t>(p)] : 0;
        int t = trunc_to_int(v);
        if (p == 0 || t >= z) z = t;
    }
    return z;
}

static void write_correl_lis(RunState& rs) {
    if (rs.opt().dirflag) switch_dir(rs.opt().direcname, "1", rs.opt().verbose);
    out("Correlation parameters are %s\n", rs.correl_lis.c_str());
    refuse_input_as_output(rs, "CORREL.LIS");
    FILE* fp = fopen("CORREL.LIS", "wb");
    if (!fp) {
        out("\nError opening file, %s\n", "CORREL.LIS");
        end_run(END_ERROR);
    }
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, "2", rs.opt().verbose);
    fout(fp, "%s\n", rs.correl_lis.c_str());
    fclose(fp);
}

// The end of a run: footers, closed files and the summary.
void close_and_summarise(RunState& rs) {
    if (!rs.opt().nocharts) {
        write_html_footer(rs);
        if (rules_in_force(rs)) {
            write_rules_html_footer(rs);
            fout(rs.rparfp, "\n");
        }
    }
    // The page, the peak files and the rules files are complete: they take their places.
    for (FILE** fp : {&rs.htmfp, &rs.htmrfp, &rs.rparfp, &rs.outfp, &rs.outfp_csv, &rs.logfp}) {
        FILE* f = *fp;
        *fp = nullptr;
        finish_output(rs, f);
    }
    if (rs.opt().cflag || rs.opt().corrall) write_correl_lis(rs);
    if (!rs.opt().nocharts) {
        out(rs.cnt == 1 ? "\nCreated %d Y8 chart and HTML file %s "
                        : "\nCreated %d Y8 charts and HTML file %s ",
            rs.cnt, rs.opt().htmfil.c_str());
        if (rs.numovr != 0) out("with %d graphs ", rs.numovr);
        if (rs.opt().dirflag)
            out("in directory %s\n", rs.opt().direcname.c_str());
        else
            out("\n");
    }
    if (rules_in_force(rs) && rs.firedcnt != 0) {
        out("\nCreated HTML file %s with %d fired rules. ", rs.htmrulfil.c_str(), rs.firedcnt);
        out("Fired parameter numbers are in Y8RULESPAR.LIS\n\n");
    }
    if (rs.cnt == 0 && !rs.opt().qflag) out("\nLook in Y8_LOG.LIS for explanation of missing charts!\n");
    if (rs.opt().yflag)
        out("%s contains a list of the selected parameters from the CSV file\n",
            rs.opt().csv_paramfil.c_str());
}

void take_arguments(RunState& rs, int argc, char** argv) {
    const std::string rerun = clean_up_args(rs, argc, argv);
    if (rerun.empty()) return;
    // The command as typed, in its history form: the record is replayed through the shell.
    update_histfile(rs, "", rs.ocmdline);
    run_shell(rerun);
    end_run(END_OK);
}

void run_sequence(RunState& rs, int argc, char** argv) {
    if (getenv("SPACEPREFIX")) {
        rs.spaceprefix = 1;
        out("\nNote: SPACEPREFIX is defined. Option delimiters must be preceeded by a space!\n\n");
    }
    rs.optch = OPTION_PREFIX;
    take_arguments(rs, argc, argv);
    parse_options(rs);
    if (rs.opt().verbose) get_current_time(rs, "Started at");
    out("\n%s\n\n", banner().c_str());
    update_histfile(rs, rs.files.empty() ? std::string() : rs.files[0].datafil, rs.ocmdline);
    print_hdrs(rs);
    read_limits(rs);

    survey_files(rs);
    alloc_global_vars(rs);
    for (int f = 0; f <= rs.filenum; ++f) get_parameters(rs, f);
    apply_sort_request(rs);
    if (rs.opt().mflag) {
        allocate_merged_ar(rs);
        merge_params(rs);
        consolidate_params(rs);
    }
    if (rs.numcalcs > 0) translate_calc_params(rs);
    load_and_extract(rs);
    if (!rs.opt().nocharts) write_html_table_start(rs);
    if (rs.opt().trimzeros) {
        write_trimzeros(rs, rs.hdrlen);
        end_run(END_OK);
    }
    if (rs.opt().rflag) get_y8rules(rs);
    if (rs.opt().cflag > 0)
        read_correl_param(rs, rs.opt().cflag);
    else if (rs.opt().corrall && !rs.opt().qflag)
        out("Looking for Correlation between all parameters\n\n");
    rs.num += rs.totmiss;
    setup_height_and_width(rs);
    prepare_parameters(rs);

    if (rs.opt().zmax == ZMAX_LARGEST) rs.largest_ymax = largest_running_max(rs);

    ParamStats stats;  // the current parameter's, handed from step to step
    unsorted_pass(rs, stats);
    if (rs.opt().topflag) {
        size_t others = static_cast<size_t>(rs.numpar + 1);
        if (others < rs.xlabel.size()) rs.xlabel[others] = strfmt("Others (%d)", rs.numpar - top_shown(rs));
    }
    if (rs.srtflag) sorted_pass(rs, stats);
    finish_chart_files(rs);
    if (rs.opt().macsvflg) write_ma_csv(rs);
    // A sorted run writes the extract after the statistics; it is complete now.
    close_output_csv(rs);

    if (!rs.opt().corrall)
        close_and_summarise(rs);
    else
        check_for_allcorrelation(rs);

    if (rs.opt().nocharts) out("No charts were generated\n");
    if (rs.opt().eflag) out("New file %s created\n", rs.opt().csv_outfil.c_str());
    if (rs.opt().dirflag) switch_dir(rs.opt().direcname, "2", rs.opt().verbose);
    finish_all_outputs(rs);
    if (rs.opt().pdfflag && !rs.opt().nocharts) create_pdf_doc(rs);
    if (rs.opt().verbose) get_current_time(rs, "Ended at");
}
