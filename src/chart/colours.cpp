#include "chart/colours.h"

#include <gdfontg.h>
#include <gdfontl.h>
#include <gdfontmb.h>
#include <gdfonts.h>
#include <gdfontt.h>

#include <cstring>
#include <vector>

#include "stats/rules.h"

const Rgb series_rgb[NUM_SERIES_COLOURS] = {
    {0x00, 0x00, 0x80}, {0xFF, 0x00, 0xFF}, {0xFF, 0x80, 0x40}, {0x00, 0x80, 0x00},
    {0x80, 0x00, 0x80}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x80}, {0x00, 0x00, 0xFF},
    {0x00, 0xCC, 0xFF}, {0xCC, 0xFF, 0xFF}, {0xCC, 0xFF, 0xCC}, {0xFF, 0xFF, 0x99},
    {0x99, 0xCC, 0xFF}, {0xFF, 0x99, 0xCC}, {0xCC, 0x99, 0xFF}, {0xFF, 0xCC, 0x99},
    {0x33, 0x66, 0xFF}, {0x33, 0xCC, 0xCC}, {0x99, 0xCC, 0x00}, {0xFF, 0xCC, 0x00},
    {0xFF, 0x66, 0x00},
};

// Fixed-palette colours that options can name.
static constexpr Rgb BLACK{0, 0, 0}, WHITE{255, 255, 255}, RED{255, 0, 0}, GREEN{0, 255, 0},
    BLUE{0, 0, 255}, MAGENTA{255, 0, 255}, YELLOW{255, 255, 0}, BROWN{139, 69, 19},
    CYAN{0, 255, 255}, GOLD{255, 215, 0}, KHAKI{240, 230, 140}, MAROON{176, 48, 96},
    ORANGE{255, 165, 0}, NAVY{0, 0, 128}, PURPLE{160, 32, 240}, SALMON{250, 128, 114},
    LITEBLUE{130, 100, 255}, GREY155{155, 155, 155};

struct NamePrefix {
    const char* prefix;
    const Rgb* rgb;
};

// Checked in this order; a later match overrides an earlier one, so "grey" ends as grey155.
static const NamePrefix name_prefixes[] = {
    {"bla", &BLACK}, {"blu", &BLUE},     {"br", &BROWN},     {"c", &CYAN},      {"go", &GOLD},
    {"gr", &GREEN},  {"k", &KHAKI},      {"mar", &MAROON},   {"mag", &MAGENTA}, {"o", &ORANGE},
    {"n", &NAVY},    {"p", &PURPLE},     {"r", &RED},        {"s", &SALMON},    {"w", &WHITE},
    {"y", &YELLOW},  {"lit", &LITEBLUE}, {"grey", &GREY155},
};

static constexpr size_t MAX_SEQUENCE_NAMES = 15;
static constexpr size_t MAX_NAME_CHARS = 9;

const Rgb* colour_from_name(const std::string& name) {
    std::string n = name.substr(0, MAX_NAME_CHARS);
    const Rgb* found = nullptr;
    for (const auto& np : name_prefixes)
        if (n.compare(0, std::strlen(np.prefix), np.prefix) == 0) found = np.rgb;
    return found;
}

// The palette index of a fixed-palette colour; allocated when the palette lacks it, so
// that a caller with a smaller palette still draws in the right colour.
static int palette_index(gdImagePtr im, const Rgb& c) {
    int i = gdImageColorExact(im, c.r, c.g, c.b);
    return i >= 0 ? i : gdImageColorAllocate(im, c.r, c.g, c.b);
}

// Names of a colour sequence replace the entries from the first on; a name that names no
// colour leaves its entry as it was.
static void apply_sequence(gdImagePtr im, const std::string& seq, std::vector<int>& entries) {
    size_t start = 0;
    for (size_t j = 0; j < MAX_SEQUENCE_NAMES && j < entries.size(); ++j) {
        size_t comma = seq.find(',', start);
        const Rgb* c = colour_from_name(seq.substr(start, comma - start));
        if (c) entries[j] = palette_index(im, *c);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
}

static const Rgb* dot_code_colour(int code) {
    static const Rgb* codes[] = {&BLACK, &RED, &BLUE, &GREEN, &MAGENTA, &YELLOW};
    return code >= 0 && code < 6 ? codes[code] : nullptr;
}

static const Rgb* line_letter_colour(GridLines lflag) {
    static const Rgb* letters[] = {&RED, &GREEN, &BLUE, &BLACK, &MAGENTA, &YELLOW, &WHITE};
    return lflag >= LINES_RED && lflag <= LINES_WHITE ? letters[lflag - LINES_RED] : nullptr;
}

void setup_series_colours(RunState& rs, gdImagePtr im) {
    rs.colors.assign(NUM_SERIES_COLOURS, 0);
    for (int j = 0; j < NUM_SERIES_COLOURS; ++j)
        rs.colors[j] = gdImageColorAllocate(im, series_rgb[j].r, series_rgb[j].g, series_rgb[j].b);
    // Dots keep the default colours even when the lines are recoloured.
    rs.dotcolors.assign(rs.colors.begin(), rs.colors.begin() + NUM_DOT_COLOURS);

    if (rs.opt().coloflag || rs.opt().coloflagdef) apply_sequence(im, rs.opt().colsequence, rs.colors);
    const Rgb* code = dot_code_colour(rs.opt().dotcolor);
    if (rs.opt().dotcoloflag || rs.opt().dotcoloflagdef) apply_sequence(im, rs.opt().dotcolsequence, rs.dotcolors);
    // A colour code given with the dots wins over every dot colour of a sequence.
    if (code) rs.dotcolors.assign(NUM_DOT_COLOURS, palette_index(im, *code));
    if (const Rgb* letter = line_letter_colour(rs.opt().lflag)) rs.colors[0] = palette_index(im, *letter);
}

gdFontPtr caption_font(const RunState& rs) {
    switch (rs.opt().capsiz.empty() ? '\0' : rs.opt().capsiz[0]) {
        case 'T':
            return gdFontGetTiny();
        case 'S':
            return gdFontGetSmall();
        case 'M':
            return gdFontGetMediumBold();
        case 'L':
            return gdFontGetLarge();
        default:
            return gdFontGetGiant();
    }
}

// A fired rule's message becomes the chart's caption, with or without --caption.
bool has_caption(const RunState& rs) {
    return rs.opt().kflag || (rules_in_force(rs) && fired_rule(rs));
}

int caption_height(RunState& rs) {
    return has_caption(rs) ? caption_font(rs)->h : 0;
}

static const Rgb& caption_colour(const RunState& rs) {
    switch (rs.opt().capcol.empty() ? '\0' : rs.opt().capcol[0]) {
        case 'G':
            return GREEN;
        case 'B':
            return BLACK;
        case 'Y':
            return YELLOW;
        case 'U':
            return BLUE;
        case 'M':
            return MAGENTA;
        default:
            return RED;  // R, and the documented default for any other letter
    }
}

void draw_caption(RunState& rs, gdImagePtr im, int x, int y, const std::string& rulemsg) {
    if (!has_caption(rs)) return;
    bool fired = !rulemsg.empty();
    gdFontPtr font = fired ? gdFontGetGiant() : caption_font(rs);
    const std::string& text = fired ? rulemsg : rs.opt().caption;
    int colour = palette_index(im, fired ? MAGENTA : caption_colour(rs));
    int len = static_cast<int>(text.size());
    std::vector<unsigned char> s(text.begin(), text.end());
    s.push_back('\0');
    gdImageString(im, font, x - len * font->w / 2, y, s.data(), colour);
}
