#pragma once
// A small synthetic SEG-Y file writer for tests, in either byte order.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnix::test {

struct SynthTrace {
    std::vector<std::pair<int, int32_t>> fields; // (first byte, value), width from the header table
    std::vector<int16_t> samples;
    SynthTrace& set(int byte, int32_t value) {
        fields.emplace_back(byte, value);
        return *this;
    }
};

struct SynthSegy {
    bool bigEndian = true;
    std::array<unsigned char, 3200> text;
    int binaryNs = 0, binaryInterval = 0;
    std::vector<SynthTrace> traces;
    long long truncateTo = -1; // cut the file to this many bytes

    SynthSegy() { text.fill(0x40); } // EBCDIC blanks
    // Trace with field record number frn, ns samples at dt microseconds; sample i
    // is value(frn, i).
    SynthTrace& addTrace(int frn, int ns, int dt);
    static int16_t value(int frn, int i) { return static_cast<int16_t>(frn * 100 + i - 500); }
    void write(const std::string& path) const;
};

} // namespace tarnix::test
