// Help > "Tarnix Help": the main window's page in a viewer of its own, the
// user's copy under $HOME/tarnix when there is one.
#include "ui/help_pages.h"
#include "ui/tarnix_form.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tarnix {

void TTarnixForm::buildHelpActions(QMenu* help) {
    HelpContents1 = new QAction("Tarnix &Help", help);
    HelpContents1->setObjectName("HelpContents1");
    HelpContents1->setShortcut(QKeySequence(Qt::Key_F1));
    help->insertAction(Disclaimers1, HelpContents1);
    // The shortcut works wherever the main window has the focus, menu open or not.
    addAction(HelpContents1);
    connect(HelpContents1, &QAction::triggered, this, &TTarnixForm::HelpContents1Click);
}

void TTarnixForm::HelpContents1Click() {
    if (!HelpForm) {
        HelpForm = new QDialog(this);
        HelpForm->setObjectName("HelpForm");
        HelpForm->setWindowTitle("Tarnix Help");
        HelpForm->resize(640, 720);
        auto* viewer = new QTextBrowser(HelpForm);
        viewer->setObjectName("HelpViewer");
        viewer->setOpenLinks(true);
        auto* lay = new QVBoxLayout(HelpForm);
        lay->addWidget(viewer);
    }
    auto* viewer = HelpForm->findChild<QTextBrowser*>("HelpViewer");
    const QUrl url = helpPageUrl(kMainHelpPage);
    if (url.isEmpty())
        viewer->setPlainText("The help page " + QString(kMainHelpPage) + " is missing.");
    else
        viewer->setSource(url);
    HelpForm->show();
    HelpForm->raise();
}

} // namespace tarnix
