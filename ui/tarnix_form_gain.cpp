// A first look without settings: Auto gain, the offer of it after a nearly blank
// picture, and the offer of the whole trace as the time window.
#include "core/session.h"
#include "display/auto_gain.h"
#include "formats/segy_reader.h"
#include "processing/processor.h"
#include "ui/display_controls_form.h"
#include "ui/tarnix_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

#include <algorithm>
#include <cmath>

namespace tarnix {

QWidget* TTarnixForm::statusOffer(const char* name, const QString& text, const QString& button,
                                  std::function<void()> action) {
    auto* box = new QWidget(statusBar());
    box->setObjectName(name);
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(text, box);
    label->setObjectName(QString(name) + "Text");
    auto* b = new QPushButton(button, box);
    b->setObjectName(QString(name) + "Button");
    b->setFlat(false);
    h->addWidget(label);
    h->addWidget(b);
    connect(b, &QPushButton::clicked, box, [box, action = std::move(action)] {
        box->hide();
        action();
    });
    statusBar()->addPermanentWidget(box);
    return box;
}

void TTarnixForm::offerWholeTrace() {
    Session& s = session_;
    if (WholeTraceOffer) {
        WholeTraceOffer->deleteLater();
        WholeTraceOffer = nullptr;
    }
    SegyInput* in = segyInput(s);
    if (!in || !s.InputOpen || windowTouched_) return;
    // Only the start window (0 to 100 ms) is a window nobody chose.
    if (s.StartSweep() != 0 || s.EndSweep() != 100) return;
    const int end = wholeTraceEnd(in->samplesPerTrace(), s.SampleRate);
    if (end <= 0 || end == s.EndSweep()) return;
    WholeTraceOffer = statusOffer("WholeTraceOffer",
                                  QString("The traces are %1 ms long, the window shows 0 to %2 ms")
                                      .arg(end)
                                      .arg(s.EndSweep()),
                                  QString("Whole trace: 0 to %1 ms").arg(end), [this, end] {
                                      session_.StartSweep.set(0);
                                      session_.EndSweep.set(end);
                                      refreshFromSession();
                                      WholeTraceOffer = nullptr;
                                  });
}

void TTarnixForm::offerAutoGain() {
    if (AutoGainOffer) {
        AutoGainOffer->deleteLater();
        AutoGainOffer = nullptr;
    }
    if (profileImage.isNull() || strongColour(session_, profileImage) >= 128) return;
    AutoGainOffer = statusOffer("AutoGainOffer", "Amplitudes paint faintly", "Auto gain", [this] {
        AutoGainOffer = nullptr;
        AutoGainClick();
    });
}

void TTarnixForm::AutoGainClick() {
    Session& s = session_;
    if (!s.InputOpen || !s.goEnabled || s.NumTraces <= 0) {
        s.Edit4 = "Auto needs an open file and a confirmed shot range";
        refreshFromSession();
        return;
    }
    // Up to 200 shots spread over the range, read through the sequence as the
    // run reads them, at most about a million samples in all.
    const int start = s.shots.StartShot(), count = s.NumTraces;
    const int shots = std::min(count, 200);
    std::vector<double> values;
    int read = 0;
    const bool single = s.SingleTraceMode;
    s.SingleTraceMode = false;
    guarded([&] {
        for (int i = 0; i < shots; ++i) {
            const int shot = start + static_cast<int>(static_cast<long long>(i) * count / shots);
            const long long ns = std::llround(
                static_cast<double>(s.EndSweep() * s.SampleRate - s.StartSweep() * s.SampleRate));
            s.NumSamples = static_cast<int32_t>(std::clamp<long long>(ns, 0, 16383));
            if (!processor().READ_A_TRACE(shot)) break;
            ++read;
            const int n = s.NumSamples / (s.Decimation > 0 ? s.Decimation : 1);
            const int step = std::max(1, n * shots / 1000000);
            for (int k = 0; k < n; k += step) values.push_back(static_cast<double>(s.current[k]));
        }
    });
    s.SingleTraceMode = single;
    const double p = absPercentile(values, 0.98);
    if (values.empty() || !(p > 0)) {
        s.Edit4 = "Auto: the selected shots hold no amplitudes; gain left as it was";
        refreshFromSession();
        return;
    }
    const AutoGain g = autoGainFor(s, p);
    s.display.Gain.set(g.gain);
    s.display.ClipLevel = g.clipLevel;
    if (forms.DisplayControlsForm) forms.DisplayControlsForm->refreshFromSession();
    std::string text = "Auto: gain " + std::to_string(g.gain);
    if (g.clipLevel > 0) text += ", clip " + std::to_string(g.clipLevel);
    text += " (98% of |amplitude| up to " + std::to_string(std::llround(p)) + " in " +
            std::to_string(read) + " shots); press GO";
    s.Edit4 = text;
    refreshFromSession();
}

} // namespace tarnix
