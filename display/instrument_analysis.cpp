// The instruments' numbers come from the processing kernels, so the page shows
// the same transform and correlation that the modules use.
#include "display/instruments.h"

#include "core/error.h"
#include "processing/modules/decon.h"
#include "processing/modules/fft.h"
#include "processing/processor.h"

#include <algorithm>
#include <filesystem>

namespace tarnix {

int instrumentSpectrum(const TraceBuffer& trace, int numSamples, InstrumentWork& work) {
    const int count = std::clamp(numSamples, 0, kMaxRunSamples);
    const modules::PowerOfTwo p = modules::powerOfTwo(count);
    std::fill(work.amp.begin(), work.amp.end(), 0.0L);
    std::fill(work.phase.begin(), work.phase.end(), 0.0L);
    modules::secondFft(trace.data(), count, p.m, p.N, work.re.data(), work.im.data());
    modules::spectrum(p.N, count, work.re.data(), work.im.data(), work.amp.data(),
                      work.phase.data());
    return p.N;
}

void instrumentAutocorrelation(const TraceBuffer& trace, int numSamples, InstrumentWork& work) {
    const int count = std::clamp(numSamples, 0, kMaxRunSamples);
    modules::autocorrelate(count, count, work.r.data(), trace.data(), *work.modules);
}

QImage drawInstrument(Instrument which, const Session& s, InstrumentWork& work, int width,
                      int height, QColor pen) {
    const int count = std::clamp(s.NumSamples, 0, kMaxRunSamples);
    QImage bitmap;
    switch (which) {
    case Instrument::Oscilloscope:
        bitmap = oscilloscopeBitmapOfRange(
            s.current.data(), count, s.FullScaleFromData ? s.FullScale : 2 * (s.FullScale / 2),
            height, pen);
        break;
    case Instrument::AmplitudeSpectrum: {
        const int n = instrumentSpectrum(s.current, count, work);
        bitmap = amplitudeSpectrumBitmap(work.amp.data(), n, height, pen);
        break;
    }
    case Instrument::PhaseSpectrum: {
        const int n = instrumentSpectrum(s.current, count, work);
        bitmap = phaseSpectrumBitmap(work.phase.data(), n, height, pen);
        break;
    }
    case Instrument::Autocorrelogram:
        instrumentAutocorrelation(s.current, count, work);
        bitmap = autocorrelogramBitmap(work.r.data(), count, height, pen);
        break;
    }
    return stretchAndFrame(bitmap, width, height);
}

std::vector<std::string> writeInstrumentImages(Session& s, Processor& processor, int shot,
                                               const std::string& dir, QColor theme) {
    if (!s.input) throw IoError("No input file is open");
    s.NumSamples = analysisSampleCount(s);
    const bool single = s.SingleTraceMode;
    s.SingleTraceMode = true; // as on the Analysis page
    try {
        if (!processor.READ_A_TRACE(shot))
            throw IoError("The open file has no single-trace read: " + s.InputFileName);
    } catch (...) {
        s.SingleTraceMode = single;
        throw;
    }
    s.SingleTraceMode = single;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) throw IoError("Cannot create the folder " + dir + ": " + ec.message());
    InstrumentWork work;
    const struct {
        Instrument which;
        const char* name;
    } list[] = {{Instrument::Oscilloscope, "oscilloscope"},
                {Instrument::AmplitudeSpectrum, "amplitude_spectrum"},
                {Instrument::PhaseSpectrum, "phase_spectrum"},
                {Instrument::Autocorrelogram, "autocorrelogram"}};
    std::vector<std::string> written;
    for (const auto& item : list) {
        const QImage img = drawInstrument(item.which, s, work, kInstrumentFileWidth,
                                          kInstrumentHeight, instrumentPen(item.which, theme));
        const std::string path = (std::filesystem::path(dir) /
                                  ("shot" + std::to_string(shot) + "_" + item.name + ".png"))
                                     .string();
        if (!img.save(QString::fromStdString(path), "PNG")) throw IoError("Cannot write " + path);
        written.push_back(path);
    }
    return written;
}

} // namespace tarnix
