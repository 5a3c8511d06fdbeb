#include "support/segy_fixture.h"

#include "core/byte_order.h"
#include "formats/segy_header.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tarnix::test {

SynthTrace& SynthSegy::addTrace(int frn, int ns, int dt) {
    SynthTrace t;
    t.set(9, frn).set(115, ns).set(117, dt);
    t.samples.resize(ns);
    for (int i = 0; i < ns; ++i) t.samples[i] = value(frn, i);
    traces.push_back(std::move(t));
    return traces.back();
}

void SynthSegy::write(const std::string& path) const {
    std::vector<unsigned char> out(text.begin(), text.end());
    out.resize(3600, 0);
    auto put16 = [this](unsigned char* p, int32_t v) {
        bigEndian ? putI16BE(p, v) : putI16LE(p, v);
    };
    auto put32 = [this](unsigned char* p, int32_t v) {
        bigEndian ? putI32BE(p, v) : putI32LE(p, v);
    };
    put16(out.data() + 3216, binaryInterval);
    put16(out.data() + 3220, binaryNs);
    put16(out.data() + 3224, headerCode >= 0 ? headerCode : formatCode);
    put16(out.data() + 3500, revision);
    put16(out.data() + 3504, extendedCount);
    for (const auto& block : extended) out.insert(out.end(), block.begin(), block.end());
    for (const auto& t : traces) {
        unsigned char h[240] = {};
        for (auto [byte, v] : t.fields) {
            if (segyFieldWidth(byte) == 32)
                put32(h + byte - 1, v);
            else
                put16(h + byte - 1, v);
        }
        out.insert(out.end(), h, h + 240);
        const size_t n = formatCode == 1 || formatCode == 5
                             ? std::max(t.samples.size(), t.reals.size())
                             : t.samples.size();
        for (size_t i = 0; i < n; ++i) {
            const double v = i < t.reals.size() ? t.reals[i] : t.samples[i];
            unsigned char b[4];
            int bytes = 4;
            if (formatCode == 1) {
                put32(b, static_cast<int32_t>(ibmBits(v)));
            } else if (formatCode == 5) {
                const float f = static_cast<float>(v);
                uint32_t u;
                std::memcpy(&u, &f, 4);
                put32(b, static_cast<int32_t>(u));
            } else if (formatCode == 2) {
                put32(b, t.samples[i]);
            } else if (formatCode == 8) {
                b[0] = static_cast<unsigned char>(t.samples[i] & 0xff);
                bytes = 1;
            } else {
                put16(b, t.samples[i]);
                bytes = 2;
            }
            out.insert(out.end(), b, b + bytes);
        }
    }
    if (truncateTo >= 0 && truncateTo < static_cast<long long>(out.size())) out.resize(truncateTo);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

uint32_t ibmBits(double v) {
    if (v == 0) return 0;
    const uint32_t sign = v < 0 ? 0x80000000u : 0;
    double a = std::fabs(v);
    int e = 64;
    while (a >= 1) {
        a /= 16;
        ++e;
    }
    while (a < 1.0 / 16) {
        a *= 16;
        --e;
    }
    return sign | (static_cast<uint32_t>(e) << 24) | static_cast<uint32_t>(a * 16777216.0);
}

long double slowIbm(uint32_t bits) {
    long double f = 0, unit = 1;
    for (int k = 5; k >= 0; --k) {
        unit /= 16;
        f += ((bits >> (4 * k)) & 0xF) * unit;
    }
    int e = static_cast<int>((bits >> 24) & 0x7F) - 64;
    for (; e > 0; --e) f *= 16;
    for (; e < 0; ++e) f /= 16;
    return (bits & 0x80000000u) ? -f : f;
}

} // namespace tarnix::test
