// The Reflectivity page (OPEN, SAVE, the curve's read-out and click) and the
// line selection of the time slices.
#include "core/session.h"
#include "display/reflectivity_curve.h"
#include "navigation/reflectivity_view.h"
#include "ui/controls.h"
#include "ui/tarnix_form.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTableWidget>

namespace tarnix {

namespace {

// RCCM writes ".REF"; a case-sensitive file system would hide it behind "*.ref".
const QString kRefOpenFilter = "Ref Files (*.ref *.REF)";
const QString kRefSaveFilter = "REFLECTIVITY Files (*.ref)";

} // namespace

void TTarnixForm::SpeedButton7Click() {
    QString name;
    if (chooseRefFile) {
        name = chooseRefFile();
    } else {
        QFileDialog dialog(this, "Open");
        dialog.setObjectName("OpenRefDialog");
        dialog.setNameFilter(kRefOpenFilter);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDirectory(lastDirectory("reflectivity"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().first();
    }
    if (name.isEmpty()) return;
    setLastDirectory("reflectivity", name);
    std::unique_ptr<tarnix::ReflectivityPage> page;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    guarded([&] {
        page = std::make_unique<tarnix::ReflectivityPage>(
            openReflectivityPage(session_, name.toLocal8Bit().toStdString()));
    });
    if (!page) {
        QApplication::restoreOverrideCursor();
        return;
    }
    refPage_ = std::move(page);
    const tarnix::ReflectivityPage& p = *refPage_;
    Label16->setText(QString::fromStdString(p.fileName));
    refgrid->clearContents();
    refgrid->setRowCount(static_cast<int>(p.rows.size()));
    for (size_t r = 0; r < p.rows.size(); ++r)
        refgrid->setItem(static_cast<int>(r), 0,
                         new QTableWidgetItem(QString::fromLocal8Bit(p.rows[r])));
    Edit5->setText(QString::fromStdString(p.maxText));
    Edit6->setText(QString::fromStdString(p.minText));
    const QImage curve = reflectivityCurveImage(p, kReflectivityCurveHeight);
    graph1->setPixmap(crispPixmap(curve, graph1->devicePixelRatioF()));
    graph1->resize(curve.isNull() ? QSize(0, kReflectivityCurveHeight) : curve.size());
    QApplication::restoreOverrideCursor();
    if (!p.error.empty())
        showError(QString::fromLocal8Bit(p.error));
    else if (curve.isNull() && p.width() > 0)
        showError(QString("The curve of %1 lines is too wide for a bitmap").arg(p.width()));
}

void TTarnixForm::SpeedButton8Click() {
    QString name;
    if (chooseRefSaveFile) {
        name = chooseRefSaveFile();
    } else {
        QFileDialog dialog(this, "Save As");
        dialog.setObjectName("SaveRefDialog");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(kRefSaveFilter);
        dialog.setDefaultSuffix("ref");
        dialog.setDirectory(lastDirectory("reflectivity"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            name = dialog.selectedFiles().first();
    }
    long long written = 0;
    if (!name.isEmpty()) {
        setLastDirectory("reflectivity", name);
        std::vector<std::string> rows(static_cast<size_t>(refgrid->rowCount()));
        for (int r = 0; r < refgrid->rowCount(); ++r)
            if (const QTableWidgetItem* item = refgrid->item(r, 0))
                rows[static_cast<size_t>(r)] = item->text().toLocal8Bit().toStdString();
        guarded([&] { written = saveReflectivityRows(rows, name.toLocal8Bit().toStdString()); });
    }
    session_.Edit3 = savedRowsText(written);
    refreshFromSession();
}

void TTarnixForm::graph1MouseMove(int x, int /*y*/) {
    if (refPage_) setStatusPanel(2, QString::fromStdString(refPage_->readout(x)));
}

void TTarnixForm::graph1MouseDown(Qt::MouseButton /*button*/, Qt::KeyboardModifiers /*shift*/,
                                  int x, int /*y*/) {
    if (!refPage_) return;
    const int row = refPage_->rowAt(x);
    if (row < 0 || row >= refgrid->rowCount()) return;
    refgrid->setCurrentCell(row, 0);
    if (QTableWidgetItem* item = refgrid->item(row, 0)) refgrid->scrollToItem(item);
}

QStringList TTarnixForm::runOpenTSdialog() {
    if (chooseTimeSliceFiles) return chooseTimeSliceFiles();
    QFileDialog dialog(this, "Open");
    dialog.setObjectName("OpenTSdialog");
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({"SEGY (*.seg *.sgy *.SEG *.SGY)", "Any File (*)"});
    QString dir = lastDirectory("timeSlices");
    if (dir.isEmpty() && !session_.InputFileName.empty())
        dir = QFileInfo(QString::fromStdString(session_.InputFileName)).absolutePath();
    dialog.setDirectory(dir);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList names = dialog.selectedFiles();
    if (!names.isEmpty()) setLastDirectory("timeSlices", names.first());
    return names;
}

} // namespace tarnix
