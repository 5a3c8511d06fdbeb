#pragma once
// Reflectivity files (".ref"): one line per shot, written by the
// reflection-coefficient row during a run and read by the Reflectivity page and
// the map viewer.
//
// A line is the shot's position text (for SEG-Y input the field record number,
// year, day, hour, minute, second, latitude and longitude, each followed by a
// blank), a blank, the coefficient with 10 decimals in at least 5 characters, a
// blank and the water depth in metres with 2 decimals in at least 3 characters:
//
//   "17 2026 142 8 30 0 59.85000000 24.50000000  0.5000000000 37.50"
//
// Readers take six integers, then decimals: latitude, longitude, coefficient
// and depth (a file of an older program may stop after the coefficient);
// anything after them is ignored.
#include "core/session.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

struct ReflectivityRecord {
    int line = 0;                      // 0-based line number in the file
    std::array<long long, 6> fields{}; // shot, year, day, hour, minute, second
    double lat = 0, lon = 0;
    double coefficient = 0;
    std::optional<double> depth;
    long long shot() const { return fields[0]; }
};

// The text of one line, without its line end.
std::string reflectivityLine(std::string_view position, long double coefficient, long double depth);

// One line as the readers take it. Throws IoError naming the field that is not
// a number (or missing).
ReflectivityRecord parseReflectivityLine(std::string_view line);

// Every line of a text but blank ones and those whose first word starts with
// "#", each with its 0-based line number. On a bad line `out` holds the records
// before it and IoError names `path` and the line (from 1).
void parseReflectivityText(std::string_view text, const std::string& path,
                           std::vector<ReflectivityRecord>& out);

// The same for a whole file; errors name the file and the line.
std::vector<ReflectivityRecord> readReflectivityFile(const std::string& path);

// The run's reflectivity output: created (replacing an existing file) when the
// run's first trace reaches the row, lines buffered, written out when the
// buffer fills and at close.
class ReflectivityOutput final : public OutputFile {
public:
    explicit ReflectivityOutput(std::string path); // throws IoError naming the file
    ~ReflectivityOutput() override;
    ReflectivityOutput(const ReflectivityOutput&) = delete;
    ReflectivityOutput& operator=(const ReflectivityOutput&) = delete;

    void append(std::string_view position, long double coefficient, long double depth);
    void close() override;
    const std::string& path() const { return path_; }
    long long lines() const { return lines_; }

private:
    void flush();
    std::string path_;
    int fd_ = -1;
    std::string buffer_;
    long long lines_ = 0;
};

} // namespace tarnix
