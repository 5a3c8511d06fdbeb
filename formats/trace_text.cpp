#include "formats/trace_text.h"

#include "core/error.h"
#include "core/numtext.h"

#include <algorithm>
#include <fstream>

namespace tarnix {

void writeTraceAscii(std::ostream& out, const TraceBuffer& trace, int numSamples,
                     long double sampleRate) {
    const int n = std::min(numSamples, kTraceSlots);
    for (int i = 1; i <= n; ++i) {
        // A zero rate has no time axis; the sample number stands in for it.
        long double t = sampleRate != 0 ? i / sampleRate : static_cast<long double>(i);
        out << fixedText(t, 8, 3) << ' ' << fixedText(trace[i - 1], 8, 3) << '\n';
    }
}

void saveTraceAscii(const std::string& path, const TraceBuffer& trace, int numSamples,
                    long double sampleRate) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create " + path);
    writeTraceAscii(out, trace, numSamples, sampleRate);
    out.close();
    if (!out) throw IoError("Cannot write " + path);
}

} // namespace tarnix
