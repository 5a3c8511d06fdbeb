#pragma once
#include <QDialog>

namespace tarnix {
class Session;

// Tool window, created once at start-up and shown or hidden on demand.
class TTimeSliceForm : public QDialog {
    Q_OBJECT
public:
    explicit TTimeSliceForm(Session& session, QWidget* parent = nullptr);

private:
    Session& session_;
};

} // namespace tarnix
