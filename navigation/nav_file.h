#pragma once
// Navigation files: one fix per line, "shot year day hour minute second
// latitude longitude", read free-format and written from the navigation list.
#include "core/session.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnix {

// SavenavButtClick after the dialog: rows 1..RunTraceCount of the navigation
// grid, each followed by twelve blanks, empty rows skipped; Edit2 names the file.
// Throws IoError when the file cannot be written.
void saveNavigation(Session& s, const std::string& path);

// The data lines of a navigation file's text. "#" lines and blank lines before
// the first data line are skipped, blank lines anywhere; CR and tabs are white
// space. Shots must lie in 0..40000 and never go backwards. On a bad line the
// fixes of the lines before it are in `fixes` and IoError names `path` and the
// line number.
void parseNavigation(std::string_view text, const std::string& path, std::vector<NavFix>& fixes);

// The list row of a fix: its eight fields joined by single blanks, the
// coordinates with 8 decimals.
std::string navFixRow(const NavFix& f);

// Fills every shot between two consecutive fixes of `table` (shots 0..lastShot)
// with linearly interpolated coordinates and calls row(shot, lat, lon) for each
// shot that is not itself a fix. Longitudes in 0..360 more than 180 apart are
// interpolated the short way round, the result brought back into 0..360.
void interpolateFixes(std::vector<NavFix>& table, int lastShot,
                      const std::function<void(int shot, double lat, double lon)>& row);

// The path with its extension replaced by ".NAV" (added when it has none).
std::string navSidePath(const std::string& path);

// File opening of a scanned profile image: imports the ".NAV" file beside it
// when there is one and names it in Edit3 ("NAVFile found :"); false, with
// nothing changed, when there is none.
bool importSideNavigation(Session& s, const std::string& imagePath);

// IMPORT_NAV: the list, the fix table and the per-shot tables from a
// navigation file, with every shot between fixes interpolated; HdrSelect := 1
// and RunTraceCount := the last shot. Every row of the list is emptied first.
// A bad line throws IoError naming the file and line; the rows and fixes of
// the lines before it stay, nothing is interpolated.
void IMPORT_NAV(Session& s, const std::string& path);

// Latitude (or longitude) of shot `shot` on the line through fixes a and b.
double interpolateCoordinate(int shot, int aShot, double a, int bShot, double b);

} // namespace tarnix
