#pragma once
// SEG-Y output of the WSEG row: the file header block of the SEG-Y input last
// shown, then one 240-byte header and NumSamples samples per trace, 16-bit
// integers or IEEE floats, in big-endian or little-endian order.
//
// The run loop calls OPEN_OUT_SEGY at the first shot (and sets
// OutputSegyOpen), then writeSegyTraceBE or writeSegyTraceLE for every shot;
// RESET_FILES closes the file through Session::segyOut.
#include "core/session.h"

#include <string>
#include <vector>

namespace tarnix {

class SegyOutput final : public OutputFile {
public:
    // Creates (or empties) the file; throws IoError naming it.
    explicit SegyOutput(std::string path);
    ~SegyOutput() override;
    SegyOutput(const SegyOutput&) = delete;
    SegyOutput& operator=(const SegyOutput&) = delete;
    void close() override;
    const std::string& path() const { return path_; }
    void writeAt(long long pos, const unsigned char* data, long long n);
    // Scratch bytes for one trace, allocated once.
    std::vector<unsigned char>& scratch() { return scratch_; }
    // The copied binary header says what the traces hold: the sample format
    // code in the order the traces are written, and no extended textual
    // headers (none are copied). Done with the first trace.
    void setHeaderBytes(int n) { headerBytes_ = n; }
    // Refuses (IoError) a trace of another format than the first one's.
    void settleBinaryHeader(bool bigEndian, int formatCode);

private:
    std::string path_;
    int fd_ = -1;
    std::vector<unsigned char> scratch_;
    int formatCode_ = 0;  // of the traces written so far
    int headerBytes_ = 0; // of the file header block copied
};

// Creates the output (replacing Session::segyOut), writes SegyDataOffset bytes
// of the kept file header block and adds the byte count as a line of Memo2.
void OPEN_OUT_SEGY(Session& s, const std::string& path);

// Sample format of a SEG-Y output: 16-bit integers (format 3, as sequence files
// always wrote) or IEEE floats (format 5), which keep processed floats.
enum class SegyOutSamples { Int16, Ieee };

// Writes the current window `trace` (NumSamples samples) of shot `shot` as
// trace shot - StartShot + 1 of the output. `row` is the sequence row,
// `startSweep`/`endSweep` the time window whose length goes into the header.
// All traces of one output must have the same sample format.
void writeSegyTraceBE(Session& s, int row, int shot, int startSweep, const TraceBuffer& trace,
                      int endSweep, SegyOutSamples samples = SegyOutSamples::Int16);
void writeSegyTraceLE(Session& s, int row, int shot, int startSweep, const TraceBuffer& trace,
                      int endSweep, SegyOutSamples samples = SegyOutSamples::Int16);

// The low 16 bits of trunc(x), as written for a sample.
int16_t segySample16(Sample x);
// The IEEE float bits of x, rounded to nearest; beyond the float range the
// largest float of its sign, NaN 0.
uint32_t segySampleIeee(Sample x);
// Coordinate as stored by the little-endian header for scaler and units, rounded
// to the nearest integer so that a coordinate read and written back is unchanged.
int32_t encodeSegyCoordinate(double value, int32_t scaler, int32_t units);

} // namespace tarnix
