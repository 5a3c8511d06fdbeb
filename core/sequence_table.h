#pragma once
// The processing sequence: a 50 x 8 table of texts. Parameters stay texts and are
// converted when a trace needs them; the processing window's grid is a view of it.
#include <array>
#include <string>

namespace tarnix {

class SequenceTable {
public:
    static constexpr int kRows = 50;
    static constexpr int kCols = 8;

    SequenceTable();
    std::string& cell(int row, int col) { return cells_.at(row).at(col); }
    const std::string& cell(int row, int col) const { return cells_.at(row).at(col); }
    // Rows 1.. up to (not including) the first row whose module column is empty.
    int rowCount() const;
    void writeHeader();
    // Empties columns 0..6 of every row below the header (column 7 is kept).
    void clearAll();

private:
    std::array<std::array<std::string, kCols>, kRows> cells_;
};

} // namespace tarnix
