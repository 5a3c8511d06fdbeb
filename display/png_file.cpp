#include "display/png_file.h"

#include "core/rewrite_file.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/types.h>
#include <vector>

namespace tarnix {

namespace {

void putBE(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

class PngOut {
public:
    explicit PngOut(std::FILE* f) : f_(f) {}
    bool ok() const { return ok_; }
    void fail() { ok_ = false; }
    void raw(const void* p, size_t n) {
        if (ok_ && n > 0) ok_ = std::fwrite(p, 1, n, f_) == n;
    }
    void chunk(const char* type, const unsigned char* data, size_t n) {
        if (n > 0x7FFFFFFFu) {
            ok_ = false;
            return;
        }
        unsigned char head[8];
        putBE(head, static_cast<uint32_t>(n));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0L, head + 4, 4);
        if (n > 0) crc = crc32(crc, data, static_cast<uInt>(n));
        unsigned char tail[4];
        putBE(tail, static_cast<uint32_t>(crc));
        raw(head, 8);
        raw(data, n);
        raw(tail, 4);
    }

private:
    std::FILE* f_;
    bool ok_ = true;
};

// Colour (0xRRGGBB) to palette index, open addressing; at most 256 colours.
class ColourIndex {
public:
    ColourIndex() { key_.fill(kEmpty); }
    // Index of c, added when new; -1 once a 257th colour turns up.
    int find(uint32_t c) {
        const uint32_t h = slot(c);
        return key_[h] == c ? value_[h] : add(c, h);
    }
    std::vector<uint32_t> colours; // in order of first appearance

private:
    static constexpr int kBits = 10;
    static constexpr uint32_t kSlots = 1u << kBits, kEmpty = 0xFFFFFFFFu;
    static uint32_t slot(uint32_t c) { return (c * 0x9E3779B1u) >> (32 - kBits); }
    int add(uint32_t c, uint32_t h) {
        for (; key_[h] != kEmpty; h = (h + 1) & (kSlots - 1))
            if (key_[h] == c) return value_[h];
        if (colours.size() == 256) return -1;
        key_[h] = c;
        value_[h] = static_cast<uint8_t>(colours.size());
        colours.push_back(c);
        return value_[h];
    }
    std::array<uint32_t, kSlots> key_;
    std::array<uint8_t, kSlots> value_{};
};

// Index of each pixel of a row; false at a 257th colour.
bool indexRow(const QRgb* in, int w, ColourIndex& index, unsigned char* out) {
    for (int x = 0; x < w; ++x) {
        const int i = index.find(in[x] & 0xFFFFFFu);
        if (i < 0) return false;
        out[x] = static_cast<unsigned char>(i);
    }
    return true;
}

enum class Data { Written, Failed, TooManyColours };

Data writeImageData(const QImage& image, ColourIndex* index, PngOut& out) {
    const int w = image.width(), h = image.height();
    const size_t rowBytes = 1 + static_cast<size_t>(w) * (index ? 1 : 3);
    z_stream z{};
    // Runs (the white margins, a map's background) still shrink; the matcher's
    // search, which found little in sample noise, is left out.
    if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return Data::Failed;
    const size_t rowsPerBlock = std::max<size_t>(1, (256u << 10) / rowBytes);
    std::vector<unsigned char> rows(rowsPerBlock * rowBytes + 4);
    std::vector<unsigned char> packed(1u << 20);
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    auto drain = [&](int flush) {
        for (;;) {
            const int r = deflate(&z, flush);
            if (r == Z_STREAM_ERROR) return false;
            if (z.avail_out == 0 || r == Z_STREAM_END) {
                out.chunk("IDAT", packed.data(), packed.size() - z.avail_out);
                z.next_out = packed.data();
                z.avail_out = static_cast<uInt>(packed.size());
                if (r == Z_STREAM_END || !out.ok()) return out.ok();
            } else if (flush != Z_FINISH && z.avail_in == 0) {
                return true;
            }
        }
    };
    Data result = Data::Written;
    for (int y = 0; result == Data::Written && y < h;) {
        size_t n = 0;
        for (; n < rowsPerBlock && y < h; ++n, ++y) {
            unsigned char* row = rows.data() + n * rowBytes;
            row[0] = 0; // filter type: none
            const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            if (!index)
                packRow(in, w, row + 1, PixelBytes::Rgb);
            else if (!indexRow(in, w, *index, row + 1))
                result = Data::TooManyColours;
        }
        z.next_in = rows.data();
        z.avail_in = static_cast<uInt>(n * rowBytes);
        if (result == Data::Written && !drain(Z_NO_FLUSH)) result = Data::Failed;
    }
    if (result == Data::Written && !drain(Z_FINISH)) result = Data::Failed;
    deflateEnd(&z);
    return result;
}

} // namespace

using Bytes16 = unsigned char __attribute__((vector_size(16)));

// 4 pixels, 12 bytes, per step; 16 bytes are stored, the rest inside the row.
__attribute__((target_clones("avx2", "default"))) void
packRow(const QRgb* in, int w, unsigned char* out, PixelBytes order) {
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "pixel bytes in blue, green, red order");
    int x = 0;
    if (order == PixelBytes::Rgb) {
        for (; x + 6 <= w; x += 4) {
            Bytes16 px;
            std::memcpy(&px, in + x, sizeof px);
            const Bytes16 rgb =
                __builtin_shufflevector(px, px, 2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, 0, 0, 0, 0);
            std::memcpy(out + 3 * x, &rgb, sizeof rgb);
        }
    } else {
        for (; x + 6 <= w; x += 4) {
            Bytes16 px;
            std::memcpy(&px, in + x, sizeof px);
            const Bytes16 bgr =
                __builtin_shufflevector(px, px, 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 0, 0, 0, 0);
            std::memcpy(out + 3 * x, &bgr, sizeof bgr);
        }
    }
    const bool rgb = order == PixelBytes::Rgb;
    for (; x < w; ++x) {
        out[3 * x] = static_cast<unsigned char>(rgb ? qRed(in[x]) : qBlue(in[x]));
        out[3 * x + 1] = static_cast<unsigned char>(qGreen(in[x]));
        out[3 * x + 2] = static_cast<unsigned char>(rgb ? qBlue(in[x]) : qRed(in[x]));
    }
}

bool writePng(const QImage& image, const std::string& path) {
    if (image.isNull() || image.format() != QImage::Format_RGB32) return false;
    // Tried as indexed first, in one pass: the palette is written as a full
    // 256 entries and filled in at the end; a 257th colour starts the file
    // again in truecolour.
    for (const bool indexed : {true, false}) {
        std::FILE* f = openForRewrite(path);
        if (!f) return false;
        PngOut out(f);
        static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        out.raw(signature, sizeof signature);
        unsigned char ihdr[13] = {};
        putBE(ihdr, static_cast<uint32_t>(image.width()));
        putBE(ihdr + 4, static_cast<uint32_t>(image.height()));
        ihdr[8] = 8;               // bits per sample or index
        ihdr[9] = indexed ? 3 : 2; // palette or truecolour
        out.chunk("IHDR", ihdr, sizeof ihdr);
        constexpr long kPlteAt = 8 + 12 + 13;
        std::vector<unsigned char> plte(indexed ? 3 * 256 : 0, 0);
        if (indexed) out.chunk("PLTE", plte.data(), plte.size());
        if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
            unsigned char phys[9];
            putBE(phys, static_cast<uint32_t>(image.dotsPerMeterX()));
            putBE(phys + 4, static_cast<uint32_t>(image.dotsPerMeterY()));
            phys[8] = 1; // per metre
            out.chunk("pHYs", phys, sizeof phys);
        }
        ColourIndex index;
        const Data data =
            out.ok() ? writeImageData(image, indexed ? &index : nullptr, out) : Data::Failed;
        if (data == Data::TooManyColours) {
            std::fclose(f);
            continue;
        }
        if (data == Data::Written && indexed) {
            for (size_t i = 0; i < index.colours.size(); ++i) {
                plte[3 * i] = static_cast<unsigned char>(index.colours[i] >> 16);
                plte[3 * i + 1] = static_cast<unsigned char>(index.colours[i] >> 8);
                plte[3 * i + 2] = static_cast<unsigned char>(index.colours[i]);
            }
            // Back to where the data ends, not to the file's end: the file
            // may be written over a longer one.
            const off_t end = ::ftello(f);
            if (end < 0 || std::fseek(f, kPlteAt, SEEK_SET) != 0) out.fail();
            out.chunk("PLTE", plte.data(), plte.size());
            if (end < 0 || ::fseeko(f, end, SEEK_SET) != 0) out.fail();
        }
        out.chunk("IEND", nullptr, 0);
        const bool closed = closeRewritten(f);
        return data == Data::Written && out.ok() && closed;
    }
    return false;
}

} // namespace tarnix
