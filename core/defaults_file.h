#pragma once
// The per-user defaults file: the display settings and the time window kept
// between sessions, one value per line.
#include <string>

namespace tarnix {

class Session;

// HOME + "/.tarnix_defaults"; empty when HOME is unset or empty.
std::string defaultsFilePath();

// Reads lines 1 to 10 into the session's settings, each clamped by its range.
// A missing file changes nothing and returns false. A line that holds no integer
// (or a file that ends early) throws ConversionError naming the file and line;
// the values read before it stay applied.
bool loadDefaults(Session& s, const std::string& path);

// Writes the 14 lines (10 values, then the map limit texts as typed). Throws
// IoError when the file cannot be written completely.
void saveDefaults(const Session& s, const std::string& path);

// Start-up: numbers are read and written with a decimal point from here on, then
// the defaults are loaded from defaultsFilePath() (nothing when HOME is not set).
bool INIT_VARIABLES(Session& s);
// "Save Config.": saves to defaultsFilePath(); nothing when HOME is not set.
void saveDefaultsFile(const Session& s);

} // namespace tarnix
