#pragma once
#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarnix {
class Session;

// The SEG-Y options window ("SEGY File Type"): byte order, channels, textual
// header character set, sample interval, coordinate factors and the delay
// source. Shown without blocking by the open command; OK opens the file.
class TSEGYSelectForm : public QDialog {
    Q_OBJECT
public:
    explicit TSEGYSelectForm(Session& session, QWidget* parent = nullptr);

    // Shows the session's SEG-Y options without running any handler.
    void refreshFromSession();
    // Shows them for the file about to be opened: "Data Format" shows the
    // format its binary header gives unless one was chosen.
    void showFileFormat();

    QGroupBox* SEGYRadio = nullptr;       // "Numeric Format"
    QGroupBox* NumofChanRadio = nullptr;  // "Channels"
    QGroupBox* HeadType = nullptr;        // "Header Type"
    QGroupBox* DataFormatRadio = nullptr; // "Data Format": detected, or chosen over the header
    QGroupBox* SamplingGroup = nullptr;   // "Sampling Rate editor"
    QLineEdit* S_REdit = nullptr;
    QCheckBox* ChangeBox = nullptr;
    QGroupBox* ScalerGroup = nullptr; // "Coordinates Scaler"
    QLineEdit* XEditscaler = nullptr;
    QLineEdit* YEditScaler = nullptr;
    QGroupBox* Z_scaler = nullptr;
    QPushButton* OKbutt = nullptr;
    QPushButton* Cancelbutt = nullptr;

public slots:
    void OKbuttClick();
    void CancelbuttClick();
    void Z_scalerClick();

protected:
    // FormClose: the water-depth window closes with this one.
    void hideEvent(QHideEvent* event) override;

private:
    Session& session_;
    QButtonGroup* byteOrder_ = nullptr;
    QButtonGroup* channels_ = nullptr;
    QButtonGroup* charset_ = nullptr;
    QButtonGroup* delaySource_ = nullptr;
    QButtonGroup* formats_ = nullptr;
    int headerCode_ = 0; // the format code of the file's binary header
    bool refreshing_ = false;
};

} // namespace tarnix
