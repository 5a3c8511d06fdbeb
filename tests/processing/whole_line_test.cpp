// The benchmark's sequence (DBAS, FLTM band-pass 128 Hamming, AGCM 129) run over
// a SEG-Y line whose time window reaches past the recorded samples: the run's
// traces agree with the direct extended-precision sums, and with the same shot
// read and processed alone (which copies the whole window), so the zeros above
// the samples are there on every trace, also after FLTM wrote its tail on them.
#include "core/session.h"
#include "formats/file_open.h"
#include "processing/module_state.h"
#include "processing/modules/fir.h"
#include "processing/modules/gain.h"
#include "processing/processor.h"
#include "processing/sequence_file.h"
#include "support/segy_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace tarnix;

namespace {

constexpr int kRecorded = 700; // samples per trace in the file
constexpr int kWindow = 900;   // samples in the time window (50 us sampling, 45 ms)
constexpr int kTraces = 6;

class TraceKeeper : public RunHooks {
public:
    void paintColumn(int, const TraceBuffer& t, int n) override {
        traces.emplace_back(t.begin(), t.begin() + std::max(n, 0));
    }
    std::vector<std::vector<long double>> traces;
};

int16_t sampleOf(int trace, int i) {
    // A band of frequencies with a slow swell and a quiet stretch, so that AGC
    // windows see zero samples too.
    if (i >= 300 && i < 340) return 0;
    const double v = 9000 * std::sin(0.21 * i + trace) + 4000 * std::sin(0.037 * i * (trace + 1)) +
                     1500 * std::cos(1.3 * i) + 300 * trace;
    return static_cast<int16_t>(std::lround(v));
}

// DBAS, FLTM and AGCM as written down: every sum over the whole window in
// extended precision.
std::vector<long double> direct(const std::vector<long double>& in,
                                const std::vector<long double>& c, int length, int agcWindow) {
    const int n = static_cast<int>(in.size());
    std::vector<long double> x = in;
    long double mean = 0;
    for (long double v : x) mean += v;
    mean /= n;
    for (long double& v : x) v -= mean;

    const int L = static_cast<int>(c.size());
    std::vector<long double> full(n + L, 0.0L);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < L && j < length; ++j) full[i + j] += x[i] * c[j];
    const int shift = (length + 1) / 2;
    for (int k = 0; k < n; ++k) x[k] = full[k + shift];

    int w = agcWindow % 2 == 0 ? agcWindow + 1 : agcWindow;
    const int h = w / 2, first = h + 1, last = n - h;
    long double level = 0;
    for (long double v : x) level += std::fabs(v);
    level /= n;
    std::vector<long double> y = x;
    long double a = 0;
    for (int j = first; j <= last; ++j) {
        long double sum = 0;
        int count = 0;
        for (int k = j - h; k <= j + h; ++k) {
            sum += std::fabs(x[k - 1]);
            count += x[k - 1] != 0;
        }
        a = count > 0 ? (a + sum) / count : 0;
        const long double g = a != 0 ? level / a : level;
        y[j - 1] = x[j - 1] * g;
        if (j == first)
            for (int i = 1; i < first; ++i) y[i - 1] *= g;
        if (j == last)
            for (int i = last + 1; i <= n; ++i) y[i - 1] *= g;
    }
    return y;
}

} // namespace

TEST(WholeLine, RunAgreesWithDirectSumsAndWithSingleTraceReads) {
    test::TempDir dir;
    test::SynthSegy line;
    for (int t = 0; t < kTraces; ++t) {
        test::SynthTrace& tr = line.addTrace(t + 1, kRecorded, 50);
        for (int i = 0; i < kRecorded; ++i) tr.samples[i] = sampleOf(t, i);
    }
    line.write(dir.file("line.sgy"));
    test::writeTextFile(dir.file("seq.txt"), "# Module p1 p2 p3 p4 p5 p6 \n"
                                             "1 DBAS       \n"
                                             "2 FLTM 300.00 5000.00 0 0 128  \n"
                                             "3 AGCM 129      \n");

    auto s = std::make_unique<Session>();
    openCommand(*s, dir.file("line.sgy"));
    s->StartSweep.set(0);
    s->EndSweep.set(kWindow / 20); // 20 samples per ms
    segyOptionsOk(*s);
    s->shots.StartShot.set(0);
    s->shots.EndShot.set(kTraces);
    selectShotsOk(*s);
    loadSequenceFile(s->sequence, dir.file("seq.txt"));

    Processor p(*s);
    TraceKeeper run;
    const RunResult r = p.run(run);
    ASSERT_EQ(r.end, RunEnd::Normal) << r.message;
    ASSERT_EQ(run.traces.size(), static_cast<size_t>(kTraces));

    std::vector<long double> coef;
    std::vector<double> half(kTraceSlots);
    modules::designFir(128, 0, 0, 5000, 300, s->SampleRate, coef, half.data());

    for (int t = 0; t < kTraces; ++t) {
        const std::vector<long double>& got = run.traces[t];
        ASSERT_EQ(got.size(), static_cast<size_t>(kWindow));
        std::vector<long double> in(kWindow, 0.0L);
        for (int i = 0; i < kRecorded; ++i) in[i] = sampleOf(t, i);
        const std::vector<long double> want = direct(in, coef, 128, 129);
        long double peak = 0;
        for (long double v : want) peak = std::max(peak, std::fabs(v));
        ASSERT_GT(peak, 1000);
        for (int i = 0; i < kWindow; ++i)
            ASSERT_LE(std::fabs(got[i] - want[i]), 1e-9L * peak)
                << "trace " << t << " sample " << i;

        ASSERT_TRUE(p.READ_A_TRACE(t));
        for (int i = 0; i < kWindow; ++i)
            ASSERT_EQ(got[i], s->current[i]) << "trace " << t << " sample " << i;
    }
}

TEST(WholeLine, DoubleRowsBetweenOtherRowsSeeEveryEarlierRow) {
    // DBAS, FLTM and AGCM share a double copy of the trace; ABSM, LING and
    // NORM between them work on the current trace, so the copy has to go back
    // before each of them and be read again after.
    auto s = std::make_unique<Session>();
    s->SampleRate = 20;
    s->NumSamples = 800;
    s->shots.StartShot.set(1);
    s->shots.EndShot.set(3);
    const std::vector<std::vector<std::string>> rows = {
        {"DBAS"},      {"ABSM"},       {"FLTM", "300.00", "5000.00", "0", "0", "64"},
        {"LING", "3"}, {"AGCM", "65"}, {"NORM"},
        {"DBAS"}};
    for (size_t r = 0; r < rows.size(); ++r) {
        const int row = static_cast<int>(r) + 1;
        s->sequence.cell(row, 0) = std::to_string(row);
        for (size_t c = 0; c < rows[r].size(); ++c)
            s->sequence.cell(row, static_cast<int>(c) + 1) = rows[r][c];
    }
    auto want = std::make_unique<TraceBuffer>();
    for (int i = 0; i < kTraceSlots; ++i) s->current[i] = i < 800 ? sampleOf(2, i) : (i % 7) - 3;
    *want = s->current;

    ModuleState m;
    modules::dbas(*want, 800, m);
    modules::absm(*want, 800);
    modules::fltm(*want, 3, 800, 0, true, 64, 5000, 300, 0, 20, m);
    modules::ling(*want, 800, 3, s->FullScale);
    modules::agcm(*want, 800, 65, m);
    modules::normalise(*want, 800, 0, s->FullScale);
    modules::dbas(*want, 800, m);

    Processor p(*s);
    p.ProcessTrace(1);
    for (int i = 0; i < kTraceSlots; ++i) ASSERT_EQ(s->current[i], (*want)[i]) << "slot " << i;
}
