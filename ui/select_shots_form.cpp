#include "ui/select_shots_form.h"

#include "core/session.h"
#include "formats/file_open.h"
#include "ui/controls.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarnix {

TSelectShotsForm::TSelectShotsForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("SelectShotsForm");
    setWindowTitle("Select Shots");
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    ShotSelection& sel = session_.shots;

    auto* info = new QGroupBox("File Info", this);
    auto* il = new QFormLayout(info);
    Label1 = new QLabel(info);
    Label1->setObjectName("Label1");
    Label2 = new QLabel(info);
    Label2->setObjectName("Label2");
    il->addRow("File Name:", Label1);
    il->addRow("Total Shots:", Label2);

    auto* records = new QGroupBox("Records", this);
    auto* rl = new QFormLayout(records);
    StartShot = rangedSpin(records, "StartShot", sel.StartShot);
    EndShot = rangedSpin(records, "EndShot", sel.EndShot);
    rl->addRow("FROM SHOT", StartShot);
    rl->addRow("TO SHOT", EndShot);

    auto* cond = new QGroupBox("Signal Conditioning", this);
    auto* cl = new QFormLayout(cond);
    MUL = new QLineEdit(QString::fromStdString(sel.MUL), cond);
    MUL->setObjectName("MUL");
    ADD = new QLineEdit(QString::fromStdString(sel.ADD), cond);
    ADD->setObjectName("ADD");
    cl->addRow("Aout := Ain *", MUL);
    cl->addRow("Aout := Ain +", ADD);

    auto* chan = new QGroupBox("Channel to display ", this);
    auto* chl = new QHBoxLayout(chan);
    chan_to_display = rangedSpin(chan, "chan_to_display", sel.chan_to_display);
    chl->addWidget(chan_to_display);

    OK = new QPushButton("OK", this);
    OK->setObjectName("OK");
    OK->setDefault(true);
    BitBtn1 = new QPushButton("Cancel", this);
    BitBtn1->setObjectName("BitBtn1");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OK);
    buttons->addWidget(BitBtn1);

    auto* main = new QVBoxLayout(this);
    main->addWidget(info);
    main->addWidget(records);
    main->addWidget(cond);
    main->addWidget(chan);
    main->addLayout(buttons);

    connect(StartShot, &QSpinBox::valueChanged, this, [&sel](int v) { sel.StartShot.set(v); });
    connect(EndShot, &QSpinBox::valueChanged, this, [&sel](int v) { sel.EndShot.set(v); });
    connect(MUL, &QLineEdit::textChanged, this,
            [&sel](const QString& t) { sel.MUL = t.toStdString(); });
    connect(ADD, &QLineEdit::textChanged, this,
            [&sel](const QString& t) { sel.ADD = t.toStdString(); });
    connect(chan_to_display, &QSpinBox::valueChanged, this,
            [&sel](int v) { sel.chan_to_display.set(v); });
    connect(OK, &QPushButton::clicked, this, &TSelectShotsForm::OKClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TSelectShotsForm::BitBtn1Click);
    refreshFromSession();
}

void TSelectShotsForm::refreshFromSession() {
    const ShotSelection& sel = session_.shots;
    Label1->setText(QString::fromStdString(sel.Label1));
    Label2->setText(QString::fromStdString(sel.Label2));
    StartShot->setValue(sel.StartShot());
    EndShot->setValue(sel.EndShot());
    if (MUL->text().toStdString() != sel.MUL) MUL->setText(QString::fromStdString(sel.MUL));
    if (ADD->text().toStdString() != sel.ADD) ADD->setText(QString::fromStdString(sel.ADD));
    chan_to_display->setValue(sel.chan_to_display());
}

void TSelectShotsForm::OKClick() {
    TTarnixForm* main = windowsOf(this).TarnixForm;
    try {
        selectShotsOk(session_);
    } catch (const std::exception& e) {
        if (main) main->showError(QString::fromLocal8Bit(e.what()));
        return;
    }
    close();
    if (main) {
        // The shot counter steps inside the confirmed range.
        QSignalBlocker block(main->Sel_ana_spin);
        main->Sel_ana_spin->setRange(session_.Sel_ana_spin.min(), session_.Sel_ana_spin.max());
        main->Sel_ana_spin->setValue(session_.Sel_ana_spin());
        main->refreshFromSession();
        main->offerWholeTrace();
    }
}

void TSelectShotsForm::BitBtn1Click() {
    close();
}

void TSelectShotsForm::S_ReditEnter() {
    const std::string& entry = session_.rowFiles[0];
    if (spelledAs(entry, InputFormat::Ascii) || spelledAs(entry, InputFormat::Segy)) {
        session_.ascii.headerEnabled = false;
    } else {
        session_.ascii.headerEnabled = true;
        session_.ascii.headerText = "file header";
    }
}

void TSelectShotsForm::showEvent(QShowEvent* event) {
    S_ReditEnter();
    QDialog::showEvent(event);
}

} // namespace tarnix
