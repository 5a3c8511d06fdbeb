#include "ui/notes_form.h"

#include "core/session.h"
#include "display/notebook_drawing.h"
#include "display/profile_cursor.h"
#include "ui/profile_view.h"
#include "ui/tarnix_form.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

namespace tarnix {

namespace {

constexpr char kUntitled[] = "Untitled";
// How far from a pick a right click may be to delete it, in picture pixels.
constexpr int kDeleteReach = 12;

QString withoutDirectory(const QString& name) {
    return QFileInfo(name).fileName();
}

} // namespace

TNotesForm::TNotesForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    setObjectName("NotesForm");
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    resize(460, 360);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName("MainMenu1");
    layout->setMenuBar(MainMenu1);
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    layout->addWidget(ToolBar1);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->installEventFilter(this);
    layout->addWidget(Memo1, 1);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel = new QLabel("File", StatusBar1);
    StatusPanel->setObjectName("StatusPanel0");
    StatusBar1->addWidget(StatusPanel, 1);
    layout->addWidget(StatusBar1);

    auto act = [this](QMenu* menu, QAction*& a, const char* name, const QString& text,
                      QKeySequence key, void (TNotesForm::*slot)()) {
        a = menu->addAction(text);
        a->setObjectName(name);
        if (!key.isEmpty()) a->setShortcut(key);
        addAction(a);
        connect(a, &QAction::triggered, this, slot);
    };
    QMenu* file = MainMenu1->addMenu("&File");
    file->setObjectName("File1");
    act(file, New1, "New1", "&New", {}, &TNotesForm::New1Click);
    act(file, Open1, "Open1", "&Open", {}, &TNotesForm::Open1Click);
    act(file, Save1, "Save1", "&Save", {}, &TNotesForm::Save1Click);
    act(file, Saveas1, "Saveas1", "Save a&s", {}, &TNotesForm::Saveas1Click);
    file->addSeparator();
    act(file, Exit1, "Exit1", "E&xit", {}, &TNotesForm::Exit1Click);

    QMenu* edit = MainMenu1->addMenu("&Edit");
    edit->setObjectName("Edit1");
    act(edit, Clear1, "Clear1", "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X),
        &TNotesForm::Clear1Click);
    act(edit, Find1, "Find1", "Copy", QKeySequence(Qt::CTRL | Qt::Key_C), &TNotesForm::Find1Click);
    act(edit, Paste1, "Paste1", "Paste", QKeySequence(Qt::CTRL | Qt::Key_V),
        &TNotesForm::Paste1Click);
    act(edit, Delete1, "Delete1", "Delete", QKeySequence(Qt::CTRL | Qt::Key_T),
        &TNotesForm::Delete1Click);
    act(edit, Selectall1, "Selectall1", "Select all", QKeySequence(Qt::CTRL | Qt::Key_A),
        &TNotesForm::Selectall1Click);
    edit->addSeparator();
    act(edit, Undo1, "Undo1", "&Undo pick", QKeySequence(Qt::CTRL | Qt::Key_Z),
        &TNotesForm::Undo1Click);
    act(edit, Redo1, "Redo1", "&Redo pick", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
        &TNotesForm::Redo1Click);
    // Picks are made in the main window, so their undo answers there too.
    Undo1->setShortcutContext(Qt::ApplicationShortcut);
    Redo1->setShortcutContext(Qt::ApplicationShortcut);

    QMenu* pen = MainMenu1->addMenu("&Pen");
    pen->setObjectName("Pen1");
    act(pen, Color1, "Color1", "&Color", {}, &TNotesForm::Color1Click);
    QMenu* thickness = pen->addMenu("&Thicness");
    thickness->setObjectName("Thicness1");
    auto* widths = new QActionGroup(this);
    for (int w = 1; w <= 5; ++w) {
        QAction* a = thickness->addAction(QString::number(w));
        a->setObjectName(QString("N%11").arg(w));
        a->setCheckable(true);
        a->setChecked(w == 1);
        widths->addAction(a);
        connect(a, &QAction::triggered, this, [this, w] { setPenWidth(w); });
        Width1[w - 1] = a;
    }
    QMenu* styleMenu = pen->addMenu("&Style");
    styleMenu->setObjectName("Style1");
    auto* styles = new QActionGroup(this);
    const std::pair<QAction**, const char*> styleItems[] = {{&Solid1, "Solid"},
                                                            {&Dashed1, "Dashed"},
                                                            {&Dotted1, "Dotted"},
                                                            {&DashDot1, "Dash-Dot"},
                                                            {&DashDotDot1, "Dash-Dot-Dot"}};
    const char* styleNames[] = {"Solid1", "Dashed1", "Dotted1", "DashDot1", "DashDotDot1"};
    for (int i = 0; i < 5; ++i) {
        QAction* a = styleMenu->addAction(styleItems[i].second);
        a->setObjectName(styleNames[i]);
        a->setCheckable(true);
        a->setChecked(i == 0);
        styles->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] { setPenStyle(i); });
        *styleItems[i].first = a;
    }

    auto tool = [this](const char* name, const QString& hint, QStyle::StandardPixmap icon,
                       void (TNotesForm::*slot)()) {
        QAction* a = ToolBar1->addAction(style()->standardIcon(icon), hint);
        a->setObjectName(name);
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, slot);
    };
    tool("NewButton", "New File", QStyle::SP_FileIcon, &TNotesForm::New1Click);
    tool("OpenButton", "Open", QStyle::SP_DialogOpenButton, &TNotesForm::Open1Click);
    tool("SaveButton", "Save", QStyle::SP_DialogSaveButton, &TNotesForm::Save1Click);
    ToolBar1->addSeparator();
    tool("CutButton", "cut selection", QStyle::SP_DialogDiscardButton, &TNotesForm::Clear1Click);
    tool("CopyButton", "copy selection", QStyle::SP_FileDialogContentsView,
         &TNotesForm::Find1Click);
    tool("PasteButton", "paste selection", QStyle::SP_DialogApplyButton, &TNotesForm::Paste1Click);
    tool("DeleteButton", "clear selection", QStyle::SP_TrashIcon, &TNotesForm::Delete1Click);
    ToolBar1->addSeparator();
    tool("ColorButton", "Set pen color", QStyle::SP_DesktopIcon, &TNotesForm::Color1Click);
    Edit2 = new QLineEdit(ToolBar1);
    Edit2->setObjectName("Edit2");
    Edit2->setReadOnly(true);
    Edit2->setFocusPolicy(Qt::NoFocus);
    Edit2->setFixedWidth(28);
    Edit2->setToolTip("Pen color");
    ToolBar1->addWidget(Edit2);
    Edit2->setStyleSheet("background-color: #000000;");

    connect(Memo1->document(), &QTextDocument::modificationChanged, this,
            [this](bool) { setCaption(); });
    setCaption();
    updateUndoActions();
}

TTarnixForm* TNotesForm::mainForm() const {
    return qobject_cast<TTarnixForm*>(parentWidget());
}

bool TNotesForm::modified() const {
    return Memo1->document()->isModified();
}

void TNotesForm::setCaption() {
    setWindowTitle(withoutDirectory(fileName()) + (modified() ? " *" : ""));
}

void TNotesForm::showStatus(const QString& text) {
    StatusPanel->setText(text);
}

void TNotesForm::publish() {
    session_.cursor.LastPickedShot = state_.lastPickedShot;
    session_.map.lastNotebookLine = state_.lastLine;
}

void TNotesForm::updateUndoActions() {
    Undo1->setEnabled(history_.canUndo());
    Redo1->setEnabled(history_.canRedo());
}

void TNotesForm::forgetPicks() {
    history_.clear();
    marks_.clear();
    markOfLine_.clear();
    updateUndoActions();
}

void TNotesForm::startNotebook(const QString& name) {
    state_.start(name.toStdString());
    forgetPicks();
    publish();
    setCaption();
}

// ---------------------------------------------------------------------------
// File commands

QString TNotesForm::runOpenDialog() {
    if (chooseOpenFile) return chooseOpenFile();
    QFileDialog dialog(this, "Open");
    dialog.setObjectName("OpenDialog1");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A name that does not exist yet starts a notebook the first Save creates.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter("Pattern Files (*.dgt, mut, map) (*.mut *.dgt *.map)");
    if (TTarnixForm* f = mainForm()) dialog.setDirectory(f->lastDirectory("notebook"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString name = dialog.selectedFiles().front();
    if (TTarnixForm* f = mainForm()) f->setLastDirectory("notebook", name);
    return name;
}

bool TNotesForm::mayDiscard() {
    if (!modified()) return true;
    int answer;
    if (askSave) {
        answer = askSave();
    } else {
        answer = QMessageBox::question(
            this, "Notebook",
            "The picks in " + withoutDirectory(fileName()) + " are not saved. Save them?",
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    }
    if (answer == QMessageBox::Discard) return true;
    if (answer == QMessageBox::Save) return saveText();
    return false;
}

void TNotesForm::openName(const QString& name) {
    if (!QFileInfo::exists(name)) {
        // The text stays: it becomes the new notebook's first content.
        startNotebook(name);
        showStatus(withoutDirectory(name));
        return;
    }
    std::string text;
    try {
        text = readNotebookFile(name.toStdString());
    } catch (const std::exception& e) {
        if (TTarnixForm* f = mainForm()) f->showError(QString::fromLocal8Bit(e.what()));
        showStatus(QString::fromLocal8Bit(e.what()));
        return;
    }
    if (!mayDiscard()) return;
    startNotebook(name);
    Memo1->setPlainText(QString::fromStdString(text));
    Memo1->moveCursor(QTextCursor::Start);
    Memo1->document()->setModified(false);
    setCaption();
    showStatus(withoutDirectory(name));
    if (state_.kind != NotebookKind::Plain && session_.goEnabled) {
        Color1Click();
        DRAW_POINTS();
    }
}

void TNotesForm::Open1Click() {
    const QString name = runOpenDialog();
    if (!name.isEmpty()) openName(name);
}

void TNotesForm::New1Click() {
    // Nothing is cleared until a name is chosen and a modified text given up.
    const QString name = runOpenDialog();
    if (name.isEmpty() || !mayDiscard()) return;
    Memo1->clear();
    Memo1->document()->setModified(false);
    openName(name);
}

void TNotesForm::CreateaNotebook1Click() {
    const QString name = runOpenDialog();
    if (name.isEmpty()) return;
    openName(name);
    if (fileName() != name) return; // the old text was kept
    show();
    raise();
    state_.lowerShotLimit = 0;
}

bool TNotesForm::saveText() {
    if (state_.name == kUntitled) {
        const QString name = [this] {
            if (chooseSaveFile) return chooseSaveFile();
            QFileDialog dialog(this, "Save as");
            dialog.setObjectName("SaveDialog1");
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setNameFilter("Pattern Files (dgt, mut, xy) (*.mut *.xy *.dgt)");
            if (TTarnixForm* f = mainForm()) dialog.setDirectory(f->lastDirectory("notebook"));
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
                return QString();
            return dialog.selectedFiles().front();
        }();
        if (name.isEmpty()) return false;
        if (TTarnixForm* f = mainForm()) f->setLastDirectory("notebook", name);
        // The kind stays the open dialog's until the next open.
        state_.name = name.toStdString();
        setCaption();
    }
    try {
        writeNotebookFile(state_.name, Memo1->toPlainText().toStdString(), state_.kind);
    } catch (const std::exception& e) {
        if (TTarnixForm* f = mainForm()) f->showError(QString::fromLocal8Bit(e.what()));
        showStatus(QString::fromLocal8Bit(e.what()));
        return false;
    }
    Memo1->document()->setModified(false);
    showStatus("Saved " + withoutDirectory(fileName()));
    return true;
}

void TNotesForm::Save1Click() {
    saveText();
}

void TNotesForm::Saveas1Click() {
    const std::string keep = state_.name;
    state_.name = kUntitled;
    if (!saveText()) state_.name = keep;
    setCaption();
}

void TNotesForm::Exit1Click() {
    close();
}

void TNotesForm::closeEvent(QCloseEvent* event) {
    if (!mayDiscard()) {
        event->ignore();
        return;
    }
    // Emptied and nameless: nothing left to write over the file by a later Save.
    Memo1->clear();
    Memo1->document()->setModified(false);
    startNotebook(kUntitled);
    state_.lastPickedShot = state_.lowerShotLimit = session_.shots.StartShot();
    publish();
    QDialog::closeEvent(event);
}

bool TNotesForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) {
        if (TTarnixForm* f = mainForm()) f->profileView().canvas().setPenColour(swatch_);
    }
    return QDialog::event(e);
}

bool TNotesForm::eventFilter(QObject* watched, QEvent* e) {
    // The memo would take Ctrl+Z for its own typing; here it undoes picks.
    if (watched == Memo1 && e->type() == QEvent::ShortcutOverride) {
        const QKeySequence key(static_cast<QKeyEvent*>(e)->keyCombination());
        if (key == Undo1->shortcut() || key == Redo1->shortcut()) return true;
    }
    return QDialog::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------
// Edit and Pen menus

void TNotesForm::Clear1Click() {
    Memo1->cut();
}

void TNotesForm::Find1Click() {
    Memo1->copy();
}

void TNotesForm::Paste1Click() {
    Memo1->paste();
}

void TNotesForm::Delete1Click() {
    Memo1->textCursor().removeSelectedText();
    state_.lastLine = 0;
    publish();
}

void TNotesForm::Selectall1Click() {
    Memo1->selectAll();
}

void TNotesForm::Color1Click() {
    TTarnixForm* f = mainForm();
    const QColor start = f ? f->penColor : swatch_;
    const QColor c =
        chooseColour ? chooseColour(start) : QColorDialog::getColor(start, this, "Pen color");
    if (!c.isValid()) return;
    swatch_ = c;
    Edit2->setStyleSheet("background-color: " + c.name() + ";");
    if (f) {
        f->penColor = c;
        f->profileView().canvas().setPenColour(c);
    }
}

void TNotesForm::setPenWidth(int width) {
    if (width < 1 || width > 5) return;
    Width1[width - 1]->setChecked(true);
    if (TTarnixForm* f = mainForm()) f->profileView().canvas().setPenWidth(width);
}

void TNotesForm::setPenStyle(int style) {
    QAction* items[] = {Solid1, Dashed1, Dotted1, DashDot1, DashDotDot1};
    if (style < 0 || style > 4) return;
    items[style]->setChecked(true);
    if (TTarnixForm* f = mainForm())
        f->profileView().canvas().setPenStyle(static_cast<ImageCanvas::PenStyle>(style));
}

void TNotesForm::DRAW_POINTS() {
    TTarnixForm* f = mainForm();
    if (!f) return;
    ImageCanvas& canvas = f->profileView().canvas();
    const ImageCanvas::PenMode keep = canvas.penMode();
    canvas.setPenMode(ImageCanvas::Copy);
    const int n =
        drawNotebookPicks(canvas, session_, Memo1->toPlainText().toStdString(), state_.kind);
    canvas.setPenMode(keep);
    if (n > 0)
        f->profileView().updateDisplay(f->profileImage.rect());
    else if (state_.kind != NotebookKind::Plain)
        showStatus("No picks drawn: run GO to paint the profile first");
}

// ---------------------------------------------------------------------------
// Text lines

int TNotesForm::appendLine(const std::string& line) {
    QTextDocument* doc = Memo1->document();
    QTextCursor c(doc);
    c.movePosition(QTextCursor::End);
    // A text that ends with a line break already has its empty last line.
    if (!doc->lastBlock().text().isEmpty()) c.insertText("\n");
    c.insertText(QString::fromStdString(line));
    return doc->blockCount() - 1;
}

void TNotesForm::insertLine(int index, const std::string& line) {
    QTextDocument* doc = Memo1->document();
    int lines = doc->blockCount();
    if (doc->lastBlock().text().isEmpty()) --lines;
    if (index >= lines) {
        appendLine(line);
        return;
    }
    QTextCursor c(doc->findBlockByNumber(index));
    c.movePosition(QTextCursor::StartOfBlock);
    c.insertText(QString::fromStdString(line) + "\n");
}

bool TNotesForm::removeLine(int index, const std::string& line) {
    QTextDocument* doc = Memo1->document();
    const QString text = QString::fromStdString(line);
    QTextBlock b = doc->findBlockByNumber(index);
    // The user may have edited above the line since: look for it by its text.
    if (!b.isValid() || b.text() != text) {
        b = QTextBlock();
        for (QTextBlock k = doc->lastBlock(); k.isValid(); k = k.previous())
            if (k.text() == text) {
                b = k;
                break;
            }
    }
    if (!b.isValid()) return false;
    QTextCursor c(doc);
    if (b.next().isValid()) {
        c.setPosition(b.position());
        c.setPosition(b.next().position(), QTextCursor::KeepAnchor);
    } else {
        c.setPosition(b.previous().isValid() ? b.position() - 1 : b.position());
        c.setPosition(b.position() + b.length() - 1, QTextCursor::KeepAnchor);
    }
    c.removeSelectedText();
    return true;
}

// ---------------------------------------------------------------------------
// Marks on the profile

int TNotesForm::saveMark(const QRect& area) {
    TTarnixForm* f = mainForm();
    if (!f || f->profileImage.isNull()) return -1;
    const QRect r = area.intersected(f->profileImage.rect());
    if (r.isEmpty()) return -1;
    const int id = nextMark_++;
    marks_[id] = Mark{r, f->profileImage.copy(r), QImage()};
    return id;
}

void TNotesForm::restoreMark(int mark, bool drawn) {
    TTarnixForm* f = mainForm();
    auto it = marks_.find(mark);
    if (!f || it == marks_.end()) return;
    Mark& m = it->second;
    if (!f->profileImage.rect().contains(m.area)) return;
    if (!drawn) m.drawn = f->profileImage.copy(m.area);
    const QImage& patch = drawn ? m.drawn : m.under;
    if (patch.isNull()) return;
    QPainter p(&f->profileImage);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(m.area.topLeft(), patch);
    p.end();
    f->profileView().updateDisplay(m.area);
}

void TNotesForm::pictureReplaced() {
    // Marks belong to the picture they were drawn on.
    marks_.clear();
    markOfLine_.clear();
}

// ---------------------------------------------------------------------------
// Picks

void TNotesForm::addPick(const std::string& line, int mark, int pickedShot) {
    PickEdit e;
    e.text = line;
    e.mark = mark;
    e.lastLineBefore = state_.lastLine;
    e.lastPickedShotBefore = state_.lastPickedShot;
    if (pickedShot >= 0) state_.lastPickedShot = pickedShot;
    e.line = appendLine(line);
    state_.lastLine = e.line + 1;
    e.lastLineAfter = state_.lastLine;
    e.lastPickedShotAfter = state_.lastPickedShot;
    history_.record(e);
    if (mark >= 0) markOfLine_[line] = mark;
    publish();
    updateUndoActions();
}

namespace {

// The navigation text of a digitizing line; the shot number alone where the shot
// has none, so the line still names its shot.
std::string navigationOrShot(const Session& s, int shot) {
    return s.Edit3.empty() ? std::to_string(shot) : s.Edit3;
}

} // namespace

void TNotesForm::profileClick(Session& s, int x, int y) {
    TTarnixForm* f = mainForm();
    if (f) f->profileView().canvas().setPenColour(swatch_);
    if (!notebookAccepts(state_.kind, PickSource::ProfileClick)) {
        showStatus(QString::fromStdString(refusedPickNote(state_.kind, PickSource::ProfileClick)));
        return;
    }
    const CursorPoint& c = s.cursor;
    const std::string line =
        state_.kind == NotebookKind::Mute
            ? c.CursorShotText + " " + c.CursorTimeNoDelayText
            : navigationOrShot(s, c.CursorShot) + " " + c.CursorTimeNoDelayText;
    // The cross (and its label with interactive mapping) is drawn after this.
    const bool labelled = f && f->TwoDCheck->isChecked();
    addPick(line, saveMark(labelled ? QRect(x - 4, y - 4, 120, 40) : QRect(x - 4, y - 4, 9, 9)));
    showStatus(QString::fromStdString(line));
}

bool TNotesForm::profileDrag(Session& s, const BottomPick& pick, int x) {
    if (!notebookAccepts(state_.kind, PickSource::ProfileDrag)) {
        showStatus(QString::fromStdString(refusedPickNote(state_.kind, PickSource::ProfileDrag)));
        return false;
    }
    const std::string line = (state_.kind == NotebookKind::Mute ? std::to_string(pick.shot)
                                                                : navigationOrShot(s, pick.shot)) +
                             " " + pick.timeText;
    int w = 1;
    if (TTarnixForm* f = mainForm()) w = f->profileView().canvas().penWidth();
    const int mark = saveMark(QRect(x - 2 - w, pick.row - 2 - w, 4 + 2 * w, 4 + 2 * w));
    addPick(line, mark, pick.shot);
    return true;
}

void TNotesForm::dragStarted() {
    history_.beginStep();
}

void TNotesForm::dragEnded() {
    history_.endStep();
}

void TNotesForm::bitmapClick(Session& s) {
    if (!notebookAccepts(state_.kind, PickSource::BitmapClick)) {
        showStatus(QString::fromStdString(refusedPickNote(state_.kind, PickSource::BitmapClick)));
        return;
    }
    const CursorPoint& c = s.cursor;
    addPick(
        (state_.kind == NotebookKind::Mute ? c.CursorShotText : navigationOrShot(s, c.CursorShot)) +
            " " + c.CursorTimeNoDelayText,
        -1);
}

int TNotesForm::mapClick(const std::string& lonText, const std::string& latText) {
    if (!notebookAccepts(state_.kind, PickSource::MapClick)) {
        showStatus(QString::fromStdString(refusedPickNote(state_.kind, PickSource::MapClick)));
        return 0;
    }
    const int number = state_.nextPointNumber();
    PickEdit e;
    e.text = std::to_string(number) + " " + lonText + " " + latText;
    e.lastLineBefore = state_.lastLine;
    e.lastPickedShotBefore = e.lastPickedShotAfter = state_.lastPickedShot;
    e.line = appendLine(e.text);
    state_.lastLine = e.lastLineAfter = number;
    history_.record(e);
    publish();
    updateUndoActions();
    return number;
}

void TNotesForm::addPickLine(const std::string& line) {
    addPick(line, -1);
}

bool TNotesForm::deleteNearestPick(Session& s, int x, int y) {
    TTarnixForm* f = mainForm();
    if (!f || state_.kind == NotebookKind::Plain) return false;
    const std::string text = Memo1->toPlainText().toStdString();
    const int index = nearestPickLine(
        text, state_.kind, profileGeometryOf(s, f->profileImage.width()), x, y, kDeleteReach);
    if (index < 0) {
        showStatus("No pick near the cursor");
        return true;
    }
    PickEdit e;
    e.added = false;
    e.line = index;
    e.text = Memo1->document()->findBlockByNumber(index).text().toStdString();
    e.lastLineBefore = e.lastLineAfter = state_.lastLine;
    e.lastPickedShotBefore = e.lastPickedShotAfter = state_.lastPickedShot;
    if (auto it = markOfLine_.find(e.text); it != markOfLine_.end()) e.mark = it->second;
    removeLine(index, e.text);
    restoreMark(e.mark, false);
    history_.record(e);
    updateUndoActions();
    showStatus("Deleted " + QString::fromStdString(e.text));
    return true;
}

void TNotesForm::Undo1Click() {
    const std::vector<PickEdit> step = history_.undo();
    for (const PickEdit& e : step) {
        if (e.added) {
            removeLine(e.line, e.text);
            restoreMark(e.mark, false);
        } else {
            insertLine(e.line, e.text);
            restoreMark(e.mark, true);
        }
        state_.lastLine = e.lastLineBefore;
        state_.lastPickedShot = e.lastPickedShotBefore;
    }
    publish();
    updateUndoActions();
    if (!step.empty()) showStatus(QString("Undone: %1 pick line(s)").arg(step.size()));
}

void TNotesForm::Redo1Click() {
    const std::vector<PickEdit> step = history_.redo();
    for (const PickEdit& e : step) {
        if (e.added) {
            insertLine(e.line, e.text);
            restoreMark(e.mark, true);
        } else {
            removeLine(e.line, e.text);
            restoreMark(e.mark, false);
        }
        state_.lastLine = e.lastLineAfter;
        state_.lastPickedShot = e.lastPickedShotAfter;
    }
    publish();
    updateUndoActions();
    if (!step.empty()) showStatus(QString("Redone: %1 pick line(s)").arg(step.size()));
}

} // namespace tarnix
