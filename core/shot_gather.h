#pragma once
// The shot-gather store: one multi-channel shot (a SEG-2 file) held whole,
// 16384 sample rows by 72 trace columns, with the values its descriptors set.
// It lives as long as the session, so a file that does not state its sample
// interval keeps the interval of the file read before.
#include <array>
#include <cstdint>
#include <vector>

namespace tarnix {

struct ShotGather {
    static constexpr int kRows = 16384;
    static constexpr int kColumns = 72;

    // Sample j (0-based) of trace k (1-based); sized on first use.
    std::vector<double> samples;
    std::array<int32_t, kColumns + 1> channel{};  // CHANNEL_NUMBER per trace
    std::array<int32_t, kColumns + 1> rowCount{}; // samples decoded per trace
    int32_t traces = 0;                           // N
    bool bigEndian = true;
    double delay = 0;                 // DELAY, seconds
    double sampleInterval = 0.000125; // SAMPLE_INTERVAL, seconds
    double traceLength = 0;           // samples x interval of the trace read last, seconds
    // ACQUISITION_DATE and ACQUISITION_TIME of the file; 0 where it gives none.
    int32_t year = 0, dayOfYear = 0, hour = 0, minute = 0, second = 0;

    double* column(int k) {
        if (samples.empty()) samples.assign(static_cast<size_t>(kRows) * kColumns, 0.0);
        return samples.data() + static_cast<size_t>(k - 1) * kRows;
    }
    const double* column(int k) const {
        return samples.empty() ? nullptr : samples.data() + static_cast<size_t>(k - 1) * kRows;
    }
};

} // namespace tarnix
