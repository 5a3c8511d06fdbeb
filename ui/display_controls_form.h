#pragma once
#include <QDialog>

namespace tarnix {
class Session;

// Tool window, created once at start-up and shown or hidden on demand.
class TDisplayControlsForm : public QDialog {
    Q_OBJECT
public:
    explicit TDisplayControlsForm(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

} // namespace tarnix
