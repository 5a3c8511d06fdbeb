#pragma once
#include <QDialog>
#include <QString>

#include <functional>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace tarnix {
class Session;

// "Time Slice": the table's name and the slice level; OK asks the main window
// for the lines (`OpenTSdialog`) and extracts the slice.
class TTimeSliceForm : public QDialog {
    Q_OBJECT
public:
    explicit TTimeSliceForm(Session& session, QWidget* parent = nullptr);

    QLineEdit* Edit1 = nullptr;          // "Out file name:"
    QToolButton* SpeedButton1 = nullptr; // its save dialog
    QLineEdit* Edit2 = nullptr;          // "Slice level (samples):"
    QPushButton* BitBtn1 = nullptr;      // "OK"
    QPushButton* BitBtn2 = nullptr;      // "Cancel"
    // SpeedButton1 asks this for the name when set (an empty name cancels).
    std::function<QString()> chooseOutFile;
    // What the last OK did, for the main window's status bar and the tests.
    QString lastResult;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void SpeedButton1Click();

private:
    Session& session_;
};

} // namespace tarnix
