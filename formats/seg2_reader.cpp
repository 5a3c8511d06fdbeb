#include "formats/seg2_reader.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "core/extended.h"
#include "core/numtext.h"
#include "formats/shot_range.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnix {

namespace {

constexpr int kDescriptorBytes = 32;

std::string hex4(unsigned v) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string t(4, '0');
    for (int i = 3; i >= 0; --i, v >>= 4) t[static_cast<size_t>(i)] = kDigits[v & 0xf];
    return t;
}

// Bytes of `ns` samples of data format `code`; -1 for a code that is not decoded.
long long dataBytes(int code, long long ns) {
    switch (code) {
    case 1:
        return 2 * ns;
    case 2:
    case 4:
        return 4 * ns;
    case 3:
        return (ns + 3) / 4 * 10; // 4 samples in 10 bytes, the last group padded
    case 5:
        return 8 * ns;
    default:
        return -1;
    }
}

// Code 3 mantissas are one's complement: FF9B is -100, not -101.
double mantissa20(uint16_t m) {
    return (m & 0x8000) ? static_cast<double>(static_cast<int>(m) - 0xFFFF) : m;
}

const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// "7/MAR/2018" -> 2018, day 66; false when the text is not such a date.
bool parseDate(const std::string& v, int& year, int& dayOfYear) {
    const size_t a = v.find('/'), b = v.rfind('/');
    if (a == std::string::npos || b == a) return false;
    long long d, y;
    if (!tryParseInt(v.substr(0, a), d) || !tryParseInt(v.substr(b + 1), y)) return false;
    const std::string mon = upper(trim(v.substr(a + 1, b - a - 1)));
    int m = -1;
    for (int i = 0; i < 12; ++i)
        if (mon == kMonths[i]) m = i;
    if (m < 0 || d < 1 || d > 31 || y < 0 || y > 9999) return false;
    static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    year = static_cast<int>(y);
    dayOfYear = kBefore[m] + static_cast<int>(d) + (leap && m > 1 ? 1 : 0);
    return true;
}

// "10:30:41" -> 10, 30, 41.
bool parseTime(const std::string& v, int& h, int& m, int& s) {
    const size_t a = v.find(':'), b = v.rfind(':');
    if (a == std::string::npos || b == a) return false;
    long long hh, mm;
    long double ss;
    if (!tryParseInt(v.substr(0, a), hh) || !tryParseInt(v.substr(a + 1, b - a - 1), mm) ||
        !tryParseFloat(v.substr(b + 1), ss) || hh < 0 || hh > 23 || mm < 0 || mm > 59 || ss < 0 ||
        ss >= 61)
        return false;
    h = static_cast<int>(hh);
    m = static_cast<int>(mm);
    s = static_cast<int>(truncate(ss));
    return true;
}

} // namespace

Seg2File::Seg2File(ShotGather& store, std::string path) : store_(store), path_(std::move(path)) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw IoError("Cannot open " + path_ + ": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        fail("Cannot read the size of " + path_ + ": " + std::strerror(errno));
    size_ = st.st_size;
    if (size_ < kDescriptorBytes)
        fail(path_ + " holds " + std::to_string(size_) +
             " bytes, too few for a SEG-2 file descriptor block (32)");
    unsigned char h[kDescriptorBytes];
    readBytes(0, h, kDescriptorBytes, "file descriptor block");
    if (h[0] == 0x55 && h[1] == 0x3A)
        bigEndian_ = false;
    else if (h[0] == 0x3A && h[1] == 0x55)
        bigEndian_ = true;
    else
        fail(path_ + " is not a SEG-2 file: its block identifier is " + hex4((h[0] << 8) | h[1]) +
             ", not 3A55");
    auto u16 = [this](const unsigned char* p) { return bigEndian_ ? getU16BE(p) : getU16LE(p); };
    revision_ = u16(h + 2);
    const long long n = u16(h + 6);
    const int termSize = std::clamp<int>(h[8], 0, 2);
    terminator_.assign(reinterpret_cast<const char*>(h + 9), static_cast<size_t>(termSize));
    if (n == 0) fail(path_ + " holds no traces (its trace count is 0)");
    if (kDescriptorBytes + 4 * n > size_)
        fail(path_ + ": its " + std::to_string(n) +
             " trace pointers run past the end of the file (" + std::to_string(size_) + " bytes)");
    const long long kept = std::min<long long>(n, ShotGather::kColumns);
    if (kept < n)
        addNote("the file holds " + std::to_string(n) + " traces; the store holds " +
                std::to_string(ShotGather::kColumns) + ", so traces " +
                std::to_string(ShotGather::kColumns + 1) + " to " + std::to_string(n) +
                " are left out");
    std::vector<unsigned char> raw(static_cast<size_t>(4 * kept));
    readBytes(kDescriptorBytes, raw.data(), 4 * kept, "trace pointers");
    pointers_.resize(static_cast<size_t>(kept));
    for (long long i = 0; i < kept; ++i)
        pointers_[static_cast<size_t>(i)] =
            bigEndian_ ? getU32BE(raw.data() + 4 * i) : getU32LE(raw.data() + 4 * i);
    store_.traces = static_cast<int32_t>(kept);
    store_.bigEndian = bigEndian_;
    readFileStrings(u16(h + 4));
}

void Seg2File::readFileStrings(long long pointerBytes) {
    // Between the pointer sub-block and the first trace; only the recording
    // time is taken from them, and a file without one is read all the same.
    store_.year = store_.dayOfYear = store_.hour = store_.minute = store_.second = 0;
    const long long from = kDescriptorBytes + pointerBytes;
    long long to = size_;
    for (uint32_t p : pointers_)
        if (p >= from) to = std::min<long long>(to, p);
    if (from + 2 > to) return;
    std::vector<unsigned char> b(static_cast<size_t>(to - from));
    readBytes(from, b.data(), to - from, "file descriptor strings");
    auto u16 = [this](const unsigned char* q) { return bigEndian_ ? getU16BE(q) : getU16LE(q); };
    for (size_t pos = 0; pos + 2 <= b.size();) {
        const size_t len = u16(b.data() + pos);
        if (len < 3 || pos + len > b.size()) break;
        std::string text(reinterpret_cast<const char*>(b.data() + pos + 2), len - 3);
        text.resize(std::strlen(text.c_str()));
        pos += len;
        const size_t blank = text.find_first_of(" \t\r\n");
        if (blank == std::string::npos) continue;
        const std::string key = upper(text.substr(0, blank));
        const std::string value = trim(text.substr(blank));
        int y = 0, d = 0, hh = 0, mm = 0, ss = 0;
        if (key == "ACQUISITION_DATE" && parseDate(value, y, d)) {
            store_.year = y;
            store_.dayOfYear = d;
        } else if (key == "ACQUISITION_TIME" && parseTime(value, hh, mm, ss)) {
            store_.hour = hh;
            store_.minute = mm;
            store_.second = ss;
        }
    }
}

Seg2File::~Seg2File() {
    close();
}

void Seg2File::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void Seg2File::fail(const std::string& message) {
    close();
    throw IoError(message);
}

void Seg2File::addNote(const std::string& text) {
    if (!note_.empty()) note_ += "; ";
    note_ += text;
}

void Seg2File::readBytes(long long pos, unsigned char* dst, long long n, const std::string& what) {
    if (fd_ < 0) throw IoError(path_ + " is closed");
    long long done = 0;
    while (done < n) {
        ssize_t r =
            ::pread(fd_, dst + done, static_cast<size_t>(n - done), static_cast<off_t>(pos + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            fail("Cannot read " + path_ + " (" + what + "): " + std::strerror(errno));
        }
        if (r == 0) fail(path_ + " is cut short: the file ends inside its " + what);
        done += r;
    }
}

void Seg2File::readTrace(int k) {
    const std::string name = path_ + ": trace " + std::to_string(k);
    if (k < 1 || k > traceCount())
        fail(name + " does not exist (the file's traces are 1 to " + std::to_string(traceCount()) +
             ")");
    const long long p = pointers_[static_cast<size_t>(k - 1)];
    if (p + kDescriptorBytes > size_)
        fail(name + ": its descriptor at byte " + std::to_string(p) +
             " lies past the end of the file (" + std::to_string(size_) + " bytes)");
    unsigned char h[kDescriptorBytes];
    readBytes(p, h, kDescriptorBytes, "trace descriptor of trace " + std::to_string(k));
    auto u16 = [this](const unsigned char* q) { return bigEndian_ ? getU16BE(q) : getU16LE(q); };
    auto u32 = [this](const unsigned char* q) { return bigEndian_ ? getU32BE(q) : getU32LE(q); };
    const unsigned id = u16(h);
    if (id != 0x4422)
        fail(name + ": the block at byte " + std::to_string(p) + " has the identifier " + hex4(id) +
             ", not that of a trace descriptor (4422)");
    const long long d = u16(h + 2);
    const long long b = u32(h + 4);
    long long ns = u32(h + 8);
    const int code = h[12];
    if (d < kDescriptorBytes)
        fail(name + ": its descriptor block is " + std::to_string(d) +
             " bytes long, shorter than 32");
    if (p + d + b > size_)
        fail(name + ": its descriptor (" + std::to_string(d) + " bytes) and data block (" +
             std::to_string(b) + " bytes) at byte " + std::to_string(p) +
             " run past the end of the file (" + std::to_string(size_) + " bytes)");
    const long long need = dataBytes(code, ns);
    if (need < 0)
        fail(name + " has data format code " + std::to_string(code) + "; codes 1 to 5 are read");
    if (need > b)
        fail(name + " announces " + std::to_string(ns) + " samples of code " +
             std::to_string(code) + " (" + std::to_string(need) + " bytes); its data block holds " +
             std::to_string(b));
    std::string cut;
    if (ns > ShotGather::kRows) {
        cut = "trace " + std::to_string(k) + " holds " + std::to_string(ns) +
              " samples; the store holds " + std::to_string(ShotGather::kRows) +
              ", the rest are left out";
        ns = ShotGather::kRows;
    }

    // Keyword strings: taken into temporaries, kept only once the samples are read.
    block_.resize(static_cast<size_t>(std::max(d, dataBytes(code, ns))));
    readBytes(p, block_.data(), d, "trace descriptor of trace " + std::to_string(k));
    int channel = k;
    bool haveDelay = false, haveInterval = false;
    long double delay = 0, interval = 0;
    for (long long pos = kDescriptorBytes; pos + 2 <= d;) {
        const long long len = u16(block_.data() + pos);
        if (len == 0) break;
        if (len < 3)
            fail(name + ": the descriptor string at byte " + std::to_string(p + pos) +
                 " has a length of " + std::to_string(len) + " (below 3)");
        if (pos + len > d)
            fail(name + ": the descriptor string at byte " + std::to_string(p + pos) +
                 " has a length of " + std::to_string(len) +
                 ", which runs past the end of the descriptor (" + std::to_string(d) + " bytes)");
        std::string text(reinterpret_cast<const char*>(block_.data() + pos + 2),
                         static_cast<size_t>(len - 3));
        text.resize(std::strlen(text.c_str()));
        pos += len;
        const size_t blank = text.find_first_of(" \t\r\n");
        const std::string key = upper(text.substr(0, blank));
        const std::string value =
            blank == std::string::npos ? std::string() : trim(text.substr(blank));
        auto number = [&](long double& out) {
            if (!tryParseFloat(value, out))
                fail(name + ": " + key + " '" + value + "' is not a valid floating point value");
        };
        if (key == "CHANNEL_NUMBER") {
            long long c;
            if (!tryParseInt(value, c) || c < INT32_MIN || c > INT32_MAX)
                fail(name + ": CHANNEL_NUMBER '" + value + "' is not a valid integer value");
            channel = static_cast<int>(c);
        } else if (key == "DELAY") {
            number(delay);
            haveDelay = true;
        } else if (key == "SAMPLE_INTERVAL") {
            number(interval);
            if (!(interval > 0))
                fail(name + ": SAMPLE_INTERVAL '" + value +
                     "' is not a positive number of seconds");
            if (!usableSampleRate(0.001L / interval))
                fail(name + ": SAMPLE_INTERVAL '" + value + "' is below a nanosecond");
            haveInterval = true;
        }
    }

    readBytes(p + d, block_.data(), dataBytes(code, ns),
              "data block of trace " + std::to_string(k));
    double* col = store_.column(k);
    const unsigned char* q = block_.data();
    const bool be = bigEndian_;
    switch (code) {
    case 1:
        for (long long i = 0; i < ns; ++i) col[i] = be ? getI16BE(q + 2 * i) : getI16LE(q + 2 * i);
        break;
    case 2:
        for (long long i = 0; i < ns; ++i) col[i] = be ? getI32BE(q + 4 * i) : getI32LE(q + 4 * i);
        break;
    case 3:
        for (long long i = 0; i < ns; ++i) {
            const unsigned char* g = q + i / 4 * 10;
            const unsigned exps = be ? getU16BE(g) : getU16LE(g);
            const int e = (exps >> (4 * (i % 4))) & 0xf;
            const uint16_t m = be ? getU16BE(g + 2 + 2 * (i % 4)) : getU16LE(g + 2 + 2 * (i % 4));
            col[i] = std::ldexp(mantissa20(m), e);
        }
        break;
    case 4:
        for (long long i = 0; i < ns; ++i) col[i] = be ? getF32BE(q + 4 * i) : getF32LE(q + 4 * i);
        break;
    case 5:
        for (long long i = 0; i < ns; ++i) col[i] = be ? getF64BE(q + 8 * i) : getF64LE(q + 8 * i);
        break;
    }
    for (long long i = 0; i < ns; ++i)
        if (!std::isfinite(col[i])) col[i] = 0; // a NaN would poison every sum after it

    store_.channel[static_cast<size_t>(k)] = channel;
    store_.rowCount[static_cast<size_t>(k)] = static_cast<int32_t>(ns);
    if (haveDelay) store_.delay = static_cast<double>(delay);
    if (haveInterval) store_.sampleInterval = static_cast<double>(interval);
    store_.traceLength = static_cast<double>(ns) * store_.sampleInterval;
    if (!cut.empty()) addNote(cut);
}

// --- the open command's view of a gather ---

Seg2Input::Seg2Input(Session& s, std::string path) : path_(std::move(path)) {
    Seg2File f(s.gather, path_);
    for (int k = 1; k <= f.traceCount(); ++k) f.readTrace(k);
    traces_ = f.traceCount();
    note_ = f.note();
}

void Seg2Input::readTrace(Session& s, int shot) {
    if (shot < 1 || shot > traces_)
        throw EndOfData("End of data: " + path_ + ": trace " + std::to_string(shot) +
                        " does not exist (the gather holds traces 1 to " + std::to_string(traces_) +
                        ")");
    const ShotGather& g = s.gather;
    const int ns = std::clamp(g.rowCount[static_cast<size_t>(shot)], 0, kReadSlots);
    doublesToSamples(g.column(shot), ns, s.raw.data());
    if (filledSlots_ > ns) std::fill(s.raw.begin() + ns, s.raw.begin() + filledSlots_, Sample(0));
    filledSlots_ = ns;
    s.SampleRate = static_cast<long double>(0.001 / g.sampleInterval); // 62.5 us: exactly 16
    s.ChannelToDisplay = g.channel[static_cast<size_t>(shot)];
    TraceHeader& h = s.header;
    h.ShotNumber = shot;
    h.Year = std::to_string(g.year);
    h.Day = std::to_string(g.dayOfYear);
    h.Hour = std::to_string(g.hour);
    h.Minute = std::to_string(g.minute);
    h.Second = std::to_string(g.second);
    h.CoordX = h.CoordY = 0;
    h.CoordXText = h.CoordYText = std::string();
    h.Delay = g.delay * 1000.0;
    posString_ = std::to_string(shot) + ' ' + h.Year + ' ' + h.Day + ' ' + h.Hour + ' ' + h.Minute +
                 ' ' + h.Second + ' ';
}

void Seg2Input::readRunTrace(Session& s, int shot) {
    Session::checkShotIndex(shot);
    readTrace(s, shot);
    s.zeros.rawLive = filledSlots_;
    windowCopy(s);
    // A gather has no positions: no navigation row, and no point at 0 N 0 E.
    s.navText[static_cast<size_t>(shot)].clear();
    s.shotPosition[static_cast<size_t>(shot)] = {std::numeric_limits<double>::quiet_NaN(),
                                                 std::numeric_limits<double>::quiet_NaN()};
}

bool Seg2Input::readSingleTrace(Session& s, int shot) {
    readTrace(s, shot);
    windowCopy(s);
    return true;
}

bool isSeg2File(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    unsigned char b[2] = {0, 0};
    const bool got = ::pread(fd, b, 2, 0) == 2;
    ::close(fd);
    return got && ((b[0] == 0x55 && b[1] == 0x3A) || (b[0] == 0x3A && b[1] == 0x55));
}

void OPEN_SEG2(Session& s, const std::string& fileName) {
    auto in = std::make_unique<Seg2Input>(s, fileName);
    Seg2Input* seg = in.get();
    seg->readTrace(s, 1);
    // SEG-2 amplitudes have no fixed scale, and a refraction shot's near traces
    // are far louder than its far ones: the palette ends at the median of the
    // traces' peaks, so every trace shows (the loudest clip).
    std::vector<double> peaks;
    for (int k = 1; k <= seg->traceCount(); ++k) {
        const double* c = s.gather.column(k);
        double peak = 0;
        for (int i = 0; i < s.gather.rowCount[static_cast<size_t>(k)]; ++i)
            peak = std::max(peak, std::fabs(c[i]));
        peaks.push_back(peak);
    }
    std::nth_element(peaks.begin(), peaks.begin() + static_cast<long>(peaks.size() / 2),
                     peaks.end());
    const double median = peaks.empty() ? 0 : peaks[peaks.size() / 2];
    s.FullScale = static_cast<int32_t>(std::clamp(2.0 * std::ceil(median), 2.0, double(INT32_MAX)));
    const int traces = seg->traceCount();
    const std::string note = seg->note();
    commitInput(s, std::move(in), traces, fileName, note);
}

void openSeg2File(Session& s) {
    OPEN_SEG2(s, s.InputFileName);
    selectWholeFile(s, 1);
}

} // namespace tarnix
