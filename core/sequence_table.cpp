#include "core/sequence_table.h"

namespace tarnix {

SequenceTable::SequenceTable() {
    writeHeader();
}

void SequenceTable::writeHeader() {
    static const char* const kHeader[kCols] = {"#", "Module", "p1", "p2", "p3", "p4", "p5", "p6"};
    for (int c = 0; c < kCols; ++c) cells_[0][c] = kHeader[c];
}

int SequenceTable::rowCount() const {
    int n = 0;
    while (n + 1 < kRows && !cells_[n + 1][1].empty()) ++n;
    return n;
}

void SequenceTable::clearAll() {
    for (int r = 1; r < kRows; ++r)
        for (int c = 0; c <= 6; ++c) cells_[r][c].clear();
}

} // namespace tarnix
