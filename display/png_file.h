#pragma once
// PNG files of 32-bit pictures written straight through zlib: the toolkit's
// writer tries every row filter at its default level and took seconds for a
// whole line's profile.
#include <QImage>
#include <string>

namespace tarnix {

// Writes an RGB32 image as an 8-bit PNG with the image's resolution: indexed
// when it holds at most 256 colours (a profile in one palette does), else
// truecolour. Rows go unfiltered through Huffman-only deflate: the sample
// noise leaves the string matcher next to nothing to find.
// False when the file cannot be written or the image is not RGB32.
bool writePng(const QImage& image, const std::string& path);

// One row of w RGB32 pixels as 3 bytes each, red first (PNG, TIFF) or blue
// first (BMP); `out` holds 3 x w bytes.
enum class PixelBytes { Rgb, Bgr };
void packRow(const QRgb* in, int w, unsigned char* out, PixelBytes order);

} // namespace tarnix
