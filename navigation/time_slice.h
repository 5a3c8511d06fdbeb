#pragma once
// Time slices: the amplitude at one sample of the time window from every trace
// of several SEG-Y lines, with the trace's position, as a text table for
// gridding programs.
//
// One line per trace, six fields separated by single blanks: the amplitude in
// 23-character exponent form (exponentText), the trace index from 0, longitude
// and latitude with 8 decimals, the amplitude again and the file name without
// directory:
//
//   " 1.25000000000000E+0003 0 24.50000000 59.85000000  1.25000000000000E+0003 L1.sgy"
#include <string>
#include <vector>

namespace tarnix {

class Session;

struct TimeSliceResult {
    long long lines = 0;            // traces written
    std::vector<long long> perFile; // traces of each file, in order
};

// BitBtn1Click after the dialog. Every check comes before the output exists:
// the level must be an integer in 1..the samples of each file's time window
// (StartSweep..EndSweep at the file's first sample interval), every name must
// be ".SEG"/".SGY" by its upper-cased extension and open as SEG-Y with the
// SEG-Y options. Then `outPath` is created (replacing a file) and every trace
// of every file, in the order given, is written, read through a private
// reader: the session's input, its trace store, its file header block and GO
// stay as they were. SEGYmemo shows each file's textual header as it is read.
// A file that fails later stops the extraction (IoError naming file and trace);
// the lines before it stay in the file.
TimeSliceResult extractTimeSlice(Session& s, const std::vector<std::string>& files,
                                 const std::string& levelText, const std::string& outPath);

} // namespace tarnix
