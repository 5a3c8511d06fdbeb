#pragma once
// The "Save ASCII" layout of one trace: a line per sample, the time in ms and the
// value, both with 8 decimals, right-aligned in at least 3 characters.
#include "core/trace.h"

#include <ostream>
#include <string>

namespace tarnix {

void writeTraceAscii(std::ostream& out, const TraceBuffer& trace, int numSamples,
                     long double sampleRate);
// Creates (overwrites) `path`; throws IoError when it cannot be written.
void saveTraceAscii(const std::string& path, const TraceBuffer& trace, int numSamples,
                    long double sampleRate);

} // namespace tarnix
