#include "formats/segy_reader.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "core/extended.h"
#include "formats/file_open.h"
#include "formats/korva_record.h"
#include "formats/segy_header.h"
#include "formats/segy_text.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnix {

namespace {

constexpr int kFileHeaderBytes = 3600;
constexpr int kTraceHeaderBytes = 240;

constexpr int kTextBlockBytes = 3200;

int16_t get16(const unsigned char* p, bool be) {
    return be ? getI16BE(p) : getI16LE(p);
}

// Codes of the standard's sample formats, decoded or not: a header in the
// wrong byte order hardly ever shows one of them.
bool knownFormatCode(int code) {
    return (code >= 1 && code <= 12) || code == 15 || code == 16;
}

const char* orderName(bool be) {
    return be ? "big-endian" : "little-endian";
}

std::string traceName(const std::string& path, int shot) {
    return path + ": trace " + std::to_string(shot);
}

// Coordinate decoding with the scaler s (0 counts as 1): value := stored x s,
// or stored / |s| for a negative scaler.
double scaled(int32_t stored, int32_t scaler) {
    if (scaler == 0) scaler = 1;
    return scaler > 0 ? double(stored) * scaler : double(stored) / std::abs(double(scaler));
}

} // namespace

bool segyHeadersLookBigEndian(const unsigned char* fileHeader, const unsigned char* traceHeader) {
    auto score = [&](bool be) {
        int sc = 0;
        if (knownFormatCode(get16(fileHeader + 3224, be))) sc += 4;
        if (get16(fileHeader + 3216, be) > 0) sc += 1;
        if (traceHeader && get16(traceHeader + 116, be) > 0) sc += 1;
        return sc;
    };
    return score(true) >= score(false);
}

bool segyHoldsEndText(const unsigned char* block) {
    static constexpr unsigned char kAscii[] = "((SEG: EndText))";
    static constexpr unsigned char kEbcdic[] = {0x4D, 0x4D, 0xE2, 0xC5, 0xC7, 0x7A, 0x40, 0xC5,
                                                0x95, 0x84, 0xE3, 0x85, 0xA7, 0xA3, 0x5D, 0x5D};
    constexpr int n = sizeof kEbcdic;
    static_assert(sizeof kAscii == n + 1);
    for (int i = 0; i + n <= kTextBlockBytes; ++i)
        if (std::memcmp(block + i, kAscii, n) == 0 || std::memcmp(block + i, kEbcdic, n) == 0)
            return true;
    return false;
}

SegyInput::SegyInput(std::string path)
    : path_(std::move(path)), buffer_(kTraceHeaderBytes + 4 * kReadSlots) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw IoError("Cannot open " + path_ + ": " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        int e = errno;
        ::close(fd_);
        throw IoError("Cannot read the size of " + path_ + ": " + std::strerror(e));
    }
    size_ = st.st_size;
}

SegyInput::~SegyInput() {
    ahead_.drop(); // no read of the file under way when it closes
    if (fd_ >= 0) ::close(fd_);
}

SegyInput* segyInput(Session& s) {
    return dynamic_cast<SegyInput*>(s.input.get());
}

void SegyInput::readBytes(long long pos, unsigned char* dst, long long n, int shot,
                          const char* what) {
    long long done = 0;
    while (done < n) {
        ssize_t r =
            ::pread(fd_, dst + done, static_cast<size_t>(n - done), static_cast<off_t>(pos + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            throw IoError("Cannot read " + traceName(path_, shot) + " (" + what +
                          "): " + std::strerror(errno));
        }
        if (r == 0)
            throw IoError(traceName(path_, shot) + " is cut short: the file ends inside its " +
                          what);
        done += r;
    }
}

void SegyInput::probe(const SegyOptions& opt) {
    layout_ = {};
    lastNs_ = 0;
    if (size_ < kFileHeaderBytes + kTraceHeaderBytes) return; // OPEN_SEGY refuses it
    std::array<unsigned char, kFileHeaderBytes> fh;
    unsigned char th[kTraceHeaderBytes];
    readBytes(0, fh.data(), kFileHeaderBytes, 0, "file header");
    readBytes(kFileHeaderBytes, th, kTraceHeaderBytes, 0, "trace header");

    SegyLayout l;
    if (opt.SEGYRadio == SegyOptions::Detect) {
        l.bigEndian = segyHeadersLookBigEndian(fh.data(), th);
        l.orderDetected = true;
    } else {
        l.bigEndian = opt.SEGYRadio == SegyOptions::BigEndian;
    }
    const bool be = l.bigEndian;
    l.headerCode = get16(fh.data() + 3224, be);
    l.formatChosen = opt.dataFormatCode != 0;
    l.formatCode = l.formatChosen ? opt.dataFormatCode : l.headerCode;
    l.binaryInterval = get16(fh.data() + 3216, be);

    // Extended textual headers exist from revision 1 on; before that the
    // field is unassigned and may hold anything.
    const bool revised = (be ? getU16BE(fh.data() + 3500) : getU16LE(fh.data() + 3500)) != 0;
    const int count = revised ? get16(fh.data() + 3504, be) : 0;
    if (count == -1) {
        std::vector<unsigned char> block(kTextBlockBytes);
        for (long long pos = kFileHeaderBytes; pos + kTextBlockBytes <= size_;
             pos += kTextBlockBytes) {
            readBytes(pos, block.data(), kTextBlockBytes, 0, "extended textual header");
            if (segyHoldsEndText(block.data())) {
                l.extendedHeaders =
                    static_cast<int>((pos - kFileHeaderBytes) / kTextBlockBytes) + 1;
                break;
            }
        }
        if (l.extendedHeaders == 0)
            throw IoError(path_ +
                          ": the binary header announces extended textual headers up to one "
                          "holding ((SEG: EndText)) (count -1, bytes 3505-3506), but no header "
                          "holds it");
    } else if (count < 0) {
        throw IoError(path_ + ": the binary header announces " + std::to_string(count) +
                      " extended textual headers (bytes 3505-3506)");
    } else if (count > 0) {
        if (kFileHeaderBytes + kTextBlockBytes * static_cast<long long>(count) + kTraceHeaderBytes >
            size_)
            throw IoError(path_ + ": the binary header announces " + std::to_string(count) +
                          " extended textual headers of 3200 bytes (bytes 3505-3506), more than "
                          "the file's " +
                          std::to_string(size_) + " bytes hold before a trace");
        l.extendedHeaders = count;
    }
    const long long start = kFileHeaderBytes + l.extendedBytes();
    if (start + kTraceHeaderBytes > size_)
        throw IoError(path_ + ": the extended textual headers fill the file; it holds no trace");
    if (l.extendedHeaders > 0) readBytes(start, th, kTraceHeaderBytes, 0, "trace header");

    const int bps = l.sampleBytes();
    const int binNs = get16(fh.data() + 3220, be);
    const int trNs = get16(th + 114, be);
    const long long data = size_ - start;
    auto fits = [data](int ns, int bytes) {
        return ns > 0 && bytes > 0 &&
               data % (kTraceHeaderBytes + static_cast<long long>(bytes) * ns) == 0;
    };
    auto otherWidth = [&]() {
        for (int w : {2, 4, 1})
            if (w != bps && (fits(trNs, w) || fits(binNs, w))) return w;
        return 0;
    };
    if (bps == 0) {
        std::string msg = path_ + ": the binary header gives sample format code " +
                          std::to_string(l.formatCode) + " (bytes 3225-3226, read " +
                          orderName(be) +
                          "), which Tarnix cannot read; it reads 1 (IBM float), 2 (32-bit "
                          "integer), 3 (16-bit integer), 5 (IEEE float) and 8 (8-bit integer)";
        if (const int w = otherWidth())
            msg += "; traces of " + std::to_string(w) + "-byte samples would fill the file exactly";
        throw IoError(msg + ". If the code is wrong, choose the Data Format");
    }
    if (fits(trNs, bps)) {
        // The trace headers' count, as for every well-formed file.
    } else if (fits(binNs, bps) && binNs <= kReadSlots) {
        l.nsOverride = binNs;
        l.notes.push_back("trace headers say " + std::to_string(trNs) +
                          " samples, which cannot fit the file; reading the " +
                          std::to_string(binNs) + " of the binary header, which fit it exactly");
    } else if (const int w = l.formatChosen ? 0 : otherWidth()) {
        throw IoError(path_ + ": traces of " + std::to_string(bps) + "-byte samples (" +
                      segyFormatText(l.formatCode) +
                      ") do not fill the file evenly, but traces of " + std::to_string(w) +
                      "-byte samples fill it exactly: the format code looks wrong; choose the "
                      "Data Format");
    } else if (trNs <= 0 && binNs > 0 && binNs <= kReadSlots) {
        l.nsOverride = binNs;
        l.notes.push_back("trace headers say " + std::to_string(trNs) + " samples; reading the " +
                          std::to_string(binNs) + " of the binary header");
    } else if (trNs > 0) {
        const long long len = kTraceHeaderBytes + static_cast<long long>(bps) * trNs;
        l.notes.push_back("traces of " + std::to_string(len) +
                          " bytes do not fill the file evenly: " + std::to_string(data / len) +
                          " whole traces and " + std::to_string(data % len) + " bytes over");
    }
    lastNs_ = trNs;
    layout_ = std::move(l);
}

bool SegyInput::readsBigEndian(const SegyOptions& opt) const {
    if (opt.SEGYRadio == SegyOptions::Detect) return layout_.bigEndian;
    return opt.SEGYRadio == SegyOptions::BigEndian;
}

long long SegyInput::traceBytes() const {
    return kTraceHeaderBytes +
           static_cast<long long>(layout_.sampleBytes()) * std::max(0, samplesPerTrace());
}

void SegyInput::readTraceHeader(long long pos, int shot, unsigned char* dst) {
    if (pos < 0 || pos + kTraceHeaderBytes > size_)
        throw EndOfData("End of data: " + traceName(path_, shot) +
                        " lies past the end of the file");
    readBytes(pos, dst, kTraceHeaderBytes, shot, "trace header");
}

void SegyInput::readFileHeader(unsigned char* dst, int n) {
    readBytes(0, dst, n, 0, "file header");
}

int SegyInput::samplesPerTrace() const {
    return layout_.nsOverride > 0 ? layout_.nsOverride : lastNs_;
}

void SegyInput::rewind(Session& /*s*/) {
    // Every read is positioned from SegyDataOffset, which RESET_FILES resets;
    // the next run reads the file afresh.
    ahead_.drop();
}

void SegyInput::readTrace(Session& s, int shot) {
    if (readsBigEndian(s.segy))
        readBigEndian(s, shot, s.segy.channels(), s.shots.chan_to_display());
    else
        readLittleEndian(s, shot);
}

void SegyInput::readBigEndian(Session& s, int shot, int nchan, int channel) {
    read(s, shot, true, nchan, channel);
}

void SegyInput::readLittleEndian(Session& s, int shot) {
    read(s, shot, false, 1, 1);
}

void SegyInput::read(Session& s, int shot, bool bigEndian, int nchan, int channel) {
    // Settings typed into the windows are converted first, so a bad text
    // changes nothing.
    long long mul = 1, add = 0;
    if (bigEndian) {
        mul = parseInt(s.shots.MUL);
        add = parseInt(s.shots.ADD);
    }
    const long long xFactor = parseInt(s.segy.XEditscaler);
    const long long yFactor = parseInt(s.segy.YEditScaler);
    long double userInterval = 0;
    if (s.segy.ChangeBox)
        userInterval = bigEndian ? parseFloat(s.segy.S_REdit)
                                 : static_cast<long double>(parseInt(s.segy.S_REdit));

    if (shot < 0) throw EndOfData(traceName(path_, shot) + " does not exist (traces count from 0)");
    const long long len = traceBytes();
    const long long pos =
        s.SegyDataOffset + layout_.extendedBytes() + len * shot * nchan + len * (channel - 1);
    if (pos + kTraceHeaderBytes > size_)
        throw EndOfData("End of data: " + traceName(path_, shot) +
                        " lies past the end of the file");

    // One positioned read for header and samples when the trace is as long as
    // the last one (the usual case); a longer trace reads the rest after.
    const long long guess = std::min({len, size_ - pos, static_cast<long long>(buffer_.size())});
    unsigned char* const buf = buffer_.data();
    const unsigned char* raw = readAhead_ ? ahead_.bytes(fd_, pos, guess, size_) : nullptr;
    if (!raw) {
        readBytes(pos, buf, guess, shot, "trace header");
        raw = buf;
    }
    SegyTraceRecord rec = s.segyTraceHeader;
    if (bigEndian) {
        decodeBigEndianHeader(raw, rec);
        segySet(rec, segy::SeqLine, segyGet(rec, segy::FieldRecord));
        segySet(rec, segy::SeqReel, segyGet(rec, segy::FieldRecord));
    } else {
        std::memcpy(rec.data(), raw, kTraceHeaderBytes);
    }

    const int ns = layout_.nsOverride > 0 ? layout_.nsOverride : segyGet(rec, segy::NumSamples);
    if (ns <= 0 || ns > kReadSlots)
        throw IoError(traceName(path_, shot) + " announces " + std::to_string(ns) +
                      " samples; a trace holds 1 to " + std::to_string(kReadSlots));

    long double interval;
    if (!s.segy.ChangeBox) {
        interval = segyGet(rec, segy::SampleInterval);
        // Some writers leave the interval to the binary header.
        if (interval == 0 && layout_.binaryInterval > 0) interval = layout_.binaryInterval;
    } else {
        interval = userInterval;
        if (!bigEndian) segySet(rec, segy::SampleInterval, static_cast<int32_t>(userInterval));
    }
    if (!(interval > 0) || !usableSampleRate(1000.0L / interval))
        throw IoError(traceName(path_, shot) + " has a sample interval of " + floatText(interval) +
                      " microseconds; tick Change and type the interval");

    const long long need = kTraceHeaderBytes + static_cast<long long>(layout_.sampleBytes()) * ns;
    if (need > guess) { // a longer trace than the last
        if (raw != buf) {
            std::memcpy(buf, raw, static_cast<size_t>(guess)); // the block may move
            raw = buf;
        }
        const unsigned char* whole = readAhead_ ? ahead_.bytes(fd_, pos, need, size_) : nullptr;
        if (whole)
            raw = whole;
        else
            readBytes(pos + guess, buf + guess, need - guess, shot, "samples");
    }
    const unsigned char* const samples = raw + kTraceHeaderBytes;

    // Nothing can fail from here on: the trace is taken.
    s.segyTraceHeader = rec;
    lastNs_ = segyGet(rec, segy::NumSamples);
    s.SampleRate = 1.0L / (interval / 1000.0L);
    if (!s.segy.ChangeBox) s.segy.S_REdit = std::to_string(static_cast<long long>(interval));
    s.ChannelToDisplay = s.shots.chan_to_display();
    s.korvaRateIndex = 99;

    // A run that only paints may leave the samples as whole numbers, when the
    // window lies inside the slots a read fills.
    deferredNs_ = 0;
    deferredWhole_ = nullptr;
    deferredDoubles_ = nullptr;
    const WindowSpan span = windowSpan(s);
    if (s.runMayDefer && mul == 1 && add == 0 && span.numSamples >= 0 &&
        span.first + span.numSamples <= kReadSlots) {
        deferredWhole_ = decoder_.decodeShort(samples, ns, layout_.formatCode, bigEndian);
        if (!deferredWhole_ && s.runMayDeferDoubles)
            deferredDoubles_ = decoder_.decodeFloats(samples, ns, layout_.formatCode, bigEndian);
    }
    if (deferredWhole_ || deferredDoubles_) {
        deferredNs_ = ns;
    } else {
        decoder_.decode(samples, ns, layout_.formatCode, bigEndian, mul, add, s.raw.data());
        if (filledSlots_ > ns)
            std::fill(s.raw.begin() + ns, s.raw.begin() + filledSlots_, Sample(0));
        filledSlots_ = ns;
    }
    samplesRead_ = ns;

    TraceHeader& h = s.header;
    decodeSegyNavigation(rec, bigEndian, xFactor, yFactor, h);
    fillKorvaTemplates(s, segyGet(rec, segy::FieldRecord), bigEndian);
    posString_.clear(); // keeps its capacity: no allocation per trace
    posString_.append(std::to_string(h.ShotNumber));
    posString_.push_back(' ');
    for (const std::string* part :
         {&h.Year, &h.Day, &h.Hour, &h.Minute, &h.Second, &h.CoordYText, &h.CoordXText}) {
        posString_.append(*part);
        posString_.push_back(' ');
    }

    // Recording delay, shown by the window copy that follows.
    if (s.segy.Z_scaler == SegyOptions::DelayField)
        h.Delay = segyGet(rec, segy::Delay);
    else if (s.segy.Z_scaler == SegyOptions::Multiping)
        h.Delay = multipingDelay(s.segy.waterDepth, ns, s.SampleRate);
}

std::string segyNavLine(int shot, const TraceHeader& h) {
    return std::to_string(shot) + ' ' + h.Year + ' ' + h.Day + ' ' + h.Hour + ' ' + h.Minute + ' ' +
           h.Second + ' ' + h.CoordYText + ' ' + h.CoordXText;
}

void decodeSegyNavigation(const std::array<unsigned char, 240>& rec, bool bigEndian,
                          long long xFactor, long long yFactor, TraceHeader& h) {
    h.ShotNumber = segyGet(rec, segy::FieldRecord);
    int32_t sx = segyGet(rec, segy::SourceX), sy = segyGet(rec, segy::SourceY);
    if (bigEndian && sx == 0 && sy == 0) {
        sx = segyGet(rec, segy::GroupX);
        sy = segyGet(rec, segy::GroupY);
    }
    const int32_t scaler = segyGet(rec, segy::CoordScaler);
    const int32_t units = segyGet(rec, segy::CoordUnits);
    double x = h.CoordX, y = h.CoordY;
    if (units == 1 || units == 2) {
        x = scaled(sx, scaler);
        y = scaled(sy, scaler);
        if (units == 2) {
            x /= 3600.0;
            y /= 3600.0;
        }
    }
    h.CoordX = x * double(xFactor);
    h.CoordY = y * double(yFactor);
    if (h.CoordX < 0) h.CoordX += 360.0;
    h.Year = std::to_string(segyGet(rec, segy::Year));
    h.Day = std::to_string(segyGet(rec, segy::Day));
    h.Hour = std::to_string(segyGet(rec, segy::Hour));
    h.Minute = std::to_string(segyGet(rec, segy::Minute));
    h.Second = std::to_string(segyGet(rec, segy::Second));
    h.CoordYText = fixedText(h.CoordY, 8, 4);
    h.CoordXText = fixedText(h.CoordX, 8, 4);
}

void SegyInput::readRunTrace(Session& s, int shot) {
    Session::checkShotIndex(shot);
    readAhead_ = true;
    try {
        readTrace(s, shot);
    } catch (...) {
        readAhead_ = false;
        throw;
    }
    readAhead_ = false;
    if (deferredWhole_ || deferredDoubles_) {
        const WindowSpan span = windowSpan(s);
        const int first = static_cast<int>(span.first), end = kReadSlots - first;
        s.NumSamples = span.numSamples;
        (void)s.zeros.takeForCopy(); // the current trace is not written
        const int live = std::clamp(deferredNs_ - first, 0, end);
        s.deferred = deferredWhole_ ? WholeWindow{deferredWhole_ + first, live, end}
                                    : WholeWindow{nullptr, live, end, deferredDoubles_ + first};
        s.Edit2 = delayText(s.header.Delay);
    } else {
        s.zeros.rawLive = filledSlots_; // raw holds zeros above this trace's samples
        windowCopy(s);
    }
    TraceHeader& h = s.header;
    h.ShotNumber = shot;
    // The text segyNavLine gives, made when it is read.
    const SegyTraceRecord& rec = s.segyTraceHeader;
    s.navText.setLine(shot, {1, shot, segyGet(rec, segy::Year), segyGet(rec, segy::Day),
                             segyGet(rec, segy::Hour), segyGet(rec, segy::Minute),
                             segyGet(rec, segy::Second), h.CoordY, h.CoordX});
    s.shotPosition[shot] = {h.CoordX, h.CoordY};
}

void SegyInput::finishDeferredRead(Session& s) {
    if (!deferredWhole_ && !deferredDoubles_) return;
    if (deferredWhole_)
        decoder_.finishShort(deferredNs_, s.raw.data());
    else
        decoder_.finishFloats(deferredNs_, s.raw.data());
    if (filledSlots_ > deferredNs_)
        std::fill(s.raw.begin() + deferredNs_, s.raw.begin() + filledSlots_, Sample(0));
    filledSlots_ = deferredNs_;
    deferredWhole_ = nullptr;
    deferredDoubles_ = nullptr;
    deferredNs_ = 0;
    // The run may have lowered the sample count since the read.
    const int32_t numSamples = s.NumSamples;
    s.zeros.forget();
    s.zeros.rawLive = filledSlots_;
    windowCopy(s);
    s.NumSamples = numSamples;
}

std::optional<std::string> SegyInput::navRow(const Session& s, int shot) const {
    return segyNavLine(shot, s.header);
}

bool SegyInput::readSingleTrace(Session& s, int shot) {
    readTrace(s, shot);
    windowCopy(s);
    return true;
}

double multipingDelay(int depthMetres, int ns, long double sampleRate) {
    if (!(sampleRate > 0) || ns <= 0) return 0;
    const long double t = ns / sampleRate;
    return static_cast<double>(truncate(depthMetres * 1.3333L / t) * t);
}

void showSegyTextualHeader(Session& s) {
    SegyInput* in = segyInput(s);
    if (!in) throw IoError("No SEG-Y input is open");
    s.SEGYmemo.clear();
    std::array<unsigned char, kFileHeaderBytes> block{};
    if (in->fileSize() < kFileHeaderBytes)
        throw IoError(in->path() + " is shorter than the 3600-byte SEG-Y file header");
    in->readFileHeader(block.data(), std::clamp(s.SegyDataOffset, 0, kFileHeaderBytes));
    s.segyFileHeader = block;
    s.SEGYmemo =
        segyTextLines(block.data(), kFileHeaderBytes, s.segy.HeadType == SegyOptions::Ebcdic);
}

void showSegyHeaderListing(Session& s) {
    s.SEGYmemo = segyHeaderListing(s.segyTraceHeader);
}

int segyHeaderFormatCode(const std::string& path, const SegyOptions& opt) {
    try {
        SegyInput in(path);
        if (in.fileSize() < kFileHeaderBytes + kTraceHeaderBytes) return 0;
        std::array<unsigned char, kFileHeaderBytes + kTraceHeaderBytes> h;
        in.readFileHeader(h.data(), static_cast<int>(h.size()));
        const bool be = opt.SEGYRadio == SegyOptions::Detect
                            ? segyHeadersLookBigEndian(h.data(), h.data() + kFileHeaderBytes)
                            : opt.SEGYRadio == SegyOptions::BigEndian;
        return get16(h.data() + 3224, be);
    } catch (const Error&) {
        return 0;
    }
}

void setSegyFullScale(Session& s, int formatCode, int ns) {
    s.FullScaleFromData = segyFloatFormat(formatCode) || formatCode == segyfmt::Int32;
    if (!s.FullScaleFromData) {
        s.FullScale = formatCode == segyfmt::Int8 ? 128 : 32768;
        return;
    }
    Sample peak = 0;
    for (int i = 0; i < std::clamp(ns, 0, kReadSlots); ++i)
        peak = std::max(peak, std::fabs(s.raw[i]));
    const Sample whole = std::ceil(peak);
    s.FullScale = whole > 1 ? static_cast<int32_t>(std::min<Sample>(whole, INT32_MAX)) : 1;
    s.Memo2.push_back("Full scale " + std::to_string(s.FullScale) +
                      " taken from the data: the largest absolute sample of the first trace is " +
                      floatText(peak));
}

std::string segyLayoutText(const SegyLayout& l) {
    std::vector<std::string> parts;
    if (l.orderDetected)
        parts.push_back(std::string("byte order: detect, ") + orderName(l.bigEndian));
    if (l.formatChosen && l.formatCode != l.headerCode)
        parts.push_back(segyFormatText(l.formatCode) + " chosen instead of the header's code " +
                        std::to_string(l.headerCode));
    else if (l.formatCode != segyfmt::Int16)
        parts.push_back(segyFormatText(l.formatCode));
    if (l.extendedHeaders > 0)
        parts.push_back(std::to_string(l.extendedHeaders) + " extended textual header" +
                        (l.extendedHeaders == 1 ? "" : "s") + " skipped");
    parts.insert(parts.end(), l.notes.begin(), l.notes.end());
    std::string text;
    for (const auto& p : parts) text += (text.empty() ? " (" : "; ") + p;
    return text.empty() ? text : text + ")";
}

void OPEN_SEGY(Session& s, const std::string& fileName, int shot) {
    auto in = std::make_unique<SegyInput>(fileName);
    SegyInput* seg = in.get();
    if (seg->fileSize() < kFileHeaderBytes + kTraceHeaderBytes)
        throw IoError(fileName + " holds " + std::to_string(seg->fileSize()) +
                      " bytes, too few for a SEG-Y file (its headers alone take 3840)");
    seg->probe(s.segy);
    s.segy.DataFormatRadio = segyDataFormatItem(seg->layout().formatCode);
    s.input = std::move(in);
    s.InputOpen = true;
    s.Edit4 = "Input File:" + fileName + " open" + segyLayoutText(seg->layout());
    try {
        seg->readTrace(s, shot);
        setSegyFullScale(s, seg->layout().formatCode, seg->samplesRead());
        if (s.EndSweep() < s.StartSweep()) s.EndSweep.set(s.StartSweep() + 500);
        windowCopy(s);
        if (formatOf(fileName) == InputFormat::Segy) {
            s.SegyDataOffset = kFileHeaderBytes;
            showSegyTextualHeader(s);
        } else {
            s.SegyDataOffset = 0;
        }
    } catch (...) {
        CLOSE_FILES(s);
        throw;
    }
}

int segyTraceCount(Session& s) {
    SegyInput* in = segyInput(s);
    if (!in) throw IoError("No SEG-Y input is open");
    const long long len = in->traceBytes() * s.segy.channels();
    return static_cast<int>(
        (in->fileSize() - kFileHeaderBytes - in->layout().extendedBytes()) / len + 1);
}

} // namespace tarnix
