// File opening, the Select Shots entry point and the single-trace refresh.
#include "core/session.h"
#include "display/instruments.h"
#include "formats/file_open.h"
#include "formats/segy_header.h"
#include "formats/segy_reader.h"
#include "formats/trace_text.h"
#include "navigation/nav_file.h"
#include "processing/processor.h"
#include "ui/ascii_select_form.h"
#include "ui/bmp_form.h"
#include "ui/segy_select_form.h"
#include "ui/select_shots_form.h"
#include "ui/tarnix_form.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QSpinBox>
#include <QTabWidget>

namespace tarnix {

void TTarnixForm::OpenFile1Click() {
    runOpenCommand(QString());
}

void TTarnixForm::runOpenCommand(const QString& filterName) {
    Session& s = session_;
    guarded([&] { CLOSE_FILES(s); });
    s.goEnabled = false;
    refreshFromSession();

    QFileDialog dialog(this, "Open");
    dialog.setObjectName("OpenDialog1");
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = QString::fromStdString(openDialogFilters()).split(";;");
    dialog.setNameFilters(filters);
    for (const QString& f : filters)
        if (!filterName.isEmpty() && f.startsWith(filterName + " (")) dialog.selectNameFilter(f);
    dialog.setDefaultSuffix(kOpenDialogDefaultSuffix);
    if (const QString last = lastDirectory("open"); !last.isEmpty())
        dialog.setDirectory(last);
    else if (!s.InputFileName.empty())
        dialog.setDirectory(QFileInfo(QString::fromStdString(s.InputFileName)).absolutePath());
    QString chosen;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        chosen = dialog.selectedFiles().first();
    setLastDirectory("open", chosen);
    openDataFile(chosen);
}

// The open command after its dialog: an empty path opens the file opened before.
void TTarnixForm::openDataFile(const QString& path) {
    Session& s = session_;
    InputFormat format = InputFormat::None;
    guarded([&] { format = openCommand(s, path.toStdString()); });
    if (!s.InputFileName.empty()) Shots1->setEnabled(true);
    if (format != InputFormat::None) rememberInputFile();
    if (format != InputFormat::None && formatInfo(format).options == OptionsWindow::Segy &&
        forms.SEGYSelectForm) {
        forms.SEGYSelectForm->showFileFormat();
        forms.SEGYSelectForm->show();
        forms.SEGYSelectForm->raise();
    } else if ((format == InputFormat::Xtf || format == InputFormat::Seg2) && s.InputOpen) {
        GroupBox9->setTitle("File: " + QString::fromStdString(s.InputFileName));
    } else if (format == InputFormat::Binary) {
        if (!BINSelectForm) {
            BINSelectForm = new TBINSelectForm(s, this);
            BINSelectForm->setWindowFlag(Qt::Window);
        }
        BINSelectForm->refreshFromSession();
        BINSelectForm->show();
        BINSelectForm->raise();
    } else if (format == InputFormat::Ascii && s.InputOpen && forms.AsciiSelectForm) {
        forms.AsciiSelectForm->refreshFromSession();
        forms.AsciiSelectForm->show();
        forms.AsciiSelectForm->raise();
    } else if (format == InputFormat::Bitmap && s.InputOpen) {
        GroupBox9->setTitle("File: " + QString::fromStdString(s.InputFileName));
        // After the open command's last clearing, which would empty its rows.
        guarded([&] { importSideNavigation(s, s.InputFileName); });
        showScannedProfile();
    } else if ((format == InputFormat::Korva20 || format == InputFormat::Korva05) && s.InputOpen) {
        // The record file is read; its shot range waits for the user's OK.
        refreshFromSession();
        Shots1Click();
    } else if (format == InputFormat::None && !s.InputFileName.empty()) {
        s.Edit4 =
            "No reader for \"" + upperExtension(s.InputFileName) + "\" files: nothing was opened";
    }
    refreshFromSession();
}

void TTarnixForm::Shots1Click() {
    Session& s = session_;
    if (forms.SelectShotsForm) {
        forms.SelectShotsForm->refreshFromSession();
        forms.SelectShotsForm->show();
        forms.SelectShotsForm->raise();
    }
    if (SegyInput* in = segyInput(s); in && s.InputOpen) {
        try {
            in->readTrace(s, s.shots.StartShot());
        } catch (const std::exception& e) {
            s.Edit4 = e.what();
        }
        refreshFromSession();
    }
}

void TTarnixForm::ExportAscii1Click() {
    Session& s = session_;
    // Only a KORVA 2.0 input has a table to export.
    if (!s.InputOpen || !spelledAs(s.InputFileName, InputFormat::Korva20)) {
        s.Edit4 = "Export Ascii reads KORVA 2.0 files (.d02): open one first";
        refreshFromSession();
        return;
    }
    const QString name = runAsciiFileDialog("Export Ascii");
    if (name.isEmpty()) return; // cancelled: nothing changes
    const std::string path = name.toLocal8Bit().toStdString();
    guarded([&] {
        const AsciiExport e = exportAscii(s, path);
        s.Edit4 = "Exported " + std::to_string(e.columns) + " shots x " + std::to_string(e.rows) +
                  " samples to " + path + (e.note.empty() ? "" : " (" + e.note + ")");
    });
    refreshFromSession();
}

void TTarnixForm::REFRESH_INSTRUMENTS_OR_SEGYHEADER() {
    Session& s = session_;
    if (!s.InputOpen) return;
    const int page = PageControl1->currentIndex();
    // The instruments' sample count; a read whose window copy sets it wins.
    if (page == AnalysisPage) s.NumSamples = analysisSampleCount(s);
    try {
        processor().READ_A_TRACE(Sel_ana_spin->value());
    } catch (const std::exception& e) {
        // Stepping past the last trace is routine: say so where the status goes.
        s.Edit4 = e.what();
        refreshFromSession();
        return;
    }
    if (page == AnalysisPage) {
        refreshInstruments();
    } else if (page == SegyHeaderPage) {
        showSegyHeaderListing(s);
    }
    s.Edit3 = "TRACE NUM. " + std::to_string(segyGet(s.segyTraceHeader, segy::SeqLine));
    s.Edit4 = "CHAN NUM. " + std::to_string(segyGet(s.segyTraceHeader, segy::Channel));
    refreshFromSession();
}

} // namespace tarnix
