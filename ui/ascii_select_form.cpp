#include "ui/ascii_select_form.h"

#include "core/error.h"
#include "core/session.h"
#include "formats/ascii_reader.h"
#include "formats/file_open.h"
#include "formats/raw_binary_reader.h"
#include "ui/select_shots_form.h"
#include "ui/tarnix_form.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarnix {

namespace {

void showSelectShots(const QWidget* from) {
    const Windows& w = windowsOf(from);
    if (w.TarnixForm) {
        if (w.TarnixForm->Shots1) w.TarnixForm->Shots1->setEnabled(true);
        w.TarnixForm->refreshFromSession();
    }
    if (w.SelectShotsForm) {
        w.SelectShotsForm->refreshFromSession();
        w.SelectShotsForm->show();
        w.SelectShotsForm->raise();
    }
}

} // namespace

TAsciiSelectForm::TAsciiSelectForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("AsciiSelectForm");
    setWindowTitle("Ascii File Parameters");
    auto* grid = new QGridLayout(this);
    auto* title = new QLabel("Sampling Frequency", this);
    auto* unit = new QLabel("(kHz)", this);
    S_Redit = new QLineEdit(this);
    S_Redit->setObjectName("S_Redit");
    Ok = new QPushButton("Ok", this);
    Ok->setObjectName("Ok");
    grid->addWidget(title, 0, 0, 1, 2);
    grid->addWidget(S_Redit, 1, 0);
    grid->addWidget(unit, 1, 1);
    grid->addWidget(Ok, 2, 0, 1, 2);
    connect(S_Redit, &QLineEdit::textEdited, this,
            [this](const QString& t) { session_.ascii.S_Redit = t.toStdString(); });
    connect(Ok, &QPushButton::clicked, this, &TAsciiSelectForm::OkClick);
    refreshFromSession();
}

void TAsciiSelectForm::refreshFromSession() {
    const QString t = QString::fromStdString(session_.ascii.S_Redit);
    if (S_Redit->text() != t) S_Redit->setText(t);
}

void TAsciiSelectForm::OkClick() {
    session_.ascii.S_Redit = S_Redit->text().toStdString();
    try {
        asciiSelectOk(session_);
    } catch (const ConversionError& e) {
        // The window stays open until the rate can be used.
        session_.Edit4 = e.what();
        if (TTarnixForm* main = windowsOf(this).TarnixForm) main->refreshFromSession();
        S_Redit->setFocus();
        S_Redit->selectAll();
        return;
    }
    close();
}

void TAsciiSelectForm::closeEvent(QCloseEvent* event) {
    if (session_.InputOpen && dynamic_cast<AsciiInput*>(session_.input.get())) {
        prepareAsciiShots(session_);
        showSelectShots(this);
    }
    QDialog::closeEvent(event);
}

TBINSelectForm::TBINSelectForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("BINSelectForm");
    setWindowTitle("Binary File Format");
    auto* v = new QVBoxLayout(this);
    auto* form = new QGridLayout;
    auto spin = [&](QSpinBox*& box, const char* name, const char* caption, const RangedInt& r,
                    int step, int row) {
        box = new QSpinBox(this);
        box->setObjectName(name);
        box->setRange(r.min(), r.max());
        box->setSingleStep(step);
        form->addWidget(new QLabel(caption, this), row, 0);
        form->addWidget(box, row, 1);
    };
    const BinaryOptions& o = session_.binary;
    spin(samples_per_sweep, "samples_per_sweep", "Samples per Sweep", o.samples_per_sweep, 1, 0);
    spin(bits_per_sample, "bits_per_sample", "Bits per Sample", o.bits_per_sample, 8, 1);
    spin(Sampling_frequency, "Sampling_frequency", "Sampling Freq. (Hz)", o.Sampling_frequency, 1,
         2);
    v->addLayout(form);
    auto* group = new QGroupBox("Channels", this);
    group->setObjectName("channels");
    auto* cg = new QGridLayout(group);
    channels = new QButtonGroup(this);
    for (int i = 0; i < 24; ++i) {
        auto* b = new QRadioButton(QString::number(i + 1), group);
        channels->addButton(b, i);
        cg->addWidget(b, i / 4, i % 4);
    }
    v->addWidget(group);
    auto* buttons = new QHBoxLayout;
    OKbutt = new QPushButton("OK", this);
    OKbutt->setObjectName("OKbutt");
    CancelButt = new QPushButton("Cancel", this);
    CancelButt->setObjectName("CancelButt");
    buttons->addWidget(OKbutt);
    buttons->addWidget(CancelButt);
    v->addLayout(buttons);
    // Each control writes its setting at once, as the other windows do.
    connect(samples_per_sweep, &QSpinBox::valueChanged, this,
            [this](int n) { session_.binary.samples_per_sweep.set(n); });
    connect(bits_per_sample, &QSpinBox::valueChanged, this,
            [this](int n) { session_.binary.bits_per_sample.set(n); });
    connect(Sampling_frequency, &QSpinBox::valueChanged, this,
            [this](int n) { session_.binary.Sampling_frequency.set(n); });
    connect(channels, &QButtonGroup::idClicked, this,
            [this](int id) { session_.binary.channelsIndex = id; });
    connect(OKbutt, &QPushButton::clicked, this, &TBINSelectForm::OKbuttClick);
    connect(CancelButt, &QPushButton::clicked, this, &QDialog::close);
    refreshFromSession();
}

void TBINSelectForm::refreshFromSession() {
    const BinaryOptions& o = session_.binary;
    samples_per_sweep->setValue(o.samples_per_sweep());
    bits_per_sample->setValue(o.bits_per_sample());
    Sampling_frequency->setValue(o.Sampling_frequency());
    if (QAbstractButton* b = channels->button(o.channelsIndex)) b->setChecked(true);
}

void TBINSelectForm::OKbuttClick() {
    // A width between the steps typed by hand is no width of the file.
    const int bits = bits_per_sample->value() / 8 * 8;
    session_.binary.bits_per_sample.set(bits < 8 ? 8 : bits);
    bool opened = false;
    try {
        OPEN_BIN(session_);
        opened = true;
    } catch (const std::exception& e) {
        session_.Edit4 = e.what();
    }
    refreshFromSession();
    if (opened)
        showSelectShots(this);
    else if (TTarnixForm* main = windowsOf(this).TarnixForm)
        main->refreshFromSession();
    if (opened) close();
}

} // namespace tarnix
