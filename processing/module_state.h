#pragma once
// State the processing modules keep between traces and the scratch space they
// work in. One object lives beside the session for the whole program; every
// buffer is sized once here so that no module allocates per trace, and holds
// no memory until a row first writes it.
#include "core/trace.h"
#include "core/zeroed_buffer.h"
#include "formats/pick_file.h"
#include "processing/modules/correlation.h"
#include "processing/neighbours.h"

#include <array>
#include <complex>
#include <memory>
#include <string>
#include <vector>

namespace tarnix {

// One designed FIR filter of a sequence row.
struct FilterStore {
    std::vector<long double> coef; // c[1..L'] in slots 0..L'-1, L' odd
    bool designed = false;
};

// A member built on first use: the automatic static's transform tables are
// large and most sequences have no such row.
template <class T> class OnFirstUse {
public:
    T* operator->() {
        if (!p_) p_ = std::make_unique<T>();
        return p_.get();
    }

private:
    std::unique_ptr<T> p_;
};

struct ModuleState {
    static constexpr int kFilterRows = 10;     // band-pass rows 1..10 hold a filter
    static constexpr int kFftSize = 16384;     // largest transform of a sequence row
    static constexpr int kCorrFftSize = 32768; // autocorrelation by transform

    ModuleState()
        : b(kTraceSlots), xd(2 * kTraceSlots + 64), yd(kTraceSlots + 64), cd(kTraceSlots),
          half(kTraceSlots / 2 + 1), fftIn(kFftSize), fftOut(kFftSize), corrA(kCorrFftSize),
          corrB(kCorrFftSize), r(kTraceSlots), g(kTraceSlots), f(kTraceSlots), d(kTraceSlots),
          lev(kTraceSlots), inverse(kTraceSlots + 1), work(kTraceSlots + 64),
          mirror(kTraceSlots + 64), astmMean(kTraceSlots), astmCorrelation(kTraceSlots),
          astmLags(kTraceSlots) {
        for (int c = 1; c <= kTraceSlots; ++c) inverse[c] = 1.0 / c;
    }

    // --- band-pass filter and autocorrelation filter ---
    std::array<FilterStore, kFilterRows + 1> filters; // index = row number
    // Redesign flag shared by the two filters; the worker sets it (true at start).
    bool filterRedesign = true;
    // Filter type of the last band-pass row decoded (0 band-pass .. 3 notch); the
    // autocorrelation filter uses it.
    int fltmType = 0;

    // Picks of the rows that read a pick file, read on a run's first trace.
    PickTable picks;
    // The traces after the current one, for the rows that need them.
    NeighbourReader neighbours;
    long long workerCalls = 0; // ProcessTrace calls so far

    // --- scratch, overwritten by every call ---
    ZeroedBuffer<long double> b;                      // second trace-sized work array
    ZeroedBuffer<double> xd, yd, cd;                  // fast convolution
    ZeroedBuffer<double> half;                        // half filter h[1..M]
    ZeroedBuffer<std::complex<double>> fftIn, fftOut; // kFftSize each
    ZeroedBuffer<std::complex<double>> corrA, corrB;  // kCorrFftSize each
    ZeroedBuffer<long double> r, g, f, d, lev;        // deconvolution
    std::vector<double> inverse;                      // 1 / c, the gain control's window counts
    ZeroedBuffer<double> work; // the trace in double for the extended-precision entry points

    // The current trace in double precision while rows that work in double
    // follow one another (the worker's; see Processor::ProcessTrace): slots
    // [0, mirrorValid) hold the trace's values, of which [0, mirrorDirty) are
    // newer than the current trace.
    ZeroedBuffer<double> mirror;
    int mirrorValid = 0, mirrorDirty = 0;

    // The automatic static's transform and norm of the mean trace, kept while
    // the mean's first astmMeanN slots (copied to astmMean) stay the same: seen
    // byte for byte, or taken on trust while the caller's version count of the
    // mean stays astmMeanVersion.
    ZeroedBuffer<Sample> astmMean;
    OnFirstUse<modules::RealCorrelation> astmTransform;
    double astmMeanNorm2 = 0;
    int astmMeanN = -1;
    long long astmMeanVersion = -1;
    ZeroedBuffer<double> astmCorrelation; // the sums by lag, from the transform
    ZeroedBuffer<int> astmLags;           // lags summed directly

    // Reflection-coefficient rows already noted in this run's report (by row number).
    std::array<bool, PickTable::kRows + 1> rccmNoted{};
    // Lines the run's report adds after its completion line; cleared when a run starts.
    std::vector<std::string> notes;
};

} // namespace tarnix
