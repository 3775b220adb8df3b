#include "chart/draw.h"

#include <gd.h>
#include <gdfonts.h>
#include <gdfontt.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "base/dirswitch.h"
#include "base/out.h"
#include "base/run_end.h"
#include "base/strings.h"
#include "chart/chart_files.h"
#include "chart/colours.h"
#include "chart/geometry.h"
#include "chart/overlay.h"
#include "core/output_files.h"
#include "stats/rules.h"
#include "stats/statistics.h"

namespace {

using Point = RunState::ChartPoint;

// The fixed palette, allocated in this order; white is entry 0 unless a plot border
// asks for a gainsboro background first.
struct Palette {
    int background = -1;
    int white, litegrey, grey, grey5, grey10, grey90, gainsboro, red, magenta, green, blue, black,
        yellow, liteyellow, khaki, goldenrod, orange, maroon, cyan, navy, salmon, purple, gold,
        brown, liteblue, grey155;
};

Palette allocate_palette(const RunState& rs, gdImagePtr im) {
    Palette c;
    auto rgb = [im](int r, int g, int b) { return gdImageColorAllocate(im, r, g, b); };
    if (rs.opt().bflag && rs.opt().bkgcolor < BKG_COMPACT) c.background = rgb(220, 220, 220);
    c.white = rgb(255, 255, 255);
    c.litegrey = rgb(211, 211, 211);
    c.grey = rgb(128, 128, 128);
    c.grey5 = rgb(240, 240, 240);
    c.grey10 = rgb(230, 230, 230);
    c.grey90 = rgb(27, 27, 27);
    c.gainsboro = rgb(220, 220, 220);
    c.red = rgb(255, 0, 0);
    c.magenta = rgb(255, 0, 255);
    c.green = rgb(0, 255, 0);
    c.blue = rgb(0, 0, 255);
    c.black = rgb(0, 0, 0);
    c.yellow = rgb(255, 255, 0);
    c.liteyellow = rgb(255, 255, 210);
    c.khaki = rgb(240, 230, 140);
    c.goldenrod = rgb(238, 232, 170);
    c.orange = rgb(255, 165, 0);
    c.maroon = rgb(176, 48, 96);
    c.cyan = rgb(0, 255, 255);
    c.navy = rgb(0, 0, 128);
    c.salmon = rgb(250, 128, 114);
    c.purple = rgb(160, 32, 240);
    c.gold = rgb(255, 215, 0);
    c.brown = rgb(139, 69, 19);
    c.liteblue = rgb(130, 100, 255);
    c.grey155 = rgb(155, 155, 155);
    return c;
}

// The image is freed on every way out, also when the run ends on a file error.
struct Image {
    gdImagePtr im;
    explicit Image(gdImagePtr p) : im(p) {}
    ~Image() {
        if (im) gdImageDestroy(im);
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
};

// Everything one chart is drawn with.
struct Chart {
    RunState& rs;
    const ParamStats& st;  // the statistics of the parameter charted
    gdImagePtr im;
    Palette c;
    gdFontPtr tiny = gdFontGetTiny();
    gdFontPtr small = gdFontGetSmall();
    int borx = 0, bory = 0, boryt = 0, wi = 0, hi = 0, maxx = 0, maxy = 0;
    bool compact = false;  // sparkline-like layout

    Chart(RunState& r, const ParamStats& s, gdImagePtr i) : rs(r), st(s), im(i) {}

    int bottom() const { return hi + boryt; }
    PlotFrame frame() const { return {im, borx, bory, boryt, wi, hi, maxx, maxy, c.black}; }
    int tw(const std::string& s) const { return static_cast<int>(s.size()) * tiny->w; }
    void text(gdFontPtr f, int x, int y, const std::string& s, int colour) const {
        gdImageString(im, f, x, y, reinterpret_cast<unsigned char*>(const_cast<char*>(s.c_str())),
                      colour);
    }
    void tiny_text(int x, int y, const std::string& s, int colour) const {
        text(tiny, x, y, s, colour);
    }
};

const std::string& str_at(const std::vector<std::string>& v, long long i) {
    static const std::string none;
    return i >= 0 && static_cast<size_t>(i) < v.size() ? v[i] : none;
}

// The plain average as a text, or the shaded peak period of a moving average.
void draw_average(Chart& ch, int p) {
    RunState& rs = ch.rs;
    if (!rs.opt().aflag) return;
    if (rs.ma_samples == rs.num) {
        int y = 0;
        if (static_cast<size_t>(p) < rs.mapixels.size() && !rs.mapixels[p].empty())
            y = rs.mapixels[p][0].y;
        ch.tiny_text(ch.wi + ch.borx + 5, y - ch.tiny->h / 2, shown_average(rs, ch.st).text(), ch.c.red);
    } else {
        gdImageFilledRectangle(ch.im, rs.ma_px_min, ch.boryt, rs.ma_px_max, ch.maxy - ch.bory,
                               ch.c.goldenrod);
    }
}

// A grey band over every stretch of samples without a value, from the first to the
// last of them, so that a break in the line always shows why.
void draw_missing(Chart& ch, const std::vector<Point>& pts) {
    RunState& rs = ch.rs;
    size_t n = std::min(pts.size(), static_cast<size_t>(std::max(rs.num, 0)));
    for (size_t k = 0; k < n; ++k) {
        if (!pts[k].missing()) continue;
        size_t last = k;
        while (last + 1 < n && pts[last + 1].missing()) ++last;
        gdImageFilledRectangle(ch.im, pts[k].x, ch.boryt, pts[last].x, ch.bottom() + 1,
                               ch.c.grey10);
        k = last;
    }
}

// Frame, scale ends and the start date.
void draw_frame(Chart& ch) {
    RunState& rs = ch.rs;
    int b = ch.c.black;
    gdImageRectangle(ch.im, ch.borx - 1, ch.boryt - 1, ch.wi + ch.borx + 1, ch.maxy - ch.bory + 1,
                     b);
    const std::string top = rs.scale_top.text(), bottom = rs.scale_bottom.text();
    ch.tiny_text(ch.borx - ch.tw(top) - 2, ch.boryt, top, b);
    ch.tiny_text(ch.borx - ch.tw(bottom) - 2, ch.maxy - ch.bory - 5, bottom, b);
    if (rs.opt().axiscol != -1)
        ch.tiny_text(ch.borx - ch.tw(rs.ch_start_d) / 2 - 2, ch.bottom() + 12, rs.ch_start_d, b);
}

// Percentile and median lines with their values.
void draw_percentiles(Chart& ch, int p) {
    RunState& rs = ch.rs;
    if (!rs.opt().pcflag || rs.opt().nopcline) return;
    // Each line carries its value as the listing shows it.
    const std::pair<const std::vector<double>*, double> lines[] = {
        {&rs.p1, rs.p1_row}, {&rs.p2, rs.p2_row}, {&rs.median, rs.med_row}};
    for (const auto& [values, at] : lines) {
        if (static_cast<size_t>(p) >= values->size()) continue;
        int row = trunc_to_int(at);
        if (row < rs.boryt || row > rs.boryt + rs.hi) continue;  // off the scale
        gdImageLine(ch.im, ch.borx, row, ch.wi + ch.borx, row, ch.c.magenta);
        ch.tiny_text(ch.wi + ch.borx + 5, row - ch.tiny->h / 2,
                     shown_percentile(rs, ch.st, p, (*values)[p]).text(), ch.c.magenta);
    }
}

// Dashed horizontal grid lines with their labels.
void draw_horizontal_grid(Chart& ch) {
    RunState& rs = ch.rs;
    if (!rs.opt().lflag || rs.opt().nohoriz) return;
    for (int i = 1; i < rs.opt().horiz && static_cast<size_t>(i) < rs.ytics.size(); ++i) {
        int y = rs.ytics[i];
        gdImageLine(ch.im, ch.borx, y, ch.wi + ch.borx, y, gdStyled);
        const std::string& t = str_at(rs.y_ticvals, i);
        ch.tiny_text(ch.borx - ch.tw(t) - 2, y - ch.tiny->w / 2, t, ch.c.black);
    }
}

// The end texts of the time axis, tick marks, grid columns, tick times
// and dates, each written only where it has room.
void draw_time_axis(Chart& ch) {
    RunState& rs = ch.rs;
    const int tmpw = rs.dur < 1800 ? 8 : 5;
    const int labelwidth = tmpw * ch.tiny->w;
    const int labelwdate = 6 * ch.tiny->w;
    const int b = ch.c.black;
    const int timerow = ch.bottom() + 3, daterow = ch.bottom() + 12;
    if (ch.compact) return;
    ch.tiny_text(ch.borx - labelwidth / 2, timerow, rs.ch_start_t.substr(0, tmpw), b);
    ch.tiny_text(ch.borx + ch.wi - labelwidth / 2 + 2, timerow, rs.ch_end_t.substr(0, tmpw), b);
    int labelx = ch.borx;

    const bool grid = rs.opt().lflag && !rs.opt().novert;
    const bool dates = rs.start_d != rs.end_d;
    const int ftp = rs.firstticpixels;
    const double ppt = rs.ppertic;
    auto tick = [&](int x) {
        if (grid) gdImageLine(ch.im, x, ch.bottom(), x, ch.boryt, gdStyled);
        gdImageLine(ch.im, x, ch.boryt + ch.hi + 1, x, ch.boryt + ch.hi - 3, b);
    };
    auto date = [&](int x, const std::string& d) { ch.tiny_text(x - ch.tw(d) / 2, daterow, d, b); };
    int ticcnt = 1;
    for (int i = 0; i < ch.wi; ++i) {
        const int x = ch.borx + i;
        if (i == ftp && i != 0) {
            tick(x);
            if (i > labelwidth + 4) {
                ch.tiny_text(x - labelwidth / 2, timerow, str_at(rs.ticvals, 0), b);
                labelx = x;
            }
            if (dates && i > labelwdate + 2) date(x, str_at(rs.ticvals2, 0));
        } else if (i != 0 && i - ftp == trunc_to_int(ticcnt * ppt + 0.5)) {
            ++ticcnt;
            const int z = trunc_to_int((i - ftp - 1) / ppt + 0.5);
            tick(x);
            const int g = (trunc_to_int(z * ppt + 1) + ch.borx + ftp - labelx) / 2 * 2;
            const int room = ch.maxx - 2 * ch.borx - i;
            if (z <= rs.numtics && g > labelwidth + 2 && room > labelwidth + 2) {
                ch.tiny_text(x - labelwidth / 2, timerow, str_at(rs.ticvals, z), b);
                const std::string& d = str_at(rs.ticvals2, z);
                if (!d.empty() && dates) {
                    bool last_fits =
                        z == rs.numtics &&
                        static_cast<int>(rs.ch_end_d.size() + d.size()) * ch.tiny->w / 2 <
                            ch.wi - i;
                    bool between = z > 0 && g > labelwdate + 2 && room > labelwdate + 2;
                    if (z == 0 || last_fits || between) date(x, d);
                }
                labelx = x;
            }
        }
    }
}

void dot(Chart& ch, const Point& pt, int colour) {
    if (pt.y >= ch.boryt && pt.y <= ch.maxy - ch.bory)
        gdImageArc(ch.im, pt.x, pt.y, 2 * ch.rs.opt().dotsize, 2 * ch.rs.opt().dotsize, 0, 360, colour);
}

// One segment of a data series.
void draw_segment(Chart& ch, const Point& a, const Point& b, int colour, int dotcolour) {
    RunState& rs = ch.rs;
    gdImagePtr im = ch.im;
    const int base = ch.bottom();
    // No line, bar or fill reaches into a stretch without values.
    if (a.missing() || b.missing()) {
        if (!a.missing() && rs.opt().bar_chart) gdImageLine(im, a.x, a.y, a.x, base, colour);
        if (!a.missing() && rs.opt().dflag) dot(ch, a, dotcolour);
        return;
    }
    const int t = rs.opt().thk;
    if (t == 0) {
        if (rs.opt().bar_chart)
            gdImageFilledRectangle(im, a.x, a.y, a.x, base, colour);
        else
            gdImageLine(im, a.x, a.y, b.x, b.y, colour);
    } else if (t > 0) {
        gdPoint across[4] = {{a.x, a.y - t}, {a.x, a.y + t}, {b.x, b.y + t}, {b.x, b.y - t}};
        gdPoint along[4] = {{a.x - t, a.y}, {a.x + t, a.y}, {b.x + t, b.y}, {b.x - t, b.y}};
        gdImageFilledPolygon(im, across, 4, colour);
        gdImageFilledPolygon(im, along, 4, colour);
    }
    if (rs.opt().fflag) {
        gdPoint area[4] = {{a.x, base}, {a.x, a.y}, {b.x, b.y}, {b.x, base}};
        gdImageFilledPolygon(im, area, 4, colour);
    }
    if (rs.opt().bar_chart) gdImageLine(im, b.x, b.y, b.x, base, colour);
    if (rs.opt().dflag) dot(ch, a, dotcolour);
}

// The stretches a rule held for a period fired on, as bands on its threshold line.
// Drawn once after the line: the same bands redrawn at every segment would end up the same.
void draw_rule_stretches(Chart& ch, const std::vector<Point>& pts) {
    const RunState::Y8Rule* r = fired_rule(ch.rs);
    const int row = ch.rs.threshrow;
    if (!r || row < 0 || r->period < 0) return;
    const int last = static_cast<int>(pts.size()) - 1;
    for (size_t i = 0; i + 1 < r->pts.size(); i += 2) {
        int a = std::clamp(r->pts[i], 0, last), b = std::clamp(r->pts[i + 1] - 1, 0, last);
        gdImageFilledRectangle(ch.im, pts[a].x, row - 2, pts[b].x, row + 2, ch.c.magenta);
    }
}

// The data line, the moving average, and the last dot.
void draw_data(Chart& ch, int p) {
    RunState& rs = ch.rs;
    if (static_cast<size_t>(p) >= rs.points[0].size()) return;
    const std::vector<Point>& pts = rs.points[0][p];
    const std::vector<Point>* ma = nullptr;
    if (rs.opt().aflag && static_cast<size_t>(p) < rs.mapixels.size()) ma = &rs.mapixels[p];
    const int colour = ch.compact && rs.filenum == 0 ? ch.c.grey90 : rs.colors.at(0);
    const int dotcolour = rs.dotcolors.empty() ? colour : rs.dotcolors[0];
    if (rs.opt().oflag) {
        // Overlay charts draw their other series at each segment (overlay drawing).
        auto segment = [&](const Point& a, const Point& b, int c, int d) {
            draw_segment(ch, a, b, c, d);
        };
        draw_overlay_series(rs, ch.st, p, segment, [&](const Point& pt, int d) { dot(ch, pt, d); });
        return;
    }
    size_t n = std::min(pts.size(), static_cast<size_t>(std::max(rs.num, 0)));
    for (size_t k = 0; k + 1 < n; ++k) {
        if (!rs.opt().maonly_flag) draw_segment(ch, pts[k], pts[k + 1], colour, dotcolour);
        if (ma && k + 1 < ma->size() && !(*ma)[k].missing() && !(*ma)[k + 1].missing())
            gdImageLine(ch.im, (*ma)[k].x, (*ma)[k].y, (*ma)[k + 1].x, (*ma)[k + 1].y, ch.c.red);
        if (rs.threshrow >= 0)
            gdImageLine(ch.im, pts[k].x, rs.threshrow, pts[k + 1].x, rs.threshrow, ch.c.magenta);
        // Multifile charts add the other files' segments here (multifile drawing).
        if (rs.filenum >= 1) draw_other_files(rs, ch.frame(), p, k);
    }
    if (n > 1) draw_rule_stretches(ch, pts);
    if (rs.opt().dflag && n > 0) dot(ch, pts[n - 1], dotcolour);
}

// Node name, title and end date.
void draw_texts(Chart& ch, int p) {
    RunState& rs = ch.rs;
    std::string nodedesc = rs.files.empty() ? std::string() : rs.files[0].nodenam;
    if (nodedesc.empty()) nodedesc = rs.nodestr;
    if (const RunState::Y8Rule* r = fired_rule(rs); r && rs.threshrow >= 0)
        ch.tiny_text(ch.wi + ch.borx + 5, rs.threshrow - ch.tiny->h / 2, plain_number(r->thresh),
                     ch.c.magenta);
    const int sw = ch.small->w;
    if (rs.filenum == 0 && !ch.compact)
        ch.text(ch.small, ch.maxx / 2 - static_cast<int>(nodedesc.size()) * sw / 2, ch.bory / 2 + 1,
                nodedesc, ch.c.black);
    // Multifile charts write a legend of their nodes instead (multifile drawing).
    if (rs.filenum >= 1 && !ch.compact) draw_node_legend(rs, ch.frame());
    if (!rs.opt().oflag) {
        const std::string& label = str_at(rs.xlabel, p);
        if (!ch.compact)
            ch.text(ch.small, ch.maxx / 2 - static_cast<int>(label.size()) * sw / 2,
                    ch.bory / 2 - 12, label, ch.c.black);
        else if (rs.opt().bkgcolor == BKG_COMPACT_NAMED)
            ch.text(ch.small, ch.maxx + 30, ch.maxy / 2, label, ch.c.black);
    }
    if (rs.opt().oflag && !ch.compact) draw_overlay_legend(rs, ch.frame(), p);
    if (!ch.compact)
        ch.tiny_text(ch.borx + ch.wi - ch.tw(rs.ch_end_d) / 2 + 6, ch.bottom() + 12, rs.ch_end_d,
                     ch.c.black);
}

// The charts written so far are finished in drawing order; with all, also those still
// on their way.
void take_charts(RunState& rs, bool all) {
    ChartFiles::Written w;
    while (rs.chart_files && rs.chart_files->take(w, all)) {
        // A chart that did not reach the disk whole is an error, not a finished chart.
        if (!finish_output(rs, w.fp, w.ok)) {
            out("\nError opening output .PNG file, %s\n", w.name.c_str());
            // The charts drawn after it are not kept: the run ends at this one.
            while (rs.chart_files->take(w, true)) finish_output(rs, w.fp, false);
            end_run(END_ERROR);
        }
        rs.pngfiles.push_back(w.name);
    }
}

// The PNG file, created in the output directory when one is set; the image is written
// on its way (and then freed) while the next chart is drawn.
void write_png(RunState& rs, Image& img) {
    if (rs.opt().dirflag) switch_dir(rs.opt().direcname, "5", rs.opt().verbose);
    refuse_input_as_output(rs, rs.outpng);
    FILE* fp = open_pending(rs, rs.outpng);
    if (!fp) {
        out("\nError opening output .PNG file, %s\n", rs.outpng.c_str());
        end_run(END_ERROR);
    }
    if (rs.opt().dirflag) switch_dir(rs.opt().curname, "6", rs.opt().verbose);
    if (!rs.chart_files) rs.chart_files = std::make_shared<ChartFiles>(rs.opt().threads);
    rs.chart_files->submit(img.im, fp, rs.outpng);
    img.im = nullptr;
    take_charts(rs, false);
}

}  // namespace

void draw_chart(RunState& rs, const ParamStats& st, int p, int /*sampint*/) {
    if (p < 0 || rs.points.empty()) return;
    const RunState::Y8Rule* rule = fired_rule(rs);
    const int caph = caption_height(rs);
    rs.threshrow = rule ? threshold_row(rs, *rule, caph + rs.opt().BORDERyval) : -1;
    rs.maxy = caph + 2 * rs.opt().BORDERyval + rs.hi;
    const bool compact = rs.opt().bkgcolor >= BKG_COMPACT;
    int width, height;
    if (!compact) {
        width = rs.maxx + 1;
        height = rs.maxy + 1;
    } else {
        width = 2 * rs.opt().BORDERxval + rs.wi + (rs.opt().bkgcolor == BKG_COMPACT ? 30 : 230);
        height = 2 * rs.opt().BORDERyval + rs.hi;
    }
    if (rs.opt().oflag) {
        // Overlay charts widen the image for their legend (overlay drawing).
        if (!compact) overlay_image_size(rs, width, height);
    }
    // A chart of more pixels than this is refused rather than left to exhaust memory.
    constexpr long long MAX_CHART_PIXELS = 100000000;
    const bool sane = width > 0 && height > 0 &&
                      static_cast<long long>(width) * height <= MAX_CHART_PIXELS;
    Image img(sane ? gdImageCreate(width, height) : nullptr);
    if (!img.im) {
        out("\nCannot create a chart of %d x %d pixels for %s\n", width, height, rs.outpng.c_str());
        end_run(END_ERROR);
    }
    Chart ch(rs, st, img.im);
    ch.compact = compact;
    ch.borx = compact ? 5 : rs.opt().BORDERxval;
    ch.bory = compact ? 5 : rs.opt().BORDERyval;
    ch.boryt = rs.boryt = caph + rs.opt().BORDERyval;
    ch.wi = rs.wi;
    ch.hi = rs.hi;
    ch.maxx = rs.maxx;
    ch.maxy = rs.maxy;

    ch.c = allocate_palette(rs, img.im);
    setup_series_colours(rs, img.im);
    if (rs.colors.empty()) rs.colors.assign(21, ch.c.navy);

    if (rs.opt().bflag && !compact) {
        int bg = rs.opt().bkgcolor == BKG_BLACK   ? ch.c.black
                 : rs.opt().bkgcolor == BKG_WHITE ? ch.c.white
                 : rs.opt().bkgcolor == BKG_GREY  ? ch.c.gainsboro
                                            : ch.c.background;
        gdImageFilledRectangle(img.im, ch.borx - 1, ch.boryt - 1, ch.wi + ch.borx + 1,
                               ch.maxy - ch.bory + 1, bg);
    }
    // The colour letter of /lines recolours the line of single charts.
    const int letters[] = {ch.c.red,     ch.c.green,  ch.c.blue, ch.c.black,
                           ch.c.magenta, ch.c.yellow, ch.c.white};
    if (rs.opt().lflag >= LINES_RED && rs.opt().lflag <= LINES_WHITE) rs.colors[0] = letters[rs.opt().lflag - LINES_RED];

    draw_average(ch, p);
    if (rs.opt().lflag) {
        int style[6] = {ch.c.litegrey, ch.c.litegrey, ch.c.litegrey,
                        gdTransparent, gdTransparent, gdTransparent};
        gdImageSetStyle(img.im, style, 6);
    }
    if (compact) {
        gdImageFilledRectangle(img.im, rs.opt().BORDERxval + 30, ch.boryt - 1, ch.wi + rs.opt().BORDERxval + 30,
                               ch.maxy - ch.bory + 1, ch.c.grey5);
        const std::string top = rs.scale_top.text();
        ch.tiny_text(rs.opt().BORDERxval - ch.tw(top) + 30, ch.boryt, top, ch.c.black);
    }
    if (static_cast<size_t>(p) < rs.points[0].size()) draw_missing(ch, rs.points[0][p]);
    if (!compact) draw_frame(ch);
    draw_percentiles(ch, p);
    draw_horizontal_grid(ch);
    draw_time_axis(ch);
    draw_data(ch, p);
    draw_texts(ch, p);
    if (has_caption(rs)) draw_caption(rs, img.im, ch.maxx / 2, ch.bory - 3, rule ? rule->msg : "");
    write_png(rs, img);
}

void finish_chart_files(RunState& rs) { take_charts(rs, true); }

void settle_chart_files(RunState& rs) {
    ChartFiles::Written w;
    while (rs.chart_files && rs.chart_files->take(w, true))
        if (finish_output(rs, w.fp, w.ok)) rs.pngfiles.push_back(w.name);
}
