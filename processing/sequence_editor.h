#pragma once
// The processing-sequence editor without its window: the module buttons, the
// parameter editor's fields and the row operations (ADD, DELETE, CLR ALL, a
// click on a row). The window shows an EditorState and writes user edits back
// into it; everything a test or another front end needs lives here.
#include <array>
#include <optional>
#include <string>

namespace tarnix {

class Session;

enum class ModuleButton {
    AGCM,
    LGAIN,
    TVGM,
    NORM,
    FLTM,
    FFTF,
    ACFM,
    SPKM,
    DECM,
    RNFM,
    HBFM,
    DBAS,
    DERV,
    MUTM,
    RESAM,
    TMIX,
    FFT,
    RCCM,
    ABS,
    WSEGY,
    WASCII,
    WKORVA2,
    SWELL,
    STAM,
    STRM,
    ASTM,
    POSM,
};
constexpr int kModuleButtonCount = static_cast<int>(ModuleButton::POSM) + 1;

// The file dialog a module button opens before it shows its fields.
enum class FileDialogKind {
    None,
    Mute,      // the pick-file dialog (MUTM, RCCM, SWELL, STRM)
    Segy,      // SEG-Y output (WSEGY)
    KorvaSave, // "Korva 2.0 Files|*.d02" save dialog (WKORVA2.0, WASCII)
};
constexpr int kFileDialogKinds = 4;

struct ModuleInfo {
    ModuleButton button;
    const char* caption;    // text on the button
    const char* objectName; // the button control's name
    const char* handler;    // its click handler's name
    const char* tab;        // "Gain", "Filter", "Misc.", "I/O", "Editing"
    const char* hint;       // tooltip, "" for none
    const char* title;      // editor title
    const char* code;       // module code ADD writes, "" for none
    const char* helpPage;   // page under $HOME/tarnix/
    FileDialogKind dialog;
    bool startsEnabled;
    bool visible;
};

// Every module button, in the order the tabs show them.
const std::array<ModuleInfo, kModuleButtonCount>& moduleTable();
const ModuleInfo& moduleInfo(ModuleButton b);

// Buttons shown on the tabs but never enabled (tab, caption).
struct DisabledButton {
    const char* tab;
    const char* caption;
};
const std::array<DisabledButton, 8>& disabledButtons();

const std::array<const char*, 4>& filterTypeNames(); // "Band Pass", ...
const std::array<const char*, 5>& taperNames();      // "Hamming", ...
const std::array<const char*, 2>& deconTypeNames();  // "Spiking Decon", ...

// "$HOME/tarnix/PAGE"; empty when HOME is unset or empty.
std::string helpPagePath(const std::string& page);
// The path without its directory.
std::string fileNameOnly(const std::string& path);
// The path with its extension (after the last dot of the name) replaced.
std::string changeFileExt(const std::string& path, const std::string& ext);

struct EditField {
    bool visible = false;
    std::string label;
    std::string text;
};

// What the "Editor" group shows. The window mirrors it and writes edits back.
struct EditorState {
    std::string title = "Module Parameters";
    std::array<EditField, 4> edits; // the four labelled edit groups
    bool filterTypeVisible = false;
    int filterType = 0; // "Filter type:" combo index
    bool taperVisible = false;
    int taper = 0; // "Tapering:" combo index
    bool deconTypeVisible = false;
    int deconType = 0; // "Decon type:" combo index
    bool pictureVisible = false;
    int picture = 0; // filter-shape image: 0 band pass, 1 high pass, 2 low pass, 3 notch
    EditField lowCut{false, "Low cut", "10"};
    EditField highCut{false, "High cut", "1000"};
    bool resampleVisible = false;
    int resampleBy = 1; // "Resample by" spin edit
    bool checkVisible = false;
    std::string checkLabel;
    bool checked = false;
    std::string helpPage; // page name, empty while the viewer is cleared
};

class SequenceEditor {
public:
    static constexpr int kResampleMin = 1;
    static constexpr int kResampleMax = 1000;

    explicit SequenceEditor(Session& session);

    EditorState& state() { return state_; }
    const EditorState& state() const { return state_; }
    ModuleButton currentModule() const { return current_; }
    int rowCount() const { return RowCount; }

    // Module button. `chosenFile` is the path picked in the button's file dialog,
    // nullopt when it was cancelled (or the button opens none).
    void select(ModuleButton b, const std::optional<std::string>& chosenFile = std::nullopt);
    void HideAllPanels();
    void FilterTypeChange(int index);
    void DeconTypeChange(int index);

    // ADD. Throws ConversionError on a parameter that is no number (the row keeps
    // what was written before the conversion) and Error when the table is full.
    void AddClick();
    // DELETE on the top row of the selection.
    void delbuttonClick(int topRow);
    // CLR ALL.
    void ClearSeqButtClick();
    // A click on the grid: the next ADD writes into the clicked row.
    void ProcGridClick(int topRow);
    // The window becomes active: row count and header row.
    void FormActivate();

private:
    void showEdit(int i, const char* label, const char* startText);
    // An edit that shows the file of the module's dialog; `output`, when given,
    // takes the path if the dialog chose one.
    void showFileEdit(int i, const char* label, const std::string& path,
                      std::string* output = nullptr);
    void writeColumns(int row);
    std::string& cell(int row, int col);

    Session& session_;
    EditorState state_;
    ModuleButton current_ = ModuleButton::RESAM;
    int RowCount = 0;
    // The last path each file dialog returned, shown again when it is cancelled.
    std::array<std::string, kFileDialogKinds> dialogPath_;
    // Whether the current module's dialog was confirmed (the row file entry is
    // written by ADD only then) and the input file RCCM was given.
    bool fileChosen_ = false;
    std::string rccmInput_;
};

} // namespace tarnix
