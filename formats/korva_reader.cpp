#include "formats/korva_reader.h"

#include "core/byte_order.h"
#include "core/error.h"
#include "core/extended.h"
#include "core/numtext.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnix {

namespace {

std::string scanName(int shot) {
    return "scan " + std::to_string(shot);
}

} // namespace

KorvaInput::KorvaInput(std::string path, const KorvaVariant& variant)
    : path_(std::move(path)), variant_(variant), record_(static_cast<size_t>(variant.recordBytes)),
      whole_(kReadSlots) {
    fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw IoError("Cannot open " + path_ + ": " + std::strerror(errno));
    try {
        struct stat st {};
        if (::fstat(fd_, &st) != 0)
            throw IoError("Cannot read the size of " + path_ + ": " + std::strerror(errno));
        const long long size = st.st_size;
        const long long len = variant_.recordBytes;
        if (size / len > INT32_MAX - 2)
            throw IoError(path_ + " holds more records than a session can count");
        records_ = static_cast<int>(size / len);
        leftover_ = size % len;
        if (records_ == 0)
            throw IoError(path_ + " holds " + std::to_string(size) + " bytes, less than one " +
                          variant_.name + " record (" + std::to_string(len) + " bytes)");
        readBytes(0, first_.data(), korva::kHeaderBytes, -1);
        recordBytes_ = record_.data();
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

KorvaInput::~KorvaInput() {
    ahead_.drop(); // no read of the file under way when it closes
    if (fd_ >= 0) ::close(fd_);
}

KorvaInput* korvaInput(Session& s) {
    return dynamic_cast<KorvaInput*>(s.input.get());
}

void KorvaInput::readBytes(long long pos, unsigned char* dst, long long n, int shot) {
    // The message names the scan, or the first record's header while opening.
    auto what = [&] {
        return shot < 0 ? std::string("scan header of the first record") : scanName(shot);
    };
    long long done = 0;
    while (done < n) {
        const ssize_t r =
            ::pread(fd_, dst + done, static_cast<size_t>(n - done), static_cast<off_t>(pos + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            throw IoError("Cannot read " + path_ + " (" + what() + "): " + std::strerror(errno));
        }
        if (r == 0) throw IoError(path_ + " is cut short: the file ends inside its " + what());
        done += r;
    }
}

void KorvaInput::readRecord(Session& s, int shot, bool run) {
    const long long first = firstScan();
    const long long record = static_cast<long long>(shot) - first;
    if (record < 0)
        throw IoError(path_ + ": shot " + std::to_string(shot) +
                      " lies before the first scan number of the file (" + std::to_string(first) +
                      ")");
    if (record >= records_)
        throw EndOfData("End of data: " + path_ + ": shot " + std::to_string(shot) +
                        " lies past the last record (the file holds scans " +
                        std::to_string(first) + " to " + std::to_string(first + records_ - 1) +
                        ")");
    const long long len = variant_.recordBytes;
    // A run reads its records through the block; whatever the block cannot
    // deliver is read, and reported, as a single record is.
    const unsigned char* h = run ? ahead_.bytes(fd_, record * len, len, records_ * len) : nullptr;
    if (!h) {
        readBytes(record * len, record_.data(), len, shot);
        h = record_.data();
    }
    recordBytes_ = h;

    // The record is whole: it becomes the one read last.
    // Written KORVA 2.0 records start from it, whichever variant it came from.
    std::memcpy(s.korva.record20.data(), h, korva::kHeaderBytes);
    if (variant_.is20())
        s.korva.lastSample20 = getI16LE(h + korva::kHeaderBytes + 2 * (variant_.samples - 1));
    else
        std::memcpy(s.korva.record05.data(), h, korva::kHeaderBytes);
    posString_.assign(reinterpret_cast<const char*>(h + korva::kNavText + 1),
                      std::min<size_t>(h[korva::kNavText], korva::kNavChars));
    // An empty text is this record's too, not a reason to keep the last one.
    s.positionString = posString_;
    s.header.ShotNumber = shot;
}

KorvaInput::Window KorvaInput::window(const Session& s) const {
    const long long last = variant_.samples - 1; // the record's last sample is never used
    const long long k0 = roundHalfEven(s.StartSweep() * s.SampleRate) - triggerDelay();
    // Slot j takes sample k0 + j for samples 1..last, within slots 0..16383.
    const int lo = static_cast<int>(std::clamp<long long>(1 - k0, 0, kReadSlots));
    const int hi = static_cast<int>(std::clamp<long long>(last - k0 + 1, lo, kReadSlots));
    return {k0, lo, hi};
}

void KorvaInput::wholeWindow(const Window& w) const {
    std::fill(whole_.begin(), whole_.begin() + w.lo, 0);
    if (w.hi == w.lo) return; // the window misses the record
    const unsigned char* p = recordBytes_ + korva::kHeaderBytes + 2 * (w.k0 + w.lo - 1);
    int32_t* out = whole_.data() + w.lo;
    const int count = w.hi - w.lo;
    for (int j = 0; j < count; ++j) out[j] = getI16LE(p + 2 * j);
}

void KorvaInput::storeWindow(Session& s, const Window& w, WindowZeros::Range vouched) const {
    wholeToSamples(whole_.data(), w.hi, s.current.data());
    writeWindowZeros(s, w.hi, kReadSlots, vouched);
}

void KorvaInput::copyWindow(Session& s) const {
    const Window w = window(s);
    s.deferred = {};
    s.pendingDoubles = {};
    deferred_ = false;
    const auto hints = s.zeros.takeForCopy();
    wholeWindow(w);
    storeWindow(s, w, hints.vouched);
}

void KorvaInput::readRunTrace(Session& s, int shot) {
    const size_t entry = s.shotIndex(shot);
    readRecord(s, shot, true);
    s.navText[entry] = posString_;
    if (!s.runMayDefer) {
        copyWindow(s);
        return;
    }
    // Only the painting looks at the trace before the next read: it stays as
    // whole numbers, and the current trace is written if anything else asks.
    deferredWindow_ = window(s);
    (void)s.zeros.takeForCopy(); // the current trace is not written
    wholeWindow(deferredWindow_);
    s.deferred = {whole_.data(), deferredWindow_.hi, kReadSlots};
    deferred_ = true;
}

void KorvaInput::finishDeferredRead(Session& s) {
    if (!deferred_) return;
    deferred_ = false;
    s.zeros.forget();
    storeWindow(s, deferredWindow_, {});
}

bool KorvaInput::readSingleTrace(Session& s, int shot) {
    readRecord(s, shot);
    copyWindow(s);
    return true;
}

void openKorva(Session& s, const KorvaVariant& v) {
    const std::string name = s.InputFileName;
    auto in = std::make_unique<KorvaInput>(name, v);
    const unsigned char* h = in->firstHeader().data();
    const int index = korvaU16(h, korva::kSamFreqIdx);

    // Every delay and window is a division by the rate: a file that cannot
    // give one is refused.
    long double rate = s.SampleRate;
    std::string note;
    if (const auto r = korvaIndexRate(h)) {
        if (!usableSampleRate(*r))
            throw IoError(name + ": sampling frequency index 99 takes the rate from scan_marker, " +
                          "which holds " + floatText(*r) + " kHz; the file cannot be read at it");
        rate = *r;
    } else if (rate > 0 && std::isfinite(rate)) {
        note = "sampling frequency index " + std::to_string(index) +
               " names no rate; the rate of the file opened before, " + floatText(rate) +
               " kHz, is kept";
    } else {
        throw IoError(name + ": sampling frequency index " + std::to_string(index) +
                      " names no rate (the indexes are 0 to 2, 4 to 10, 12, 13, 20, and 99 "
                      "for the rate in scan_marker)");
    }
    const long long first = in->firstScan();
    const long long traces = static_cast<long long>(in->records()) + 1;
    // Select Shots can go one past the last record.
    if (first + traces > s.shots.StartShot.max())
        throw IoError(name + ": its scan numbers run from " + std::to_string(first) + " to " +
                      std::to_string(first + traces - 2) + "; shots above " +
                      std::to_string(s.shots.StartShot.max() - 1) + " cannot be selected");
    if (in->leftoverBytes() > 0) {
        const std::string cut = std::to_string(in->leftoverBytes()) +
                                " bytes after the last whole record (" +
                                std::to_string(in->records()) + ") are left out";
        note = note.empty() ? cut : note + "; " + cut;
    }

    KorvaHeaders::Header& copy = v.is20() ? s.korva.first20 : s.korva.first05;
    copy = in->firstHeader();
    s.SampleRate = rate;
    s.header.Delay = static_cast<double>(static_cast<long double>(in->triggerDelay()) / rate);
    s.FullScale = h[korva::kBitsPerSample] == 16 ? 32767 : 128;
    s.NumTraces = static_cast<int32_t>(traces);
    // Scans past the per-shot tables keep their numbers; the tables start at the first.
    s.shotTableBase = first + traces - 2 > kMaxShot ? static_cast<int>(first) : 0;
    s.fileHeaderGrid = korvaHeaderGrid(copy.data(), rate);
    s.Edit2 = "Input File:" + name + " open" + (note.empty() ? "" : " (" + note + ")");

    const auto slash = name.find_last_of('/');
    s.shots.Label1 = "File:  " + (slash == std::string::npos ? name : name.substr(slash + 1));
    s.shots.Label2 = "Total: " + std::to_string(s.NumTraces);
    s.shots.StartShot.set(first);
    s.shots.EndShot.set(first + s.NumTraces - 1);
    in->setNote(note);
    s.input = std::move(in);
    s.InputOpen = true;
}

void OPEN_KORVA20(Session& s) {
    openKorva(s, kKorva20);
}

void OPEN_KORVA05(Session& s) {
    openKorva(s, kKorva05);
}

} // namespace tarnix
