// A chart file read back with libgd, for pixel checks.
#pragma once
#include <gd.h>

#include <cstdio>
#include <string>

struct PngFile {
    gdImagePtr im = nullptr;
    explicit PngFile(const std::string& path) {
        if (FILE* f = fopen(path.c_str(), "rb")) {
            im = gdImageCreateFromPng(f);
            fclose(f);
        }
    }
    ~PngFile() {
        if (im) gdImageDestroy(im);
    }
    PngFile(const PngFile&) = delete;
    PngFile& operator=(const PngFile&) = delete;
    int w() const { return gdImageSX(im); }
    int h() const { return gdImageSY(im); }
    // The colour at (x, y) as 0xRRGGBB.
    unsigned at(int x, int y) const {
        int c = gdImageGetPixel(im, x, y);
        return static_cast<unsigned>(gdImageRed(im, c) << 16 | gdImageGreen(im, c) << 8 |
                                     gdImageBlue(im, c));
    }
    // Pixels of a colour in the rectangle [x0, x1) x [y0, y1); the whole image by default.
    int count(unsigned rgb, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) const {
        if (x1 < 0) x1 = w();
        if (y1 < 0) y1 = h();
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += at(x, y) == rgb;
        return n;
    }
};
