#pragma once
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace tarnix {
class Session;

// Shows the program's fixed disclaimer text; closing only hides it.
class TDisclaimers_form : public QDialog {
    Q_OBJECT
public:
    explicit TDisclaimers_form(Session& session, QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* OKButt = nullptr;

private:
    Session& session_;
};

} // namespace tarnix
