#include "support/segy_fixture.h"

#include "core/byte_order.h"
#include "formats/segy_header.h"

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
    put16(out.data() + 3224, 3);
    for (const auto& t : traces) {
        unsigned char h[240] = {};
        for (auto [byte, v] : t.fields) {
            if (segyFieldWidth(byte) == 32)
                put32(h + byte - 1, v);
            else
                put16(h + byte - 1, v);
        }
        out.insert(out.end(), h, h + 240);
        for (int16_t v : t.samples) {
            unsigned char b[2];
            put16(b, v);
            out.insert(out.end(), b, b + 2);
        }
    }
    if (truncateTo >= 0 && truncateTo < static_cast<long long>(out.size())) out.resize(truncateTo);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

} // namespace tarnix::test
