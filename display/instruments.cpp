#include "display/instruments.h"

#include "core/numtext.h"

#include <algorithm>
#include <cmath>

namespace tarnix {

namespace {

const QRgb kWhite = qRgb(255, 255, 255);

QImage blankBitmap(int width, int height) {
    QImage b(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    b.fill(kWhite);
    return b;
}

// Bar lengths in pixels; a value that is not finite (or absurdly large after
// processing) must not overflow the conversion, so it is bounded first.
int barLength(long double value, long double range, long double pixels) {
    if (!(range > 0)) return 0;
    long double a = value / range * pixels;
    if (!std::isfinite(static_cast<double>(a))) return 0;
    a = std::clamp(a, -4 * pixels, 4 * pixels);
    return static_cast<int>(truncate(a));
}

// A bar between rows y0 and y1 covers |y1 - y0| pixels, the far end included
// and the base row excluded when it grows downward: a bar of height a drawn up
// from the middle row H/2 fills rows H/2 - a .. H/2 - 1.
void bar(QImage& b, int x, int y0, int y1, QRgb pen) {
    if (x < 0 || x >= b.width() || y0 == y1) return;
    int top = std::min(y0, y1), end = std::max(y0, y1);
    top = std::max(top, 0);
    end = std::min(end, b.height());
    for (int y = top; y < end; ++y) reinterpret_cast<QRgb*>(b.scanLine(y))[x] = pen;
}

// A hollow one-pixel rectangle along the edges.
void outline(QImage& b, QRgb colour) {
    const int w = b.width(), h = b.height();
    auto* top = reinterpret_cast<QRgb*>(b.scanLine(0));
    auto* bottom = reinterpret_cast<QRgb*>(b.scanLine(h - 1));
    std::fill(top, top + w, colour);
    std::fill(bottom, bottom + w, colour);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(b.scanLine(y));
        row[0] = colour;
        row[w - 1] = colour;
    }
}

// Smallest and largest of v[0..n-1], both starting from 0.
void range0(const long double* v, int n, long double& lo, long double& hi) {
    lo = 0;
    hi = 0;
    for (int i = 0; i < n; ++i) {
        if (v[i] < lo) lo = v[i];
        if (v[i] > hi) hi = v[i];
    }
}

QImage centredBars(const long double* v, int n, int height, long double range, int pixels,
                   QColor pen) {
    QImage b = blankBitmap(n, height);
    const QRgb p = pen.rgb();
    const int mid = height / 2;
    for (int i = 1; i <= n; ++i) bar(b, i, mid, mid - barLength(v[i - 1], range, pixels), p);
    return b;
}

} // namespace

QColor instrumentPen(Instrument which, QColor theme) {
    switch (which) {
    case Instrument::Oscilloscope:
        return theme;
    case Instrument::AmplitudeSpectrum:
        return QColor(0, 0, 255);
    case Instrument::PhaseSpectrum:
        return QColor(255, 0, 0);
    case Instrument::Autocorrelogram:
        return QColor(128, 0, 0);
    }
    return theme;
}

int analysisSampleCount(const Session& s) {
    const int d = s.Decimation > 0 ? s.Decimation : 1;
    const long long n =
        truncate(static_cast<long double>(s.EndSweep() - s.StartSweep()) * s.SampleRate / d);
    return static_cast<int>(std::clamp<long long>(n, 0, kMaxRunSamples));
}

InstrumentWork::InstrumentWork()
    : re(kTraceSlots + 2), im(kTraceSlots + 2), amp(kTraceSlots + 2), phase(kTraceSlots + 2),
      r(kTraceSlots), modules(std::make_unique<ModuleState>()) {}

QImage oscilloscopeBitmap(const Sample* trace, int numSamples, int fullScale, int height,
                          QColor pen) {
    return oscilloscopeBitmapOfRange(trace, numSamples, 2 * (fullScale / 2), height, pen);
}

QImage oscilloscopeBitmapOfRange(const Sample* trace, int numSamples, long double range, int height,
                                 QColor pen) {
    const int n = std::clamp(numSamples, 0, kTraceSlots);
    QImage b = blankBitmap(n, height);
    const QRgb p = pen.rgb();
    const int mid = height / 2;
    for (int i = 1; i <= n; ++i) bar(b, i, mid, mid - barLength(trace[i - 1], range, height), p);
    return b;
}

QImage amplitudeSpectrumBitmap(const long double* amp, int n, int height, QColor pen) {
    QImage b = blankBitmap(n, height);
    const QRgb p = pen.rgb();
    const int half = n / 2;
    long double amax = 0;
    for (int i = 0; i < half; ++i) amax = std::max(amax, amp[i]);
    // The bins above n/2 are zero after normalising and are not drawn.
    for (int i = 1; i <= half; ++i) {
        const int h = std::clamp(barLength(amp[i - 1], amax, height), 0, height);
        bar(b, 2 * i, height, height - h, p);
    }
    return b;
}

QImage phaseSpectrumBitmap(const long double* phase, int n, int height, QColor pen) {
    long double lo, hi;
    range0(phase, n, lo, hi);
    return centredBars(phase, n, height, std::fabs(lo) + hi, height / 2, pen);
}

QImage autocorrelogramBitmap(const long double* r, int numSamples, int height, QColor pen) {
    long double lo, hi;
    range0(r, numSamples, lo, hi);
    return centredBars(r, numSamples, height, std::fabs(lo) + hi, height, pen);
}

QImage stretchAndFrame(const QImage& bitmap, int width, int height) {
    QImage out(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    out.fill(kWhite);
    const int bw = bitmap.width(), bh = bitmap.height();
    const int w = out.width(), h = out.height();
    // The columns inside the frame, so that the frame never hides the first
    // point (the zero lag of the correlogram) or the last.
    const int x0 = w > 2 ? 1 : 0;
    const int iw = w > 2 ? w - 2 : w;
    if (bw > 0 && bh > 0) {
        // Each image column takes the first drawn pixel of the bitmap columns it
        // covers, so a thin bar survives a shrink instead of falling between samples.
        for (int y = 0; y < h; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(
                bitmap.constScanLine(static_cast<int>(static_cast<long long>(y) * bh / h)));
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y)) + x0;
            for (int x = 0; x < iw; ++x) {
                const int c0 = static_cast<int>(static_cast<long long>(x) * bw / iw);
                int c1 = static_cast<int>(static_cast<long long>(x + 1) * bw / iw);
                c1 = std::max(c1, c0 + 1);
                QRgb v = kWhite;
                for (int c = c0; c < c1; ++c)
                    if ((src[c] & 0xffffff) != (kWhite & 0xffffff)) {
                        v = src[c];
                        break;
                    }
                dst[x] = v;
            }
        }
    }
    outline(out, qRgb(0, 0, 0));
    return out;
}

} // namespace tarnix
