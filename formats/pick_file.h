#pragma once
// Pick files and the pick table they are read into.
//
// A pick file is the digitizing notebook's text: one pick per line, a shot
// number first and a time in milliseconds last (a mute line is "shot time", a
// digitizing line puts the shot's navigation text in between). A time of 0 is
// no pick. The table holds, for every sequence row 1..50 that read a file and
// every shot 0..40000, the picked time, with the gaps between picks filled by
// the straight line through their neighbours and the shots before the first
// and after the last pick holding those picks' times.
//
// How a module uses it:
//   on the run's first trace (or when source(rowNumber) is not the row's file)
//                               readPickFile(table, rowNumber, path);
//   on every trace              long long b = pickSample(table, rowNumber, shot,
//                                                        StartSweep, rate);
// where `rate` is the samples per ms the row works with. minTime/maxTime give
// the row's earliest and latest time over the picked shots.
#include <array>
#include <string>
#include <vector>

namespace tarnix {

class PickTable {
public:
    static constexpr int kRows = 50;       // sequence rows 1..50
    static constexpr int kMaxShot = 40000; // shots 0..40000

    // The time of `shot` in `row`; 0 for a row that read no file. Throws Error
    // for a row or shot outside the table.
    double time(int row, int shot) const;
    double minTime(int row) const;
    double maxTime(int row) const;
    // The path the row was last read from; empty when it holds no picks.
    const std::string& source(int row) const;

    // Replaces the row with the picks of `path` and fills it; the row is left
    // empty when the file cannot be read. Throws IoError naming the file (and
    // the line for a line that is not "shot ... time").
    void read(int row, const std::string& path);

private:
    struct Row {
        std::vector<double> t; // index = shot; empty until a file is read
        double min = 0, max = 0;
        std::string source;
    };
    static void checkRow(int row);
    std::array<Row, kRows + 1> rows_;
};

inline void readPickFile(PickTable& table, int row, const std::string& path) {
    table.read(row, path);
}

// The pick of `shot` in samples from the window start:
// truncate((time - startSweep) x rate).
long long pickSample(const PickTable& table, int row, int shot, long double startSweep,
                     long double rate);

} // namespace tarnix
