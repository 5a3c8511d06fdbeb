#include "formats/segy_reader.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "core/extended.h"
#include "formats/file_open.h"
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

SegyInput::SegyInput(std::string path)
    : path_(std::move(path)), buffer_(kTraceHeaderBytes + 2 * kReadSlots), whole_(kReadSlots) {
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

std::string SegyInput::checkSampleCount(const SegyOptions& opt) {
    nsOverride_ = 0;
    lastNs_ = 0;
    note_.clear();
    if (size_ < kFileHeaderBytes + kTraceHeaderBytes) return {};
    unsigned char bin[2], tr[2];
    readBytes(3220, bin, 2, 0, "binary header");
    readBytes(kFileHeaderBytes + 114, tr, 2, 0, "trace header");
    bool be = opt.SEGYRadio == SegyOptions::BigEndian;
    int binNs = be ? getI16BE(bin) : getI16LE(bin);
    int trNs = be ? getI16BE(tr) : getI16LE(tr);
    lastNs_ = trNs;
    long long data = size_ - kFileHeaderBytes;
    auto fits = [data](int ns) { return ns > 0 && data % (kTraceHeaderBytes + 2LL * ns) == 0; };
    if (fits(trNs) || !fits(binNs) || binNs > kReadSlots) return {};
    nsOverride_ = binNs;
    note_ = "trace headers say " + std::to_string(trNs) +
            " samples, which cannot fit the file; reading the " + std::to_string(binNs) +
            " of the binary header, which fit it exactly";
    return note_;
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
    return nsOverride_ > 0 ? nsOverride_ : lastNs_;
}

void SegyInput::rewind(Session& /*s*/) {
    // Every read is positioned from SegyDataOffset, which RESET_FILES resets.
}

void SegyInput::readTrace(Session& s, int shot) {
    if (s.segy.SEGYRadio == SegyOptions::BigEndian)
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
    const long long len = kTraceHeaderBytes + 2LL * std::max(0, samplesPerTrace());
    const long long pos = s.SegyDataOffset + len * shot * nchan + len * (channel - 1);
    if (pos + kTraceHeaderBytes > size_)
        throw EndOfData("End of data: " + traceName(path_, shot) +
                        " lies past the end of the file");

    // One positioned read for header and samples when the trace is as long as
    // the last one (the usual case); a longer trace reads the rest after.
    const long long guess = std::min({len, size_ - pos, static_cast<long long>(buffer_.size())});
    unsigned char* const buf = buffer_.data();
    readBytes(pos, buf, guess, shot, "trace header");
    const unsigned char* raw = buf;
    SegyTraceRecord rec = s.segyTraceHeader;
    if (bigEndian) {
        decodeBigEndianHeader(raw, rec);
        segySet(rec, segy::SeqLine, segyGet(rec, segy::FieldRecord));
        segySet(rec, segy::SeqReel, segyGet(rec, segy::FieldRecord));
    } else {
        std::memcpy(rec.data(), raw, kTraceHeaderBytes);
    }

    const int ns = nsOverride_ > 0 ? nsOverride_ : segyGet(rec, segy::NumSamples);
    if (ns <= 0 || ns > kReadSlots)
        throw IoError(traceName(path_, shot) + " announces " + std::to_string(ns) +
                      " samples; a trace holds 1 to " + std::to_string(kReadSlots));

    long double interval;
    if (!s.segy.ChangeBox) {
        interval = segyGet(rec, segy::SampleInterval);
    } else {
        interval = userInterval;
        if (!bigEndian) segySet(rec, segy::SampleInterval, static_cast<int32_t>(userInterval));
    }
    if (!(interval > 0))
        throw IoError(traceName(path_, shot) + " has a sample interval of " + floatText(interval) +
                      " microseconds; tick Change and type the interval");

    const long long need = kTraceHeaderBytes + 2LL * ns;
    if (need > guess) readBytes(pos + guess, buf + guess, need - guess, shot, "samples");

    // Nothing can fail from here on: the trace is taken.
    s.segyTraceHeader = rec;
    lastNs_ = segyGet(rec, segy::NumSamples);
    s.SampleRate = 1.0L / (interval / 1000.0L);
    if (!s.segy.ChangeBox) s.segy.S_REdit = std::to_string(segyGet(rec, segy::SampleInterval));
    s.ChannelToDisplay = s.shots.chan_to_display();
    s.korvaRateIndex = 99;

    const unsigned char* p = buf + kTraceHeaderBytes;
    if (bigEndian && (mul != 1 || add != 0)) {
        for (int i = 0; i < ns; ++i)
            s.raw[i] = static_cast<Sample>((getI16BE(p + 2 * i) + add) * mul);
    } else {
        // Plain 16-bit samples: decoded first, then converted in bulk.
        int32_t* w = whole_.data();
        if (bigEndian)
            for (int i = 0; i < ns; ++i) w[i] = getI16BE(p + 2 * i);
        else
            for (int i = 0; i < ns; ++i) w[i] = getI16LE(p + 2 * i);
        wholeToSamples(w, ns, s.raw.data());
    }
    if (filledSlots_ > ns) std::fill(s.raw.begin() + ns, s.raw.begin() + filledSlots_, Sample(0));
    filledSlots_ = ns;

    TraceHeader& h = s.header;
    decodeSegyNavigation(rec, bigEndian, xFactor, yFactor, h);
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
    readTrace(s, shot);
    s.rawLive = filledSlots_; // raw holds zeros above this trace's samples
    windowCopy(s);
    TraceHeader& h = s.header;
    h.ShotNumber = shot;
    std::string text = segyNavLine(shot, h);
    if (text.size() > 255) text.resize(255);
    s.navText[shot] = std::move(text);
    s.shotPosition[shot] = {h.CoordX, h.CoordY};
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

void OPEN_SEGY(Session& s, const std::string& fileName, int shot) {
    auto in = std::make_unique<SegyInput>(fileName);
    SegyInput* seg = in.get();
    if (seg->fileSize() < kFileHeaderBytes + kTraceHeaderBytes)
        throw IoError(fileName + " holds " + std::to_string(seg->fileSize()) +
                      " bytes, too few for a SEG-Y file (its headers alone take 3840)");
    std::string note = seg->checkSampleCount(s.segy);
    s.input = std::move(in);
    s.InputOpen = true;
    s.Edit4 = "Input File:" + fileName + " open";
    if (!note.empty()) s.Edit4 += " (" + note + ")";
    try {
        seg->readTrace(s, shot);
        if (s.EndSweep() < s.StartSweep()) s.EndSweep.set(s.StartSweep() + 500);
        windowCopy(s);
        const std::string ext = upperExtension(fileName);
        if (ext == ".SEG" || ext == ".SGY") {
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
    const long long len =
        (kTraceHeaderBytes + 2LL * std::max(0, in->samplesPerTrace())) * s.segy.channels();
    return static_cast<int>((in->fileSize() - kFileHeaderBytes) / len + 1);
}

} // namespace tarnix
