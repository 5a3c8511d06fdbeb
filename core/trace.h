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

// Samples per ms a file may give: up to 1 GHz, so that every window count
// (milliseconds up to 100000 times the rate) stays far inside 64 bits.
constexpr long double kMaxSampleRate = 1e6L;
inline bool usableSampleRate(long double rate) {
    return rate > 0 && rate <= kMaxSampleRate;
}

// What is known about zeros in the raw and current traces, so that a run's
// window copy moves only the samples a trace has. Each hint is set just before
// the copy that uses it and taken by it, so a copy started from anywhere else
// moves the whole window.
struct WindowZeros {
    struct Range {
        int from = 0, to = 0; // slots from..to-1
        bool empty() const { return from >= to; }
    };
    // Raw slots from rawLive on hold 0 (the reader that just filled raw says so).
    int rawLive = kReadSlots;
    // Current slots known to hold 0, vouched for by the run around its read only.
    Range vouched;
    // The current slots the last window copy set to 0.
    Range copied;
    // The run's: copied zeros that no row wrote over, vouched for at the next read.
    Range kept;

    // The window copy takes the hints it may use.
    struct Hints {
        int rawLive;
        Range vouched;
    };
    Hints takeForCopy() {
        Hints h{rawLive < 0 ? 0 : (rawLive > kReadSlots ? kReadSlots : rawLive), vouched};
        rawLive = kReadSlots;
        vouched = {};
        copied = {};
        return h;
    }
    // The run: around its read, then after the worker wrote slots 0..written-1.
    void beginRead() { vouched = kept; }
    void endRead() { vouched = {}; }
    void afterWorker(int written) {
        kept = copied.empty() ? Range{}
                              : Range{copied.from > written ? copied.from : written, copied.to};
        copied = {};
    }
    // Anything may have touched the trace (events were served, the run ended).
    void forget() { vouched = copied = kept = {}; }
};

// A run trace a reader kept as whole numbers of 16 bits or fewer, leaving the
// current and raw traces as they were until `finishDeferredRead`: current slot
// i is values[i] below `live` and 0 from there to `end`, the window's sample
// count. Painting a column needs no more, and converting every sample to
// extended precision cost more than the rest of an empty run. Float samples
// are kept as the doubles they are exactly instead: values is then null and
// doubles[i] is slot i for every i below `end`.
struct WholeWindow {
    const int32_t* values = nullptr;
    int live = 0, end = 0;
    const double* doubles = nullptr;
    bool held() const { return values != nullptr || doubles != nullptr; }
};

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
