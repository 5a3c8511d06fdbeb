#pragma once
// Navigation files: the list of the Positioning page written as text.
#include <string>

namespace tarnix {

class Session;

// SavenavButtClick after the dialog: rows 1..RunTraceCount of the navigation
// grid, each followed by twelve blanks, empty rows skipped; Edit2 names the file.
// Throws IoError when the file cannot be written.
void saveNavigation(Session& s, const std::string& path);

} // namespace tarnix
