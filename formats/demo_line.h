#pragma once
// The built-in demo line: a synthetic single-channel marine profile written as a
// big-endian SEG-Y file, so that a new user sees a processed profile at once and
// benchmarks have a realistic line of any size.
#include <string>

namespace tarnix {

struct DemoLineOptions {
    int shots = 1200;
    int samples = 2500;  // per trace
    int intervalUs = 50; // sample interval
    int delayMs = 15;    // recording delay
    unsigned seed = 20261208;
};

// Writes the line to `path` (ASCII textual header, 16-bit big-endian samples,
// coordinates in seconds of arc with scaler -100). Throws IoError.
void writeDemoLine(const std::string& path, const DemoLineOptions& opt = {});

// A path for the demo line in the user's cache (created when missing or when
// its size does not match the options).
std::string demoLinePath(const DemoLineOptions& opt = {});

} // namespace tarnix
