#pragma once
#include <QDialog>

class QLineEdit;

namespace tarnix {
class Session;

// The water-depth window ("W_depth"): the depth in metres used by the
// Multiping delay, taken whenever the window closes.
class TW_depth_form : public QDialog {
    Q_OBJECT
public:
    explicit TW_depth_form(Session& session, QWidget* parent = nullptr);

    QLineEdit* wdepth = nullptr;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    Session& session_;
};

} // namespace tarnix
