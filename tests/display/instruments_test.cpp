#include "core/numtext.h"
#include "core/session.h"
#include "display/instrument_readouts.h"
#include "display/instruments.h"
#include "formats/trace_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <numbers>
#include <sstream>
#include <vector>

using namespace tarnix;

namespace {

const QColor kPen(0, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);

bool isPen(const QImage& b, int x, int y) {
    return b.pixel(x, y) == kPen.rgb();
}

// Rows of column x in the pen colour, as [first, last] or {-1, -1}.
std::pair<int, int> penRows(const QImage& b, int x) {
    int first = -1, last = -1;
    for (int y = 0; y < b.height(); ++y)
        if (isPen(b, x, y)) {
            if (first < 0) first = y;
            last = y;
        }
    return {first, last};
}

} // namespace

TEST(Oscilloscope, FullScaleSamplesReachTheEdges) {
    auto trace = std::make_unique<TraceBuffer>();
    trace->fill(0);
    for (int i = 0; i < 10; ++i) (*trace)[i] = 16384;   // + FullScale / 2
    for (int i = 10; i < 20; ++i) (*trace)[i] = -16384; // - FullScale / 2
    QImage b = oscilloscopeBitmap(trace->data(), 20, 32768, kInstrumentHeight, kPen);
    ASSERT_EQ(b.width(), 20);
    ASSERT_EQ(b.height(), 130);
    // Sample i (from 1) is drawn at column i: the first sample at column 1.
    EXPECT_EQ(penRows(b, 0), std::make_pair(-1, -1));
    for (int x = 1; x <= 10; ++x) EXPECT_EQ(penRows(b, x), std::make_pair(0, 64)) << x;
    for (int x = 11; x <= 19; ++x) EXPECT_EQ(penRows(b, x), std::make_pair(65, 129)) << x;

    // An odd full scale uses the even range below it: 16383 of 32766 is half.
    (*trace)[1] = 16383;
    b = oscilloscopeBitmap(trace->data(), 3, 32767, 130, kPen);
    EXPECT_EQ(penRows(b, 2), std::make_pair(0, 64));
}

TEST(Oscilloscope, ZeroAndWildTracesDrawNothingOutOfBounds) {
    auto trace = std::make_unique<TraceBuffer>();
    trace->fill(0);
    QImage b = oscilloscopeBitmap(trace->data(), 50, 32768, 130, kPen);
    for (int x = 0; x < 50; ++x) EXPECT_EQ(penRows(b, x).first, -1);
    (*trace)[0] = 1e300L;
    (*trace)[1] = -1e300L;
    (*trace)[2] = std::numeric_limits<long double>::quiet_NaN();
    b = oscilloscopeBitmap(trace->data(), 3, 32768, 130, kPen);
    EXPECT_EQ(penRows(b, 1), std::make_pair(0, 64));
    EXPECT_EQ(penRows(b, 2), std::make_pair(65, 129));
    b = oscilloscopeBitmap(trace->data(), 3, 0, 130, kPen); // no full scale: no bars
    EXPECT_EQ(penRows(b, 1).first, -1);
}

TEST(Spectra, BarsScaleToTheLargestBinAndAZeroSpectrumIsFlat) {
    std::vector<long double> amp(8, 0.0L);
    amp[0] = 0.25; // bin 1
    amp[1] = 0.5;  // bin 2
    amp[2] = 1.0;  // bin 3
    QImage b = amplitudeSpectrumBitmap(amp.data(), 8, 100, kPen);
    ASSERT_EQ(b.width(), 8);
    // Bin i at column 2i, up from the bottom edge.
    EXPECT_EQ(penRows(b, 2), std::make_pair(75, 99));
    EXPECT_EQ(b.pixel(2, 74), kWhite);
    EXPECT_TRUE(isPen(b, 2, 75));
    EXPECT_EQ(b.pixel(4, 49), kWhite);
    EXPECT_TRUE(isPen(b, 4, 50));
    EXPECT_EQ(b.pixel(3, 50), kWhite);
    EXPECT_EQ(penRows(b, 6), std::make_pair(0, 99));

    std::fill(amp.begin(), amp.end(), 0.0L);
    b = amplitudeSpectrumBitmap(amp.data(), 8, 100, kPen);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(penRows(b, x).first, -1) << x;
    b = phaseSpectrumBitmap(amp.data(), 8, 100, kPen);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(penRows(b, x).first, -1) << x;
}

TEST(Spectra, PhaseAndCorrelationAreScaledByTheirSpan) {
    // Phases from -1 to 3: span 4, half height 50, so 3 rises 37 rows.
    std::vector<long double> ph{3.0L, -1.0L, 2.0L, 0.0L};
    QImage b = phaseSpectrumBitmap(ph.data(), 4, 100, kPen);
    EXPECT_EQ(b.pixel(1, 12), kWhite);
    EXPECT_EQ(penRows(b, 1), std::make_pair(13, 49));
    EXPECT_TRUE(isPen(b, 2, 50)); // -1 falls 12 rows
    EXPECT_EQ(penRows(b, 2), std::make_pair(50, 61));

    // The correlogram uses the whole height: lag 0 of 3 over span 4 is 97 rows,
    // cut at the top edge.
    std::vector<long double> r{3.0L, -1.0L, 0.0L};
    b = autocorrelogramBitmap(r.data(), 3, 130, kPen);
    EXPECT_EQ(penRows(b, 1), std::make_pair(0, 64));
    EXPECT_EQ(penRows(b, 2), std::make_pair(65, 96));
    EXPECT_EQ(b.width(), 3); // the last lag falls on column 3, outside the bitmap
}

TEST(Stretch, ShrinkingKeepsThinBarsAndTheFrameIsBlack) {
    QImage b(1000, 130, QImage::Format_RGB32);
    b.fill(kWhite);
    for (int y = 40; y < 65; ++y) b.setPixel(503, y, kPen.rgb());
    QImage img = stretchAndFrame(b, 100, 130);
    ASSERT_EQ(img.size(), QSize(100, 130));
    EXPECT_EQ(penRows(img, 50), std::make_pair(40, 64));
    EXPECT_EQ(penRows(img, 49).first, -1);
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(img.pixel(x, 0), qRgb(0, 0, 0));
        EXPECT_EQ(img.pixel(x, 129), qRgb(0, 0, 0));
    }
    for (int y = 0; y < 130; ++y) {
        EXPECT_EQ(img.pixel(0, y), qRgb(0, 0, 0));
        EXPECT_EQ(img.pixel(99, y), qRgb(0, 0, 0));
    }
    // Growing: column 5 of a 10-wide bitmap covers image columns 50..59.
    QImage small(10, 20, QImage::Format_RGB32);
    small.fill(kWhite);
    small.setPixel(5, 10, kPen.rgb());
    img = stretchAndFrame(small, 100, 20);
    for (int x = 45; x < 65; ++x) EXPECT_EQ(isPen(img, x, 10), x >= 50 && x < 60) << x;
}

TEST(Instruments, PenColoursAndSampleCount) {
    EXPECT_EQ(instrumentPen(Instrument::AmplitudeSpectrum, Qt::green), QColor(Qt::blue));
    EXPECT_EQ(instrumentPen(Instrument::PhaseSpectrum, Qt::green), QColor(Qt::red));
    EXPECT_EQ(instrumentPen(Instrument::Autocorrelogram, Qt::green), QColor(128, 0, 0));
    EXPECT_EQ(instrumentPen(Instrument::Oscilloscope, Qt::green), QColor(Qt::green));

    auto s = std::make_unique<Session>();
    s->SampleRate = 4;
    s->StartSweep.set(0);
    s->EndSweep.set(250);
    EXPECT_EQ(analysisSampleCount(*s), 1000);
    s->Decimation = 3;
    EXPECT_EQ(analysisSampleCount(*s), 333); // truncated
    s->Decimation = 1;
    s->SampleRate = 100; // 25000 samples: more than a trace can be processed with
    EXPECT_EQ(analysisSampleCount(*s), kMaxRunSamples);
    s->EndSweep.set(0);
    EXPECT_EQ(analysisSampleCount(*s), 0);
}

TEST(Readouts, TextsOfTheFourImages) {
    auto s = std::make_unique<Session>();
    s->SampleRate = 4;
    s->StartSweep.set(10);
    s->EndSweep.set(260);
    s->header.Delay = 12.5;
    s->NumSamples = 1000;
    // The right edge of the amplitude spectrum is half the sampling frequency.
    EXPECT_EQ(amplitudeSpectrumReadout(*s, 600, 0, 600, 130),
              (std::vector<std::string>{"Frequency:2000.0 Hz", "Amplitude:1.000"}));
    EXPECT_EQ(amplitudeSpectrumReadout(*s, 150, 130, 600, 130),
              (std::vector<std::string>{"Frequency:500.0 Hz", "Amplitude:0.000"}));
    s->Decimation = 2;
    EXPECT_EQ(phaseSpectrumReadout(*s, 300, 65, 600, 130),
              (std::vector<std::string>{"Frequency:1000.0 Hz", "Amplitude:0.500"}));
    EXPECT_EQ(phaseSpectrumReadout(*s, 0, 129, 600, 130)[0], "Frequency:0.0 Hz");
    s->Decimation = 1;
    // 250 ms x 0.5 + 12.5 + 10 = 147.5 ms; sample 590; 130 - 127 = 3 right-aligned in 4.
    EXPECT_EQ(oscilloscopeReadout(*s, 300, 127, 600, 130),
              (std::vector<std::string>{"Time:147.5 msec", "Amplitude: 3.0", "Sample:590"}));
    EXPECT_EQ(oscilloscopeReadout(*s, 0, 0, 600, 130)[0], "Time:22.5 msec");
    EXPECT_EQ(autocorrelogramReadout(*s, 150, 200, 600, 130),
              (std::vector<std::string>{"Time:72.5 msec -  Sample:250", "Amplitude:-70.0"}));
    // An image not laid out yet reads as its left edge instead of dividing by 0.
    EXPECT_EQ(autocorrelogramReadout(*s, 5, 0, 0, 0)[0], "Time:10.0 msec -  Sample:0");
}

TEST(SaveAscii, TimesStartOneSampleIntoTheTrace) {
    auto trace = std::make_unique<TraceBuffer>();
    trace->fill(0);
    (*trace)[0] = -1.5L;
    (*trace)[2] = 1023.75L;
    std::ostringstream out;
    writeTraceAscii(out, *trace, 3, 8);
    EXPECT_EQ(out.str(), "0.12500000 -1.50000000\n"
                         "0.25000000 0.00000000\n"
                         "0.37500000 1023.75000000\n");
}

TEST(Spectra, ThousandSamplesUseAnOf1024AndFillTheWidth) {
    auto s = std::make_unique<Session>();
    s->current.fill(0);
    // 64 cycles in 1024 samples: bin 65 (bin 1 is zero frequency), column 130.
    for (int i = 0; i < 1000; ++i)
        s->current[i] = 1000 * std::cos(2 * std::numbers::pi_v<long double> * 64 * i / 1024);
    s->NumSamples = 1000;
    InstrumentWork work;
    EXPECT_EQ(instrumentSpectrum(s->current, 1000, work), 1024);
    EXPECT_EQ(work.amp[64], 1.0L);
    EXPECT_EQ(work.amp[600], 0.0L); // above n/2

    QImage b = amplitudeSpectrumBitmap(work.amp.data(), 1024, 130, kPen);
    EXPECT_EQ(b.width(), 1024); // bins 1..512 at columns 2..1024
    EXPECT_EQ(penRows(b, 130), std::make_pair(0, 129));
    EXPECT_EQ(b.pixel(130 + 40, 60), kWhite);

    QImage img = drawInstrument(Instrument::AmplitudeSpectrum, *s, work, 512, 130, kPen);
    EXPECT_EQ(img.size(), QSize(512, 130));
    // Column 130 of 1024 lands on 65 of the 510 inside the frame, image column 66.
    EXPECT_EQ(penRows(img, 66), std::make_pair(1, 128));

    s->SampleRate = 4;
    EXPECT_EQ(amplitudeSpectrumReadout(*s, 512, 0, 512, 130)[0], "Frequency:2000.0 Hz");
}

TEST(Instruments, AnAllZeroTraceDrawsEmptyImages) {
    auto s = std::make_unique<Session>();
    s->current.fill(0);
    s->NumSamples = 1000;
    InstrumentWork work;
    for (Instrument which : {Instrument::Oscilloscope, Instrument::AmplitudeSpectrum,
                             Instrument::PhaseSpectrum, Instrument::Autocorrelogram}) {
        QImage img = drawInstrument(which, *s, work, 300, 130, kPen);
        for (int x = 1; x < 299; ++x)
            for (int y = 1; y < 129; ++y)
                ASSERT_EQ(img.pixel(x, y), kWhite) << int(which) << ": " << x << "," << y;
    }
}

TEST(Instruments, TheAutocorrelogramPeaksAtLagZero) {
    auto s = std::make_unique<Session>();
    s->current.fill(0);
    s->NumSamples = 100;
    s->current[10] = 5;
    s->current[13] = -5;
    InstrumentWork work;
    instrumentAutocorrelation(s->current, 100, work);
    EXPECT_DOUBLE_EQ(double(work.r[0]), 50.0);
    EXPECT_DOUBLE_EQ(double(work.r[3]), -25.0);
    EXPECT_DOUBLE_EQ(double(work.r[1]), 0.0);
    // Span 75: lag 0 rises 86 rows (cut at the top), lag 3 falls 43.
    QImage b = autocorrelogramBitmap(work.r.data(), 100, 130, kPen);
    EXPECT_EQ(penRows(b, 1), std::make_pair(0, 64));
    EXPECT_EQ(penRows(b, 4), std::make_pair(65, 107));
    EXPECT_EQ(penRows(b, 2).first, -1);
}
