#pragma once
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QStatusBar;
class QToolButton;

namespace tarnix {
class Session;

// The Display window: every setting of the profile view. Each control writes its
// setting in the session on every change; refreshFromSession shows the session.
class TDisplayControlsForm : public QDialog {
    Q_OBJECT
public:
    explicit TDisplayControlsForm(Session& session, QWidget* parent = nullptr);

    // Shows the session's display settings; a control whose value changes runs
    // its change handler as if the user had moved it.
    void refreshFromSession();

    QGroupBox* GroupBox1 = nullptr; // "Screen"
    QSlider* PaletteBar = nullptr;
    QSlider* Gain = nullptr;
    QPushButton* AutoGainButt = nullptr; // "Auto" beside the gain
    QSlider* TrackBar3 = nullptr;
    QLabel* Image1 = nullptr; // pictures beside the track bars
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QSpinBox* DragWidth = nullptr;
    QSpinBox* NVP = nullptr;
    QToolButton* zoomoutbutt = nullptr;
    QToolButton* zoominbutt = nullptr;
    QToolButton* zoomnorm = nullptr;
    QCheckBox* DlabelCheck = nullptr;
    QSpinBox* TimeFreq = nullptr;
    QSpinBox* ShotFreq = nullptr;
    QSlider* Grid = nullptr;
    QLabel* GridLab = nullptr;
    QSlider* Rep = nullptr;
    QLabel* RepLab = nullptr;
    QSpinBox* SoundSpeedEdit = nullptr;
    QCheckBox* LineNameLabelCheck = nullptr;
    QGroupBox* Dir_radio = nullptr;
    QRadioButton* DirLR = nullptr;
    QRadioButton* DirRL = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel = nullptr; // the status bar's only panel

public slots:
    void PaletteBarChange(int position);
    void RepChange(int position);
    void GridChange(int position);

private:
    Session& session_;
};

} // namespace tarnix
