#include "core/session.h"
#include "display/instrument_readouts.h"
#include "display/instruments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

using namespace tarnix;

namespace {

const QColor kPen(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);

// Rows of column x in the pen colour, as [first, last] or {-1, -1}.
std::pair<int, int> penRows(const QImage& b, int x) {
    int first = -1, last = -1;
    for (int y = 0; y < b.height(); ++y)
        if (b.pixel(x, y) == kPen.rgb()) {
            if (first < 0) first = y;
            last = y;
        }
    return {first, last};
}

bool blankInside(const QImage& img) {
    for (int x = 1; x < img.width() - 1; ++x)
        for (int y = 1; y < img.height() - 1; ++y)
            if (img.pixel(x, y) != kWhite) return false;
    return true;
}

} // namespace

TEST(Oscilloscope, FullScaleReachesTheEdgesAndWildSamplesStayInside) {
    auto trace = std::make_unique<TraceBuffer>();
    trace->fill(0);
    for (int i = 0; i < 10; ++i) (*trace)[i] = 16384;   // + FullScale / 2
    for (int i = 10; i < 20; ++i) (*trace)[i] = -16384; // - FullScale / 2
    QImage b = oscilloscopeBitmap(trace->data(), 20, 32768, kInstrumentHeight, kPen);
    ASSERT_EQ(b.size(), QSize(20, 130));
    // Sample i (from 1) is drawn at column i.
    EXPECT_EQ(penRows(b, 0).first, -1);
    for (int x = 1; x <= 10; ++x) EXPECT_EQ(penRows(b, x), std::make_pair(0, 64)) << x;
    for (int x = 11; x <= 19; ++x) EXPECT_EQ(penRows(b, x), std::make_pair(65, 129)) << x;
    // An odd full scale uses the even range below it: 16383 of 32766 is half.
    (*trace)[1] = 16383;
    EXPECT_EQ(penRows(oscilloscopeBitmap(trace->data(), 3, 32767, 130, kPen), 2),
              std::make_pair(0, 64));

    (*trace)[0] = 1e300L;
    (*trace)[1] = std::numeric_limits<long double>::quiet_NaN();
    b = oscilloscopeBitmap(trace->data(), 3, 32768, 130, kPen);
    EXPECT_EQ(penRows(b, 1), std::make_pair(0, 64));
    EXPECT_EQ(penRows(b, 2).first, -1);
    EXPECT_EQ(penRows(oscilloscopeBitmap(trace->data(), 3, 0, 130, kPen), 1).first, -1);
}

TEST(Oscilloscope, AFullScaleOfOneFromTheDataStillDraws) {
    auto s = std::make_unique<Session>();
    s->current.fill(0);
    s->current[0] = 0.5L; // + FullScale / 2
    s->current[1] = -0.25L;
    s->NumSamples = 2;
    s->FullScale = 1; // 2 x (1 div 2) would be no range at all
    s->FullScaleFromData = true;
    InstrumentWork work;
    const QImage b = drawInstrument(Instrument::Oscilloscope, *s, work, 100, 130, kPen);
    const auto [top, bottom] = penRows(b, 75); // bitmap column 1 holds the first sample
    EXPECT_LE(top, 1);
    EXPECT_GE(bottom, 60);
}

TEST(Instruments, AnAllZeroTraceDrawsBarsOfHeightZero) {
    auto s = std::make_unique<Session>();
    s->current.fill(0);
    s->NumSamples = 1000;
    InstrumentWork work;
    for (Instrument which : {Instrument::Oscilloscope, Instrument::AmplitudeSpectrum,
                             Instrument::PhaseSpectrum, Instrument::Autocorrelogram})
        EXPECT_TRUE(blankInside(drawInstrument(which, *s, work, 300, 130, kPen))) << int(which);
}

TEST(Spectra, ThousandSamplesUseAnOf1024AcrossTheWidth) {
    auto s = std::make_unique<Session>();
    s->current.fill(0);
    // 64 cycles in 1024 samples: bin 65 (bin 1 is zero frequency), column 130.
    for (int i = 0; i < 1000; ++i)
        s->current[i] = 1000 * std::cos(2 * std::numbers::pi_v<long double> * 64 * i / 1024);
    s->NumSamples = 1000;
    InstrumentWork work;
    EXPECT_EQ(instrumentSpectrum(s->current, 1000, work), 1024);
    EXPECT_EQ(work.amp[64], 1.0L);
    QImage b = amplitudeSpectrumBitmap(work.amp.data(), 1024, 130, kPen);
    EXPECT_EQ(b.width(), 1024); // bins 1..512 at columns 2..1024
    EXPECT_EQ(penRows(b, 130), std::make_pair(0, 129));

    // Column 130 of 1024 lands on 65 of the 510 inside the frame, image column 66.
    QImage img = drawInstrument(Instrument::AmplitudeSpectrum, *s, work, 512, 130, kPen);
    EXPECT_EQ(penRows(img, 66), std::make_pair(1, 128));
    s->SampleRate = 4;
    EXPECT_EQ(amplitudeSpectrumReadout(*s, 512, 0, 512, 130)[0], "Frequency:2000.0 Hz");
}

TEST(Instruments, PhaseAndCorrelogramScaleBySpanAndTheZeroLagLeads) {
    // Phases from -1 to 3: span 4 over half the height: 3 rises 37 rows, -1 falls 12.
    std::vector<long double> ph{3.0L, -1.0L};
    QImage b = phaseSpectrumBitmap(ph.data(), 2, 100, kPen);
    EXPECT_EQ(penRows(b, 1), std::make_pair(13, 49));

    auto s = std::make_unique<Session>();
    s->current.fill(0);
    s->current[10] = 5;
    s->current[13] = -5;
    InstrumentWork work;
    instrumentAutocorrelation(s->current, 100, work);
    EXPECT_DOUBLE_EQ(double(work.r[0]), 50.0);
    EXPECT_DOUBLE_EQ(double(work.r[3]), -25.0);
    // Span 75 over the whole height: lag 0 rises 86 rows (cut at the top), lag 3 falls 43.
    b = autocorrelogramBitmap(work.r.data(), 100, 130, kPen);
    EXPECT_EQ(penRows(b, 1), std::make_pair(0, 64));
    EXPECT_EQ(penRows(b, 4), std::make_pair(65, 107));
    // Shrunk onto 40 columns the zero lag is not hidden under the frame.
    EXPECT_EQ(penRows(stretchAndFrame(b, 40, 130), 1).first, 1);
}

TEST(Stretch, ShrinkingKeepsThinBarsInsideABlackFrame) {
    QImage b(1000, 130, QImage::Format_RGB32);
    b.fill(kWhite);
    for (int y = 40; y < 65; ++y) b.setPixel(503, y, kPen.rgb());
    QImage img = stretchAndFrame(b, 100, 130);
    EXPECT_EQ(penRows(img, 50), std::make_pair(40, 64));
    EXPECT_EQ(penRows(img, 49).first, -1);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(img.pixel(x, 129), qRgb(0, 0, 0));
    for (int y = 0; y < 130; ++y) EXPECT_EQ(img.pixel(99, y), qRgb(0, 0, 0));
}

TEST(Instruments, SampleCountStaysWithinATransform) {
    auto s = std::make_unique<Session>();
    s->SampleRate = 4;
    s->EndSweep.set(250);
    s->Decimation = 3;
    EXPECT_EQ(analysisSampleCount(*s), 333); // truncated
    s->Decimation = 1;
    s->SampleRate = 100; // 25000 samples: more than a run processes
    EXPECT_EQ(analysisSampleCount(*s), kMaxRunSamples);
}

TEST(Readouts, TextsOfTheFourImages) {
    auto s = std::make_unique<Session>();
    s->SampleRate = 4;
    s->StartSweep.set(10);
    s->EndSweep.set(260);
    s->header.Delay = 12.5;
    s->NumSamples = 1000;
    EXPECT_EQ(amplitudeSpectrumReadout(*s, 150, 130, 600, 130),
              (std::vector<std::string>{"Frequency:500.0 Hz", "Amplitude:0.000"}));
    s->Decimation = 2;
    EXPECT_EQ(phaseSpectrumReadout(*s, 300, 65, 600, 130),
              (std::vector<std::string>{"Frequency:1000.0 Hz", "Amplitude:0.500"}));
    s->Decimation = 1;
    // 250 ms x 0.5 + 12.5 + 10 = 147.5 ms; sample 590; 130 - 127 = 3 right-aligned in 4.
    EXPECT_EQ(oscilloscopeReadout(*s, 300, 127, 600, 130),
              (std::vector<std::string>{"Time:147.5 msec", "Amplitude: 3.0", "Sample:590"}));
    EXPECT_EQ(autocorrelogramReadout(*s, 150, 200, 600, 130),
              (std::vector<std::string>{"Time:72.5 msec -  Sample:250", "Amplitude:-70.0"}));
    // An image not laid out yet reads as its left edge instead of dividing by 0.
    EXPECT_EQ(autocorrelogramReadout(*s, 5, 0, 0, 0)[0], "Time:10.0 msec -  Sample:0");
}
