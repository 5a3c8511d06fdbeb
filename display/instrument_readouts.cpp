#include "display/instrument_readouts.h"

#include "core/numtext.h"

namespace tarnix {

namespace {

// Position across the image, 0 at the left edge and 1 at the right; an image
// not laid out yet reads as its left edge.
long double across(int x, int w) {
    return w > 0 ? static_cast<long double>(x) / w : 0.0L;
}

long double upFraction(int y, int h) {
    return h > 0 ? static_cast<long double>(h - y) / h : 0.0L;
}

long double samplingHz(const Session& s) {
    const int d = s.Decimation > 0 ? s.Decimation : 1;
    return s.SampleRate * 1000 / d;
}

std::string frequencyText(long double f) {
    return "Frequency:" + fixedText(f, 1, 3) + " Hz";
}

} // namespace

std::vector<std::string> amplitudeSpectrumReadout(const Session& s, int x, int y, int w, int h) {
    return {frequencyText(across(x, w) * (samplingHz(s) / 2)),
            "Amplitude:" + fixedText(upFraction(y, h), 3, 3)};
}

std::vector<std::string> phaseSpectrumReadout(const Session& s, int x, int y, int w, int h) {
    return {frequencyText(across(x, w) * samplingHz(s)),
            "Amplitude:" + fixedText(upFraction(y, h), 3, 3)};
}

std::vector<std::string> oscilloscopeReadout(const Session& s, int x, int y, int w, int h) {
    const long double t = static_cast<long double>(s.EndSweep() - s.StartSweep()) * across(x, w) +
                          s.header.Delay + s.StartSweep();
    return {"Time:" + fixedText(t, 1, 3) + " msec", "Amplitude:" + fixedText(h - y, 1, 4),
            "Sample:" + intText(truncate(s.SampleRate * t))};
}

std::vector<std::string> autocorrelogramReadout(const Session& s, int x, int y, int w, int h) {
    const long double t =
        static_cast<long double>(s.EndSweep() - s.StartSweep()) * across(x, w) + s.StartSweep();
    return {"Time:" + fixedText(t, 1, 3) + " msec" +
                " -  Sample:" + intText(truncate(across(x, w) * s.NumSamples)),
            "Amplitude:" + fixedText(h - y, 1, 4)};
}

} // namespace tarnix
