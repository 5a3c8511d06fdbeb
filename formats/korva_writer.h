#pragma once
// KORVA 2.0 output of the sequence's KORVA writer row: one 33056-byte record per shot,
// appended. A record starts from the scan header of the record read last (or
// the template a SEG-Y read filled) and carries its navigation text and the
// bytes no one interprets.
//
// Written records come back at the same times: the current trace's slot j lies
// at StartSweep + j / SampleRate, and the trigger delay is chosen so that the
// reader, with the same window, puts every sample back into its slot. With a
// window from time 0 slot 0 has no place (samples count from 1) and is lost.
#include "core/session.h"

#include <string>
#include <vector>

namespace tarnix {

class KorvaOutput final : public OutputFile {
public:
    // Creates (or empties) the file; throws IoError naming it.
    explicit KorvaOutput(std::string path);
    ~KorvaOutput() override;
    KorvaOutput(const KorvaOutput&) = delete;
    KorvaOutput& operator=(const KorvaOutput&) = delete;
    void close() override;
    const std::string& path() const { return path_; }
    int records() const { return records_; }
    // The record being built, 33056 bytes.
    std::vector<unsigned char>& record() { return record_; }
    // Appends record().
    void append();

private:
    std::string path_;
    int fd_ = -1;
    int records_ = 0;
    std::vector<unsigned char> record_;
};

// Creates the output, replacing Session::korvaOut.
void OPEN_OUT_KORVA2(Session& s, const std::string& path);

// Where a window from `startSweep` goes in a written record. The reader puts
// sample k into slot k - (round(StartSweep x SampleRate) - trigDelay), so with
// r = round(StartSweep x SampleRate), trigDelay r - 1 stores slot k - 1 as
// sample k; for r = 0 (no delay below 0) slot k is sample k and slot 0 is lost.
struct KorvaWriteLayout {
    uint32_t trigDelay; // samples
    int firstSlot;      // the slot stored as sample 1
};
KorvaWriteLayout korvaWriteLayout(int startSweep, long double sampleRate);

// Appends the record of shot `shot` (its scan number) to the open output:
// samples 1 to 16383 from `trace`, each clamped to +-FullScale and to the
// 16-bit range (a NaN counts as 0), the clamped value written back into the
// trace. Throws IoError when no output is open or the write fails.
void writeKorva2Record(Session& s, int shot, int startSweep, TraceBuffer& trace);

} // namespace tarnix
