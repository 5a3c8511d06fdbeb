#pragma once
#include <QDialog>

namespace tarnix {
class Session;

// Tool window, created once at start-up and shown or hidden on demand.
class TSelectShotsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelectShotsForm(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

} // namespace tarnix
