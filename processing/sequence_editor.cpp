#include "processing/sequence_editor.h"

#include "core/error.h"
#include "core/numtext.h"
#include "core/session.h"

#include <algorithm>
#include <cstdlib>

namespace tarnix {

namespace {
using B = ModuleButton;
using D = FileDialogKind;

const std::array<ModuleInfo, kModuleButtonCount> kModules = {{
    {B::AGCM, "AGCM", "AGCButt", "AGCButtClick", "Gain", "Automatic Gain Control", "AGCM", "AGCM",
     "AGCM.html", D::None, true, true},
    {B::LGAIN, "LGAIN", "LinButt", "LinButtClick", "Gain", "", "Linear Gain", "LING", "LING.html",
     D::None, true, true},
    {B::TVGM, "TVGM", "TVGButt", "TVGButtClick", "Gain", "Time Varinat Gain", "TVG", "TVGM",
     "TVGM.html", D::None, true, true},
    {B::NORM, "NORM", "NormaButt", "NormaButtClick", "Gain", "", "Normalize", "NORM", "NORM.html",
     D::None, true, true},
    {B::FLTM, "FLTM", "FilterButt", "FilterButtClick", "Filter", "", "FLTM", "FLTM", "FLTM.html",
     D::None, true, true},
    {B::FFTF, "FFTF", "FFTFilterButt", "FFTFilterButtClick", "Filter", "High-Pass Filter",
     "FFTF-Filter", "FFTF", "FFTF.html", D::None, true, true},
    {B::ACFM, "ACFM", "Button1", "Button1Click", "Filter", "Autocorrelation Filtering",
     "Auto-Correlation Filter", "ACFM", "ACFM.html", D::None, true, true},
    {B::SPKM, "SPKM", "Button3", "Button3Click", "Filter", "Spike Filter", "Spike-Noise Filter",
     "SPFM", "SPKM.html", D::None, true, true},
    {B::DECM, "DECM", "DeconButt", "DeconButtClick", "Filter", "Spike and Predictive Deconvolution",
     "DECM", "DECM", "DECM.html", D::None, true, true},
    {B::RNFM, "RNFM", "RNFButt", "RNFButtClick", "Filter", "Apply Random Noise Filter",
     "Random Noise Filter", "RNFM", "RNFM.html", D::None, true, true},
    {B::HBFM, "HBFM", "HBFButt", "HBFButtClick", "Filter", "", "Horizontal Bands Filter", "HBFM",
     "HBFM.html", D::None, true, true},
    {B::DBAS, "DBAS", "DebiasButt", "DebiasButtClick", "Misc.", "Remove DC component", "Debias",
     "DBAS", "DBAS.html", D::None, true, true},
    {B::DERV, "DERV", "DervButt", "DervButtClick", "Misc.", "Derivative", "Derivative", "DERV",
     "DERV.html", D::None, true, true},
    {B::MUTM, "MUTM", "MuteButt", "MuteButtClick", "Misc.", "", "Mute", "MUTM", "MUTM.html",
     D::Mute, true, true},
    {B::RESAM, "RESAM", "ResamButt", "ResamButtClick", "Misc.", "Resampling", "Resampling", "RESM",
     "RESM.html", D::None, true, true},
    {B::TMIX, "TMIX", "TMIX", "TMIXClick", "Misc.", "Trace Mixing", "Trace Mixing", "TMXM",
     "TMXM.html", D::None, true, true},
    {B::FFT, "FFT", "Button6", "Button6Click", "Misc.", "", "FFT", "FFTM", "FFTM.html", D::None,
     true, false},
    {B::RCCM, "RCCM", "Button7", "Button7Click", "Misc.", "", "Reflection Coeff. estimate", "RCCM",
     "RCCM.html", D::Mute, true, true},
    {B::ABS, "ABS", "Button2", "Button2Click", "Misc.", "", "Absolute Value", "ABSM", "ABSM.html",
     D::None, true, true},
    {B::WSEGY, "WSEGY", "Button5", "Button5Click", "I/O", "Write SEGY Output File",
     "Writing SEGY File", "WSEG", "WSEGY.html", D::Segy, false, true},
    {B::WASCII, "WASCII", "ASCIIWriteButt", "ASCIIWriteButtClick", "I/O", "Trace Export",
     "Write ASCII Seismic File ", "WASCII", "WASCII.html", D::KorvaSave, false, true},
    {B::WKORVA2, "WKORVA2.0", "WKORVA2BUTT", "WKORVA2BUTTClick", "I/O", "Trace Export",
     "Write KORVA2.0 File ", "WKORVA2", "WKORVA2.html", D::KorvaSave, true, true},
    {B::SWELL, "SWELL", "Button4", "Button4Click", "Editing", "Point by Point Static Correction",
     "SWELL Filter", "SWELL", "SWELL.html", D::Mute, true, true},
    {B::STAM, "STAM", "Statbutt", "StatbuttClick", "Editing", "", "Statics", "STAM", "STAM.html",
     D::None, true, true},
    {B::STRM, "STRM", "statrendbutt", "statrendbuttClick", "Editing", "Static Trend Remove",
     "Remove Static Trend", "STTM", "STRM.html", D::Mute, true, true},
    {B::ASTM, "ASTM", "Autostatbutt", "AutostatbuttClick", "Editing", "Automatic Static Removal",
     "Automatic Statics", "ASTM", "ASTM.html", D::None, true, true},
    {B::POSM, "POSM", "POSMButt", "POSMButtClick", "Editing", "", "Reconstruct Position", "",
     "POSM.html", D::None, true, true},
}};

const std::array<DisabledButton, 8> kDisabled = {{
    {"Filter", "FK1M"},
    {"Filter", "FK2M"},
    {"Filter", "SFXM"},
    {"Filter", "FLGM"},
    {"Filter", "FXXM"},
    {"Filter", "DFTM"},
    {"Misc.", "SMIG"},
    {"Misc.", "KMIG"},
}};

const std::array<const char*, 4> kFilterTypes = {"Band Pass", "Low Pass", "High Pass", "Notch"};
const std::array<const char*, 5> kTapers = {"Hamming", "Hanning", "Cosine", "Triangular", "Kaiser"};
const std::array<const char*, 2> kDeconTypes = {"Spiking Decon", "Predictive Decon"};

// Largest gap worth computing in samples; keeps the rounding inside long long.
constexpr long double kGapLimit = 1e9L;
} // namespace

const std::array<ModuleInfo, kModuleButtonCount>& moduleTable() {
    return kModules;
}
const ModuleInfo& moduleInfo(ModuleButton b) {
    return kModules.at(static_cast<size_t>(b));
}
const std::array<DisabledButton, 8>& disabledButtons() {
    return kDisabled;
}
const std::array<const char*, 4>& filterTypeNames() {
    return kFilterTypes;
}
const std::array<const char*, 5>& taperNames() {
    return kTapers;
}
const std::array<const char*, 2>& deconTypeNames() {
    return kDeconTypes;
}

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

SequenceEditor::SequenceEditor(Session& session) : session_(session) {
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

void SequenceEditor::showFileEdit(int i, const char* label, const std::string& path,
                                  std::string* output) {
    showEdit(i, label, "");
    state_.edits[i].text = path;
    // Only a file chosen in the dialog becomes the output path.
    if (output && fileChosen_) *output = path;
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

void SequenceEditor::select(ModuleButton b, const std::optional<std::string>& chosenFile) {
    HideAllPanels();
    const ModuleInfo& m = moduleInfo(b);
    current_ = b;
    state_.title = m.title;
    state_.helpPage = m.helpPage;
    fileChosen_ = chosenFile.has_value() && m.dialog != FileDialogKind::None;
    std::string path;
    if (m.dialog != FileDialogKind::None) {
        auto& last = dialogPath_[static_cast<size_t>(m.dialog)];
        if (fileChosen_) last = *chosenFile;
        path = last;
    }
    auto showCheck = [&](const char* label) {
        state_.checkVisible = true;
        state_.checkLabel = label;
    };

    switch (b) {
    case B::AGCM:
        showEdit(0, "Window Length (pt)", "128");
        break;
    case B::LGAIN:
        showEdit(0, "Gain", "1.0");
        break;
    case B::TVGM:
        showEdit(0, "Slope (increment/samples)", "-");
        break;
    case B::FLTM:
        state_.filterTypeVisible = true;
        state_.taperVisible = true;
        state_.pictureVisible = true;
        showEdit(0, "Filter Length (points)", "128");
        FilterTypeChange(state_.filterType);
        break;
    case B::FFTF:
        showEdit(0, "Cut-off freq.(samples)", "500");
        showEdit(1, "Filter type (LP HP)", "LP");
        break;
    case B::ACFM:
        showEdit(0, "1/% of Filtering", "10");
        break;
    case B::SPKM:
        showEdit(0, "diff (%)", "10");
        break;
    case B::DECM:
        state_.deconTypeVisible = true;
        DeconTypeChange(state_.deconType);
        break;
    case B::RNFM:
        showEdit(0, "Threshold", "20");
        break;
    case B::HBFM:
        showEdit(0, "% of filtering", "100");
        session_.RMSFlag = true;
        break;
    case B::MUTM:
        showFileEdit(0, "Mute File", path);
        break;
    case B::RESAM:
        state_.resampleVisible = true;
        break;
    case B::TMIX:
        showCheck("Weighted");
        showEdit(0, "N. of traces", "3");
        showEdit(1, "Minimum weight", "25");
        break;
    case B::RCCM:
        rccmInput_ = path;
        if (fileChosen_) session_.refOutPath = changeFileExt(path, ".REF");
        showEdit(0, "Input File", "");
        state_.edits[0].text = path.empty() ? std::string() : changeFileExt(path, ".REF");
        showEdit(1, "window length (msec)", "3");
        showCheck("Spher.Diver.correction");
        showEdit(2, "scale factor", "0.0000072");
        break;
    case B::WSEGY:
        showFileEdit(0, "SEGY Outfile Name : ", path, &session_.segyOutPath);
        showEdit(1, "SEGY Type (LittleE/BigE)", "BE");
        showEdit(2, "Coord. Type (1=m 2=sec.)", "2");
        break;
    case B::WASCII:
        showFileEdit(0, "ASCII Outfile Name", path, &session_.asciiOutPath);
        showEdit(1, "Number of first record", "1");
        break;
    case B::WKORVA2:
        showFileEdit(0, "Korva 2.0 Outfile Name : ", path, &session_.korvaOutPath);
        showEdit(1, "Number of first record", "1");
        break;
    case B::SWELL:
        showFileEdit(0, "Bottom File Name", path);
        showEdit(1, "window length (points)", "10");
        break;
    case B::STAM:
        showEdit(0, "Time Shift (msec)", "0");
        break;
    case B::STRM:
        showEdit(0, "Corr. coefficent", "1.0");
        showFileEdit(1, "Input File", path);
        showCheck("relative");
        state_.checked = false;
        break;
    case B::ASTM:
        session_.RMSFlag = true;
        break;
    case B::NORM:
    case B::DBAS:
    case B::DERV:
    case B::FFT:
    case B::ABS:
    case B::POSM:
        break;
    }
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
        throw ConversionError("Row " + std::to_string(row) + " (" + moduleInfo(current_).code +
                              "): " + e.what());
    }
    RowCount = session_.sequence.rowCount();
    HideAllPanels();
}

void SequenceEditor::writeColumns(int row) {
    if (current_ == B::POSM) return; // the row gets its number only
    const ModuleInfo& m = moduleInfo(current_);
    const EditorState& s = state_;
    const auto& e = s.edits;
    auto text = [&](int i) -> const std::string& { return e[i].text; };
    // A replaced row keeps nothing of the module it held before.
    auto writeCode = [&] {
        cell(row, 1) = m.code;
        for (int c = 2; c <= 6; ++c) cell(row, c).clear();
    };
    auto p = [&](int n) -> std::string& { return cell(row, n + 1); };
    auto truth = [](bool v) { return std::string(v ? "TRUE" : "FALSE"); };

    switch (current_) {
    case B::AGCM: {
        long long w = std::clamp(parseInt(text(0)), 2LL, 12000LL);
        writeCode();
        p(1) = std::to_string(w);
        break;
    }
    case B::FLTM: {
        long double high = static_cast<long double>(parseInt(s.highCut.text));
        long double low = static_cast<long double>(parseInt(s.lowCut.text));
        long long length = parseInt(text(0));
        int taper = std::clamp(s.taper, 0, 4);
        int type = std::clamp(s.filterType, 0, 3);
        if (high > 100000) high = 100000;
        if (low > 5000) low = 5000;
        if (high < 0) high = 0;
        if (low < 0) low = 0;
        writeCode();
        p(1) = fixedText(low, 2, 4);
        p(2) = fixedText(high, 2, 4);
        p(3) = std::to_string(taper);
        p(4) = std::to_string(type);
        p(5) = std::to_string(length);
        break;
    }
    case B::DECM: {
        long long gap = 1;
        if (s.deconType == 1) {
            long double g = session_.SampleRate * parseFloat(text(0));
            gap = roundHalfEven(std::clamp(g, -kGapLimit, kGapLimit));
        }
        long long op = std::min(parseInt(text(1)), 1024LL);
        long long half = session_.NumSamples / 2;
        if (half < gap) gap = half;
        if (op < 16) op = 16;
        if (gap < 1) gap = 1;
        writeCode();
        p(1) = std::to_string(gap);
        p(2) = std::to_string(op);
        break;
    }
    case B::RCCM:
        cell(row, 1) = m.code;
        parseFloat(text(1));
        parseFloat(text(2));
        writeCode();
        p(1) = fileNameOnly(rccmInput_);
        p(2) = fileNameOnly(text(0));
        p(3) = text(1);
        p(4) = truth(s.checked);
        p(5) = text(2);
        if (fileChosen_) session_.rowFiles.at(row) = rccmInput_;
        break;
    case B::STRM:
        cell(row, 1) = m.code;
        parseFloat(text(0));
        writeCode();
        p(1) = fileNameOnly(text(1));
        p(2) = text(0);
        p(3) = s.checked ? "RELATIVE" : "ABSOLUTE";
        if (fileChosen_) session_.rowFiles.at(row) = text(1);
        break;
    case B::LGAIN:
    case B::TVGM:
    case B::ACFM:
    case B::SPKM:
    case B::RNFM:
        writeCode();
        p(1) = text(0);
        break;
    case B::HBFM:
        writeCode();
        p(2) = text(0);
        break;
    case B::FFTF:
    case B::STAM:
        writeCode();
        p(1) = text(0);
        p(2) = text(1);
        break;
    case B::MUTM:
        writeCode();
        p(1) = fileNameOnly(text(0));
        if (fileChosen_) session_.rowFiles.at(row) = text(0);
        break;
    case B::SWELL:
        writeCode();
        p(1) = text(0);
        p(2) = text(1);
        if (fileChosen_) session_.rowFiles.at(row) = text(0);
        break;
    case B::RESAM:
        writeCode();
        p(1) = std::to_string(s.resampleBy);
        break;
    case B::TMIX:
        writeCode();
        p(1) = text(0);
        p(2) = text(1);
        p(4) = truth(s.checked);
        break;
    case B::WSEGY:
        writeCode();
        p(1) = fileNameOnly(text(0));
        p(2) = text(1);
        p(3) = text(2);
        break;
    case B::WASCII:
    case B::WKORVA2:
        writeCode();
        p(1) = fileNameOnly(text(0));
        p(2) = text(1);
        break;
    case B::NORM:
    case B::DBAS:
    case B::DERV:
    case B::FFT:
    case B::ABS:
    case B::ASTM:
        writeCode();
        break;
    case B::POSM:
        break;
    }
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
