#pragma once
// The processing window: the sequence table, the module buttons and the
// parameter editor. The logic lives in SequenceEditor; this window shows its
// state and the session's sequence table, and writes the user's edits back.
#include "processing/sequence_editor.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTextBrowser;
class QWidget;

namespace tarnix {
class Session;

class TProcessingForm : public QDialog {
    Q_OBJECT
public:
    explicit TProcessingForm(Session& session, QWidget* parent = nullptr);

    SequenceEditor& editor() { return editor_; }

    // The dialogs, replaceable so that the main window can lend its own and
    // tests can answer without a user. nullopt means cancelled.
    std::function<std::optional<std::string>(FileDialogKind)> chooseModuleFile;
    std::function<std::optional<std::string>(bool save)> chooseSequenceFile;
    std::function<void(const QString&)> showMessage;

    // The grid shows the session's sequence table again (after a run changed it).
    void refreshGrid();
    // The filter-shape picture of image-list index 0..3.
    static QPixmap filterPicture(int index);

    QMenuBar* MainMenu1 = nullptr;
    QMenu* File1 = nullptr;
    QAction* LoadProcSequence1 = nullptr;
    QAction* SaveProcSequence1 = nullptr;
    QGroupBox* TableGroup = nullptr;
    QTableWidget* ProcGrid = nullptr;
    QGroupBox* ModulesGroup = nullptr;
    QTabWidget* PageControl1 = nullptr;
    std::vector<QPushButton*> moduleButtons; // the table's buttons, in its order
    QPushButton* delbutton = nullptr;
    QPushButton* ClearSeqButt = nullptr;
    QPushButton* AddButt = nullptr;
    QGroupBox* Editor = nullptr;
    QWidget* FilterTypeGroup = nullptr;
    QComboBox* FilterTypeBox = nullptr;
    QWidget* TaperGroup = nullptr;
    QComboBox* TaperBox = nullptr;
    QWidget* DeconTypeGroup = nullptr;
    QComboBox* DeconTypeBox = nullptr;
    std::array<QWidget*, 4> EditGroups{};
    std::array<QLabel*, 4> ParamLabels{};
    std::array<QLineEdit*, 4> ParamEdits{};
    QWidget* ResampleGroup = nullptr;
    QSpinBox* ResampleSpin = nullptr;
    QWidget* CheckGroup = nullptr;
    QCheckBox* ParamCheck = nullptr;
    QWidget* PictureGroup = nullptr;
    QLabel* FilterImage = nullptr;
    QLabel* LowCutLabel = nullptr;
    QLineEdit* LowCutEdit = nullptr;
    QLabel* HighCutLabel = nullptr;
    QLineEdit* HighCutEdit = nullptr;
    QTextBrowser* TextViewer1 = nullptr;

signals:
    // A module that needs the mean trace ticked the main window's "RMS" box.
    void RMSFlagTicked();

public slots:
    // The module buttons' handlers; each selects the table entry that names it.
    void AGCButtClick();
    void LinButtClick();
    void TVGButtClick();
    void NormaButtClick();
    void FilterButtClick();
    void FFTFilterButtClick();
    void Button1Click();
    void Button3Click();
    void DeconButtClick();
    void RNFButtClick();
    void HBFButtClick();
    void DebiasButtClick();
    void DervButtClick();
    void MuteButtClick();
    void ResamButtClick();
    void TMIXClick();
    void Button6Click();
    void Button7Click();
    void Button2Click();
    void Button5Click();
    void ASCIIWriteButtClick();
    void WKORVA2BUTTClick();
    void Button4Click();
    void StatbuttClick();
    void statrendbuttClick();
    void AutostatbuttClick();
    void POSMButtClick();

    void AddClick();
    void delbuttonClick();
    void ClearSeqButtClick();
    void ProcGridClick();
    void HideAllPanels();
    void FilterTypeBoxChange(int index);
    void DeconTypeBoxChange(int index);
    void SaveProcSequence1Click();
    void LoadProcSequence1Click();
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildTable();
    void buildModules();
    void buildEditor();
    void moduleButtonClick(const char* handler);
    void showEditorState();
    void showHelp(const std::string& page);
    int topSelectedRow() const;
    std::optional<std::string> defaultModuleFile(FileDialogKind kind);
    std::optional<std::string> defaultSequenceFile(bool save);

    Session& session_;
    SequenceEditor editor_;
    std::string shownHelp_;
    bool refreshing_ = false;
};

} // namespace tarnix
