#include "ui/file_dialogs.h"

#include "ui/tarnix_form.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace tarnix {

QString lastDirectory(const QString& key) {
    const QString dir = TTarnixForm::userSettings()->value("directories/" + key).toString();
    return QFileInfo(dir).isDir() ? dir : QString();
}

void setLastDirectory(const QString& key, const QString& fileOrDir) {
    if (fileOrDir.isEmpty()) return;
    const QFileInfo info(fileOrDir);
    TTarnixForm::userSettings()->setValue(
        "directories/" + key, info.isDir() ? info.absoluteFilePath() : info.absolutePath());
}

QStringList execRemembered(QFileDialog& dialog, const QString& key) {
    if (const QString last = lastDirectory(key); !last.isEmpty()) dialog.setDirectory(last);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty()) setLastDirectory(key, files.first());
    return files;
}

} // namespace tarnix
