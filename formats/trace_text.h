#pragma once
// The "Save ASCII" layout of one trace: a line per sample, the time in ms and the
// value, both with 8 decimals, right-aligned in at least 3 characters.
#include "core/session.h"
#include "core/trace.h"

#include <fstream>
#include <ostream>
#include <string>

namespace tarnix {

void writeTraceAscii(std::ostream& out, const TraceBuffer& trace, int numSamples,
                     long double sampleRate);
// Creates (overwrites) `path`; throws IoError when it cannot be written.
void saveTraceAscii(const std::string& path, const TraceBuffer& trace, int numSamples,
                    long double sampleRate);

// The ASCII output of a run: two count lines, then every trace's time and
// value lines, one trace after the other.
class AsciiOutput final : public OutputFile {
public:
    // Creates (or empties) the file and writes the sample count and the first
    // record number; throws IoError naming it.
    AsciiOutput(std::string path, int numSamples, long long firstRecord);
    void writeTrace(const TraceBuffer& trace, int numSamples, long double sampleRate);
    void close() override;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::ofstream out_;
};

// File > Export Ascii: the window of the selected shots StartShot..EndShot-1
// of the open KORVA 2.0 input (at most 512), one line per sample (at most
// 16383), each value with 8 decimals followed by ",". Reads through the input
// into the current trace. Throws Error when the input is not a ".d02"/".D02"
// file, IoError when the file cannot be written.
struct AsciiExport {
    int columns = 0, rows = 0;
    std::string note; // shots left out
};
AsciiExport exportAscii(Session& s, const std::string& path);

} // namespace tarnix
