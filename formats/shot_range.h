#pragma once
// The Select Shots window prepared and confirmed over every trace of the file
// just opened, for formats whose open enables GO at once.
namespace tarnix {

class Session;

// Label1 and Label2 as the SEG-Y open sets them, StartShot `firstShot`,
// EndShot one past the last trace (NumTraces traces in all), then the
// window's OK (GO, navigation grid, Sel_ana_spin).
void selectWholeFile(Session& s, int firstShot);

} // namespace tarnix
