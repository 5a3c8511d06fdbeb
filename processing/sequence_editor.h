#pragma once
// The processing-sequence editor without its window: the module buttons, the
// parameter editor's fields and the row operations (ADD, DELETE, CLR ALL, a
// click on a row). The window shows an EditorState and writes user edits back
// into it; everything a test or another front end needs lives here.
#include "processing/module_table.h"

#include <array>
#include <optional>
#include <string>

namespace tarnix {

class Session;

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
    Session& session() { return session_; }
    const Session& session() const { return session_; }
    const ModuleEntry& currentModule() const { return *current_; }
    int rowCount() const { return RowCount; }
    // Whether the current module's file dialog was confirmed.
    bool dialogConfirmed() const { return fileChosen_; }

    // Module button. `chosenFile` is the path picked in the button's file dialog,
    // nullopt when it was cancelled (or the button opens none).
    void select(const ModuleEntry& m, const std::optional<std::string>& chosenFile = std::nullopt);
    // The same for the module of a code.
    void select(std::string_view code,
                const std::optional<std::string>& chosenFile = std::nullopt) {
        select(module(code), chosenFile);
    }
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
public:
    void showEdit(int i, const char* label, const char* startText);

private:
    void writeColumns(int row);
    std::string columnText(const ColumnSpec& c) const;
    std::string& cell(int row, int col);

    Session& session_;
    EditorState state_;
    const ModuleEntry* current_;
    int RowCount = 0;
    // The last path each file dialog returned, shown again when it is cancelled.
    std::array<std::string, kFileDialogKinds> dialogPath_;
    // The path the current module's dialog shows and whether it was confirmed
    // (the row file entry and the output paths are written only then).
    std::string selectedPath_;
    bool fileChosen_ = false;
};

} // namespace tarnix
