#pragma once
// Scanned-profile pictures with known pixels.
#include "formats/bmp_image.h"

#include <cstdint>

namespace tarnix::test {

// Red 10 x + y at pixel (x, y); green and blue from `greenBlue` (0xGGBB), so
// that a read of the wrong colour component shows.
inline RgbImage redRamp(int width, int height, uint32_t greenBlue) {
    RgbImage img;
    img.width = width;
    img.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.pixels.push_back(0xff000000u | static_cast<uint32_t>(10 * x + y) << 16 |
                                 (greenBlue & 0xffff));
    return img;
}

} // namespace tarnix::test
