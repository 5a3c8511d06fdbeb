#include "formats/bmp_image.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "formats/boundary_file.h"

#include <cstdlib>

namespace tarnix {

namespace {

const char* compressionName(uint32_t c) {
    switch (c) {
    case 1:
        return "RLE8";
    case 2:
        return "RLE4";
    case 3:
        return "BITFIELDS";
    case 4:
        return "JPEG";
    case 5:
        return "PNG";
    case 6:
        return "ALPHABITFIELDS";
    default:
        return "unknown";
    }
}

// Pictures beyond this would not fit a profile; it also bounds the allocation.
constexpr long long kMaxPixels = 1LL << 28;

} // namespace

RgbImage decodeBmp(std::span<const unsigned char> b, const std::string& name) {
    auto bad = [&](const std::string& why) { return IoError(name + ": " + why); };
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') throw bad("not a BMP file");
    const uint32_t dataOffset = getU32LE(&b[10]);
    const uint32_t infoSize = getU32LE(&b[14]);
    if (infoSize < 12 || 14ULL + infoSize > b.size()) throw bad("the bitmap header is cut short");
    long long width, height;
    int bpp;
    uint32_t compression = 0, colours = 0;
    size_t paletteEntry = 4;
    if (infoSize == 12) { // the old core header
        width = getU16LE(&b[18]);
        height = getU16LE(&b[20]);
        bpp = getU16LE(&b[24]);
        paletteEntry = 3;
    } else {
        if (infoSize < 40) throw bad("a bitmap header of " + std::to_string(infoSize) + " bytes");
        width = getI32LE(&b[18]);
        height = getI32LE(&b[22]);
        bpp = getU16LE(&b[28]);
        compression = getU32LE(&b[30]);
        colours = getU32LE(&b[46]);
    }
    const bool topDown = height < 0;
    height = std::llabs(height);
    if (compression == 3 && bpp == 32 && infoSize >= 52) {
        // Masks that merely say where the usual bytes are can be read as they are.
        if (getU32LE(&b[54]) != 0xff0000 || getU32LE(&b[58]) != 0xff00 || getU32LE(&b[62]) != 0xff)
            throw bad("32-bit BITFIELDS colour masks other than 8-bit red, green, blue");
        compression = 0;
    }
    if (compression != 0)
        throw bad(std::string(compressionName(compression)) +
                  "-compressed bitmaps are not read; save it uncompressed");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        throw bad(std::to_string(bpp) + " bits per pixel are not read (1, 4, 8, 24 or 32)");
    if (width < 1 || height < 1) throw bad("the bitmap has no pixels");
    if (width * height > kMaxPixels)
        throw bad(std::to_string(width) + " x " + std::to_string(height) + " pixels are too many");

    std::vector<uint32_t> palette;
    if (bpp <= 8) {
        const size_t max = size_t{1} << bpp;
        const size_t n = colours == 0 || colours > max ? max : colours;
        const size_t at = 14 + infoSize;
        for (size_t i = 0; i < n && at + i * paletteEntry + 3 <= b.size(); ++i) {
            const unsigned char* e = &b[at + i * paletteEntry];
            palette.push_back(0xff000000u | uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0]);
        }
    }
    const long long stride = (width * bpp + 31) / 32 * 4;
    if (dataOffset + stride * height > static_cast<long long>(b.size()))
        throw bad("the pixel rows are cut short (" + std::to_string(b.size()) + " bytes, " +
                  std::to_string(dataOffset + stride * height) + " needed)");

    RgbImage img;
    img.width = static_cast<int>(width);
    img.height = static_cast<int>(height);
    img.pixels.resize(static_cast<size_t>(width * height));
    for (long long y = 0; y < height; ++y) {
        const unsigned char* row =
            &b[static_cast<size_t>(dataOffset + stride * (topDown ? y : height - 1 - y))];
        uint32_t* out = &img.pixels[static_cast<size_t>(y * width)];
        for (long long x = 0; x < width; ++x) {
            if (bpp >= 24) {
                const unsigned char* p = row + x * (bpp / 8);
                out[x] = 0xff000000u | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
                continue;
            }
            const long long bit = x * bpp;
            const unsigned byte = row[bit / 8];
            const unsigned index = (byte >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
            // An index past the palette shows as black.
            out[x] = index < palette.size() ? palette[index] : 0xff000000u;
        }
    }
    return img;
}

RgbImage readBmpFile(const std::string& path) {
    const std::string bytes = readWholeFile(path);
    return decodeBmp(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()),
                     path);
}

std::vector<unsigned char> encodeBmp24(const RgbImage& img) {
    const size_t stride = (static_cast<size_t>(img.width) * 3 + 3) / 4 * 4;
    const size_t size = 54 + stride * static_cast<size_t>(img.height);
    std::vector<unsigned char> b(size, 0);
    b[0] = 'B';
    b[1] = 'M';
    putI32LE(&b[2], static_cast<int32_t>(size));
    putI32LE(&b[10], 54);
    putI32LE(&b[14], 40);
    putI32LE(&b[18], img.width);
    putI32LE(&b[22], img.height);
    putI16LE(&b[26], 1);
    putI16LE(&b[28], 24);
    for (int y = 0; y < img.height; ++y) {
        unsigned char* row = &b[54 + stride * static_cast<size_t>(img.height - 1 - y)];
        for (int x = 0; x < img.width; ++x) {
            const uint32_t c = img.pixel(x, y);
            row[3 * x] = c & 0xff;
            row[3 * x + 1] = c >> 8 & 0xff;
            row[3 * x + 2] = c >> 16 & 0xff;
        }
    }
    return b;
}

} // namespace tarnix
