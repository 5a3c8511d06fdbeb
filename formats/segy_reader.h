#pragma once
// SEG-Y input: traces of 16-bit, 32-bit or 8-bit integers or IBM or IEEE
// floats, in big-endian order (with interleaved channels) or little-endian
// order, the trace header record, sampling, navigation values,
// the textual header display and the trace count.
//
// Every read checks what it reads: a trace past the end of the file is
// EndOfData, a short trace or an unusable sample count is IoError, each naming
// the file and the trace; a failed read leaves the session as it was.
#include "core/session.h"
#include "formats/read_ahead.h"
#include "formats/segy_samples.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix {

// What the headers of a SEG-Y file say about its layout, decided at opening.
struct SegyLayout {
    bool bigEndian = true;           // the order the headers make sense in
    bool orderDetected = false;      // decided by detection, not chosen
    int formatCode = segyfmt::Int16; // the code the samples are read with
    int headerCode = segyfmt::Int16; // the binary header's code
    bool formatChosen = false;       // the Data Format chosen replaces the header's
    int extendedHeaders = 0;         // 3200-byte extended textual headers skipped
    int nsOverride = 0;              // the binary header's count replacing the traces'
    int binaryInterval = 0;          // microseconds, for traces whose header has none
    std::vector<std::string> notes;  // what the open command reports
    int sampleBytes() const { return segySampleBytes(formatCode); }
    long long extendedBytes() const { return 3200LL * extendedHeaders; }
};

// True when a file header (3600 bytes) and the first trace header (240 bytes,
// or null) make more sense big-endian than little-endian: a known format code,
// positive sample intervals. Ties go to big-endian, the standard order.
bool segyHeadersLookBigEndian(const unsigned char* fileHeader, const unsigned char* traceHeader);

// A count of -1 extended textual headers runs up to the one holding the
// end-of-headers stanza: true when a 3200-byte header holds it (ASCII or EBCDIC).
bool segyHoldsEndText(const unsigned char* block);

class SegyInput final : public InputFile {
public:
    // Opens read-only; throws IoError naming the file.
    explicit SegyInput(std::string path);
    ~SegyInput() override;
    SegyInput(const SegyInput&) = delete;
    SegyInput& operator=(const SegyInput&) = delete;

    const std::string& path() const { return path_; }
    long long fileSize() const { return size_; }

    // Reads the file header and the first trace header and decides the layout:
    // byte order (detected under Detect), sample format (the header's code
    // or the one chosen), extended textual headers, and the sample count when
    // the trace headers' cannot fit the file while the binary header's fits it
    // exactly. Throws IoError with the reason when the file cannot be read so.
    void probe(const SegyOptions& opt);
    const SegyLayout& layout() const { return layout_; }
    // Byte order of the reads: the one chosen in the options window, or the
    // detected one.
    bool readsBigEndian(const SegyOptions& opt) const;
    // Samples per trace used to locate traces: the override, or the sample
    // count of the trace read last from this file (the first trace's before
    // any read, so the first read is located with this file's own count).
    int samplesPerTrace() const;
    // Bytes of one trace as the traces are located (header and samples).
    long long traceBytes() const;
    // Samples of the trace read last.
    int samplesRead() const { return samplesRead_; }

    // The trace read of the byte order chosen in the options window: big-endian
    // with the channel settings, or little-endian. Fills the trace header
    // record, sampling, navigation values, `Delay` and the raw input trace.
    void readTrace(Session& s, int shot);
    void readBigEndian(Session& s, int shot, int nchan, int channel);
    void readLittleEndian(Session& s, int shot);

    // The first n bytes of the file.
    void readFileHeader(unsigned char* dst, int n);
    // The 240 bytes of trace `shot`'s header at byte `pos`, and nothing else;
    // EndOfData when the file ends before them.
    void readTraceHeader(long long pos, int shot, unsigned char* dst);
    // n bytes at `pos` in one positioned read (repeated only when the system
    // returns less); IoError naming trace `shot` and `what` when the file ends first.
    void readBytes(long long pos, unsigned char* dst, long long n, int shot, const char* what);

    void rewind(Session& s) override;
    // readTrace, window copy, the shot's navigation text and shot position.
    void readRunTrace(Session& s, int shot) override;
    // readTrace and window copy.
    bool readSingleTrace(Session& s, int shot) override;
    void finishDeferredRead(Session& s) override;
    // Field record number, date, time and coordinates, each followed by a blank.
    const std::string& posString() const override { return posString_; }
    // The shot number, date, time and coordinates joined by single blanks.
    std::optional<std::string> navRow(const Session& s, int shot) const override;

private:
    void read(Session& s, int shot, bool bigEndian, int nchan, int channel);

    std::string path_;
    int fd_ = -1;
    long long size_ = 0;
    SegyLayout layout_;
    int lastNs_ = 0;
    int samplesRead_ = 0;
    int filledSlots_ = kReadSlots;      // raw slots that may hold samples of an earlier trace
    std::vector<unsigned char> buffer_; // trace header and samples of one trace
    // Run reads go through a block read ahead; other reads go to the file.
    ReadAhead ahead_;
    bool readAhead_ = false;
    SegySampleDecoder decoder_;
    // A run read that kept its samples as whole numbers: the decoder's buffer
    // and the trace's sample count.
    const int32_t* deferredWhole_ = nullptr;
    const double* deferredDoubles_ = nullptr;
    int deferredNs_ = 0;
    std::string posString_;
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

// The binary header's sample format code of a file, read in the byte order the
// options give (detected under Detect); 0 when the file cannot be read.
int segyHeaderFormatCode(const std::string& path, const SegyOptions& opt);

// FullScale for a file's sample format: 32768 for 16-bit samples (128 for
// 8-bit, as for other 8-bit inputs); for floats and 32-bit integers the largest
// absolute sample of the first trace (raw slots 0..ns-1) rounded up, at least
// 1, with FullScaleFromData set and a line in Memo2 saying so.
void setSegyFullScale(Session& s, int formatCode, int ns);

// The layout as the open command reports it after "open": " (byte order:
// detect, big-endian; IBM float (format 1); ...)", empty when there is
// nothing to say.
std::string segyLayoutText(const SegyLayout& l);

// OPEN_SEGY: opens `fileName` as the SEG-Y input and reads trace `shot`
// (counted from 0); shows the textual header for ".SEG"/".SGY" names. On a
// failure the input is closed again and the error rethrown.
void OPEN_SEGY(Session& s, const std::string& fileName, int shot);

// Trace count: trunc((file size - 3600 - extended headers) / (L nchan)) + 1,
// L = 240 + ns x bytes per sample.
int segyTraceCount(Session& s);

// Textual header display: reads the 3600-byte file header block into the
// block kept for output and shows it in `SEGYmemo` as 45 lines.
void showSegyTextualHeader(Session& s);

// The header listing of the current trace header record into `SEGYmemo`.
void showSegyHeaderListing(Session& s);

// Multiping delay: trunc(depth 1.3333 / T) T with T = ns / SampleRate (ms).
double multipingDelay(int depthMetres, int ns, long double sampleRate);

} // namespace tarnix
