#include "formats/raw_binary_reader.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "core/extended.h"
#include "formats/segy_reader.h"
#include "formats/segy_samples.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnix {

BinaryInput::BinaryInput(std::string path, int samples, int bits, int channels)
    : path_(std::move(path)), samples_(samples), bytes_(bits / 8), channels_(channels) {
    if (samples < 1 || samples > kReadSlots)
        throw IoError(path_ + ": " + std::to_string(samples) +
                      " samples per sweep; a trace holds 1 to " + std::to_string(kReadSlots));
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw IoError(path_ + ": " + std::to_string(bits) +
                      " bits per sample; the file can hold 8, 16, 24 or 32");
    if (channels < 1 || channels > 24)
        throw IoError(path_ + ": " + std::to_string(channels) + " channels; 1 to 24 can be read");
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw IoError("Cannot open " + path_ + ": " + std::strerror(errno));
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
        const int e = errno;
        ::close(fd_);
        throw IoError("Cannot read " + path_ + ": " + std::strerror(e));
    }
    size_ = st.st_size;
    const long long shotBytes = static_cast<long long>(samples_) * bytes_ * channels_;
    if (size_ % shotBytes != 0)
        note_ = std::to_string(size_ % shotBytes) + " bytes after the last whole shot (" +
                std::to_string(size_ / shotBytes) + ") are left out";
    buffer_.resize(static_cast<size_t>(samples_) * bytes_);
    whole_.resize(static_cast<size_t>(samples_));
}

BinaryInput::~BinaryInput() {
    if (fd_ >= 0) ::close(fd_);
}

void BinaryInput::readTrace(Session& s, long long n, int channel) {
    if (channel < 1 || channel > channels_)
        throw IoError(path_ + ": channel " + std::to_string(channel) + " is not in a file of " +
                      std::to_string(channels_) + " channel" + (channels_ == 1 ? "" : "s"));
    if (n < 0) throw IoError(path_ + ": there is no trace " + std::to_string(n));
    const long long len = static_cast<long long>(samples_) * bytes_;
    const long long pos = len * (n * channels_ + channel - 1);
    if (pos + len > size_)
        throw EndOfData("End of data: " + path_ + ": trace " + std::to_string(n) + " of channel " +
                        std::to_string(channel) + " lies past the end of the file (" +
                        std::to_string(shots()) + " whole shots)");
    long long done = 0;
    while (done < len) {
        const ssize_t r = ::pread(fd_, buffer_.data() + done, static_cast<size_t>(len - done),
                                  static_cast<off_t>(pos + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0)
            throw IoError("Cannot read " + path_ + " (trace " + std::to_string(n) +
                          "): " + (r < 0 ? std::strerror(errno) : "the file got shorter"));
        done += r;
    }
    const unsigned char* p = buffer_.data();
    for (int i = 0; i < samples_; ++i, p += bytes_) {
        int32_t v;
        switch (bytes_) {
        case 1:
            v = static_cast<int32_t>(p[0]) - 128;
            break;
        case 2:
            v = getI16LE(p);
            break;
        case 3:
            v = static_cast<int32_t>(static_cast<uint32_t>(p[0]) |
                                     static_cast<uint32_t>(p[1]) << 8 |
                                     static_cast<uint32_t>(p[2]) << 16);
            if (v & 0x800000) v -= 0x1000000;
            break;
        default:
            v = getI32LE(p);
            break;
        }
        whole_[static_cast<size_t>(i)] = v;
    }
    wholeToSamples(whole_.data(), samples_, s.raw.data());
    // Raw keeps nothing of a longer trace read before.
    std::fill(s.raw.begin() + samples_, s.raw.begin() + kReadSlots, Sample(0));
    s.zeros.rawLive = samples_;
    s.header.ShotNumber = static_cast<int32_t>(n);
    s.header.Delay = 0;
}

void BinaryInput::readRunTrace(Session& s, int shot) {
    Session::checkShotIndex(shot);
    readTrace(s, shot, s.shots.chan_to_display());
    windowCopy(s);
}

bool BinaryInput::readSingleTrace(Session& s, int shot) {
    readRunTrace(s, shot);
    return true;
}

void OPEN_BIN(Session& s) {
    const BinaryOptions& o = s.binary;
    const int bits = o.bits_per_sample();
    auto in =
        std::make_unique<BinaryInput>(s.InputFileName, o.samples_per_sweep(), bits, o.channels());
    const long long shots = in->shots();
    if (shots < 1)
        throw IoError(s.InputFileName + ": " + std::to_string(in->fileBytes()) +
                      " bytes hold no whole shot of " + std::to_string(o.channels()) + " x " +
                      std::to_string(o.samples_per_sweep()) + " samples of " +
                      std::to_string(bits) + " bits");
    if (shots > s.shots.EndShot.max())
        throw IoError(s.InputFileName + ": " + std::to_string(shots) +
                      " shots are more than can be selected");
    const int channel = std::min(s.shots.chan_to_display(), o.channels());
    s.SampleRate = static_cast<long double>(o.Sampling_frequency()) / 1000;
    in->readTrace(s, 0, channel);
    setSegyFullScale(s,
                     bits == 8    ? segyfmt::Int8
                     : bits == 16 ? segyfmt::Int16
                                  : segyfmt::Int32,
                     o.samples_per_sweep());
    const std::string note = in->note();
    commitInput(s, std::move(in), static_cast<int>(shots), s.InputFileName, note);
    const auto slash = s.InputFileName.find_last_of('/');
    s.shots.Label1 = "File:  " + (slash == std::string::npos ? s.InputFileName
                                                             : s.InputFileName.substr(slash + 1));
    s.shots.Label2 = "Total: " + std::to_string(s.NumTraces);
    // Shots are trace indexes from 0; the range ends after the last one.
    s.shots.StartShot.set(0);
    s.shots.EndShot.set(s.NumTraces);
}

} // namespace tarnix
