#pragma once
// SEG-Y output of the WSEG row: the file header block of the SEG-Y input last
// shown, then one 240-byte header and NumSamples 16-bit samples per trace, in
// big-endian or little-endian order.
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
    void settleBinaryHeader(bool bigEndian, int formatCode);

private:
    std::string path_;
    int fd_ = -1;
    std::vector<unsigned char> scratch_;
    bool settled_ = false;
};

// Creates the output (replacing Session::segyOut), writes SegyDataOffset bytes
// of the kept file header block and adds the byte count as a line of Memo2.
void OPEN_OUT_SEGY(Session& s, const std::string& path);

// Writes the current window `trace` (NumSamples samples) of shot `shot` as
// trace shot - StartShot + 1 of the output. `row` is the sequence row,
// `startSweep`/`endSweep` the time window whose length goes into the header.
void writeSegyTraceBE(Session& s, int row, int shot, int startSweep, const TraceBuffer& trace,
                      int endSweep);
void writeSegyTraceLE(Session& s, int row, int shot, int startSweep, const TraceBuffer& trace,
                      int endSweep);

// The low 16 bits of trunc(x), as written for a sample.
int16_t segySample16(Sample x);
// Coordinate as stored by the little-endian header for scaler and units, rounded
// to the nearest integer so that a coordinate read and written back is unchanged.
int32_t encodeSegyCoordinate(double value, int32_t scaler, int32_t units);

} // namespace tarnix
