// The Positioning page: navigation list, its files and extraction from SEG-Y.
#include "core/session.h"
#include "navigation/nav_extract.h"
#include "navigation/nav_file.h"
#include "navigation/nav_list.h"
#include "ui/file_dialogs.h"
#include "ui/tarnix_form.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QTableWidget>

namespace tarnix {

namespace {

// ".NAV" side files are written in upper case; the filter shows both spellings.
const QStringList kOpenNavFilters = {"Navigation Files (*.nav *.NAV)", "SEGY (*.seg *.sgy)",
                                     "Any File (*)"};

// Navigation files usually lie beside the line they belong to.
void startInInputDirectory(QFileDialog& dialog, const Session& s) {
    if (!s.InputFileName.empty())
        dialog.setDirectory(QFileInfo(QString::fromStdString(s.InputFileName)).absolutePath());
}

} // namespace

QStringList TTarnixForm::runOpenNavDialog(const QString& title) {
    if (chooseNavFiles) return chooseNavFiles();
    QFileDialog dialog(this, title);
    dialog.setObjectName("OpenNAVDialog");
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(kOpenNavFilters);
    startInInputDirectory(dialog, session_);
    return execRemembered(dialog, "navigation");
}

void TTarnixForm::SavenavButtClick() {
    QString name;
    if (chooseNavSaveFile) {
        name = chooseNavSaveFile();
    } else {
        QFileDialog dialog(this, "Save Navigation");
        dialog.setObjectName("Navdialog");
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter("Navigation File (*.nav)");
        dialog.setDefaultSuffix("nav");
        startInInputDirectory(dialog, session_);
        if (const QStringList files = execRemembered(dialog, "navigation"); !files.isEmpty())
            name = files.first();
    }
    if (name.isEmpty()) return;
    guarded([&] { saveNavigation(session_, name.toLocal8Bit().toStdString()); });
    refreshFromSession();
}

void TTarnixForm::importNavbuttClick() {
    const QStringList names = runOpenNavDialog("Import Navigation");
    if (names.isEmpty() || names.first().isEmpty()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    guarded([&] { IMPORT_NAV(session_, names.first().toLocal8Bit().toStdString()); });
    QApplication::restoreOverrideCursor();
    // Rows read before a bad line stay, so the list is shown either way,
    // from its first fix (the rows before it are empty).
    refreshFromSession();
    const auto& grid = session_.navigationGrid;
    for (size_t row = 1; row < grid.size(); ++row) {
        if (grid[row].empty()) continue;
        if (QTableWidgetItem* item = NavigationGrid->item(static_cast<int>(row) - 1, 0))
            NavigationGrid->scrollToItem(item, QAbstractItemView::PositionAtTop);
        break;
    }
}

void TTarnixForm::ClearNavButtClick() {
    CLEAR_NAV_GRID(session());
    refreshFromSession();
}

void TTarnixForm::ExtractNAV1Click() {
    const QStringList names = runOpenNavDialog("Extract NAV from SEGY");
    if (names.isEmpty() || names.first().isEmpty()) return;
    std::vector<std::string> files;
    for (const QString& n : names) files.push_back(n.toLocal8Bit().toStdString());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    guarded([&] { extractNavigation(session_, files); });
    QApplication::restoreOverrideCursor();
    refreshFromSession();
}

} // namespace tarnix
