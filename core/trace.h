#pragma once
// The trace store: sample buffers and the header values of the trace last read.
#include <array>
#include <cstdint>
#include <string>

namespace tarnix {

using Sample = long double; // 80-bit extended on x86-64

constexpr int kTraceSlots = 32766;    // slots 0..32765
constexpr int kReadSlots = 16384;     // readers fill slots 0..16383 at most
constexpr int kMaxRunSamples = 16383; // a run processes at most this many samples
constexpr int kMaxShot = 40000;       // per-shot tables end here
constexpr int kShotTableSize = kMaxShot + 1;

using TraceBuffer = std::array<Sample, kTraceSlots>;

// Values of the trace last read, filled by the format readers.
struct TraceHeader {
    int32_t ShotNumber = 0;
    std::string Year, Day, Hour, Minute, Second;
    double CoordY = 0; // latitude or northing, scaler applied
    double CoordX = 0; // longitude or easting, scaler applied
    std::string CoordYText, CoordXText;
    double Delay = 0; // ms, time of raw sample 0
};

} // namespace tarnix
