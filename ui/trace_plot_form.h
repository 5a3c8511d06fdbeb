#pragma once
#include <QDialog>

namespace tarnix {
class Session;

// Tool window, created once at start-up and shown or hidden on demand.
class TTrace_Plot_Form : public QDialog {
    Q_OBJECT
public:
    explicit TTrace_Plot_Form(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

} // namespace tarnix
