#include "chart/encode.h"

#include <gdfonts.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using ImagePtr = std::unique_ptr<gdImage, decltype(&gdImageDestroy)>;

// The colours of every pixel of a PNG file, row by row, as libgd decodes it.
std::vector<int> decoded(const std::vector<unsigned char>& png) {
    ImagePtr im(gdImageCreateFromPngPtr(static_cast<int>(png.size()),
                                        const_cast<unsigned char*>(png.data())),
                gdImageDestroy);
    std::vector<int> px;
    if (!im) return px;
    px.push_back(gdImageSX(im.get()));
    for (int y = 0; y < gdImageSY(im.get()); ++y)
        for (int x = 0; x < gdImageSX(im.get()); ++x) {
            int c = gdImageGetPixel(im.get(), x, y);
            px.push_back(gdImageTrueColor(im.get()) ? c
                                                    : gdTrueColorAlpha(gdImageRed(im.get(), c),
                                                                       gdImageGreen(im.get(), c),
                                                                       gdImageBlue(im.get(), c),
                                                                       gdImageAlpha(im.get(), c)));
        }
    return px;
}

// The reference: libgd's own encoder at its default level.
std::vector<unsigned char> reference(gdImagePtr im) {
    int size = 0;
    auto* data = static_cast<unsigned char*>(gdImagePngPtr(im, &size));
    std::vector<unsigned char> png(data, data + size);
    gdFree(data);
    return png;
}

ImagePtr palette_image(int w, int h, int colours) {
    ImagePtr im(gdImageCreate(w, h), gdImageDestroy);
    for (int i = 0; i < colours; ++i)
        gdImageColorAllocate(im.get(), (i * 37) & 255, (i * 91) & 255, (i * 53) & 255);
    return im;
}

}  // namespace

// Every kind of image decodes to the pixels libgd's default encoding gives, also when
// one encoder writes many images in turn.
TEST(PngEncoder, DecodesToTheReferencePixels) {
    struct Case {
        const char* what;
        std::function<ImagePtr()> make;
    };
    const Case cases[] = {
        {"chart-like: flat areas, frame, line, text",
         [] {
             ImagePtr im = palette_image(611, 361, 27);
             gdImageFilledRectangle(im.get(), 0, 0, 610, 360, 0);
             gdImageRectangle(im.get(), 54, 54, 556, 306, 12);
             for (int x = 55; x < 556; ++x) gdImageSetPixel(im.get(), x, 180 + (x * 7 % 50), 20);
             gdImageString(im.get(), gdFontGetSmall(), 290, 15,
                           reinterpret_cast<unsigned char*>(const_cast<char*>("load")), 12);
             return im;
         }},
        {"noise over all 256 colours",
         [] {
             ImagePtr im = palette_image(97, 89, 256);
             unsigned s = 12345;
             for (int y = 0; y < 89; ++y)
                 for (int x = 0; x < 97; ++x) {
                     s = s * 1103515245u + 12345u;
                     gdImageSetPixel(im.get(), x, y, static_cast<int>(s >> 24));
                 }
             return im;
         }},
        {"one pixel", [] { return palette_image(1, 1, 1); }},
        {"one row, wide",
         [] {
             ImagePtr im = palette_image(70000, 1, 3);
             for (int x = 0; x < 70000; x += 3) gdImageSetPixel(im.get(), x, 0, 2);
             return im;
         }},
        {"one column, tall",
         [] {
             ImagePtr im = palette_image(1, 5000, 2);
             for (int y = 0; y < 5000; y += 2) gdImageSetPixel(im.get(), 0, y, 1);
             return im;
         }},
        {"a transparent colour",
         [] {
             ImagePtr im = palette_image(40, 30, 5);
             gdImageColorTransparent(im.get(), 3);
             gdImageFilledRectangle(im.get(), 5, 5, 20, 20, 3);
             return im;
         }},
        {"true colour",
         [] {
             ImagePtr im(gdImageCreateTrueColor(50, 40), gdImageDestroy);
             gdImageFilledRectangle(im.get(), 10, 10, 30, 30, 0x336699);
             return im;
         }},
    };
    PngEncoder encoder;
    for (int round = 0; round < 2; ++round)
        for (const Case& c : cases) {
            ImagePtr im = c.make();
            std::vector<unsigned char> png;
            ASSERT_TRUE(encoder.encode(im.get(), png)) << c.what;
            std::vector<int> want = decoded(reference(im.get()));
            ASSERT_FALSE(want.empty()) << c.what;
            EXPECT_TRUE(decoded(png) == want) << c.what;
        }
}
