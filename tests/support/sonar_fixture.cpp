#include "support/sonar_fixture.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace tarnix::test {

void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void putU16(Bytes& b, size_t at, unsigned v, bool be) {
    b[at + (be ? 0 : 1)] = static_cast<unsigned char>(v >> 8);
    b[at + (be ? 1 : 0)] = static_cast<unsigned char>(v);
}

void putU32(Bytes& b, size_t at, uint32_t v, bool be) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(be ? 3 - i : i)] = static_cast<unsigned char>(v >> (8 * i));
}

namespace {

void putU64(Bytes& b, size_t at, uint64_t v, bool be) {
    for (int i = 0; i < 8; ++i)
        b[at + static_cast<size_t>(be ? 7 - i : i)] = static_cast<unsigned char>(v >> (8 * i));
}
void putF32(Bytes& b, size_t at, float v, bool be = false) {
    putU32(b, at, std::bit_cast<uint32_t>(v), be);
}
void putF64(Bytes& b, size_t at, double v, bool be = false) {
    putU64(b, at, std::bit_cast<uint64_t>(v), be);
}

} // namespace

void append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

Bytes xtfFileHeader(const std::vector<SynthXtfChannel>& channels, int navUnits) {
    const size_t n = channels.size();
    Bytes h(1024 + (n > 6 ? (n - 6 + 7) / 8 * 1024 : 0), 0);
    h[0] = 0x7B;
    std::memcpy(&h[2], "SYNTH", 5);
    putU16(h, 164, static_cast<unsigned>(navUnits));
    putU16(h, 166, static_cast<unsigned>(n));
    for (size_t c = 0; c < n; ++c) {
        const size_t q = 256 + c * 128;
        h[q] = static_cast<unsigned char>(channels[c].type);
        putU16(h, q + 4, channels[c].unipolar ? 1 : 0);
        putU16(h, q + 6, static_cast<unsigned>(channels[c].bytesPerSample));
        h[q + 74] = static_cast<unsigned char>(channels[c].sampleFormat);
    }
    return h;
}

Bytes xtfPing(const SynthPing& p, const std::vector<SynthXtfChannel>& channels) {
    Bytes b(256, 0);
    putU16(b, 0, 0xFACE);
    b[2] = 0;
    putU16(b, 4, static_cast<unsigned>(p.samples.size()));
    putU16(b, 14, static_cast<unsigned>(p.year));
    b[16] = static_cast<unsigned char>(p.month);
    b[17] = static_cast<unsigned char>(p.day);
    b[18] = static_cast<unsigned char>(p.hour);
    b[19] = static_cast<unsigned char>(p.minute);
    b[20] = static_cast<unsigned char>(p.second);
    putU16(b, 22, static_cast<unsigned>(p.julianDay));
    putU32(b, 28, p.pingNumber);
    putF32(b, 32, p.soundVelocity);
    putF64(b, 128, p.shipY);
    putF64(b, 136, p.shipX);
    putF64(b, 160, p.sensorY);
    putF64(b, 168, p.sensorX);
    for (size_t c = 0; c < p.samples.size(); ++c) {
        const SynthXtfChannel& ci = channels.at(c);
        const size_t at = b.size();
        const size_t ns = p.samples[c].size();
        b.resize(at + 64 + ns * static_cast<size_t>(ci.bytesPerSample), 0);
        putU16(b, at, static_cast<unsigned>(c));
        putF32(b, at + 4, p.slantRange);
        putF32(b, at + 12, p.timeDelay);
        putF32(b, at + 16, p.timeDuration);
        putU32(b, at + 42, static_cast<uint32_t>(ns));
        for (size_t i = 0; i < ns; ++i) {
            const size_t q = at + 64 + i * static_cast<size_t>(ci.bytesPerSample);
            const double v = p.samples[c][i];
            if (ci.bytesPerSample == 1)
                b[q] = static_cast<unsigned char>(static_cast<int>(v));
            else if (ci.bytesPerSample == 2)
                putU16(b, q, static_cast<unsigned>(static_cast<int>(v)) & 0xffff);
            else if (ci.sampleFormat == 5)
                putF32(b, q, static_cast<float>(v));
            else
                putU32(b, q, static_cast<uint32_t>(static_cast<int64_t>(v)));
        }
    }
    putU32(b, 10, static_cast<uint32_t>(b.size()));
    return b;
}

Bytes xtfPacket(int type, size_t body) {
    Bytes b(14 + body, 0);
    putU16(b, 0, 0xFACE);
    b[2] = static_cast<unsigned char>(type);
    putU32(b, 10, static_cast<uint32_t>(b.size()));
    return b;
}

namespace {

Bytes seg2Data(const SynthSeg2Trace& t, bool be) {
    if (!t.data.empty()) return t.data;
    const size_t ns = t.samples.size();
    Bytes d;
    switch (t.code) {
    case 1:
        d.resize(2 * ns);
        for (size_t i = 0; i < ns; ++i)
            putU16(d, 2 * i, static_cast<unsigned>(static_cast<int>(t.samples[i])) & 0xffff, be);
        break;
    case 2:
        d.resize(4 * ns);
        for (size_t i = 0; i < ns; ++i)
            putU32(d, 4 * i, static_cast<uint32_t>(static_cast<int32_t>(t.samples[i])), be);
        break;
    case 3:
        d.assign((ns + 3) / 4 * 10, 0);
        for (size_t i = 0; i < ns; ++i) {
            double v = t.samples[i];
            int e = 0;
            while (std::fabs(v) > 32767 || v != std::floor(v)) {
                if (std::fabs(v) <= 32767) throw std::runtime_error("not a code 3 value");
                v /= 2;
                ++e;
            }
            const size_t g = i / 4 * 10;
            const unsigned exps = (be ? (d[g] << 8 | d[g + 1]) : (d[g + 1] << 8 | d[g])) |
                                  static_cast<unsigned>(e) << (4 * (i % 4));
            putU16(d, g, exps, be);
            const int m = static_cast<int>(v);
            putU16(d, g + 2 + 2 * (i % 4), m < 0 ? 0xFFFFu - static_cast<unsigned>(-m) : m, be);
        }
        break;
    case 4:
        d.resize(4 * ns);
        for (size_t i = 0; i < ns; ++i) putF32(d, 4 * i, static_cast<float>(t.samples[i]), be);
        break;
    case 5:
        d.resize(8 * ns);
        for (size_t i = 0; i < ns; ++i) putF64(d, 8 * i, t.samples[i], be);
        break;
    default:
        d.resize(4 * ns);
    }
    return d;
}

} // namespace

Bytes seg2File(const std::vector<SynthSeg2Trace>& traces, bool be) {
    const size_t n = traces.size();
    Bytes f(32, 0);
    f[0] = be ? 0x3A : 0x55;
    f[1] = be ? 0x55 : 0x3A;
    putU16(f, 2, 1, be);
    putU16(f, 4, static_cast<unsigned>(4 * n), be);
    putU16(f, 6, static_cast<unsigned>(n), be);
    f[8] = 1;                    // one NUL terminates each string
    f.resize(32 + 4 * n + 4, 0); // pointers, then an empty file string list
    for (size_t k = 0; k < n; ++k) {
        const SynthSeg2Trace& t = traces[k];
        putU32(f, 32 + 4 * k, static_cast<uint32_t>(f.size()), be);
        Bytes d(32, 0);
        for (const std::string& s : t.strings) {
            const size_t at = d.size();
            d.resize(at + 2 + s.size() + 1, 0);
            putU16(d, at, static_cast<unsigned>(2 + s.size() + 1), be);
            std::memcpy(&d[at + 2], s.data(), s.size());
        }
        d.resize((d.size() + 2 + 3) / 4 * 4, 0); // a 0 length ends the list
        const Bytes data = seg2Data(t, be);
        d[0] = be ? 0x44 : 0x22;
        d[1] = be ? 0x22 : 0x44;
        putU16(d, 2, static_cast<unsigned>(d.size()), be);
        putU32(d, 4, static_cast<uint32_t>(data.size()), be);
        putU32(d, 8, t.data.empty() ? static_cast<uint32_t>(t.samples.size()) : t.sampleCount, be);
        d[12] = static_cast<unsigned char>(t.code);
        append(f, d);
        append(f, data);
    }
    return f;
}

uint32_t seg2Pointer(const Bytes& file, int k, bool be) {
    const size_t at = 32 + 4 * static_cast<size_t>(k - 1);
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(file[at + static_cast<size_t>(be ? 3 - i : i)]) << (8 * i);
    return v;
}

} // namespace tarnix::test
