#pragma once
// File dialogs that start where the same kind of dialog was last confirmed.
// The directories live in the per-user settings store under "directories/KEY".
#include <QString>
#include <QStringList>

class QFileDialog;

namespace tarnix {

// The directory last confirmed under `key`, empty when none is stored or it is gone.
QString lastDirectory(const QString& key);
// Records the directory of a chosen file (or a directory itself).
void setLastDirectory(const QString& key, const QString& fileOrDir);
// Runs `dialog`, starting in `key`'s last directory when one is stored (else
// where the caller put it); the chosen files, empty when cancelled.
QStringList execRemembered(QFileDialog& dialog, const QString& key);

} // namespace tarnix
