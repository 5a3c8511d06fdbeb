#include "display/palette.h"

#include "core/numtext.h"

#include <algorithm>

namespace tarnix {

int amplitudeLevel(long long a, long long half) {
    if (half <= 0) return 0;
    long long level = roundHalfEven(static_cast<long double>(a) / half * 255);
    return static_cast<int>(std::clamp<long long>(level, -255, 255));
}

namespace {

uint32_t grey(int g) {
    auto u = static_cast<uint32_t>(g);
    return (u << 16) | (u << 8) | u;
}

uint32_t rgbOf(int r, int g, int b) {
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
           static_cast<uint32_t>(b);
}

struct Band {
    int lo, hi;
    uint32_t rgb;
};

using namespace colour;
const Band kTable1[] = {{0, 10, white},   {11, 20, aqua},    {21, 50, maroon},  {51, 75, navy},
                        {76, 100, green}, {101, 120, olive}, {121, 150, lime},  {151, 175, green},
                        {176, 200, teal}, {201, 221, gray},  {222, 255, yellow}};
const Band kTable2[] = {{0, 10, white},  {11, 20, gray},     {21, 50, silver},  {51, 75, green},
                        {76, 100, navy}, {101, 120, olive},  {121, 150, lime},  {151, 175, green},
                        {176, 200, red}, {201, 221, yellow}, {222, 255, purple}};
const Band kTable3[] = {{0, 10, white},   {11, 50, silver}, {51, 100, gray},
                        {101, 150, teal}, {151, 200, navy}, {201, 255, black}};

template <size_t N> bool bandColour(const Band (&table)[N], int level, uint32_t& rgb) {
    for (const Band& b : table) {
        if (level >= b.lo && level <= b.hi) {
            rgb = b.rgb;
            return true;
        }
    }
    return false;
}

int clamp255(long long v) {
    return static_cast<int>(std::clamp<long long>(v, 0, 255));
}

bool computeColour(int index, int level, uint32_t& rgb) {
    // m is the level moved to 0..255 for the two-sided palettes; halves go to even.
    int m = clamp255(roundHalfEven((static_cast<long double>(level) + 255) / 2));
    int g = 255 - m;
    switch (index) {
    case 0: {
        int u = clamp255(level);
        rgb = grey(255 - u);
        return true;
    }
    case 1: {
        int u = clamp255(-level);
        rgb = grey(255 - u);
        return true;
    }
    case 2:
        rgb = grey(g);
        return true;
    case 3: {
        int u = clamp255(level);
        rgb = u < 128 ? rgbOf(255 - u, 255 - u, 255) : rgbOf(255, 255 - u, 255 - u);
        return true;
    }
    case 4:
        return bandColour(kTable1, level, rgb);
    case 5:
        return bandColour(kTable2, level, rgb);
    case 6:
        return bandColour(kTable3, level, rgb);
    case 7:
        rgb = (g >= 126 && g <= 130) ? tint : grey(g);
        return true;
    default:
        if (g > 130)
            rgb = rgbOf(0, 0, g);
        else if (g < 126)
            rgb = rgbOf(g, 0, 0);
        else
            rgb = tint;
        return true;
    }
}

std::array<PaletteTable, kPaletteCount> buildTables() {
    std::array<PaletteTable, kPaletteCount> tables{};
    for (int p = 0; p < kPaletteCount; ++p) {
        for (int level = -255; level <= 255; ++level) {
            uint32_t rgb = 0;
            bool has = computeColour(p, level, rgb);
            tables[p].rgb[level + 255] = has ? rgb : 0;
            tables[p].keeps[level + 255] = !has;
        }
    }
    return tables;
}

} // namespace

const PaletteTable& paletteTable(int index) {
    static const std::array<PaletteTable, kPaletteCount> tables = buildTables();
    return tables[std::clamp(index, 0, kPaletteCount - 1)];
}

bool paletteColour(int index, int level, uint32_t& rgb) {
    if (level < -255 || level > 255) return false;
    const PaletteTable& t = paletteTable(index);
    if (t.keeps[level + 255]) return false;
    rgb = t.rgb[level + 255];
    return true;
}

} // namespace tarnix
