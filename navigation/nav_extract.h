#pragma once
// Navigation extraction from SEG-Y files: one ".NAV" file beside each, with a
// fix every HdrSelect traces, read from the trace headers alone.
#include <string>
#include <vector>

namespace tarnix {

class Session;

// One SEG-Y file: writes navSidePath(path) with a line for every trace i >= 1
// with i mod HdrSelect = 0 up to the file's last trace (never trace 0), in the
// byte order and coordinate factors of the SEG-Y options.
// Reads through its own handle: the session's input, its file header block
// and GO stay as they were; Edit4 shows the ".NAV" name, Edit3 the trace count of
// the Select Shots window
// and SEGYmemo the file's textual header. Returns the ".NAV" path.
// Throws IoError naming the file (and the trace) when it cannot be read.
std::string extractNavFile(Session& s, const std::string& segyPath);

// ExtractNAV1Click after the dialog: extractNavFile for every selected name
// whose upper-cased extension is ".SEG" or ".SGY", in order; other names are
// skipped and never written. Returns the ".NAV" files written.
std::vector<std::string> extractNavigation(Session& s, const std::vector<std::string>& files);

} // namespace tarnix
