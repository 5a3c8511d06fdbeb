#include "formats/segy_writer.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "formats/segy_header.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace tarnix {

namespace {

constexpr int kHeaderBytes = 240;

SegyOutput& openOutput(Session& s, int shot) {
    auto* out = dynamic_cast<SegyOutput*>(s.segyOut.get());
    if (!out) throw IoError("Shot " + std::to_string(shot) + ": no SEG-Y output is open");
    return *out;
}

// Trace number and sample count of a write, checked before anything is written.
int traceNumber(const Session& s, const SegyOutput& out, int shot) {
    const int n = shot - s.shots.StartShot() + 1;
    if (n < 1)
        throw IoError(out.path() + ": shot " + std::to_string(shot) +
                      " lies before the first shot " + std::to_string(s.shots.StartShot()) +
                      " of the output");
    if (s.NumSamples < 0 || s.NumSamples > kTraceSlots)
        throw IoError(out.path() + ": shot " + std::to_string(shot) + " has " +
                      std::to_string(s.NumSamples) + " samples to write; a trace holds 0 to " +
                      std::to_string(kTraceSlots));
    return n;
}

int32_t intervalMicroseconds(const Session& s) {
    if (!(s.SampleRate > 0)) return 0;
    return static_cast<int32_t>(truncate(1000.0L / s.SampleRate));
}

void writeTrace(Session& s, SegyOutput& out, int n, const unsigned char* header,
                const TraceBuffer& trace, bool bigEndian, SegyOutSamples samples) {
    const int ns = s.NumSamples;
    const bool ieee = samples == SegyOutSamples::Ieee;
    out.settleBinaryHeader(bigEndian, ieee ? 5 : 3);
    auto& buf = out.scratch();
    std::memcpy(buf.data(), header, kHeaderBytes);
    unsigned char* p = buf.data() + kHeaderBytes;
    if (ieee) {
        for (int i = 0; i < ns; ++i) {
            const auto v = static_cast<int32_t>(segySampleIeee(trace[i]));
            if (bigEndian)
                putI32BE(p + 4 * i, v);
            else
                putI32LE(p + 4 * i, v);
        }
    } else {
        for (int i = 0; i < ns; ++i) {
            const int16_t v = segySample16(trace[i]);
            if (bigEndian)
                putI16BE(p + 2 * i, v);
            else
                putI16LE(p + 2 * i, v);
        }
    }
    const long long len = kHeaderBytes + (ieee ? 4LL : 2LL) * ns;
    out.writeAt(s.SegyDataOffset + static_cast<long long>(n - 1) * len, buf.data(), len);
}

} // namespace

SegyOutput::SegyOutput(std::string path)
    : path_(std::move(path)), scratch_(kHeaderBytes + 4 * kTraceSlots) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throw IoError("Cannot create " + path_ + ": " + std::strerror(errno));
}

SegyOutput::~SegyOutput() {
    if (fd_ >= 0) ::close(fd_);
}

void SegyOutput::close() {
    if (fd_ < 0) return;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw IoError("Cannot write " + path_ + ": " + std::strerror(errno));
}

void SegyOutput::writeAt(long long pos, const unsigned char* data, long long n) {
    if (fd_ < 0) throw IoError(path_ + " is already closed");
    long long done = 0;
    while (done < n) {
        ssize_t w = ::pwrite(fd_, data + done, static_cast<size_t>(n - done),
                             static_cast<off_t>(pos + done));
        if (w < 0) {
            if (errno == EINTR) continue;
            throw IoError("Cannot write " + path_ + ": " + std::strerror(errno));
        }
        done += w;
    }
}

void SegyOutput::settleBinaryHeader(bool bigEndian, int formatCode) {
    if (formatCode_ == formatCode) return;
    if (formatCode_ != 0)
        throw IoError(path_ + ": its traces are written as format " + std::to_string(formatCode_) +
                      "; a trace of format " + std::to_string(formatCode) +
                      " cannot join them (WSEG rows of both formats share the output)");
    unsigned char code[2], none[2] = {0, 0};
    if (bigEndian)
        putI16BE(code, formatCode);
    else
        putI16LE(code, formatCode);
    // Only a whole copied file header holds a binary header to correct.
    if (headerBytes_ >= 3600) {
        writeAt(3224, code, 2);
        writeAt(3504, none, 2);
    }
    formatCode_ = formatCode;
}

uint32_t segySampleIeee(Sample x) {
    float f = 0;
    if (!std::isnan(x)) {
        constexpr Sample top = std::numeric_limits<float>::max();
        f = static_cast<float>(std::clamp(x, -top, top));
    }
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

int16_t segySample16(Sample x) {
    if (std::isnan(x)) return 0;
    long double t = std::trunc(x);
    // Only the low 16 bits are kept, so reduce huge values before converting.
    if (std::fabs(t) >= 9.0e18L) t = std::fmod(t, 65536.0L);
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<long long>(t) & 0xffff));
}

int32_t encodeSegyCoordinate(double value, int32_t scaler, int32_t units) {
    if (scaler == 0) scaler = 1;
    long double v = value;
    if (units == 2) v *= 3600.0L;
    v = scaler > 0 ? v / scaler : v * std::abs(static_cast<long double>(scaler));
    // Rounded, not truncated: the decoded coordinate is the stored integer divided
    // down, and truncating it back gives one unit less (356.4 -> 128303999).
    return static_cast<int32_t>(roundHalfEven(v));
}

void OPEN_OUT_SEGY(Session& s, const std::string& path) {
    if (s.segyOut) {
        auto old = std::move(s.segyOut);
        old->close();
    }
    auto out = std::make_unique<SegyOutput>(path);
    const int n = std::clamp(s.SegyDataOffset, 0, static_cast<int>(s.segyFileHeader.size()));
    out->writeAt(0, s.segyFileHeader.data(), n);
    out->setHeaderBytes(n);
    s.segyOut = std::move(out);
    s.Memo2.push_back(std::to_string(n));
}

void writeSegyTraceBE(Session& s, int /*row*/, int shot, int startSweep, const TraceBuffer& trace,
                      int endSweep, SegyOutSamples samples) {
    SegyOutput& out = openOutput(s, shot);
    const int n = traceNumber(s, out, shot);
    SegyTraceRecord r{};
    segySet(r, segy::SeqLine, n);
    segySet(r, segy::SeqReel, n);
    segySet(r, segy::FieldRecord, n);
    segySet(r, segy::Channel, 1);
    segySet(r, segy::SourcePower, 1);
    // The CDP fields, stacks, data use and elevation scaler carry the plain
    // values of the little-endian header.
    segySet(r, segy::CdpEnsemble, n);
    segySet(r, segy::CdpTrace, n);
    segySet(r, segy::TraceId, 1);
    segySet(r, segy::VerticalStack, 1);
    segySet(r, segy::HorizontalStack, 1);
    segySet(r, segy::DataUse, 1);
    segySet(r, segy::ElevScaler, 1);
    segySet(r, segy::NumSamples, s.NumSamples);
    segySet(r, segy::SampleInterval, intervalMicroseconds(s));
    segySet(r, segy::SweepLength, endSweep - startSweep);
    unsigned char h[kHeaderBytes];
    encodeBigEndianHeader(r, h);
    writeTrace(s, out, n, h, trace, true, samples);
}

void writeSegyTraceLE(Session& s, int /*row*/, int shot, int startSweep, const TraceBuffer& trace,
                      int endSweep, SegyOutSamples samples) {
    SegyOutput& out = openOutput(s, shot);
    const int n = traceNumber(s, out, shot);
    const SegyTraceRecord& in = s.segyTraceHeader;
    SegyTraceRecord& r = s.segyOutHeader;
    auto copy = [&](int from, int to) {
        std::memcpy(r.data() + from - 1, in.data() + from - 1, to - from + 1);
    };
    auto zero = [&](int from, int to) { std::memset(r.data() + from - 1, 0, to - from + 1); };

    segySet(r, segy::SeqLine, n);
    segySet(r, segy::SeqReel, n);
    segySet(r, segy::FieldRecord, n);
    segySet(r, segy::Channel, 1);
    copy(17, 20);
    segySet(r, segy::CdpEnsemble, n);
    segySet(r, segy::CdpTrace, n);
    segySet(r, segy::TraceId, 1);
    segySet(r, segy::VerticalStack, 1);
    segySet(r, segy::HorizontalStack, 1);
    segySet(r, segy::DataUse, 1);
    zero(37, 68);
    segySet(r, segy::ElevScaler, 1);
    const int32_t scaler = segyGet(in, segy::CoordScaler);
    segySet(r, segy::CoordScaler, scaler);
    int32_t units = segyGet(in, segy::CoordUnits);
    if (units != 1 && units != 2) units = 2;
    const int32_t x = encodeSegyCoordinate(s.header.CoordX, scaler, units);
    const int32_t y = encodeSegyCoordinate(s.header.CoordY, scaler, units);
    segySet(r, segy::SourceX, x);
    segySet(r, segy::GroupX, x);
    segySet(r, segy::SourceY, y);
    segySet(r, segy::GroupY, y);
    segySet(r, segy::CoordUnits, units);
    zero(91, 94);
    copy(95, 114);
    segySet(r, segy::NumSamples, s.NumSamples);
    segySet(r, segy::SampleInterval, intervalMicroseconds(s));
    copy(119, 130);
    segySet(r, segy::SweepLength, endSweep - startSweep);
    copy(133, 138);
    segySet(r, segy::TaperType, 3);
    copy(141, 156);
    segySet(r, segy::Year, 1999);
    segySet(r, segy::Day, 1);
    segySet(r, segy::Hour, 1);
    segySet(r, segy::Minute, 1);
    segySet(r, segy::Second, 1);
    copy(167, 180);
    zero(181, 240);
    writeTrace(s, out, n, r.data(), trace, false, samples);
}

} // namespace tarnix
