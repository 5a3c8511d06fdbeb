#include "formats/korva_writer.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "core/numtext.h"
#include "formats/korva_record.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tarnix {

namespace {

constexpr int kSamples = kKorva20.samples;
constexpr int kRecordBytes = kKorva20.recordBytes;

} // namespace

KorvaOutput::KorvaOutput(std::string path)
    : path_(std::move(path)), record_(static_cast<size_t>(kRecordBytes)) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) throw IoError("Cannot create " + path_ + ": " + std::strerror(errno));
}

KorvaOutput::~KorvaOutput() {
    if (fd_ >= 0) ::close(fd_);
}

void KorvaOutput::close() {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw IoError("Cannot write " + path_ + ": " + std::strerror(errno));
}

void KorvaOutput::append() {
    if (fd_ < 0) throw IoError(path_ + " is closed");
    const long long pos = static_cast<long long>(records_) * kRecordBytes;
    long long done = 0;
    while (done < kRecordBytes) {
        const ssize_t w = ::pwrite(fd_, record_.data() + done,
                                   static_cast<size_t>(kRecordBytes - done), pos + done);
        if (w < 0) {
            if (errno == EINTR) continue;
            throw IoError("Cannot write " + path_ + " (record " + std::to_string(records_ + 1) +
                          "): " + std::strerror(errno));
        }
        done += w;
    }
    ++records_;
}

void OPEN_OUT_KORVA2(Session& s, const std::string& path) {
    s.korvaOut.reset(); // a file left open by an earlier run is closed first
    s.korvaOut = std::make_unique<KorvaOutput>(path);
}

KorvaWriteLayout korvaWriteLayout(int startSweep, long double sampleRate) {
    const long long r = std::clamp<long long>(roundHalfEven(startSweep * sampleRate), 0,
                                              static_cast<long long>(UINT32_MAX) + 1);
    if (r == 0) return {0, 1};
    return {static_cast<uint32_t>(r - 1), 0};
}

void writeKorva2Record(Session& s, int shot, int startSweep, TraceBuffer& trace) {
    auto* out = dynamic_cast<KorvaOutput*>(s.korvaOut.get());
    if (!out) throw IoError("Shot " + std::to_string(shot) + ": no KORVA 2.0 output is open");
    unsigned char* rec = out->record().data();
    std::memcpy(rec, s.korva.record20.data(), korva::kHeaderBytes);

    const int index = korvaRateCode(s.SampleRate);
    putKorvaU16(rec, korva::kSamFreqIdx, static_cast<uint16_t>(index));
    if (index == korva::kRateFromMarker) {
        // The rate as its 5-decimal text reads, as a 32-bit float.
        const float rate = static_cast<float>(parseFloat(fixedText(s.SampleRate, 5)));
        putKorvaU32(rec, korva::kScanMarker, std::bit_cast<uint32_t>(rate));
    }
    const KorvaWriteLayout layout = korvaWriteLayout(startSweep, s.SampleRate);
    putKorvaU32(rec, korva::kTrigDelay, layout.trigDelay);
    putKorvaU32(rec, korva::kScanSeq, static_cast<uint32_t>(shot));
    rec[korva::kBitsPerSample] = 16;
    rec[korva::kNumChannels] = 1;

    // +-FullScale, never beyond what 16 bits hold (32768 would wrap to -32768).
    long double hi = 32767, lo = -32768;
    if (s.FullScale > 0) {
        hi = std::min<long double>(hi, s.FullScale);
        lo = std::max<long double>(lo, -static_cast<long double>(s.FullScale));
    }
    unsigned char* p = rec + korva::kHeaderBytes;
    for (int k = 1; k < kSamples; ++k) {
        Sample& v = trace[static_cast<size_t>(k - 1 + layout.firstSlot)];
        if (std::isnan(v))
            v = 0;
        else
            v = std::clamp<Sample>(v, lo, hi);
        putI16LE(p + 2 * (k - 1), static_cast<int32_t>(truncate(v)));
    }
    putI16LE(p + 2 * (kSamples - 1), s.korva.lastSample20);
    out->append();
}

} // namespace tarnix
