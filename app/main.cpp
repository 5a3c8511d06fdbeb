#include "core/session.h"
#include "ui/tarnix_form.h"
#include "ui/windows.h"

#include <QApplication>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("XTARNIX");
    auto session = std::make_unique<tarnix::Session>();
    tarnix::Windows windows = tarnix::createWindows(*session);
    windows.TarnixForm->show();
    int rc = app.exec();
    delete windows.TarnixForm;
    return rc;
}
