#include "ui/help_pages.h"

#include "processing/sequence_editor.h"

#include <QFileInfo>

namespace tarnix {

namespace {
QString shippedPath(const std::string& page) {
    return ":/help/" + QString::fromStdString(page);
}
} // namespace

bool hasShippedHelpPage(const std::string& page) {
    // A name with a directory part must not reach outside the shipped folder.
    if (page.empty() || page.find('/') != std::string::npos) return false;
    return QFileInfo(shippedPath(page)).isFile();
}

QUrl helpPageUrl(const std::string& page) {
    if (page.empty()) return {};
    const std::string own = helpPagePath(page);
    if (!own.empty() && QFileInfo(QString::fromStdString(own)).isFile())
        return QUrl::fromLocalFile(QString::fromStdString(own));
    if (hasShippedHelpPage(page)) return QUrl("qrc" + shippedPath(page));
    return {};
}

} // namespace tarnix
