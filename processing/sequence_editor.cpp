#include "processing/sequence_editor.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"

#include <algorithm>
#include <cstdlib>

namespace tarnix {

std::string helpPagePath(const std::string& page) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {};
    return std::string(home) + "/tarnix/" + page;
}

std::string fileNameOnly(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string changeFileExt(const std::string& path, const std::string& ext) {
    auto slash = path.find_last_of('/');
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
    return path.substr(0, dot) + ext;
}

SequenceEditor::SequenceEditor(Session& session) : session_(session), current_(&module("RESM")) {
    HideAllPanels();
    RowCount = session_.sequence.rowCount();
}

std::string& SequenceEditor::cell(int row, int col) {
    return session_.sequence.cell(row, col);
}

void SequenceEditor::HideAllPanels() {
    state_.title = "Module Parameters";
    state_.helpPage.clear();
    for (auto& e : state_.edits) e.visible = false;
    state_.filterTypeVisible = false;
    state_.taperVisible = false;
    state_.deconTypeVisible = false;
    state_.pictureVisible = false;
    state_.lowCut.visible = false;
    state_.highCut.visible = false;
    state_.resampleVisible = false;
    state_.checkVisible = false;
}

void SequenceEditor::showEdit(int i, const char* label, const char* startText) {
    EditField& e = state_.edits.at(i);
    e.visible = true;
    e.label = label;
    if (std::string_view(startText) != "-") e.text = startText;
}

void SequenceEditor::FilterTypeChange(int index) {
    state_.filterType = index;
    auto set = [&](bool lowShown, const char* low, bool highShown, const char* high, int pic) {
        state_.lowCut.visible = lowShown;
        state_.lowCut.text = std::string(low);
        state_.highCut.visible = highShown;
        state_.highCut.text = std::string(high);
        state_.picture = pic;
    };
    switch (index) {
    case 0:
        set(true, "10", true, "1000", 0);
        break;
    case 1:
        set(false, "1", true, "1000", 2);
        break;
    case 2:
        set(true, "10", false, "1", 1);
        break;
    case 3:
        set(true, "50", false, "50", 3);
        break;
    default:
        break;
    }
}

void SequenceEditor::DeconTypeChange(int index) {
    state_.deconType = index;
    if (index == 1) {
        showEdit(0, "Gap Length (msec)", "0.1");
    } else {
        state_.edits[0].visible = false;
    }
    showEdit(1, "Operator Length (pt)", "128");
}

void SequenceEditor::select(const ModuleEntry& m, const std::optional<std::string>& chosenFile) {
    HideAllPanels();
    const ButtonSpec& b = m.button;
    const EditorPanel& panel = m.panel;
    current_ = &m;
    state_.title = b.title;
    state_.helpPage = b.helpPage;
    fileChosen_ = chosenFile.has_value() && b.dialog != FileDialogKind::None;
    selectedPath_.clear();
    if (b.dialog != FileDialogKind::None) {
        auto& last = dialogPath_[static_cast<size_t>(b.dialog)];
        if (fileChosen_) last = *chosenFile;
        selectedPath_ = last;
    }
    for (int i = 0; i < static_cast<int>(panel.fields.size()); ++i)
        if (const FieldSpec& f = panel.fields[i]; f.label) showEdit(i, f.label, f.start);
    if (panel.fileField >= 0) state_.edits.at(panel.fileField).text = selectedPath_;
    // Only a file chosen in the dialog becomes the output path.
    if (fileChosen_) {
        switch (panel.output) {
        case OutputPath::Segy:
            session_.segyOutPath = selectedPath_;
            break;
        case OutputPath::Ascii:
            session_.asciiOutPath = selectedPath_;
            break;
        case OutputPath::Korva:
            session_.korvaOutPath = selectedPath_;
            break;
        case OutputPath::None:
            break;
        }
    }
    if (panel.checkLabel) {
        state_.checkVisible = true;
        state_.checkLabel = panel.checkLabel;
        if (panel.checkCleared) state_.checked = false;
    }
    state_.resampleVisible = panel.resample;
    if (panel.setsRmsFlag) session_.RMSFlag = true;
    if (panel.customSelect) panel.customSelect(*this, selectedPath_);
}

void SequenceEditor::AddClick() {
    const int row = RowCount + 1;
    if (row >= SequenceTable::kRows)
        throw Error("The sequence table is full: it holds " +
                    std::to_string(SequenceTable::kRows - 1) + " rows.");
    RowCount = row;
    cell(row, 0) = std::to_string(row);
    try {
        writeColumns(row);
    } catch (const Error& e) {
        // The next ADD must reuse a row that did not get its module code, or
        // every row added after it would lie outside the sequence.
        RowCount = session_.sequence.rowCount();
        throw ConversionError("Row " + std::to_string(row) + " (" + current_->code +
                              "): " + e.what());
    }
    RowCount = session_.sequence.rowCount();
    HideAllPanels();
}

std::string SequenceEditor::columnText(const ColumnSpec& c) const {
    const std::string& field = state_.edits.at(c.field).text;
    switch (c.kind) {
    case ColumnKind::Empty:
    case ColumnKind::Computed:
        return {};
    case ColumnKind::Text:
        return field;
    case ColumnKind::Number:
        parseFloat(field); // the grid keeps the text; ADD only checks it
        return field;
    case ColumnKind::Integer:
        return std::to_string(std::clamp(parseInt(field), c.lo, c.hi));
    case ColumnKind::FileName:
        return fileNameOnly(field);
    case ColumnKind::DialogName:
        return fileNameOnly(selectedPath_);
    case ColumnKind::Check:
        return state_.checked ? c.yes : c.no;
    case ColumnKind::Spin:
        return std::to_string(state_.resampleBy);
    }
    return {};
}

void SequenceEditor::writeColumns(int row) {
    const ModuleEntry& m = *current_;
    if (m.rowNumberOnly) return;
    // A module whose texts are only checked as numbers holds its row while they
    // are checked; one with converted numbers writes nothing until they convert.
    if (std::any_of(m.columns.begin(), m.columns.end(),
                    [](const ColumnSpec& c) { return c.kind == ColumnKind::Number; }))
        cell(row, 1) = m.code;
    std::array<std::string, 5> texts;
    for (size_t k = 0; k < texts.size(); ++k) texts[k] = columnText(m.columns[k]);
    if (m.computeColumns) m.computeColumns(*this, texts);
    // A replaced row keeps nothing of the module it held before.
    cell(row, 1) = m.code;
    for (size_t k = 0; k < texts.size(); ++k) cell(row, static_cast<int>(k) + 2) = texts[k];
    if (fileChosen_ && m.rowFile != RowFileSource::None)
        session_.rowFiles.at(row) = m.rowFile == RowFileSource::Dialog
                                        ? selectedPath_
                                        : state_.edits.at(m.rowFileField).text;
}

void SequenceEditor::delbuttonClick(int topRow) {
    if (topRow < 1 || topRow >= SequenceTable::kRows) return;
    for (int c = 1; c <= 6; ++c) cell(topRow, c).clear();
}

void SequenceEditor::ClearSeqButtClick() {
    session_.sequence.clearAll();
    RowCount = 0;
}

void SequenceEditor::ProcGridClick(int topRow) {
    if (topRow < 1 || topRow >= SequenceTable::kRows) return;
    RowCount = topRow - 1;
}

void SequenceEditor::FormActivate() {
    RowCount = session_.sequence.rowCount();
    session_.sequence.writeHeader();
}

} // namespace tarnix
