#include "ui/notes_form.h"

#include "core/session.h"

namespace tarnix {

TNotesForm::TNotesForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("NotesForm");
    setWindowTitle("");
}

} // namespace tarnix
