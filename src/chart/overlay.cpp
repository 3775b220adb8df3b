#include "chart/overlay.h"

#include <gdfonts.h>
#include <gdfontt.h>

#include <algorithm>

#include "base/out.h"
#include "base/strings.h"
#include "core/timestamps.h"
#include "stats/statistics.h"

namespace {

using Point = RunState::ChartPoint;

// Chart p shows the numovr + 1 parameters ending with p (fewer when p is smaller).
int first_series(const RunState& rs, int p) {
    return std::max(p - std::max(rs.numovr, 0), 0);
}

int series_colour(const RunState& rs, int j) {
    return rs.colors.empty() ? 0 : rs.colors[static_cast<size_t>(j) % rs.colors.size()];
}

int series_dotcolour(const RunState& rs, int j) {
    if (rs.dotcolors.empty()) return series_colour(rs, j);
    return rs.dotcolors[static_cast<size_t>(j) % rs.dotcolors.size()];
}

std::vector<double>* values(RunState& rs, int f, int p) {
    if (f < 0 || p < 0 || static_cast<size_t>(f) >= rs.pts.size() ||
        static_cast<size_t>(p) >= rs.pts[f].size())
        return nullptr;
    return &rs.pts[f][p];
}

const std::vector<Point>* pixels(const RunState& rs, int f, int p) {
    if (f < 0 || p < 0 || static_cast<size_t>(f) >= rs.points.size() ||
        static_cast<size_t>(p) >= rs.points[f].size())
        return nullptr;
    return &rs.points[f][p];
}

// The loaded values of a series before its first stacking, put back before the next one,
// so that a series shared by two overlay charts is not summed twice.
std::vector<double>* loaded_values(RunState& rs, int f, int p) {
    std::vector<double>* v = values(rs, f, p);
    if (!v) return nullptr;
    auto& keep = rs.stack_loaded;
    if (keep.size() <= static_cast<size_t>(f)) keep.resize(static_cast<size_t>(f) + 1);
    if (keep[f].size() <= static_cast<size_t>(p)) keep[f].resize(static_cast<size_t>(p) + 1);
    std::vector<double>& saved = keep[f][p];
    if (saved.empty())
        saved = *v;
    else
        *v = saved;
    return v;
}

// Adds `next` into `v` sample by sample; returns the largest sum when `total` is set.
double add_into(std::vector<double>& v, const std::vector<double>* next, size_t n, bool total,
                double top) {
    n = std::min(n, v.size());
    for (size_t i = 0; i < n; ++i) {
        // A missing value adds nothing; a layer missing here stacks on the ones below.
        double x = next && i < next->size() ? (*next)[i] : MISSING;
        if (!is_missing(x)) v[i] = is_missing(v[i]) ? x : v[i] + x;
        if (total && v[i] > top) top = v[i];
    }
    return top;
}

// The minimum and maximum texts of overlay parameter s.
std::string minmax_text(const RunState& rs, int s) {
    if (s >= 0 && s < 20) return rs.ov_minmax_ar[s];
    if (s >= 0 && static_cast<size_t>(s) < rs.ov_minmax_more.size()) return rs.ov_minmax_more[s];
    return strfmt("%9.9s %9.9s", "", "");
}

// A label in the legend: a bracketed group prefix such as "[disk]" is left out.
std::string legend_label(const RunState& rs, int s) {
    std::string label =
        s >= 0 && static_cast<size_t>(s) < rs.xlabel.size() ? rs.xlabel[s] : std::string();
    size_t close = label.find(']');
    return close == std::string::npos ? label : label.substr(close + 1);
}

void text(gdImagePtr im, gdFontPtr f, int x, int y, const std::string& s, int colour) {
    gdImageString(im, f, x, y, reinterpret_cast<unsigned char*>(const_cast<char*>(s.c_str())),
                  colour);
}

void dot(const RunState& rs, const PlotFrame& fr, const Point& pt, int colour) {
    if (pt.y >= fr.boryt && pt.y <= fr.maxy - fr.bory)
        gdImageArc(fr.im, pt.x, pt.y, 2 * rs.opt().dotsize, 2 * rs.opt().dotsize, 0, 360, colour);
}

// Entries per line, lines, and left margin of the bottom legend.
struct LegendLayout {
    int npl, nl, bor;
};

LegendLayout legend_layout(const RunState& rs, int count) {
    const int small = gdFontGetSmall()->w;
    const bool long_labels = rs.maxlabelsiz > 36;
    // A frame narrower than one entry still holds one per line.
    int npl = std::max(rs.maxx / LEGEND_ENTRY, 1);
    if (rs.opt().ostyle == 1 && long_labels) npl = 1;
    int nl = count / npl + 1;
    npl = std::min(npl, count);
    int bor = (rs.maxx - npl * LEGEND_ENTRY) / 2;
    if (long_labels) {
        bor = (rs.maxx - rs.maxlabelsiz * small) / 2 - 20;
        npl = 1;
    }
    return {npl, nl, bor};
}

void side_legend(const RunState& rs, const PlotFrame& fr, int first, int count) {
    gdFontPtr small = gdFontGetSmall();
    const int last = count - 1;
    const int x0 = rs.opt().nflag * last * 15 + fr.maxx - fr.borx + 20;
    const int ymid = fr.hi / 2 + fr.boryt - 7 * last;
    text(fr.im, small, x0 + 15, ymid - 21, "    Min     Max", fr.black);
    for (int j = 0; j < count; ++j) {
        const int y = ymid + 14 * j;
        gdImageFilledRectangle(fr.im, x0, y - 5, x0 + 10, y + 5, series_colour(rs, j));
        gdImageRectangle(fr.im, x0, y - 5, x0 + 10, y + 5, fr.black);
        std::string entry = strfmt("%s  %-30.30s", minmax_text(rs, first + j).c_str(),
                                   legend_label(rs, first + j).c_str());
        text(fr.im, small, x0 + 15, y - 7, entry, fr.black);
    }
}

void bottom_legend(const RunState& rs, const PlotFrame& fr, int first, int count) {
    gdFontPtr small = gdFontGetSmall();
    const LegendLayout l = legend_layout(rs, count);
    for (int j = 0; j < count; ++j) {
        const int x = (j % l.npl) * LEGEND_ENTRY + l.bor;
        const int y = (j / l.npl) * 15 + fr.boryt + fr.hi + 30;
        gdImageFilledRectangle(fr.im, x, y, x + 15, y + 10, series_colour(rs, j));
        gdImageRectangle(fr.im, x, y, x + 15, y + 10, series_colour(rs, j));
        std::string entry = strfmt("  %s %s", minmax_text(rs, first + j).c_str(),
                                   legend_label(rs, first + j).c_str());
        text(fr.im, small, x + 10, y, entry, fr.black);
    }
}

// Each normalised series after the first gets an axis of its own right of the plot,
// topped by its maximum.
void normalised_axes(const RunState& rs, const PlotFrame& fr, int first, int count) {
    for (int j = 1; j < count; ++j) {
        const int x = j * 25 + fr.maxx - fr.borx + 5;
        const int colour = series_colour(rs, j);
        gdImageLine(fr.im, x, fr.boryt - 1, x, fr.maxy - fr.bory + 1, colour);
        std::string mm = minmax_text(rs, first + j);
        std::string top = mm.size() > 10 ? mm.substr(10) : std::string();
        trim(top);
        text(fr.im, gdFontGetTiny(), x - 10, fr.boryt - 15, top, colour);
    }
}

}  // namespace

void overlay_image_size(const RunState& rs, int& width, int& height) {
    const int count = std::max(rs.numovr, 0) + 1;
    const int maxy = rs.maxy;
    if (rs.opt().ostyle == 0) {
        // Normalised axes push the side legend right; the image grows with it.
        width = LEGEND_ENTRY + rs.maxx + 1 + rs.opt().nflag * (count - 1) * 15;
        height = maxy + 1;
    } else {
        width = rs.opt().nflag * (count - 1) * 25 + rs.maxx + 1;
        height = legend_layout(rs, count).nl * 15 + maxy + 1;
    }
}

void stack_series(RunState& rs, int p) {
    if (p < 0) return;
    const size_t n = static_cast<size_t>(std::max(rs.num, 0));
    double top = 0;
    if (rs.opt().oflag) {
        const int first = first_series(rs, p);
        top = fixed_ymax(rs) > 0 ? fixed_ymax(rs) : 0;
        const std::vector<double>* next = nullptr;
        for (int s = p; s >= first; --s) {
            std::vector<double>* v = loaded_values(rs, 0, s);
            if (!v) return;
            top = add_into(*v, next, n, s == first, top);
            next = v;
            rs.scale_top = {top, rs.opt().precision};
        }
    } else if (rs.filenum >= 1) {
        const double ratio = rs.max_y_ratio != 0 ? rs.max_y_ratio : 1;
        const std::vector<double>* next = nullptr;
        for (int f = rs.filenum; f >= 0; --f) {
            std::vector<double>* v = loaded_values(rs, f, p);
            if (!v) return;
            top = add_into(*v, next, n, f == 0, top);
            next = v;
            rs.scale_top = {top / ratio, rs.opt().precision};
        }
    } else {
        return;
    }
    rs.scale_y_max = top;
}

void draw_overlay_series(RunState& rs, const ParamStats& st, int p, const SegmentFn& segment,
                         const DotFn& dotfn) {
    const int first = first_series(rs, p);
    // Series j of the chart with its pixels; one not mapped yet is left out, not the chart.
    std::vector<std::pair<int, const std::vector<Point>*>> series;
    size_t n = static_cast<size_t>(std::max(rs.num, 0));
    for (int s = first; s <= p; ++s) {
        const std::vector<Point>* pts = pixels(rs, 0, s);
        if (!pts || pts->empty()) continue;
        series.emplace_back(s - first, pts);
        n = std::min(n, pts->size());
    }
    if (p >= 20) {
        if (rs.ov_minmax_more.size() <= static_cast<size_t>(p))
            rs.ov_minmax_more.resize(static_cast<size_t>(p) + 1);
        rs.ov_minmax_more[p] = minmax_cells(st);
    }
    for (size_t k = 0; k + 1 < n; ++k)
        for (const auto& [j, pts] : series)
            segment((*pts)[k], (*pts)[k + 1], series_colour(rs, j), series_dotcolour(rs, j));
    if (rs.opt().dflag && n > 0)
        for (const auto& [j, pts] : series) dotfn((*pts)[n - 1], series_dotcolour(rs, j));
}

void draw_other_files(RunState& rs, const PlotFrame& fr, int p, size_t k) {
    const int base = fr.boryt + fr.hi;
    for (int f = 1; f <= rs.filenum; ++f) {
        const std::vector<Point>* pts = pixels(rs, f, p);
        if (!pts || k + 1 >= pts->size()) continue;
        const Point& a = (*pts)[k];
        const Point& b = (*pts)[k + 1];
        if (a.missing() || b.missing()) continue;
        const int colour = series_colour(rs, f);
        if (rs.opt().dflag) {
            if (k == 0) dot(rs, fr, a, colour);
            dot(rs, fr, b, colour);
        }
        gdImageLine(fr.im, a.x, a.y, b.x, b.y, colour);
        if (rs.opt().fflag) {
            gdPoint area[4] = {{a.x, base}, {a.x, a.y}, {b.x, b.y}, {b.x, base}};
            gdImageFilledPolygon(fr.im, area, 4, colour);
        }
    }
}

void draw_overlay_legend(RunState& rs, const PlotFrame& fr, int p) {
    const int first = first_series(rs, p);
    const int count = p - first + 1;
    if (rs.opt().ostyle == 0)
        side_legend(rs, fr, first, count);
    else if (rs.opt().ostyle == 1)
        bottom_legend(rs, fr, first, count);
    if (rs.opt().nflag) normalised_axes(rs, fr, first, count);
}

std::vector<std::string> node_legend_names(const RunState& rs) {
    const size_t n = static_cast<size_t>(std::max(rs.filenum + 1, 0));
    std::vector<std::string> node(n), date(n), names(n);
    for (size_t f = 0; f < n; ++f) {
        node[f] = f < rs.files.size() ? rs.files[f].nodenam : rs.nodestr;
        if (f < rs.files.size()) {
            secstodate(rs.files[f].csvstartsecs, date[f]);
            date[f] = date[f].substr(0, date[f].find(' '));
        }
    }
    // Files of one node are told apart by their start date, or by name when that repeats.
    for (size_t f = 0; f < n; ++f) {
        bool same_node = false, same_day = false;
        for (size_t g = 0; g < n; ++g) {
            if (g == f || node[g] != node[f]) continue;
            same_node = true;
            same_day = same_day || date[g] == date[f];
        }
        if (!same_node)
            names[f] = node[f];
        else if (!same_day)
            names[f] = node[f] + " " + date[f];
        else
            names[f] = f < rs.files.size() ? rs.files[f].datafil : node[f];
    }
    return names;
}

void draw_node_legend(RunState& rs, const PlotFrame& fr) {
    gdFontPtr small = gdFontGetSmall();
    const std::vector<std::string> names = node_legend_names(rs);
    const std::string& node0 = names.empty() ? rs.nodestr : names[0];
    const int e = static_cast<int>(node0.size()) * small->w;
    const int y = fr.bory / 2;
    for (int f = 0; f <= rs.filenum; ++f) {
        const int xf = (f + 1) * fr.maxx / (rs.filenum + 2);
        const int colour = series_colour(rs, f);
        const std::string& name = names[static_cast<size_t>(f)];
        text(fr.im, small, xf - e / 2 - (f == 0 ? 12 : 10), y + 1, name, colour);
        gdImageLine(fr.im, xf + e / 2, y + 8, xf + e / 2 + 10, y + 8, colour);
        gdImageFilledRectangle(fr.im, xf + e / 2 + 4, y + 7, xf + e / 2 + 6, y + 9, colour);
    }
}
