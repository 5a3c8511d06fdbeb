#pragma once
// The digitizing notebook window: a text of picks bound to the notebook model,
// the file commands, the pen of the profile and the undo of picks.
#include "navigation/notebook.h"

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <map>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QStatusBar;
class QToolBar;

namespace tarnix {
class Session;
class TTarnixForm;
struct BottomPick;

class TNotesForm : public QDialog {
    Q_OBJECT
public:
    explicit TNotesForm(Session& session, QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* Edit2 = nullptr; // pen colour swatch
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel = nullptr; // the one panel of StatusBar1
    QMenuBar* MainMenu1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QAction *New1 = nullptr, *Open1 = nullptr, *Save1 = nullptr, *Saveas1 = nullptr,
            *Exit1 = nullptr;
    QAction *Clear1 = nullptr, *Find1 = nullptr, *Paste1 = nullptr, *Delete1 = nullptr,
            *Selectall1 = nullptr, *Undo1 = nullptr, *Redo1 = nullptr;
    QAction* Color1 = nullptr;
    QAction* Width1[5] = {};
    QAction *Solid1 = nullptr, *Dashed1 = nullptr, *Dotted1 = nullptr, *DashDot1 = nullptr,
            *DashDotDot1 = nullptr;

    // Dialogs ask these when set (an empty name or an invalid colour cancels);
    // otherwise OpenDialog1, SaveDialog1 and the colour dialog are shown.
    std::function<QString()> chooseOpenFile, chooseSaveFile;
    std::function<QColor(QColor)> chooseColour;
    // Whether to save a modified text before it is replaced or closed: a
    // QMessageBox::StandardButton (Save, Discard or Cancel).
    std::function<int()> askSave;

    const NotebookState& state() const { return state_; }
    QString fileName() const { return QString::fromStdString(state_.name); }
    bool modified() const;

    // Main window File > Create Notebook: opens a notebook and shows the window.
    void CreateaNotebook1Click();
    // DRAW_POINTS: the notebook's picks onto the profile with its pen.
    void DRAW_POINTS();

    // Picks handed over by the profile, the Bitmaps page and the map viewer.
    void profileClick(Session& s, int x, int y);
    bool profileDrag(Session& s, const BottomPick& pick, int x);
    void dragStarted();
    void dragEnded();
    bool deleteNearestPick(Session& s, int x, int y);
    void bitmapClick(Session& s);
    int mapClick(const std::string& lonText, const std::string& latText);
    // A line added from outside the pick commands (no mark on the profile).
    void addPickLine(const std::string& line);
    // A run painted a new profile: the marks of earlier picks are not on it.
    void pictureReplaced();

public slots:
    void New1Click();
    void Open1Click();
    void Save1Click();
    void Saveas1Click();
    void Exit1Click();
    void Clear1Click();
    void Find1Click();
    void Paste1Click();
    void Delete1Click();
    void Selectall1Click();
    void Undo1Click();
    void Redo1Click();
    void Color1Click();
    void setPenWidth(int width); // N11Click .. N51Click
    void setPenStyle(int style); // Solid1Click .. DashDotDot1Click

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TTarnixForm* mainForm() const;
    QString runOpenDialog();
    // Asks before a modified text is lost; false when the user cancels.
    bool mayDiscard();
    void openName(const QString& name);
    void startNotebook(const QString& name);
    bool saveText();
    void showStatus(const QString& text);
    void setCaption();
    void publish(); // the bookkeeping the profile and the map read
    int appendLine(const std::string& line);
    void insertLine(int index, const std::string& line);
    bool removeLine(int index, const std::string& line);
    void addPick(const std::string& line, int mark, int pickedShot = -1);
    int saveMark(const QRect& area);
    void restoreMark(int mark, bool drawn);
    void updateUndoActions();
    void forgetPicks();

    Session& session_;
    NotebookState state_;
    PickHistory history_;
    // What a pick drew over on the profile, to take it back.
    struct Mark {
        QRect area;
        QImage under, drawn;
    };
    std::map<int, Mark> marks_;
    std::map<std::string, int> markOfLine_; // latest mark of a pick line
    int nextMark_ = 0;
    QColor swatch_{Qt::black};
};

} // namespace tarnix
