#pragma once
#include <QMainWindow>

namespace tarnix {
class Session;

// The main window: owns the session's view, the profile image and the tool windows.
class TTarnixForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TTarnixForm(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

} // namespace tarnix
