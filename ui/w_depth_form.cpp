#include "ui/w_depth_form.h"

#include "core/numtext.h"
#include "core/session.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace tarnix {

TW_depth_form::TW_depth_form(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("W_depth_form");
    setWindowTitle("W_depth");
    setModal(false);
    auto* l = new QHBoxLayout(this);
    l->addWidget(new QLabel("Water Depth (m) at first record", this));
    wdepth = new QLineEdit(QString::number(session_.segy.waterDepth), this);
    wdepth->setObjectName("wdepth");
    l->addWidget(wdepth);
}

void TW_depth_form::hideEvent(QHideEvent* event) {
    long long depth = 0;
    if (tryParseInt(wdepth->text().toStdString(), depth) && depth >= INT32_MIN &&
        depth <= INT32_MAX) {
        session_.segy.waterDepth = static_cast<int>(depth);
    } else {
        // A depth that is not a whole number keeps the one in use, and says so.
        session_.Edit4 = QStringLiteral("'%1' is not a water depth in whole metres; %2 m is kept")
                             .arg(wdepth->text())
                             .arg(session_.segy.waterDepth)
                             .toStdString();
        wdepth->setText(QString::number(session_.segy.waterDepth));
        if (TTarnixForm* main = windowsOf(this).TarnixForm) main->refreshFromSession();
    }
    QDialog::hideEvent(event);
}

} // namespace tarnix
