#include "ui/bmp_form.h"
#include "ui/file_dialogs.h"

#include "core/error.h"
#include "core/session.h"
#include "formats/bitmap_input.h"
#include "formats/boundary_file.h"
#include "ui/tarnix_form.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnix {

TBMPForm::TBMPForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("BMPForm");
    setWindowTitle("BMPForm");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* v = new QVBoxLayout(this);
    menu = new QMenuBar(this);
    QMenu* file = menu->addMenu("&File");
    QAction* load = file->addAction("&Load Boundaries");
    load->setObjectName("LoadBNDFile1");
    QAction* save = file->addAction("&Save Boundaries");
    save->setObjectName("SaveBoundaries1");
    QAction* exit = file->addAction("E&xit");
    exit->setObjectName("Exit1");
    v->setMenuBar(menu);
    static const char* const kNames[8] = {"Top",  "Bottom", "Left", "Right",
                                          "xmin", "xmax",   "ymin", "ymax"};
    static const char* const kCaptions[8] = {
        "Start Sweep (msec)", "End Sweep (msec)", "Start Shot",     "End Shot",
        "X min (pixels)",     "X max (pixels)",   "Y min (pixels)", "Y max (pixels)"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        fields[i] = new QLineEdit(this);
        fields[i]->setObjectName(kNames[i]);
        grid->addWidget(new QLabel(kCaptions[i], this), i % 4, (i / 4) * 2);
        grid->addWidget(fields[i], i % 4, (i / 4) * 2 + 1);
        connect(fields[i], &QLineEdit::textEdited, this, [this, i](const QString& t) {
            *boundaryFields(session_.bmp.bounds)[static_cast<size_t>(i)] = t.toStdString();
        });
    }
    v->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    v->addLayout(buttons);
    statusmap = new QLabel(this);
    statusmap->setObjectName("statusmap");
    statusmap->setFrameShape(QFrame::StyledPanel);
    v->addWidget(statusmap);
    connect(load, &QAction::triggered, this, &TBMPForm::LoadBNDFile1Click);
    connect(save, &QAction::triggered, this, &TBMPForm::SaveBoundaries1Click);
    connect(exit, &QAction::triggered, this, &QDialog::close);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::close);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::close);
    refreshFromSession();
}

void TBMPForm::refreshFromSession() {
    const auto texts = boundaryFields(session_.bmp.bounds);
    for (int i = 0; i < 8; ++i) {
        const QString t = QString::fromStdString(*texts[static_cast<size_t>(i)]);
        if (fields[i]->text() != t) fields[i]->setText(t);
    }
    statusmap->setText(QString::fromStdString(session_.bmp.statusmap));
}

void TBMPForm::LoadParam(const QString& fileName) {
    int w = 0, h = 0;
    if (BitmapInput* in = bitmapInput(session_)) {
        w = in->image()->width;
        h = in->image()->height;
    }
    loadBitmapParam(session_, fileName.toStdString(), w, h);
    refreshFromSession();
    if (TTarnixForm* main = windowsOf(this).TarnixForm) main->refreshFromSession();
}

void TBMPForm::LoadBNDFile1Click() {
    QFileDialog dialog(this, "Load Boundaries");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter("Map Boundaries (*.bnd)");
    const QStringList files = execRemembered(dialog, "boundaries");
    if (files.isEmpty()) return;
    const QString name = files.first();
    session_.bmp.bndFileName = name.toStdString();
    LoadParam(name);
}

void TBMPForm::SaveBoundaries1Click() {
    QFileDialog dialog(this, "Save Boundaries");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("Map Boundaries (*.BND)");
    dialog.setDefaultSuffix("bnd");
    const QStringList files = execRemembered(dialog, "boundaries");
    if (files.isEmpty()) return;
    try {
        saveBitmapParam(session_, files.first().toStdString());
    } catch (const Error& e) {
        session_.bmp.statusmap = e.what();
    }
    refreshFromSession();
}

void TBMPForm::closeEvent(QCloseEvent* event) {
    // OK, Cancel and the frame all apply the texts, as the window's close does.
    if (bitmapInput(session_)) {
        try {
            applyBitmapForm(session_);
        } catch (const ConversionError& e) {
            // Said where the user looks next; Set shows the window again.
            session_.bmp.statusmap = e.what();
            session_.Edit4 = e.what();
        }
    }
    refreshFromSession();
    if (TTarnixForm* main = windowsOf(this).TarnixForm) main->refreshFromSession();
    QDialog::closeEvent(event);
}

} // namespace tarnix
