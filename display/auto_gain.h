#pragma once
// "Auto" of the Display window: the gain (and, beyond what 1..10 reaches, the clip
// level) at which the 98th percentile of |amplitude| paints at full colour; and
// the test for a picture that came out nearly blank.
#include <QImage>
#include <QRect>
#include <vector>

namespace tarnix {

class Session;

// The q-quantile (0..1) of the absolute values, nearest rank; 0 when empty.
// Reorders `values`.
double absPercentile(std::vector<double>& values, double q);

struct AutoGain {
    int gain = 10;           // Gain position, 1..10
    long long clipLevel = 0; // 0: the full scale's own half range
};

// For a percentile `p` of |sample| and the session's full scale: the largest gain
// position at which p still reaches full colour; when even position 1 does not,
// the clip level that makes it do so at 1; when position 10 overshoots, the clip
// level p at 10. A p of 0 leaves the start settings.
AutoGain autoGainFor(const Session& s, double p);

// The share (0..1) of the data area's pixels that show the colour of amplitude 0
// of the session's palette (within a few levels).
double blankShare(const Session& s, const QImage& picture);

// How far (0..255, the largest channel difference) from the colour of amplitude 0
// the strongest 2% of the data area's pixels are: below a half, the picture is
// nearly blank and Auto is offered.
int strongColour(const Session& s, const QImage& picture);

// The end, in whole milliseconds, of a time window from 0 that holds a trace of
// `samples` samples at `sampleRate` samples per ms (rounded up, at most 100000);
// 0 when there is no trace length.
int wholeTraceEnd(int samples, long double sampleRate);

} // namespace tarnix
