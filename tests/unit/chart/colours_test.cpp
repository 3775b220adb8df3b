#include "chart/colours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <memory>

#include "cli/options.h"
#include "harness.h"

namespace {

using ImagePtr = std::unique_ptr<gdImage, decltype(&gdImageDestroy)>;

// The fixed palette a chart allocates before the series colours, in its order.
const Rgb fixed_palette[] = {
    {255, 255, 255}, {211, 211, 211}, {128, 128, 128}, {240, 240, 240}, {230, 230, 230},
    {27, 27, 27},    {220, 220, 220}, {255, 0, 0},     {255, 0, 255},   {0, 255, 0},
    {0, 0, 255},     {0, 0, 0},       {255, 255, 0},   {255, 255, 210}, {240, 230, 140},
    {238, 232, 170}, {255, 165, 0},   {176, 48, 96},   {0, 255, 255},   {0, 0, 128},
    {250, 128, 114}, {160, 32, 240},  {255, 215, 0},   {139, 69, 19},   {130, 100, 255},
    {155, 155, 155},
};

ImagePtr chart_image(bool border) {
    ImagePtr im(gdImageCreate(200, 80), gdImageDestroy);
    if (border) gdImageColorAllocate(im.get(), 220, 220, 220);
    for (const auto& c : fixed_palette) gdImageColorAllocate(im.get(), c.r, c.g, c.b);
    return im;
}

unsigned rgb_of(gdImagePtr im, int index) {
    return static_cast<unsigned>(gdImageRed(im, index) << 16 | gdImageGreen(im, index) << 8 |
                                 gdImageBlue(im, index));
}

constexpr unsigned NAVY = 0x000080, RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF,
                   BLACK = 0x000000, WHITE = 0xFFFFFF, YELLOW = 0xFFFF00, MAGENTA = 0xFF00FF,
                   GREY155 = 0x9B9B9B;

const unsigned default_series[21] = {0x000080, 0xFF00FF, 0xFF8040, 0x008000, 0x800080, 0x800000,
                                     0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99,
                                     0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, 0x3366FF, 0x33CCCC,
                                     0x99CC00, 0xFFCC00, 0xFF6600};

}  // namespace

TEST(SeriesColours, DefaultsFollowTheFixedPaletteInTableOrder) {
    for (bool border : {false, true}) {
        SCOPED_TRACE(border ? "with border" : "without border");
        RunState rs;
        auto im = chart_image(border);
        setup_series_colours(rs, im.get());
        ASSERT_EQ(rs.colors.size(), 21u);
        ASSERT_EQ(rs.dotcolors.size(), 20u);
        int first = border ? 27 : 26;
        for (int j = 0; j < 21; ++j) {
            EXPECT_EQ(rs.colors[j], first + j) << j;
            EXPECT_EQ(rgb_of(im.get(), rs.colors[j]), default_series[j]) << j;
        }
        for (int j = 0; j < 20; ++j) EXPECT_EQ(rs.dotcolors[j], rs.colors[j]) << j;
        EXPECT_EQ(gdImageColorsTotal(im.get()), first + 21);
    }
}

TEST(SeriesColours, NamesTakeTheLastMatchingPrefix) {
    struct Case {
        const char* name;
        long rgb;  // -1: names no colour
    };
    const Case cases[] = {
        {"black", 0x000000},
        {"blue", 0x0000FF},
        {"brown", 0x8B4513},
        {"cyan", 0x00FFFF},
        {"gold", 0xFFD700},
        {"goldenrod", 0xFFD700},
        {"green", 0x00FF00},
        {"grey", 0x9B9B9B},
        {"gray", 0x00FF00},
        {"khaki", 0xF0E68C},
        {"maroon", 0xB03060},
        {"magenta", 0xFF00FF},
        {"orange", 0xFFA500},
        {"navy", 0x000080},
        {"purple", 0xA020F0},
        {"red", 0xFF0000},
        {"rose", 0xFF0000},
        {"salmon", 0xFA8072},
        {"white", 0xFFFFFF},
        {"yellow", 0xFFFF00},
        {"liteblue", 0x8264FF},
        {"lightblue", -1},
        {"Red", -1},
        {"GREY", -1},
        {"", -1},
        {"bl", -1},
        {"ma", -1},
        {"greyishcolour", 0x9B9B9B},
    };
    for (const auto& c : cases) {
        const Rgb* rgb = colour_from_name(c.name);
        if (c.rgb < 0) {
            EXPECT_EQ(rgb, nullptr) << c.name;
        } else {
            ASSERT_NE(rgb, nullptr) << c.name;
            EXPECT_EQ(rgb->r << 16 | rgb->g << 8 | rgb->b, c.rgb) << c.name;
        }
    }
}

TEST(SeriesColours, OptionsChangeColoursInTheirOrder) {
    struct Case {
        const char* what;
        int coloflag, coloflagdef;
        const char* colsequence;
        int dotcoloflag, dotcoloflagdef;
        const char* dotcolsequence;
        int dotcolor, lflag;
        std::vector<unsigned> lines;  // expected colors[0 ...]; the rest stay default
        std::vector<unsigned> dots;   // expected dotcolors[0 ...]
    };
    const unsigned S1 = default_series[1], S2 = default_series[2], S3 = default_series[3];
    // clang-format off
    const std::vector<Case> cases = {
        {"fourth series keeps its colour", 1, 0, "red,green,blue", 0, 0, "", -1, 0,
         {RED, GREEN, BLUE, S3}, {NAVY, S1, S2, S3}},
        {"capitalised name", 1, 0, "Red", 0, 0, "", -1, 0, {NAVY}, {NAVY}},
        {"grey is grey155", 1, 0, "grey", 0, 0, "", -1, 0, {GREY155}, {NAVY}},
        {"defaults file sequence", 0, 1, "yellow", 0, 0, "", -1, 0, {YELLOW}, {NAVY}},
        {"text without a flag", 0, 0, "yellow", 0, 0, "", -1, 0, {NAVY}, {NAVY}},
        {"dot code R, green lines", 1, 0, "green", 0, 0, "", 1, 0, {GREEN, S1}, {RED, RED, RED}},
        {"empty name keeps its place", 0, 0, "", 1, 0, "red,,blue", -1, 0,
         {NAVY, S1, S2}, {RED, S1, BLUE}},
        {"dot code wins over a sequence", 0, 0, "", 0, 1, "red,green", 5, 0,
         {NAVY}, {YELLOW, YELLOW}},
        {"line letter after the sequence", 1, 0, "red,green", 0, 0, "", -1, 9,
         {WHITE, GREEN}, {NAVY}},
        {"sixteenth name not taken", 1, 0, "r,r,r,r,r,r,r,r,r,r,r,r,r,r,blue,blue", 0, 0, "", -1, 0,
         {RED, RED, RED, RED, RED, RED, RED, RED, RED, RED, RED, RED, RED, RED, BLUE,
          default_series[15]}, {NAVY}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RunState rs;
        rs.set_opt().coloflag = c.coloflag;
        rs.set_opt().coloflagdef = c.coloflagdef;
        rs.set_opt().colsequence = c.colsequence;
        rs.set_opt().dotcoloflag = c.dotcoloflag;
        rs.set_opt().dotcoloflagdef = c.dotcoloflagdef;
        rs.set_opt().dotcolsequence = c.dotcolsequence;
        rs.set_opt().dotcolor = c.dotcolor;
        rs.set_opt().lflag = static_cast<GridLines>(c.lflag);
        auto im = chart_image(false);
        setup_series_colours(rs, im.get());
        for (size_t j = 0; j < 21; ++j) {
            unsigned want = j < c.lines.size() ? c.lines[j] : default_series[j];
            EXPECT_EQ(rgb_of(im.get(), rs.colors[j]), want) << "line " << j;
        }
        for (size_t j = 0; j < c.dots.size(); ++j)
            EXPECT_EQ(rgb_of(im.get(), rs.dotcolors[j]), c.dots[j]) << "dot " << j;
        // Named colours are the fixed palette's own entries: nothing new is allocated.
        EXPECT_EQ(gdImageColorsTotal(im.get()), 26 + 21);
    }
}

TEST(SeriesColours, LineLettersAndDotCodes) {
    const unsigned letters[] = {RED, GREEN, BLUE, BLACK, MAGENTA, YELLOW, WHITE};
    for (int lflag = LINES_RED; lflag <= LINES_WHITE; ++lflag) {
        RunState rs;
        rs.set_opt().lflag = static_cast<GridLines>(lflag);
        auto im = chart_image(true);
        setup_series_colours(rs, im.get());
        EXPECT_EQ(rgb_of(im.get(), rs.colors[0]), letters[lflag - 3]) << lflag;
        EXPECT_EQ(rgb_of(im.get(), rs.dotcolors[0]), NAVY) << lflag;
    }
    const unsigned codes[] = {BLACK, RED, BLUE, GREEN, MAGENTA, YELLOW};
    for (int code = 0; code <= 5; ++code) {
        RunState rs;
        rs.set_opt().dotcolor = code;
        auto im = chart_image(false);
        setup_series_colours(rs, im.get());
        EXPECT_EQ(rgb_of(im.get(), rs.dotcolors[0]), codes[code]) << code;
        EXPECT_EQ(rgb_of(im.get(), rs.dotcolors[19]), codes[code]) << code;
        EXPECT_EQ(rgb_of(im.get(), rs.colors[0]), NAVY) << code;
    }
}

namespace {

struct Box {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1, pixels = 0;
};

// Where pixels of the given colour lie.
Box painted(gdImagePtr im, unsigned rgb) {
    Box b;
    for (int y = 0; y < gdImageSY(im); ++y)
        for (int x = 0; x < gdImageSX(im); ++x) {
            if (rgb_of(im, gdImageGetPixel(im, x, y)) != rgb || gdImageGetPixel(im, x, y) == 0)
                continue;
            b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
            ++b.pixels;
        }
    return b;
}

}  // namespace

TEST(Caption, FontColourAndPlace) {
    struct Case {
        const char* siz;
        const char* col;
        const char* rulemsg;
        int fw, fh;  // font cell
        unsigned rgb;
    };
    const Case cases[] = {
        {"T", "U", "", 5, 8, BLUE},
        {"S", "G", "", 6, 13, GREEN},
        {"M", "B", "", 7, 13, BLACK},
        {"L", "R", "", 8, 16, RED},
        {"G", "Y", "", 9, 15, YELLOW},
        {"X", "M", "", 9, 15, MAGENTA},
        {"L", "Q", "", 8, 16, RED},
        {"", "", "", 9, 15, RED},
        {"T", "U", "Disk full", 9, 15, MAGENTA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.siz) + c.col + c.rulemsg);
        RunState rs;
        rs.set_opt().kflag = 1;
        rs.set_opt().capsiz = c.siz;
        rs.set_opt().capcol = c.col;
        rs.set_opt().caption = "HHHH";
        auto im = chart_image(false);
        const int cx = 100, top = 20;
        draw_caption(rs, im.get(), cx, top, c.rulemsg);
        std::string text = *c.rulemsg ? c.rulemsg : rs.opt().caption;
        int len = static_cast<int>(text.size());
        Box b = painted(im.get(), c.rgb);
        ASSERT_GT(b.pixels, 0);
        EXPECT_GE(b.x0, cx - len * c.fw / 2);
        EXPECT_LT(b.x0, cx - len * c.fw / 2 + c.fw);
        EXPECT_LT(b.x1, cx - len * c.fw / 2 + len * c.fw);
        EXPECT_GT(b.x1, cx - len * c.fw / 2 + (len - 1) * c.fw);
        EXPECT_GE(b.y0, top);
        EXPECT_LT(b.y1, top + c.fh);
    }
}

TEST(Caption, RowsTaken) {
    struct Case {
        int kflag;
        const char* siz;
        int rows;
    };
    // An empty size letter is the fired rule's caption on a run without /caption.
    const Case cases[] = {{0, "L", 0},  {1, "T", 8},  {1, "S", 13}, {1, "M", 13},
                          {1, "L", 16}, {1, "G", 15}, {1, "Z", 15}, {1, "", 15}};
    for (const auto& c : cases) {
        RunState rs;
        rs.set_opt().kflag = c.kflag;
        rs.set_opt().capsiz = c.siz;
        EXPECT_EQ(caption_height(rs), c.rows) << c.kflag << c.siz;
    }
}

TEST(Caption, NothingWithoutTheFlag) {
    RunState rs;
    rs.set_opt().caption = "HHHH";
    rs.set_opt().capsiz = "L";
    rs.set_opt().capcol = "R";
    auto im = chart_image(false);
    draw_caption(rs, im.get(), 100, 20);
    EXPECT_EQ(painted(im.get(), RED).pixels, 0);
}

// From the command line to the picture: the caption's suffix and the dot code.
TEST(Caption, OptionsToPicture) {
    TempDir dir;
    InDir in(dir.path());
    struct Case {
        std::vector<std::string> args;
        int rows;
        unsigned rgb;
        const char* text;
    };
    const Case cases[] = {
        {{"--caption=Load:tu"}, 8, BLUE, "Load"},
        {{"--caption=Load:TU"}, 8, BLUE, "Load"},
        {{"--caption=Load"}, 16, RED, "Load"},
    };
    for (const auto& c : cases) {
        RunState rs;
        rs.cargv = {"tsgraf"};
        rs.cargv.insert(rs.cargv.end(), c.args.begin(), c.args.end());
        rs.cargv.push_back("a.csv");
        rs.cargc = static_cast<int>(rs.cargv.size());
        RunResult r = capture([&] { parse_options(rs); });
        ASSERT_EQ(r.status, -1) << r.out;
        EXPECT_EQ(rs.opt().caption, c.text);
        EXPECT_EQ(caption_height(rs), c.rows);
        auto im = chart_image(false);
        draw_caption(rs, im.get(), 100, 20);
        EXPECT_GT(painted(im.get(), c.rgb).pixels, 0) << c.args[0];
    }
}

TEST(SeriesColours, DotsCodeFromTheCommandLine) {
    TempDir dir;
    InDir in(dir.path());
    RunState rs;
    rs.cargv = {"tsgraf", "--dots=1:R", "--colors=green", "a.csv"};
    rs.cargc = 4;
    RunResult r = capture([&] { parse_options(rs); });
    ASSERT_EQ(r.status, -1) << r.out;
    auto im = chart_image(false);
    setup_series_colours(rs, im.get());
    EXPECT_EQ(rgb_of(im.get(), rs.colors[0]), GREEN);
    EXPECT_EQ(rgb_of(im.get(), rs.dotcolors[0]), RED);
}
