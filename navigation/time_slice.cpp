#include "navigation/time_slice.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"
#include "formats/format_table.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "formats/segy_samples.h"
#include "formats/segy_text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace tarnix {

namespace {

constexpr int kFileHeaderBytes = 3600;
constexpr int kTraceHeaderBytes = 240;
// Up to this many bytes the trace header and the samples before the level
// come in one read; a deeper level is a second read of its sample alone.
constexpr long long kOneReadBytes = 1 << 16;

// The reading settings of the options windows, converted once.
struct ReadSettings {
    long long mul = 1, add = 0, xFactor = 1, yFactor = 1;
    int nchan = 1, channel = 1;
    long double startMs = 0, windowMs = 0;
};

// One line of the slice and how its traces are read: the settings of its
// byte order, as the trace reader applies them.
struct Line {
    std::string path, name;
    std::unique_ptr<SegyInput> in;
    bool bigEndian = true;
    int nchan = 1, channel = 1;
    long long mul = 1, add = 0; // big-endian samples only
    bool userInterval = false;
    long double interval = 0; // microseconds, when userInterval
    long long first = 0;      // byte of trace 0
    int firstNs = 0;          // samples of trace 0, which locate the traces until read
    long long traces = 0;
};

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int samplesOf(const Line& l, const SegyTraceRecord& rec, long long t) {
    const int ns =
        l.in->layout().nsOverride > 0 ? l.in->layout().nsOverride : segyGet(rec, segy::NumSamples);
    if (ns <= 0 || ns > kReadSlots)
        throw IoError(l.path + ": trace " + std::to_string(t) + " announces " + std::to_string(ns) +
                      " samples; a trace holds 1 to " + std::to_string(kReadSlots));
    return ns;
}

// Samples per ms of a trace, as the trace reader takes its interval.
long double rateOf(const Line& l, const SegyTraceRecord& rec, long long t) {
    long double interval = l.interval;
    if (!l.userInterval) {
        interval = segyGet(rec, segy::SampleInterval);
        if (interval == 0 && l.in->layout().binaryInterval > 0)
            interval = l.in->layout().binaryInterval;
    }
    if (!(interval > 0))
        throw IoError(l.path + ": trace " + std::to_string(t) + " has a sample interval of " +
                      floatText(interval) + " microseconds; tick Change and type the interval");
    return 1.0L / (interval / 1000.0L);
}

SegyTraceRecord decodeRecord(const unsigned char* raw, bool bigEndian) {
    SegyTraceRecord rec{};
    if (bigEndian)
        decodeBigEndianHeader(raw, rec);
    else
        std::memcpy(rec.data(), raw, kTraceHeaderBytes);
    return rec;
}

// The raw slot the window copy puts at sample `level` of the window, or -1
// when the copy leaves that slot empty.
long long slotOf(long double startMs, long double rate, long long level) {
    long long first = roundHalfEven(startMs * rate);
    if (first < 0) first = 0;
    if (first > kReadSlots - 1) return -1;
    const long long slot = first + level - 1;
    return slot < kReadSlots ? slot : -1;
}

// Buffered text output; what was written before a failure stays in the file.
class SliceFile {
public:
    explicit SliceFile(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0) throw IoError("Cannot create " + path + ": " + std::strerror(errno));
        buf_.reserve(kFlush + 256);
    }
    ~SliceFile() {
        if (fd_ >= 0) {
            try {
                flush();
            } catch (...) {
            }
            ::close(fd_);
        }
    }
    SliceFile(const SliceFile&) = delete;
    SliceFile& operator=(const SliceFile&) = delete;
    std::string& text() { return buf_; }
    void lineDone() {
        if (buf_.size() >= kFlush) flush();
    }
    void close() {
        flush();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw IoError("Cannot write " + path_ + ": " + std::strerror(errno));
    }

private:
    static constexpr size_t kFlush = 1 << 16;
    void flush() {
        size_t done = 0;
        while (done < buf_.size()) {
            const ssize_t w = ::write(fd_, buf_.data() + done, buf_.size() - done);
            if (w < 0) {
                if (errno == EINTR) continue;
                buf_.clear();
                throw IoError("Cannot write " + path_ + ": " + std::strerror(errno));
            }
            done += static_cast<size_t>(w);
        }
        buf_.clear();
    }
    std::string path_;
    int fd_ = -1;
    std::string buf_;
};

// Opens a line and checks the level against its first trace's window.
Line openLine(Session& s, const std::string& path, const ReadSettings& r, long long level) {
    Line l;
    l.path = path;
    l.name = baseName(path);
    l.in = std::make_unique<SegyInput>(path);
    if (l.in->fileSize() < kFileHeaderBytes + kTraceHeaderBytes)
        throw IoError(path + " holds " + std::to_string(l.in->fileSize()) +
                      " bytes, too few for a SEG-Y file (its headers alone take 3840)");
    l.in->probe(s.segy);
    l.bigEndian = l.in->readsBigEndian(s.segy);
    if (l.bigEndian) {
        l.nchan = r.nchan;
        l.channel = r.channel;
        l.mul = r.mul;
        l.add = r.add;
    }
    if (s.segy.ChangeBox) {
        l.userInterval = true;
        l.interval = l.bigEndian ? parseFloat(s.segy.S_REdit)
                                 : static_cast<long double>(parseInt(s.segy.S_REdit));
    }
    l.first = kFileHeaderBytes + l.in->layout().extendedBytes();
    std::array<unsigned char, kTraceHeaderBytes> raw{};
    l.in->readTraceHeader(l.first, 0, raw.data());
    const SegyTraceRecord rec = decodeRecord(raw.data(), l.bigEndian);
    const int ns = samplesOf(l, rec, 0);
    l.firstNs = ns;
    const long double rate = rateOf(l, rec, 0);
    const long long windowSamples = truncate(r.windowMs * rate);
    if (level < 1 || level > windowSamples)
        throw Error("Slice level " + std::to_string(level) + " is outside the time window of " +
                    l.name + " (samples 1 to " + std::to_string(std::max(0LL, windowSamples)) +
                    "); nothing was written");
    const long long traceBytes =
        kTraceHeaderBytes + static_cast<long long>(l.in->layout().sampleBytes()) * ns;
    l.traces = (l.in->fileSize() - l.first) / (traceBytes * l.nchan);
    return l;
}

long long writeLine(Session& s, Line& l, const ReadSettings& r, long long level, SliceFile& out,
                    SegySampleDecoder& decoder, std::vector<unsigned char>& buf) {
    const SegyLayout& layout = l.in->layout();
    const int width = layout.sampleBytes();
    const long long size = l.in->fileSize();

    std::array<unsigned char, kFileHeaderBytes> block{};
    l.in->readFileHeader(block.data(), kFileHeaderBytes);
    s.SEGYmemo =
        segyTextLines(block.data(), kFileHeaderBytes, s.segy.HeadType == SegyOptions::Ebcdic);

    TraceHeader h; // coordinates carry over within the file, as the reader's do
    int ns = l.firstNs;
    long long slot = -1;
    for (long long t = 0; t < l.traces; ++t) {
        const int shot = static_cast<int>(std::min<long long>(t, INT32_MAX));
        const long long len = kTraceHeaderBytes + static_cast<long long>(width) * ns;
        const long long pos = l.first + len * (t * l.nchan + l.channel - 1);
        if (pos + kTraceHeaderBytes > size)
            throw EndOfData("End of data: " + l.path + ": trace " + std::to_string(t) +
                            " lies past the end of the file");
        // The previous trace's slot; a trace with another interval reads again.
        long long span = kTraceHeaderBytes;
        if (slot >= 0 && slot < ns && kTraceHeaderBytes + width * (slot + 1) <= kOneReadBytes)
            span += width * (slot + 1);
        span = std::min(span, size - pos);
        l.in->readBytes(pos, buf.data(), span, shot, "trace header");
        const SegyTraceRecord rec = decodeRecord(buf.data(), l.bigEndian);
        ns = samplesOf(l, rec, t);
        if (pos + kTraceHeaderBytes + static_cast<long long>(width) * ns > size)
            throw IoError(l.path + ": trace " + std::to_string(t) +
                          " is cut short: the file ends inside its samples");
        slot = slotOf(r.startMs, rateOf(l, rec, t), level);
        Sample value = 0;
        if (slot >= 0 && slot < ns) {
            const long long at = kTraceHeaderBytes + width * slot;
            const unsigned char* p = buf.data() + at;
            if (at + width > span) {
                l.in->readBytes(pos + at, buf.data() + kTraceHeaderBytes, width, shot, "samples");
                p = buf.data() + kTraceHeaderBytes;
            }
            decoder.decode(p, 1, layout.formatCode, l.bigEndian, l.mul, l.add, &value);
        }
        decodeSegyNavigation(rec, l.bigEndian, r.xFactor, r.yFactor, h);

        const std::string amplitude = exponentText(value);
        std::string& text = out.text();
        text += amplitude;
        text += ' ';
        text += std::to_string(t);
        text += ' ';
        text += h.CoordXText;
        text += ' ';
        text += h.CoordYText;
        text += ' ';
        text += amplitude;
        text += ' ';
        text += l.name;
        text += '\n';
        out.lineDone();
    }
    return l.traces;
}

} // namespace

TimeSliceResult extractTimeSlice(Session& s, const std::vector<std::string>& files,
                                 const std::string& levelText, const std::string& outPath) {
    if (files.empty()) throw Error("No SEG-Y file is selected for the time slice");
    const long long level = parseInt(levelText);
    if (level < 1)
        throw Error("Slice level " + std::to_string(level) +
                    " is not a sample of the time window (the first is 1); nothing was written");
    for (const std::string& f : files)
        if (formatOf(f) != InputFormat::Segy)
            throw Error(f + " is not a SEG-Y file name (.SEG, .SGY); nothing was written");

    ReadSettings r;
    r.xFactor = parseInt(s.segy.XEditscaler);
    r.yFactor = parseInt(s.segy.YEditScaler);
    r.mul = parseInt(s.shots.MUL);
    r.add = parseInt(s.shots.ADD);
    r.nchan = s.segy.channels();
    r.channel = s.shots.chan_to_display();
    r.startMs = s.StartSweep();
    r.windowMs = static_cast<long double>(s.EndSweep() - s.StartSweep());

    std::vector<Line> lines;
    lines.reserve(files.size());
    for (const std::string& f : files) {
        lines.push_back(openLine(s, f, r, level));
        lines.back().in.reset(); // a long selection must not run out of handles
    }

    SliceFile out(outPath);
    SegySampleDecoder decoder;
    std::vector<unsigned char> buf(kOneReadBytes + 16);
    TimeSliceResult result;
    for (Line& l : lines) {
        l.in = std::make_unique<SegyInput>(l.path);
        l.in->probe(s.segy);
        const long long n = writeLine(s, l, r, level, out, decoder, buf);
        result.perFile.push_back(n);
        result.lines += n;
        l.in.reset();
    }
    out.close();
    return result;
}

} // namespace tarnix
