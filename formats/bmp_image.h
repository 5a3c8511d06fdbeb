#pragma once
// Uncompressed BMP files decoded without a toolkit: 1-, 4- and 8-bit palettes,
// 24- and 32-bit colour, rows stored bottom-up or top-down, each row padded to
// four bytes. Compressed files are refused by the name of their compression.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarnix {

struct RgbImage {
    int width = 0, height = 0;
    // 0xffRRGGBB, row 0 the top row.
    std::vector<uint32_t> pixels;
    uint32_t pixel(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    int red(int x, int y) const { return static_cast<int>(pixel(x, y) >> 16 & 0xff); }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Throws IoError naming `name` when the bytes are not a BMP this can decode.
RgbImage decodeBmp(std::span<const unsigned char> bytes, const std::string& name);
RgbImage readBmpFile(const std::string& path);
// A 24-bit bottom-up BMP of the image (for tests and saved pictures).
std::vector<unsigned char> encodeBmp24(const RgbImage& image);

} // namespace tarnix
