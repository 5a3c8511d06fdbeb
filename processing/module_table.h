#pragma once
// Every processing module in one table: its code, the editor button that writes
// it, the editor panel it shows, the columns ADD writes, and the call the worker
// makes for its rows. The sequence editor, the worker and the processing window
// are all driven by this table; a new module is its kernel plus one entry here.
#include <array>
#include <climits>
#include <span>
#include <string>
#include <string_view>

namespace tarnix {

class Session;
class SequenceEditor;
struct RowContext;

// The file dialog a module button opens before it shows its fields.
enum class FileDialogKind {
    None,
    Mute,      // the pick-file dialog
    Segy,      // SEG-Y output
    KorvaSave, // "Korva 2.0 Files|*.d02" save dialog
};
constexpr int kFileDialogKinds = 4;

// The output path a module's dialog sets when the user confirms a file.
enum class OutputPath { None, Segy, Ascii, Korva };

// One labelled edit of the editor panel; no label means the edit stays hidden.
struct FieldSpec {
    const char* label = nullptr;
    const char* start = ""; // "-" keeps whatever the edit held
};

// How ADD turns the editor into one parameter column.
enum class ColumnKind {
    Empty,      // left empty
    Text,       // the field's text as typed
    Number,     // the field's text, which must be a floating-point number
    Integer,    // the field's integer value, clamped to lo..hi
    FileName,   // the field's text without its directory
    DialogName, // the path the dialog chose, without its directory
    Check,      // the check box: `yes` or `no`
    Spin,       // the "Resample by" spin edit
    Computed,   // written by the entry's `computeColumns`
};

struct ColumnSpec {
    ColumnKind kind = ColumnKind::Empty;
    int field = 0;
    long long lo = LLONG_MIN, hi = LLONG_MAX;
    const char* yes = "TRUE";
    const char* no = "FALSE";
};

// Where ADD takes the row file list entry from (only when the dialog chose a file).
enum class RowFileSource { None, Field, Dialog };

// How far into the current trace a row's call writes (the run's window copy
// relies on it to leave untouched zeros alone).
enum class Writes {
    Everything, // any slot of the buffer
    Nothing,
    N,       // NumSamples slots
    ND,      // NumSamples div Decimation slots
    Reported // the handler says, through RowContext::wrote
};

struct EditorPanel {
    std::array<FieldSpec, 4> fields{};
    int fileField = -1; // the edit that shows the dialog's path
    OutputPath output = OutputPath::None;
    const char* checkLabel = nullptr; // the check box, when shown
    bool checkCleared = false;        // the check box starts cleared
    bool resample = false;            // the "Resample by" spin edit
    bool setsRmsFlag = false;         // ticks the main window's "RMS" box (mean trace)
    // Panels the table cannot describe (filter and decon type handlers, derived paths).
    void (*customSelect)(SequenceEditor&, const std::string& dialogPath) = nullptr;
};

struct ButtonSpec {
    const char* caption = nullptr; // nullptr: no button writes this code
    const char* objectName = "";
    const char* handler = ""; // the window's click handler, by name
    const char* tab = "";     // "Gain", "Filter", "Misc.", "I/O", "Editing"
    const char* hint = "";
    const char* title = ""; // editor title
    const char* helpPage = "";
    FileDialogKind dialog = FileDialogKind::None;
    bool startsEnabled = true;
    bool visible = true;
};

struct ModuleEntry {
    const char* code; // column 1 of its rows
    ButtonSpec button;
    bool rowNumberOnly = false; // ADD gives the row its number only: not part of a sequence
    EditorPanel panel;
    std::array<ColumnSpec, 5> columns{}; // p1..p5
    RowFileSource rowFile = RowFileSource::None;
    int rowFileField = 0;
    // Fills the Computed columns (texts[k] is p(k+1)); may throw ConversionError.
    void (*computeColumns)(const SequenceEditor&, std::array<std::string, 5>& texts) = nullptr;
    // The worker's call for a row of this code; nullptr: not a processing module.
    void (*handler)(RowContext&) = nullptr;
    bool inDouble = false; // works on the shared double copy of the trace
    Writes writes = Writes::Everything;
};

// Every entry, buttons in the order the tabs show them, then the codes no
// button writes.
std::span<const ModuleEntry> moduleTable();
// The entry of a module code, nullptr for any other text.
const ModuleEntry* findModule(std::string_view code);
// The entry whose button has this click handler (nullptr for none).
const ModuleEntry* moduleByHandler(std::string_view handler);
// The entry of a code that must exist; throws Error otherwise.
const ModuleEntry& module(std::string_view code);

// Buttons shown on the tabs but never enabled (tab, caption).
struct DisabledButton {
    const char* tab;
    const char* caption;
};
std::span<const DisabledButton> disabledButtons();

const std::array<const char*, 4>& filterTypeNames(); // "Band Pass", ...
const std::array<const char*, 5>& taperNames();      // "Hamming", ...
const std::array<const char*, 2>& deconTypeNames();  // "Spiking Decon", ...

} // namespace tarnix
