#pragma once
// The File menu's recent files: newest first, at most kMaxRecentFiles, each with
// the SEG-Y options it was opened with, so a reopened line reads the same way.
#include "core/settings.h"

#include <string>
#include <vector>

namespace tarnix {

constexpr int kMaxRecentFiles = 8;

struct RecentFile {
    std::string path;
    std::string segyOptions; // segyOptionsText of the options used
};

// Puts `entry` first; an older entry of the same path goes, the oldest beyond
// the limit drops off.
void addRecentFile(std::vector<RecentFile>& list, RecentFile entry);

// The SEG-Y options as one line of "key=value" words, and back. Unknown keys and
// values out of range are ignored, so an old or hand-edited line cannot break them.
std::string segyOptionsText(const SegyOptions& o);
void applySegyOptionsText(const std::string& text, SegyOptions& o);

} // namespace tarnix
