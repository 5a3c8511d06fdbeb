#include "ui/time_slice_form.h"
#include "ui/file_dialogs.h"

#include "core/numtext.h"
#include "core/session.h"
#include "navigation/time_slice.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

namespace tarnix {

TTimeSliceForm::TTimeSliceForm(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("TimeSliceForm");
    setWindowTitle("Time Slice");
    auto* grid = new QGridLayout(this);
    auto* outLabel = new QLabel("Out file name:", this);
    outLabel->setObjectName("Label1");
    Edit1 = new QLineEdit("Slice.txt", this);
    Edit1->setObjectName("Edit1");
    Edit1->setMinimumWidth(260);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    SpeedButton1->setToolTip("Out file name");
    auto* levelLabel = new QLabel("Slice level (samples):", this);
    levelLabel->setObjectName("Label2");
    Edit2 = new QLineEdit("1957", this);
    Edit2->setObjectName("Edit2");
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), "Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    grid->addWidget(outLabel, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(SpeedButton1, 0, 2);
    grid->addWidget(levelLabel, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    grid->addLayout(buttons, 2, 0, 1, 3);
    connect(BitBtn1, &QPushButton::clicked, this, &TTimeSliceForm::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TTimeSliceForm::BitBtn2Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TTimeSliceForm::SpeedButton1Click);
}

void TTimeSliceForm::SpeedButton1Click() {
    QString name;
    if (chooseOutFile) {
        name = chooseOutFile();
    } else {
        QFileDialog dialog(this, "Save As");
        dialog.setObjectName("SaveDialog1");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({"Text Files (*.txt)", "Any File (*)"});
        dialog.setDefaultSuffix("txt");
        dialog.selectFile(Edit1->text());
        if (const QStringList files = execRemembered(dialog, "timeSliceOutput"); !files.isEmpty())
            name = files.first();
    }
    if (!name.isEmpty()) Edit1->setText(name);
}

void TTimeSliceForm::BitBtn2Click() {
    close();
}

void TTimeSliceForm::BitBtn1Click() {
    TTarnixForm* main = windowsOf(this).TarnixForm;
    if (!main) return;
    lastResult.clear();
    // A level that is no whole number is refused before any dialog or file.
    long long level = 0;
    if (!tryParseInt(Edit2->text().toStdString(), level) || level < 1) {
        lastResult =
            QString("'%1' is not a slice level (a sample number from 1)").arg(Edit2->text());
        main->showError(lastResult);
        return;
    }
    hide();
    const QStringList names = main->runOpenTSdialog();
    if (names.isEmpty() || names.first().isEmpty()) return; // nothing is written
    std::vector<std::string> files;
    for (const QString& n : names) files.push_back(n.toLocal8Bit().toStdString());
    const std::string out = Edit1->text().toLocal8Bit().toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    main->guarded([&] {
        try {
            const TimeSliceResult r = extractTimeSlice(session_, files, std::to_string(level), out);
            lastResult = QString("Time slice %1: %2 lines from %3 %4")
                             .arg(Edit1->text())
                             .arg(r.lines)
                             .arg(files.size())
                             .arg(files.size() == 1 ? "file" : "files");
        } catch (const std::exception& e) {
            lastResult = QString::fromLocal8Bit(e.what());
            throw;
        }
    });
    QApplication::restoreOverrideCursor();
    main->refreshFromSession();
    main->statusBar()->showMessage(lastResult, 15000);
}

} // namespace tarnix
