// PNG encoding of chart images.
#pragma once
#include <gd.h>

#include <memory>
#include <vector>

struct z_stream_s;

// Writes chart images as PNG files in memory. Charts are palette images of large flat
// areas: each row is stored as its difference from the row above and compressed as runs
// of equal bytes, which is several times faster than general deflate and about as
// small. Images of another kind are encoded by libgd at its default level. One encoder
// keeps its compression state from image to image; use one per thread.
class PngEncoder {
public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;
    // Replaces out by the PNG file of im; false when it could not be encoded.
    bool encode(gdImagePtr im, std::vector<unsigned char>& out);

private:
    bool encode_palette(gdImagePtr im, std::vector<unsigned char>& out);
    std::unique_ptr<z_stream_s> z_;  // null when zlib could not be set up
    std::vector<unsigned char> row_, zbuf_;
};
