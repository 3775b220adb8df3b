// The option texts of the interactive help, one section per option, and the rule
// that decides which sections a topic prints.
#include <cstring>
#include <string>

#include "base/out.h"
#include "base/platform.h"
#include "base/strings.h"
#include "cli/help.h"
#include "cli/vocabulary.h"

namespace {

// name: the topic name; its key is in the option table (the shortest leading letters
// that tell the section from the other sections of its letter; exactly one section per
// letter has a one-letter key, mostly the option whose short form is that letter: a
// topic of a single letter, or one that matches no longer key, selects it). text: header
// and body; "%s" stands for the option prefix.
struct Section {
    const char* name;
    const char* text;
};

const Section sections[] = {
    {"append",
     "\n%sappend[=outfile]\n\n"
     "      Joins two or more CSV files, one after the other, into one new CSV\n"
     "      file (default Y8_OUT.CSV), typically consecutive collection periods\n"
     "      of one node. The files are taken in the order of their start times.\n"
     "      When all files have the same heading, come from the same node and all\n"
     "      parameters are selected, the files are copied line by line; otherwise\n"
     "      the selected columns of every file are written, and all files must\n"
     "      have the same number of columns. No charts are drawn.\n\n"
     "      Example: tsgraf day1.csv day2.csv %sappend=week.csv\n\n"},
    {"average",
     "\n%saverage[=val][:0]\n\n\n"
     "      Draws the moving average of each parameter on its chart and lists the\n"
     "      time of its peak period. val is the window size in minutes, or in\n"
     "      seconds when followed by s. Without a value the average over the whole\n"
     "      time range is drawn as a flat line. :0 charts only the moving average.\n"
     "      With %sextract and a window size the moving average is also written\n"
     "      to the output CSV file.\n"
     "      Not available for multifile charts or together with %soverlay.\n"
     "      A default window may be set in the tsgraf.cfg file (average=n).\n\n"
     "      Examples: %saverage=30     30 minute window\n"
     "                %saverage=90s    90 second window\n"
     "                %saverage=30:0   moving average chart only\n\n"},
    {"axis",
     "\n%saxis[=R|n]\n\n"
     "      Labels the time axis with something other than the time stamps:\n"
     "      R the record numbers, n the values of column n.\n\n"
     "      Example: %saxis=R\n\n"},
    {"bar_chart",
     "\n%sbar_chart\n\n"
     "      Draws each chart as bars instead of a line.\n\n"},
    {"border",
     "\n%sborder[=n]\n\n"
     "      Sets the background colour of the plot area: 0 black, 1 white,\n"
     "      2 grey (the default when no value is given). A value of 8 or more\n"
     "      gives the compact layout with narrow borders used by %ssparklines;\n"
     "      9 also writes the parameter name to the right of the plot.\n"
     "      Ignored with %ssparklines.\n"
     "      A default may be set in the tsgraf.cfg file (border=n).\n\n"},
    {"caption",
     "\n%scaption=text[:sc]\n\n"
     "      Writes a caption above every chart. The optional suffix, a colon and\n"
     "      two letters at the end of the value, gives the size s and the colour c.\n"
     "      Sizes:   T tiny, S small, M medium bold, L large (default), G giant.\n"
     "      Colours: R red (default), G green, B black, Y yellow, U blue,\n"
     "               M magenta.\n"
     "      When a rule fires (see %srules) its message replaces the caption on\n"
     "      that chart. Caption, size and colour may also be set in the tsgraf.cfg\n"
     "      file (caption=, captionsize=, captioncolor=).\n\n"
     "      Example: %scaption=\"Disk rate:SG\"\n\n"},
    {"colors",
     "\n%scolors=name[,name...]\n\n"
     "      Sets the line colours: the first name colours single charts and the\n"
     "      first series, the next names the further series of overlay and\n"
     "      multifile charts (up to 15 names). Names, in lower case:\n"
     "      black, blue, brown, cyan, gold, green, grey, khaki, liteblue, magenta,\n"
     "      maroon, navy, orange, purple, red, salmon, white, yellow.\n"
     "      A name that is not known keeps the default colour of its series.\n\n"
     "      Example: %scolors=red,blue,green\n\n"
     "      Graph line colors may also be specified in the tsgraf.cfg default file.\n"
     "\n"},
    {"constant",
     "\n%sconstant[=n]\n\n"
     "      A parameter whose values are all the same gets no chart (Y8_LOG.LIS\n"
     "      says so). With %sconstant such parameters are charted as well; with a\n"
     "      value n only when the constant value is at least n.\n"
     "      Charts then start at zero.\n\n"},
    {"correlate",
     "\n%scorrelate=n[:t]\n\n"
     "      Correlates every selected parameter with parameter (column) n of the\n"
     "      first file; only parameters whose correlation coefficient reaches the\n"
     "      threshold t (default 0.65) are listed and charted, and their column\n"
     "      numbers are written to CORREL.LIS.\n"
     "      With n = 0 or ALL every pair of selected parameters is correlated; the\n"
     "      pairs that reach the threshold are printed and written to\n"
     "      CORREL_MATRIX.LIS, and no charts are drawn.\n"
     "      Cannot be used together with %soverlay. A default threshold may be\n"
     "      set in the tsgraf.cfg file (correlation=t).\n\n"
     "      Examples: %scorrelate=5:0.8\n"
     "                %scorrelate=all\n\n"},
    {"dataline",
     "\n%sdataline=n\n\n"
     "      The first data line of the CSV file is line n (counting from 1).\n"
     "      Unless %sheaderline or %snoheader is given, the line above it holds\n"
     "      the parameter names. The time axis then shows record numbers.\n\n"},
    {"decimals",
     "\n%sdecimals[=n]\n\n"
     "      Number of decimals of the values in the listing and in the CSV files\n"
     "      written (default 2). %snofloat takes precedence.\n\n"},
    {"directory",
     "\n%sdirectory=dirname\n\n"
     "      Writes the output files (charts, HTML page, listings and CSV files)\n"
     "      into the directory dirname. The Windows version creates the directory\n"
     "      when it does not exist.\n\n"},
    {"displaynum",
     "\n%sdisplaynumber=n\n\n"
     "      Number of charts side by side in each row of the HTML page\n"
     "      (default 1). Has no effect with %slabels.\n\n"},
    {"dotcolors",
     "\n%sdotcolors=name[,name...]\n\n"
     "      Sets the colours of the dots of each series, with the colour names of\n"
     "      %scolors, and switches dots on (see %sdots). A default may be set in\n"
     "      the tsgraf.cfg file (dotcolors=...).\n\n"},
    {"dots",
     "\n%sdots[=n][:c]\n\n"
     "      Marks every data point with a dot of size n (default 1). The letter c\n"
     "      gives the dot colour: R red, B blue, G green, K black, M magenta,\n"
     "      Y yellow. A default size may be set in the tsgraf.cfg file (dots=n).\n\n"
     "      Example: %sdots=2:R\n\n"},
    {"duplicates",
     "\n%sduplicates\n\n"
     "      With %smerge: parameters of the same name in different files keep\n"
     "      columns of their own (name_n, n the file number) instead of being\n"
     "      added together.\n\n"},
    {"extract",
     "\n%sextract[=outfile][:n]\n\n"
     "      Writes the selected parameters to a new CSV file (default Y8_OUT.CSV)\n"
     "      while the charts are drawn. :n writes every n-th row only; :0 leaves\n"
     "      out the parameters whose values are all zero (see %strimzeros).\n"
     "      Only the rows within %srange are written. Works on one CSV file\n"
     "      (several files only with %sappend). See also %sx and %sformat.\n\n"
     "      Example: %sparameters=cpu %sextract=cpu.csv:2\n\n"},
    {"fill",
     "\n%sfill\n\n"
     "      Fills the area below the line of each chart with the line colour.\n\n"},
    {"format",
     "\n%sformat=n\n\n"
     "      Layout of the CSV file written by %sextract, %sx, %smerge or\n"
     "      %sappend: 1 the heading on one line, 2 the heading as a block of\n"
     "      lines between $$$ START COLUMN HEADERS $$$ and\n"
     "      $$$ END COLUMN HEADERS $$$. Without %sformat the layout of the input\n"
     "      file is kept. Ignored unless a CSV file is written.\n\n"},
    {"help",
     "\n%shelp\n\n"
     "      Shows this help. At the \"TSGRAF subtopic?\" prompt enter a qualifier\n"
     "      with its prefix (for example %saverage) to see its text, ? to see\n"
     "      the list of topics again, Q for all qualifiers, P for the file\n"
     "      parameters and C for calculated parameters. An empty answer ends\n"
     "      the help.\n\n"},
    {"headerline",
     "\n%sheaderline=n\n\n"
     "      The parameter names are on line n of the CSV file (counting from 1).\n"
     "      Usually given together with %sdataline.\n\n"},
    {"height",
     "\n%sheight=n\n\n"
     "      Height of the plot area in pixels. Without it the height is half the\n"
     "      width, at least 100 and at most 300. A default may be set in the\n"
     "      tsgraf.cfg file (height=n).\n\n"},
    {"history",
     "\n%shistory[=ddmmyyyy|file|*]\n\n"
     "      Every command is recorded, numbered, in the history file of the day,\n"
     "      TSGRAF_ddmmyyyy.HIS. %shistory lists today's commands, %shistory=date\n"
     "      those of another day, %shistory=* the history files there are.\n"
     "      tsgraf n runs command n of today again, tsgraf L the last one; further\n"
     "      qualifiers may follow the number. %snologs switches the history off,\n"
     "      %snohistory only the recording.\n\n"
     "      Example: %shistory=11032006\n\n"},
    {"horizontal",
     "\n%shorizontal[=n]\n\n"
     "      Number of horizontal grid intervals of the Y axis (default 10,\n"
     "      at most 50). The grid lines are drawn with %slines.\n\n"},
    {"ignore",
     "\n%signore\n\n"
     "      Leaves periods without samples out of the time axis, so that the\n"
     "      samples follow each other without gaps.\n\n"},
    {"labels",
     "\n%slabels\n\n"
     "      Shows the parameter name beside each chart on the HTML page, one\n"
     "      chart per row.\n\n"},
    {"lines",
     "\n%slines[=n[:t[:c]]]\n\n"
     "      Draws a vertical grid line every n minutes and a horizontal grid with\n"
     "      its scale (see %shorizontal). Without n the spacing follows the time\n"
     "      range. t is the line thickness of the chart; c its colour: R red,\n"
     "      G green, B blue, K black, M magenta, Y yellow, W white (with W only\n"
     "      the dots of the data points show). See also %snovertical and\n"
     "      %snohorizontal. A default may be set in the tsgraf.cfg file\n"
     "      (lines=n).\n\n"
     "      Example: %slines=60:2:B\n\n"},
    {"merge",
     "\n%smerge[=outfile]\n\n"
     "      Combines the parameters of two or more CSV files into one new CSV\n"
     "      file (default Y8_OUT.CSV) on one common time axis, from the earliest\n"
     "      start to the latest end. Samples falling into the same interval are\n"
     "      averaged; parameters of the same name in different files are added\n"
     "      together unless %sduplicates is given. The interval is the sample\n"
     "      interval of the data unless %ssamplemerge is given; %smissing fills\n"
     "      the intervals a file does not cover. Without %sparameters all\n"
     "      parameters are merged. No charts are drawn.\n\n"
     "      Example: tsgraf a.csv b.csv %smerge=ab.csv %ssamplemerge=300\n\n"},
    {"missing",
     "\n%smissing[=n|p]\n\n"
     "      With %smerge: fills the intervals that a file does not cover with 0\n"
     "      (no value), with the number n, or, with p, with the last value of\n"
     "      the file before it.\n\n"},
    {"nocharts",
     "\n%snocharts\n\n"
     "      Computes and lists the statistics but draws no charts.\n\n"},
    {"nofloat",
     "\n%snofloat\n\n"
     "      Shows values without decimals.\n\n"},
    {"noheader",
     "\n%snoheader\n\n"
     "      The CSV file has no line of parameter names; the parameters are named\n"
     "      Parameter 1, Parameter 2, ... A CSV file written by %sextract then\n"
     "      holds the data rows only.\n\n"},
    {"nohistory",
     "\n%snohistory\n\n"
     "      Does not record the command in the day's history file.\n\n"},
    {"nohorizontal",
     "\n%snohorizontal\n\n"
     "      With %slines: no horizontal grid lines.\n\n"},
    {"nologs",
     "\n%snologs\n\n"
     "      Writes no log file (Y8_LOG.LIS), no peak files (Y8_PEAK.LIS,\n"
     "      Y8_PEAK.CSV), no PARAM.LIS, and neither records nor replays\n"
     "      history commands.\n\n"},
    {"normalize",
     "\n%snormalize\n\n"
     "      Overlay chart in which each line is scaled to its own maximum, with a\n"
     "      small scale per line. Implies %soverlay. Not for multifile charts and\n"
     "      not with %sstack.\n\n"},
    {"notimestamp",
     "\n%snotimestamp\n\n"
     "      The first column holds no time stamps: it is listed and read as a\n"
     "      parameter like the others.\n\n"},
    {"novertical",
     "\n%snovertical\n\n"
     "      With %slines: no vertical grid lines.\n\n"},
    {"overlay",
     "%soverlay[=n]\n\n"
     "      Draws all selected parameters of the file on one chart (at most 20)\n"
     "      with a legend at the side (n = 0, the default) or at the bottom\n"
     "      (n = 1). Not for multifile charts, and not with %stop, %saverage,\n"
     "      %scorrelate or %srules. See also %sstack and %snormalize.\n\n"
     "      Example: %sparameters=1-5 %soverlay=1\n\n"},
    {"output",
     "\n%soutput[=htmlfile]\n\n"
     "      Name of the HTML page (default tsgraf.htm; .HTM is added when the name\n"
     "      has no .htm). The peak CSV file is then named Y8_PEAK_name.CSV after\n"
     "      the part of the name before the first dot. Without a value no charts\n"
     "      are drawn.\n\n"
     "      Example: %soutput=run1.html\n\n"},
    {"parameters",
     "\n%sparameters=list\n\n"
     "      Selects the parameters to chart (default all). The list may hold:\n"
     "        0, all or *         every parameter\n"
     "        5 or 9,3,5          column numbers (listed in the order given)\n"
     "        100-110             a range of column numbers\n"
     "        cpu,disk            names containing CPU or DISK (any case)\n"
     "        cpu*                names matching a wildcard (* and ?)\n"
     "        disk,-write         names containing DISK but not WRITE\n"
     "        +disk,read          names containing both DISK and READ\n"
     "        *-idle              every name except those containing IDLE\n"
     "        file.lis            a file of such terms, one or more per line,\n"
     "                            with [CALC] and [RENAME] lines (see\n"
     "                            CalcParams and %srename)\n"
     "      The selected column numbers are written to PARAM.LIS.\n\n"
     "      Example: %sparameters=\"cpu*,disk\"\n\n"},
    {"pdf",
     "\n%spdf[=pdffile[:D]]\n\n"
     "      Converts the HTML page and its charts into a PDF document with the\n"
     "      htmldoc program (default name tsgraf.pdf, or the name of the HTML page\n"
     "      given with %soutput, ending in .pdf). :D deletes the HTML page and\n"
     "      the chart files afterwards. The environment variable HTMLDOCENV,\n"
     "      when set, replaces the htmldoc options.\n\n"
     "      Example: %spdf=report.pdf:D\n\n"},
    {"percentile",
     "\n%spercentile[=m[:n[:x]]]\n\n"
     "      Lists the m-th and n-th percentiles (default 10 and 90) and the median\n"
     "      of each parameter and draws them as lines on the charts. Any third\n"
     "      field (for example :0) leaves the lines out.\n\n"
     "      Example: %spercentile=5:95\n\n"},
    {"quiet",
     "\n%squiet\n\n"
     "      Prints fewer messages; the command line is shown once.\n\n"},
    {"range",
     "\n%srange=start,end\n\n"
     "      Charts only the samples between start and end, given as\n"
     "      dd-mmm-yyyy:hh:mm,dd-mmm-yyyy:hh:mm for a date range, or as\n"
     "      hh:mm,hh:mm or hh:mm:ss,hh:mm:ss for the same hours of every day.\n"
     "      Samples at the start are kept, samples at the end are not. Hours\n"
     "      whose start is later than their end pass midnight (a night shift).\n\n"
     "      Examples: %srange=11-mar-2006:09:00,12-mar-2006:17:00\n"
     "                %srange=09:00,17:00\n"
     "                %srange=22:00,06:00\n\n"},
    {"rename",
     "\n%srename=template\n\n"
     "      Renames the parameters selected by a %sparameters list with wildcards.\n"
     "      In the template, &1 to &5 (or ~1 to ~5) stand for the text matched by\n"
     "      the first to fifth * of the list, and $NODE for the node name.\n"
     "      Meant for %sextract, to give the new CSV file tidier names; charts\n"
     "      and listing show the new names too. Rename lines may also be given\n"
     "      in a parameter file: [RENAME]|pattern|template.\n\n"
     "      Example: %sparameters=\"[*]*\" %srename=\"&2\"\n\n"},
    {"rules",
     "\n%srules[=rulesfile]\n\n"
     "      Checks every charted parameter against the threshold rules of the\n"
     "      rules file (default Y8RULES.LIS). Each line of the file reads\n"
     "        name|operator|threshold|period|message[|detailsfile]\n"
     "      (commas may separate the fields instead). The rule applies to the\n"
     "      parameters whose names contain name; the operator is <, > or =; the\n"
     "      threshold a number, or MAX*f, MIN*f or AVG*f. A period in minutes\n"
     "      fires when the values stay beyond the threshold for longer than it;\n"
     "      AVG, MAX or MIN fires on the average, maximum or minimum. In the\n"
     "      message $P1 shows the threshold and $P2 the period (in samples).\n"
     "      Lines starting with ; are comments.\n"
     "      Charts of fired rules go to Y8RULES.HTM, their column numbers to\n"
     "      Y8RULESPAR.LIS. Not for overlay or multifile charts.\n\n"
     "      Example line: cpu busy|>|90|10|CPU above $P1%% for 10 minutes\n\n"},
    {"sample",
     "\n%ssamplemerge=seconds\n\n"
     "      With %smerge: the interval of the merged file in seconds (default the\n"
     "      sample interval of the data).\n\n"},
    {"scale",
     "\n%sscale=min[:max[:step]]\n\n"
     "      Fixes the Y axis: min is its lowest value (MIN: the minimum of the\n"
     "      parameter), max its highest value (MAX: the largest maximum of all\n"
     "      selected parameters, so that every chart has the same scale).\n"
     "      A step value is accepted but has no effect.\n\n"
     "      Example: %sscale=0:100\n\n"},
    {"sd",
     "\n%ssd\n\n"
     "      Adds the standard deviation of each parameter to the listing.\n\n"},
    {"set_defaults",
     "\n%sset_defaults\n\n"
     "      Not available yet: the defaults are written into the file TSGRAF.CFG\n"
     "      of the current directory by hand, one name=value line each.\n\n"},
    {"show_defaults",
     "\n%sshow_defaults\n\n"
     "      Shows the defaults kept in the file TSGRAF.CFG of the current\n"
     "      directory.\n\n"},
    {"sort",
     "\n%ssort[=key[:A|:D]]\n\n"
     "      Lists and charts the parameters in sorted order, largest first (:A\n"
     "      smallest first). Keys: A average, MA maximum, MI minimum, ME median\n"
     "      (the default), P1 and P2 the percentiles, S standard deviation,\n"
     "      N column number, L name (alphabetical).\n\n"
     "      Example: %ssort=max\n\n"},
    {"sparklines",
     "\n%ssparklines\n\n"
     "      Draws small charts (400 x 30 pixels) without frame, grid or times,\n"
     "      with the parameter names beside them on the HTML page. %sborder is\n"
     "      ignored; %swidth and %sheight may change the size.\n\n"},
    {"stack",
     "\n%sstack\n\n"
     "      Stacks the lines of an overlay or multifile chart: each line shows\n"
     "      the sum of itself and the lines after it. Ignored for a single chart.\n\n"},
    {"thickness",
     "\n%sthickness=n\n\n"
     "      Thickness of the chart line in pixels.\n\n"},
    {"threads",
     "\n%sthreads=n\n\n"
     "      Number of threads that make the charts: one draws them, the others\n"
     "      compress and write the files meanwhile. 1 writes each chart before\n"
     "      drawing the next. Default: one per processor. Output is the same\n"
     "      whatever the number.\n\n"},
    {"timerange",
     "\n%stimerange=start,end\n\n"
     "      Replaced by %srange\n\n"},
    {"top",
     "\n%stop[=n]\n\n"
     "      Lists and charts only the n parameters with the highest average\n"
     "      (default 6) and adds one series, \"Others (m)\", the sum of the other\n"
     "      m parameters. %ssort may choose another key. Not with %soverlay.\n\n"
     "      Example: %stop=3 %ssort=max\n\n"},
    {"trimzeros",
     "\n%strimzeros[=outfile]\n\n"
     "      With %sextract or %sx: leaves out the selected parameters whose\n"
     "      values are all zero; outfile names the new CSV file. No charts are\n"
     "      drawn.\n\n"},
    {"u",
     "\n%su[=htmlfile]\n\n"
     "      Same as %soutput.\n\n"},
    {"verbose",
     "\n%sverbose\n\n"
     "      Prints additional messages: allocations, directory changes, times.\n\n"},
    {"version",
     "\n%sversion\n\n"
     "      Shows the version of tsgraf.\n\n"},
    {"width",
     "\n%swidth=n\n\n"
     "      Width of the plot area in pixels (default 500). A default may be set\n"
     "      in the tsgraf.cfg file (width=n).\n\n"},
    {"x",
     "\n%sx[=outfile][:n]\n\n"
     "      Like %sextract, but only writes the CSV file: no charts are drawn.\n"
     "      You cannot use %saverage=n with /x\n\n"},
    {"y",
     "\n%sy[=file]\n\n"
     "      Writes the names of the selected parameters, one per line, to file\n"
     "      (default Y8_CSVPARAMS.LIS).\n\n"},
    {"zero",
     "\n%szero[=max|M]\n\n"
     "      Starts the Y axis at zero and rounds its top up. A value fixes the\n"
     "      top; M uses the largest maximum of all selected parameters.\n"
     "      Note: %szero will be removed in a future release. Use %sscale instead.\n\n"},
};

constexpr int NSECTIONS = static_cast<int>(sizeof sections / sizeof sections[0]);

bool starts_with(const std::string& s, const char* prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// "%s" becomes the prefix and "%%" a percent sign.
void print_section(const RunState& rs, const Section& s) {
    std::string text;
    for (const char* p = s.text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            text += rs.optch;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            text += '%';
            ++p;
        } else {
            text += *p;
        }
    }
    out("%s", text.c_str());
}

}  // namespace

void print_sections(const RunState& rs, int first, int last) {
    for (int i = first; i < last; ++i) print_section(rs, sections[i]);
}

int section_count() {
    return NSECTIONS;
}
const char* section_name(int i) {
    return sections[i].name;
}
int section_named(const std::string& name) {
    for (int i = 0; i < NSECTIONS; ++i)
        if (name == sections[i].name) return i;
    return -1;
}

// A topic selects the section with the longest key that begins the topic; printing
// starts at the first section whose name begins with the topic (so "A" shows append
// and average, "DOT" dotcolors and dots), or at the selected one when that comes first.
SectionRange section_range(const std::string& topic) {
    if (topic.empty()) return {-1, -1};
    if (topic[0] == '?') return {0, NSECTIONS};
    int target = -1;
    size_t keylen = 0;
    for (const OptionRow& r : option_table()) {
        if (!r.key || !starts_with(topic, r.key) || std::strlen(r.key) <= keylen) continue;
        target = section_named(r.topic);
        keylen = std::strlen(r.key);
    }
    if (target < 0) return {-1, -1};
    int first = target;
    for (int i = 0; i < target; ++i) {
        if (starts_with(upper_copy(sections[i].name), topic.c_str())) {
            first = i;
            break;
        }
    }
    return {first, target + 1};
}

bool qualifiers(RunState& rs, const std::string& topic) {
    SectionRange r = section_range(topic);
    if (r.first < 0) return false;
    if (topic[0] == '?') {
        clear_terminal();
        clear_terminal();
        out("  Qualifiers\n\n\n\n");
    } else {
        clear_terminal();
    }
    for (int i = r.first; i < r.last; ++i) print_section(rs, sections[i]);
    return true;
}
