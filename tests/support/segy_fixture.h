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
    std::vector<double> reals; // for the float formats: written instead of samples when set
    SynthTrace& set(int byte, int32_t value) {
        fields.emplace_back(byte, value);
        return *this;
    }
};

struct SynthSegy {
    bool bigEndian = true;
    std::array<unsigned char, 3200> text;
    int binaryNs = 0, binaryInterval = 0;
    int formatCode = 3;    // samples written as 1 IBM float, 2 int32, 3 int16, 5 IEEE, 8 int8
    int headerCode = -1;   // the binary header's code when it is to lie; -1: formatCode
    int revision = 0;      // bytes 3501-3502
    int extendedCount = 0; // bytes 3505-3506
    std::vector<std::array<unsigned char, 3200>> extended; // extended textual headers written
    std::vector<SynthTrace> traces;
    long long truncateTo = -1; // cut the file to this many bytes

    SynthSegy() { text.fill(0x40); } // EBCDIC blanks
    // Trace with field record number frn, ns samples at dt microseconds; sample i
    // is value(frn, i).
    SynthTrace& addTrace(int frn, int ns, int dt);
    static int16_t value(int frn, int i) { return static_cast<int16_t>(frn * 100 + i - 500); }
    void write(const std::string& path) const;
};

// The IBM float of v, rounded toward zero (exact for whole numbers below 2^24
// and for the sums of a few powers of two the tests use).
uint32_t ibmBits(double v);
// An IBM float decoded digit by digit: six hexadecimal fraction digits, then
// the exponent applied one factor of 16 at a time, every step exact in
// extended precision (a decoder independent of the product's).
long double slowIbm(uint32_t bits);

} // namespace tarnix::test
