#include "ui/disclaimers_form.h"

#include "core/session.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnix {

namespace {
const char* const kDisclaimer =
    "DISCLAIMER\n"
    "\n"
    "Tarnix is provided \"as is\", without warranty of any kind, express or implied,\n"
    "including but not limited to the warranties of merchantability, fitness for a\n"
    "particular purpose and non-infringement.\n"
    "\n"
    "The profiles, depths, positions and processed traces it shows or writes are\n"
    "aids to interpretation. They depend on the recorded data, on the navigation, on\n"
    "the sound speed and on the processing sequence chosen by the user, and they may\n"
    "be wrong. They must not be used for navigation, for the safety of vessels or\n"
    "persons, or for engineering decisions without independent verification.\n"
    "\n"
    "In no event shall the authors or copyright holders be liable for any claim,\n"
    "damages or other liability arising from the use of the program or of the files\n"
    "it writes.\n"
    "\n"
    "Keep copies of your original recordings, and check the output file names of a\n"
    "processing sequence before pressing GO: a run creates its output files anew.\n";
} // namespace

TDisclaimers_form::TDisclaimers_form(Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName("Disclaimers_form");
    setWindowTitle("");
    auto* v = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setPlainText(kDisclaimer);
    Memo1->setMinimumSize(560, 320);
    v->addWidget(Memo1, 1);
    OKButt = new QPushButton("OK", this);
    OKButt->setObjectName("OKButt");
    OKButt->setDefault(true);
    v->addWidget(OKButt, 0, Qt::AlignRight);
    connect(OKButt, &QPushButton::clicked, this, &QDialog::hide);
}

} // namespace tarnix
