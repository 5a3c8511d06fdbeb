// What the main window keeps between starts (geometry, directories, recent files,
// all in the per-user settings store, never in the defaults file), drag and drop,
// Save Image formats, Export PDF, the run's status text and the GO/STOP keys.
#include "core/recent_files.h"
#include "core/session.h"
#include "display/profile_export.h"
#include "display/profile_renderer.h"
#include "ui/file_dialogs.h"
#include "ui/notes_form.h"
#include "ui/segy_select_form.h"
#include "ui/tarnix_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

namespace tarnix {

namespace {

std::vector<RecentFile> loadRecent(QSettings& st) {
    std::vector<RecentFile> list;
    const int n = st.beginReadArray("recentFiles");
    for (int i = 0; i < n && i < kMaxRecentFiles; ++i) {
        st.setArrayIndex(i);
        RecentFile r{st.value("path").toString().toStdString(),
                     st.value("segyOptions").toString().toStdString()};
        if (!r.path.empty()) list.push_back(std::move(r));
    }
    st.endArray();
    return list;
}

void storeRecent(QSettings& st, const std::vector<RecentFile>& list) {
    st.beginWriteArray("recentFiles", static_cast<int>(list.size()));
    for (size_t i = 0; i < list.size(); ++i) {
        st.setArrayIndex(static_cast<int>(i));
        st.setValue("path", QString::fromStdString(list[i].path));
        st.setValue("segyOptions", QString::fromStdString(list[i].segyOptions));
    }
    st.endArray();
}

// The first local file of a drop, or empty.
QString droppedFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) return url.toLocalFile();
    return {};
}

} // namespace

std::unique_ptr<QSettings> TTarnixForm::userSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "tarnix",
                                       "tarnix");
}

void TTarnixForm::buildFileActions(QMenu* file) {
    setAcceptDrops(true);
    RecentFiles1 = new QMenu("Recent &Files", file);
    RecentFiles1->setObjectName("RecentFiles1");
    file->insertMenu(Close1, RecentFiles1);
    ExportPdf1 = new QAction("Export P&DF", file);
    ExportPdf1->setObjectName("ExportPdf1");
    file->insertAction(SaveConfig1, ExportPdf1);
    connect(ExportPdf1, &QAction::triggered, this, &TTarnixForm::ExportPdf1Click);
    refreshRecentFiles();

    StopKey = new QAction("STOP", this);
    StopKey->setObjectName("StopKey");
    StopKey->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(StopKey, &QAction::triggered, this, &TTarnixForm::STOPButtClick);
    GoKey = new QAction("GO", this);
    GoKey->setObjectName("GoKey");
    GoKey->setShortcut(QKeySequence(Qt::Key_F5));
    connect(GoKey, &QAction::triggered, this, [this] {
        if (Playbutt->isEnabled()) PlayButtClick();
    });
    addAction(StopKey);
    addAction(GoKey);
}

void TTarnixForm::refreshRecentFiles() {
    RecentFiles1->clear();
    const std::vector<RecentFile> list = loadRecent(*userSettings());
    for (size_t i = 0; i < list.size(); ++i) {
        const QString path = QString::fromStdString(list[i].path);
        QAction* a = RecentFiles1->addAction(
            QString("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName().replace("&", "&&")));
        a->setObjectName(QString("RecentFile%1").arg(i + 1));
        a->setToolTip(path);
        a->setStatusTip(path);
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { openRecentFile(index); });
    }
    RecentFiles1->setEnabled(!list.empty());
}

void TTarnixForm::rememberInputFile() {
    const Session& s = session_;
    if (s.InputFileName.empty() || !s.InputOpen) return;
    auto st = userSettings();
    std::vector<RecentFile> list = loadRecent(*st);
    const QString abs = QFileInfo(QString::fromStdString(s.InputFileName)).absoluteFilePath();
    addRecentFile(list, {abs.toStdString(), segyOptionsText(s.segy)});
    storeRecent(*st, list);
    st->sync();
    refreshRecentFiles();
}

void TTarnixForm::openRecentFile(int index) {
    const std::vector<RecentFile> list = loadRecent(*userSettings());
    if (index < 0 || index >= static_cast<int>(list.size())) return;
    Session& s = session_;
    guarded([&] { CLOSE_FILES(s); });
    s.goEnabled = false;
    applySegyOptionsText(list[index].segyOptions, s.segy);
    if (forms.SEGYSelectForm) forms.SEGYSelectForm->refreshFromSession();
    const QString path = QString::fromStdString(list[index].path);
    if (!QFileInfo(path).isFile()) {
        s.Edit4 = "The file " + list[index].path + " is no longer there";
        refreshFromSession();
        return;
    }
    openDataFile(path);
}

QString TTarnixForm::lastDirectory(const QString& key) const {
    return tarnix::lastDirectory(key);
}

void TTarnixForm::setLastDirectory(const QString& key, const QString& fileOrDir) {
    tarnix::setLastDirectory(key, fileOrDir);
}

bool TTarnixForm::restoreWindowState() {
    auto st = userSettings();
    const QByteArray geometry = st->value("mainWindow/geometry").toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) return false;
    restoreState(st->value("mainWindow/state").toByteArray());
    return true;
}

void TTarnixForm::closeEvent(QCloseEvent* event) {
    // Unsaved picks are offered for saving before the program ends.
    if (forms.NotesForm && forms.NotesForm->isVisible() && !forms.NotesForm->close()) {
        event->ignore();
        return;
    }
    auto st = userSettings();
    st->setValue("mainWindow/geometry", saveGeometry());
    st->setValue("mainWindow/state", saveState());
    QMainWindow::closeEvent(event);
}

void TTarnixForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty() && !runActive_) event->acceptProposedAction();
}

void TTarnixForm::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty() || runActive_) return;
    event->acceptProposedAction();
    // As File > Open does after its dialog: the previous input closes first.
    Session& s = session_;
    guarded([&] { CLOSE_FILES(s); });
    s.goEnabled = false;
    openDataFile(path);
}

void TTarnixForm::showRunProgress(const QString& text) {
    if (!RunProgressPanel) {
        RunProgressPanel = new QLabel(statusBar());
        RunProgressPanel->setObjectName("RunProgressPanel");
        RunProgressPanel->setFrameShape(QFrame::Panel);
        RunProgressPanel->setFrameShadow(QFrame::Sunken);
        statusBar()->addPermanentWidget(RunProgressPanel);
    }
    QLabel* panel = RunProgressPanel;
    if (text.isEmpty()) {
        panel->hide();
        panel->clear();
        return;
    }
    // A label of fixed size takes a new text without a relayout of the status
    // bar (hundreds of texts a second during a run). It only grows within a run,
    // so the panels beside it do not jump back and forth.
    const int width = panel->fontMetrics().horizontalAdvance(text) + 2 * panel->frameWidth() +
                      2 * panel->margin() + panel->fontMetrics().averageCharWidth();
    const bool appearing = panel->isHidden();
    panel->setText(text);
    if (appearing || width > panel->minimumWidth())
        panel->setFixedSize(width, panel->sizeHint().height());
    if (appearing) panel->show();
}

QString TTarnixForm::runProgressText() const {
    return RunProgressPanel && !RunProgressPanel->isHidden() ? RunProgressPanel->text() : QString();
}

void TTarnixForm::saveImageAs(const QString& path, const QString& filter) {
    QString name = path;
    const QString suffix = QFileInfo(name).suffix().toLower();
    // The filter decides when the name has no picture extension of its own.
    if (suffix != "bmp" && suffix != "png" && suffix != "tif" && suffix != "tiff")
        name += filter.contains("png") ? ".png" : filter.contains("tif") ? ".tif" : ".bmp";
    imageFileName = name;
    setLastDirectory("image", name);
    if (profileImage.isNull()) {
        showError("There is no profile image to save yet: run GO first.");
        return;
    }
    guarded([&] { saveProfileImage(profileImage, name.toStdString()); });
}

void TTarnixForm::ExportPdf1Click() {
    if (profileImage.isNull()) {
        showError("There is no profile image to export yet: run GO first.");
        return;
    }
    QFileDialog dialog(this, "Export PDF");
    dialog.setObjectName("PdfDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("PDF Files (*.pdf)");
    dialog.setDefaultSuffix("pdf");
    dialog.setDirectory(lastDirectory("pdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    exportPdf(dialog.selectedFiles().first());
}

void TTarnixForm::exportPdf(const QString& path) {
    setLastDirectory("pdf", path);
    guarded([&] { writeProfilePdf(session_, profileImage, annotFont, path.toStdString()); });
}

} // namespace tarnix
