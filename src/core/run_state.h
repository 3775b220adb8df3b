// The whole state of one run. main() owns the only instance; every routine takes it
// as its first argument. Members keep their established names.
#pragma once
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/files.h"
#include "core/param_selection.h"
#include "core/param_stats.h"
#include "core/stamp_range.h"

inline constexpr const char* VERSION = "V1.0-156";
inline constexpr const char* PROGNAME = "TSGRAF";
inline constexpr int MAXFILES = 200;

class ChartFiles;

// The mark of a value the data does not give (see RunState::pts).
inline constexpr double MISSING = std::numeric_limits<double>::quiet_NaN();
inline bool is_missing(double v) {
    return v != v;
}

// Marks the Y-scale limits zmax and zmin hold instead of a number.
inline constexpr int ZMAX_NONE = -1;           // --zero without a maximum
inline constexpr int ZMAX_LARGEST = -2;        // "max": the largest maximum of the run
inline constexpr int ZMIN_KEYWORD = 99999998;  // "min": the data minimum
inline constexpr int ZMIN_UNSET = 99999999;

// What a sorted listing is ordered by (sortdim).
enum SortKey : int {
    SORT_NUMBER,  // the parameter's place in the selection
    SORT_AVERAGE,
    SORT_P1,  // first percentile
    SORT_MEDIAN,
    SORT_P2,  // second percentile
    SORT_MINIMUM,
    SORT_MAXIMUM,
    SORT_TYPED_ORDER,  // the order the parameter numbers were typed in
    SORT_STDEV,
    SORT_LABEL,
};

// Whether a run makes a sorted pass, and in which direction (srtflag).
enum SortOrder : int { SORT_NONE, SORT_DESCENDING, SORT_ASCENDING };

// One statistics row of the listing, used for sorting. A statistic without any value
// present is MISSING.
struct ListingRow {
    double number = 0;
    double average = 0, p1 = 0, median = 0, p2 = 0, minimum = 0, maximum = 0;
    double typed_order = 0;
    double stdev = 0;
    std::string parnam;

    // The value sorted by under key k; SORT_LABEL sorts by parnam and has none.
    double key(SortKey k) const {
        switch (k) {
            case SORT_NUMBER:
                return number;
            case SORT_AVERAGE:
                return average;
            case SORT_P1:
                return p1;
            case SORT_MEDIAN:
                return median;
            case SORT_P2:
                return p2;
            case SORT_MINIMUM:
                return minimum;
            case SORT_MAXIMUM:
                return maximum;
            case SORT_TYPED_ORDER:
                return typed_order;
            case SORT_STDEV:
                return stdev;
            case SORT_LABEL:
                break;
        }
        return 0;
    }
};

// What a merge puts into the steps between two files (filltype).
enum FillType : int {
    FILL_NOTHING,   // no --missing: the steps stay empty
    FILL_ZERO,      // --missing without a value (or 0)
    FILL_VALUE,     // --missing=n: the value fillvalue
    FILL_PREVIOUS,  // --missing=p: the column's previous value
};

// The layout of an input file as the survey finds it (y8format).
enum CsvLayout : int {
    LAYOUT_REWRITTEN = -3,     // a tab layout file rewritten with one heading line
    LAYOUT_UNKNOWN = 0,        // not (yet) recognised
    LAYOUT_HEADING_LINE = 1,   // one line of names above the data
    LAYOUT_HEADING_BLOCK = 2,  // names one per line between a start and an end marker
    LAYOUT_TAB = 3,            // "#Date Time" tab layout, rewritten before it is read
};

// The plot background --border asks for, and the compact page layout (bkgcolor). The
// values 3 to 7 draw the plot grey, as 2 does.
enum Background : int {
    BKG_BLACK = 0,
    BKG_WHITE = 1,
    BKG_GREY = 2,
    BKG_COMPACT = 8,        // narrow borders, no texts around the plot (sparklines)
    BKG_COMPACT_NAMED = 9,  // compact, the parameter name right of the plot
};

// Whether --lines draws a grid, and the colour its letter gives the chart's line (lflag).
enum GridLines : int {
    LINES_NONE = 0,
    LINES_ON = 1,  // the line keeps its series colour
    LINES_RED = 3,
    LINES_GREEN,
    LINES_BLUE,
    LINES_BLACK,
    LINES_MAGENTA,
    LINES_YELLOW,
    LINES_WHITE,  // the line vanishes: only the dots of the data points show
};

// The first field of each line from a file's first data line to the end of its data, as
// the survey met them (quotes and blanks kept; blank lines and lines of commas alone
// left out): counting the records reads these instead of the file a second time.
struct LineFields {
    bool kept = false;
    std::string text;          // the fields one after another
    std::vector<size_t> ends;  // where each field ends in text
    void add(const std::string& field) {
        text += field;
        ends.push_back(text.size());
    }
};

// One input file of the run: the name it goes by and what the survey found in it. The
// file set is a vector of these, so putting the files in time order moves each file's
// facts with it.
struct InputFile {
    std::string datafil;      // name (a converted file's new name once it is rewritten)
    std::string line;         // heading: time column name, then the parameter names
    CsvLayout y8format = LAYOUT_UNKNOWN;
    int paraline = 0;         // index of the heading line
    int firstdataline = 0;    // index of the first data line
    int numrows = 0;          // data lines
    int numcols = 0;          // parameter columns
    int samp = 0;             // sample interval in seconds
    int fileparamnums = 0;    // parameter names of the file itself
    int fileintnums = 0;      // intervals counted
    time_t csvstartsecs = 0;  // first and last time stamp
    time_t csvendsecs = 0;
    std::string nodenam;      // node the file comes from
    LineFields firstfields;   // kept by the survey for the record count
};

// The options of the run: filled by the option layer (src/cli/), read-only once
// parse_options has returned. Everything after it reads them through
// RunState::opt(); only the option layer (and a test playing it) writes through
// RunState::set_opt().
struct Options {
    // Requests handled by the first pass
    int versionflag = 0;
    int set_defaults = 0;
    int show_defaults = 0;

    // Output levels and logs
    int qflag = 0;
    int verbose = 0;
    int iflag = 0;
    int nohistory = 0;
    int hisflag = 0;
    std::string hisvalue;

    // Output places and names
    int dirflag = 0;
    std::string direcname;
    std::string curname;
    int htmflag = 0;
    int nocharts = 0;
    int pdfflag = 0;
    std::string pdffile = "tsgraf.pdf";
    int delflag = 0;
    std::string htmfil = "tsgraf.htm";
    std::string outfilcsv = "Y8_PEAK.CSV";

    // Parameter selection, calculation and renaming
    int pflag = 0;
    int renameflg = 0;
    std::string renamestr;
    int yflag = 0;
    std::string csv_paramfil = "Y8_CSVPARAMS.LIS";

    // Input layout and time range
    int datalinerow = -1;
    int headerlinerow = -1;
    int noheader = 0;
    int notimestamp = 0;
    TimeRange timerange;  // the rows every mode keeps

    // Statistics, sorting and correlation
    int aflag = 0;
    int movavg = 0;
    int maonly_flag = 0;
    int pcflag = 0;
    int pc1 = 10;
    int pc2 = 90;
    int nopcline = 0;
    int sdflag = 0;
    int jflag = 0;
    std::string jval;
    SortKey sortkey_asked = SORT_MEDIAN;  // the key a --sort value named, and its direction
    SortOrder sortdir_asked = SORT_NONE;  // (SORT_NONE: no key was named)
    int topflag = 0;
    int topnum = 0;
    int cflag = 0;
    int corrall = 0;
    double corrth = 0.65;
    int rflag = 0;
    std::string rulfil = "Y8RULES.LIS";

    // Chart layout and look
    int bar_chart = 0;
    int fflag = 0;
    int labels = 0;
    int nohoriz = 0;
    int novert = 0;
    int spkflag = 0;
    int thk = 0;
    int bflag = 0;
    Background bkgcolor = BKG_BLACK;
    int BORDERxval = 55;
    int BORDERyval = 55;
    int displaynum = 1;
    int dflag = 0;
    int dotsize = 0;
    int dotcolor = -1;
    int coloflag = 0;
    std::string colsequence;
    int dotcoloflag = 0;
    std::string dotcolsequence;
    int hflag = 0;
    int height = 0;
    int wflag = 0;
    int width = 500;
    int horiz = 10;
    int ignoreflag = 0;
    int kflag = 0;
    int kdef = 0;
    std::string caption;
    std::string capsiz;
    std::string capcol;
    GridLines lflag = LINES_NONE;
    int lflagval = 0;
    int tictime = 0;
    int nflag = 0;
    int oflag = 0;
    int ostyle = 0;
    int sflag = 0;
    int axisflag = 0;
    int axiscol = 0;
    int zflag = 0;
    int zmax = 0;           // a fixed Y-scale maximum when above 0, or ZMAX_NONE, ZMAX_LARGEST
    int zmin = ZMIN_UNSET;  // a fixed Y-scale minimum, or ZMIN_KEYWORD, ZMIN_UNSET
    int scflag = 0;
    int threads = 1;

    // CSV output (extract, trim-zeros, merge, append)
    int eflag = 0;
    int xflag = 0;
    int trimzeros = 0;
    int mflag = 0;
    int append = 0;
    int nth = 1;
    std::string csv_outfil = "Y8_OUT.CSV";
    int samplemerge = 0;
    int dupflag = 0;
    FillType filltype = FILL_NOTHING;
    double fillvalue = 0;
    int fmtflag = 0;
    int format = 1;
    int decflag = 0;
    int decsize = 2;
    int gflag = 0;
    int precision = 2;
    int y8hdrflag = 0;
    int macsvflg = 0;

    // Defaults file: flags and values that act after the second option pass
    int aflagdef = 0, bflagdef = 0, dflagdef = 0, hflagdef = 0, kflagdef = 0;
    int lflagdef = 0, wflagdef = 0, zflagdef = 0;
    int kcflagdef = 0, ksflagdef = 0, cflagdef = 0;
    int coloflagdef = 0, dotcoloflagdef = 0;
    std::string capcoldef;
    std::string capsizdef;
    std::string cfgfil = "TSGRAF.CFG";
};

// The run's output files: names, open streams and the result files still under a
// temporary name. Opened by the run's start (and the modes that write a CSV), closed
// at its end, whatever way it ends.
struct RunOutputs {
    std::string outfil = "Y8_PEAK.LIS";
    std::string logfil = "Y8_LOG.LIS";
    std::string htmrulfil = "Y8RULES.HTM";
    std::string correl_lis;
    FILE* logfp = nullptr;
    FILE* htmfp = nullptr;
    FILE* outfp = nullptr;
    FILE* outfp_csv = nullptr;
    FILE* outcsvfp = nullptr;
    FILE* htmrfp = nullptr;
    FILE* rparfp = nullptr;
    // Result files written under a temporary name until their run gets far enough.
    struct PendingFile {
        FILE* fp;
        std::string tmp, final;  // full names
    };
    std::vector<PendingFile> pending;
};

// The sample grid and the figures of the load: filled by the loader, read by everything
// after it. A value the data does not give (a row inserted for a collector gap, a field
// that is no number, a column a short line lacks) is held as MISSING, a quiet NaN, in the
// value array itself: the mark costs no memory and no pass of its own, and every reader
// skips it with is_missing while it walks the values anyway. The grid starts out MISSING,
// so a slot the load never fills is missing by construction. An empty field is an idle
// counter: 0.
struct SampleGrid {
    std::vector<std::vector<std::vector<double>>> pts;  // [file][parameter slot][row]
    // [parameter slot] the largest value of each column of the first file over the rows
    // the count found (MISSING when none), kept by the load when the Y scale ends at the
    // largest maximum
    std::vector<double> colmax;
    std::vector<std::string> x_vals;  // time text per grid row (empty for a gap's rows)
    std::vector<time_t> x_vals_secs;
    std::vector<int> miss_ar;         // per grid row: -1 for a row inserted for a gap
    // Gaps: rows inserted, intervals found bad, and the seconds they span
    int nomints = 0;
    int badsamps = 0;
    int missints = 0;
    int tmpmiss = 0;
    int totmisssecs = 0;
    // The span of the rows read: seconds, the range's start and end, the texts
    time_t firstsecs = 0;
    time_t lastsecs = 0;
    time_t rangestart = 0;
    time_t rangeend = 0;
    time_t rangedursecs = 0;
    time_t dur = 0;  // seconds from the first to the last counted record of the first file
    std::string ch_start_d, ch_end_d, ch_start_t, ch_end_t;
    int range_windows = 0;  // windows of a time-of-day range the first file's rows fill
    int window_break = 0;   // the row being read opens a new window of the range

    // Parameter slot p's series of the first file; null when there is none.
    const std::vector<double>* grid_series(int p) const {
        if (pts.empty() || p < 0 || static_cast<size_t>(p) >= pts[0].size()) return nullptr;
        return &pts[0][static_cast<size_t>(p)];
    }
    std::vector<double>* grid_series(int p) {
        return const_cast<std::vector<double>*>(static_cast<const SampleGrid*>(this)->grid_series(p));
    }
};

// The chart layout: geometry, scale and points. The frame and time axis are fixed once
// per run (again before a sorted pass); the scale, the pixel points and the colours per
// charted parameter.
struct ChartLayout {
    int hi = 0, wi = 0;              // plot size in pixels (from height and width)
    int maxx = 0, maxy = 0;          // frame size without the image's last row and column
    double multiply = 1.0;           // pixels per sample
    int firstticpixels = 0;          // first tick's offset from the plot's left edge
    double ppertic = 0;              // pixels per tick interval
    int numtics = 0;                 // tick intervals (at most 1200)
    int ticsecs = 0;                 // seconds between ticks: tictime, or one to fit the range
    std::vector<std::string> ticvals, ticvals2;  // tick times (or numbers, axis texts), dates
    double scale_y_max = 0, scale_y_min = 0, divisor = 1.0;
    Shown scale_top, scale_bottom;   // the numbers shown at the ends of the Y scale
    int max_y_10 = 0;                // whole-number maximum the rounding starts from
    int rndf = 1;                    // rounding step of the scale maximum
    int boryt = 55;                  // top row of the plot area (below a caption)
    std::vector<int> ytics;          // pixel row of horizontal grid line i
    std::vector<std::string> y_ticvals;  // its label
    struct ChartPoint {
        int x = 0, y = 0;
        static constexpr int NO_ROW = -2147483647 - 1;  // y of a sample without a value
        bool missing() const { return y == NO_ROW; }
    };
    std::vector<std::vector<std::vector<ChartPoint>>> points;  // [file][slot][row] pixels
    std::vector<std::vector<ChartPoint>> mapixels;  // [slot][row] moving-average pixels
    int points_prev = -1;            // slot whose pixels a single chart may release
    int ma_px_min = 0, ma_px_max = 0;  // peak period's left and right pixel columns
    double p1_row = 0, p2_row = 0, med_row = 0;  // pixel rows of the percentile lines
    // Palette indexes of the current chart's series colours (21 lines, 20 dots)
    std::vector<int> colors, dotcolors;
};

// A merge run's state: the merged time axis, the sums of the file being read and the
// counts written. Filled and read by the merge only.
struct MergeState {
    int outrows = 0;                  // steps of the merged axis
    int merge_secs = 0;               // seconds per step: samplemerge, or the interval found
    std::vector<double> tmpmpts;      // per column of the file being read: sum of the open step
    std::vector<int> merged_fp_nums;  // per merged column: 1 when its values are fractional
    int merge_prevstep = -1;          // last step the files read so far reached (-1: none)
    int mergeparcnt = 0;              // parameters written
    int mergeintcnt = 0;              // steps written
};

// The threshold rules read from rulfil and the rule of the parameter being charted: read
// once by the rules reader, checked per parameter, drawn by the chart.
struct RuleState {
    struct Y8Rule {
        std::string para;        // part of a parameter name, matched without case
        std::string op;          // "<", ">" or "=" fire; other accepted texts never do
        double thresh = 0;       // -1 while a relative threshold is not yet computed
        int period = 0;          // samples, or one of the statistics below
        static constexpr int PERIOD_AVERAGE = -1, PERIOD_MAXIMUM = -2, PERIOD_MINIMUM = -3;
        std::string msg;         // chart caption, $P1/$P2 replaced
        std::string caption;     // the caption as written, filled again for a relative threshold
        std::string optfil;      // details file, empty when none
        int cnt = 0, flg = 0, fired = 0;
        std::vector<int> pts;    // (start, end) chart-point pairs of the fired stretches
        std::string thresh_par;  // relative threshold base: MAX, MIN or AVG
        double thresh_mult = 0;  // relative threshold multiplier
    };
    std::vector<Y8Rule> ruleptr;  // at most MAXRULES
    int ruleindx = -1;            // rule of the current parameter
    enum RuleCheck : int { RULE_NONE, RULE_ON_STATISTIC, RULE_HELD_FOR_PERIOD };
    RuleCheck ruleflg = RULE_NONE;  // how the current parameter's rule is checked
    int cntfires = 0;             // entries of that rule's pts in use
    int rules_unused = 0;         // the rules file asked for cannot be used (missing, overlay)
    int threshrow = -1;           // pixel row of the fired rule's threshold line (-1: none)
};

// The state of one run, made of parts that are types of their own: the output files
// (RunOutputs), the sample grid (SampleGrid), the chart layout (ChartLayout), the
// parameter selection (ParamSelection), the merge (MergeState) and the threshold rules
// (RuleState) it is built from, the options behind opt(), the input files, the listing
// rows. A part can be built or handed on alone; its members keep
// their names in the run state (rs.logfp, rs.pts, rs.maxx). The statistics of a
// parameter are no part of it: the passes hand them on (ParamStats).
struct RunState : RunOutputs, SampleGrid, ChartLayout, ParamSelection, MergeState, RuleState {
    // Run control: environment limits
    int maxpts = 50000;          // MAXINTERVALS
    int maxlinelen = 220000;     // MAXLINE
    int maxdatalen = 50000;      // MAXDATA
    int format2maxlen = 15000;   // MAXF2LEN
    int fmt2max = 6;             // MAXF2OUTPAR
    int spaceprefix = 0;         // SPACEPREFIX defined

    // Run control: the wall clock the run reads
    WallClock clock;

    // End-of-run counters: charts made, graphs on an overlay chart, rules fired
    int cnt = 0;
    int numovr = 0;
    int firedcnt = 0;

    // Command line: raw and normalised forms
    std::string optch = "/";
    std::string cmdline;
    std::string ocmdline;
    std::vector<std::string> cargv;
    int cargc = 0;

    // Command line: input file list (filenum is files.size() - 1 once the list is taken)
    std::vector<InputFile> files;
    std::vector<FileId> input_ids;  // the input files (and their list) as named, and converted files
    int filenum = -1;
    int toomanyfiles = 0;

    // Selection (the list itself is the ParamSelection part): calculated lines counted
    int numcalcs = 0;
    int wild = 0;  // some calculated line is a wildcard line

    // Input: the file's date text, for time-only stamps
    std::string comment_sdate;

    // Listing: the sort in force, from --sort/--top, settled by the selection and the run
    SortOrder srtflag = SORT_NONE;
    SortKey sortdim = SORT_MEDIAN;

    // Page: chart cells in the table row still open
    int htm_row_cells = 0;

    // Trim-zeros: per selected parameter, largest 100 x |value|
    std::vector<double> tr_maxpts;  // trim-zeros: per selected parameter, largest 100 x |value|

    // Working tables: counts that size them (filled by the survey and selection)
    int numcol = 0;
    int numpar = 0;
    int num = 0;
    int totmiss = 0;
    int actualmaxlinelen = 0;
    int srtpass = 0;
    int max_xvals = 0;
    int sampint = 0;      // sample interval in seconds
    int hdrlen = 0;       // lines above the first data line

    // Working tables: created once per run (see run/tables.h)
    std::vector<std::vector<std::string>> fileparams;
    std::vector<std::string> templine;
    std::vector<std::vector<int>> nums_mask;
    std::vector<std::vector<int>> param_nums;
    std::vector<std::string> xlabel;
    std::vector<double> p1, p2, median;
    std::vector<int> fp_nums;
    std::vector<int> max_ar;
    std::vector<std::vector<int>> merged_ar;
    std::vector<std::vector<std::vector<int>>> wild_nums;
    std::vector<std::vector<std::string>> wcalc_label;
    std::vector<std::vector<std::string>> calcp;
    std::vector<std::vector<int>> calcpar;
    std::vector<std::string> calc;
    std::vector<std::string> wlcalc;
    std::vector<std::vector<std::string>> calcops;
    std::vector<ListingRow> pdata;
    std::vector<time_t> outrows_secs;
    std::vector<std::vector<double>> mpts;

    // Input: the file set taken as one: union heading and count (line, numcols), rows
    // summed or the merged axis length (numrows), intervals (fileintnums) and merged
    // parameters (fileparamnums)
    InputFile totals;

    // Input: facts of the whole file set and of the first file's header
    time_t earlieststart = 0;
    time_t latestend = 0;
    int hdrsmissing = 0;
    int nohdr = 0;
    int diffparams = 0;
    int perfmon = 0;
    std::string start_d, start_t, end_d, end_t;
    std::string nodestr;
    std::string merg_nodes;
    int physmem = 0;
    int numcpus = 1;  // when the header does not tell
    int comm_sampint = 0;
    int format_found = 0;  // 2 when the first file's heading is a block of lines

    // Input: the parameter that holds memory in use (made from free memory), the longest
    // label, the heading of the selected columns for the extract output, whether the
    // too-many-files note was printed
    int memutilnum = 0;
    int maxlabelsiz = 0;
    std::string newline;
    int said_toomany = 0;

    // Selection: state of the parameter-list language and wildcard matching
    int allparms = 0;
    int wildcalc[50] = {0};
    std::vector<int> wcalc;
    int totwcalc = 0;
    std::string var[6];  // texts captured by the stars of the last wildcard match
    int freelistnum = -1;
    // Calculated lines, per line c: fields after the keyword, operators, unresolvable
    // operand (1), result slot; per operand j and line c, the parameter slot of a column
    // operand or the earlier line a result operand names (-1 otherwise); per column of
    // file 0, the parameter slot holding it
    std::vector<int> paracnt, opercnt, skipcalc, calcparmnum;
    std::vector<std::vector<int>> calcparslot;
    std::vector<int> colslot;
    int nowcalcfound = 0;  // some wildcard line matched a column
    int calcs_on = 0;      // calculated parameters are charted: zero-based scale, constants kept
    // Renaming: stored patterns and templates (at most 10), labels already renamed
    std::vector<std::string> oldnameptrn, newnameptrn;
    std::vector<char> renamed;

    // Statistics: texts of the current parameter, listing widths and chart hand-over
    // (the numbers are in the ParamStats the passes hand on)
    int largest_ymax = 0;  // the largest maximum of the run, for a zmax of ZMAX_LARGEST
    std::string ov_minmax_ar[20];
    double norm_max_y_ar[20] = {0};
    std::vector<std::vector<double>> mapoints;  // [slot][row] moving average, not truncated
    int ma_prev = -1;                           // slot whose moving-average row is reused
    int ma_samples = 0;  // moving-average window in samples (movavg is in seconds)
    std::vector<double> pcwork;                 // work copy of a series for the percentiles
    int max_y_ratio = 1;                        // Y-scale divisor of the last scale set-up
    std::string outpng;                         // chart file name of the current parameter
    std::map<std::string, int> png_owner;       // chart file names given so far, by column
    int avgsiz = 8, minsiz = 8, maxsiz = 8, medsiz = 8, p1siz = 8, p2siz = 8, stdevsiz = 8;
    int time_w = 17;
    int tim_offset = 0;

    // Chart: the PNG files this run wrote, so that the PDF step deletes only those
    std::vector<std::string> pngfiles;
    // Chart: the files on their way to the disk, and how many threads work on charts
    std::shared_ptr<ChartFiles> chart_files;

    // Correlation: the reference series on the grid rows, and how many rows it pairs with
    std::vector<double> corpoints;  // reference value per grid row; NaN where a row has none

    // Chart: overlay and multifile
    // [file][slot] loaded values of a stacked series, so a later chart restacks from them
    std::vector<std::vector<std::vector<double>>> stack_loaded;
    std::vector<std::string> ov_minmax_more;  // legend min/max texts of overlay slots 20 and on

    // The options (see Options): opt() to read them; set_opt() only in the option
    // layer and in tests that play it.
    const Options& opt() const { return options_; }
    Options& set_opt() { return options_; }

   private:
    Options options_;
};

// The Y scale starts at zero: asked for, or forced by calculated parameters.
inline bool zero_scale(const RunState& rs) {
    return rs.opt().zflag || rs.calcs_on;
}
// Constant parameters are charted: asked for, or forced by calculated parameters.
inline bool keeps_constants(const RunState& rs) {
    return rs.opt().jflag || rs.calcs_on;
}
// The fixed Y-scale maximum (none when not above 0), "max" being the run's largest.
inline int fixed_ymax(const RunState& rs) {
    return rs.opt().zmax == ZMAX_LARGEST ? rs.largest_ymax : rs.opt().zmax;
}

// The layout of a CSV file the run writes: --format, else that of the first file.
inline int csv_format(const RunState& rs) {
    return rs.opt().fmtflag || !rs.format_found ? rs.opt().format : rs.format_found;
}

// The banner: program name and version, e.g. "TSGRAF V1.0-156".
std::string banner();
