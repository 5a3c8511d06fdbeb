#pragma once
// The open command without its windows: format dispatch by the upper-cased
// extension, the SEG-Y options window's OK and the Select Shots window's OK.
// The GUI and the headless command both drive these.
#include <string>

namespace tarnix {

class Session;

enum class InputFormat { None, Segy, Korva20, Korva05, Ascii, Binary, Bitmap, Xtf };

// Upper-cased extension of a path, dot included ("" when there is none).
std::string upperExtension(const std::string& path);
// The format row of an extension; None for any other extension.
InputFormat formatOf(const std::string& path);
// The formats whose open routine is built; the other rows open nothing.
bool formatBuilt(InputFormat f);

// The open dialog's filter list ("SEG-Y (*.seg *.sgy);;...") and default suffix.
const char* openDialogFilters();
inline constexpr const char* kOpenDialogDefaultSuffix = "seg";

// OpenFile1Click after the dialog: `chosen` is the confirmed path, or empty
// when the dialog was cancelled (the file opened before is opened again).
// Closes the previous input, disables GO, sets `Edit2` and dispatches; for
// SEG-Y it resets `Z_scaler` and `ChangeBox` and returns Segy so the caller
// shows the options window. Returns None when nothing is to be opened.
InputFormat openCommand(Session& s, const std::string& chosen);

// OKbuttClick of the SEG-Y options window: opens `InputFileName`, reads trace
// 0, counts the traces and prepares the Select Shots window (StartShot 1,
// EndShot the count, Label1, Label2). Throws IoError/EndOfData on a failure.
void segyOptionsOk(Session& s);

// OKClick of the Select Shots window: NumTraces, GO, navigation grid,
// Sel_ana_spin, and the ASCII sampling rate for a text input.
void selectShotsOk(Session& s);

// Sample-rate code of a KORVA 2.0 header for a rate in kHz (99: other rates).
int korvaRateCode(long double rate);

} // namespace tarnix
