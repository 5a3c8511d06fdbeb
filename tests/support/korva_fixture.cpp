#include "support/korva_fixture.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tarnix::test {

int16_t korvaValue(uint32_t scan, int k) {
    const int v = static_cast<int>(scan % 7) * 2000 + k;
    return static_cast<int16_t>(k % 2 ? -v : v);
}

Bytes korvaRecord(const SynthKorvaRecord& r, int samplesPerRecord) {
    Bytes b(288 + 2 * static_cast<size_t>(samplesPerRecord), 0);
    putU32(b, 0, std::bit_cast<uint32_t>(r.markerRate));
    putU32(b, 4, r.scan);
    putU32(b, 8, r.userSize);
    putU32(b, 12, r.trigDelay);
    putU32(b, 16, r.trigLength);
    putU16(b, 20, r.trigMode);
    putU16(b, 22, r.trigExtType);
    putU16(b, 24, r.trigLevel);
    putU16(b, 26, r.rateIndex);
    b[28] = r.bits;
    b[29] = r.channels;
    b[30] = r.offsetBin;
    b[31] = r.reserved;
    b[32] = static_cast<unsigned char>(r.navLength >= 0 ? r.navLength : r.navText.size());
    std::memcpy(&b[33], r.navText.data(), std::min<size_t>(r.navText.size(), 81));
    std::fill(b.begin() + 114, b.begin() + 288, r.opaque);
    for (int k = 1; k <= samplesPerRecord; ++k)
        putU16(b, 288 + 2 * static_cast<size_t>(k - 1),
               static_cast<uint16_t>(korvaValue(r.scan, k)));
    return b;
}

Bytes korvaFile(SynthKorvaRecord r, int records, int samplesPerRecord) {
    Bytes f;
    const uint32_t first = r.scan;
    for (int i = 0; i < records; ++i) {
        r.scan = first + static_cast<uint32_t>(i);
        append(f, korvaRecord(r, samplesPerRecord));
    }
    return f;
}

} // namespace tarnix::test
