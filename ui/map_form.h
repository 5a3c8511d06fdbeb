#pragma once
#include <QDialog>

#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace tarnix {
class Session;

// "Map Limits": the map's four geographic boundaries and their pixel borders in
// the map bitmap, bound to Session::mapLimits. Every conversion reads the texts
// afresh, so an edit takes effect at the next point drawn.
class TMapForm : public QDialog {
    Q_OBJECT
public:
    explicit TMapForm(Session& session, QWidget* parent = nullptr);

    // Shows the session's texts (after a boundary file or the viewer set them).
    void refreshFromSession();
    // The status panel `statusmap`, also used for a refused box.
    void setStatus(const QString& text);
    QString status() const;
    // The XYZ save dialog; empty when cancelled.
    QString runXyzDialog();

    QGroupBox* Boundaries = nullptr;
    QGroupBox* ImageBorders = nullptr;
    QLineEdit* Top = nullptr;
    QLineEdit* Bottom = nullptr;
    QLineEdit* Left = nullptr;
    QLineEdit* Right = nullptr;
    QLineEdit* xmin = nullptr;
    QLineEdit* xmax = nullptr;
    QLineEdit* ymin = nullptr;
    QLineEdit* ymax = nullptr;
    QGroupBox* Projection = nullptr; // shown, never read: the mapping is linear
    QPushButton* Ok = nullptr;
    QPushButton* BitBtn1 = nullptr; // Cancel
    QMenuBar* MainMenu1 = nullptr;
    QStatusBar* statusmap = nullptr;

    // The dialogs ask these when set (an empty answer cancels): the boundary
    // open and save dialogs and the XYZ save dialog.
    std::function<QString()> chooseBndOpenFile, chooseBndSaveFile, chooseXyzFile;

public slots:
    void LoadBNDFile1Click();
    void SaveBoundaries1Click();
    void OkClick();
    void BitBtn1Click();
    void Exit1Click();

private:
    QString runFileDialog(bool save, const char* name, const QString& filter,
                          const QString& suffix);

    Session& session_;
    QLabel* statusPanel_ = nullptr;
    QButtonGroup* projection_ = nullptr;
};

} // namespace tarnix
