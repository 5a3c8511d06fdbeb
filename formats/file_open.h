#pragma once
// The open command without its windows: dispatch through the format table, the
// SEG-Y options window's OK and the Select Shots window's OK. The GUI and the
// headless command both drive these.
#include "formats/format_table.h"
#include "formats/korva_record.h" // korvaRateCode

#include <string>

namespace tarnix {

class Session;

// OpenFile1Click after the dialog: `chosen` is the confirmed path, or empty
// when the dialog was cancelled (the file opened before is opened again).
// Closes the previous input, disables GO, sets `Edit2` and dispatches: a
// format with an options window is prepared for it (the caller shows the
// window, whose OK opens the file), any other is opened here. Returns the
// format, None when nothing was opened (no reader for the extension).
InputFormat openCommand(Session& s, const std::string& chosen);

// OKbuttClick of the SEG-Y options window: opens `InputFileName`, reads trace
// 0, counts the traces and prepares the Select Shots window (Label1, Label2 and
// a shot range that covers every trace: StartShot 0, EndShot the count of
// whole traces). Throws IoError/EndOfData on a failure.
void segyOptionsOk(Session& s);

// OKClick of the Select Shots window: NumTraces, GO, navigation grid,
// Sel_ana_spin, and the ASCII sampling rate for a text input.
void selectShotsOk(Session& s);

} // namespace tarnix
