#pragma once
// Amplitude levels and the nine profile palettes. Plain C++ so that the colour of
// every level can be checked without an image.
#include "core/trace.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>

namespace tarnix {

constexpr int kPaletteCount = 9;

// 0xRRGGBB colours used by the palettes.
namespace colour {
constexpr uint32_t white = 0xFFFFFF, black = 0x000000, silver = 0xC0C0C0, gray = 0x808080,
                   maroon = 0x800000, red = 0xFF0000, green = 0x008000, lime = 0x00FF00,
                   navy = 0x000080, olive = 0x808000, yellow = 0xFFFF00, teal = 0x008080,
                   aqua = 0x00FFFF, purple = 0x800080, tint = 0xFFE1FF;
} // namespace colour

// Amplitude after display gain and clipping: truncate(v * gainMax / gainPos) limited
// to [-half, half]. A value that is not a number shows as 0. Inline: it runs for
// every pixel of the profile.
inline long long displayAmplitude(Sample v, int gainMax, int gainPos, long long half) {
    if (gainPos == 0 || half <= 0) return 0;
    const Sample a = v * gainMax / gainPos;
    // Clipping before the truncation gives the same integer and keeps huge values
    // out of the integer conversion; the conversion itself truncates toward zero.
    const Sample h = static_cast<Sample>(half);
    if (a >= h) return half;
    if (a <= -h) return -half;
    if (a != a) return 0;
    return static_cast<long long>(a);
}

// displayAmplitude from a double v without the extended division, for half
// <= 2^26 and gainMax >= gainPos > 0; kAmplitudeUnsure where only the
// extended formula can tell. The double quotient q truncates as the extended
// one does (a) when v is a whole number a double holds and `exact` says v is
// the value itself: q is then whole or at least 1 / gainPos from a whole
// number; and (b) when q lies farther from a whole number than the roundings
// of both quotients and of v into a double can move it, under |q| x 4e-16:
// the margin takes 1e-15 per unit of |q|, and 1e-9 besides.
constexpr int32_t kAmplitudeUnsure = INT32_MIN;
inline double truncationMargin(double absQ) {
    return 1e-9 + absQ * 1e-15;
}
inline int32_t quickAmplitude(double v, bool exact, double gainMax, double gainPos, int32_t half) {
    const double q = v * gainMax / gainPos, hd = half;
    if (q >= hd + 1) return half;
    if (q <= -hd - 1) return -half;
    if (!(q > -hd - 1 && q < hd + 1)) return kAmplitudeUnsure; // not a number
    const auto t = static_cast<int32_t>(q);
    const double af = std::fabs(q - t), margin = truncationMargin(std::fabs(q));
    const bool whole = exact && v == static_cast<int32_t>(v);
    if ((af > margin && af < 1 - margin) || whole) return std::clamp(t, -half, half);
    return kAmplitudeUnsure;
}

// Level -255..255 of a clipped amplitude: round(a / half * 255). A half of 0 or less
// (a full scale below 2) gives level 0 instead of a division by zero.
int amplitudeLevel(long long a, long long half);

// One palette as a table over the levels -255..255.
struct PaletteTable {
    // 0xRRGGBB per level + 255; meaningful only where keeps[] is false.
    std::array<uint32_t, 511> rgb{};
    // True where the palette has no colour: the pixel repeats the one painted before.
    std::array<bool, 511> keeps{};
};

// The table of palette `index` (0..8; anything else is clamped into that range).
const PaletteTable& paletteTable(int index);

// Colour of one level; false when the level falls in no band of a band palette.
bool paletteColour(int index, int level, uint32_t& rgb);

} // namespace tarnix
