#include "ui/segy_select_form.h"

#include "core/session.h"
#include "formats/file_open.h"
#include "formats/segy_reader.h"
#include "formats/segy_samples.h"
#include "ui/select_shots_form.h"
#include "ui/tarnix_form.h"
#include "ui/w_depth_form.h"
#include "ui/windows.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarnix {

namespace {

QGroupBox* radioGroup(QWidget* parent, const char* name, const QString& title,
                      const QStringList& items, int columns, QButtonGroup*& group) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* grid = new QGridLayout(box);
    group = new QButtonGroup(box);
    const int rows = (items.size() + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        group->addButton(b, i);
        grid->addWidget(b, i % rows, i / rows);
    }
    return box;
}

} // namespace

TSEGYSelectForm::TSEGYSelectForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("SEGYSelectForm");
    setWindowTitle("SEGY File Type");
    setModal(false);

    SEGYRadio = radioGroup(this, "SEGYRadio", "Numeric Format",
                           {"little-endian (PC)", "big-endian (MAC)", "detect"}, 1, byteOrder_);
    QStringList chans;
    for (int i = 1; i <= 24; ++i) chans << QString::number(i);
    NumofChanRadio = radioGroup(this, "NumofChanRadio", "Channels", chans, 6, channels_);
    HeadType = radioGroup(this, "HeadType", "Header Type", {"ASCII", "EBCDIC"}, 1, charset_);
    DataFormatRadio = radioGroup(
        this, "DataFormatRadio", "Data Format",
        {"16 bit fixed", "32 bit fixed", "32 bit float", "32 bit fix+gain"}, 1, formats_);
    formats_->button(3)->setEnabled(false); // samples with gain codes are not read

    SamplingGroup = new QGroupBox("Sampling Rate editor", this);
    SamplingGroup->setObjectName("SamplingGroup");
    auto* sl = new QHBoxLayout(SamplingGroup);
    S_REdit = new QLineEdit(SamplingGroup);
    S_REdit->setObjectName("S_REdit");
    ChangeBox = new QCheckBox("Change", SamplingGroup);
    ChangeBox->setObjectName("ChangeBox");
    sl->addWidget(S_REdit);
    sl->addWidget(ChangeBox);

    ScalerGroup = new QGroupBox("Coordinates Scaler", this);
    ScalerGroup->setObjectName("ScalerGroup");
    auto* cl = new QGridLayout(ScalerGroup);
    XEditscaler = new QLineEdit(ScalerGroup);
    XEditscaler->setObjectName("XEditscaler");
    YEditScaler = new QLineEdit(ScalerGroup);
    YEditScaler->setObjectName("YEditScaler");
    cl->addWidget(new QLabel("X Coord *", ScalerGroup), 0, 0);
    cl->addWidget(XEditscaler, 0, 1);
    cl->addWidget(new QLabel("Y Coord *", ScalerGroup), 1, 0);
    cl->addWidget(YEditScaler, 1, 1);

    Z_scaler = radioGroup(this, "Z_scaler", "Time Delay", {"Delay", "Multiping"}, 1, delaySource_);

    OKbutt = new QPushButton("OK", this);
    OKbutt->setObjectName("OKbutt");
    OKbutt->setDefault(true);
    Cancelbutt = new QPushButton("Cancel", this);
    Cancelbutt->setObjectName("Cancelbutt");

    auto* left = new QVBoxLayout;
    left->addWidget(SEGYRadio);
    left->addWidget(HeadType);
    left->addWidget(DataFormatRadio);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(NumofChanRadio);
    right->addWidget(SamplingGroup);
    right->addWidget(ScalerGroup);
    right->addWidget(Z_scaler);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKbutt);
    buttons->addWidget(Cancelbutt);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto* main = new QVBoxLayout(this);
    main->addLayout(columns);
    main->addLayout(buttons);

    // Each control writes its setting on every change.
    SegyOptions& o = session_.segy;
    connect(byteOrder_, &QButtonGroup::idClicked, this, [this, &o](int id) {
        o.SEGYRadio = id;
        showFileFormat(); // the header's code reads differently in the other order
    });
    connect(formats_, &QButtonGroup::idClicked, this, [this, &o](int id) {
        o.DataFormatRadio = id;
        o.dataFormatCode = segyCodeOfDataFormatItem(id, headerCode_);
    });
    connect(channels_, &QButtonGroup::idClicked, this, [&o](int id) { o.NumofChanRadio = id; });
    connect(charset_, &QButtonGroup::idClicked, this, [&o](int id) { o.HeadType = id; });
    connect(S_REdit, &QLineEdit::textChanged, this,
            [&o](const QString& t) { o.S_REdit = t.toStdString(); });
    connect(ChangeBox, &QCheckBox::toggled, this, [&o](bool on) { o.ChangeBox = on; });
    connect(XEditscaler, &QLineEdit::textChanged, this,
            [&o](const QString& t) { o.XEditscaler = t.toStdString(); });
    connect(YEditScaler, &QLineEdit::textChanged, this,
            [&o](const QString& t) { o.YEditScaler = t.toStdString(); });
    connect(delaySource_, &QButtonGroup::idClicked, this, [this, &o](int id) {
        o.Z_scaler = id;
        Z_scalerClick();
    });
    connect(OKbutt, &QPushButton::clicked, this, &TSEGYSelectForm::OKbuttClick);
    connect(Cancelbutt, &QPushButton::clicked, this, &TSEGYSelectForm::CancelbuttClick);

    refreshFromSession();
}

void TSEGYSelectForm::refreshFromSession() {
    const SegyOptions& o = session_.segy;
    auto check = [](QButtonGroup* g, int id) {
        if (QAbstractButton* b = g->button(id)) b->setChecked(true);
    };
    check(byteOrder_, o.SEGYRadio);
    check(channels_, o.NumofChanRadio);
    check(charset_, o.HeadType);
    check(delaySource_, o.Z_scaler);
    check(formats_, o.DataFormatRadio);
    if (S_REdit->text().toStdString() != o.S_REdit)
        S_REdit->setText(QString::fromStdString(o.S_REdit));
    ChangeBox->setChecked(o.ChangeBox);
    if (XEditscaler->text().toStdString() != o.XEditscaler)
        XEditscaler->setText(QString::fromStdString(o.XEditscaler));
    if (YEditScaler->text().toStdString() != o.YEditScaler)
        YEditScaler->setText(QString::fromStdString(o.YEditScaler));
}

void TSEGYSelectForm::OKbuttClick() {
    const Windows& w = windowsOf(this);
    raise();
    bool opened = false;
    try {
        segyOptionsOk(session_);
        opened = true;
    } catch (const std::exception& e) {
        // The open command's status field says why nothing was opened.
        session_.Edit4 = e.what();
    }
    if (w.TarnixForm) {
        if (opened && w.TarnixForm->Shots1) w.TarnixForm->Shots1->setEnabled(true);
        w.TarnixForm->refreshFromSession();
    }
    refreshFromSession(); // S_REdit shows the interval read
    if (opened && w.SelectShotsForm) {
        w.SelectShotsForm->refreshFromSession();
        w.SelectShotsForm->show();
        w.SelectShotsForm->raise();
    }
    close();
}

void TSEGYSelectForm::CancelbuttClick() {
    close();
}

void TSEGYSelectForm::Z_scalerClick() {
    if (session_.segy.Z_scaler != SegyOptions::Multiping) return;
    if (TW_depth_form* d = windowsOf(this).W_depth_form) {
        d->show();
        d->raise();
    }
}

void TSEGYSelectForm::showFileFormat() {
    SegyOptions& o = session_.segy;
    headerCode_ = segyHeaderFormatCode(session_.InputFileName, o);
    if (o.dataFormatCode == 0) o.DataFormatRadio = segyDataFormatItem(headerCode_);
    refreshFromSession();
}

void TSEGYSelectForm::hideEvent(QHideEvent* event) {
    if (TW_depth_form* d = windowsOf(this).W_depth_form; d && d->isVisible()) d->close();
    QDialog::hideEvent(event);
}

} // namespace tarnix
