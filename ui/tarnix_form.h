#pragma once
// The main window. Its handlers are spread over several files by subject
// (tarnix_form_open.cpp, _run.cpp, _profile.cpp, _analysis.cpp, _nav.cpp,
// _pages.cpp) so that each subject can grow without touching the others.
#include "ui/windows.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <utility>

class QAction;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QToolButton;
class QSettings;
class QDragEnterEvent;
class QDropEvent;
class QCloseEvent;
class QElapsedTimer;

namespace tarnix {
class Session;
class Processor;
class ProfileView;
struct InstrumentWork;
struct ReflectivityPage;

class TTarnixForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TTarnixForm(Session& session, QWidget* parent = nullptr);
    ~TTarnixForm() override;

    Session& session() { return session_; }
    // The worker and the run (GO) of this session; READ_A_TRACE goes through it too.
    Processor& processor();
    // Every window of the session, filled by createWindows once all exist.
    Windows forms;

    // Loads the defaults file into the session and shows it in every window.
    void INIT_VARIABLES();
    // Re-shows every status text, memo, grid and setting from the session.
    void refreshFromSession();
    // Writes the demo line if needed, opens it, confirms the whole shot range and
    // runs GO with a short default sequence.
    void startDemo();
    // Opens a data file named on the command line as the open command would.
    void openDataFile(const QString& path);
    // The profile image (`profileImage`) is shown in `Display` again.
    void showProfile();
    // The per-user settings store (window state, directories, recent files);
    // never the defaults file. ui/tarnix_form_files.cpp.
    static std::unique_ptr<QSettings> userSettings();
    // Restores the geometry and state of the last session; false when none is stored.
    bool restoreWindowState();
    // Opens an entry of File > Recent Files with the SEG-Y options it was used with.
    void openRecentFile(int index);
    // Records the open input (with the current SEG-Y options) at the top of the list.
    void rememberInputFile();
    // The directory a dialog starts in (`key` names the dialog) and its update.
    QString lastDirectory(const QString& key) const;
    void setLastDirectory(const QString& key, const QString& fileOrDir);
    // Status bar text of a run: shots done, rate, time left (empty hides it).
    void showRunProgress(const QString& text);
    QString runProgressText() const;
    // Writes the annotated profile as one PDF page (vector text, the picture as image).
    void exportPdf(const QString& path);
    // Save Image without its dialog: the chosen filter decides the format.
    void saveImageAs(const QString& path, const QString& filter);
    // "Auto" of the Display window (tarnix_form_gain.cpp): gain and clip level from
    // the 98th percentile of |amplitude| of up to 200 shots of the selected range.
    void AutoGainClick();
    // After Select Shots OK: offers the file's whole trace as the time window
    // while the window is the untouched start value and differs from it.
    void offerWholeTrace();
    // After a run: offers Auto when the picture came out nearly blank.
    void offerAutoGain();
    QWidget* WholeTraceOffer = nullptr; // status bar: "Whole trace: 0 to N ms"
    QWidget* AutoGainOffer = nullptr;   // status bar: "Amplitudes paint faintly" + "Auto gain"
    // Scale of the shown profile (view only; ui/tarnix_form_view.cpp). The
    // picture point under `anchor` (a viewport point) stays where it is.
    double viewZoom() const { return viewZoom_; }
    void setViewZoom(double zoom, QPoint anchor = QPoint(-1, -1));
    // Picture pixel under a point of `Display`.
    QPoint displayToPicture(QPointF p) const;
    // The picture of `Image2` (`bitmapImage`) is shown again.
    void showBitmap();
    // Text of one status bar panel: 0 "Cursor", 1 "Image", 2 "Profile".
    void setStatusPanel(int index, const QString& text);
    QString statusPanel(int index) const;
    // Renderer, run hooks, Display canvas and pick targets of the profile
    // (ui/profile_view.h); created on first use.
    ProfileView& profileView();
    // Shows a failed operation's message; the handler has ended.
    void showError(const QString& message);
    // Runs a handler body so that a failure ends it with its message instead
    // of escaping into the event loop.
    template <class F> void guarded(F&& body) {
        try {
            std::forward<F>(body)();
        } catch (const std::exception& e) {
            showError(QString::fromLocal8Bit(e.what()));
        }
    }

    // --- main window fields ---
    QImage profileImage; // the profile bitmap; painted by the renderer
    QImage bitmapImage;  // the picture of the Bitmaps page's `Image2`
    // The scanned profile opened last, unzoomed: what the zoom steps scale while it is the input.
    QImage scannedPicture;
    TBINSelectForm* BINSelectForm = nullptr; // made on the first raw binary open
    // After a scanned profile's open: its picture on the Bitmaps page at zoom 1.
    void showScannedProfile();
    // OpenFile1Click with the open dialog's filter `filterName` chosen ("BMP"; empty: the first).
    void runOpenCommand(const QString& filterName);
    QFont annotFont;  // annotation font of the profile
    QFont titleFont;  // kept, not drawn with
    QFont dialogFont; // the font of `FontDialog1`: what the font dialogs start from, and the
                      // font of the marks drawn with the mouse
    QColor penColor{Qt::black}; // `ColorDialog1`: colour of the marks drawn with the mouse
    QString imageFileName;      // last name chosen by "Save Image"

    // --- top panel ---
    QToolButton* SpeedButton1 = nullptr; // "Display Controls"
    QToolButton* SpeedButton3 = nullptr; // "Select Shots"
    QToolButton* SpeedButton4 = nullptr; // "Create a Notebook"
    QToolButton* SpeedButton6 = nullptr; // "Open Map Form"
    QSpinBox* StartSweep = nullptr;
    QSpinBox* EndSweep = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QCheckBox* TwoDCheck = nullptr;
    QToolButton* Up = nullptr;
    QToolButton* stand = nullptr;
    QToolButton* down = nullptr;
    QPushButton* Playbutt = nullptr;
    QPushButton* OpenButt = nullptr;
    QPushButton* EditButt = nullptr;
    QPushButton* STOPButt = nullptr;

    // --- pages ---
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "Profile"
    QWidget* TabSheet2 = nullptr; // "Positioning"
    QWidget* TabSheet3 = nullptr; // "Tarnix File Header"
    QWidget* TabSheet5 = nullptr; // "Analysis"
    QWidget* TabSheet6 = nullptr; // "SEGY File Header"
    QWidget* TabSheet7 = nullptr; // "Processing Memo"
    QWidget* TabSheet4 = nullptr; // "Reflectivity"
    QWidget* TabSheet8 = nullptr; // "Bitmaps"
    QWidget* TabSheet9 = nullptr; // "Refraction"
    enum PageIndex {
        ProfilePage = 0,
        PositioningPage,
        FileHeaderPage,
        AnalysisPage,
        SegyHeaderPage,
        MemoPage,
        ReflectivityPage,
        BitmapsPage,
        RefractionPage
    };

    // Profile page
    QScrollArea* ScrollBox1 = nullptr;
    QLabel* Display = nullptr;

    // Positioning page
    QTableWidget* NavigationGrid = nullptr;
    QGroupBox* NavFileGroup = nullptr; // "Navigation File"
    QPushButton* SavenavButt = nullptr;
    QPushButton* importNavbutt = nullptr;
    QPushButton* ClearNavButt = nullptr;
    QSpinBox* HdrSelect = nullptr;
    QPushButton* PrintButt = nullptr; // "Print Profile", hidden and disabled

    // Tarnix File Header page
    QTableWidget* FileHeaderGrid = nullptr;
    QLineEdit* AreaEdit = nullptr;
    QLineEdit* SourceEdit = nullptr;
    QPlainTextEdit* NotesMemo = nullptr;

    // Analysis page
    QGroupBox* GroupBox3 = nullptr; // "Oscilloscope"
    QGroupBox* GroupBox1 = nullptr; // "Amplitude Spectrum"
    QGroupBox* GroupBox4 = nullptr; // "Phase Spectrum"
    QGroupBox* GroupBox2 = nullptr; // "Autocorrelogram"
    QLabel* AImage = nullptr;
    QLabel* Simage = nullptr;
    QLabel* Phimage = nullptr;
    QLabel* AutoImage = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QSpinBox* Sel_ana_spin = nullptr;
    QToolButton* SpeedButton2 = nullptr; // "Save ASCII"
    QCheckBox* RMSFlag = nullptr;
    // "Save ASCII" and Export Ascii ask this for the file name when set (an empty
    // name cancels);
    // otherwise `AsciiFiledialog` is shown.
    std::function<QString()> chooseAsciiFile;
    // `AsciiFiledialog` (or the hook above): the chosen name, empty when cancelled.
    QString runAsciiFileDialog(const QString& title);
    // `OpenNAVDialog` (import, extraction) and `Navdialog` (save) ask these when
    // set; an empty answer cancels.
    std::function<QStringList()> chooseNavFiles;
    // `OpenNAVDialog` with multiple selection (also the map viewer's Plot > Line);
    // empty when cancelled.
    QStringList runOpenNavDialog(const QString& title);
    std::function<QString()> chooseNavSaveFile;

    // SEGY File Header and Processing Memo pages
    QPlainTextEdit* SEGYmemo = nullptr;
    QPlainTextEdit* Memo2 = nullptr;

    // Reflectivity page
    QScrollArea* graphBox = nullptr;
    QLabel* graph1 = nullptr;
    QTableWidget* refgrid = nullptr;
    QLineEdit* Edit5 = nullptr; // "MAX"
    QLineEdit* Edit6 = nullptr; // "MIN"
    QLabel* Label16 = nullptr;
    QToolButton* SpeedButton7 = nullptr; // "OPEN"
    QToolButton* SpeedButton8 = nullptr; // "SAVE"
    // OPEN and SAVE ask these for the file name when set (an empty name cancels).
    std::function<QString()> chooseRefFile;
    std::function<QString()> chooseRefSaveFile;
    // The file the page shows (ui/tarnix_form_reflectivity.cpp); null before the first OPEN.
    const tarnix::ReflectivityPage* reflectivityPage() const { return refPage_.get(); }

    // 3D > Time Slices: `OpenTSdialog`, multiple selection of the lines; asks
    // `chooseTimeSliceFiles` when set. Empty when cancelled.
    QStringList runOpenTSdialog();
    std::function<QStringList()> chooseTimeSliceFiles;

    // Bitmaps page
    QGroupBox* GroupBox9 = nullptr;
    QScrollArea* ScrollBox2 = nullptr;
    QLabel* Image2 = nullptr;
    QToolButton* importbmp = nullptr;     // "Import"
    QToolButton* ConvertButt = nullptr;   // "Convert"
    QToolButton* SpeedButton10 = nullptr; // "Set"
    QToolButton* SpeedButton5 = nullptr;  // "-"
    QToolButton* SpeedButton11 = nullptr; // "="
    QToolButton* SpeedButton12 = nullptr; // "+"
    QLabel* Label2 = nullptr;             // zoom factor

    // Refraction page (no reachable function)
    QPushButton* RefDrawButt = nullptr;
    QPushButton* RefButt2 = nullptr;
    QLineEdit* REFTWTEDIT = nullptr;
    QLineEdit* REFSHOTEDIT = nullptr;
    QLabel* Section = nullptr;

    // --- status bar ---
    QLabel* StatusPanels[3] = {nullptr, nullptr, nullptr};

    // --- main menu ---
    QAction* OpenFile1 = nullptr;
    QAction* Close1 = nullptr;
    QAction* CreateaNotebook1 = nullptr;
    QAction* ExportAscii1 = nullptr;
    QAction* SaveNavigation1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveConfig1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* paste1 = nullptr;
    QAction* Shots1 = nullptr;
    QAction* AnnotFont1 = nullptr;
    QAction* TitleFont1 = nullptr;
    QAction* Pencolor1 = nullptr;
    QAction* EditSequence1 = nullptr;
    QAction* GoProcess1 = nullptr;
    QAction* OpenForm1 = nullptr;
    QAction* ExtractNAV1 = nullptr;
    QAction* Sample1 = nullptr;
    QAction* ExtractTimeSlices1 = nullptr;
    QAction* Disclaimers1 = nullptr;
    QAction* HelpContents1 = nullptr;   // Help: "Tarnix Help", F1
    QDialog* HelpForm = nullptr;        // its viewer, made on first use
    QMenu* RecentFiles1 = nullptr;      // File: "Recent Files"
    QAction* ExportPdf1 = nullptr;      // File: "Export PDF"
    QAction* StopKey = nullptr;         // Esc: STOP
    QAction* GoKey = nullptr;           // F5: GO
    QLabel* RunProgressPanel = nullptr; // status bar, shown during a run
    QAction* FitToWindow1 = nullptr;    // Image Edit: "Fit to Window", Ctrl+0
    QAction* ActualSize1 = nullptr;     // Image Edit: "Actual Size", Ctrl+1
    QMenu* PopupMenu1 = nullptr;        // "Copy", "Cut", "Paste" on the images

public slots:
    // File menu and tool panel (tarnix_form.cpp unless noted)
    void OpenFile1Click(); // tarnix_form_open.cpp
    void Close1Click();
    void CreateaNotebook1Click(); // tarnix_form_pages.cpp
    void ExportAscii1Click();     // tarnix_form_open.cpp
    void SavenavButtClick();      // tarnix_form_nav.cpp
    void Save1Click();
    void SaveConfig1Click();
    void Print1Click();
    void Exit1Click();
    // Image Edit menu and the pop-up menu
    void New1Click();
    void Copy1Click();
    void Cut1Click();
    void paste1Click();
    // Select menu
    void Shots1Click(); // tarnix_form_open.cpp
    void AnnotFont1Click();
    void TitleFont1Click();
    void Pencolor1Click();
    // Process menu, GO/STOP/EDIT (tarnix_form_run.cpp)
    void EditSequence1Click();
    void EditButtClick();
    void PlayButtClick();
    void STOPButtClick();
    // Map, 3D and Help menus
    void OpenForm1Click();
    void ExtractNAV1Click(); // tarnix_form_nav.cpp
    void Sample1Click();     // tarnix_form_pages.cpp
    void ExtractTimeSlices1Click();
    void Disclaimers1Click();
    // Tool buttons
    void SpeedButton1Click();
    // Page change: SingleTraceMode while the Analysis page is active
    void PageControl1Change(int index);
    void StartSweepChange(int value);
    void EndSweepChange(int value);

    // Profile read-out, picking, zoom, shot counter (tarnix_form_profile.cpp)
    void DisplayMouseMove(int x, int y);
    void DisplayMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void DisplayStartDrag();
    void DisplayDragOver(int x, int y);
    void DisplayEndDrag(int x, int y);
    void FormMouseWheel(int delta);
    void UpClick();
    void downClick();
    void standClick();
    void SpeedButton5Click();
    void SpeedButton11Click();
    void SpeedButton12Click();
    void Zoom_execute();
    // View zoom of the profile (tarnix_form_view.cpp)
    void FitToWindow1Click();
    void ActualSize1Click();
    // Files, settings, output (tarnix_form_files.cpp)
    void ExportPdf1Click();
    void refreshRecentFiles();
    // The main window's help page (tarnix_form_help.cpp)
    void HelpContents1Click();

    // SEG-Y header view and instruments refresh (tarnix_form_open.cpp)
    void REFRESH_INSTRUMENTS_OR_SEGYHEADER();

    // Analysis page (tarnix_form_analysis.cpp)
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox4Click();
    void Oscillo();
    void AmpSpect();
    void PhSpect();
    void Autcorr();
    void AImageMouseMove(int x, int y);
    void SimageMouseMove(int x, int y);
    void PhimageMouseMove(int x, int y);
    void AutoImageMouseMove(int x, int y);
    void SpeedButton2Click();
    void RMSFlagClick();
    // The Analysis branch of REFRESH_INSTRUMENTS_OR_SEGYHEADER: draws every
    // checked instrument of the trace the refresh has just read.
    void refreshInstruments();
    void Sel_ana_spinChange(int value);

    // Positioning page (tarnix_form_nav.cpp)
    void importNavbuttClick();
    void ClearNavButtClick();
    void HdrSelectChange(int value);
    void NavigationGridEdited(int row, int column);

    // Bitmaps page (tarnix_form_pages.cpp)
    void importbmpClick();
    void SpeedButton10Click();
    void Image2MouseMove(int x, int y);
    void Image2MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // Reflectivity page (tarnix_form_reflectivity.cpp)
    void SpeedButton7Click();
    void SpeedButton8Click();
    void graph1MouseMove(int x, int y);
    void graph1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Processor> processor_;
    bool runActive_ = false;                         // GO is running; its loop serves events
    std::unique_ptr<InstrumentWork> instrumentWork_; // scratch of the spectra and correlogram
    void buildTopPanel(QWidget* panel);
    void buildPages();
    void buildProfilePage();
    void buildPositioningPage();
    void buildFileHeaderPage();
    void buildAnalysisPage();
    void buildMemoPages();
    void buildReflectivityPage();
    void buildBitmapsPage();
    void buildRefractionPage();
    void buildMenus();
    void buildStatusBar();
    // The image of the active page for Image Edit: profile, Image2 or the map viewer.
    QImage* activeImage();
    void showActiveImage();
    // The "Tarnix File Header" page from the session's grid texts.
    void showFileHeaderGrid();

    Session& session_;
    int navRowsShown_ = 0;               // grid rows that may hold text
    ProfileView* profileView_ = nullptr; // child QObject of the form
    bool dragging_ = false;
    bool pressed_ = false;
    double viewZoom_ = 1.0;
    bool windowTouched_ = false; // the user changed StartSweep or EndSweep
    QWidget* statusOffer(const char* name, const QString& text, const QString& button,
                         std::function<void()> action);
    bool panning_ = false; // middle-button drag of the profile
    QPoint panFrom_, panScroll_;
    void buildViewActions(QMenu* imageEdit);
    void buildFileActions(QMenu* file);
    void buildHelpActions(QMenu* help);
    // Ctrl + wheel zoom, middle-button pan; true when the event was used.
    bool profileViewEvent(QObject* watched, QEvent* event);
    std::unique_ptr<tarnix::ReflectivityPage> refPage_;
};

} // namespace tarnix
