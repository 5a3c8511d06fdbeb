#pragma once
// The four instruments of the Analysis page, drawn off-screen so that the page,
// the headless command and the tests share them. Each instrument draws its
// points as vertical bars into a bitmap one column per point; the bitmap is
// then stretched onto the image control's size and framed in black.
#include "core/session.h"
#include "processing/module_state.h"

#include <QColor>
#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace tarnix {

class Processor;

enum class Instrument { Oscilloscope, AmplitudeSpectrum, PhaseSpectrum, Autocorrelogram };

// Height of the oscilloscope and autocorrelogram images.
constexpr int kInstrumentHeight = 130;
// Width of the images written without a window.
constexpr int kInstrumentFileWidth = 600;

// Pen colour of an instrument; the oscilloscope draws in the theme colour given.
QColor instrumentPen(Instrument which, QColor theme);

// Samples the oscilloscope and autocorrelogram show: the time window at the
// decimated rate, at most what a run processes (0 for an empty window).
int analysisSampleCount(const Session& s);

// Scratch arrays of the spectra and the autocorrelogram, sized once.
struct InstrumentWork {
    InstrumentWork();
    std::vector<long double> re, im, amp, phase, r;
    std::unique_ptr<ModuleState> modules; // transform space of the autocorrelation
};

// --- the off-screen bitmaps: white, bars in `pen`, `height` rows ---
// Bar i (from 1) at column i from the middle line up by sample / full range x height.
QImage oscilloscopeBitmap(const Sample* trace, int numSamples, int fullScale, int height,
                          QColor pen);
// The same with the full range given: 2 x (FullScale div 2), or FullScale itself
// when it was taken from the data (a full scale of 1 still draws).
QImage oscilloscopeBitmapOfRange(const Sample* trace, int numSamples, long double range, int height,
                                 QColor pen);
// Bins 1..n/2 of the normalised amplitude at columns 2i, width n, from the bottom edge.
QImage amplitudeSpectrumBitmap(const long double* amp, int n, int height, QColor pen);
// Bins 1..n at columns i around the middle line, scaled to half the height.
QImage phaseSpectrumBitmap(const long double* phase, int n, int height, QColor pen);
// Lags 1..numSamples at columns i around the middle line.
QImage autocorrelogramBitmap(const long double* r, int numSamples, int height, QColor pen);

// Transform size n of the spectra for the first numSamples samples; fills
// work.amp and work.phase (bin k in entry k - 1).
int instrumentSpectrum(const TraceBuffer& trace, int numSamples, InstrumentWork& work);
// numSamples lags of the trace's autocorrelation into work.r (lag 0 first).
void instrumentAutocorrelation(const TraceBuffer& trace, int numSamples, InstrumentWork& work);

// The bitmap stretched onto width x height, keeping every bar visible when it
// shrinks, and framed by a black rectangle.
QImage stretchAndFrame(const QImage& bitmap, int width, int height);

// One instrument of the session's current trace as the page shows it, with
// NumSamples already set by the caller.
QImage drawInstrument(Instrument which, const Session& s, InstrumentWork& work, int width,
                      int height, QColor pen);

// Reads trace `shot` through the processing sequence (single-trace mode, as on
// the Analysis page) and writes its four instrument images as PNG files
// shot<SHOT>_oscilloscope.png, _amplitude_spectrum, _phase_spectrum and
// _autocorrelogram into `dir` (created when missing). Returns the paths written;
// throws Error when the trace cannot be read or a file cannot be written.
std::vector<std::string> writeInstrumentImages(Session& s, Processor& processor, int shot,
                                               const std::string& dir,
                                               QColor theme = QColor(48, 140, 198));

} // namespace tarnix
