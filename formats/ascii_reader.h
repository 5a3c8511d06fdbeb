#pragma once
// ASCII seismic tables (".TXT"): one line per time sample, one column per
// trace. Numbers are separated by blanks, tabs or commas, so the Export Ascii
// table (every value followed by a comma) reads back. Lines without numbers
// are not sample lines; the first sample line sets the number of traces.
#include "core/session.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

struct AsciiTable {
    int traces = 0;              // numbers on the first sample line
    int lines = 0;               // sample lines kept
    std::vector<Sample> samples; // column by column: trace k, line j at (k-1) x lines + j-1
    std::string note;            // what was left out
};

// Throws IoError naming the file and line for a word that is no number, a
// line with fewer numbers than the first, or a table without numbers. More
// than 16384 sample lines are cut there, with a note.
AsciiTable parseAsciiTable(std::string_view text, const std::string& path);

class AsciiInput final : public InputFile {
public:
    // Reads and checks the whole table once.
    explicit AsciiInput(std::string path);

    const AsciiTable& table() const { return table_; }
    std::string note() const override { return table_.note; }

    // Column `k` (from 1) into current slots 0..lines-1, the slots above
    // zeroed; fills the KORVA 2.0 record template. EndOfData past the last column.
    void readTrace(Session& s, int k);

    void rewind(Session&) override {}
    void readRunTrace(Session& s, int shot) override;
    bool readSingleTrace(Session& s, int shot) override;

private:
    std::string path_;
    AsciiTable table_;
};

// The ASCII open: the table, NumTraces (its columns), FullScale, the KORVA 2.0
// header copy, trace 1 read. SampleRate waits for the options window's OK.
void openAsciiFile(Session& s);

// The "Ascii File Parameters" window's OK and close: SampleRate from S_Redit
// (ConversionError unless a number above 0; nothing changes then) and the
// Select Shots window prepared over every column (StartShot 1).
void asciiSelectOk(Session& s);
// The window's close: Select Shots' labels and a range over every column.
void prepareAsciiShots(Session& s);

} // namespace tarnix
