#pragma once
#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QSpinBox;
class QPushButton;

namespace tarnix {
class Session;

// "Ascii File Parameters": the sampling frequency of an ASCII table. OK takes
// it; closing the window shows Select Shots over the table's columns.
class TAsciiSelectForm : public QDialog {
    Q_OBJECT
public:
    explicit TAsciiSelectForm(Session& session, QWidget* parent = nullptr);
    void refreshFromSession();

    QLineEdit* S_Redit = nullptr;
    QPushButton* Ok = nullptr;

public slots:
    void OkClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Session& session_;
};

// "Binary File Format": how a headerless sample file is laid out. OK opens
// the chosen file with these settings and shows Select Shots.
class TBINSelectForm : public QDialog {
    Q_OBJECT
public:
    explicit TBINSelectForm(Session& session, QWidget* parent = nullptr);
    void refreshFromSession();

    QSpinBox* samples_per_sweep = nullptr;
    QSpinBox* bits_per_sample = nullptr;
    QSpinBox* Sampling_frequency = nullptr;
    QButtonGroup* channels = nullptr;
    QPushButton* OKbutt = nullptr;
    QPushButton* CancelButt = nullptr;

public slots:
    void OKbuttClick();

private:
    Session& session_;
};

} // namespace tarnix
