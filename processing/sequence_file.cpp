#include "processing/sequence_file.h"

#include "core/error.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace tarnix {

namespace {
std::string reason() {
    return errno != 0 ? std::string(": ") + std::strerror(errno) : "";
}
} // namespace

void saveSequenceFile(const SequenceTable& table, const std::string& path) {
    std::string text;
    for (int r = 0; r < SequenceTable::kRows && !table.cell(r, 1).empty(); ++r) {
        for (int c = 0; c < SequenceTable::kCols; ++c) {
            text += table.cell(r, c);
            text += ' ';
        }
        text += '\n';
    }
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw IoError("Cannot create the sequence file " + path + reason());
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw IoError("Cannot write the sequence file " + path + reason());
}

std::array<std::string, 7> splitSequenceLine(std::string_view line) {
    std::array<std::string, 7> cols;
    size_t pos = 0;
    for (auto& col : cols) {
        size_t blank = line.find(' ', pos);
        if (blank == std::string_view::npos) {
            col.clear();
            pos = 0;
        } else {
            col = std::string(line.substr(pos, blank - pos));
            pos = blank + 1;
        }
    }
    return cols;
}

int loadSequenceFile(SequenceTable& table, const std::string& path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("Cannot open the sequence file " + path + reason());
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (in.bad()) throw IoError("Cannot read the sequence file " + path + reason());

    table.cell(0, 0) = std::string("#");
    const int maxRows = SequenceTable::kRows - 1;
    int rows = 0;
    for (size_t i = 1; i < lines.size() && rows < maxRows; ++i) {
        ++rows;
        auto cols = splitSequenceLine(lines[i]);
        for (int c = 0; c < 7; ++c) table.cell(rows, c) = std::move(cols[c]);
    }
    if (lines.size() > static_cast<size_t>(maxRows) + 1)
        throw IoError("The sequence file " + path + " has more than " + std::to_string(maxRows) +
                      " rows; only the first " + std::to_string(maxRows) + " were loaded");
    return rows;
}

} // namespace tarnix
