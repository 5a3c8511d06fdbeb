#pragma once
// The Reflectivity page without its window: a reflectivity file's lines as
// grid rows, the largest and smallest coefficient, the curve of coefficient
// against line number, the read-out and the click on the curve, and SAVE.
//
// The curve goes by line number: x = n for the n-th line read (from 1), so a
// file's field record numbers (which may run past any table) never size the
// bitmap or pick the row.
#include "formats/reflectivity_file.h"

#include <string>
#include <vector>

namespace tarnix {

class Session;

struct CurvePoint {
    int x = 0, y = 0;
};

struct ReflectivityPage {
    std::string fileName;                    // Label16: the name without directory
    std::vector<std::string> rows;           // refgrid: every line of the file, as text
    std::vector<ReflectivityRecord> records; // the lines read, in file order
    double largest = 0, smallest = 0;        // of the coefficients read
    std::string maxText = "0.000000";        // Edit5
    std::string minText = "0.000000";        // Edit6
    std::string error;                       // a bad line; records hold the lines before it

    // The curve bitmap's width: one column per line read.
    int width() const { return static_cast<int>(records.size()); }
    // The record the mouse at curve column x means (x = n is the n-th line;
    // columns left of the first line mean the first), or -1 with none.
    int recordAt(int x) const;
    // The grid row of that record, or -1.
    int rowAt(int x) const;
    // Status text for the mouse at x: "Shot (N)" with that line's shot number.
    std::string readout(int x) const;
};

// SpeedButton7Click after the dialog: the grid rows, the records up to a bad
// line (its message in `error`), MAX and MIN (from the first coefficient, 6
// decimals), and the session's reflectivity pick table emptied and filled: for
// each shot the table holds, the row of its last line. Throws IoError when the
// file cannot be read at all.
ReflectivityPage openReflectivityPage(Session& s, const std::string& path);

// The pen's path on a bitmap of width() x `height`: from (0, 0) to
// (n, height - trunc(c / scale)) for the n-th line, scale = largest / height.
// Without a positive coefficient every point lies on the bottom row. Points
// are kept within [-height, 2 height] so that no line runs far off the bitmap.
std::vector<CurvePoint> reflectivityCurve(const ReflectivityPage& page, int height);

// SAVE: writes every non-empty row as a line (replacing the file) and returns
// the number written. Throws IoError naming the file.
long long saveReflectivityRows(const std::vector<std::string>& rows, const std::string& path);
// "Saved N rows".
std::string savedRowsText(long long rows);

} // namespace tarnix
