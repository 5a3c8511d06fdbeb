#pragma once
// KORVA 2.0 and 0.5 input. Shots are the files' own scan numbers: shot n is
// record n - f, f the scan number of the first record, for the run and the
// single-trace read alike. Each read is one positioned read of the whole record
// into a buffer sized once; the time window goes straight into the current
// trace (there is no raw trace), every slot 0..16383 the record does not cover
// is set to 0, and nothing of an earlier record is ever shown again: a shot past
// the last record is EndOfData, one before the first an IoError.
#include "core/session.h"
#include "formats/korva_record.h"
#include "formats/read_ahead.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

class KorvaInput final : public InputFile {
public:
    // Opens read-only and reads the first record's scan header; IoError naming
    // the file when it cannot be read or holds no whole record.
    KorvaInput(std::string path, const KorvaVariant& variant);
    ~KorvaInput() override;
    KorvaInput(const KorvaInput&) = delete;
    KorvaInput& operator=(const KorvaInput&) = delete;

    const std::string& path() const { return path_; }
    const KorvaVariant& variant() const { return variant_; }
    int records() const { return records_; }
    long long leftoverBytes() const { return leftover_; }
    const KorvaHeaders::Header& firstHeader() const { return first_; }
    uint32_t firstScan() const { return korvaU32(first_.data(), korva::kScanSeq); }
    // The first record's trigger delay in samples; every record is placed by it.
    long long triggerDelay() const { return korvaU32(first_.data(), korva::kTrigDelay); }

    // The record of shot `shot` into the record buffer; its scan header becomes
    // the template of written records and its navigation text the position text.
    // A run's reads (`run`) go through a block read ahead.
    void readRecord(Session& s, int shot, bool run = false);
    // The record read last: the window from StartSweep into the current trace,
    // slot j = sample round(StartSweep x SampleRate) - trigger delay + j.
    void copyWindow(Session& s) const;

    void rewind(Session&) override { ahead_.drop(); } // every read is positioned
    // In a run that only paints (Session::runMayDefer) the window stays as
    // whole numbers (Session::deferred) until finishDeferredRead writes it.
    void readRunTrace(Session& s, int shot) override;
    void finishDeferredRead(Session& s) override;
    bool readSingleTrace(Session& s, int shot) override;
    bool singleTraceWorker() const override { return true; }
    const std::string& posString() const override { return posString_; }
    std::optional<std::string> navRow(const Session&, int) const override { return posString_; }
    // What the open left out or assumed (bytes after the last record, a kept rate).
    std::string note() const override { return note_; }
    void setNote(std::string note) { note_ = std::move(note); }

private:
    // `shot` < 0: the first record's header, read at opening.
    void readBytes(long long pos, unsigned char* dst, long long n, int shot);
    // Record sample k0 + j goes to slot j for lo <= j < hi; the other slots are 0.
    struct Window {
        long long k0 = 0;
        int lo = 0, hi = 0;
    };
    Window window(const Session& s) const;
    // whole_[j] := slot j's value for j < hi.
    void wholeWindow(const Window& w) const;
    // The current trace from whole_, zeros above hi except where vouched for.
    void storeWindow(Session& s, const Window& w, WindowZeros::Range vouched) const;

    std::string path_;
    KorvaVariant variant_;
    int fd_ = -1;
    int records_ = 0;
    long long leftover_ = 0;
    KorvaHeaders::Header first_{};
    std::vector<unsigned char> record_;
    ReadAhead ahead_{false};
    const unsigned char* recordBytes_ = nullptr; // the record read last, until the next read
    mutable std::vector<int32_t> whole_;         // by slot
    mutable bool deferred_ = false; // whole_ holds a run read not yet in the current trace
    Window deferredWindow_;
    std::string posString_;
    std::string note_;
};

// The KORVA input of the session, or null when the input is not KORVA.
KorvaInput* korvaInput(Session& s);

// OPEN_KORVA20 and OPEN_KORVA05, the format table's open routines: open
// `InputFileName`, take the sampling state from the first record (SampleRate
// from its frequency index, Delay from its trigger delay, FullScale from its
// bits per sample), NumTraces = records + 1, fill the header grid and prepare
// Select Shots over every record (StartShot f, EndShot f + NumTraces - 1).
// A file that cannot give a sampling rate is refused, naming the index; on any
// failure the session is left without an input.
void OPEN_KORVA20(Session& s);
void OPEN_KORVA05(Session& s);
void openKorva(Session& s, const KorvaVariant& variant);

} // namespace tarnix
