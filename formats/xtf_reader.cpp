#include "formats/xtf_reader.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "core/extended.h"
#include "core/numtext.h"
#include "formats/shot_range.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnix {

namespace {

constexpr int kFileHeaderBytes = 1024;
constexpr int kPacketHeaderBytes = 14; // magic, type, subchannel, channels, 2 words, byte count
constexpr int kPingHeaderBytes = 256;
constexpr int kChannelHeaderBytes = 64;
constexpr int kChanInfoBytes = 128;
constexpr int kSonarPacket = 0;
constexpr int kPortChannel = 1;

std::string hex4(unsigned v) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string t(4, '0');
    for (int i = 3; i >= 0; --i, v >>= 4) t[static_cast<size_t>(i)] = kDigits[v & 0xf];
    return t;
}

std::string text(const unsigned char* p, int n) {
    std::string t(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
    t.resize(std::strlen(t.c_str()));
    return trim(t);
}

// A float field as the decimal its writer meant: 0.008f is 0.008, not
// 0.00800000037997961, so 8 samples over it make 1 sample per ms.
double decimalOf(float v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    double d = v;
    std::from_chars(buf, r.ptr, d);
    return d;
}

int dayOfYear(int year, int month, int day) {
    static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kBefore[month - 1] + day + (leap && month > 2 ? 1 : 0);
}

} // namespace

XtfInput::XtfInput(std::string path)
    : path_(std::move(path)), whole_(kReadSlots), doubles_(kReadSlots) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw IoError("Cannot open " + path_ + ": " + std::strerror(errno));
    try {
        struct stat st {};
        if (::fstat(fd_, &st) != 0)
            throw IoError("Cannot read the size of " + path_ + ": " + std::strerror(errno));
        size_ = st.st_size;
        if (size_ < kFileHeaderBytes)
            throw IoError(path_ + " holds " + std::to_string(size_) +
                          " bytes, too few for an XTF file header (1024)");
        std::vector<unsigned char> h(kFileHeaderBytes);
        readBytes(0, h.data(), kFileHeaderBytes, "file header");
        if (h[0] != 0x7B)
            throw IoError(path_ + " is not an XTF file: its first byte is " + hex4(h[0]).substr(2) +
                          ", not 7B");
        info_.program = text(&h[2], 8);
        info_.sonarName = text(&h[18], 16);
        info_.note = text(&h[36], 64);
        info_.navUnits = getU16LE(&h[164]);
        info_.sonarChannels = getU16LE(&h[166]);
        const int channels =
            getU16LE(&h[166]) + getU16LE(&h[168]) + h[170] + h[171] + getU16LE(&h[172]) + h[174];
        // Six channel entries fit the first 1024 bytes; each further 1024 hold eight.
        info_.headerBytes =
            kFileHeaderBytes + (channels > 6 ? (channels - 6 + 7) / 8 * kFileHeaderBytes : 0);
        if (info_.headerBytes > size_)
            throw IoError(path_ + ": its file header lists " + std::to_string(channels) +
                          " channels, which take " + std::to_string(info_.headerBytes) +
                          " bytes; the file holds " + std::to_string(size_));
        h.resize(static_cast<size_t>(info_.headerBytes));
        readBytes(0, h.data(), info_.headerBytes, "file header");
        for (int c = 0; c < channels; ++c) {
            const unsigned char* q = &h[256 + static_cast<size_t>(c) * kChanInfoBytes];
            XtfChannelInfo ci;
            ci.type = q[0];
            ci.subChannel = q[1];
            ci.unipolar = getU16LE(q + 4) != 0;
            ci.bytesPerSample = getU16LE(q + 6);
            ci.name = text(q + 12, 16);
            ci.sampleFormat = q[74];
            info_.channels.push_back(ci);
        }
        indexPackets();
        buffer_.reserve(65536);
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

XtfInput::~XtfInput() {
    if (fd_ >= 0) ::close(fd_);
}

XtfInput* xtfInput(Session& s) {
    return dynamic_cast<XtfInput*>(s.input.get());
}

void XtfInput::readBytes(long long pos, unsigned char* dst, long long n, const std::string& what) {
    long long done = 0;
    while (done < n) {
        ssize_t r =
            ::pread(fd_, dst + done, static_cast<size_t>(n - done), static_cast<off_t>(pos + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            throw IoError("Cannot read " + path_ + " (" + what + "): " + std::strerror(errno));
        }
        if (r == 0) throw IoError(path_ + " is cut short: the file ends inside its " + what);
        done += r;
    }
}

void XtfInput::indexPackets() {
    // Packets are walked by their own byte counts. A walk that cannot go on
    // keeps the pings before the fault and says where it stopped.
    long long pos = info_.headerBytes;
    unsigned char h[kPacketHeaderBytes];
    while (pos < size_) {
        const std::string at = "byte " + std::to_string(pos);
        if (size_ - pos < kPacketHeaderBytes) {
            note_ = "the file ends with " + std::to_string(size_ - pos) + " bytes at " + at +
                    " that do not make a packet; they are left out";
            break;
        }
        readBytes(pos, h, kPacketHeaderBytes, "packet header at " + at);
        const unsigned magic = getU16LE(h);
        if (magic != 0xFACE) {
            note_ = "no packet starts at " + at + " (" + hex4(magic) +
                    " instead of FACE); the rest of the file is left out";
            break;
        }
        const uint32_t bytes = getU32LE(h + 10);
        if (bytes < kPacketHeaderBytes) {
            note_ = "the packet at " + at + " has a byte count of " + std::to_string(bytes) +
                    "; the rest of the file is left out";
            break;
        }
        if (pos + bytes > size_) {
            note_ = "the packet at " + at + " is cut short (" + std::to_string(bytes) +
                    " bytes announced, " + std::to_string(size_ - pos) +
                    " in the file); it is left out";
            break;
        }
        if (h[2] == kSonarPacket) pings_.push_back({pos, bytes});
        pos += bytes;
    }
    if (pings_.empty())
        throw IoError(path_ + " holds no sonar ping" + (note_.empty() ? "" : " (" + note_ + ")"));
}

const XtfPing& XtfInput::readPing(int ping) {
    if (ping < 1 || ping > pingCount())
        throw EndOfData("End of data: " + path_ + ": ping " + std::to_string(ping) +
                        " does not exist (the file holds pings 1 to " +
                        std::to_string(pingCount()) + ")");
    const std::string name = path_ + ": ping " + std::to_string(ping);
    const Packet pk = pings_[static_cast<size_t>(ping - 1)];
    if (pk.bytes < kPingHeaderBytes)
        throw IoError(name + ": its packet of " + std::to_string(pk.bytes) +
                      " bytes is shorter than a ping header (256)");
    buffer_.resize(pk.bytes);
    readBytes(pk.offset, buffer_.data(), pk.bytes, "ping " + std::to_string(ping));
    const unsigned char* b = buffer_.data();
    XtfPing& p = ping_;
    p.channels.clear();
    const int nchan = getU16LE(b + 4);
    p.year = getU16LE(b + 14);
    p.month = b[16];
    p.day = b[17];
    p.hour = b[18];
    p.minute = b[19];
    p.second = b[20];
    p.hundredths = b[21];
    p.julianDay = getU16LE(b + 22);
    p.pingNumber = getU32LE(b + 28);
    p.soundVelocity = decimalOf(getF32LE(b + 32));
    p.shipY = getF64LE(b + 128);
    p.shipX = getF64LE(b + 136);
    p.sensorY = getF64LE(b + 160);
    p.sensorX = getF64LE(b + 168);
    const int known = static_cast<int>(info_.channels.size());
    if (nchan < 1 || nchan > known)
        throw IoError(name + " announces " + std::to_string(nchan) +
                      " channels; the file header lists " + std::to_string(known));
    long long off = kPingHeaderBytes;
    for (int c = 1; c <= nchan; ++c) {
        if (off + kChannelHeaderBytes > pk.bytes)
            throw IoError(name + ": the header of channel " + std::to_string(c) +
                          " runs past the end of its packet (" + std::to_string(pk.bytes) +
                          " bytes)");
        const unsigned char* q = b + off;
        XtfChannel ch;
        ch.number = getU16LE(q);
        ch.slantRange = decimalOf(getF32LE(q + 4));
        ch.timeDelay = decimalOf(getF32LE(q + 12));
        ch.timeDuration = decimalOf(getF32LE(q + 16));
        const uint32_t ns = getU32LE(q + 42);
        if (ch.number >= known)
            throw IoError(name + ": channel " + std::to_string(c) + " is number " +
                          std::to_string(ch.number) + "; the file header lists 0 to " +
                          std::to_string(known - 1));
        const int bps = info_.channels[static_cast<size_t>(ch.number)].bytesPerSample;
        if (bps != 1 && bps != 2 && bps != 4)
            throw IoError(name + ": channel " + std::to_string(c) + " has " + std::to_string(bps) +
                          " bytes per sample; 1, 2 and 4 are read");
        ch.dataOffset = pk.offset + off + kChannelHeaderBytes;
        off += kChannelHeaderBytes + static_cast<long long>(ns) * bps;
        if (off > pk.bytes)
            throw IoError(name + ": channel " + std::to_string(c) + " announces " +
                          std::to_string(ns) + " samples of " + std::to_string(bps) +
                          " bytes, which run past the end of its packet (" +
                          std::to_string(pk.bytes) + " bytes)");
        ch.samples = static_cast<int>(ns);
        p.channels.push_back(ch);
    }
    return p;
}

void XtfInput::readTrace(Session& s, int shot, int channel) {
    const XtfPing& p = readPing(shot);
    const std::string name = path_ + ": ping " + std::to_string(shot);
    const int nchan = static_cast<int>(p.channels.size());
    if (channel < 1 || channel > nchan)
        throw IoError(name + " holds channels 1 to " + std::to_string(nchan) + "; channel " +
                      std::to_string(channel) + " was asked for");
    const XtfChannel& ch = p.channels[static_cast<size_t>(channel - 1)];
    const XtfChannelInfo& ci = info_.channels[static_cast<size_t>(ch.number)];
    if (ch.samples < 1)
        throw IoError(name + ": channel " + std::to_string(channel) + " holds no samples");
    // The channel's time span; writers that leave it 0 give the slant range,
    // which sound covers at the ping's (one-way) velocity.
    double span = ch.timeDuration;
    if (!(span > 0) || !std::isfinite(span)) {
        const double v =
            p.soundVelocity > 0 && std::isfinite(p.soundVelocity) ? p.soundVelocity : 750.0;
        span = ch.slantRange / v;
    }
    if (!(span > 0) || !std::isfinite(span))
        throw IoError(name + ": channel " + std::to_string(channel) +
                      " gives neither a time span nor a slant range");

    const int stored = ch.samples;
    if (!usableSampleRate(stored / (span * 1000.0)))
        throw IoError(name + ": channel " + std::to_string(channel) + " puts " +
                      std::to_string(stored) + " samples into " + floatText(span) +
                      " s, more than " + floatText(kMaxSampleRate) + " samples per ms");
    const int ns = std::min(stored, kReadSlots);
    const int bps = ci.bytesPerSample;
    const bool reverse = ci.type == kPortChannel;
    // Reversed, the near range comes first; a cut keeps the near range either way.
    const long long first = reverse ? stored - ns : 0;
    const unsigned char* q = buffer_.data() + (ch.dataOffset - pingOffset(shot)) + first * bps;
    const bool asFloat = bps == 4 && (ci.sampleFormat == 5 || ci.unipolar);
    for (int i = 0; i < ns; ++i) {
        const int j = reverse ? ns - 1 - i : i;
        const unsigned char* v = q + static_cast<long long>(j) * bps;
        if (bps == 1) {
            whole_[static_cast<size_t>(i)] = ci.unipolar ? v[0] : static_cast<signed char>(v[0]);
        } else if (bps == 2) {
            whole_[static_cast<size_t>(i)] = ci.unipolar ? getU16LE(v) : getI16LE(v);
        } else if (!asFloat) {
            whole_[static_cast<size_t>(i)] = getI32LE(v);
        } else {
            const double d = ci.sampleFormat == 5 ? double(getF32LE(v)) : double(getU32LE(v));
            doubles_[static_cast<size_t>(i)] = std::isfinite(d) ? d : 0.0;
        }
    }

    // Nothing can fail from here on: the ping is taken.
    if (asFloat)
        doublesToSamples(doubles_.data(), ns, s.raw.data());
    else
        wholeToSamples(whole_.data(), ns, s.raw.data());
    if (filledSlots_ > ns) std::fill(s.raw.begin() + ns, s.raw.begin() + filledSlots_, Sample(0));
    filledSlots_ = ns;
    // In double, so that a span written as 0.008 s gives 8 samples per 8 ms.
    s.SampleRate = static_cast<long double>(stored / (span * 1000.0));
    s.ChannelToDisplay = channel;

    TraceHeader& h = s.header;
    h.ShotNumber = shot;
    h.Year = std::to_string(p.year);
    h.Day = std::to_string(p.julianDay > 0 ? p.julianDay : dayOfYear(p.year, p.month, p.day));
    h.Hour = std::to_string(p.hour);
    h.Minute = std::to_string(p.minute);
    h.Second = std::to_string(p.second);
    // The towed sensor's position where the file has one, else the ship's;
    // zeros mean the recorder had no fix.
    double x = p.sensorX, y = p.sensorY;
    if ((x == 0 && y == 0) || !std::isfinite(x) || !std::isfinite(y)) {
        x = p.shipX;
        y = p.shipY;
    }
    hasPosition_ = !(x == 0 && y == 0) && std::isfinite(x) && std::isfinite(y);
    if (hasPosition_) {
        if (info_.navUnits == 3 && x < 0) x += 360.0;
        h.CoordX = x;
        h.CoordY = y;
        h.CoordYText = fixedText(y, 8, 4);
        h.CoordXText = fixedText(x, 8, 4);
    } else {
        h.CoordX = h.CoordY = 0;
        h.CoordYText.clear();
        h.CoordXText.clear();
    }
    h.Delay = ch.timeDelay * 1000.0;

    posString_.clear();
    posString_.append(std::to_string(p.pingNumber));
    posString_.push_back(' ');
    for (const std::string* part : {&h.Year, &h.Day, &h.Hour, &h.Minute, &h.Second}) {
        posString_.append(*part);
        posString_.push_back(' ');
    }
    if (hasPosition_) posString_.append(h.CoordYText + ' ' + h.CoordXText + ' ');
}

void XtfInput::readRunTrace(Session& s, int shot) {
    Session::checkShotIndex(shot);
    readTrace(s, shot, s.shots.chan_to_display());
    s.zeros.rawLive = filledSlots_;
    windowCopy(s);
    const TraceHeader& h = s.header;
    std::string& nav = s.navText[static_cast<size_t>(shot)];
    if (hasPosition_) {
        nav = std::to_string(shot) + ' ' + h.Year + ' ' + h.Day + ' ' + h.Hour + ' ' + h.Minute +
              ' ' + h.Second + ' ' + h.CoordYText + ' ' + h.CoordXText;
        if (nav.size() > 255) nav.resize(255);
        s.shotPosition[static_cast<size_t>(shot)] = {h.CoordX, h.CoordY};
    } else {
        // No fix: no navigation row, and no point at 0 N 0 E.
        nav.clear();
        s.shotPosition[static_cast<size_t>(shot)] = {std::numeric_limits<double>::quiet_NaN(),
                                                     std::numeric_limits<double>::quiet_NaN()};
    }
}

bool XtfInput::readSingleTrace(Session& s, int shot) {
    readTrace(s, shot, s.shots.chan_to_display());
    windowCopy(s);
    return true;
}

void OPEN_XTF(Session& s, const std::string& fileName) {
    auto in = std::make_unique<XtfInput>(fileName);
    XtfInput* xtf = in.get();
    const int channel = s.shots.chan_to_display();
    xtf->readTrace(s, 1, channel);
    const XtfPing& first = xtf->readPing(1);
    const XtfChannelInfo& ci =
        xtf->info()
            .channels[static_cast<size_t>(first.channels[static_cast<size_t>(channel - 1)].number)];
    s.FullScale = ci.bytesPerSample == 1 ? (ci.unipolar ? 256 : 128) : 32768;
    const int pings = xtf->pingCount();
    const std::string note = xtf->note();
    commitInput(s, std::move(in), pings, fileName, note);
}

void openXtfFile(Session& s) {
    OPEN_XTF(s, s.InputFileName);
    selectWholeFile(s, 1);
}

} // namespace tarnix
