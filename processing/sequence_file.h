#pragma once
// The processing-sequence file: one line per table row, every cell followed by
// one blank, the header row first.
#include "core/sequence_table.h"

#include <array>
#include <string>
#include <string_view>

namespace tarnix {

// Writes rows 0, 1, ... up to the first row with an empty module column.
// Throws IoError when the file cannot be created or written.
void saveSequenceFile(const SequenceTable& table, const std::string& path);

// Reads a sequence file into rows 1, 2, ... (the first line is skipped); rows
// below the loaded ones and column 7 keep their contents. Returns the number
// of rows loaded. Throws IoError, leaving the table unchanged, when the file
// cannot be read, and IoError after loading the first 49 rows of a longer file.
int loadSequenceFile(SequenceTable& table, const std::string& path);

// Columns 0..6 of one line. Each column ends at the next blank; when no blank
// is left the column is empty and the search starts again at the line's start.
std::array<std::string, 7> splitSequenceLine(std::string_view line);

} // namespace tarnix
