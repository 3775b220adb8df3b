#include "chart/encode.h"

#include <zlib.h>

#include <cstring>
#include <limits>
#include <new>

namespace {

void put32(std::vector<unsigned char>& out, unsigned long v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v >> 24), static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
    out.insert(out.end(), b, b + 4);
}

// A chunk's length and type; end_chunk fills in the length and appends the CRC.
size_t begin_chunk(std::vector<unsigned char>& out, const char* type) {
    size_t start = out.size();
    put32(out, 0);
    out.insert(out.end(), type, type + 4);
    return start;
}

bool end_chunk(std::vector<unsigned char>& out, size_t start) {
    size_t length = out.size() - start - 8;
    if (length > 0x7fffffffu) return false;
    for (int i = 0; i < 4; ++i) out[start + i] = static_cast<unsigned char>(length >> (24 - 8 * i));
    uLong crc = crc32(0L, Z_NULL, 0);
    const unsigned char* p = out.data() + start + 4;
    size_t n = length + 4;
    while (n > 0) {
        uInt part = n > (1u << 30) ? (1u << 30) : static_cast<uInt>(n);
        crc = crc32(crc, p, part);
        p += part;
        n -= part;
    }
    put32(out, crc);
    return true;
}

// What the fast path writes: an opaque palette image, not interlaced.
bool plain_palette(gdImagePtr im) {
    if (gdImageTrueColor(im) || im->transparent >= 0 || im->interlace) return false;
    if (im->colorsTotal <= 0 || im->colorsTotal > gdMaxColors || im->sx <= 0 || im->sy <= 0)
        return false;
    for (int i = 0; i < im->colorsTotal; ++i)
        if (im->alpha[i] != gdAlphaOpaque) return false;
    return true;
}

// Dots per inch as dots per metre, rounded as libgd writes them.
unsigned long per_metre(unsigned dpi) { return static_cast<unsigned long>(dpi / 0.0254 + 0.5); }

bool encode_with_gd(gdImagePtr im, std::vector<unsigned char>& out) {
    int size = 0;
    void* data = gdImagePngPtr(im, &size);
    if (!data) return false;
    auto* bytes = static_cast<unsigned char*>(data);
    out.assign(bytes, bytes + size);
    gdFree(data);
    return true;
}

constexpr unsigned char PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr unsigned char FILTER_UP = 2;
constexpr size_t ZBUF_SIZE = 1 << 16;

}  // namespace

PngEncoder::PngEncoder() : z_(std::make_unique<z_stream>()) {
    if (deflateInit2(z_.get(), Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) z_.reset();
}

PngEncoder::~PngEncoder() {
    if (z_) deflateEnd(z_.get());
}

bool PngEncoder::encode(gdImagePtr im, std::vector<unsigned char>& out) {
    out.clear();
    try {
        return plain_palette(im) && z_ ? encode_palette(im, out) : encode_with_gd(im, out);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool PngEncoder::encode_palette(gdImagePtr im, std::vector<unsigned char>& out) {
    const size_t w = static_cast<size_t>(im->sx), h = static_cast<size_t>(im->sy);
    if (w + 1 > std::numeric_limits<uInt>::max()) return false;
    out.insert(out.end(), PNG_SIGNATURE, PNG_SIGNATURE + 8);
    size_t c = begin_chunk(out, "IHDR");
    put32(out, w);
    put32(out, h);
    const unsigned char ihdr[5] = {8, 3, 0, 0, 0};  // 8 bits, palette, deflate, filters, no interlace
    out.insert(out.end(), ihdr, ihdr + 5);
    end_chunk(out, c);
    c = begin_chunk(out, "PLTE");
    for (int i = 0; i < im->colorsTotal; ++i) {
        out.push_back(static_cast<unsigned char>(im->red[i]));
        out.push_back(static_cast<unsigned char>(im->green[i]));
        out.push_back(static_cast<unsigned char>(im->blue[i]));
    }
    end_chunk(out, c);
    c = begin_chunk(out, "pHYs");
    put32(out, per_metre(gdImageResolutionX(im)));
    put32(out, per_metre(gdImageResolutionY(im)));
    out.push_back(1);  // per metre
    end_chunk(out, c);

    z_stream* z = z_.get();
    if (deflateReset(z) != Z_OK) return false;
    row_.resize(w + 1);
    zbuf_.resize(ZBUF_SIZE);
    c = begin_chunk(out, "IDAT");
    for (size_t y = 0; y < h; ++y) {
        const unsigned char* cur = im->pixels[y];
        row_[0] = FILTER_UP;
        if (y == 0) {
            std::memcpy(&row_[1], cur, w);
        } else {
            const unsigned char* up = im->pixels[y - 1];
            unsigned char* d = &row_[1];
            for (size_t x = 0; x < w; ++x) d[x] = static_cast<unsigned char>(cur[x] - up[x]);
        }
        z->next_in = row_.data();
        z->avail_in = static_cast<uInt>(w + 1);
        const int flush = y + 1 == h ? Z_FINISH : Z_NO_FLUSH;
        int r;
        do {
            z->next_out = zbuf_.data();
            z->avail_out = static_cast<uInt>(zbuf_.size());
            r = deflate(z, flush);
            if (r == Z_STREAM_ERROR) return false;
            out.insert(out.end(), zbuf_.data(), zbuf_.data() + (zbuf_.size() - z->avail_out));
        } while (z->avail_out == 0 || (flush == Z_FINISH && r != Z_STREAM_END));
    }
    if (!end_chunk(out, c)) return false;
    c = begin_chunk(out, "IEND");
    end_chunk(out, c);
    return true;
}
