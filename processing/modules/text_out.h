#pragma once
// The run's text output of processed traces: time/value lines per sample.
#include "core/session.h"

#include <string>

namespace tarnix::modules {

// On the run's first shot creates `path` with its two count lines (n and
// `firstRecord`), replacing Session::asciiOut; then appends the trace's n
// lines at `rate` samples per ms. An empty path or a rate that is not above 0
// is refused before anything is created.
void writeTextTrace(Session& s, const std::string& path, long long firstRecord, bool firstShot,
                    int n, long double rate);

} // namespace tarnix::modules
