#pragma once
// SEG-Y input: 16-bit traces in big-endian order (with interleaved channels)
// or little-endian order, the trace header record, sampling, navigation values,
// the textual header display and the trace count.
//
// Every read checks what it reads: a trace past the end of the file is
// EndOfData, a short trace or an unusable sample count is IoError, each naming
// the file and the trace; a failed read leaves the session as it was.
#include "core/session.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

class SegyInput final : public InputFile {
public:
    // Opens read-only; throws IoError naming the file.
    explicit SegyInput(std::string path);
    ~SegyInput() override;
    SegyInput(const SegyInput&) = delete;
    SegyInput& operator=(const SegyInput&) = delete;

    const std::string& path() const { return path_; }
    long long fileSize() const { return size_; }

    // Some writers put a sample count into every trace header that no trace
    // length can match while the binary header's count tiles the file exactly.
    // Decides from the first trace header (in the byte order of `opt`) whether
    // the binary header's count is used instead; returns the note to show, or
    // empty when the trace headers are used.
    std::string checkSampleCount(const SegyOptions& opt);
    // The binary header's count when it replaces the trace headers', else 0.
    int binaryCountOverride() const { return nsOverride_; }
    // The note of checkSampleCount, empty when the trace headers are used.
    const std::string& sampleCountNote() const { return note_; }
    // Samples per trace used to locate traces: the override, or the sample
    // count of the trace read last from this file (the first trace's before
    // any read, so the first read is located with this file's own count).
    int samplesPerTrace() const;

    // The trace read of the byte order chosen in the options window: big-endian
    // with the channel settings, or little-endian. Fills the trace header
    // record, sampling, navigation values, `Delay` and the raw input trace.
    void readTrace(Session& s, int shot);
    void readBigEndian(Session& s, int shot, int nchan, int channel);
    void readLittleEndian(Session& s, int shot);

    // The first n bytes of the file (n at most 3600).
    void readFileHeader(unsigned char* dst, int n);
    // The 240 bytes of trace `shot`'s header at byte `pos`, and nothing else;
    // EndOfData when the file ends before them.
    void readTraceHeader(long long pos, int shot, unsigned char* dst);

    void rewind(Session& s) override;
    // readTrace, window copy, the shot's navigation text and shot position.
    void readRunTrace(Session& s, int shot) override;
    // readTrace and window copy.
    bool readSingleTrace(Session& s, int shot) override;
    // Field record number, date, time and coordinates, each followed by a blank.
    std::string posString() const override { return posString_; }
    // The shot number, date, time and coordinates joined by single blanks.
    std::optional<std::string> navRow(const Session& s, int shot) const override;

private:
    void read(Session& s, int shot, bool bigEndian, int nchan, int channel);
    void readBytes(long long pos, unsigned char* dst, long long n, int shot, const char* what);

    std::string path_;
    int fd_ = -1;
    long long size_ = 0;
    int nsOverride_ = 0;
    int lastNs_ = 0;
    int filledSlots_ = kReadSlots;      // raw slots that may hold samples of an earlier trace
    std::vector<unsigned char> buffer_; // trace header and samples of one trace
    std::vector<int32_t> whole_;        // the samples as integers
    std::string posString_;
    std::string note_;
};

// Navigation values of a trace header record (host layout) into `h`: the
// field record number, date and time texts and the scaled coordinates, which
// keep h's previous values when the record's coordinate units are not 1 or 2.
// `xFactor`/`yFactor` are the options window's extra coordinate factors.
void decodeSegyNavigation(const std::array<unsigned char, 240>& rec, bool bigEndian,
                          long long xFactor, long long yFactor, TraceHeader& h);

// The navigation line of a shot: the shot number, `Year` to `Second` and the
// coordinate texts of `h`, latitude first, joined by single blanks.
std::string segyNavLine(int shot, const TraceHeader& h);

// The SEG-Y input of the session, or null when the input is not SEG-Y.
SegyInput* segyInput(Session& s);

// OPEN_SEGY: opens `fileName` as the SEG-Y input and reads trace `shot`
// (counted from 0); shows the textual header for ".SEG"/".SGY" names. On a
// failure the input is closed again and the error rethrown.
void OPEN_SEGY(Session& s, const std::string& fileName, int shot);

// Trace count: trunc((file size - 3600) / ((240 + 2 ns) nchan)) + 1.
int segyTraceCount(Session& s);

// Textual header display: reads the 3600-byte file header block into the
// block kept for output and shows it in `SEGYmemo` as 45 lines.
void showSegyTextualHeader(Session& s);

// The header listing of the current trace header record into `SEGYmemo`.
void showSegyHeaderListing(Session& s);

// Multiping delay: trunc(depth 1.3333 / T) T with T = ns / SampleRate (ms).
double multipingDelay(int depthMetres, int ns, long double sampleRate);

} // namespace tarnix
