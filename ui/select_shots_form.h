#pragma once
#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tarnix {
class Session;

// The Select Shots window: the shot range of a run, the signal conditioning
// of big-endian SEG-Y reads and the channel read. Its OK enables GO.
class TSelectShotsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelectShotsForm(Session& session, QWidget* parent = nullptr);

    // Shows the session's shot selection without running any handler.
    void refreshFromSession();

    QLabel* Label1 = nullptr; // "File:  " + name
    QLabel* Label2 = nullptr; // "Total: " + trace count
    QSpinBox* StartShot = nullptr;
    QSpinBox* EndShot = nullptr;
    QLineEdit* MUL = nullptr;
    QLineEdit* ADD = nullptr;
    QSpinBox* chan_to_display = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* BitBtn1 = nullptr; // Cancel

public slots:
    void OKClick();
    void BitBtn1Click();
    void S_ReditEnter();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Session& session_;
};

} // namespace tarnix
